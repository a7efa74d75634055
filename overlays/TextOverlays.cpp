#include "overlays/TextOverlays.h"

#include "blit/CBlitTypeList.h"
#include "blit/CColor.h"
#include "foundation/CStaticContentsList.h"
#include "images/CFont.h"
#include "images/CFontList.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "objects/CIntProperty.h"
#include "objects/CListProperty.h"
#include "objects/CPointProperty.h"
#include "overlays/OverlayClassBody.h"
#include "overlays/OverlayDrawing.h"
#include "render/CProxyFrame.h"
#include "render/CScaledOffsetProxyFrame.h"
#include "render/SurfaceHelpers.h"

#include <algorithm>

namespace {

// Widths and heights from data, held where layouts stay in int32.
constexpr uint32_t kLargestBox = 100000;

int32_t BoxSize(uint32_t size)
{
    return int32_t(std::min(size, kLargestBox));
}

TextAlign AlignOf(int32_t justification)
{
    switch (justification) {
    case 1:
        return TextAlign::Centre;
    case 2:
        return TextAlign::Right;
    default:
        return TextAlign::Left;
    }
}

} // namespace

// --- Text in a box ---

OMBRISALT_OVERLAY_CLASS(CFrameOverlayTextOverlay, 1.0)

void CFrameOverlayTextOverlay::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CFrameOverlayTextOverlay;
    d.Add(&C::m_Text, "Text String", "* Some cool message to show");
    d.AddListReference(&C::m_TextFont, "Text Font", &GetFontList(), nullptr).DefaultWhenMissing();
    d.Add(&C::m_BoundsLeft, "Text Bounds Left", CPoint{0, 0}).AlternateName("Text HotSpot Coordinates");
    d.Add(&C::m_BoundsWidth, "Text Bounds Width", 350u).Units("pixels").AlternateName("Text Wrapping Width");
    d.Add(&C::m_BoundsHeight, "Text Bounds Height", 0u).Units("pixels").Range(1, 9999).SpecialValue(0, "Unlimited");
    d.Add(&C::m_bScaleTextToFitBox, "Scale Text To Fit Box", false).AlternateName("Scale Text To Fit Height");
    d.Add(&C::m_PixelsBetweenLines, "Pixels Between Lines", 2u);
    d.AddListReference(&C::m_Justification, "Justification", &GetOverlayJustificationList(), "Justify Left");
    d.Add(&C::m_bCenterVertically, "Center Vertically", false).AlternateName("m_CenterVertically");
    d.Add(&C::m_InitialLeftMargin, "Margins and Folding/Initial Left Margin", 0u);
    d.Add(&C::m_InitialRightMargin, "Margins and Folding/Initial Right Margin", 0u);
    d.Add(&C::m_FoldedLeftMargin, "Margins and Folding/Folded Left Margin", 0u);
    d.Add(&C::m_FoldedRightMargin, "Margins and Folding/Folded Right Margin", 0u);
    d.Add(&C::m_BulletMargin, "Margins and Folding/Bullet Margin", 0u);
}

CFont* CFrameOverlayTextOverlay::GetFont(const CFrameOverlayDrawContext& context) const
{
    if (m_TextFont != 0)
        return GetOverlayFont(m_TextFont);
    return context.m_pCurrentSet ? context.m_pCurrentSet->GetTextFont() : nullptr;
}

SParagraphLayout CFrameOverlayTextOverlay::MakeLayout(int32_t left, int32_t width) const
{
    SParagraphLayout layout;
    layout.x = left;
    layout.width = width;
    layout.lineSpacing = BoxSize(m_PixelsBetweenLines);
    layout.firstAlign = AlignOf(m_Justification);
    layout.firstIndent = BoxSize(m_InitialLeftMargin);
    layout.firstRightMargin = BoxSize(m_InitialRightMargin);
    layout.laterAlign = layout.firstAlign;
    layout.laterLeftIndent = BoxSize(m_FoldedLeftMargin);
    layout.laterRightIndent = BoxSize(m_FoldedRightMargin);
    layout.bulletIndent = BoxSize(m_BulletMargin);
    return layout;
}

float CFrameOverlayTextOverlay::FindFitScale(CFont& font, const CJString& text) const
{
    const float width = float(BoxSize(m_BoundsWidth));
    const float height = float(BoxSize(m_BoundsHeight));
    float low = 0.0001f;
    float high = 1.0f;
    float s = 0.50005f;
    for (int step = 0; step < 6; ++step) {
        const int32_t wide = RoundToInt(width / s);
        const int32_t laidOut = font.GetWrappedTextHeight(text, MakeLayout(m_BoundsLeft.x, wide));
        if (float(laidOut) * s > height)
            high = s;
        else
            low = s;
        s = (low + high) / 2.0f;
    }
    return low;
}

void CFrameOverlayTextOverlay::DrawMarkers(CFrameOverlayDrawContext& context, CFont& font)
{
    CColor red(255, 0, 0, 255);
    CColor green(0, 255, 0, 255);
    const int32_t left = m_BoundsLeft.x;
    const int32_t top = m_BoundsLeft.y;
    const int32_t width = BoxSize(m_BoundsWidth);
    const int32_t height = BoxSize(m_BoundsHeight);
    CFrameInterface& target = *context.m_pTarget;
    if (height == 0) {
        target.SetPixel(left, top, red);
        const int32_t line = top + int32_t(font.GetHeight());
        target.DrawLine(left, line, left + width, line, red);
    } else {
        DrawRect(target, CRect{left, top, left + width, top + height}, red);
    }
    if (m_bCenterVertically)
        target.DrawLine(left, top + height / 2, left + width, top + height / 2, green);
}

void CFrameOverlayTextOverlay::Draw(CFrameOverlayDrawContext& context)
{
    CFont* font = GetFont(context);
    if (!font)
        return;
    const CJString text = context.Substitute(ShownText(m_Text));
    const int32_t left = m_BoundsLeft.x;
    const int32_t top = m_BoundsLeft.y;
    const int32_t width = BoxSize(m_BoundsWidth);
    const int32_t height = BoxSize(m_BoundsHeight);
    const bool centre = m_Justification == int32_t(OverlayJustification::Center);
    if (context.m_bShowMarkers)
        DrawMarkers(context, *font);

    SParagraphLayout layout = MakeLayout(left, width);
    int32_t textHeight = font->GetWrappedTextHeight(text, layout);
    CTargetScope restore(context);

    COffsetRotateScaleProxyFrame placed;
    if (!context.m_bShowMarkers && !context.IsAtRest()) {
        const float widest = float(font->GetWrappedTextWidth(text, layout));
        float pivotX = float(left) + widest / 2.0f;
        if (centre)
            pivotX = float(left) + float(width) / 2.0f;
        else if (m_Justification == int32_t(OverlayJustification::Right))
            pivotX = float(left) + float(width) - widest / 2.0f;
        const int32_t shown = height != 0 && height < textHeight ? height : textHeight;
        const float pivotY = float(top) + (m_bCenterVertically ? 0.0f : float(shown) / 2.0f);
        placed.SetFrame(context.m_pTarget);
        placed.SetPivot(CFPoint{pivotX, pivotY});
        placed.SetOffset(CFPoint{context.m_OffsetX, context.m_OffsetY});
        placed.SetScale(CFPoint{context.m_ScaleX, context.m_ScaleY});
        placed.SetRotationDegrees(context.m_Rotation);
        if (context.m_Opacity < 1.0f)
            placed.SetOpacity(context.m_Opacity);
        context.m_pTarget = &placed;
    }

    float scale = 1.0f;
    COffsetRotateScaleProxyFrame shrunk;
    const bool tooTall = height != 0 && textHeight > height;
    if (tooTall && m_bScaleTextToFitBox) {
        scale = FindFitScale(*font, text);
        const float extra = float(width) / scale - float(width);
        const int32_t layoutLeft = centre ? RoundToInt(float(left) - extra / 2.0f) : left;
        layout = MakeLayout(layoutLeft, RoundToInt(float(width) / scale));
        textHeight = font->GetWrappedTextHeight(text, layout);
        const float pivotX = centre ? float(left) + float(width) / 2.0f : float(left);
        const float pivotY = m_bCenterVertically ? float(top) + float(height) / 2.0f : float(top);
        shrunk.SetFrame(context.m_pTarget);
        shrunk.SetPivot(CFPoint{pivotX, pivotY});
        shrunk.SetUniformScale(scale);
        context.m_pTarget = &shrunk;
    }

    int32_t y = top;
    if (m_bCenterVertically)
        y = height == 0 ? RoundToInt(float(top) - float(textHeight) * scale / 2.0f) : top + height / 2 - textHeight / 2;

    CClippedProxyFrame clip;
    if (tooTall && !m_bScaleTextToFitBox && !m_bCenterVertically) {
        clip.SetFrame(context.m_pTarget);
        clip.SetClipRect(CRect{-999, -999, 9999, top + height});
        context.m_pTarget = &clip;
    }
    font->DrawWrappedParagraphs(context.m_pTarget, y, text, layout);
}

void CFrameOverlayTextOverlay::MoveBy(int32_t dx, int32_t dy)
{
    MovePoint(m_BoundsLeft, dx, dy);
}

void CFrameOverlayTextOverlay::GetDescription(CJString& out, const char*)
{
    Describe(out, m_Text.GetText());
}

// --- Text made of letter images ---

OMBRISALT_OVERLAY_CLASS(CFrameOverlayTextMadeOfImagesOverlay, 1.0)

void CFrameOverlayTextMadeOfImagesOverlay::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CFrameOverlayTextMadeOfImagesOverlay;
    d.Add(&C::m_Text, "Text String", "* Some cool message to put in the slideshow!");
    d.AddListReference(&C::m_PictureOfAnA, "Picture Of An A", &GetFrameLibrary(), nullptr).DefaultWhenMissing();
    d.Add(&C::m_SpaceBetweenLetters, "Space Between Letters", 2).Units("Pixels");
    d.Add(&C::m_BoundsLeft, "Text Bounds Left", CPoint{0, 0});
    d.Add(&C::m_BoundsWidth, "Text Bounds Width", 350u);
    d.AddListReference(&C::m_Justification, "Justification", &GetOverlayJustificationList(), "Justify Left");
}

void CFrameOverlayTextMadeOfImagesOverlay::Draw(CFrameOverlayDrawContext& context)
{
    CFrame* letterA = GetOverlayFrame(m_PictureOfAnA);
    if (!letterA)
        return;
    const CJString text = context.Substitute(ShownText(m_Text));
    const int64_t w = letterA->GetWidth();
    const int64_t n = text.GetLength();
    const int64_t width = BoxSize(m_BoundsWidth);
    const int32_t left = m_BoundsLeft.x;
    const int32_t top = m_BoundsLeft.y;
    if (context.m_bShowMarkers) {
        CColor red(255, 0, 0, 255);
        const int32_t bottom = top + int32_t(letterA->GetHeight());
        context.m_pTarget->DrawLine(left, top, left, bottom, red);
        context.m_pTarget->DrawLine(left + int32_t(width), top, left + int32_t(width), bottom, red);
    }
    if (n == 0)
        return;
    // The spacing shrinks a pixel at a time until the line fits or a cell
    // would have no width left; counted in one step.
    int64_t s = m_SpaceBetweenLetters;
    int64_t total = n * w + (n - 1) * s;
    if (total > width && w + s > 0) {
        int64_t steps = w + s;
        if (n > 1)
            steps = std::min(steps, (total - width + n - 2) / (n - 1));
        s -= steps;
        total -= steps * (n - 1);
    }
    int64_t x = left;
    if (m_Justification == int32_t(OverlayJustification::Center))
        x = left + (width - total) / 2;
    else if (m_Justification == int32_t(OverlayJustification::Right))
        x = left + width - total;
    CBlitType& trans = GetTransparentMaskBlitType();
    for (int64_t i = 0; i < n; ++i, x += w + s) {
        uint32_t c = text.GetCharAt(int(i));
        if (c >= 'a' && c <= 'z')
            c -= 'a' - 'A';
        if (c < 'A' || c > 'Z')
            continue;
        if (CFrame* letter = GetOverlayFrame(m_PictureOfAnA + int32_t(c - 'A')))
            if (x >= INT32_MIN && x <= INT32_MAX)
                BlitAt(*context.m_pTarget, *letter, int32_t(x), top, trans);
        if (c == 'Q')
            ++i;
    }
}

void CFrameOverlayTextMadeOfImagesOverlay::MoveBy(int32_t dx, int32_t dy)
{
    MovePoint(m_BoundsLeft, dx, dy);
}

void CFrameOverlayTextMadeOfImagesOverlay::GetDescription(CJString& out, const char*)
{
    Describe(out, m_Text.GetText());
}
