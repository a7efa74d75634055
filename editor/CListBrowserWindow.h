#pragma once
// The list browser: pick any registered list and one of its entries (shown
// as a folder tree of the entry names), then edit the entry's object, or
// make a new entry or a copy of the selected one through the new-file
// dialog. "Edit" works on lists of objects, "New" and "Duplicate" on lists
// that offer new-file options.

#include "ui/CJFrameWindow.h"

#include <cstdint>
#include <memory>

class CDirectoryTree;
class CJButton;
class CJComboBox;
class CJListBox;
class CNewFileOptions;
class CVirtualArray;

class CListBrowserWindow : public CJFrameWindow {
public:
    static constexpr const char* kTitle = "List Browser";

    explicit CListBrowserWindow(CJWindow* parent);
    ~CListBrowserWindow() override;

    // Shows the registry's list at that position.
    void ShowList(int32_t registryIndex);
    void SelectEntry(int32_t item);
    // The selected entry's index in the list, or -1.
    int32_t GetSelectedEntry() const;

    void EditSelected();
    void NewEntry();
    void DuplicateSelected();

    CVirtualArray* GetList() const { return m_List; }
    CJComboBox* GetListCombo() const { return m_ListCombo; }
    CJListBox* GetEntryList() const { return m_Entries; }
    CJButton* GetEditButton() const { return m_EditButton; }
    CJButton* GetNewButton() const { return m_NewButton; }
    CJButton* GetDuplicateButton() const { return m_DuplicateButton; }
    // The options the open dialog works on; null when the list offers none.
    CNewFileOptions* GetNewFileOptions() const { return m_NewFileOptions.get(); }

    void OnNotify(CJWindow* sender, int32_t code) override;

private:
    void RefillEntries();
    void UpdateButtons();
    // Fresh options from the list for each dialog, so one dialog's name,
    // folder and template never leak into the next.
    bool RenewOptions();
    void OpenDialog();
    // The dialog's created command.
    void OnCreated();

    CJComboBox* m_ListCombo = nullptr;
    CJListBox* m_Entries = nullptr;
    CJButton* m_EditButton = nullptr;
    CJButton* m_NewButton = nullptr;
    CJButton* m_DuplicateButton = nullptr;
    CVirtualArray* m_List = nullptr;
    std::unique_ptr<CDirectoryTree> m_Tree;
    std::unique_ptr<CNewFileOptions> m_NewFileOptions;
};

// Opens a list browser in front of parent's children; the new window.
CListBrowserWindow* OpenListBrowser(CJWindow* parent);

// The list entry of the selected row of an entry list shown through tree;
// -1 for a folder row, no selection or an index past the list.
int32_t GetSelectedListEntry(const CJListBox& entries, CVirtualArray* list, const CDirectoryTree* tree);
