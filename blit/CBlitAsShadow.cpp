#include "blit/CBlitAsShadow.h"

#include "blit/BlitRows.h"
#include "blit/ColorTables.h"
#include "blit/NamedBlitTypes.h"
#include "foundation/CRect.h"

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

void Shadow32To32(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                  CBlitType& type)
{
    const int32_t width = d.right - d.left, height = d.bottom - d.top;
    if (width <= 0 || height <= 0)
        return;
    const uint32_t* opacityRow = type.GetOpacity() == 1.0f ? nullptr : GetColorTables().BlendTable[type.GetOpacity255()];
    const uint8_t* src = PixelAddress(source, s.left, s.top, 4);
    uint8_t* dst = PixelAddress(destination, d.left, d.top, 4);
    const size_t srcStride = RowStride(source, 4), dstStride = RowStride(destination, 4);
    for (int32_t y = 0; y < height; ++y, src += srcStride, dst += dstStride)
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t alpha = src[4 * x + 3];
            ShadowPixel32(dst + 4 * x, opacityRow ? opacityRow[alpha] : alpha);
        }
}

} // namespace

CBlitAsShadow::CBlitAsShadow()
{
    AddBlitFunction(32, 0, 32, 0, Shadow32To32);
}
