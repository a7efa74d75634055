// The drawing operations of CFrame as a destination, and its pixel reads.
#include "images/CFrame.h"

#include "blit/BlitReport.h"
#include "blit/CBlitType.h"
#include "blit/CBlitWrap.h"
#include "blit/CColor.h"
#include "blit/CPalette.h"
#include "blit/DrawLineAA.h"
#include "blit/GamePalette.h"
#include "blit/KernelLookupTables.h"
#include "blit/LineClip.h"
#include "blit/PixelBlends.h"
#include "foundation/FatalError.h"
#include "platform/Debug.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <utility>

namespace {

FloatLineDrawer g_FloatLineDrawer = nullptr;

// Per-format pixel access; Value is the stored pixel as GetRawPixel gives it.
template <uint32_t Depth>
struct SPixel;

template <>
struct SPixel<8> {
    static constexpr uint32_t kBytes = 1;
    static uint32_t Read(const uint8_t* p) { return *p; }
    static void Write(uint8_t* p, uint32_t v) { *p = uint8_t(v); }
    static uint32_t Value(CColor& colour) { return colour.GetPaletteIndex(); }
};

template <>
struct SPixel<16> {
    static constexpr uint32_t kBytes = 2;
    static uint32_t Read(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
    static void Write(uint8_t* p, uint32_t v)
    {
        p[0] = uint8_t(v);
        p[1] = uint8_t(v >> 8);
    }
    static uint32_t Value(CColor& colour) { return colour.GetPixel565(); }
};

template <>
struct SPixel<24> {
    static constexpr uint32_t kBytes = 3;
    static uint32_t Read(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16; }
    static void Write(uint8_t* p, uint32_t v)
    {
        p[0] = uint8_t(v);
        p[1] = uint8_t(v >> 8);
        p[2] = uint8_t(v >> 16);
    }
    static uint32_t Value(CColor& colour) { return colour.GetColorWord() & 0xFFFFFF; }
};

template <>
struct SPixel<32> {
    static constexpr uint32_t kBytes = 4;
    static uint32_t Read(const uint8_t* p)
    {
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    }
    static void Write(uint8_t* p, uint32_t v)
    {
        SPixel<24>::Write(p, v);
        p[3] = uint8_t(v >> 24);
    }
    static uint32_t Value(CColor& colour) { return colour.GetColorWord(); }
};

// Calls f with the SPixel of depth; nothing for frames without a format.
template <typename F>
void WithDepth(uint32_t depth, F&& f)
{
    switch (depth) {
    case 8:
        f(SPixel<8>{});
        break;
    case 16:
        f(SPixel<16>{});
        break;
    case 24:
        f(SPixel<24>{});
        break;
    case 32:
        f(SPixel<32>{});
        break;
    default:
        break;
    }
}

// Writes value into width pixels of each row of r (pixel coordinates).
template <typename P>
void FillPixels(CFrame& frame, const CRect& r, uint32_t value)
{
    for (int32_t y = r.top; y < r.bottom; ++y) {
        uint8_t* p = frame.Row(uint32_t(y)) + size_t(r.left) * P::kBytes;
        for (int32_t x = r.left; x < r.right; ++x, p += P::kBytes)
            P::Write(p, value);
    }
}

// Where a run-length row covers column x: the packet's pixel bytes, null
// when x is transparent there. Reads stay inside the block's stated size.
// alphaCursor, when given, walks a companion block of one alpha byte per
// literal pixel and per repeat run, in step with the packets.
const uint8_t* FindRunPixel(const uint8_t* block, const uint32_t* rows, uint32_t width, uint32_t y, uint32_t x,
                            uint32_t pixelSize, const uint8_t** alphaCursor = nullptr)
{
    if (!block || !rows)
        return nullptr;
    uint32_t size;
    std::memcpy(&size, block, 4);
    uint32_t at = rows[y];
    uint32_t p = 0;
    while (p < width && at < size) {
        const uint8_t c = block[at++];
        if (c & 0x80) {
            p += c & 0x7F;
            if (p > x)
                return nullptr;
            continue;
        }
        const uint32_t n = c & 0x3F;
        const bool literal = (c & 0x40) != 0;
        const uint32_t bytes = literal ? n * pixelSize : pixelSize;
        if (size - at < bytes)
            return nullptr;
        if (x < p + n) {
            if (alphaCursor && *alphaCursor)
                *alphaCursor += literal ? x - p : 0;
            return block + at + (literal ? (x - p) * pixelSize : 0);
        }
        if (alphaCursor && *alphaCursor)
            *alphaCursor += literal ? n : 1;
        p += n;
        at += bytes;
    }
    return nullptr;
}

} // namespace

FloatLineDrawer SetFloatLineDrawer(FloatLineDrawer drawer)
{
    return std::exchange(g_FloatLineDrawer, drawer);
}

void BlendRun32(uint8_t* pixels, uint32_t count, uint32_t colour)
{
    const int32_t k = int32_t(colour >> 24) >> 1;
    for (uint32_t i = 0; i < count; ++i)
        for (uint32_t c = 0; c < 4; ++c) {
            uint8_t& d = pixels[4 * i + c];
            const int32_t s = int32_t((colour >> (8 * c)) & 0xFF);
            const int16_t product = int16_t((s - d) * k);
            d = uint8_t(std::clamp(d + (product >> 7), 0, 255));
        }
}

bool CFrame::ToPixelRect(const CRect& rect, CRect& out) const
{
    CRect r = rect;
    if (r.left > r.right)
        std::swap(r.left, r.right);
    if (r.top > r.bottom)
        std::swap(r.top, r.bottom);
    CRect bounds;
    GetBounds(bounds);
    if (!ClipRect(bounds, r))
        return false;
    out = {r.left - m_OffsetX, r.top - m_OffsetY, r.right - m_OffsetX, r.bottom - m_OffsetY};
    return true;
}

bool CFrame::Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType)
{
    if (!m_Pixels)
        return false;
    s.left -= source.GetOffsetX();
    s.right -= source.GetOffsetX();
    s.top -= source.GetOffsetY();
    s.bottom -= source.GetOffsetY();
    CRect bounds;
    GetBounds(bounds);
    if (!ClipRectPair(bounds, s, d))
        return false;
    // A source rectangle reaching past the source would be read outside it:
    // cut it to the source, moving the destination with it.
    if (blitType.DrawsAtSourceSize()
        && !ClipRectPair(SizeToRect(int32_t(source.GetWidth()), int32_t(source.GetHeight())), d, s))
        return false;
    d.left -= m_OffsetX;
    d.right -= m_OffsetX;
    d.top -= m_OffsetY;
    d.bottom -= m_OffsetY;
    BlitToFrame(source, s, d, blitType);
    return true;
}

void CFrame::BlitToFrame(CFrameInterface& source, const CRect& s, const CRect& d, CBlitType& blitType)
{
    if (BlitFunction function = blitType.GetBlitFunction(source, *this)) {
        function(source, s, *this, d, blitType);
        return;
    }
    if (IsCompressed())
        FatalDataError("Blitting To A Compressed Frame Error",
                       "The game is trying to Blit to a compressed frame.\nThis is possiblly a programming issue, "
                       "but just as likely a problem in the settings of a CFrames' property file.");
    if ((source.GetFlags() & kFrameRunLengthMask) && &blitType == &GetWrapPow2BlitType()) {
        ShowMessage("Error",
                    "The game is trying to Blit Wrapped (tile) a compressed frame.  This is possiblly a "
                    "programming issue, but just as likely a problem in the settings of a CFrames' property "
                    "file.");
        return;
    }
    ReportMissingRoutine(blitType, source.GetFlags(), m_Flags);
}

bool CFrame::Render(CRenderableObject& renderable)
{
    return renderable.Render(*this);
}

void CFrame::Clear()
{
    if (!m_Pixels || GetBytesPerPixel() == 0 || IsCompressed())
        return;
    std::memset(m_Pixels, 0, size_t(GetPitch()) * m_Height * GetBytesPerPixel());
}

void CFrame::FillBytes(uint8_t value)
{
    if (!m_Pixels || GetBytesPerPixel() == 0 || IsCompressed())
        return;
    for (uint32_t y = 0; y < m_Height; ++y)
        std::memset(Row(y), value, size_t(m_Width) * GetBytesPerPixel());
}

void CFrame::ClearRect(const CRect& rect)
{
    CRect r;
    if (!m_Pixels || IsCompressed() || GetBytesPerPixel() == 0 || !ToPixelRect(rect, r))
        return;
    const uint32_t size = GetBytesPerPixel();
    for (int32_t y = r.top; y < r.bottom; ++y)
        std::memset(Row(uint32_t(y)) + size_t(r.left) * size, 0, size_t(r.right - r.left) * size);
}

void CFrame::Fill(CColor& colour)
{
    if (!m_Pixels || IsCompressed())
        return;
    WithDepth(GetBitDepth(), [&](auto pixel) {
        using P = decltype(pixel);
        FillPixels<P>(*this, SizeToRect(m_Width, m_Height), P::Value(colour));
    });
}

void CFrame::FillRect(const CRect& rect, CColor& colour)
{
    CRect r;
    if (!m_Pixels || IsCompressed() || !ToPixelRect(rect, r))
        return;
    const uint32_t count = uint32_t(r.right - r.left);
    switch (GetBitDepth()) {
    case 8:
        FillPixels<SPixel<8>>(*this, r, colour.GetPaletteIndex());
        break;
    case 16:
        if (colour.GetAlpha() == 255) {
            FillPixels<SPixel<16>>(*this, r, colour.GetPixel565());
            break;
        }
        for (int32_t y = r.top; y < r.bottom; ++y) {
            uint8_t* row = Row(uint32_t(y)) + size_t(r.left) * 2;
            // Whole groups of four blend rounded with either kernel set.
            BlendRun565Fast(row, colour.GetPixel565(), colour.GetAlpha(), count);
        }
        break;
    case 24:
        FillPixels<SPixel<24>>(*this, r, SPixel<24>::Value(colour));
        break;
    case 32: {
        const uint32_t alpha = colour.GetAlpha();
        if (alpha < 8)
            break;
        if (alpha >= 248) {
            FillPixels<SPixel<32>>(*this, r, colour.GetColorWord());
            break;
        }
        for (int32_t y = r.top; y < r.bottom; ++y)
            BlendRun32(Row(uint32_t(y)) + size_t(r.left) * 4, count, colour.GetColorWord());
        break;
    }
    default:
        break;
    }
}

void CFrame::SetPixel(int32_t x, int32_t y, CColor& colour)
{
    x -= m_OffsetX;
    y -= m_OffsetY;
    if (!m_Pixels || IsCompressed() || x < 0 || y < 0 || x >= int32_t(m_Width) || y >= int32_t(m_Height))
        return;
    WithDepth(GetBitDepth(), [&](auto pixel) {
        using P = decltype(pixel);
        P::Write(Row(uint32_t(y)) + size_t(x) * P::kBytes, P::Value(colour));
    });
}

uint32_t CFrame::GetRawPixel(int32_t x, int32_t y) const
{
    x -= m_OffsetX;
    y -= m_OffsetY;
    if (!m_Pixels || x < 0 || y < 0 || x >= int32_t(m_Width) || y >= int32_t(m_Height))
        return 0;
    if (IsCompressed()) {
        const bool depth16 = GetBitDepth() == 16;
        const uint32_t size = depth16 ? 2 : 1;
        if (FindRunPixel(m_Pixels, m_RowTable, m_Width, uint32_t(y), uint32_t(x), size))
            return 0xFFFFFFFF;
        for (uint32_t n = 4; n >= (depth16 ? 4u : 1u); --n)
            if (FindRunPixel(m_ExtraBlocks[n - 1], m_ExtraRows[n - 1], m_Width, uint32_t(y), uint32_t(x), size))
                return 0xFFFFFFFF;
        return 0;
    }
    uint32_t value = 0;
    WithDepth(GetBitDepth(), [&](auto pixel) {
        using P = decltype(pixel);
        value = P::Read(Row(uint32_t(y)) + size_t(x) * P::kBytes);
    });
    return value;
}

bool CFrame::GetPixel(int32_t x, int32_t y, CColor& out) const
{
    out = CColor();
    const int32_t px = x - m_OffsetX, py = y - m_OffsetY;
    if (!m_Pixels || px < 0 || py < 0 || px >= int32_t(m_Width) || py >= int32_t(m_Height))
        return false;
    const auto from565 = [&out](uint32_t pixel, uint8_t alpha) {
        uint8_t bgr[3];
        Widen565(uint16_t(pixel), bgr);
        out.Set(bgr[2], bgr[1], bgr[0], alpha);
    };
    const uint32_t depth = GetBitDepth();
    if (IsCompressed()) {
        const uint32_t ux = uint32_t(px), uy = uint32_t(py);
        if ((m_Flags & kFrameRunLengthMask) == kFrameTwoBands) {
            // RGB565 packets at 16 bits, blue, green, red at 24.
            const uint32_t size = depth == 24 ? 3 : 2;
            const auto colourOf = [&](const uint8_t* p, uint8_t alpha) {
                if (size == 3)
                    out.Set(p[2], p[1], p[0], alpha);
                else
                    from565(SPixel<16>::Read(p), alpha);
            };
            const auto isZero = [size](const uint8_t* p) { return (p[0] | p[1] | (size == 3 ? p[2] : 0)) == 0; };
            if (const uint8_t* p = FindRunPixel(m_Pixels, m_RowTable, m_Width, uy, ux, size)) {
                if (!isZero(p)) {
                    colourOf(p, 255);
                    return true;
                }
            }
            const uint8_t* alphaRow
                = m_ExtraBlocks[2] && m_ExtraRows[2] ? m_ExtraBlocks[2] + m_ExtraRows[2][uy] : nullptr;
            const uint8_t* cursor = alphaRow;
            if (const uint8_t* p = FindRunPixel(m_ExtraBlocks[3], m_ExtraRows[3], m_Width, uy, ux, size, &cursor)) {
                uint8_t alpha = 0;
                if (cursor) {
                    uint32_t blockSize;
                    std::memcpy(&blockSize, m_ExtraBlocks[2], 4);
                    if (size_t(cursor - m_ExtraBlocks[2]) < blockSize)
                        alpha = *cursor;
                }
                if (alpha != 0)
                    colourOf(p, alpha);
            }
            return true;
        }
        const uint8_t* blocks[5] = {m_Pixels, m_ExtraBlocks[3], m_ExtraBlocks[2], m_ExtraBlocks[1], m_ExtraBlocks[0]};
        const uint32_t* rows[5] = {m_RowTable, m_ExtraRows[3], m_ExtraRows[2], m_ExtraRows[1], m_ExtraRows[0]};
        for (uint32_t i = 0; i < 5; ++i)
            if (const uint8_t* p = FindRunPixel(blocks[i], rows[i], m_Width, uy, ux, 1); p && *p != 0) {
                out.SetFromPaletteIndex(*p);
                break;
            }
        return true;
    }
    const uint32_t raw = GetRawPixel(x, y);
    switch (depth) {
    case 8:
        out.SetFromPaletteIndex(uint16_t(raw));
        break;
    case 16:
        from565(raw, 255);
        break;
    case 24:
        out.Set(uint8_t(raw >> 16), uint8_t(raw >> 8), uint8_t(raw), 255);
        break;
    case 32:
        out.Set(uint8_t(raw >> 16), uint8_t(raw >> 8), uint8_t(raw), uint8_t(raw >> 24));
        break;
    default:
        return false;
    }
    return true;
}

bool CFrame::HitTest(int32_t x, int32_t y) const
{
    const int32_t px = x - m_OffsetX, py = y - m_OffsetY;
    if (!m_Pixels || px < 0 || py < 0 || px >= int32_t(m_Width) || py >= int32_t(m_Height))
        return false;
    if (!IsCompressed())
        return (GetRawPixel(x, y) >> 24) > 5;
    const uint32_t ux = uint32_t(px), uy = uint32_t(py), depth = GetBitDepth();
    const auto covered = [&](uint32_t block, uint32_t size) {
        return block == 0
            ? FindRunPixel(m_Pixels, m_RowTable, m_Width, uy, ux, size) != nullptr
            : FindRunPixel(m_ExtraBlocks[block - 1], m_ExtraRows[block - 1], m_Width, uy, ux, size) != nullptr;
    };
    if ((m_Flags & kFrameRunLengthMask) == kFrameTwoBands) {
        if (depth != 8 && depth != 16 && depth != 24)
            return false;
        return covered(0, depth / 8) || covered(4, depth / 8);
    }
    if (depth != 8)
        return false;
    return covered(0, 1) || covered(4, 1) || covered(3, 1) || covered(2, 1) || covered(1, 1);
}

void CFrame::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CColor& colour)
{
    if (!m_Pixels || IsCompressed() || GetBitDepth() == 0)
        return;
    x1 -= m_OffsetX;
    x2 -= m_OffsetX;
    y1 -= m_OffsetY;
    y2 -= m_OffsetY;
    if (!ClipLine(SizeToRect(m_Width, m_Height), x1, y1, x2, y2))
        return;
    WithDepth(GetBitDepth(), [&](auto pixel) {
        using P = decltype(pixel);
        const uint32_t value = P::Value(colour);
        const auto plot = [&](int32_t x, int32_t y) { P::Write(Row(uint32_t(y)) + size_t(x) * P::kBytes, value); };
        const int32_t dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
        const int32_t sx = x2 >= x1 ? 1 : -1, sy = y2 >= y1 ? 1 : -1;
        int32_t x = x1, y = y1;
        plot(x, y);
        if (dx >= dy) {
            int32_t error = dx / 2;
            while (x != x2) {
                x += sx;
                error -= dy;
                if (error < 0) {
                    y += sy;
                    error += dx;
                }
                plot(x, y);
            }
        } else {
            int32_t error = dy / 2;
            while (y != y2) {
                y += sy;
                error -= dx;
                if (error < 0) {
                    x += sx;
                    error += dy;
                }
                plot(x, y);
            }
        }
    });
}

void CFrame::DrawLineFloat(float x1, float y1, float x2, float y2, CColor& colour, float width)
{
    const uint32_t depth = GetBitDepth();
    if (m_Pixels && !IsCompressed() && (depth == 8 || depth == 16 || depth == 24)) {
        DrawLineAA(*this, x1, y1, x2, y2, colour); // one pixel wide whatever the width
        return;
    }
    if (m_Pixels && g_FloatLineDrawer)
        g_FloatLineDrawer(*this, x1, y1, x2, y2, colour, width);
}

void CFrame::RemapRect(const CRect& rect, const uint8_t* table)
{
    CRect r;
    if (!m_Pixels || IsCompressed() || !table || !ToPixelRect(rect, r))
        return;
    const uint32_t depth = GetBitDepth();
    if (depth == 8) {
        for (int32_t y = r.top; y < r.bottom; ++y) {
            uint8_t* row = Row(uint32_t(y));
            for (int32_t x = r.left; x < r.right; ++x)
                row[x] = table[row[x]];
        }
        return;
    }
    if (depth != 16 && depth != 24)
        return;
    // The remap becomes a brightness ratio: how the entry nearest to grey
    // maps, measured on its red.
    const CPalette& blend = GetBlendTable();
    if (blend.GetType() != 1) {
        ReportMissingTable(MissingTable::BlendPalette);
        return;
    }
    const uint8_t grey = blend.FindNearest(128, 128, 128, 0, 256);
    uint8_t greyRed, mappedRed, green, blue;
    blend.GetColor(grey, greyRed, green, blue);
    blend.GetColor(table[grey], mappedRed, green, blue);
    if (greyRed == 0)
        return; // no ratio can be measured against a red of 0
    const double ratio = double(mappedRed) / double(greyRed);
    if (depth == 16) {
        CColor shade = ratio <= 1.0 ? CColor(0, 0, 0, uint8_t(ratio * 255.0))
                                    : CColor(255, 255, 255, uint8_t(std::min(1.0, (ratio - 1.0) * 0.2) * 255.0));
        FillRect(rect, shade);
        return;
    }
    uint8_t scaled[256];
    for (uint32_t i = 0; i < 256; ++i)
        scaled[i] = uint8_t(std::min(255.0, std::floor(i * ratio + 0.5)));
    for (int32_t y = r.top; y < r.bottom; ++y) {
        uint8_t* row = Row(uint32_t(y)) + size_t(r.left) * 3;
        for (int32_t i = 0; i < (r.right - r.left) * 3; ++i)
            row[i] = scaled[row[i]];
    }
}
