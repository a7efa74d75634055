#pragma once
// The image browser: a folder list beside the thumbnail grid of the chosen
// folder, with (mode 1) a chooser of every registered list, and, as a
// picker, a status line and a select button. Choosing an item runs the
// select command and closes, or opens the item's object.

#include "editor/CImageBrowser.h"
#include "ui/CJFrameWindow.h"

#include <memory>

class CCommand;
class CDirectoryTree;
class CJButton;
class CJCheckBox;
class CJComboBox;
class CJListBox;
class CJStatic;
class CObject;
class CPrunedTree;
class CSplitBarVertical;

class CImageBrowserFrameWindow : public CJFrameWindow {
public:
    static constexpr int32_t kModeOneList = 0;
    static constexpr int32_t kModeAllLists = 1;
    static constexpr int32_t kDefaultSplitBarPos = 130;

    // selectTitle null: no status line or select button. The command is
    // owned. A null list is the registry's first.
    CImageBrowserFrameWindow(CJWindow* parent, const char* title, int32_t mode, const char* selectTitle,
                             CCommand* selectCommand, CVirtualArray* list);
    ~CImageBrowserFrameWindow() override;

    // Browses the tree (not owned) with the factory (null: no images).
    void SetTree(CVirtualTree* tree, ImageBrowserItemFactory factory);
    // Browses a registered list through a folder tree of its names.
    void BrowseList(CVirtualArray* list);
    // Opens the item's folder and selects its cell when shown.
    void SelectValue(int32_t item);
    // The item index of the selected cell, or -1.
    int32_t GetSelectedValue() const;

    CImageBrowser* GetGrid() const { return m_Grid; }
    CJListBox* GetFolderList() const { return m_FolderList; }
    CJComboBox* GetListChooser() const { return m_Chooser; }
    CJButton* GetSelectButton() const { return m_SelectButton; }
    CJStatic* GetStatusText() const { return m_Status; }
    CJCheckBox* GetAutoLoadBox() const { return m_AutoLoad; }
    CJButton* GetLoadNowButton() const { return m_LoadNow; }
    int32_t GetSplitBarPos() const { return m_SplitBarPos; }
    CSplitBarVertical* GetSplitBar() const { return m_SplitBar; }
    CJButton* GetPopupTreeButton() const { return m_PopupButton; }
    bool IsPopupTree() const { return m_PopupTree; }
    CVirtualArray* GetBrowsedList() const { return m_List; }

    void Update(float seconds) override;
    void OnNotify(CJWindow* sender, int32_t code) override;
    bool OnKeyDown(uint32_t key) override;
    void SetRect(const CRect& rect) override;

private:
    void OpenFolder(int32_t node);
    void OnItemCreated(int32_t item);
    void TogglePopupTree();
    void OnGridSelectionChanged();
    void Activate();
    void LayOutChildren();
    // The section of the editor's settings file: the title.
    bool ReadBool(const char* key, bool defaultValue) const;
    void WriteBool(const char* key, bool value) const;

    int32_t m_Mode;
    CJComboBox* m_Chooser = nullptr;
    CJListBox* m_FolderList = nullptr;
    CImageBrowser* m_Grid = nullptr;
    CJStatic* m_Status = nullptr;
    CJCheckBox* m_AutoLoad = nullptr;
    CJButton* m_LoadNow = nullptr;
    CJButton* m_SelectButton = nullptr;
    CSplitBarVertical* m_SplitBar = nullptr;
    CJButton* m_PopupButton = nullptr;
    std::unique_ptr<CCommand> m_SelectCommand;
    CVirtualArray* m_List = nullptr;
    std::unique_ptr<CDirectoryTree> m_ListTree;
    CVirtualTree* m_Tree = nullptr;
    std::unique_ptr<CPrunedTree> m_Pruned;
    int32_t m_Folder = -1;
    int32_t m_SplitBarPos = kDefaultSplitBarPos;
    bool m_PopupTree = false;
};
