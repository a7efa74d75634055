#include "game/scripting/CSpritePlugInPrint.h"

#include "blit/CColorProperty.h"
#include "blit/CFrameInterface.h"
#include "foundation/CRect.h"
#include "foundation/CStaticContentsList.h"
#include "foundation/MathHelpers.h"
#include "foundation/SaturatingArithmetic.h"
#include "game/scripting/CFrameSelector.h"
#include "game/scripting/ScriptingClassBody.h"
#include "game/scripting/ScriptingHooks.h"
#include "images/CFont.h"
#include "images/CFontList.h"
#include "objects/CBoolProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CListProperty.h"
#include "objects/CPObjectProperty.h"
#include "objects/CPointProperty.h"
#include "overlays/CFrameOverlay.h"
#include "render/SurfaceHelpers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

TextAlign AlignOf(int32_t justification)
{
    return justification == 0 ? TextAlign::Left : justification == 2 ? TextAlign::Right : TextAlign::Centre;
}

} // namespace

OMBRISALT_SCRIPTING_ABSTRACT_CLASS(CPrintPlugIn, 1.0)
void CPrintPlugIn::DeclareProperties(CPropertyDeclarer&) {}

OMBRISALT_SCRIPTING_CLASS(CPrintPlugInNone, 1.0)
void CPrintPlugInNone::DeclareProperties(CPropertyDeclarer&) {}

// --- Text in a font ---

OMBRISALT_SCRIPTING_CLASS(CPrintPlugInPrintFont, 1.0)

void CPrintPlugInPrintFont::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CPrintPlugInPrintFont;
    d.AddListReference(&C::m_Font, "Font", &GetFontList(), nullptr).DefaultWhenMissing();
    d.Add(&C::m_Offset, "Offset", CPoint{0, 0});
    d.AddListReference(&C::m_Justification, "Justification", &GetOverlayJustificationList(), "Justify Center");
    d.Add(&C::m_bDrawBackground, "Draw Background", false);
    d.Add(&C::m_FillColor, "Fill Color", CColor(255, 255, 255, 80)).WithAlpha();
    d.Add(&C::m_OutlineColor, "Outline Color", CColor(255, 255, 255, 150)).WithAlpha();
    d.Add(&C::m_WrapWidth, "Wrap Width", 0u).Units("pixels").Range(1, 9999).SpecialValue(0, "none");
}

void CPrintPlugInPrintFont::Print(CPrintRecord& record)
{
    if (m_Font == 0)
        return;
    CFontList& fonts = GetFontList();
    if (m_Font < 0 || m_Font >= fonts.GetCount())
        return;
    if (CFont* font = fonts.GetObject(m_Font))
        PrintWith(*font, record);
}

void CPrintPlugInPrintFont::PrintWith(CFont& font, CPrintRecord& record)
{
    if (!record.destination)
        return;
    CFrameInterface& target = *record.destination;
    // Centred on the anchor vertically.
    const int32_t x = SaturatingAdd(m_Offset.x, RoundToIntHeld(record.x));
    const int32_t y = ClampToInt32(int64_t(m_Offset.y) + RoundToIntHeld(record.y) - font.GetPointSize() / 2);
    const bool wrapped = m_WrapWidth != 0;
    const int32_t width = wrapped ? int32_t(m_WrapWidth) : 9999;
    const TextAlign align = AlignOf(m_Justification);
    if (m_bDrawBackground) {
        SParagraphLayout layout;
        layout.width = width;
        layout.firstAlign = layout.laterAlign = align;
        const int32_t w = font.GetWrappedTextWidth(record.text, layout);
        const int32_t h = font.GetWrappedTextHeight(record.text, layout);
        int64_t shift = 0;
        if (align == TextAlign::Left || wrapped)
            shift = w / 2;
        else if (align == TextAlign::Right)
            shift = -(w / 2);
        // Held one pixel inside the int32 range, so the outline around it is too.
        const auto edge = [](int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN + 1, INT32_MAX - 1)); };
        const CRect box{edge(int64_t(x) - w / 2 - 1 + shift), edge(int64_t(y) - 1),
                        edge(int64_t(x) + w / 2 + 1 + shift), edge(int64_t(y) + h + 1)};
        target.FillRect(box, m_FillColor);
        DrawRect(target, CRect{box.left - 1, box.top - 1, box.right + 1, box.bottom + 1}, m_OutlineColor);
    }
    // Wrapped lines start at the anchor, as the box above assumes.
    if (wrapped)
        font.DrawWrappedText(&target, x, y, record.text, width, 0, TextAlign::Left);
    else
        font.DrawText(target, x, y, record.text, align);
}

// --- A row of dots ---

OMBRISALT_SCRIPTING_CLASS(CPrintPlugInDrawDots, 1.0)

void CPrintPlugInDrawDots::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CPrintPlugInDrawDots;
    d.Add(&C::m_Position, "Position", CPoint{0, 0});
    d.Add(&C::m_Spacing, "Spacing", CPoint{10, 0});
    d.AddOwned(&C::m_DotImage, "Dot Image")
        .DefaultClass(CLoopFrameSelector::SGetClassInfo())
        .NotDeletable()
        .Inline(InlineMode::Always);
}

void CPrintPlugInDrawDots::Print(CPrintRecord& record)
{
    const int32_t count = record.text.ToInt();
    int32_t layout = count;
    if (!IsLevelEditorOpen()) {
        if (count > m_LargestCount)
            m_LargestCount = count;
        layout = m_LargestCount;
    }
    if (count == 0 || !m_DotImage || !record.destination)
        return;
    // In 64 bits: a data-sized spacing times a large count must not wrap.
    const int64_t halfX = int64_t(m_Spacing.x) * layout / 2;
    const int64_t halfY = int64_t(m_Spacing.y) * layout / 2;
    int64_t px = int64_t(m_Position.x) - halfX + RoundToIntHeld(record.x);
    int64_t py = int64_t(m_Position.y) - halfY + RoundToIntHeld(record.y);
    for (int32_t i = 0; i < count; ++i) {
        m_DotImage->Draw(*record.destination, ClampToInt32(px), ClampToInt32(py), record.argument);
        px += m_Spacing.x;
        py += m_Spacing.y;
    }
}

void CPrintPlugInDrawDots::Update(CSpriteUpdateRecord& record)
{
    if (!m_DotImage)
        return;
    CSelectorUpdate update;
    update.seconds = record.seconds;
    update.wrapped = false;
    m_DotImage->Update(update);
}
