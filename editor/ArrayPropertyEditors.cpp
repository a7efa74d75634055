#include "editor/ArrayPropertyEditors.h"

#include "editor/CObjectEditor.h"
#include "game/world/CLevelSet.h"
#include "game/world/CLevelSorter.h"
#include "objects/CObject.h"
#include "objects/CPObjectProperty.h"
#include "objects/CPropertyArrayProperty.h"
#include "ui/CJButton.h"
#include "ui/CJStatic.h"

#include <algorithm>

namespace {

// Each row's controls stand in a line after its label.
constexpr EPlace kPlaceRowControl = EPlace::RightOfPrevious;

void MakeArrayRows(CObjectEditor* editor, CObject* object, const CPropertyArrayProperty* property,
                   const CProperty* categoryProperty, const CJString& label)
{
    if (property->IsResizable()) {
        CJString countLabel;
        countLabel.Format("%s Count", label.GetString());
        editor->AddPropertyEditor(new CTopArrayPropertyEditor(property, categoryProperty, editor, object),
                                  countLabel.GetString());
    }
    const CProperty* element = property->GetElementProperty();
    CVirtualArray* names = property->GetElementNameList();
    if (element->GetEffectiveLevel() != 0) {
        const uint32_t count = property->GetCount(object);
        for (uint32_t i = 0; i < count; ++i) {
            CJString elementLabel;
            if (names)
                elementLabel.Format("%s %s", element->GetName(), names->GetItemNameString(int32_t(i)).GetString());
            else
                elementLabel.Format("%s %d", element->GetName(), int32_t(i + 1));
            CreatePropertyEditors(editor, property->ElementSlot(object, i), element, categoryProperty, elementLabel);
        }
    }
    if (property->IsResizable())
        editor->AddPropertyEditor(new CAddNewElementPropertyEditor(property, categoryProperty, editor, object), "");
}

} // namespace

// ==== Arrays ===============================================================

CTopArrayPropertyEditor::CTopArrayPropertyEditor(const CPropertyArrayProperty* property,
                                                 const CProperty* categoryProperty, CObjectEditor* editor,
                                                 CObject* object)
    : CPropertyEditor(property, categoryProperty, editor, object)
    , m_ArrayProperty(property)
{
}

void CTopArrayPropertyEditor::CreateControls(bool enabled)
{
    CJWindow* pane = GetCategoryWindow();
    if (!pane)
        return;
    m_CountText = &pane->Add<CJStatic>(kPlaceRowControl, "0");
    m_InsertButton = &pane->Add<CJButton>(kPlaceRowControl, "&Ins& Slot Before");
    m_DeleteButton = &pane->Add<CJButton>(kPlaceRowControl, "&Del&ete Slot");
    Refresh();
    Enable(enabled);
}

void CTopArrayPropertyEditor::Refresh()
{
    if (!m_CountText)
        return;
    CJString text;
    text.Format("%u", m_ArrayProperty->GetCount(m_Object));
    m_CountText->SetTitle(text);
}

void CTopArrayPropertyEditor::Enable(bool enabled)
{
    m_Enabled = enabled;
    if (m_CountText)
        m_CountText->Enable(enabled);
    UpdateButtons();
}

void CTopArrayPropertyEditor::UpdateButtons()
{
    const bool on = m_Enabled && m_Index >= 0;
    if (m_InsertButton)
        m_InsertButton->Enable(on);
    if (m_DeleteButton)
        m_DeleteButton->Enable(on);
}

int32_t CTopArrayPropertyEditor::ElementOf(const CPropertyEditor* row) const
{
    if (!row || row == this)
        return -1;
    const CProperty* element = m_ArrayProperty->GetElementProperty();
    const auto* owning = dynamic_cast<const CPObjectProperty*>(element);
    const uint32_t count = m_ArrayProperty->GetCount(m_Object);
    for (uint32_t i = 0; i < count; ++i) {
        CObject* slot = m_ArrayProperty->ElementSlot(m_Object, i);
        if (row->GetObject() == slot && row->GetProperty() == element)
            return int32_t(i);
        // The rows of an owned element shown inline edit the element too.
        if (owning && owning->GetObject(slot) && row->GetObject() == owning->GetObject(slot))
            return int32_t(i);
    }
    return -1;
}

void CTopArrayPropertyEditor::RebuildAndFocus(int32_t index)
{
    CObject* object = m_Object;
    const CPropertyArrayProperty* property = m_ArrayProperty;
    NotifyObjectOfEdit();
    RefreshObjectEditor(); // this row is gone from here on
    if (index >= 0)
        FocusArrayElementRow(object, property, index);
}

bool CTopArrayPropertyEditor::ApplyEdit(CJWindow* control, int32_t notification)
{
    if (!control)
        return false;
    // The object editor's word that the focused row changed.
    if (m_ObjectEditor && control == static_cast<CJWindow*>(m_ObjectEditor)) {
        // A press on this row's own buttons focuses this row first: the
        // element chosen before stays the one they act on.
        const CPropertyEditor* focused = m_ObjectEditor->GetFocusedPropertyEditor();
        if (notification == kNotifyChanged && focused != this) {
            m_Index = ElementOf(focused);
            UpdateButtons();
        }
        return false;
    }
    if (control != m_InsertButton && control != m_DeleteButton)
        return false;
    if (notification != kNotifyClicked)
        return true;
    const uint32_t count = m_ArrayProperty->GetCount(m_Object);
    if (!m_Enabled || m_Index < 0 || uint32_t(m_Index) >= count)
        return true;
    auto* levels = dynamic_cast<CLevelSet*>(m_Object);
    if (control == m_InsertButton) {
        // A level set gets a level, not an empty slot, as the sorter inserts one.
        if (levels)
            InsertLevelIntoSet(*levels, uint32_t(m_Index));
        else
            m_ArrayProperty->ArrayProperty_SetCount(m_Object, count + 1, m_Index);
        RebuildAndFocus(m_Index);
        return true;
    }
    // A level set's levels go as the sorter deletes them.
    if (levels && m_ObjectEditor) {
        if (DeleteLevelOfSet(*levels, uint32_t(m_Index), *m_ObjectEditor))
            RebuildAndFocus(std::min(m_Index, int32_t(count) - 2));
        return true;
    }
    const auto* owning = dynamic_cast<const CPObjectProperty*>(m_ArrayProperty->GetElementProperty());
    if (owning)
        ForgetEditedObject(owning->GetObject(m_ArrayProperty->ElementSlot(m_Object, uint32_t(m_Index))));
    m_ArrayProperty->ArrayProperty_SetCount(m_Object, count - 1, m_Index);
    RebuildAndFocus(std::min(m_Index, int32_t(count) - 2));
    return true;
}

CAddNewElementPropertyEditor::CAddNewElementPropertyEditor(const CPropertyArrayProperty* property,
                                                           const CProperty* categoryProperty, CObjectEditor* editor,
                                                           CObject* object)
    : CPropertyEditor(property, categoryProperty, editor, object)
    , m_ArrayProperty(property)
{
}

void CAddNewElementPropertyEditor::CreateControls(bool enabled)
{
    CJWindow* pane = GetCategoryWindow();
    if (!pane)
        return;
    CJString name = m_ArrayProperty->GetElementProperty()->GetNameString();
    // A to Z only: other letters keep their case.
    for (int i = 0; i < name.GetLength(); ++i) {
        const char16_t c = name.GetAt(i);
        if (c >= u'A' && c <= u'Z')
            name.SetAt(i, char16_t(c - u'A' + u'a'));
    }
    CJString caption;
    caption.Format("<new %s slot>", name.GetString());
    m_Button = &pane->Add<CJButton>(kPlaceRowControl, caption);
    Enable(enabled);
}

void CAddNewElementPropertyEditor::Enable(bool enabled)
{
    if (m_Button)
        m_Button->Enable(enabled);
}

bool CAddNewElementPropertyEditor::ApplyEdit(CJWindow* control, int32_t notification)
{
    if (!control || control != m_Button)
        return false;
    if (notification != kNotifyClicked || !m_Button->IsEnabled())
        return true;
    CObject* object = m_Object;
    const CPropertyArrayProperty* property = m_ArrayProperty;
    const uint32_t count = property->GetCount(object);
    if (auto* levels = dynamic_cast<CLevelSet*>(object))
        InsertLevelIntoSet(*levels, count);
    else
        property->ArrayProperty_SetCount(object, count + 1);
    NotifyObjectOfEdit();
    RefreshObjectEditor(); // this row is gone from here on
    FocusArrayElementRow(object, property, int32_t(count));
    return true;
}

bool FocusArrayElementRow(CObject* object, const CPropertyArrayProperty* property, int32_t index)
{
    CObjectEditor* editor = GetCurrentObjectEditor();
    if (!editor || index < 0 || uint32_t(index) >= property->GetCount(object))
        return false;
    CPropertyEditor* row
        = FindPropertyEditor(property->ElementSlot(object, uint32_t(index)), property->GetElementProperty(), 0);
    if (!row)
        return false;
    editor->FocusPropertyEditor(row);
    return true;
}

bool MakeArrayPropertyRows(CObjectEditor* editor, CObject* object, const CProperty* property,
                           const CProperty* categoryProperty, const CJString& label)
{
    if (!editor || !object || !property)
        return false;
    const auto* array = dynamic_cast<const CPropertyArrayProperty*>(property);
    if (!array)
        return false;
    MakeArrayRows(editor, object, array, categoryProperty, label);
    return true;
}
