#include "blit/CBlitAsShadow.h"

#include "blit/FrameBlit.h"

void ShadowPixel32(uint8_t* d, uint32_t alpha)
{
    if (alpha < 8)
        return;
    // k = 255 - ((A * 100) >> 8); each colour byte c becomes (c * k) >> 8.
    const uint32_t k = 255 - ((alpha * kShadowStrength) >> 8);
    d[0] = uint8_t((d[0] * k) >> 8);
    d[1] = uint8_t((d[1] * k) >> 8);
    d[2] = uint8_t((d[2] * k) >> 8);
    d[3] = 0;
}

namespace {

void ShadowRow32(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    const uint32_t* opacityRow = IsOpaque(*args.blitType) ? nullptr : args.tables.opacityRow;
    for (uint32_t x = 0; x < count; ++x) {
        const uint32_t alpha = src[4 * x + 3];
        ShadowPixel32(dst + 4 * x, opacityRow ? opacityRow[alpha] : alpha);
    }
}

} // namespace

CBlitAsShadow::CBlitAsShadow()
{
    AddBlitFunction(32, 0, 32, 0, RawBlit<ShadowRow32>);
}
