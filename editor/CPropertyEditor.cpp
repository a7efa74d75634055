#include "editor/CPropertyEditor.h"

#include "editor/CObjectEditor.h"
#include "objects/CObject.h"
#include "objects/CProperty.h"
#include "shell/CClipboard.h"

#include <vector>

namespace {

std::vector<PropertyRowMaker>& RowMakers()
{
    static std::vector<PropertyRowMaker> makers;
    return makers;
}

std::vector<PropertyButtonMaker>& ButtonMakers()
{
    static std::vector<PropertyButtonMaker> makers;
    return makers;
}

template <typename Maker>
void AddOnce(std::vector<Maker>& makers, Maker maker)
{
    for (Maker known : makers)
        if (known == maker)
            return;
    makers.push_back(maker);
}

} // namespace

CPropertyEditor::CPropertyEditor(const CProperty* property, const CProperty* categoryProperty, CObjectEditor* editor,
                                 CObject* object)
    : m_ObjectEditor(editor)
    , m_Object(object)
    , m_Property(property)
    , m_CategoryProperty(categoryProperty)
{
}

bool CPropertyEditor::Cut(bool testOnly)
{
    if (!SupportsClipboard() || !Copy(testOnly))
        return false;
    Delete(testOnly);
    return true;
}

bool CPropertyEditor::Copy(bool testOnly)
{
    if (!SupportsClipboard())
        return false;
    CJString text;
    m_Property->GetValueText(m_Object, text);
    if (text.IsEmpty())
        return false;
    if (!testOnly)
        CClipboard::SGetInstance().SetText(text);
    return true;
}

bool CPropertyEditor::Paste(bool testOnly)
{
    if (!SupportsClipboard())
        return false;
    CJString text;
    if (!CClipboard::SGetInstance().GetText(text))
        return false;
    if (!testOnly) {
        m_Property->SetValueFromText(m_Object, text, nullptr);
        Refresh();
    }
    return true;
}

bool CPropertyEditor::Delete(bool testOnly)
{
    if (!SupportsClipboard())
        return false;
    CJString text;
    m_Property->GetValueText(m_Object, text);
    if (text.IsEmpty())
        return false;
    if (!testOnly) {
        m_Property->SetValueFromText(m_Object, CJString(), nullptr);
        Refresh();
    }
    return true;
}

void CPropertyEditor::RefreshObjectEditor()
{
    if (m_ObjectEditor)
        m_ObjectEditor->Rebuild();
}

void CPropertyEditor::NotifyObjectOfEdit()
{
    if (!m_ObjectEditor || !m_ObjectEditor->GetEditedObject())
        return;
    CPropertyEditRecord record;
    record.property = m_CategoryProperty;
    record.editor = m_ObjectEditor;
    m_ObjectEditor->GetEditedObject()->OnPropertyEdited(record);
}

CPropertyPane* CPropertyEditor::GetCategoryWindow() const
{
    return m_ObjectEditor ? m_ObjectEditor->GetPropertyEditorCategoryPane(this) : nullptr;
}

void AddPropertyRowMaker(PropertyRowMaker maker)
{
    AddOnce(RowMakers(), maker);
}

void AddPropertyButtonMaker(PropertyButtonMaker maker)
{
    AddOnce(ButtonMakers(), maker);
}

void CreatePropertyEditors(CObjectEditor* editor, CObject* object, const CProperty* property,
                           const CProperty* categoryProperty, const CJString& label)
{
    // Newest first: a maker added later (a test's own rows) goes before the
    // start-up makers for the kinds it takes.
    const std::vector<PropertyRowMaker>& makers = RowMakers();
    for (auto maker = makers.rbegin(); maker != makers.rend(); ++maker)
        if ((*maker)(editor, object, property, categoryProperty, label))
            return;
}

void AddPropertyEditorButtons(CObjectEditor* editor, CObject* object, const CProperty* property)
{
    for (PropertyButtonMaker maker : ButtonMakers())
        if (maker(editor, object, property))
            return;
}
