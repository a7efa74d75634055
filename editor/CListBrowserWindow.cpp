#include "editor/CListBrowserWindow.h"

#include "editor/CObjectEditor.h"
#include "foundation/CCommand.h"
#include "foundation/CDirectoryTree.h"
#include "foundation/SettingsFiles.h"
#include "game/world/CGameApp.h"
#include "objects/CFileListList.h"
#include "objects/CNewFileOptions.h"
#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"
#include "ui/CJButton.h"
#include "ui/CJComboBox.h"
#include "ui/CJListBox.h"

#include <cstdio>

namespace {

constexpr size_t kListNameSize = 100;
constexpr int32_t kListWidth = 300;

CObjectFileArray* AsObjectList(CVirtualArray* list)
{
    return list && list->IsObjectFileList() ? dynamic_cast<CObjectFileArray*>(list) : nullptr;
}

// The folders of an entry's name: all before its last "/" or "\".
CJString EntryFolder(const char* name)
{
    int32_t end = 0;
    for (int32_t i = 0; name && name[i]; ++i)
        if (name[i] == '/' || name[i] == '\\')
            end = i;
    return name ? CJString(name).Left(end) : CJString();
}

} // namespace

CListBrowserWindow::CListBrowserWindow(CJWindow* parent)
    : CJFrameWindow(parent, kTitle)
{
    AddCloseButton();
    AddTransparencyToggle();
    AddResizeGrip();
    CFileListList& registry = CFileListList::SGetInstance();

    m_ListCombo = new CJComboBox(this, &registry, 30);
    m_ListCombo->SetWidth(kListWidth);
    AddChild(m_ListCombo, EPlace::TopLeft);
    // Built before its rows exist: its width is set, not taken from them.
    m_Entries = new CJListBox(this, static_cast<CVirtualTree*>(nullptr), nullptr, 40, 15);
    m_Entries->SetWidth(kListWidth);
    AddChild(m_Entries, EPlace::BelowPrevious);
    m_EditButton = &Add<CJButton>(EPlace::BelowPreviousCentred, "Edit");
    m_NewButton = &Add<CJButton>(EPlace::RightOfPrevious, "New");
    m_DuplicateButton = &Add<CJButton>(EPlace::RightOfPrevious, "Duplicate");
    ArrangeRow(m_EditButton, m_DuplicateButton, 0, false, false, -999, true);

    char name[kListNameSize] = "";
    std::snprintf(name, sizeof name, "%s", registry.GetItemName(0));
    GetIniString(GetEditorSettingsFileName(), kTitle, "Selected List", name, sizeof name);
    int32_t chosen = registry.Find(name);
    if (!registry.GetArray(chosen))
        chosen = 0;
    ShowList(chosen);
    m_Entries->SetFocus(true);
    LoadWindowSettings(nullptr, true);
}

CListBrowserWindow::~CListBrowserWindow()
{
    // The entry list outlives the tree it shows.
    m_Entries->SetVirtualTree(nullptr, nullptr);
}

void CListBrowserWindow::ShowList(int32_t registryIndex)
{
    CFileListList& registry = CFileListList::SGetInstance();
    CVirtualArray* list = registry.GetArray(registryIndex);
    if (!list) {
        UpdateButtons();
        return;
    }
    m_List = list;
    m_ListCombo->SelectItem(registryIndex, true);
    // A settings file that cannot be written costs only the preference.
    (void)SetIniString(GetEditorSettingsFileName(), kTitle, "Selected List", registry.GetItemName(registryIndex));
    RefillEntries();
    m_NewFileOptions.reset(list->GetNewFileOptions());
    UpdateButtons();
}

void CListBrowserWindow::RefillEntries()
{
    if (!m_List)
        return;
    auto tree = std::make_unique<CDirectoryTree>(*m_List);
    m_Entries->SetVirtualTree(tree.get(), nullptr);
    m_Tree = std::move(tree);
    m_Entries->SelectItem(-1, true);
}

void CListBrowserWindow::UpdateButtons()
{
    // The sound list is an object list without objects of a class to edit.
    CObjectFileArray* objects = AsObjectList(m_List);
    m_EditButton->Enable(objects && objects->GetItemClassInfo());
    m_NewButton->Enable(m_NewFileOptions != nullptr);
    m_DuplicateButton->Enable(m_NewFileOptions != nullptr);
}

void CListBrowserWindow::SelectEntry(int32_t item)
{
    m_Entries->SelectItem(item, true);
}

int32_t GetSelectedListEntry(const CJListBox& entries, CVirtualArray* list, const CDirectoryTree* tree)
{
    const int32_t item = entries.GetSelectedItem();
    if (!list || !tree || item < 0 || tree->IsFolder(item) || item >= list->GetCount())
        return -1;
    return item;
}

int32_t CListBrowserWindow::GetSelectedEntry() const
{
    return GetSelectedListEntry(*m_Entries, m_List, m_Tree.get());
}

void CListBrowserWindow::EditSelected()
{
    CObjectFileArray* objects = AsObjectList(m_List);
    const int32_t item = GetSelectedEntry();
    if (!objects || item < 0)
        return;
    if (CObject* object = objects->GetItemObject(item))
        OpenObjectEditor(object, object);
}

bool CListBrowserWindow::RenewOptions()
{
    if (!m_List)
        return false;
    m_NewFileOptions.reset(m_List->GetNewFileOptions());
    UpdateButtons();
    return m_NewFileOptions != nullptr;
}

void CListBrowserWindow::NewEntry()
{
    if (!RenewOptions())
        return;
    OpenDialog();
}

void CListBrowserWindow::DuplicateSelected()
{
    const int32_t item = GetSelectedEntry();
    if (item < 0 || !RenewOptions())
        return;
    m_NewFileOptions->m_Location = EntryFolder(m_List->GetItemName(item));
    if (CObjectFileArray* objects = AsObjectList(m_List))
        if (CObject* object = objects->GetItemObject(item)) {
            m_NewFileOptions->SetTemplateObject(object->Clone());
            m_NewFileOptions->m_TemplateItem = m_List->GetItemNameString(item);
        }
    OpenDialog();
}

void CListBrowserWindow::OpenDialog()
{
    CNewFileOptions& options = *m_NewFileOptions;
    options.m_Title.Set("Create new ");
    options.m_Title.Append(CFileListList::SGetInstance().GetItemName(
        CFileListList::SGetInstance().FindIndexOfList(m_List)));
    options.SetCreatedCommand(new CObjectFunctionCommand<CListBrowserWindow>(this, &CListBrowserWindow::OnCreated));
    if (CJWindow* dialog = options.CreateDialog(this))
        AddModalSibling(dialog, EPlace::Centred);
}

void CListBrowserWindow::OnCreated()
{
    if (!m_List || !m_NewFileOptions)
        return;
    const int32_t index = m_List->AddItemFromNewFileOptions(*m_NewFileOptions);
    if (index < 0) {
        // The dialog has closed as if all went well; say that it did not.
        CJString text("Could not create ");
        text.Append(m_NewFileOptions->m_RelativePath);
        ShowMessageBox(CJString("Error"), text);
        return;
    }
    RefillEntries();
    SelectEntry(index);
}

void CListBrowserWindow::OnNotify(CJWindow* sender, int32_t code)
{
    if (!sender) {
        CJFrameWindow::OnNotify(sender, code);
    } else if (sender == m_ListCombo && code == kNotifyClicked) {
        ShowList(m_ListCombo->GetSelectedItem());
    } else if (sender == m_ListCombo && code == kNotifyChanged && !m_ListCombo->IsOpen()) {
        // The wheel steps the closed chooser: the entries follow its text.
        const int32_t chosen = m_ListCombo->GetSelectedItem();
        if (CFileListList::SGetInstance().GetArray(chosen) != m_List)
            ShowList(chosen);
    } else if (sender == m_EditButton && code == kNotifyClicked) {
        EditSelected();
    } else if (sender == m_NewButton && code == kNotifyClicked) {
        NewEntry();
    } else if (sender == m_DuplicateButton && code == kNotifyClicked) {
        DuplicateSelected();
    } else {
        CJFrameWindow::OnNotify(sender, code);
    }
}

CListBrowserWindow* OpenListBrowser(CJWindow* parent)
{
    if (!parent)
        return nullptr;
    return &parent->AddFirst<CListBrowserWindow>(EPlace::AsIs);
}
