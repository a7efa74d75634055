#include "editor/ValuePropertyEditors.h"

#include "editor/CEditorCheckpointHistory.h"
#include "editor/CObjectEditor.h"
#include "foundation/CDynamicList.h"
#include "objects/CBoolProperty.h"
#include "objects/CClassInfo.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CMessage.h"
#include "objects/CObject.h"
#include "objects/CObjectProperty.h"
#include "objects/CStringProperty.h"
#include "ui/CJCheckBox.h"
#include "ui/CJEdit.h"
#include "ui/CJSpin.h"
#include "ui/CJStatic.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <type_traits>
#include <utility>

CJString g_EditorUnitsOverride;

namespace {

constexpr EPlace kPlaceRowControl = EPlace::RightOfPrevious;
constexpr EPlace kPlaceCheckBox = EPlace::RightOfPreviousCentred;
constexpr const char* kNumberCheckpoint = "NumberSpinControlCheckpoint";
constexpr const char* kTextCheckpoint = "TextPropertyCheckpoint";

void EnableRowLabel(CJWindow* label, bool enabled)
{
    if (label)
        label->Enable(enabled);
}

// --- What the number kinds differ in ---------------------------------------

template <typename P>
constexpr bool kIsFloat = std::is_same_v<typename P::ValueType, float>;

// The special values: none for the signed kinds.
inline int32_t SpecialCount(const CIntProperty&)
{
    return 0;
}
inline int32_t SpecialCount(const CUintProperty& p)
{
    return p.GetSpecialValues() ? p.GetSpecialValues()->GetCount() : 0;
}
inline int32_t SpecialCount(const CFloatProperty& p)
{
    return p.GetSpecialValues() ? p.GetSpecialValues()->GetCount() : 0;
}
inline int32_t SpecialValue(const CIntProperty&, int32_t)
{
    return 0;
}
inline uint32_t SpecialValue(const CUintProperty& p, int32_t i)
{
    return p.GetSpecialValues()->GetValue(i);
}
inline float SpecialValue(const CFloatProperty& p, int32_t i)
{
    return p.GetSpecialValues()->GetValue(i);
}
inline const char* SpecialName(const CIntProperty&, int32_t)
{
    return "";
}
inline const char* SpecialName(const CUintProperty& p, int32_t i)
{
    return p.GetSpecialValues()->GetItemName(i);
}
inline const char* SpecialName(const CFloatProperty& p, int32_t i)
{
    return p.GetSpecialValues()->GetItemName(i);
}

// The stored value as the spin shows it: whole numbers as whole-number text.
inline void ShowDisplayOf(CJSpin& spin, const CIntProperty& p, int32_t stored)
{
    CJString text;
    text.Format("%d", p.GetFormula().ToDisplay(stored));
    spin.SetTitle(text);
}
inline void ShowDisplayOf(CJSpin& spin, const CUintProperty& p, uint32_t stored)
{
    CJString text;
    text.Format("%u", p.GetFormula().ToDisplay(stored));
    spin.SetTitle(text);
}
inline void ShowDisplayOf(CJSpin& spin, const CFloatProperty& p, float stored)
{
    spin.SetTitleFromFloat(p.GetFormula().ToDisplay(stored));
}

// The spin's limits: the displayed bounds, none (both 0) when the property
// declares no range. A reciprocal turns float bounds round; a whole-number
// maximum that wrapped in its formula (an unsigned shown counting from 1)
// becomes the largest value of its type, so the range never closes up.
template <typename P>
void SpinLimits(const P& p, float& minimum, float& maximum)
{
    minimum = maximum = 0.0f;
    if (p.GetMinimum() == p.GetMaximum())
        return;
    using T = typename P::ValueType;
    float a = float(p.GetFormula().ToDisplay(p.GetMinimum()));
    float b = float(p.GetFormula().ToDisplay(p.GetMaximum()));
    if constexpr (std::is_same_v<T, float>) {
        if (b < a)
            std::swap(a, b);
    } else if (b < a) {
        b = float(std::numeric_limits<T>::max());
    }
    minimum = a;
    maximum = b;
}

// The spin steps whole numbers in full: its own float text has six
// significant digits, and "1.23457e+06" read back as leading digits stores
// 1. A half step (spin step 0) still shows its fraction.
class CWholeNumberSpin final : public CJSpin {
public:
    using CJSpin::CJSpin;

    void ChangeValue(float delta) override
    {
        double value = std::strtod(GetTitleText(), nullptr) + double(delta);
        if (GetMinimum() != 0.0f || GetMaximum() != 0.0f) {
            const double clamped = std::clamp(value, double(GetMinimum()), double(GetMaximum()));
            if (clamped != value) {
                CPlaySoundMessage sound(CJString("Player Error.wav"));
                BroadcastMessageToPlugIns(sound);
            }
            value = clamped;
        }
        CJString text;
        text.Format("%.12g", value);
        GetEdit()->SetTitle(text);
        NotifyParent(kNotifyChanged);
    }
};

} // namespace

// --- Number spin -------------------------------------------------------------

template <typename P>
CNumberSpinPropertyEditor<P>::CNumberSpinPropertyEditor(const P* property, const CProperty* categoryProperty,
                                                        CObjectEditor* editor, CObject* object)
    : CPropertyEditor(property, categoryProperty, editor, object)
    , m_TypedProperty(property)
    , m_UnitsLabel(g_EditorUnitsOverride.IsNotEmpty() ? g_EditorUnitsOverride : property->GetShownUnits())
{
}

template <typename P>
int32_t CNumberSpinPropertyEditor<P>::SpecialValueCount() const
{
    return SpecialCount(*m_TypedProperty);
}

template <typename P>
int32_t CNumberSpinPropertyEditor<P>::FindMemberSpecialValue() const
{
    const auto value = m_TypedProperty->Value(m_Object);
    for (int32_t i = 0; i < SpecialValueCount(); ++i)
        if (SpecialValue(*m_TypedProperty, i) == value)
            return i;
    return -1;
}

template <typename P>
void CNumberSpinPropertyEditor<P>::ShowMemberInSpin()
{
    if (m_Spin)
        ShowDisplayOf(*m_Spin, *m_TypedProperty, m_TypedProperty->Value(m_Object));
}

template <typename P>
void CNumberSpinPropertyEditor<P>::StoreEditedText(const CJString& text)
{
    m_TypedProperty->SetValueFromFormulaText(m_Object, text);
}

template <typename P>
void CNumberSpinPropertyEditor<P>::CreateControls(bool enabled)
{
    CJWindow* pane = GetCategoryWindow();
    if (!pane)
        return;
    if constexpr (kIsFloat<P>)
        m_Spin = new CJSpin(pane);
    else
        m_Spin = new CWholeNumberSpin(pane);
    float minimum = 0.0f;
    float maximum = 0.0f;
    SpinLimits(*m_TypedProperty, minimum, maximum);
    m_Spin->SetRange(minimum, maximum);
    m_Spin->GetEdit()->SetRange(minimum, maximum);
    const float step = m_TypedProperty->GetSpinStep();
    m_Spin->SetStep(step == 0.0f ? 0.5f : step);
    m_Spin->Enable(enabled);

    const int32_t specials = SpecialValueCount();
    if (specials > 0) {
        m_OtherValueBox = new CJCheckBox(pane, m_UnitsLabel);
        for (int32_t i = 0; i < specials; ++i)
            m_SpecialValueBoxes.push_back(
                new CJCheckBox(pane, CJString(SpecialName(*m_TypedProperty, i)), m_OtherValueBox));
        m_OtherValueBox->Enable(enabled);
        for (CJCheckBox* box : m_SpecialValueBoxes)
            box->Enable(enabled);
        // Without units the other-value box reads as the spin's own; with
        // them it follows the named values and titles the spin.
        if (m_UnitsLabel.IsEmpty()) {
            pane->AddChild(m_OtherValueBox, kPlaceRowControl);
            pane->AddChild(m_Spin, kPlaceRowControl);
            for (CJCheckBox* box : m_SpecialValueBoxes)
                pane->AddChild(box, kPlaceRowControl);
        } else {
            for (CJCheckBox* box : m_SpecialValueBoxes)
                pane->AddChild(box, kPlaceRowControl);
            pane->AddChild(m_OtherValueBox, kPlaceRowControl);
            pane->AddChild(m_Spin, kPlaceRowControl);
        }
    } else {
        pane->AddChild(m_Spin, kPlaceRowControl);
        if (m_UnitsLabel.IsNotEmpty()) {
            m_UnitsStatic = &pane->Add<CJStatic>(kPlaceRowControl, m_UnitsLabel);
            m_UnitsStatic->Enable(enabled);
        }
    }
    Refresh();
}

template <typename P>
void CNumberSpinPropertyEditor<P>::Refresh()
{
    if (!m_Spin)
        return;
    if (m_OtherValueBox) {
        const int32_t special = FindMemberSpecialValue();
        if (special >= 0) {
            m_SpecialValueBoxes[size_t(special)]->SetChecked(1);
            m_Spin->ClearTitle();
            return;
        }
        m_OtherValueBox->SetChecked(1);
    }
    ShowMemberInSpin();
}

template <typename P>
void CNumberSpinPropertyEditor<P>::OnOtherValueClicked()
{
    CEditorCheckpoint checkpoint(kNumberCheckpoint, m_Property->GetNameString());
    m_Property->SetToDefault(m_Object);
    if (FindMemberSpecialValue() < 0) {
        ShowMemberInSpin();
    } else {
        float minimum = 0.0f;
        float maximum = 0.0f;
        SpinLimits(*m_TypedProperty, minimum, maximum);
        // A minimum that is itself a named value would leave the named
        // value in the member under a checked "other" box: step past it.
        const float step = std::max(m_Spin->GetStep(), kIsFloat<P> ? m_Spin->GetStep() : 1.0f);
        float shown = minimum;
        for (int32_t tries = 0; tries <= SpecialValueCount(); ++tries, shown += step) {
            if (maximum != minimum && shown > maximum)
                break;
            if constexpr (kIsFloat<P>) {
                m_Spin->SetTitleFromFloat(shown);
            } else {
                CJString text;
                text.Format("%.0f", double(shown));
                m_Spin->SetTitle(text);
            }
            StoreEditedText(m_Spin->GetTitle());
            if (FindMemberSpecialValue() < 0)
                break;
        }
    }
    NotifyObjectOfEdit();
}

template <typename P>
void CNumberSpinPropertyEditor<P>::OnSpecialValueClicked(int32_t index)
{
    CEditorCheckpoint checkpoint(kNumberCheckpoint, m_Property->GetNameString());
    m_Spin->ClearTitle();
    m_TypedProperty->Store(m_Object, SpecialValue(*m_TypedProperty, index));
    NotifyObjectOfEdit();
}

template <typename P>
bool CNumberSpinPropertyEditor<P>::ApplyEdit(CJWindow* control, int32_t notification)
{
    if (!control || !m_Spin)
        return false;
    if (control == m_Spin) {
        if (notification != kNotifyChanged)
            return false;
        CEditorCheckpoint checkpoint(kNumberCheckpoint, m_Property->GetNameString());
        StoreEditedText(m_Spin->GetTitle());
        if (m_OtherValueBox)
            m_OtherValueBox->SetChecked(1);
        NotifyObjectOfEdit();
        // The rebuild deletes this row: nothing of it is touched afterwards.
        if (m_RefreshAfterEdit)
            RefreshObjectEditor();
        return true;
    }
    if (notification != kNotifyClicked)
        return false;
    if (control == m_OtherValueBox) {
        OnOtherValueClicked();
        return true;
    }
    for (size_t i = 0; i < m_SpecialValueBoxes.size(); ++i) {
        if (control == m_SpecialValueBoxes[i]) {
            OnSpecialValueClicked(int32_t(i));
            return true;
        }
    }
    return false;
}

template <typename P>
void CNumberSpinPropertyEditor<P>::Enable(bool enabled)
{
    if (m_Spin)
        m_Spin->Enable(enabled);
    if (m_OtherValueBox)
        m_OtherValueBox->Enable(enabled);
    for (CJCheckBox* box : m_SpecialValueBoxes)
        box->Enable(enabled);
    if (m_UnitsStatic)
        m_UnitsStatic->Enable(enabled);
    EnableRowLabel(m_RowWindow, enabled);
}

template <typename P>
void CNumberSpinPropertyEditor<P>::SetSpinRange(float minimum, float maximum)
{
    if (!m_Spin)
        return;
    m_Spin->SetRange(minimum, maximum);
    m_Spin->GetEdit()->SetRange(minimum, maximum);
    m_Spin->SetStep(0.1f);
}

template class CNumberSpinPropertyEditor<CIntProperty>;
template class CNumberSpinPropertyEditor<CLongProperty>;
template class CNumberSpinPropertyEditor<CUintProperty>;
template class CNumberSpinPropertyEditor<CFloatProperty>;

// --- Check box ---------------------------------------------------------------

template <typename P>
CCheckBoxPropertyEditor<P>::CCheckBoxPropertyEditor(const P* property, const CProperty* categoryProperty,
                                                    CObjectEditor* editor, CObject* object)
    : CPropertyEditor(property, categoryProperty, editor, object)
    , m_TypedProperty(property)
{
}

template <typename P>
bool CCheckBoxPropertyEditor<P>::IsMemberSet() const
{
    if constexpr (std::is_same_v<P, CBitProperty>)
        return m_TypedProperty->IsShownSet(m_Object);
    else
        return m_TypedProperty->Value(m_Object);
}

template <typename P>
void CCheckBoxPropertyEditor<P>::CreateControls(bool enabled)
{
    CJWindow* pane = GetCategoryWindow();
    if (!pane)
        return;
    m_CheckBox = &pane->Add<CJCheckBox>(kPlaceCheckBox, CJString());
    m_CheckBox->SetChecked(IsMemberSet() ? 1 : 0);
    m_CheckBox->Enable(enabled);
}

template <typename P>
bool CCheckBoxPropertyEditor<P>::ApplyEdit(CJWindow* control, int32_t notification)
{
    if (!control || control != m_CheckBox || notification != kNotifyClicked)
        return false;
    const bool checked = m_CheckBox->IsChecked() != 0;
    if constexpr (std::is_same_v<P, CBitProperty>)
        m_TypedProperty->SetValueFromText(m_Object, CJString(checked ? "1" : "0"), nullptr);
    else
        m_TypedProperty->Store(m_Object, checked);
    NotifyObjectOfEdit();
    // A setter that refused or changed the value: the rebuilt rows show
    // what the object holds. The rebuild deletes this row.
    if (IsMemberSet() != checked)
        RefreshObjectEditor();
    return true;
}

template <typename P>
void CCheckBoxPropertyEditor<P>::Enable(bool enabled)
{
    if (m_CheckBox)
        m_CheckBox->Enable(enabled);
    EnableRowLabel(m_RowWindow, enabled);
}

template <typename P>
void CCheckBoxPropertyEditor<P>::Refresh()
{
    if (m_CheckBox)
        m_CheckBox->SetChecked(IsMemberSet() ? 1 : 0);
}

template class CCheckBoxPropertyEditor<CBoolProperty>;
template class CCheckBoxPropertyEditor<CBitProperty>;

// --- Text ----------------------------------------------------------------------

template <typename P>
CTextPropertyEditor<P>::CTextPropertyEditor(const P* property, const CProperty* categoryProperty,
                                            CObjectEditor* editor, CObject* object)
    : CPropertyEditor(property, categoryProperty, editor, object)
    , m_TypedProperty(property)
{
}

template <typename P>
bool CTextPropertyEditor<P>::IsMultiLineField() const
{
    return m_TypedProperty->IsMultiLine() && m_TypedProperty->GetEditLines() >= 2;
}

template <typename P>
CJEdit* CTextPropertyEditor<P>::MakeEdit(CJWindow* parent) const
{
    auto* edit = new CJEdit(parent, kWidthSample);
    if (IsMultiLineField()) {
        edit->SetLineCount(m_TypedProperty->GetEditLines());
        edit->SetEnterIsNewline(true);
    }
    return edit;
}

template <typename P>
int32_t CTextPropertyEditor<P>::GetExtraHeight()
{
    if (!IsMultiLineField())
        return 0;
    // Measured on a field that never joins the window tree.
    CJEdit* probe = MakeEdit(GetCategoryWindow());
    const int32_t height = probe->GetRect().GetHeight();
    probe->Destroy();
    return height;
}

template <typename P>
void CTextPropertyEditor<P>::CreateControls(bool enabled)
{
    CJWindow* pane = GetCategoryWindow();
    if (!pane)
        return;
    m_Edit = MakeEdit(pane);
    Refresh();
    m_Edit->Enable(enabled);
    pane->AddChild(m_Edit, kPlaceRowControl);
}

template <typename P>
bool CTextPropertyEditor<P>::ApplyEdit(CJWindow* control, int32_t notification)
{
    if (!control || control != m_Edit || notification != kNotifyChanged)
        return false;
    CEditorCheckpoint checkpoint(kTextCheckpoint, m_Property->GetNameString());
    m_Object->SetPropertyFromText(m_Property, m_Edit->GetTitle(), nullptr);
    NotifyObjectOfEdit();
    return true;
}

template <typename P>
void CTextPropertyEditor<P>::Enable(bool enabled)
{
    if (m_Edit)
        m_Edit->Enable(enabled);
    EnableRowLabel(m_RowWindow, enabled);
}

template <typename P>
void CTextPropertyEditor<P>::Refresh()
{
    if (!m_Edit)
        return;
    CJString text;
    m_Property->GetValueText(m_Object, text);
    m_Edit->SetTitle(text);
}

template class CTextPropertyEditor<CJStringProperty>;
template class CTextPropertyEditor<CJStringPropertyTranslated>;

// --- The maker -----------------------------------------------------------------

namespace {

template <typename Row, typename P>
bool AddRow(CObjectEditor* editor, CObject* object, const P* property, const CProperty* categoryProperty,
            const CJString& label)
{
    editor->AddPropertyEditor(new Row(property, categoryProperty, editor, object), label.GetString());
    return true;
}

// One row per shown property of the member, in the outer property's place.
bool AddEmbeddedRows(CObjectEditor* editor, CObject* object, const CObjectProperty* property,
                     const CProperty* categoryProperty, const CJString& label)
{
    CObject* member = property->GetMember(object);
    CClassInfo* info = member ? member->GetClassInfo() : nullptr;
    if (!info)
        return true;
    for (int32_t i = 0; i < info->GetPropertyCount(); ++i) {
        const CProperty* inner = info->GetProperty(i);
        if (inner->GetEffectiveLevel() == 0)
            continue;
        CJString innerLabel(label);
        innerLabel.Append(" ");
        innerLabel.Append(inner->GetNameString());
        CreatePropertyEditors(editor, member, inner, categoryProperty, innerLabel);
    }
    return true;
}

} // namespace

bool MakeValuePropertyRows(CObjectEditor* editor, CObject* object, const CProperty* property,
                           const CProperty* categoryProperty, const CJString& label)
{
    if (!editor || !object || !property)
        return false;
    // Derived kinds before their bases.
    if (auto* p = dynamic_cast<const CLongProperty*>(property))
        return AddRow<CNumberSpinPropertyEditor<CLongProperty>>(editor, object, p, categoryProperty, label);
    if (auto* p = dynamic_cast<const CIntProperty*>(property))
        return AddRow<CNumberSpinPropertyEditor<CIntProperty>>(editor, object, p, categoryProperty, label);
    if (auto* p = dynamic_cast<const CUintProperty*>(property))
        return AddRow<CNumberSpinPropertyEditor<CUintProperty>>(editor, object, p, categoryProperty, label);
    if (auto* p = dynamic_cast<const CFloatProperty*>(property))
        return AddRow<CNumberSpinPropertyEditor<CFloatProperty>>(editor, object, p, categoryProperty, label);
    if (auto* p = dynamic_cast<const CBoolProperty*>(property))
        return AddRow<CCheckBoxPropertyEditor<CBoolProperty>>(editor, object, p, categoryProperty, label);
    if (auto* p = dynamic_cast<const CBitProperty*>(property))
        return AddRow<CCheckBoxPropertyEditor<CBitProperty>>(editor, object, p, categoryProperty, label);
    if (auto* p = dynamic_cast<const CJStringProperty*>(property))
        return AddRow<CTextPropertyEditor<CJStringProperty>>(editor, object, p, categoryProperty, label);
    if (auto* p = dynamic_cast<const CJStringPropertyTranslated*>(property))
        return AddRow<CTextPropertyEditor<CJStringPropertyTranslated>>(editor, object, p, categoryProperty, label);
    if (auto* p = dynamic_cast<const CObjectProperty*>(property))
        return AddEmbeddedRows(editor, object, p, categoryProperty, label);
    return false;
}
