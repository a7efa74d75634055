#pragma once
// Copies of plain frames at another depth, for the writers: a 24-bit or
// 32-bit copy of any plain frame (8-bit through its own or the game palette,
// RGB565 widened), keeping the offset. A 32-bit copy of a frame without
// alpha is opaque.

#include <cstdint>

class CFrame;

// False (destination untouched) for a run-length or empty source, or a
// depth other than 24 or 32.
bool CopyPlainFrameToDepth(const CFrame& source, CFrame& destination, uint32_t depth);

// Any frame's pixels at 32 bits: the frame itself when it is plain 32-bit,
// else a copy made in storage (a run-length frame drawn into it with the
// normal blit type); null when no copy can be made.
const CFrame* FramePixelsAs32Bit(CFrame& frame, CFrame& storage);
