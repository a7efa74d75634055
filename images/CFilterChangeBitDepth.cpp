#include "images/CFilterChangeBitDepth.h"

#include "blit/CBlitType.h"
#include "blit/CPalette.h"
#include "blit/ColorTables.h"
#include "blit/GamePalette.h"
#include "blit/RunLengthRows.h"
#include "foundation/SaturatingArithmetic.h"
#include "images/CFrame.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>

namespace {

uint32_t ReadU32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

const uint8_t* GamePaletteEntries()
{
    const CArrayPOD<uint8_t>& palette = GetGamePalette();
    return palette.GetCount() >= 768 ? palette.GetData() : nullptr;
}

uint8_t ToByte(float v)
{
    return uint8_t(std::clamp(TruncateToInt32(v * 255.0f + 0.5f), 0, 255));
}

// Converts one source pixel (blue, green, red first) into out.
using PixelConversion = std::function<void(const uint8_t* in, std::vector<uint8_t>& out)>;

// Rewrites a block: control bytes kept (or dropped, for alpha blocks), each
// value converted. The block was validated when the frame took it.
SRunLengthBlock ConvertBlock(const uint8_t* block, const uint32_t* rows, uint32_t width, uint32_t height,
                             uint32_t pixelSize, bool keepControl, const PixelConversion& convert)
{
    SRunLengthBlock result;
    if (!block)
        return result;
    std::vector<uint8_t> out(4);
    result.rows = std::make_unique<uint32_t[]>(height);
    for (uint32_t y = 0; y < height; ++y) {
        result.rows[y] = uint32_t(out.size());
        const uint8_t* s = block + rows[y];
        uint32_t x = 0;
        while (x < width) {
            const uint8_t c = *s++;
            if (keepControl)
                out.push_back(c);
            const uint32_t n = c & 0x3F;
            if (c & kRunSkip) {
                x += c & 0x7F;
                continue;
            }
            const uint32_t values = (c & kRunCopy) ? n : 1;
            for (uint32_t i = 0; i < values; ++i, s += pixelSize)
                convert(s, out);
            x += n;
        }
    }
    result.size = uint32_t(out.size());
    std::memcpy(out.data(), &result.size, 4);
    result.data = std::make_unique<uint8_t[]>(out.size());
    std::memcpy(result.data.get(), out.data(), out.size());
    return result;
}

void To565(const uint8_t* in, std::vector<uint8_t>& out)
{
    const uint16_t v = PackColor565(in[2], in[1], in[0]);
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void ToBgr(const uint8_t* in, std::vector<uint8_t>& out)
{
    out.insert(out.end(), in, in + 3);
}

void ToAlpha(const uint8_t* in, std::vector<uint8_t>& out)
{
    out.push_back(in[3]);
}

void ConvertRunLength(CFrame& frame, uint32_t target)
{
    const uint32_t depth = frame.GetBitDepth(), width = frame.GetWidth(), height = frame.GetHeight();
    const uint32_t kind = frame.GetFlags() & kFrameRunLengthMask;
    const uint32_t size = depth / 8;
    const auto block = [&](uint32_t n) { return n == 0 ? frame.GetPixels() : frame.GetRLEBlock(n); };
    const auto rows = [&](uint32_t n) { return n == 0 ? frame.GetRowTable() : frame.GetRLERowTable(n); };
    std::array<SRunLengthBlock, 5> converted;
    uint32_t result = 0;
    if (kind == kFrameFiveBands) {
        const uint8_t* palette = GamePaletteEntries();
        if (depth != 32 || target != 8 || !palette)
            return;
        const auto toIndex = [palette](const uint8_t* in, std::vector<uint8_t>& out) {
            out.push_back(FindNearestPaletteEntry(palette, in[2], in[1], in[0], 1, 255));
        };
        for (uint32_t n = 0; n < 5; ++n)
            converted[n] = ConvertBlock(block(n), rows(n), width, height, 4, true, toIndex);
        result = 8;
    } else {
        // Two-band frames are true colour: target 8 keeps them RGB565.
        const bool to565 = (depth == 32 || depth == 24) && (target == 8 || target == 16);
        const bool to24 = depth == 32 && target == 24;
        if (!to565 && !to24)
            return;
        const PixelConversion colour = to565 ? PixelConversion(&To565) : PixelConversion(&ToBgr);
        converted[0] = ConvertBlock(block(0), rows(0), width, height, size, true, colour);
        converted[4] = ConvertBlock(block(4), rows(4), width, height, size, true, colour);
        if (depth == 32)
            converted[3] = ConvertBlock(block(3), rows(3), width, height, 4, false, &ToAlpha);
        else if (block(3)) {
            const uint32_t bytes = ReadU32(block(3));
            converted[3].data = std::make_unique<uint8_t[]>(bytes);
            std::memcpy(converted[3].data.get(), block(3), bytes);
            converted[3].size = bytes;
            converted[3].rows = std::make_unique<uint32_t[]>(height);
            std::memcpy(converted[3].rows.get(), rows(3), size_t(height) * 4);
        }
        result = to565 ? 16 : 24;
    }
    std::array<SRunLengthBlock, 4> extra;
    for (uint32_t n = 1; n <= 4; ++n)
        extra[n - 1] = std::move(converted[n]);
    frame.SetBitDepth(result);
    if (!frame.TakeRunLengthForm(kind, std::move(converted[0]), std::move(extra)))
        frame.SetBitDepth(depth);
}

// Builds the converted plain frame pixel by pixel and lets frame take it.
template <typename Convert>
void ConvertPlain(CFrame& frame, uint32_t target, Convert convert)
{
    auto out = CFrame::MakeOwned(frame.GetWidth(), frame.GetHeight(), target);
    if (!out)
        return;
    const uint32_t in = frame.GetBytesPerPixel(), size = target / 8;
    for (uint32_t y = 0; y < frame.GetHeight(); ++y) {
        const uint8_t* src = frame.Row(y);
        uint8_t* dst = out->Row(y);
        for (uint32_t x = 0; x < frame.GetWidth(); ++x)
            convert(src + size_t(x) * in, dst + size_t(x) * size);
    }
    out->SetOffset(int16_t(frame.GetOffsetX()), int16_t(frame.GetOffsetY()));
    frame.CopyFrom(out.get());
}

// Blue, green, red of any plain pixel: widened RGB565, the blend palette's
// colour of an index (index 0 black), or the first three bytes.
void ColourOf(const uint8_t* p, uint32_t depth, uint8_t* bgr)
{
    if (depth == 16) {
        const uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8;
        bgr[0] = Expand5(v & 31);
        bgr[1] = Expand6((v >> 5) & 63);
        bgr[2] = Expand5(v >> 11);
    } else if (depth == 8) {
        uint8_t r = 0, g = 0, b = 0;
        if (*p != 0)
            GetBlendTable().GetColor(*p, r, g, b);
        bgr[0] = b;
        bgr[1] = g;
        bgr[2] = r;
    } else {
        std::memcpy(bgr, p, 3);
    }
}

void ConvertPlainFrame(CFrame& frame, uint32_t target, Dither dither)
{
    const uint32_t depth = frame.GetBitDepth(), width = frame.GetWidth();
    if (target == 8) {
        const uint8_t* palette = GamePaletteEntries();
        if (!palette)
            return;
        if (dither == Dither::On) {
            CColorDitherer ditherer(width, 0.5f, palette, nullptr);
            ConvertPlain(frame, 8, [&](const uint8_t* p, uint8_t* out) {
                uint8_t bgr[3];
                ColourOf(p, depth, bgr);
                *out = ditherer.PickPaletteIndex(bgr[2] / 255.0f, bgr[1] / 255.0f, bgr[0] / 255.0f);
            });
        } else {
            ConvertPlain(frame, 8, [&](const uint8_t* p, uint8_t* out) {
                uint8_t bgr[3];
                ColourOf(p, depth, bgr);
                *out = FindNearestPaletteEntry(palette, bgr[2], bgr[1], bgr[0], 1, 255);
            });
        }
        return;
    }
    if (depth == 8 && GetBlendTable().GetType() != 1)
        return;
    if (target == 16) {
        CColorDitherer ditherer(width, 0.5f, nullptr, nullptr);
        ConvertPlain(frame, 16, [&](const uint8_t* p, uint8_t* out) {
            uint8_t bgr[3];
            ColourOf(p, depth, bgr);
            if (dither == Dither::On && depth != 8)
                DitherTo565Levels(ditherer, bgr);
            // Index 0 stays transparent.
            const uint16_t v = depth == 8 && *p == 0 ? 0 : PackColor565(bgr[2], bgr[1], bgr[0]);
            out[0] = uint8_t(v);
            out[1] = uint8_t(v >> 8);
        });
        return;
    }
    if (depth == 32)
        for (uint32_t y = 0; y < frame.GetHeight(); ++y)
            for (uint32_t x = 0; x < width; ++x)
                if (frame.Row(y)[4 * x + 3] < 250)
                    return;
    ConvertPlain(frame, 24, [&](const uint8_t* p, uint8_t* out) { ColourOf(p, depth, out); });
}

} // namespace

uint8_t Expand5(uint32_t i)
{
    return uint8_t((255 * i + 16) / 31);
}

uint8_t Expand6(uint32_t i)
{
    return uint8_t((255 * i + 31) / 63);
}

CColorDitherer::CColorDitherer(uint32_t width, float maximumError, const uint8_t* colours, const CPalette* palette)
    : m_Width(width == 0 ? 1 : width)
    , m_RingSize(m_Width + 1)
    , m_MaximumError(maximumError)
    , m_MaximumError2(maximumError * maximumError)
    , m_Colours(colours)
    , m_Palette(palette)
{
    for (auto& ring : m_Error)
        ring.assign(m_RingSize, 0.0f);
}

void CColorDitherer::AddError(float& r, float& g, float& b)
{
    float* channels[3] = {&r, &g, &b};
    for (uint32_t c = 0; c < 3; ++c) {
        m_Asked[c] = *channels[c];
        m_Wanted[c] = std::clamp(m_Asked[c] - m_Error[c][m_Position], 0.0f, 1.0f);
        m_Error[c][m_Position] = 0.0f;
        *channels[c] = m_Wanted[c];
    }
    m_Position = (m_Position + 1) % m_RingSize;
    m_Column = (m_Column + 1) % m_Width;
    m_Retried = false;
}

bool CColorDitherer::Distribute(float& r, float& g, float& b)
{
    float* channels[3] = {&r, &g, &b};
    if (!m_Retried) {
        float distance = 0.0f;
        for (uint32_t c = 0; c < 3; ++c)
            distance += (m_Asked[c] - *channels[c]) * (m_Asked[c] - *channels[c]);
        if (distance > m_MaximumError2) {
            m_Retried = true;
            for (uint32_t c = 0; c < 3; ++c)
                *channels[c] = m_Wanted[c] = m_Asked[c];
            return true;
        }
    }
    // The pixel just quantised sat at column m_Column - 1; the ring slot at
    // m_Position is the next pixel, slot + width - 1 the one below.
    const uint32_t column = (m_Column + m_Width - 1) % m_Width;
    const bool hasLeft = column > 0, hasRight = column + 1 < m_Width;
    for (uint32_t c = 0; c < 3; ++c) {
        const float e = *channels[c] - m_Wanted[c];
        std::vector<float>& ring = m_Error[c];
        const auto slot = [this](uint32_t ahead) { return (m_Position + ahead) % m_RingSize; };
        if (hasRight) {
            ring[slot(0)] += e * 7.0f / 16.0f;
            ring[slot(m_Width)] += e * 1.0f / 16.0f;
        }
        if (hasLeft)
            ring[slot(m_Width - 2)] += e * 3.0f / 16.0f;
        ring[slot(m_Width - 1)] += e * 5.0f / 16.0f;
    }
    return false;
}

uint8_t CColorDitherer::PickPaletteIndex(float r, float g, float b)
{
    AddError(r, g, b);
    uint8_t index = 0;
    do {
        if (m_Colours)
            index = FindNearestPaletteEntry(m_Colours, ToByte(r), ToByte(g), ToByte(b), 1, 256);
        else if (m_Palette)
            index = m_Palette->FindNearest(ToByte(r), ToByte(g), ToByte(b), 1, 256);
        uint8_t red = 0, green = 0, blue = 0;
        if (m_Colours) {
            blue = m_Colours[3 * index];
            green = m_Colours[3 * index + 1];
            red = m_Colours[3 * index + 2];
        } else if (m_Palette) {
            m_Palette->GetColor(index, red, green, blue);
        }
        r = red / 255.0f;
        g = green / 255.0f;
        b = blue / 255.0f;
    } while (Distribute(r, g, b));
    return index;
}

void DitherTo565Levels(CColorDitherer& ditherer, uint8_t* bgr)
{
    float r = bgr[2] / 255.0f, g = bgr[1] / 255.0f, b = bgr[0] / 255.0f;
    ditherer.AddError(r, g, b);
    do {
        r = std::floor(r * 31.0f) / 31.0f;
        g = std::floor(g * 63.0f) / 63.0f;
        b = std::floor(b * 31.0f) / 31.0f;
    } while (ditherer.Distribute(r, g, b));
    bgr[0] = ToByte(b);
    bgr[1] = ToByte(g);
    bgr[2] = ToByte(r);
}

CFilterChangeBitDepth::CFilterChangeBitDepth(Dither dither, uint32_t bitDepth)
    : CFrameFilter(11)
    , m_BitDepth(bitDepth)
    , m_Dither(dither)
{
}

std::unique_ptr<CFrameFilter> CFilterChangeBitDepth::Clone() const
{
    return std::make_unique<CFilterChangeBitDepth>(m_Dither, m_BitDepth);
}

bool CFilterChangeBitDepth::Apply(CFrame& frame, const CRect&)
{
    ChangeFrameBitDepth(frame, m_BitDepth, m_Dither);
    return true;
}

void ChangeFrameBitDepth(CFrame& frame, uint32_t target, Dither dither)
{
    if (!frame.GetPixels()) {
        frame.SetBitDepth(target);
        return;
    }
    const uint32_t depth = frame.GetBitDepth();
    if (depth == target || (target != 8 && target != 16 && target != 24))
        return;
    if (frame.IsCompressed())
        ConvertRunLength(frame, target);
    else
        ConvertPlainFrame(frame, target, dither);
}
