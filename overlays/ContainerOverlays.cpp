#include "overlays/ContainerOverlays.h"

#include "objects/CFloatProperty.h"
#include "objects/CListProperty.h"
#include "objects/CPObjectProperty.h"
#include "objects/CPointProperty.h"
#include "overlays/OverlayClassBody.h"
#include "render/CProxyFrame.h"
#include "sequences/CTextSubstitutionList.h"

#include <algorithm>

namespace {

CJString Substituted(const CJString& text, CTextSubstitutionList* substitutions)
{
    return substitutions ? substitutions->Apply(text) : text;
}

float ReadDigits(const CJString& text)
{
    CJString digits(text);
    digits.KeepOnly("0123456789.");
    return ClampDataNumber(digits.ToFloat());
}

// Wrapping sums: positions from data must not overflow, and a wrapped sum
// taken off again gives back exactly what was there.
int32_t WrappingAdd(int32_t a, int32_t b)
{
    return int32_t(uint32_t(a) + uint32_t(b));
}

int32_t WrappingSubtract(int32_t a, int32_t b)
{
    return int32_t(uint32_t(a) - uint32_t(b));
}

void MoveChild(CFrameOverlay* child, int32_t dx, int32_t dy)
{
    if (child)
        child->MoveBy(dx, dy);
}

} // namespace

// --- Nested set ---

OMBRISALT_OVERLAY_CLASS(CNestedFooFrameOverlay, 1.0)

void CNestedFooFrameOverlay::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CNestedFooFrameOverlay;
    d.Add(&C::m_Position, "Positon", CPoint{0, 0});
    d.AddListReference(&C::m_FooFile, "Foo File", &GetFrameOverlayOptionsList(), nullptr).DefaultWhenMissing();
}

namespace {

CFrameOverlayOptions* NestedSet(int32_t index)
{
    CFrameOverlayOptionsList& list = GetFrameOverlayOptionsList();
    return index >= 0 && index < list.GetCount() ? list.GetObject(index) : nullptr;
}

} // namespace

void CNestedFooFrameOverlay::Draw(CFrameOverlayDrawContext& context)
{
    CFrameOverlayOptions* set = NestedSet(m_FooFile);
    if (!set)
        return;
    CFrameInterface* target = context.m_pTarget;
    CFrameOverlayOptions* outer = context.m_pCurrentSet;
    // Held to a million pixels either way, so the proxy's sums stay in range.
    const int32_t x = std::clamp(m_Position.x, -1000000, 1000000);
    const int32_t y = std::clamp(m_Position.y, -1000000, 1000000);
    COffsetProxyFrame moved(target, -x, -y);
    context.m_pTarget = &moved;
    set->Draw(context);
    context.m_pTarget = target;
    context.m_pCurrentSet = outer;
}

CFrameOverlay* CNestedFooFrameOverlay::FindOverlay(const CJString& name, CTextSubstitutionList* substitutions,
                                                   CPoint* accumulator)
{
    CFrameOverlayOptions* set = NestedSet(m_FooFile);
    if (!set)
        return nullptr;
    if (accumulator) {
        accumulator->x = WrappingAdd(accumulator->x, m_Position.x);
        accumulator->y = WrappingAdd(accumulator->y, m_Position.y);
    }
    if (CFrameOverlay* found = set->FindOverlay(name, substitutions, accumulator))
        return found;
    if (accumulator) {
        accumulator->x = WrappingSubtract(accumulator->x, m_Position.x);
        accumulator->y = WrappingSubtract(accumulator->y, m_Position.y);
    }
    return nullptr;
}

void CNestedFooFrameOverlay::MoveBy(int32_t dx, int32_t dy)
{
    m_Position.x = WrappingAdd(m_Position.x, dx);
    m_Position.y = WrappingAdd(m_Position.y, dy);
}

void CNestedFooFrameOverlay::GetDescription(CJString& out, const char*)
{
    CFrameOverlayOptionsList& list = GetFrameOverlayOptionsList();
    Describe(out, CJString(m_FooFile >= 0 && m_FooFile < list.GetCount() ? list.GetItemName(m_FooFile) : ""));
}

// --- Conditional ---

OMBRISALT_OVERLAY_CLASS(CConditionalFrameOverlay, 1.0)

void CConditionalFrameOverlay::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CConditionalFrameOverlay;
    d.AddOwned(&C::m_pWhenEmpty, "Overlay To Draw When String Is Empty");
    d.AddOwned(&C::m_pWhenNotEmpty, "Overlay To Draw When String Is Not Empty");
    d.Add(&C::m_StringToCheck, "String To Check", "%s[Something]");
}

CFrameOverlay* CConditionalFrameOverlay::Pick(CTextSubstitutionList* substitutions) const
{
    const CJString text = Substituted(m_StringToCheck, substitutions);
    const bool set = text.IsNotEmpty() && text.Compare("0") != 0;
    return set ? m_pWhenNotEmpty : m_pWhenEmpty;
}

void CConditionalFrameOverlay::Draw(CFrameOverlayDrawContext& context)
{
    if (CFrameOverlay* child = Pick(context.m_pSubstitutions))
        child->Draw(context);
}

CFrameOverlay* CConditionalFrameOverlay::FindOverlay(const CJString& name, CTextSubstitutionList* substitutions,
                                                     CPoint* accumulator)
{
    CFrameOverlay* child = Pick(substitutions);
    return child ? child->FindOverlay(name, substitutions, accumulator) : nullptr;
}

void CConditionalFrameOverlay::MoveBy(int32_t dx, int32_t dy)
{
    MoveChild(m_pWhenEmpty, dx, dy);
    MoveChild(m_pWhenNotEmpty, dx, dy);
}

void CConditionalFrameOverlay::GetDescription(CJString& out, const char*)
{
    Describe(out, m_StringToCheck);
}

// --- Array index ---

OMBRISALT_OVERLAY_CLASS(CArrayIndexFrameOverlay, 1.0)

void CArrayIndexFrameOverlay::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CArrayIndexFrameOverlay;
    d.Add(&C::m_StringToUseAsIndex, "String To Use As Index", "%s[Number]");
    d.AddArray<CTypedPObjectProperty<CFrameOverlay>>(&C::m_pOverlayArray, "Overlay Array List", "Overlay Array",
                                                     nullptr);
}

CFrameOverlay* CArrayIndexFrameOverlay::Pick(CTextSubstitutionList* substitutions) const
{
    const int32_t index = Substituted(m_StringToUseAsIndex, substitutions).ToInt();
    if (index < 0 || uint32_t(index) >= m_pOverlayArray.GetCount())
        return nullptr;
    return m_pOverlayArray[uint32_t(index)];
}

void CArrayIndexFrameOverlay::Draw(CFrameOverlayDrawContext& context)
{
    if (CFrameOverlay* child = Pick(context.m_pSubstitutions))
        child->Draw(context);
}

CFrameOverlay* CArrayIndexFrameOverlay::FindOverlay(const CJString& name, CTextSubstitutionList* substitutions,
                                                    CPoint* accumulator)
{
    CFrameOverlay* child = Pick(substitutions);
    return child ? child->FindOverlay(name, substitutions, accumulator) : nullptr;
}

void CArrayIndexFrameOverlay::MoveBy(int32_t dx, int32_t dy)
{
    for (uint32_t i = 0; i < m_pOverlayArray.GetCount(); ++i)
        MoveChild(m_pOverlayArray[i], dx, dy);
}

void CArrayIndexFrameOverlay::GetDescription(CJString& out, const char*)
{
    Describe(out, m_StringToUseAsIndex);
}

// --- Offset scaled by an amount ---

OMBRISALT_OVERLAY_CLASS(COffsetScaledAmountFrameOverlay, 1.0)

void COffsetScaledAmountFrameOverlay::DeclareProperties(CPropertyDeclarer& d)
{
    using C = COffsetScaledAmountFrameOverlay;
    d.Add(&C::m_Value, "Value", "%s[Value]");
    d.Add(&C::m_Range, "Range", "%s[Range]");
    d.Add(&C::m_Min, "Min", 0.0f).Units("fraction").Range(0.0f, 1.0f);
    d.Add(&C::m_Max, "Max", 1.0f).Units("fraction").Range(0.0f, 1.0f);
    d.Add(&C::m_Offset, "Offset", CFPoint{0.0f, 0.0f});
    d.AddOwned(&C::m_pOverlay, "Overlayo Offset");
}

float COffsetScaledAmountFrameOverlay::GetFraction(CTextSubstitutionList* substitutions) const
{
    const float value = ReadDigits(Substituted(m_Value, substitutions));
    const float range = ReadDigits(Substituted(m_Range, substitutions));
    float fraction = range > 0.0f ? ClampDataNumber(value / range) : 0.0f;
    const float low = std::min(m_Min, m_Max);
    const float high = m_Max;
    if (fraction < low)
        fraction = low;
    if (fraction > high)
        fraction = high;
    return fraction;
}

void COffsetScaledAmountFrameOverlay::Draw(CFrameOverlayDrawContext& context)
{
    if (!m_pOverlay)
        return;
    const float fraction = GetFraction(context.m_pSubstitutions);
    const int32_t dx = RoundToInt(ClampDataNumber(m_Offset.x) * fraction);
    const int32_t dy = RoundToInt(ClampDataNumber(m_Offset.y) * fraction);
    CFrameInterface* target = context.m_pTarget;
    COffsetProxyFrame moved(target, -dx, -dy);
    context.m_pTarget = &moved;
    m_pOverlay->Draw(context);
    context.m_pTarget = target;
}

void COffsetScaledAmountFrameOverlay::MoveBy(int32_t dx, int32_t dy)
{
    MoveChild(m_pOverlay, dx, dy);
}

void COffsetScaledAmountFrameOverlay::GetDescription(CJString& out, const char*)
{
    Describe(out, m_Value);
}
