#include "editor/OwnedObjectPropertyEditors.h"

#include "editor/CObjectEditor.h"
#include "game/world/CLevelSet.h"
#include "game/world/CLevelSorter.h"
#include "images/CFont.h"
#include "objects/CClassInfo.h"
#include "objects/CDynamicPropertyProperty.h"
#include "objects/CObject.h"
#include "objects/CPClassInfoProperty.h"
#include "objects/CPObjectProperty.h"
#include "objects/CSlotProperty.h"
#include "objects/CStringProperty.h"
#include "objects/CTranslator.h"
#include "shell/CClipboard.h"
#include "ui/CJButton.h"
#include "ui/CJComboBox.h"
#include "ui/CJStatic.h"

#include <algorithm>
#include <utility>

namespace {

// Each row's controls stand in a line after its label.
constexpr EPlace kPlaceRowControl = EPlace::RightOfPrevious;
constexpr int32_t kComboWidthUnits = 75;
constexpr const char* kNone = "(none)";
constexpr const char* kButtonWidthSample = "Max Button Width Example Text. Testing, testing, 123";
constexpr const char* kNoteWidthSample = "Max Button Width Example Text";
constexpr const char* kConvertCaption = ".Convert to...";

CJString WithoutTrailingSlash(const CJString& path)
{
    CJString out = path;
    while (out.GetLength() > 0 && out.GetAt(out.GetLength() - 1) == u'/')
        out = out.Left(out.GetLength() - 1);
    return out;
}

bool InlineApplies(const CPObjectProperty* property, CObject* object, CObjectEditor* editor)
{
    if (!object)
        return false;
    switch (property->GetInlineMode()) {
    case InlineMode::Always:
        return true;
    case InlineMode::WhenObjectAsks:
        return object->WantsInlineEditing(editor);
    case InlineMode::Never:
        break;
    }
    return false;
}

bool IsListable(CClassInfo* info, const CClassInfo* family)
{
    return info && info->GetFlags() == 0 && info->IsDerivedFrom(family);
}

// A class's display name without the family's short name, which display
// names carry spaced out ("Sprite Plug In Sequence" less "SpritePlugIn").
CJString ListedName(const CClassInfo* info, const CJString& shortName)
{
    const CJString whole = info->GetDisplayName();
    if (shortName.IsEmpty())
        return whole;
    CJString name = info->GetDisplayName(shortName.GetString());
    if (name.Compare(whole) == 0) {
        CJString spaced;
        for (int i = 0; i < shortName.GetLength(); ++i) {
            const char16_t c = shortName.GetAt(i);
            if (i > 0 && c >= u'A' && c <= u'Z')
                spaced.AppendChar(' ');
            spaced.AppendChar(char(c));
        }
        name = info->GetDisplayName(spaced.GetString());
    }
    name.TrimLeft();
    name.TrimRight();
    return name.IsEmpty() ? whole : name;
}

} // namespace

CJString GetClassShortName(const CClassInfo* info)
{
    if (!info)
        return CJString();
    CJString name = info->GetNameWithoutPrefix();
    if (!name.RemoveSuffix(CJString("ABC")))
        name.RemoveSuffix(CJString("Base"));
    return name;
}

CJString GetObjectNoteText(CObject* object)
{
    const CDynamicValueList* values = object ? object->GetDynamicValueList() : nullptr;
    if (!values)
        return CJString();
    for (int32_t i = 0; i < values->GetCount(); ++i) {
        const CDynamicValueList::Pair& pair = values->Get(i);
        if (!dynamic_cast<const CJStringPropertyOf<CJString>*>(pair.property)
            && !dynamic_cast<const CJStringPropertyOf<CTranslatedText>*>(pair.property))
            continue;
        CJString text;
        pair.property->GetValueText(SlotOwner(pair.storage), text);
        if (text.HasNonWhitespace())
            return text;
    }
    return CJString();
}

// ==== Owned objects ========================================================

CPObjectPropertyEditor::CPObjectPropertyEditor(const CPObjectProperty* property, const CProperty* categoryProperty,
                                               CObjectEditor* editor, CObject* object, bool typeRow)
    : CPropertyEditor(property, categoryProperty, editor, object)
    , m_ObjectProperty(property)
    , m_TypeRow(typeRow)
{
    // A note shown with the object needs room above the row.
    if (editor && GetObjectNoteText(GetOwnedObject()).IsNotEmpty()) {
        CFont* font = editor->GetFont();
        editor->AddRowGap(font ? font->GetPointSize() : 0);
    }
    const CClassInfo* preferred = m_ObjectProperty->GetPreferredClass();
    CObject* owned = GetOwnedObject();
    // An object outside the short list shows the list it is in.
    m_FullList = !preferred || (owned && !owned->IsKindOf(preferred));
}

CPObjectPropertyEditor::~CPObjectPropertyEditor() = default;

CObject* CPObjectPropertyEditor::GetOwnedObject() const
{
    return m_ObjectProperty->GetObject(m_Object);
}

bool CPObjectPropertyEditor::MayDelete() const
{
    return !m_TypeRow && m_ObjectProperty->GetMayDelete();
}

CClassInfo* CPObjectPropertyEditor::GetListedClass(int32_t i) const
{
    return i >= 0 && i < int32_t(m_Classes.size()) ? m_Classes[size_t(i)] : nullptr;
}

void CPObjectPropertyEditor::FillClassList()
{
    m_ClassPaths.RemoveAll();
    m_Classes.clear();
    if (MayDelete()) {
        m_ClassPaths.Add(kNone);
        m_Classes.push_back(nullptr);
    }
    CClassInfo* required = m_ObjectProperty->GetRequiredClass();
    const CClassInfo* family = m_FullList ? required : m_ObjectProperty->GetPreferredClass();
    const CJString shortName = GetClassShortName(required);
    const CJString topFolder = WithoutTrailingSlash(required->GetCategoryPath());
    CClassInfoList& registry = CClassInfoList::SGetInstance();
    for (int32_t i = 0; i < registry.GetCount(); ++i) {
        CClassInfo* info = registry.GetAt(i);
        if (!IsListable(info, family))
            continue;
        // Classes of the required class's own category stand at the top.
        const CJString folder = WithoutTrailingSlash(info->GetCategoryPath());
        CJString path;
        if (folder.IsNotEmpty() && folder.CompareNoCase(topFolder) != 0) {
            path = folder;
            path.Append("/");
        }
        path.Append(ListedName(info, shortName));
        m_ClassPaths.Add(path);
        m_Classes.push_back(info);
    }
    if (m_ClassTree)
        m_ClassTree->Rebuild(m_ClassPaths);
    else
        m_ClassTree = std::make_unique<CDirectoryTree>(m_ClassPaths);
}

void CPObjectPropertyEditor::SelectCurrentClass()
{
    if (!m_Combo)
        return;
    CObject* owned = GetOwnedObject();
    const CClassInfo* current = owned ? owned->GetClassInfo() : nullptr;
    int32_t index = -1;
    for (size_t i = 0; i < m_Classes.size(); ++i)
        if (m_Classes[i] == current) {
            index = int32_t(i);
            break;
        }
    m_Combo->SelectItem(index, true);
}

void CPObjectPropertyEditor::FillConvertMenu()
{
    m_ConvertLabels.RemoveAll();
    m_Translators.clear();
    CObject* owned = GetOwnedObject();
    if (!owned)
        return;
    const CClassInfo* required = m_ObjectProperty->GetRequiredClass();
    for (const CTranslator* t = GetFirstTranslator(); t; t = t->GetNext()) {
        CJString label;
        CClassInfo* target = t->Offer(owned, label);
        if (!target || !target->IsDerivedFrom(required))
            continue;
        if (m_Translators.empty())
            m_ConvertLabels.Add(kConvertCaption);
        m_ConvertLabels.Add(label);
        m_Translators.push_back(t);
    }
    if (!m_Translators.empty())
        m_ConvertTree = std::make_unique<CDirectoryTree>(m_ConvertLabels);
}

void CPObjectPropertyEditor::CreateControls(bool enabled)
{
    CJWindow* pane = GetCategoryWindow();
    if (!pane)
        return;
    CObject* owned = GetOwnedObject();

    FillClassList();
    m_Combo = &pane->Add<CJComboBox>(kPlaceRowControl, m_ClassTree.get(), kComboWidthUnits);
    SelectCurrentClass();

    // Without inline rows this is the only way to the object's properties.
    if (owned) {
        m_OpenButton = new CJButton(pane, GetClassShortName(m_ObjectProperty->GetRequiredClass()));
        m_OpenButton->ShrinkWidthToText(CJString(kButtonWidthSample));
        pane->AddChild(m_OpenButton, kPlaceRowControl);
    }
    if (MayDelete())
        m_DeleteButton = &pane->Add<CJButton>(kPlaceRowControl, "Delete");
    const CJString note = GetObjectNoteText(owned);
    if (note.IsNotEmpty()) {
        m_NoteText = new CJStatic(pane, note);
        m_NoteText->ShrinkWidthToText(CJString(kNoteWidthSample));
        pane->AddChild(m_NoteText, kPlaceRowControl);
    }
    FillConvertMenu();
    if (m_ConvertTree) {
        m_ConvertMenu = &pane->Add<CJPopUpMenu>(kPlaceRowControl, m_ConvertTree.get(), kComboWidthUnits / 2);
        m_ConvertMenu->SelectItem(0, true);
    }
    if (m_ObjectProperty->GetPreferredClass())
        m_MoreButton = &pane->Add<CJButton>(kPlaceRowControl, m_FullList ? "less" : "more");
    Enable(enabled);
}

void CPObjectPropertyEditor::Enable(bool enabled)
{
    m_Enabled = enabled;
    const bool on = enabled && m_ObjectProperty->GetEditable();
    for (CJWindow* control : {static_cast<CJWindow*>(m_Combo), static_cast<CJWindow*>(m_OpenButton),
                              static_cast<CJWindow*>(m_DeleteButton), static_cast<CJWindow*>(m_NoteText),
                              static_cast<CJWindow*>(m_ConvertMenu), static_cast<CJWindow*>(m_MoreButton)})
        if (control)
            control->Enable(on);
}

void CPObjectPropertyEditor::Refresh()
{
    SelectCurrentClass();
}

CObject* CPObjectPropertyEditor::Convert(CClassInfo* info)
{
    if (!info)
        return nullptr;
    CObject* old = GetOwnedObject();
    // A translator that makes exactly this class knows best how.
    for (const CTranslator* t = GetFirstTranslator(); t && old; t = t->GetNext()) {
        CJString label;
        if (t->Offer(old, label) != info)
            continue;
        CObject* made = t->Translate(old);
        if (made && made->GetClassInfo() == info)
            return made;
        delete made;
    }
    CObject* made = m_ObjectProperty->CreateObjectOfClass(info);
    if (!made)
        return nullptr;
    made->ResetToDefaults();
    // What the two classes share comes across.
    if (old)
        made->CopyFrom(old);
    return made;
}

void CPObjectPropertyEditor::Replace(CObject* value)
{
    CObject* old = GetOwnedObject();
    if (old && old != value)
        ForgetEditedObject(old);
    m_ObjectProperty->ReplaceObject(m_Object, value);
    NotifyObjectOfEdit();
    RefreshObjectEditor();
}

bool CPObjectPropertyEditor::ApplyEdit(CJWindow* control, int32_t notification)
{
    if (!control)
        return false;
    const bool editable = m_Enabled && m_ObjectProperty->GetEditable();
    if (control == m_Combo) {
        // Highlight moves in the open list are not choices yet.
        if (notification == kNotifyChanged && m_Combo->IsOpen())
            return true;
        if (notification != kNotifyClicked && notification != kNotifyChanged)
            return true;
        const int32_t item = m_Combo->GetSelectedItem();
        if (!editable || item < 0 || item >= int32_t(m_Classes.size()))
            return true;
        CClassInfo* chosen = m_Classes[size_t(item)];
        CObject* owned = GetOwnedObject();
        if (chosen == (owned ? owned->GetClassInfo() : nullptr))
            return true;
        if (!chosen && DeleteLevelOfEditedSet())
            return true;
        CObject* made = Convert(chosen);
        if (chosen && !made) {
            SelectCurrentClass();
            return true;
        }
        Replace(made);
        return true;
    }
    if (control == m_OpenButton) {
        if (notification == kNotifyClicked && GetOwnedObject())
            OpenObjectEditor(GetOwnedObject(), m_ObjectEditor ? m_ObjectEditor->GetOwnerObject() : m_Object);
        return true;
    }
    if (control == m_DeleteButton) {
        if (notification == kNotifyClicked)
            Delete(false);
        return true;
    }
    if (control == m_MoreButton) {
        if (notification == kNotifyClicked) {
            m_FullList = !m_FullList;
            FillClassList();
            if (m_Combo)
                m_Combo->GetListBox()->SetVirtualTree(m_ClassTree.get(), nullptr);
            SelectCurrentClass();
            m_MoreButton->SetTitle(CJString(m_FullList ? "less" : "more"));
        }
        return true;
    }
    if (control == m_ConvertMenu) {
        if (notification != kNotifyClicked || m_ConvertMenu->IsOpen())
            return true;
        const int32_t item = m_ConvertMenu->GetSelectedItem();
        m_ConvertMenu->SelectItem(0, true);
        if (!editable || item < 1 || item > int32_t(m_Translators.size()))
            return true;
        CObject* made = m_Translators[size_t(item - 1)]->Translate(GetOwnedObject());
        if (!made || !made->IsKindOf(m_ObjectProperty->GetRequiredClass())) {
            delete made;
            return true;
        }
        Replace(made);
        return true;
    }
    return false;
}

bool CPObjectPropertyEditor::Copy(bool testOnly)
{
    CObject* owned = GetOwnedObject();
    if (!owned)
        return false;
    if (!testOnly)
        CClipboard::SGetInstance().CopyObject(owned);
    return true;
}

bool CPObjectPropertyEditor::Paste(bool testOnly)
{
    if (!m_Enabled || !m_ObjectProperty->GetEditable())
        return false;
    CObject* pasted = CClipboard::SGetInstance().PasteObject(CClipboard::AllowText::No);
    if (!pasted || !pasted->IsKindOf(m_ObjectProperty->GetRequiredClass())) {
        delete pasted;
        return false;
    }
    if (testOnly) {
        delete pasted;
        return true;
    }
    Replace(pasted);
    return true;
}

bool CPObjectPropertyEditor::Delete(bool testOnly)
{
    if (!GetOwnedObject() || !MayDelete() || !m_Enabled || !m_ObjectProperty->GetEditable())
        return false;
    if (!testOnly && !DeleteLevelOfEditedSet())
        Replace(nullptr);
    return true;
}

bool CPObjectPropertyEditor::DeleteLevelOfEditedSet()
{
    auto* set = m_ObjectEditor ? dynamic_cast<CLevelSet*>(m_ObjectEditor->GetEditedObject()) : nullptr;
    CObject* owned = GetOwnedObject();
    for (uint32_t i = 0; set && owned && i < set->GetCount(); ++i) {
        if (set->GetLevel(i) != owned)
            continue;
        if (DeleteLevelOfSet(*set, i, *m_ObjectEditor)) {
            NotifyObjectOfEdit();
            RefreshObjectEditor(); // this row is gone from here on
        } else {
            SelectCurrentClass(); // the last level stays, and its class shows again
        }
        return true;
    }
    return false;
}
// ==== Class names ==========================================================

CPClassInfoPropertyEditor::CPClassInfoPropertyEditor(const CPClassInfoProperty* property,
                                                     const CProperty* categoryProperty, CObjectEditor* editor,
                                                     CObject* object)
    : CPropertyEditor(property, categoryProperty, editor, object)
    , m_ClassProperty(property)
{
    m_DisplayNames.Add(kNone);
    m_Classes.push_back(nullptr);
    const CClassInfo* base = property->GetBaseClass();
    const CJString shortName = GetClassShortName(base);
    CClassInfoList& registry = CClassInfoList::SGetInstance();
    for (int32_t i = 0; i < registry.GetCount(); ++i) {
        CClassInfo* info = registry.GetAt(i);
        if (!IsListable(info, base))
            continue;
        m_DisplayNames.Add(ListedName(info, shortName));
        m_Classes.push_back(info);
    }
}

CPClassInfoPropertyEditor::~CPClassInfoPropertyEditor() = default;

CClassInfo* CPClassInfoPropertyEditor::GetListedClass(int32_t i) const
{
    return i >= 0 && i < int32_t(m_Classes.size()) ? m_Classes[size_t(i)] : nullptr;
}

CClassInfo* CPClassInfoPropertyEditor::GetValue() const
{
    return m_ClassProperty->Value(m_Object);
}

void CPClassInfoPropertyEditor::SetValue(CClassInfo* info)
{
    m_ClassProperty->Store(m_Object, info);
    NotifyObjectOfEdit();
}

int32_t CPClassInfoPropertyEditor::IndexOf(const CClassInfo* info) const
{
    for (size_t i = 0; i < m_Classes.size(); ++i)
        if (m_Classes[i] == info)
            return int32_t(i);
    return -1;
}

void CPClassInfoPropertyEditor::CreateControls(bool enabled)
{
    CJWindow* pane = GetCategoryWindow();
    if (!pane)
        return;
    m_Combo = &pane->Add<CJComboBox>(kPlaceRowControl, &m_DisplayNames, kComboWidthUnits);
    Refresh();
    Enable(enabled);
}

bool CPClassInfoPropertyEditor::ApplyEdit(CJWindow* control, int32_t notification)
{
    if (!control || control != m_Combo)
        return false;
    if (notification == kNotifyChanged && m_Enabled) {
        const int32_t item = m_Combo->GetSelectedItem();
        if (item >= 0 && item < int32_t(m_Classes.size()))
            SetValue(m_Classes[size_t(item)]);
    }
    return true;
}

bool CPClassInfoPropertyEditor::Copy(bool testOnly)
{
    if (!GetValue())
        return false;
    if (!testOnly) {
        const int32_t item = m_Combo ? m_Combo->GetSelectedItem() : IndexOf(GetValue());
        CClassInfo* info = GetListedClass(item);
        CClipboard::SGetInstance().SetText(CJString(info ? info->GetName() : ""));
    }
    return true;
}

bool CPClassInfoPropertyEditor::Paste(bool testOnly)
{
    if (!m_Enabled)
        return false;
    CJString text;
    if (!CClipboard::SGetInstance().GetText(text))
        return false;
    text.TrimLeft();
    text.TrimRight();
    CClassInfo* info = text.IsEmpty() ? nullptr : CClassInfoList::SGetInstance().Find(text);
    // Only the classes the picker offers: a class outside the base class's
    // family would be made where one of the family is expected.
    if (IndexOf(info) <= 0)
        return false;
    if (!testOnly) {
        SetValue(info);
        Refresh();
    }
    return true;
}

bool CPClassInfoPropertyEditor::Delete(bool testOnly)
{
    if (!GetValue() || !m_Enabled)
        return false;
    if (!testOnly) {
        SetValue(nullptr);
        Refresh();
    }
    return true;
}

void CPClassInfoPropertyEditor::Enable(bool enabled)
{
    m_Enabled = enabled;
    if (m_Combo)
        m_Combo->Enable(enabled);
}

void CPClassInfoPropertyEditor::Refresh()
{
    if (m_Combo)
        m_Combo->SelectItem(IndexOf(GetValue()), true);
}

// ==== Makers ===============================================================

namespace {

void MakeOwnedObjectRows(CObjectEditor* editor, CObject* object, const CPObjectProperty* property,
                         const CProperty* categoryProperty, const CJString& label)
{
    CObject* owned = property->GetObject(object);
    if (!InlineApplies(property, owned, editor)) {
        editor->AddPropertyEditor(new CPObjectPropertyEditor(property, categoryProperty, editor, object, false),
                                  label.GetString());
        return;
    }
    CJString typeLabel = label;
    typeLabel.Append(" Type");
    editor->AddPropertyEditor(new CPObjectPropertyEditor(property, categoryProperty, editor, object, true),
                              typeLabel.GetString());
    CClassInfo* info = owned->GetClassInfo();
    for (int32_t i = 0; i < info->GetPropertyCount(); ++i) {
        const CProperty* member = info->GetProperty(i);
        if (member->GetEffectiveLevel() == 0)
            continue;
        CJString memberLabel = label;
        if (member->GetNameString().CompareNoCase(label) != 0) {
            memberLabel.Append(" ");
            memberLabel.Append(member->GetNameString());
        }
        CreatePropertyEditors(editor, owned, member, categoryProperty, memberLabel);
    }
}

} // namespace

bool MakeOwnedObjectPropertyRows(CObjectEditor* editor, CObject* object, const CProperty* property,
                                 const CProperty* categoryProperty, const CJString& label)
{
    if (!editor || !object || !property)
        return false;
    if (const auto* owned = dynamic_cast<const CPObjectProperty*>(property)) {
        MakeOwnedObjectRows(editor, object, owned, categoryProperty, label);
        return true;
    }
    if (const auto* classInfo = dynamic_cast<const CPClassInfoProperty*>(property)) {
        editor->AddPropertyEditor(new CPClassInfoPropertyEditor(classInfo, categoryProperty, editor, object),
                                  label.GetString());
        return true;
    }
    return false;
}

bool AddObjectPropertyButtons(CObjectEditor* editor, CObject* object, const CProperty* property)
{
    const auto* owning = dynamic_cast<const CPObjectProperty*>(property);
    if (!editor || !object || !owning)
        return false;
    CObject* owned = owning->GetObject(object);
    if (!InlineApplies(owning, owned, editor))
        return true;
    owned->AddEditorButtons(editor);
    CClassInfo* info = owned->GetClassInfo();
    for (int32_t i = 0; i < info->GetPropertyCount(); ++i) {
        const CProperty* member = info->GetProperty(i);
        if (member->GetEffectiveLevel() != 0)
            AddPropertyEditorButtons(editor, owned, member);
    }
    return true;
}
