#include "images/CFrameFilter.h"

#include "blit/CBlitTypeList.h"
#include "blit/CPalette.h"
#include "blit/GamePalette.h"
#include "images/CFilterChangeBitDepth.h"
#include "images/CFilterRLEColor0.h"
#include "images/CFrame.h"
#include "images/CPaletteHolder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// The stored kind of a requested one: 9 is stored as 8, 12 as 11.
int32_t StoredKind(int32_t kind)
{
    return kind == 9 ? 8 : kind == 12 ? 11 : kind;
}

uint32_t Brightness(const uint8_t* bgr)
{
    return std::max({bgr[0], bgr[1], bgr[2]});
}

template <typename F>
void ForEachPixel32(CFrame& frame, F f)
{
    for (uint32_t y = 0; y < frame.GetHeight(); ++y) {
        uint8_t* row = frame.Row(y);
        for (uint32_t x = 0; row && x < frame.GetWidth(); ++x)
            f(row + 4 * x);
    }
}

bool IsPlain32(const CFrame& frame)
{
    return frame.GetBitDepth() == 32 && !frame.IsCompressed();
}

} // namespace

CFrameFilter::CFrameFilter(int32_t kind)
    : m_Kind(kind)
{
}

CFrameFilter::~CFrameFilter()
{
    // Unlink iteratively so a long chain does not recurse deeply.
    std::unique_ptr<CFrameFilter> next = std::move(m_pNext);
    while (next)
        next = std::move(next->m_pNext);
}

std::unique_ptr<CFrameFilter> CFrameFilter::Clone() const
{
    return std::make_unique<CFrameFilter>(m_Kind);
}

bool CFrameFilter::Apply(CFrame&, const CRect&)
{
    return true;
}

bool CFrameFilter::AddFilter(int32_t kind)
{
    if (m_bLocked || kind < 2 || kind > 12 || HasFilter(StoredKind(kind)))
        return false;
    std::unique_ptr<CFrameFilter> filter;
    switch (kind) {
    case 2:
        filter = std::make_unique<CFilterCenterHotSpot>();
        break;
    case 3:
        filter = std::make_unique<CFilterRemoveDeadAlpha>(5);
        break;
    case 4:
        filter = std::make_unique<CFilterBlackBias>();
        break;
    case 5:
        filter = std::make_unique<CFilterZeroAlphaOnBlack>(15);
        break;
    case 6:
        filter = std::make_unique<CFilterCropColor0>();
        break;
    case 7:
        filter = std::make_unique<CFilterRemoveBlackBlending>();
        break;
    case 8:
        filter = std::make_unique<CFilterRLEColor0>(GetTargetBitDepth() == 8 ? CFilterRLEColor0::Mode::FiveBands
                                                                             : CFilterRLEColor0::Mode::TwoBands);
        break;
    case 9:
        filter = std::make_unique<CFilterRLEColor0>(CFilterRLEColor0::Mode::TwoBands);
        break;
    case 10:
        filter = std::make_unique<CFilterCreateBestPalette>();
        break;
    case 11:
        filter = std::make_unique<CFilterChangeBitDepth>(Dither::Off, CFrame::SGetBitDepth());
        break;
    default:
        filter = std::make_unique<CFilterChangeBitDepth>(Dither::On, CFrame::SGetBitDepth());
        break;
    }
    if (!InsertFilter(std::move(filter)))
        return false;
    if (kind == 4 && GetTargetBitDepth() != 8)
        AddFilter(7);
    return true;
}

bool CFrameFilter::InsertFilter(std::unique_ptr<CFrameFilter> filter)
{
    if (m_bLocked || !filter || HasFilter(filter->m_Kind))
        return false;
    std::unique_ptr<CFrameFilter>* link = &m_pNext;
    while (*link && (*link)->m_Kind < filter->m_Kind)
        link = &(*link)->m_pNext;
    filter->m_pChain = this;
    filter->m_pNext = std::move(*link);
    *link = std::move(filter);
    return true;
}

bool CFrameFilter::RemoveFilter(int32_t kind)
{
    if (m_bLocked)
        return false;
    kind = StoredKind(kind);
    for (std::unique_ptr<CFrameFilter>* link = &m_pNext; *link; link = &(*link)->m_pNext)
        if ((*link)->m_Kind == kind) {
            std::unique_ptr<CFrameFilter> removed = std::move(*link);
            *link = std::move(removed->m_pNext);
            return true;
        }
    return false;
}

CFrameFilter* CFrameFilter::FindFilter(int32_t kind) const
{
    for (CFrameFilter* f = m_pNext.get(); f; f = f->m_pNext.get())
        if (f->m_Kind == kind)
            return f;
    return nullptr;
}

void CFrameFilter::CopyFiltersFrom(const CFrameFilter& other)
{
    for (const CFrameFilter* f = other.m_pNext.get(); f; f = f->m_pNext.get())
        InsertFilter(f->Clone());
}

void CFrameFilter::ClearChain()
{
    std::unique_ptr<CFrameFilter> next = std::move(m_pNext);
    while (next)
        next = std::move(next->m_pNext);
}

bool CFrameFilter::ApplyAll(CFrame& frame)
{
    bool ok = true;
    for (CFrameFilter* f = m_pNext.get(); f; f = f->m_pNext.get()) {
        const CRect all = SizeToRect(int32_t(frame.GetWidth()), int32_t(frame.GetHeight()));
        ok = f->Apply(frame, all) && ok;
    }
    return ok;
}

uint32_t CFrameFilter::GetTargetBitDepth() const
{
    if (const auto* depth = dynamic_cast<const CFilterChangeBitDepth*>(FindFilter(11)))
        return depth->GetTargetDepth();
    return GetBitDepth();
}

uint32_t CFrameFilter::GetBitDepth() const
{
    return m_BitDepth > 0 ? uint32_t(m_BitDepth) : CFrame::SGetBitDepth();
}

std::unique_ptr<CFrameFilter> CFilterCenterHotSpot::Clone() const
{
    return std::make_unique<CFilterCenterHotSpot>();
}

bool CFilterCenterHotSpot::Apply(CFrame& frame, const CRect& rect)
{
    frame.SetOffset(int16_t(frame.GetOffsetX() - (rect.right - rect.left) / 2),
                    int16_t(frame.GetOffsetY() - (rect.bottom - rect.top) / 2));
    return true;
}

std::unique_ptr<CFrameFilter> CFilterRemoveDeadAlpha::Clone() const
{
    return std::make_unique<CFilterRemoveDeadAlpha>(m_Threshold);
}

bool CFilterRemoveDeadAlpha::Apply(CFrame& frame, const CRect&)
{
    if (!IsPlain32(frame))
        return false;
    ForEachPixel32(frame, [this](uint8_t* p) {
        if (p[3] < m_Threshold)
            p[3] = 0;
    });
    return true;
}

std::unique_ptr<CFrameFilter> CFilterZeroAlphaOnBlack::Clone() const
{
    return std::make_unique<CFilterZeroAlphaOnBlack>(m_Threshold);
}

bool CFilterZeroAlphaOnBlack::Apply(CFrame& frame, const CRect&)
{
    if (!IsPlain32(frame))
        return false;
    ForEachPixel32(frame, [this](uint8_t* p) {
        if (Brightness(p) < m_Threshold)
            std::memset(p, 0, 4);
    });
    return true;
}

std::unique_ptr<CFrameFilter> CFilterBlackBias::Clone() const
{
    return std::make_unique<CFilterBlackBias>();
}

bool CFilterBlackBias::Apply(CFrame& frame, const CRect&)
{
    if (frame.GetWidth() == 0 || frame.IsCompressed())
        return false;
    const uint32_t target = GetChain() ? GetChain()->GetTargetBitDepth() : CFrame::SGetBitDepth();
    const uint32_t depth = frame.GetBitDepth();
    if (target == 8) {
        const CPalette& blend = GetBlendTable();
        for (uint32_t y = 0; y < frame.GetHeight(); ++y) {
            uint8_t* row = frame.Row(y);
            for (uint32_t x = 0; x < frame.GetWidth(); ++x) {
                if (depth == 8 && row[x] != 0) {
                    uint8_t r, g, b;
                    blend.GetColor(row[x], r, g, b);
                    if (std::max({r, g, b}) < 40)
                        row[x] = 0;
                } else if (depth == 24 && Brightness(row + 3 * x) < 40) {
                    std::memset(row + 3 * x, 0, 3);
                } else if (depth == 32 && Brightness(row + 4 * x) < 40) {
                    std::memset(row + 4 * x, 0, 4);
                }
            }
        }
        return true;
    }
    if (depth == 24) {
        auto wide = CFrame::MakeOwned(frame.GetWidth(), frame.GetHeight(), 32);
        if (!wide)
            return false;
        const CRect all = SizeToRect(int32_t(frame.GetWidth()), int32_t(frame.GetHeight()));
        wide->BlitToFrame(frame, all, all, GetNormalBlitType());
        wide->SetOffset(int16_t(frame.GetOffsetX()), int16_t(frame.GetOffsetY()));
        frame.CopyFrom(wide.get());
    }
    if (frame.GetBitDepth() != 32)
        return true;
    ForEachPixel32(frame, [](uint8_t* p) {
        if (p[3] > 5)
            p[3] = uint8_t(Brightness(p));
    });
    return true;
}

std::unique_ptr<CFrameFilter> CFilterCropColor0::Clone() const
{
    return std::make_unique<CFilterCropColor0>();
}

bool CFilterCropColor0::Apply(CFrame& frame, const CRect&)
{
    if (!frame.GetPixels() || frame.IsCompressed())
        return true;
    const int16_t x0 = int16_t(frame.GetOffsetX()), y0 = int16_t(frame.GetOffsetY());
    frame.SetOffset(0, 0);
    CRect r;
    // A frame with nothing visible answers its whole size, so it is kept
    // like a frame visible to its edges, never emptied.
    frame.GetOpaqueBounds(r);
    const auto round4 = [](int32_t v) { return v > 4 ? (v + 3) & ~3 : v; };
    const int32_t w = round4(r.right - r.left), h = round4(r.bottom - r.top);
    r.right = r.left + w;
    r.bottom = r.top + h;
    if (uint32_t(w) == frame.GetWidth() && uint32_t(h) == frame.GetHeight()) {
        frame.SetOffset(x0, y0);
        return true;
    }
    auto cropped = CFrame::MakeOwned(uint32_t(w), uint32_t(h), frame.GetBitDepth());
    if (!cropped) {
        frame.SetOffset(x0, y0);
        return false;
    }
    // The rounded rectangle may reach past the frame; those pixels stay 0.
    const uint32_t size = frame.GetBytesPerPixel();
    for (int32_t y = r.top; y < std::min(r.bottom, int32_t(frame.GetHeight())); ++y) {
        const int32_t right = std::min(r.right, int32_t(frame.GetWidth()));
        std::memcpy(cropped->Row(uint32_t(y - r.top)), frame.Row(uint32_t(y)) + size_t(r.left) * size,
                    size_t(right - r.left) * size);
    }
    CPalette* palette = frame.GetPalette();
    if (palette)
        EnsurePaletteHolder(*cropped).GetPalette().CopyFrom(*palette);
    cropped->SetOffset(int16_t(r.left + x0), int16_t(r.top + y0));
    frame.CopyFrom(cropped.get());
    return true;
}

std::unique_ptr<CFrameFilter> CFilterRemoveBlackBlending::Clone() const
{
    return std::make_unique<CFilterRemoveBlackBlending>();
}

bool CFilterRemoveBlackBlending::Apply(CFrame& frame, const CRect&)
{
    if (!IsPlain32(frame))
        return false;
    ForEachPixel32(frame, [](uint8_t* p) {
        if (p[3] == 0 || p[3] == 255)
            return;
        float a = p[3] / 255.0f;
        for (int c = 2; c >= 0; --c)
            if (p[c] / a > 255.0f)
                a = p[c] / 255.0f;
        for (int c = 0; c < 3; ++c)
            p[c] = uint8_t(std::min(255.0f, std::trunc(p[c] / a + 0.5f)));
    });
    return true;
}

std::unique_ptr<CFrameFilter> CFilterCreateBestPalette::Clone() const
{
    return std::make_unique<CFilterCreateBestPalette>();
}

bool CFilterCreateBestPalette::Apply(CFrame& frame, const CRect&)
{
    const uint32_t depth = frame.GetBitDepth();
    if ((depth != 24 && depth != 32) || frame.IsCompressed())
        return false;
    std::vector<uint32_t> histogram(kHistogramCells, 0);
    const uint32_t size = depth / 8;
    for (uint32_t y = 0; y < frame.GetHeight(); ++y) {
        const uint8_t* row = frame.Row(y);
        for (uint32_t x = 0; row && x < frame.GetWidth(); ++x)
            CountColor(histogram.data(), row + size_t(x) * size);
    }
    return EnsurePaletteHolder(frame).GetPalette().BuildBestPalette(histogram.data(), 1, 254) == 0;
}

CFrameFilter& GetDefaultBuildFilters()
{
    static CFrameFilter chain;
    chain.ClearChain();
    chain.AddFilter(3);
    chain.AddFilter(6);
    chain.AddFilter(7);
    const uint32_t depth = CFrame::SGetBitDepth();
    chain.AddFilter(depth != 8 ? 12 : 11);
    chain.AddFilter(8);
    return chain;
}
