#include "overlays/ImageOverlays.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "blit/CColorProperty.h"
#include "foundation/MillisecondClock.h"
#include "foundation/SaturatingArithmetic.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CListProperty.h"
#include "objects/CPointProperty.h"
#include "overlays/OverlayClassBody.h"
#include "overlays/OverlayDrawing.h"
#include "render/CBlitXParams.h"
#include "render/CProxyFrame.h"
#include "render/CTransformedFrameCache.h"
#include "render/SurfaceHelpers.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

void SequenceName(int32_t index, CJString& out)
{
    CSequenceList& list = GetSequenceList();
    out = index >= 0 && index < list.GetCount() ? list.GetItemName(index) : "";
}

void FrameName(int32_t index, CJString& out)
{
    CFrameList& list = GetFrameLibrary();
    out = index >= 0 && index < list.GetCount() ? list.GetItemName(index) : "";
}

// The number a text holds once only digits and "." are kept.
float ReadDigits(const CJString& text)
{
    CJString digits(text);
    digits.KeepOnly("0123456789.");
    return ClampDataNumber(digits.ToFloat());
}

// Draws the entry picked by the number in text from count images.
template <typename ImageAt>
void DrawPicked(CFrameOverlayDrawContext& context, const CJString& indexText, uint32_t count, const CPoint& at,
                ImageAt imageAt)
{
    float v = ClampDataNumber(context.Substitute(indexText).ToFloat());
    if (v < 0.0f)
        v = 0.0f;
    COverlayImageProxies proxies(context, float(at.x), float(at.y));
    const float whole = std::floor(v);
    const int64_t n = int64_t(whole);
    const float f = std::clamp(v - whole, 0.0f, 1.0f);
    CBlitType& trans = GetTransparentMaskBlitType();
    if (n > 0 && count > 0)
        if (CFrame* frame = imageAt(uint32_t(std::min<int64_t>(n - 1, int64_t(count) - 1))))
            BlitAt(*context.m_pTarget, *frame, at.x, at.y, trans);
    if (n < int64_t(count) && f > 0.0f)
        if (CFrame* frame = imageAt(uint32_t(n))) {
            const float alpha = float(std::lround(f * 255.0f)) / 255.0f;
            CScopedBlitOpacity fade(trans, trans.GetOpacity() * alpha);
            BlitAt(*context.m_pTarget, *frame, at.x, at.y, trans);
        }
}

} // namespace

// --- Still image ---

OMBRISALT_OVERLAY_CLASS(CFrameOverlayFrameOverlay, 1.0)

void CFrameOverlayFrameOverlay::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CFrameOverlayFrameOverlay;
    d.AddListReference(&C::m_Image, "Image", &GetFrameLibrary(), nullptr).DefaultWhenMissing();
    d.Add(&C::m_Position, "Position", CPoint{0, 0});
}

void CFrameOverlayFrameOverlay::Draw(CFrameOverlayDrawContext& context)
{
    CFrame* frame = GetOverlayFrame(m_Image);
    if (!frame)
        return;
    const float pivotX = float(int64_t(frame->GetWidth() / 2) + m_Position.x);
    const float pivotY = float(int64_t(frame->GetHeight() / 2) + m_Position.y);
    COverlayImageProxies proxies(context, pivotX, pivotY);
    BlitAt(*context.m_pTarget, *frame, m_Position.x, m_Position.y, GetTransparentMaskBlitType());
}

void CFrameOverlayFrameOverlay::MoveBy(int32_t dx, int32_t dy)
{
    MovePoint(m_Position, dx, dy);
}

void CFrameOverlayFrameOverlay::GetDescription(CJString& out, const char*)
{
    CJString name;
    FrameName(m_Image, name);
    Describe(out, name);
}

// --- Animation ---

OMBRISALT_OVERLAY_CLASS(CFrameOverlaySequenceOverlay, 1.0)

void CFrameOverlaySequenceOverlay::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CFrameOverlaySequenceOverlay;
    d.AddListReference(&C::m_Sequence, "Sequence", &GetSequenceList(), nullptr).DefaultWhenMissing();
    d.Add(&C::m_Position, "Position", CPoint{0, 0});
    d.Add(&C::m_Scale, "Scale", 1.0f).Units("X").Range(-10.0f, 10.0f);
    d.Add(&C::m_Rotate, "Rotate", 0.0f).Units("Deg");
    d.Add(&C::m_ToolTip, "Tool Tip", "");
}

void CFrameOverlaySequenceOverlay::Draw(CFrameOverlayDrawContext& context)
{
    CSequence* sequence = GetOverlaySequence(m_Sequence);
    CFrame* frame = sequence ? sequence->GetCurrentFrame() : nullptr;
    if (!frame)
        return;
    {
        COverlayImageProxies proxies(context, float(m_Position.x), float(m_Position.y));
        CBlitType& blit = sequence->GetBlitType();
        const bool plain = m_Scale >= 0.99f && m_Scale <= 1.01f && m_Rotate >= -0.01f && m_Rotate <= 0.01f;
        if (plain) {
            BlitAt(*context.m_pTarget, *frame, m_Position.x, m_Position.y, blit);
        } else {
            const float scale = ClampDataNumber(m_Scale);
            CBlitXParams transform(frame, 0.0f, 0.0f, ClampDataNumber(m_Rotate), scale, scale,
                                   CColor(255, 255, 255, 255), 0, 0.0f, 0.0f, true);
            if (CFrame* turned = TransformedFrameCache_Get(*frame, transform))
                BlitAt(*context.m_pTarget, *turned, m_Position.x, m_Position.y, blit);
        }
    }
    if (!ShownText(m_ToolTip).IsEmpty() && context.HasMouse()) {
        CColor pixel;
        frame->GetPixel(SaturatingSub(context.m_MouseX, m_Position.x), SaturatingSub(context.m_MouseY, m_Position.y),
                        pixel);
        if (pixel.GetAlpha() > 5)
            context.m_ToolTip = context.Substitute(ShownText(m_ToolTip));
    }
}

void CFrameOverlaySequenceOverlay::MoveBy(int32_t dx, int32_t dy)
{
    MovePoint(m_Position, dx, dy);
}

void CFrameOverlaySequenceOverlay::GetDescription(CJString& out, const char*)
{
    CJString name;
    SequenceName(m_Sequence, name);
    Describe(out, name);
}

// --- Images picked by number ---

OMBRISALT_OVERLAY_CLASS(CArrayOfFramesFrameOverlayOverlay, 1.0)

void CArrayOfFramesFrameOverlayOverlay::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CArrayOfFramesFrameOverlayOverlay;
    d.Add(&C::m_ArrayIndex, "Array Index", "%s[Something]");
    auto frames = d.AddArray<CListProperty>(&C::m_FrameIndexArray, "Frames Array", "Frame", 0);
    static_cast<CListProperty*>(frames.Get().GetElementProperty())->SetList(&GetFrameLibrary());
    d.Add(&C::m_Position, "Position", CPoint{0, 0});
}

void CArrayOfFramesFrameOverlayOverlay::Draw(CFrameOverlayDrawContext& context)
{
    DrawPicked(context, m_ArrayIndex, m_FrameIndexArray.GetCount(), m_Position,
               [this](uint32_t i) { return GetOverlayFrame(m_FrameIndexArray[i]); });
}

void CArrayOfFramesFrameOverlayOverlay::MoveBy(int32_t dx, int32_t dy)
{
    MovePoint(m_Position, dx, dy);
}

void CArrayOfFramesFrameOverlayOverlay::GetDescription(CJString& out, const char*)
{
    CJString name;
    if (m_FrameIndexArray.GetCount() > 0)
        FrameName(m_FrameIndexArray[0], name);
    Describe(out, name);
}

OMBRISALT_OVERLAY_CLASS(CArrayOfImagesFrameOverlayOverlay, 1.0)

void CArrayOfImagesFrameOverlayOverlay::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CArrayOfImagesFrameOverlayOverlay;
    d.Add(&C::m_ArrayIndex, "Array Index", "%s[Something]");
    auto sequences = d.AddArray<CListProperty>(&C::m_SequenceIndexArray, "Sequences Array", "Sequence", 0);
    static_cast<CListProperty*>(sequences.Get().GetElementProperty())->SetList(&GetSequenceList());
    d.Add(&C::m_Position, "Position", CPoint{0, 0});
}

void CArrayOfImagesFrameOverlayOverlay::Draw(CFrameOverlayDrawContext& context)
{
    DrawPicked(context, m_ArrayIndex, m_SequenceIndexArray.GetCount(), m_Position, [this](uint32_t i) {
        CSequence* sequence = GetOverlaySequence(m_SequenceIndexArray[i]);
        return sequence ? sequence->GetCurrentFrame() : nullptr;
    });
}

void CArrayOfImagesFrameOverlayOverlay::MoveBy(int32_t dx, int32_t dy)
{
    MovePoint(m_Position, dx, dy);
}

void CArrayOfImagesFrameOverlayOverlay::GetDescription(CJString& out, const char*)
{
    CJString name;
    if (m_SequenceIndexArray.GetCount() > 0)
        SequenceName(m_SequenceIndexArray[0], name);
    Describe(out, name);
}

// --- Box ---

OMBRISALT_OVERLAY_CLASS(CBoxFrameOverlay, 1.0)

void CBoxFrameOverlay::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CBoxFrameOverlay;
    d.Add(&C::m_Position, "Positon", CPoint{100, 100});
    d.Add(&C::m_Size, "Size", CPoint{100, 100});
    d.Add(&C::m_FillColor, "Fill Color", CColor(0, 0, 0, 255)).WithAlpha();
    d.Add(&C::m_OutlineColor, "Outline Color", CColor(255, 255, 255, 255)).WithAlpha();
    d.Add(&C::m_OutlineWidth, "Outline Width", 1).Units("pixels");
}

void CBoxFrameOverlay::Draw(CFrameOverlayDrawContext& context)
{
    // 64-bit edges: a position near the int32 limits plus a size must not wrap.
    CRect rect{m_Position.x, m_Position.y, SaturatingAdd(m_Position.x, m_Size.x),
               SaturatingAdd(m_Position.y, m_Size.y)};
    // Rings stop once nothing is left: an odd size must not step past an
    // empty rectangle into an inverted one.
    // Rings around the whole target draw nothing and are passed over in one
    // step, so a huge box costs no more than the target's size.
    CRect bounds{};
    context.m_pTarget->GetBounds(bounds);
    for (int32_t ring = 0; ring < m_OutlineWidth && rect.right > rect.left && rect.bottom > rect.top; ++ring) {
        // Apart from the target: so is every inner ring and the fill.
        if (rect.left >= bounds.right || rect.right <= bounds.left || rect.top >= bounds.bottom
            || rect.bottom <= bounds.top)
            return;
        const int64_t outside = std::min({int64_t(bounds.left) - rect.left, int64_t(bounds.top) - rect.top,
                                          int64_t(rect.right) - bounds.right, int64_t(rect.bottom) - bounds.bottom});
        if (outside > 1) {
            const int32_t skip = int32_t(std::min<int64_t>(outside - 1, int64_t(m_OutlineWidth) - ring));
            rect = CRect{rect.left + skip, rect.top + skip, rect.right - skip, rect.bottom - skip};
            ring += skip - 1;
            continue;
        }
        if (m_OutlineColor.GetAlpha() != 0)
            DrawRect(*context.m_pTarget, rect, m_OutlineColor);
        rect = CRect{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    }
    if (m_FillColor.GetAlpha() != 0 && rect.right > rect.left && rect.bottom > rect.top)
        context.m_pTarget->FillRect(rect, m_FillColor);
}

void CBoxFrameOverlay::MoveBy(int32_t dx, int32_t dy)
{
    MovePoint(m_Position, dx, dy);
}

void CBoxFrameOverlay::GetDescription(CJString& out, const char*)
{
    Describe(out, m_ID);
}

// --- Gauge ---

OMBRISALT_OVERLAY_CLASS(CThermometerFrameOverlay, 1.0)

void CThermometerFrameOverlay::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CThermometerFrameOverlay;
    d.Add(&C::m_Value, "Value", "%s[Value]");
    d.Add(&C::m_Range, "Range", "%s[MaxValue]");
    d.AddListReference(&C::m_BackgroundSequence, "Background Sequence", &GetSequenceList(), nullptr)
        .DefaultWhenMissing();
    d.AddListReference(&C::m_FillSequence, "Fill Sequence", &GetSequenceList(), nullptr).DefaultWhenMissing();
    d.Add(&C::m_Position, "Positon", CPoint{0, 0});
    d.Add(&C::m_bVertical, "Vertical", false);
    d.Add(&C::m_ToolTip, "Tool Tip", "");
}

float CThermometerFrameOverlay::GetFraction(const CFrameOverlayDrawContext& context) const
{
    if (context.m_bShowMarkers)
        return float(MillisecondClock() % 1000) / 1000.0f;
    const float value = ReadDigits(context.Substitute(m_Value));
    const float range = ReadDigits(context.Substitute(m_Range));
    const float fraction = range > 0.0f ? value / range : 0.0f;
    return std::clamp(ClampDataNumber(fraction), 0.0f, 1.0f);
}

void CThermometerFrameOverlay::Draw(CFrameOverlayDrawContext& context)
{
    const float fraction = GetFraction(context);
    if (CSequence* background = GetOverlaySequence(m_BackgroundSequence))
        background->DrawCurrentFrame(*context.m_pTarget, m_Position.x, m_Position.y);
    CSequence* fill = GetOverlaySequence(m_FillSequence);
    if (!fill)
        return;
    CRect shown = fill->GetBounds();
    if (m_bVertical)
        shown.top += RoundToInt(float(shown.bottom - shown.top) * (1.0f - fraction));
    else
        shown.right = shown.left + RoundToInt(float(shown.right - shown.left) * fraction);
    CClippedProxyFrame clip(context.m_pTarget);
    clip.SetClipRect(CRect{SaturatingAdd(shown.left, m_Position.x), SaturatingAdd(shown.top, m_Position.y),
                           SaturatingAdd(shown.right, m_Position.x), SaturatingAdd(shown.bottom, m_Position.y)});
    fill->DrawCurrentFrame(clip, m_Position.x, m_Position.y);
}

void CThermometerFrameOverlay::MoveBy(int32_t dx, int32_t dy)
{
    MovePoint(m_Position, dx, dy);
}

void CThermometerFrameOverlay::GetDescription(CJString& out, const char*)
{
    CJString name;
    SequenceName(m_FillSequence, name);
    Describe(out, name);
}

// --- Position marker ---

OMBRISALT_OVERLAY_CLASS(CFrameOverlayPositionMarker, 1.0)

void CFrameOverlayPositionMarker::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CFrameOverlayPositionMarker;
    d.Add(&C::m_Title, "Title", "");
    d.Add(&C::m_Position, "Position", CPoint{300, 300});
    d.Add(&C::m_Size, "Size", CPoint{10, 10});
    d.Add(&C::m_ToolTip, "Tool Tip", "");
}

bool CFrameOverlayPositionMarker::ContainsPoint(int32_t x, int32_t y) const
{
    const int64_t px = int64_t(x) - m_Position.x;
    const int64_t py = int64_t(y) - m_Position.y;
    return px >= 0 && px < m_Size.x && py >= 0 && py < m_Size.y;
}

void CFrameOverlayPositionMarker::DrawToolTip(CFrameOverlayDrawContext& context)
{
    if (!ShownText(m_ToolTip).IsEmpty() && context.HasMouse() && ContainsPoint(context.m_MouseX, context.m_MouseY))
        context.m_ToolTip = context.Substitute(ShownText(m_ToolTip));
}

void CFrameOverlayPositionMarker::DrawMarker(CFrameOverlayDrawContext& context)
{
    CColor grey(127, 127, 127, 255);
    const CRect rect{m_Position.x, m_Position.y, SaturatingAdd(m_Position.x, m_Size.x),
                     SaturatingAdd(m_Position.y, m_Size.y)};
    DrawRect(*context.m_pTarget, rect, grey);
    CFrameOverlayOptions* set = context.m_pCurrentSet;
    CFont* font = set && set->m_TextFont != 0 ? set->GetTextFont() : nullptr;
    if (!font)
        return;
    CJString label(m_ID);
    const CJString& title = ShownText(m_Title);
    if (title.Compare(m_ID) != 0) {
        label.Append(": ");
        label.Append(title);
    }
    if (m_Size.x < 30) {
        const int32_t y = ClampToInt32(m_Position.y + (int64_t(m_Size.y) - font->GetPointSize()) / 2);
        font->DrawText(*context.m_pTarget, SaturatingCentre(m_Position.x, m_Size.x), y, label, TextAlign::Centre);
    } else {
        font->DrawWrappedText(context.m_pTarget, m_Position.x, m_Position.y, label, m_Size.x, 0, TextAlign::Left);
    }
}

void CFrameOverlayPositionMarker::Draw(CFrameOverlayDrawContext& context)
{
    DrawToolTip(context);
    if (context.m_bShowMarkers)
        DrawMarker(context);
}

void CFrameOverlayPositionMarker::MoveBy(int32_t dx, int32_t dy)
{
    MovePoint(m_Position, dx, dy);
}

void CFrameOverlayPositionMarker::GetDescription(CJString& out, const char*)
{
    CJString detail(m_ID);
    const CJString& title = ShownText(m_Title);
    if (title.IsNotEmpty()) {
        detail.Append(": ");
        detail.Append(title.Left(10));
    }
    Describe(out, detail);
}
