#pragma once
// "Blit As Shadow" draws only the shape of its source: wherever the source
// has a pixel, the destination underneath darkens toward black at strength
// 100 of 255; the source's colours are never used. A 32-bit source darkens
// a 32-bit destination by its alpha bytes (times the type's opacity when
// that is not exactly 1): alpha below 8 leaves the pixel alone, otherwise
// the colour bytes scale and the alpha byte becomes 0, the engine's mark of
// a pixel composed onto an opaque surface.

#include <cstdint>

#include "blit/CBlitType.h"

class CBlitAsShadow : public CBlitType {
public:
    CBlitAsShadow();
};

inline constexpr uint32_t kShadowStrength = 100;

// One 4-byte destination pixel darkened by a source alpha.
void ShadowPixel32(uint8_t* destination, uint32_t alpha);
