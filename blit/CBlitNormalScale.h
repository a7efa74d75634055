#pragma once
// "Normal Scale": copies a source rectangle into a destination rectangle of
// another size by nearest-pixel sampling in 16.16 fixed point. Destination
// column j samples source column left + ((j * stepX) >> 16), with
//   stepX = floor((sw << 16) / dw)   (unsigned 32-bit),
// lowered by 2 while ((stepX * dw) mod 2^32) >> 16 exceeds sw; rows alike.
// An empty source or destination rectangle draws nothing. Copies into 32
// bits keep the destination's alpha bytes; 8-bit sources into 16 bits go
// through the game palette's RGB565 table (nothing drawn without one). The
// opacity is not used.

#include "blit/CBlitType.h"

#include <cstdint>

class CBlitNormalScale : public CBlitType {
public:
    CBlitNormalScale();
    bool DrawsAtSourceSize() const override { return false; }
};

// The step for scaling size source pixels to size destination ones (both
// above 0 and at most 65535).
uint32_t ScaleStep(uint32_t sourceSize, uint32_t destinationSize);
