#include "ui/CJSlider.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "blit/CFrameInterface.h"
#include "foundation/SaturatingArithmetic.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "render/CProxyFrame.h"
#include "render/SurfaceHelpers.h"
#include "shell/CKeyboardState.h"
#include "ui/SkinTiling.h"

#include <algorithm>
#include <optional>

namespace {

constexpr int32_t kCursorSlider = 2;
constexpr int32_t kCursorOverThumb = 7;
constexpr int32_t kCursorDraggingThumb = 8;

int32_t HeightOf(const CFrameInterface* image)
{
    return image ? int32_t(image->GetHeight()) : 0;
}

} // namespace

CJSlider::CJSlider(CJWindow* parent, uint32_t count, uint32_t step)
    : CJWindow(parent, "~CJSlider")
    , m_Count(count)
{
    m_TabStop = true;
    m_DrawOutline = true;
    m_PageStep = step != 0 ? step : std::max<uint32_t>(1, (count + 10) / 20);
    const int32_t u = GetFontUnit();
    const int32_t width = m_Font ? m_Font->GetTextWidth(m_Title) : 0;
    const int32_t lineHeight = m_Font ? m_Font->GetLineHeight() : 0;
    SetSize(width + 4 * u + 2, lineHeight + 4 * u + 2);
}

bool CJSlider::IsGrayed() const
{
    return m_Grayed;
}

void CJSlider::SetValue(uint32_t value, bool silent)
{
    value = m_Count > 0 ? std::min(value, m_Count - 1) : 0;
    const bool changed = value != m_Value;
    m_Value = value;
    if (changed && !silent)
        NotifyParent(kNotifyChanged);
}

uint32_t CJSlider::GetValue() const
{
    return m_Value;
}

CRect CJSlider::GetThumbRect(const CRect& bounds) const
{
    const int32_t lineHeight = m_Font ? m_Font->GetLineHeight() : 0;
    const int64_t travel = int64_t(GetWidth()) - lineHeight - 1;
    int32_t x = 0;
    if (m_Count > 1) {
        const int64_t last = int64_t(m_Count) - 1;
        x = int32_t((travel * int64_t(m_Value) + last / 2) / last);
    }
    CRect thumb = bounds;
    thumb.left += x;
    thumb.right = thumb.left + lineHeight + 1;
    return thumb;
}

bool CJSlider::OnKeyDown(uint32_t key)
{
    if (CJWindow::OnKeyDown(key))
        return true;
    const uint32_t last = m_Count > 0 ? m_Count - 1 : 0;
    switch (key) {
    case uint32_t(EngineKey::Home):
        SetValue(0, false);
        return true;
    case uint32_t(EngineKey::Left):
        SetValue(m_Value > m_PageStep ? m_Value - m_PageStep : 0, false);
        return true;
    case uint32_t(EngineKey::Right):
        SetValue(uint32_t(std::min<uint64_t>(uint64_t(m_Value) + m_PageStep, last)), false);
        return true;
    case uint32_t(EngineKey::End):
        SetValue(last, false);
        return true;
    default:
        return false;
    }
}

bool CJSlider::OnMouseWheel(int32_t delta, CPoint)
{
    return OnKeyDown(delta <= 0 ? uint32_t(EngineKey::Left) : uint32_t(EngineKey::Right));
}

bool CJSlider::OnMouseDrag(CPoint point, CPoint movement, uint32_t buttons, CCursorSequence*& cursor)
{
    if (!(buttons & 1))
        return CJWindow::OnMouseDrag(point, movement, buttons, cursor);
    cursor = GetStandardCursor(kCursorDraggingThumb);
    const int32_t lineHeight = m_Font ? m_Font->GetLineHeight() : 0;
    const int64_t travel = int64_t(GetWidth()) - lineHeight - 1;
    // A thumb with no room to move has no position to pick.
    if (travel <= 0 || m_Count == 0)
        return true;
    const int64_t offset = int64_t(point.x) - (lineHeight + 1) / 2 - m_ScreenRect.left;
    const int64_t value = (travel / 2 + (int64_t(m_Count) - 1) * offset) / travel;
    SetValue(uint32_t(std::clamp<int64_t>(value, 0, int64_t(m_Count) - 1)), false);
    return true;
}

CCursorSequence* CJSlider::GetCursor(CPoint point)
{
    const CRect thumb = GetThumbRect(CRect{0, 0, GetWidth(), GetHeight()});
    return GetStandardCursor(thumb.ContainsPoint(point.x, point.y) ? kCursorOverThumb : kCursorSlider);
}

void CJSlider::DrawFocusRect(CFrameInterface& frame, const CColor& colour)
{
    if (m_ThumbImage)
        return;
    // The target holds the parent's coordinates here.
    const CRect thumb = GetThumbRect(m_Rect);
    CColor c = colour;
    DrawRect(frame, CRect{thumb.left - 1, thumb.top - 1, thumb.right + 1, thumb.bottom + 1}, c);
}

void CJSlider::SetTrackImage(CFrameInterface* image)
{
    m_TrackImage = image;
    SizeToImages();
}

void CJSlider::SetThumbImage(CFrameInterface* image)
{
    m_ThumbImage = image;
    SizeToImages();
}

void CJSlider::SizeToImages()
{
    const int32_t width = m_TrackImage ? int32_t(m_TrackImage->GetWidth()) : GetWidth();
    SetSize(width, std::max(HeightOf(m_TrackImage), HeightOf(m_ThumbImage)));
}

void CJSlider::Draw(CFrameInterface& frame)
{
    std::optional<CScopedBlitOpacity> dimMask, dimBlack;
    std::optional<CScopedHalfBevels> dimBevels;
    if (!IsEnabledWithParent() || IsGrayed()) {
        dimMask.emplace(GetTransparentMaskBlitType(), 0.4f);
        dimBlack.emplace(GetBlackBiasBlitType(), 0.6f);
        dimBevels.emplace();
    }
    const int32_t u = GetFontUnit();
    const int32_t w = GetWidth();
    const int32_t h = GetHeight();
    const CRect track{0, 2 * u + 1, w, h - 2 * u - 1};
    if (m_TrackImage) {
        const int32_t y = track.top + (track.GetHeight() - HeightOf(m_TrackImage)) / 2;
        BlitAt(frame, *m_TrackImage, 0, y, GetTransparentMaskBlitType());
    } else {
        DrawBevelBox(m_Font, frame, track, false, 15, true);
        CColor dark = GetBevelColour(BevelColour::StrongShadow);
        CColor light = GetBevelColour(BevelColour::StrongLight);
        if (frame.GetBitDepth() == 8) {
            dark.SetCurrentPaletteColor(80, 80, 80, 255);
            light.SetCurrentPaletteColor(200, 200, 200, 255);
        }
        frame.FillRect(CRect{u, h / 2, w - u + 1, h / 2 + 1}, dark);
        frame.FillRect(CRect{u, h / 2 + 1, w - u + 1, h / 2 + 2}, light);
    }

    const CRect thumb = GetThumbRect(CRect{0, 0, w, h});
    if (m_ThumbImage) {
        const int32_t imageW = int32_t(m_ThumbImage->GetWidth());
        const int32_t imageH = HeightOf(m_ThumbImage);
        // A thumb image larger than the thumb is not cut at the slider's edges.
        auto* clipped = dynamic_cast<COffsetClippedProxyFrame*>(&frame);
        CRect savedClip{};
        if (clipped) {
            clipped->GetBounds(savedClip);
            const int32_t dx = std::max(0, imageW - thumb.GetWidth());
            const int32_t dy = std::max(0, imageH - thumb.GetHeight());
            clipped->SetClipRect(CRect{SaturatingSub(savedClip.left, dx), SaturatingSub(savedClip.top, dy),
                                       SaturatingAdd(savedClip.right, dx), SaturatingAdd(savedClip.bottom, dy)});
        }
        BlitAt(frame, *m_ThumbImage, thumb.left + (thumb.GetWidth() - imageW) / 2,
               thumb.top + (thumb.GetHeight() - imageH) / 2, GetTransparentMaskBlitType());
        if (clipped)
            clipped->SetClipRect(savedClip);
    } else {
        if (!m_Transparent)
            if (CFrame* skin = GetSkin())
                TilePiece(frame, *skin, PixelRect(*skin), thumb, thumb.left, thumb.top, GetNormalBlitType());
        DrawBevelBox(m_Font, frame, thumb, true, 15, true);
    }
    CJWindow::Draw(frame);
}
