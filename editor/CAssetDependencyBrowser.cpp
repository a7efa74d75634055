#include "editor/CAssetDependencyBrowser.h"

#include "editor/CListBrowserWindow.h"
#include "editor/CObjectEditor.h"
#include "foundation/CDirectoryTree.h"
#include "foundation/SettingsFiles.h"
#include "game/world/CGameApp.h"
#include "objects/CFileListList.h"
#include "objects/CListProperty.h"
#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"
#include "shell/GameWindow.h"
#include "ui/CJButton.h"
#include "ui/CJComboBox.h"
#include "ui/CJHeader.h"
#include "ui/CJListBox.h"

#include <cstdio>

namespace {

constexpr size_t kListNameSize = 100;
constexpr int32_t kHeaderWidth = 500;

// Only list item names are read here; anything else is not an item.
const char* ItemName(CVirtualArray& list, int32_t item)
{
    const char* name = list.GetItemName(item);
    return name ? name : "";
}

void AddRow(CDynamicList& rows, const char* listName, const char* entryName, const char* propertyName)
{
    CJString row(listName);
    row += "\t";
    row += EntryFileNamePart(entryName);
    row += "\t";
    row += propertyName;
    row += "\t";
    row += entryName;
    rows.Add(row);
}

} // namespace

CJString EntryFileNamePart(const char* name)
{
    if (!name)
        return CJString();
    const char* part = name;
    for (const char* p = name; *p; ++p)
        if (*p == '/' || *p == '\\')
            part = p + 1;
    return CJString(part);
}

// ---- Backward search ---------------------------------------------------------

void CAssetDependencyFinder::Clear()
{
    m_Rows.RemoveAll();
    m_Hits.RemoveAll();
}

void CAssetDependencyFinder::Find(CVirtualArray* list, uint32_t item)
{
    Clear();
    m_TargetItem = item;
    m_TargetList = list;
    CFileListList& registry = CFileListList::SGetInstance();
    for (int32_t i = 0; i < registry.GetCount(); ++i) {
        RunMessageLoop();
        CObjectFileArray* objects = registry.GetList(i);
        if (!objects)
            continue;
        m_CurrentListIndex = i;
        for (int32_t entry = 0; entry < objects->GetCount(); ++entry) {
            m_CurrentItem = uint32_t(entry);
            if (CObject* object = objects->GetItemObject(entry))
                object->SearchPropertyTree(*this);
        }
    }
    m_CurrentListIndex = -1;
}

void CAssetDependencyFinder::VisitListReference(const CListPropertyABC& property, int32_t index)
{
    if (!m_TargetList || property.GetList() != m_TargetList || index < 0 || uint32_t(index) != m_TargetItem)
        return;
    CFileListList& registry = CFileListList::SGetInstance();
    CVirtualArray* current = registry.GetArray(m_CurrentListIndex);
    if (!current)
        return;
    m_Hits.Append(SDependencyHit{current, m_CurrentItem});
    AddRow(m_Rows, registry.GetItemName(m_CurrentListIndex), ItemName(*current, int32_t(m_CurrentItem)),
           property.GetName());
}

// ---- Forward search ----------------------------------------------------------

void CAssetForwardDependencyFinder::Clear()
{
    m_Rows.RemoveAll();
    m_Hits.RemoveAll();
}

void CAssetForwardDependencyFinder::Find(CObject* object)
{
    Clear();
    if (object)
        object->SearchPropertyTree(*this);
}

void CAssetForwardDependencyFinder::VisitListReference(const CListPropertyABC& property, int32_t index)
{
    CVirtualArray* list = property.GetList();
    CFileListList& registry = CFileListList::SGetInstance();
    const int32_t listIndex = list ? registry.FindIndexOfList(list) : -1;
    // An index the list does not hold names nothing to jump to.
    if (listIndex < 0 || index < 0 || index >= list->GetCount())
        return;
    const char* name = ItemName(*list, index);
    if (index == 0 && name[0] == '!')
        return;
    m_Hits.Append(SDependencyHit{list, uint32_t(index)});
    AddRow(m_Rows, registry.GetItemName(listIndex), name, property.GetName());
}

// ---- Window ------------------------------------------------------------------

CAssetDependencyBrowserWindow::CAssetDependencyBrowserWindow(CJWindow* parent)
    : CJFrameWindow(parent, kTitle)
    , m_Backward(std::make_unique<CAssetDependencyFinder>())
    , m_Forward(std::make_unique<CAssetForwardDependencyFinder>())
{
    AddCloseButton();
    AddTransparencyToggle();
    AddResizeGrip();
    CFileListList& registry = CFileListList::SGetInstance();

    m_ReferencedByHeader = MakeHeader();
    AddChild(m_ReferencedByHeader, EPlace::TopLeft);
    m_ReferencedBy = &Add<CJListBox>({EPlace::Below, m_ReferencedByHeader, 0, 0, kPlacePixels}, &m_Backward->GetRows(),
                                     nullptr, 100, 9);
    m_ReferencedBy->SetWidth(kHeaderWidth);
    m_ReferencedBy->SetHeader(m_ReferencedByHeader);

    m_ListCombo = new CJComboBox(this, &registry, 30);
    m_ListCombo->SetWidth(kHeaderWidth / 2);
    AddChild(m_ListCombo, {EPlace::Below, m_ReferencedBy});
    // Built before its rows exist: its width is set, not taken from them.
    m_Entries = new CJListBox(this, static_cast<CVirtualTree*>(nullptr), nullptr, 100, 7);
    m_Entries->SetWidth(kHeaderWidth);
    AddChild(m_Entries, {EPlace::Below, m_ListCombo});

    m_ReferencesHeader = MakeHeader();
    // Same titles as the first table's: its widths need keys of their own
    // (until saved once, it starts from the shared ones older files hold).
    m_ReferencesHeader->SetWidthKeyPrefix(CJString("References"));
    AddChild(m_ReferencesHeader, {EPlace::Below, m_Entries});
    m_References = &Add<CJListBox>({EPlace::Below, m_ReferencesHeader, 0, 0, kPlacePixels}, &m_Forward->GetRows(),
                                   nullptr, 100, 9);
    m_References->SetWidth(kHeaderWidth);
    m_References->SetHeader(m_ReferencesHeader);

    m_EditButton = &Add<CJButton>(EPlace::BelowPreviousCentred, "Edit");
    ArrangeRow(m_EditButton, m_EditButton, 0, false, false, -999, true);

    LoadWindowSettings(nullptr, true);
    m_ReferencedByHeader->LoadColumnWidths();
    m_ReferencesHeader->LoadColumnWidths();

    char name[kListNameSize] = "";
    std::snprintf(name, sizeof name, "%s", registry.GetItemName(0));
    GetIniString(GetEditorSettingsFileName(), kTitle, "Selected List", name, sizeof name);
    int32_t chosen = registry.Find(name);
    if (!registry.GetArray(chosen))
        chosen = 0;
    if (registry.GetArray(chosen)) {
        m_ListCombo->SelectItem(chosen, true);
        ShowList(chosen);
    }
}

CAssetDependencyBrowserWindow::~CAssetDependencyBrowserWindow()
{
    m_ReferencedByHeader->SaveColumnWidths();
    m_ReferencesHeader->SaveColumnWidths();
    // The lists outlive the tree and the rows they show.
    m_Entries->SetVirtualTree(nullptr, nullptr);
    m_ReferencedBy->SetVirtualArray(nullptr, nullptr, false);
    m_References->SetVirtualArray(nullptr, nullptr, false);
}

CJHeader* CAssetDependencyBrowserWindow::MakeHeader()
{
    auto* header = new CJHeader(this);
    header->SetSize(kHeaderWidth, header->GetHeight());
    header->AddColumn("Type", 120);
    header->AddColumn("Name", 120);
    header->AddColumn("Property", 90);
    header->AddColumn("Path", 190);
    return header;
}

void CAssetDependencyBrowserWindow::ShowList(int32_t registryIndex)
{
    CFileListList& registry = CFileListList::SGetInstance();
    CVirtualArray* list = registry.GetArray(registryIndex);
    if (!list)
        return;
    m_List = list;
    // A settings file that cannot be written costs only the preference.
    (void)SetIniString(GetEditorSettingsFileName(), kTitle, "Selected List", registry.GetItemName(registryIndex));
    auto tree = std::make_unique<CDirectoryTree>(*list);
    m_Entries->SetVirtualTree(tree.get(), nullptr);
    m_Tree = std::move(tree);
    m_Entries->SelectItem(-1, true);
    OnEntrySelected();
}

int32_t CAssetDependencyBrowserWindow::GetSelectedEntry() const
{
    return GetSelectedListEntry(*m_Entries, m_List, m_Tree.get());
}

void CAssetDependencyBrowserWindow::OnEntrySelected()
{
    const int32_t item = GetSelectedEntry();
    if (item < 0) {
        m_Backward->Clear();
        m_Forward->Clear();
    } else {
        m_Backward->Find(m_List, uint32_t(item));
        auto* objects = m_List->IsObjectFileList() ? dynamic_cast<CObjectFileArray*>(m_List) : nullptr;
        if (objects)
            m_Forward->Find(objects->GetItemObject(item));
        else
            m_Forward->Clear();
    }
    RefreshTables();
}

void CAssetDependencyBrowserWindow::RefreshTables()
{
    m_ReferencedBy->SetVirtualArray(&m_Backward->GetRows(), nullptr, false);
    m_ReferencedBy->SelectItem(-1, true);
    m_References->SetVirtualArray(&m_Forward->GetRows(), nullptr, false);
    m_References->SelectItem(-1, true);
}

void CAssetDependencyBrowserWindow::SelectListItem(CVirtualArray* list, int32_t item)
{
    CFileListList& registry = CFileListList::SGetInstance();
    const int32_t index = registry.FindIndexOfList(list);
    if (index < 0)
        return;
    m_ListCombo->SelectItem(index, true);
    // Afresh each time: the list may have grown since it was shown.
    ShowList(index);
    m_Entries->SelectItem(item >= 0 && item < list->GetCount() ? item : -1, true);
    OnEntrySelected();
}

void CAssetDependencyBrowserWindow::JumpToHit(bool backward, uint32_t n)
{
    const CArrayPOD<SDependencyHit>& hits = backward ? m_Backward->GetHits() : m_Forward->GetHits();
    if (n >= hits.GetCount())
        return;
    // The searches the jump runs empty the hits.
    const SDependencyHit hit = hits[n];
    SelectListItem(hit.list, int32_t(hit.item));
}

void CAssetDependencyBrowserWindow::EditSelected()
{
    const int32_t item = GetSelectedEntry();
    auto* objects = item >= 0 && m_List->IsObjectFileList() ? dynamic_cast<CObjectFileArray*>(m_List) : nullptr;
    if (!objects)
        return;
    if (CObject* object = objects->GetItemObject(item))
        OpenObjectEditor(object, object);
}

void CAssetDependencyBrowserWindow::Update(float seconds)
{
    if (m_PendingJumpTable >= 0) {
        const bool backward = m_PendingJumpTable == 0;
        m_PendingJumpTable = -1;
        JumpToHit(backward, m_PendingJumpHit);
    }
    CJFrameWindow::Update(seconds);
}

void CAssetDependencyBrowserWindow::OnNotify(CJWindow* sender, int32_t code)
{
    if (!sender) {
        CJFrameWindow::OnNotify(sender, code);
    } else if (sender == m_ListCombo && code == kNotifyClicked) {
        ShowList(m_ListCombo->GetSelectedItem());
    } else if (sender == m_Entries && code == kNotifyChanged) {
        OnEntrySelected();
    } else if ((sender == m_ReferencedBy || sender == m_References) && code == kNotifyChanged) {
        const int32_t hit = static_cast<CJListBox*>(sender)->GetSelectedItem();
        if (hit >= 0) {
            m_PendingJumpTable = sender == m_ReferencedBy ? 0 : 1;
            m_PendingJumpHit = uint32_t(hit);
        }
    } else if (sender == m_EditButton && code == kNotifyClicked) {
        EditSelected();
    } else {
        CJFrameWindow::OnNotify(sender, code);
    }
}

CAssetDependencyBrowserWindow* OpenAssetDependencyBrowser(CJWindow* parent, CVirtualArray* list, int32_t item)
{
    if (!parent)
        return nullptr;
    auto& window = parent->AddFirst<CAssetDependencyBrowserWindow>(EPlace::AsIs);
    if (list)
        window.SelectListItem(list, item);
    return &window;
}

CJWindow* MakeAssetDependencyBrowserForEditor(CObjectEditor* editor, CVirtualArray* list, int32_t item)
{
    auto* window = new CAssetDependencyBrowserWindow(editor);
    window->SelectListItem(list, item);
    return window;
}
