#include "images/CFilterRLEColor0.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "blit/CPalette.h"
#include "blit/ColorTables.h"
#include "blit/RunLengthRows.h"
#include "images/CFilterChangeBitDepth.h"
#include "images/CFrame.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace {

bool g_RunLengthEnabled = false;
uint32_t g_MinimumFill = 8;

uint32_t ReadPixel(const uint8_t* p, uint32_t size)
{
    uint32_t v = 0;
    std::memcpy(&v, p, size);
    return v;
}

bool IsTransparent(const uint8_t* p, uint32_t size)
{
    return size == 4 ? p[3] == 0 : ReadPixel(p, size) == 0;
}

// The value two pixels must share to be one fill; equal keys, one fill.
uint32_t EqualityKey(const uint8_t* p, uint32_t size, RunLengthEquality equality, uint32_t index)
{
    switch (equality) {
    case RunLengthEquality::Identical:
        return ReadPixel(p, size);
    case RunLengthEquality::PaletteEntry: {
        const CArrayPOD<uint8_t>& palette = GetGamePalette();
        if (palette.GetCount() < 768)
            return ReadPixel(p, 3);
        return FindNearestPaletteEntry(palette.GetData(), p[2], p[1], p[0], 1, 255);
    }
    case RunLengthEquality::Rgb565:
        return PackColor565(p[2], p[1], p[0]);
    case RunLengthEquality::Rgb565Alpha5:
        return uint32_t(PackColor565(p[2], p[1], p[0])) << 8 | (p[3] >> 3);
    case RunLengthEquality::None:
        return index;
    }
    return index;
}

void EncodeRow(std::vector<uint8_t>& out, const uint8_t* row, uint32_t width, uint32_t size, const uint32_t* keys,
               bool copiesOnly)
{
    const uint32_t minimumFill = g_MinimumFill;
    // Pixels from p equal to pixel p, counted over at most limit pixels.
    const auto runAt = [keys](uint32_t p, uint32_t limit) {
        uint32_t n = 1;
        while (n < limit && keys[p + n] == keys[p])
            ++n;
        return limit == 0 ? 0 : n;
    };
    uint32_t p = 0;
    while (p < width) {
        uint32_t skip = 0;
        while (skip < kRunMaxSkip && p + skip < width && IsTransparent(row + size_t(p + skip) * size, size))
            ++skip;
        if (skip) {
            out.push_back(uint8_t(kRunSkip + skip));
            p += skip;
        }
        uint32_t end = p;
        while (end < width && !IsTransparent(row + size_t(end) * size, size))
            ++end;
        while (p < end) {
            const uint32_t r = copiesOnly ? 0 : runAt(p, std::min(end - p, kRunMaxCount));
            if (r > minimumFill) {
                out.push_back(uint8_t(r));
                out.insert(out.end(), row + size_t(p) * size, row + size_t(p + 1) * size);
                p += r;
                continue;
            }
            uint32_t count = 1;
            while (count < kRunMaxCount && p + count < end
                   && (copiesOnly || runAt(p + count, std::min(end - p - count, minimumFill)) < minimumFill))
                ++count;
            out.push_back(uint8_t(kRunCopy + count));
            out.insert(out.end(), row + size_t(p) * size, row + size_t(p + count) * size);
            p += count;
        }
    }
}

// The frame with only the pixels whose alpha lies in (low, high].
std::unique_ptr<CFrame> Band(const CFrame& frame, uint32_t low, uint32_t high, bool& any)
{
    auto band = CFrame::MakeOwned(frame.GetWidth(), frame.GetHeight(), 32);
    any = false;
    for (uint32_t y = 0; band && y < frame.GetHeight(); ++y) {
        const uint8_t* in = frame.Row(y);
        uint8_t* out = band->Row(y);
        for (uint32_t x = 0; x < frame.GetWidth(); ++x)
            if (in[4 * x + 3] > low && in[4 * x + 3] <= high) {
                std::memcpy(out + 4 * x, in + 4 * x, 4);
                any = true;
            }
    }
    return band;
}

// Dithers the frame's colours in place: to the game palette's colours
// (target 8) or to RGB565 levels (target 16); alpha is kept.
void DitherFrame(CFrame& frame, uint32_t target)
{
    const CArrayPOD<uint8_t>& palette = GetGamePalette();
    if (target == 8 && palette.GetCount() < 768)
        return;
    CColorDitherer ditherer(frame.GetWidth(), target == 8 ? 0.5f : 100.8f, target == 8 ? palette.GetData() : nullptr,
                            nullptr);
    for (uint32_t y = 0; y < frame.GetHeight(); ++y) {
        uint8_t* row = frame.Row(y);
        for (uint32_t x = 0; x < frame.GetWidth(); ++x) {
            uint8_t* p = row + 4 * x;
            if (target == 16) {
                DitherTo565Levels(ditherer, p);
                continue;
            }
            const uint8_t index = ditherer.PickPaletteIndex(p[2] / 255.0f, p[1] / 255.0f, p[0] / 255.0f);
            std::memcpy(p, palette.GetData() + 3 * index, 3);
        }
    }
}

} // namespace

bool SetRunLengthEncodingEnabled(bool enabled)
{
    return std::exchange(g_RunLengthEnabled, enabled);
}

bool IsRunLengthEncodingEnabled()
{
    return g_RunLengthEnabled;
}

uint32_t SetRunLengthMinFill(uint32_t minimumFill)
{
    return std::exchange(g_MinimumFill, minimumFill);
}

uint32_t GetRunLengthMinFill()
{
    return g_MinimumFill;
}

SRunLengthBlock EncodeRunLengthBlock(const CFrame& frame, RunLengthEquality equality)
{
    const uint32_t width = frame.GetWidth(), height = frame.GetHeight(), size = frame.GetBytesPerPixel();
    std::vector<uint8_t> out(4);
    out.reserve(4 + size_t(width) * height * (size + 1) / 2 + height);
    SRunLengthBlock block;
    block.rows = std::make_unique<uint32_t[]>(height);
    std::vector<uint32_t> keys(width);
    for (uint32_t y = 0; y < height; ++y) {
        block.rows[y] = uint32_t(out.size());
        const uint8_t* row = frame.Row(y);
        for (uint32_t x = 0; x < width; ++x)
            keys[x] = EqualityKey(row + size_t(x) * size, size, equality, x);
        EncodeRow(out, row, width, size, keys.data(), equality == RunLengthEquality::None);
    }
    block.size = uint32_t(out.size());
    std::memcpy(out.data(), &block.size, 4);
    block.data = std::make_unique<uint8_t[]>(out.size());
    std::memcpy(block.data.get(), out.data(), out.size());
    return block;
}

std::unique_ptr<CFrameFilter> CFilterRLEColor0::Clone() const
{
    return std::make_unique<CFilterRLEColor0>(m_Mode);
}

bool CFilterRLEColor0::Apply(CFrame& frame, const CRect&)
{
    if (!g_RunLengthEnabled || !frame.GetPixels())
        return true;
    if (frame.IsCompressed())
        return false;
    const CFrameFilter* chain = GetChain();
    const auto* depthFilter = chain ? dynamic_cast<const CFilterChangeBitDepth*>(chain->FindFilter(11)) : nullptr;
    const uint32_t target = depthFilter ? depthFilter->GetTargetDepth()
        : chain                         ? chain->GetTargetBitDepth()
                                        : CFrame::SGetBitDepth();
    const bool dither = depthFilter && depthFilter->GetDither() == Dither::On;
    const int16_t offsetX = int16_t(frame.GetOffsetX()), offsetY = int16_t(frame.GetOffsetY());
    const uint32_t depth = frame.GetBitDepth();

    if (depth == 8 || depth == 16) {
        if ((depth == 8) != (target == 8))
            return false;
        const uint32_t kind = depth == 8 ? kFrameFiveBands : kFrameTwoBands;
        return frame.TakeRunLengthForm(kind, EncodeRunLengthBlock(frame, RunLengthEquality::Identical), {});
    }
    if ((depth != 24 && depth != 32) || (target != 8 && target != 16))
        return false;
    if (depth == 24) {
        auto wide = CFrame::MakeOwned(frame.GetWidth(), frame.GetHeight(), 32);
        if (!wide)
            return false;
        const CRect all = SizeToRect(int32_t(frame.GetWidth()), int32_t(frame.GetHeight()));
        wide->BlitToFrame(frame, all, all, GetNormalBlitType());
        frame.CopyFrom(wide.get());
    }
    const bool fiveBands = target == 8 && m_Mode == Mode::FiveBands;
    bool any = false;
    std::array<SRunLengthBlock, 4> extra;
    if (fiveBands) {
        auto top = Band(frame, 229, 255, any);
        if (dither)
            DitherFrame(*top, 8);
        constexpr uint32_t kBands[4][2] = {{25, 76}, {76, 127}, {127, 178}, {178, 229}};
        for (uint32_t i = 0; i < 4; ++i)
            if (auto band = Band(frame, kBands[i][0], kBands[i][1], any); any)
                extra[i] = EncodeRunLengthBlock(*band, RunLengthEquality::PaletteEntry);
        if (!frame.TakeRunLengthForm(kFrameFiveBands, EncodeRunLengthBlock(*top, RunLengthEquality::PaletteEntry),
                                     std::move(extra)))
            return false;
    } else {
        auto top = Band(frame, 250, 255, any);
        if (dither)
            DitherFrame(*top, target);
        const RunLengthEquality main = target == 8 ? RunLengthEquality::PaletteEntry : RunLengthEquality::Rgb565;
        const RunLengthEquality translucent = target == 8 ? RunLengthEquality::None : RunLengthEquality::Rgb565Alpha5;
        if (auto band = Band(frame, 5, 250, any); any) {
            extra[3] = EncodeRunLengthBlock(*band, translucent);
            extra[2] = EncodeRunLengthBlock(*band, translucent);
        }
        if (!frame.TakeRunLengthForm(kFrameTwoBands, EncodeRunLengthBlock(*top, main), std::move(extra)))
            return false;
    }
    frame.SetOffset(offsetX, offsetY);
    if (!depthFilter)
        ChangeFrameBitDepth(frame, target, Dither::Off);
    return true;
}
