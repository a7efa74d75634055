#include "blit/DrawLineAA.h"

#include "blit/BlitRows.h"
#include "blit/CColor.h"
#include "blit/CFrameInterface.h"
#include "blit/ColorTables.h"
#include "blit/LineClip.h"
#include "blit/PixelBlends.h"
#include "foundation/CRect.h"
#include "foundation/SaturatingArithmetic.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

int64_t LineGradient(int64_t a, int64_t b)
{
    if (b == 0)
        return -1;
    const int64_t product = a * 65536;
    int64_t quotient = product / b;
    const int64_t remainder = product % b;
    if (2 * std::llabs(remainder) >= std::llabs(b))
        quotient += (product < 0) == (b < 0) ? 1 : -1;
    return quotient;
}

namespace {

// 16.16 values fit 32 bits only inside this box.
constexpr double kLimit = 32767.0;

int32_t ToFixed(double v)
{
    // |v| <= 32767 once cut to the box, but an infinite end stays infinite.
    return TruncateToInt32(v * 65536.0);
}

struct SBlend8 {
    const uint8_t* palette; // blue, green, red per index
    const uint8_t* inverse; // 32768 entries by RGB555
    uint8_t index;
    void operator()(uint8_t* p, uint32_t w) const
    {
        const CColorTables& t = GetColorTables();
        const uint8_t* d = palette + 3 * size_t(*p);
        const uint8_t* c = palette + 3 * size_t(index);
        const auto channel = [w](uint8_t dc, uint8_t cc) {
            return uint8_t(int32_t(dc) + (int32_t(cc) - int32_t(dc)) * int32_t(w) / 256);
        };
        const uint8_t blue = channel(d[0], c[0]), green = channel(d[1], c[1]), red = channel(d[2], c[2]);
        *p = inverse[t.Blue5[blue] + t.Green5[green] + t.Red555[red]];
    }
};

struct SBlend16 {
    uint16_t colour;
    void operator()(uint8_t* p, uint32_t w) const
    {
        StorePixel16(p, BlendPixel565(LoadPixel16(p), colour, uint8_t(w)));
    }
};

struct SBlend24 {
    const uint8_t* bgr;
    void operator()(uint8_t* p, uint32_t w) const { BlendRgbTrunc(p, bgr, w); }
};

struct SBlend32 {
    uint32_t colour;
    void operator()(uint8_t* p, uint32_t w) const
    {
        const int32_t a = int32_t(((colour >> 24) * w + 255) >> 8);
        for (uint32_t c = 0; c < 3; ++c) {
            const int32_t s = int32_t((colour >> (8 * c)) & 0xFF);
            p[c] = uint8_t(p[c] + ((s - int32_t(p[c])) * a + 255) / 256);
        }
        p[3] = 255;
    }
};

// The walk shared by every format. Coordinates are 16.16 in the pixel
// buffer; the accumulated minor coordinate is kept in 64 bits because the
// rounded gradient may carry it one pixel past the clipped end.
template <uint32_t Bytes, class Blend>
void WalkLine(CFrameInterface& frame, int64_t x1, int64_t y1, int64_t x2, int64_t y2, const Blend& blend)
{
    uint8_t* const pixels = frame.GetPixels();
    const uint32_t* const rows = frame.GetRowTable();
    if (!pixels || !rows)
        return;
    const int64_t width = frame.GetWidth(), height = frame.GetHeight();
    const auto plot = [&](int64_t x, int64_t y, uint32_t w, bool tested) {
        if (tested && (x < 0 || x >= width || y < 0 || y >= height))
            return;
        blend(pixels + (size_t(rows[y]) + size_t(x)) * Bytes, w);
    };
    const auto walk
        = [&](int64_t majorFrom, int64_t majorTo, int64_t minor, int64_t gradient, bool steep, bool tested) {
              for (int64_t m = majorFrom >> 16; m <= majorTo >> 16; ++m, minor += gradient) {
                  const int64_t whole = minor >> 16;
                  const uint32_t f = uint32_t((minor >> 8) & 255);
                  if (steep) {
                      plot(whole, m, 255 - f, tested);
                      plot(whole + 1, m, f, tested);
                  } else {
                      plot(m, whole, 255 - f, tested);
                      plot(m, whole + 1, f, tested);
                  }
              }
          };
    int64_t dx = x2 - x1, dy = y2 - y1;
    const bool steep = std::llabs(dx) < std::llabs(dy);
    if (steep ? dy < 0 : dx < 0) {
        std::swap(x1, x2);
        std::swap(y1, y2);
        dx = -dx;
        dy = -dy;
    }
    const int64_t major = steep ? dy : dx, minorDelta = steep ? dx : dy;
    int64_t gradient = LineGradient(minorDelta, major);
    if (std::llabs((major >> 16) * gradient) > std::llabs(minorDelta))
        gradient += gradient > 0 ? -1 : 1;
    const int64_t minorFrom = steep ? x1 : y1, minorTo = steep ? x2 : y2;
    const int64_t minorLimit = steep ? width : height;
    const bool inside = minorFrom >= 65536 && minorTo >= 65536 && (minorFrom >> 16) + 2 < minorLimit
        && (minorTo >> 16) + 2 < minorLimit;
    walk(steep ? y1 : x1, steep ? y2 : x2, minorFrom, gradient, steep, !inside);
}

} // namespace

void DrawLineAA8(CFrameInterface& frame, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint8_t index)
{
    const CArrayPOD<uint8_t>& palette = GetGamePalette();
    if (palette.GetCount() < 768 || InversePalette555.GetCount() < 32768)
        return;
    // Whole pixels only: the fraction is cleared.
    constexpr int32_t kWhole = ~0xFFFF;
    WalkLine<1>(frame, x1 & kWhole, y1 & kWhole, x2 & kWhole, y2 & kWhole,
                SBlend8{palette.GetData(), InversePalette555.GetData(), index});
}

void DrawLineAA16(CFrameInterface& frame, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint16_t colour)
{
    WalkLine<2>(frame, x1, y1, x2, y2, SBlend16{colour});
}

void DrawLineAA24(CFrameInterface& frame, int32_t x1, int32_t y1, int32_t x2, int32_t y2, const uint8_t* bgr)
{
    WalkLine<3>(frame, x1, y1, x2, y2, SBlend24{bgr});
}

void DrawLineAA32(CFrameInterface& frame, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour)
{
    WalkLine<4>(frame, x1, y1, x2, y2, SBlend32{colour});
}

void DrawLineAA(CFrameInterface& frame, float x1, float y1, float x2, float y2, CColor& colour)
{
    if ((frame.GetFlags() & kFrameStorageMask) != 0 || !frame.GetPixels())
        return;
    double ax = double(x1) - frame.GetOffsetX(), ay = double(y1) - frame.GetOffsetY();
    double bx = double(x2) - frame.GetOffsetX(), by = double(y2) - frame.GetOffsetY();
    if (std::isnan(ax) || std::isnan(ay) || std::isnan(bx) || std::isnan(by)
        || !CutLineToBox(-kLimit, -kLimit, kLimit, kLimit, ax, ay, bx, by))
        return;
    int32_t fx1 = ToFixed(ax), fy1 = ToFixed(ay), fx2 = ToFixed(bx), fy2 = ToFixed(by);
    const int32_t width = int32_t(std::min<uint32_t>(frame.GetWidth(), 32767));
    const int32_t height = int32_t(std::min<uint32_t>(frame.GetHeight(), 32767));
    const CRect clip = {0, 0, width * 65536, height * 65536};
    if (!ClipLine(clip, fx1, fy1, fx2, fy2))
        return;
    switch (frame.GetBitDepth()) {
    case 8:
        DrawLineAA8(frame, fx1, fy1, fx2, fy2, uint8_t(colour.GetPaletteIndex()));
        break;
    case 16:
        DrawLineAA16(frame, fx1, fy1, fx2, fy2, colour.GetPixel565());
        break;
    case 24:
        DrawLineAA24(frame, fx1, fy1, fx2, fy2, colour.GetRgbCopy());
        break;
    case 32:
        DrawLineAA32(frame, fx1, fy1, fx2, fy2, colour.GetColorWord());
        break;
    default:
        break;
    }
}
