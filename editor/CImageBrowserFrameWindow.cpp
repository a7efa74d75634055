#include "editor/CImageBrowserFrameWindow.h"

#include "editor/CObjectEditor.h"
#include "editor/CPrunedTree.h"
#include "editor/CSplitBarVertical.h"
#include "foundation/CCommand.h"
#include "foundation/CDirectoryTree.h"
#include "foundation/SettingsFiles.h"
#include "game/world/CGameApp.h"
#include "objects/CFileListList.h"
#include "objects/CObjectFileArray.h"
#include "ui/CJButton.h"
#include "ui/CJCheckBox.h"
#include "ui/CJComboBox.h"
#include "ui/CJResize.h"
#include "ui/CJListBox.h"
#include "ui/CJStatic.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr uint32_t kKeyBackspace = 8;
constexpr size_t kListNameSize = 101;
constexpr int32_t kSplitBarMargin = 20;
constexpr int32_t kPopupButtonWidth = 8;
const char16_t kTreePopsUpTitle[] = {0x25BC, 0};
const char16_t kTreeShownTitle[] = {0x25C4, 0};

} // namespace

CImageBrowserFrameWindow::CImageBrowserFrameWindow(CJWindow* parent, const char* title, int32_t mode,
                                                   const char* selectTitle, CCommand* selectCommand,
                                                   CVirtualArray* list)
    : CJFrameWindow(parent, title)
    , m_Mode(mode)
    , m_SelectCommand(selectCommand)
{
    AddCloseButton();
    AddTransparencyToggle();
    AddResizeGrip();
    CFileListList& registry = CFileListList::SGetInstance();
    if (!list)
        list = registry.GetArray(0);
    if (m_Mode == kModeAllLists) {
        m_Chooser = &Add<CJComboBox>(kAsIsNoGrow, &registry, 20);
        char name[kListNameSize] = "";
        if (list)
            std::snprintf(name, sizeof name, "%s", registry.GetItemName(registry.FindIndexOfList(list)));
        GetIniString(GetEditorSettingsFileName(), title, "Selected List", name, sizeof name);
        // A name the registry does not hold leaves the given list.
        const int32_t chosen = registry.Find(name);
        if (CVirtualArray* stored = registry.GetArray(chosen))
            list = stored;
        if (list)
            m_Chooser->SelectItem(registry.FindIndexOfList(list), true);
    }
    m_FolderList = &Add<CJListBox>(kAsIsNoGrow, static_cast<CVirtualTree*>(nullptr), nullptr, 20, 10);
    m_AutoLoad = &Add<CJCheckBox>(kAsIsNoGrow, "Auto Load");
    m_LoadNow = &Add<CJButton>(kAsIsNoGrow, "Load Now");
    // The button sits on the bar's top end, so it goes in front of it.
    m_PopupButton = &Add<CJButton>(kAsIsNoGrow, "<");
    m_SplitBar = &Add<CSplitBarVertical>(kAsIsNoGrow);
    m_Grid = &Add<CImageBrowser>(kAsIsNoGrow);
    m_Grid->SetDropSource(this);
    m_Grid->SetItemCreatedHandler([this](int32_t item) { OnItemCreated(item); });
    if (selectTitle) {
        m_Status = &Add<CJStatic>(kAsIsNoGrow, "");
        m_SelectButton = &Add<CJButton>(kAsIsNoGrow, selectTitle);
        m_SelectButton->Enable(false);
    }
    m_SplitBarPos = GetIniInt(GetEditorSettingsFileName(), title, "Split Bar Pos", kDefaultSplitBarPos);
    m_PopupTree = ReadBool("Popup Tree", false);
    const bool autoLoad = ReadBool("Auto Load", true);
    m_AutoLoad->SetChecked(autoLoad ? 1 : 0);
    m_Grid->SetAutoLoad(autoLoad);
    SetRect(CRect{20, 20, 620, 420});
    if (list)
        BrowseList(list);
    BringChildToFront(m_Grid);
}

CImageBrowserFrameWindow::~CImageBrowserFrameWindow()
{
    // The folder list outlives the pruned tree it shows.
    m_FolderList->SetVirtualTree(nullptr, nullptr);
}

bool CImageBrowserFrameWindow::ReadBool(const char* key, bool defaultValue) const
{
    return GetIniBool(GetEditorSettingsFileName(), GetTitle().GetString(), key, defaultValue);
}

void CImageBrowserFrameWindow::WriteBool(const char* key, bool value) const
{
    // A settings file that cannot be written costs only the preference.
    (void)SetIniBool(GetEditorSettingsFileName(), GetTitle().GetString(), key, value);
}

void CImageBrowserFrameWindow::Update(float seconds)
{
    CJFrameWindow::Update(seconds);
    if (m_LoadNow)
        m_LoadNow->Enable(m_Grid->HasPlaceholders());
}

void CImageBrowserFrameWindow::BrowseList(CVirtualArray* list)
{
    m_List = list;
    CFileListList& registry = CFileListList::SGetInstance();
    const ImageBrowserItemFactory factory = registry.GetItemFactory(registry.FindIndexOfList(list));
    auto tree = std::make_unique<CDirectoryTree>(*list);
    SetTree(tree.get(), factory);
    m_ListTree = std::move(tree);
}

void CImageBrowserFrameWindow::SetTree(CVirtualTree* tree, ImageBrowserItemFactory factory)
{
    m_Tree = tree;
    m_Grid->SetTree(tree, factory);
    auto pruned = tree ? std::make_unique<CPrunedTree>(*tree) : nullptr;
    m_FolderList->SetVirtualTree(pruned.get(), nullptr);
    m_Pruned = std::move(pruned);
    if (!tree)
        return;
    OpenFolder(tree->GetRoot());
}

void CImageBrowserFrameWindow::OpenFolder(int32_t node)
{
    // The list shows the root's folders as its top rows; the root itself
    // may have no row, so the node shown is kept here.
    m_Folder = node;
    m_FolderList->SelectItem(node, true);
    if (m_Tree && node >= 0)
        m_Grid->ShowFolderForHeldKeys(node);
    OnGridSelectionChanged();
}

void CImageBrowserFrameWindow::OnItemCreated(int32_t item)
{
    // The folder tree is made again from the list, so the new entry and any
    // new folder show; then it is picked as SelectValue picks.
    if (m_ListTree && m_List)
        BrowseList(m_List);
    else if (m_Tree)
        SetTree(m_Tree, m_Grid->GetFactory());
    SelectValue(item);
}

void CImageBrowserFrameWindow::TogglePopupTree()
{
    m_PopupTree = !m_PopupTree;
    WriteBool("Popup Tree", m_PopupTree);
    m_PopupButton->SetTitle(CJString(m_PopupTree ? kTreePopsUpTitle : kTreeShownTitle));
    LayOutChildren();
}

void CImageBrowserFrameWindow::SelectValue(int32_t item)
{
    if (!m_Tree || !m_List || item < 0 || item >= m_List->GetCount())
        return;
    OpenFolder(m_Tree->GetParent(item));
    for (int32_t i = 0; i < m_Grid->GetCellCount(); ++i)
        if (!m_Grid->GetCell(i).folder && m_Grid->GetCell(i).node == item) {
            m_Grid->Select(i);
            return;
        }
    m_Grid->Select(-1);
}

int32_t CImageBrowserFrameWindow::GetSelectedValue() const
{
    return m_Grid->GetSelectedItem();
}

void CImageBrowserFrameWindow::OnGridSelectionChanged()
{
    const int32_t item = m_Grid->GetSelectedItem();
    if (m_SelectButton)
        m_SelectButton->Enable(item >= 0);
    if (m_Status)
        m_Status->SetTitle(item >= 0 && m_Tree ? m_Tree->GetName(item) : CJString(""));
}

void CImageBrowserFrameWindow::Activate()
{
    const int32_t selected = m_Grid->GetSelected();
    if (selected < 0)
        return;
    const SImageBrowserCell& cell = m_Grid->GetCell(selected);
    if (cell.folder) {
        OpenFolder(cell.node);
        return;
    }
    if (m_SelectCommand) {
        m_SelectCommand->Execute();
        Close();
        return;
    }
    auto* objects = dynamic_cast<CObjectFileArray*>(m_List);
    if (objects)
        if (CObject* object = objects->GetItemObject(cell.node))
            OpenObjectEditor(object, object);
}

void CImageBrowserFrameWindow::OnNotify(CJWindow* sender, int32_t code)
{
    if (sender == m_FolderList && code == kNotifyChanged) {
        if (m_FolderList->GetSelectedItem() >= 0)
            OpenFolder(m_FolderList->GetSelectedItem());
    } else if (sender == m_Grid && code == kNotifyChanged) {
        OnGridSelectionChanged();
    } else if ((sender == m_Grid || (sender && sender == m_SelectButton)) && code == kNotifyClicked) {
        Activate();
    } else if (sender && sender == m_Chooser && code == kNotifyClicked) {
        CFileListList& registry = CFileListList::SGetInstance();
        const int32_t chosen = m_Chooser->GetSelectedItem();
        if (CVirtualArray* list = registry.GetArray(chosen)) {
            BrowseList(list);
            (void)SetIniString(GetEditorSettingsFileName(), GetTitle().GetString(), "Selected List",
                               registry.GetItemName(chosen));
        }
    } else if (sender && sender == m_AutoLoad && code == kNotifyClicked) {
        const bool on = m_AutoLoad->IsChecked() != 0;
        WriteBool("Auto Load", on);
        m_Grid->SetAutoLoad(on);
    } else if (sender && sender == m_LoadNow && code == kNotifyClicked) {
        m_Grid->LoadAll();
    } else if (sender && sender == m_SplitBar && code == kNotifyChanged) {
        m_SplitBarPos = m_SplitBar->GetRect().left;
        (void)SetIniInt(GetEditorSettingsFileName(), GetTitle().GetString(), "Split Bar Pos", m_SplitBarPos);
        LayOutChildren();
    } else if (sender && sender == m_PopupButton && code == kNotifyClicked) {
        TogglePopupTree();
    } else {
        CJFrameWindow::OnNotify(sender, code);
    }
}

bool CImageBrowserFrameWindow::OnKeyDown(uint32_t key)
{
    if (key == kKeyEscape) {
        Close();
        return true;
    }
    if (key == kKeyBackspace && m_Tree) {
        if (m_Folder >= 0 && m_Folder != m_Tree->GetRoot()) {
            OpenFolder(m_Tree->GetParent(m_Folder));
            return true;
        }
    }
    return CJFrameWindow::OnKeyDown(key);
}

void CImageBrowserFrameWindow::SetRect(const CRect& rect)
{
    CJFrameWindow::SetRect(rect);
    LayOutChildren();
}

void CImageBrowserFrameWindow::LayOutChildren()
{
    if (!m_Grid)
        return;
    // Children sit in the window's own coordinates: the title row is the
    // top inset, the resize grip keeps the bottom row.
    const int32_t top = GetClientTopInset();
    const int32_t width = GetWidth();
    const int32_t bottom = GetHeight() - (GetResizeGrip() ? GetResizeGrip()->GetHeight() : 0);
    const int32_t height = std::max(top, bottom);
    const int32_t statusHeight = m_Status ? m_SelectButton->GetHeight() : 0;
    // In the title row, right-aligned before the frame's own buttons.
    int32_t right = width;
    for (CJWindow* own : {static_cast<CJWindow*>(GetCloseButton()), static_cast<CJWindow*>(GetTransparencyToggle())})
        if (own)
            right = std::min(right, own->GetRect().left - 4);
    const int32_t loadWidth = m_LoadNow->GetWidth();
    const int32_t autoWidth = m_AutoLoad->GetWidth();
    m_LoadNow->SetRect(CRect{right - loadWidth, 0, right, std::min(top, m_LoadNow->GetHeight())});
    m_AutoLoad->SetRect(
        CRect{right - loadWidth - autoWidth - 4, 0, right - loadWidth - 4, std::min(top, m_AutoLoad->GetHeight())});

    int32_t gridLeft = 0;
    int32_t gridTop = top;
    if (m_PopupTree) {
        // One row across the top: chooser, folder list, then the button.
        const int32_t rowHeight = m_PopupButton->GetHeight();
        int32_t x = 0;
        if (m_Chooser) {
            x = std::min(width / 3, std::max(kSplitBarMargin, m_SplitBarPos));
            m_Chooser->SetRect(CRect{0, top, x, top + rowHeight});
        }
        m_FolderList->SetRect(CRect{x, top, width - kPopupButtonWidth, top + rowHeight});
        m_PopupButton->SetRect(CRect{width - kPopupButtonWidth, top, width, top + rowHeight});
        m_SplitBar->Show(false, false);
        gridTop = top + rowHeight;
    } else {
        const int32_t split = std::max(kSplitBarMargin, std::min(m_SplitBarPos, width - kSplitBarMargin));
        int32_t y = top;
        if (m_Chooser) {
            m_Chooser->SetRect(CRect{0, y, split, y + m_Chooser->GetHeight()});
            y += m_Chooser->GetHeight();
        }
        m_FolderList->SetRect(CRect{0, y, split, height});
        m_SplitBar->Show(true, false);
        m_SplitBar->SetRange(kSplitBarMargin, width - kSplitBarMargin);
        m_SplitBar->SetRect(CRect{split, top, split + kPopupButtonWidth, height});
        m_PopupButton->SetRect(CRect{split, top, split + kPopupButtonWidth, top + m_PopupButton->GetHeight()});
        gridLeft = split + kPopupButtonWidth;
    }
    m_Grid->SetRect(CRect{gridLeft, gridTop, width, height - statusHeight});
    if (m_Status) {
        const int32_t buttonWidth = m_SelectButton->GetWidth();
        m_Status->SetRect(CRect{gridLeft, height - statusHeight, width - buttonWidth, height});
        m_SelectButton->SetRect(CRect{width - buttonWidth, height - statusHeight, width, height});
    }
    m_Grid->LayOut(m_Grid->GetWidth());
}
