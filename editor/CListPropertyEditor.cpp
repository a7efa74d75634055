#include "editor/CListPropertyEditor.h"

#include "editor/CEditorCheckpointHistory.h"
#include "editor/CImageBrowserFrameWindow.h"
#include "editor/CObjectEditor.h"
#include "foundation/CCommand.h"
#include "foundation/CVirtualArray.h"
#include "foundation/CVirtualTree.h"
#include "objects/CFileListList.h"
#include "objects/CListProperty.h"
#include "objects/CNewFileOptions.h"
#include "objects/CObject.h"
#include "objects/CObjectModelHost.h"
#include "ui/CJButton.h"
#include "ui/CJComboBox.h"
#include "ui/CJListBox.h"

#include <cstring>

namespace {

constexpr int32_t kComboWidthUnits = 75;

bool IsOptionSet(const char* name)
{
    return CObjectModelHost::SGetInstance().IsNamedOptionSet(name);
}

// The property's choice filter as the combo box's row filter; folders of a
// tree always show.
class CChoiceRowFilter : public CListBoxFilter {
public:
    CChoiceRowFilter(CListChoiceFilter& filter, CVirtualArray& list)
        : m_Filter(filter)
        , m_List(list)
    {
    }
    bool IsItemShown(CVirtualTree*, int32_t item) override
    {
        if (item < 0 || item >= m_List.GetCount())
            return true;
        return m_Filter.IsChoiceAllowed(m_List, item);
    }

private:
    CListChoiceFilter& m_Filter;
    CVirtualArray& m_List;
};

using RowToken = std::shared_ptr<CListPropertyEditor*>;

class CBrowserSelectCommand : public CCommand {
public:
    explicit CBrowserSelectCommand(RowToken token)
        : m_Token(std::move(token))
    {
    }
    void Execute() override
    {
        CListPropertyEditor* row = *m_Token;
        if (row && row->GetOpenBrowser())
            row->SelectFromBrowser(row->GetOpenBrowser()->GetSelectedValue());
    }

private:
    RowToken m_Token;
};

class CFileCreatedCommand : public CCommand {
public:
    CFileCreatedCommand(RowToken token, CNewFileOptions& options)
        : m_Token(std::move(token))
        , m_Options(options)
    {
    }
    void Execute() override
    {
        if (CListPropertyEditor* row = *m_Token)
            row->OnFileCreated(m_Options);
    }

private:
    RowToken m_Token;
    CNewFileOptions& m_Options; // owns this command
};

// A hidden child of the new-file dialog that owns the dialog's record, so
// the record lives exactly as long as the dialog, whoever closes it.
class COptionsKeeper : public CJWindow {
public:
    static void Attach(CJWindow* dialog, std::unique_ptr<CNewFileOptions> options)
    {
        auto* keeper = new COptionsKeeper(dialog, std::move(options));
        dialog->AddChild(keeper, {.dx = 0, .dy = 0, .flags = kPlaceNoGrow | kPlacePixels});
    }

private:
    COptionsKeeper(CJWindow* dialog, std::unique_ptr<CNewFileOptions> options)
        : CJWindow(dialog)
        , m_Options(std::move(options))
    {
        Show(false, false);
        SetTabStop(false);
        SetRect(CRect{0, 0, 0, 0});
    }

    std::unique_ptr<CNewFileOptions> m_Options;
};

// The part of an item name before its last "/"; empty without one.
CJString FolderPart(const char* name)
{
    const char* slash = name ? std::strrchr(name, '/') : nullptr;
    if (!slash)
        return CJString();
    CJString folder(name);
    return folder.Left(int32_t(slash - name));
}

} // namespace

CListPropertyEditor::CListPropertyEditor(const CListPropertyABC* property, const CProperty* categoryProperty,
                                         CObjectEditor* editor, CObject* object)
    : CPropertyEditor(property, categoryProperty, editor, object)
    , m_ListProperty(property)
    , m_RebuildOnChange(property->GetEditorOption() != 0)
    , m_ShowEditButton(property->GetEditorFlag(0))
    , m_ShowCreateButtons(property->GetEditorFlag(1))
    , m_Token(std::make_shared<CListPropertyEditor*>(this))
{
}

CListPropertyEditor::~CListPropertyEditor()
{
    *m_Token = nullptr;
}

CVirtualArray* CListPropertyEditor::GetList() const
{
    return m_ListProperty->GetList();
}

int32_t CListPropertyEditor::GetValue() const
{
    return m_ListProperty->Value(m_Object);
}

CJButton* CListPropertyEditor::AddButton(const char* title, bool enabled)
{
    CPropertyPane* pane = GetCategoryWindow();
    auto& button = pane->Add<CJButton>(EPlace::RightOfPrevious, title);
    button.Enable(enabled);
    return &button;
}

bool CListPropertyEditor::CanBrowse()
{
    CVirtualArray* list = GetList();
    if (!list || m_ListProperty->GetComboFlags() != 0 || !list->GetItemTree())
        return false;
    CFileListList& registry = CFileListList::SGetInstance();
    return registry.GetItemFactory(registry.FindIndexOfList(list)) != nullptr;
}

void CListPropertyEditor::CreateControls(bool enabled)
{
    CPropertyPane* pane = GetCategoryWindow();
    CVirtualArray* list = GetList();
    if (!pane || !list)
        return;

    if (CListChoiceFilter* choices = m_ListProperty->GetChoiceFilter())
        m_Filter = std::make_unique<CChoiceRowFilter>(*choices, *list);
    if (CVirtualTree* tree = list->GetItemTree())
        m_Combo = &pane->Add<CJComboBox>(EPlace::RightOfPrevious, tree, kComboWidthUnits, m_Filter.get());
    else
        m_Combo = &pane->Add<CJComboBox>(EPlace::RightOfPrevious, list, kComboWidthUnits, m_Filter.get());
    if (m_ListProperty->GetComboWidth() != -1)
        m_Combo->SetSize(m_ListProperty->GetComboWidth(), m_Combo->GetHeight());
    m_Combo->SelectItem(GetValue(), true);
    m_Combo->Enable(enabled);
    if (m_RebuildOnChange)
        m_Combo->SetEnterNotifies(true);

    if (list->AreItemsObjects() && m_ShowEditButton && IsOptionSet("Edit Asset"))
        m_EditButton = AddButton("Edit", true);
    if (list->HasExtraButton())
        m_ExtraButton = AddButton(list->GetExtraButtonTitle().GetString(), true);
    if (CanBrowse())
        m_BrowseButton = AddButton("Browse", enabled);

    const bool createAllowed = IsOptionSet("Create New Asset");
    m_NewFileOptions.reset(list->GetNewFileOptions());
    if (m_NewFileOptions && m_ShowCreateButtons && createAllowed) {
        m_NewButton = AddButton("New", enabled);
        m_DuplicateButton = AddButton("Duplicate", enabled);
    }
    bool canCreateNow = false;
    if (list->CanCreateItem(canCreateNow) && createAllowed)
        m_CreateButton = AddButton("New", enabled && canCreateNow);
}

void CListPropertyEditor::Enable(bool enabled)
{
    if (m_Combo)
        m_Combo->Enable(enabled);
    if (m_BrowseButton)
        m_BrowseButton->Enable(enabled);
}

void CListPropertyEditor::Refresh()
{
    if (m_Combo)
        m_Combo->SelectItem(GetValue(), true);
}

void CListPropertyEditor::Store(int32_t index)
{
    m_ListProperty->Store(m_Object, index);
    NotifyObjectOfEdit();
}

void CListPropertyEditor::Choose(int32_t index)
{
    CVirtualArray* list = GetList();
    if (!list || index < 0 || index >= list->GetCount() || index == GetValue())
        return;
    CEditorCheckpoint checkpoint("ListPropertyCheckpoint", m_ListProperty->GetNameString());
    Store(index);
    list->OnItemChosen(index);
    if (m_RebuildOnChange)
        RefreshObjectEditor();
}

bool CListPropertyEditor::ApplyEdit(CJWindow* control, int32_t notification)
{
    if (!control)
        return false;
    CVirtualArray* list = GetList();
    if (control == m_Combo) {
        if (notification == kNotifyChanged) {
            Choose(m_Combo->GetListBox() ? m_Combo->GetListBox()->GetSelectedItem() : -1);
            return true;
        }
        if (notification == kNotifyClicked) {
            if (m_RebuildOnChange)
                RefreshObjectEditor();
            return true;
        }
        return false;
    }
    if (notification != kNotifyClicked || !list)
        return false;
    if (control == m_EditButton) {
        // The item is its own owner, so closing its editor saves its file.
        const int32_t value = GetValue();
        CObject* item = value >= 0 && value < list->GetCount() ? list->GetItemObject(value) : nullptr;
        if (item)
            OpenObjectEditor(item, item);
        return true;
    }
    if (control == m_BrowseButton) {
        OpenBrowser();
        return true;
    }
    if (control == m_ExtraButton) {
        list->OnExtraButton(GetValue());
        return true;
    }
    if (control == m_NewButton || control == m_DuplicateButton) {
        OpenNewFileDialog(control == m_DuplicateButton);
        return true;
    }
    if (control == m_CreateButton) {
        const int32_t index = list->CreateItem(0);
        if (index >= 0) {
            Store(index);
            OpenCreatedItem(index);
        }
        return true;
    }
    return false;
}

void CListPropertyEditor::OpenBrowser()
{
    CPropertyPane* pane = GetCategoryWindow();
    if (!pane || !CanBrowse())
        return;
    CVirtualArray* list = GetList();
    CFileListList& registry = CFileListList::SGetInstance();
    CJString title;
    title.Format("%s Browser", registry.GetItemName(registry.FindIndexOfList(list)));
    auto* browser = new CImageBrowserFrameWindow(pane, title.GetString(), CImageBrowserFrameWindow::kModeOneList,
                                                 "Select", new CBrowserSelectCommand(m_Token), list);
    browser->SelectValue(GetValue());
    browser->SetModal(true);
    pane->GetRootWindow()->AddChildFirst(browser);
    m_Browser = browser;
}

void CListPropertyEditor::SelectFromBrowser(int32_t item)
{
    // Forgotten first: the choice may rebuild the editor, and this row with it.
    m_Browser = nullptr;
    if (m_Combo && item >= 0)
        m_Combo->SelectItem(item, false);
}

void CListPropertyEditor::OpenNewFileDialog(bool duplicate)
{
    CPropertyPane* pane = GetCategoryWindow();
    CVirtualArray* list = GetList();
    if (!pane || !list || !m_NewFileOptions)
        return;
    std::unique_ptr<CNewFileOptions> options = std::move(m_NewFileOptions);
    // The next press gets a record of its own.
    m_NewFileOptions.reset(list->GetNewFileOptions());

    // A value outside the list (-1: none) has no folder and nothing to copy;
    // object lists would hand out their first entry for it.
    const int32_t value = GetValue();
    const bool inList = value >= 0 && value < list->GetCount();
    CJString folder;
    // An object list's second text is its load error, never a folder.
    CVirtualArray* shown = m_Combo ? m_Combo->GetList() : nullptr;
    if (inList && shown && !shown->IsObjectFileList())
        folder = shown->GetSecondText(value);
    if (inList && folder.IsEmpty())
        folder = FolderPart(list->GetItemName(value));
    options->m_Location = folder;

    CObject* source = duplicate && inList ? list->GetItemObject(value) : nullptr;
    options->SetTemplateObject(source ? source->Clone() : nullptr);
    if (source)
        options->m_TemplateItem = list->GetItemNameString(value);
    options->m_Title.Set("Create new ");
    options->m_Title.Append(options->m_ClassName);
    options->SetCreatedCommand(new CFileCreatedCommand(m_Token, *options));

    CJWindow* dialog = options->CreateDialog(pane);
    if (!dialog)
        return;
    COptionsKeeper::Attach(dialog, std::move(options));
    dialog->SetModal(true);
    pane->GetRootWindow()->AddChildFirst(dialog, EPlace::Centred);
}

void CListPropertyEditor::OnFileCreated(CNewFileOptions& options)
{
    CVirtualArray* list = GetList();
    if (!list)
        return;
    const int32_t index = list->AddItemFromNewFileOptions(options);
    if (index < 0)
        return;
    if (m_Combo && m_Combo->GetListBox()) {
        CJListBox* rows = m_Combo->GetListBox();
        if (CVirtualTree* tree = list->GetItemTree())
            rows->SetVirtualTree(tree, m_Filter.get());
        else
            rows->Refresh();
        m_Combo->SelectItem(index, true);
    }
    Store(index);
    if (list->AreItemsObjects())
        OpenCreatedItem(index);
}

void CListPropertyEditor::OpenCreatedItem(int32_t index)
{
    CVirtualArray* list = GetList();
    if (CObject* item = list ? list->GetItemObject(index) : nullptr)
        OpenObjectEditor(item, list->GetItemOwnerObject(index));
}

bool MakeListPropertyEditors(CObjectEditor* editor, CObject* object, const CProperty* property,
                             const CProperty* categoryProperty, const CJString& label)
{
    const auto* listProperty = dynamic_cast<const CListPropertyABC*>(property);
    if (!listProperty || !editor)
        return false;
    auto* row = new CListPropertyEditor(listProperty, categoryProperty, editor, object);
    editor->AddPropertyEditor(row, label.IsEmpty() ? "" : label.GetString());
    return true;
}
