#include "render/ProxyBlit.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "images/CFrame.h"

namespace {

// The pixels of part (source coordinates, inside bounds) on their own:
// borrowed from a plain 32-bit frame, else drawn into a 32-bit copy.
std::unique_ptr<CFrame> CutOut(CFrameInterface& source, const CRect& bounds, const CRect& part)
{
    const uint32_t w = uint32_t(part.right - part.left), h = uint32_t(part.bottom - part.top);
    auto* frame = dynamic_cast<CFrame*>(&source);
    if (frame && frame->GetBitDepth() == 32 && !frame->IsCompressed() && int32_t(frame->GetPitch()) > 0)
        if (uint8_t* row = frame->Row(uint32_t(part.top - bounds.top)))
            return CFrame::MakeBorrowed(row + size_t(part.left - bounds.left) * 4, w, h, 32, frame->GetPitch());
    std::unique_ptr<CFrame> copy = CFrame::MakeOwned(w, h, 32);
    if (copy)
        copy->Blit(source, part, CRect{0, 0, int32_t(w), int32_t(h)}, GetNormalBlitType());
    return copy;
}

} // namespace

CBlitXParams MakeProxyBlit(CFrameInterface& source, const CRect& s, const CRect& d, CBlitType& blitType)
{
    // In 64 bits: a destination near the int32 limits with a source that
    // starts below 0 would overflow.
    CBlitXParams params(&source, float(int64_t(d.left) - s.left), float(int64_t(d.top) - s.top), 0.0f, 1.0f, 1.0f,
                        CColor(255, 255, 255, 255), 0, 0.0f, 0.0f, true);
    if (&blitType == &GetTransparentMaskBlitType())
        params.m_Color = CColor(255, 255, 255, uint8_t(blitType.GetOpacity255()));
    return params;
}

SProxyBlit MakeProxyBlitOfPart(CFrameInterface& source, const CRect& s, const CRect& d, CBlitType& blitType)
{
    SProxyBlit blit{nullptr, MakeProxyBlit(source, s, d, blitType)};
    if (!blitType.DrawsAtSourceSize()) {
        // Tiling and scaling types fill d by their own rule: d's picture is
        // made by the type itself, at full strength, and faded by the record.
        blit.params.m_Source = nullptr;
        const int64_t w = int64_t(d.right) - d.left, h = int64_t(d.bottom) - d.top;
        if (w <= 0 || h <= 0 || w > 0xFFFF || h > 0xFFFF)
            return blit;
        blit.part = CFrame::MakeOwned(uint32_t(w), uint32_t(h), 32);
        if (!blit.part)
            return blit;
        {
            const CScopedBlitOpacity full(blitType, 1.0f);
            blit.part->Blit(source, s, CRect{0, 0, int32_t(w), int32_t(h)}, blitType);
        }
        blit.params.m_Source = blit.part.get();
        blit.params.m_X = float(d.left), blit.params.m_Y = float(d.top);
        blit.params.m_Color = CColor(255, 255, 255, uint8_t(blitType.GetOpacity255()));
        return blit;
    }
    CRect bounds;
    source.GetBounds(bounds);
    CRect part;
    if (!IntersectRects(part, s, bounds)) {
        blit.params.m_Source = nullptr;
        return blit;
    }
    if (part.left == bounds.left && part.top == bounds.top && part.right == bounds.right
        && part.bottom == bounds.bottom)
        return blit;
    blit.part = CutOut(source, bounds, part);
    blit.params.m_Source = blit.part.get();
    blit.params.m_X = float(int64_t(d.left) + (int64_t(part.left) - s.left));
    blit.params.m_Y = float(int64_t(d.top) + (int64_t(part.top) - s.top));
    return blit;
}
