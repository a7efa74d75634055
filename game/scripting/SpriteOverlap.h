#pragma once
// Pixel-exact overlap of two frames, each placed with its hot spot at a
// point. Two pixels overlap when both are non-zero in their own frame's
// format (8-bit index, RGB565, three bytes or four bytes). A run-length
// frame is first drawn into a scratch frame of its side, at the depth frames
// are built for; the two scratch frames live on between calls and only grow.
#include <cstdint>

class CFrame;

bool FramesOverlap(CFrame& first, int32_t firstX, int32_t firstY, CFrame& second, int32_t secondX, int32_t secondY);

// Gives back the scratch frames (tests, shutdown).
void ReleaseOverlapScratch();
