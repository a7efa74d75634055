#pragma once
// The asset dependency browser: pick an entry of any registered list and see,
// in two tables, every object that refers to it (the backward search, which
// loads and walks every object of every registered object list) and every
// entry it refers to itself (the forward search over its own property tree).
// A row of either table jumps to the entry it names.
//
// Rows are four tab-separated fields: the list's display name, the entry's
// name without its folders, the property's name and the entry's full name.
//
// The backward search lets the window system pump its events once per list
// so the game stays responsive; the pump only records input, it never runs
// the window tree, so nothing can close or rebuild the browser mid-search.

#include "foundation/CArrayPOD.h"
#include "foundation/CDynamicList.h"
#include "objects/CProperty.h"
#include "ui/CJFrameWindow.h"

#include <cstdint>
#include <memory>

class CDirectoryTree;
class CJButton;
class CJComboBox;
class CJHeader;
class CJListBox;
class CObjectEditor;
class CVirtualArray;

struct SDependencyHit {
    CVirtualArray* list = nullptr; // a list of the registry
    uint32_t item = 0;
};

// The backward search: which entries of which lists refer to one entry.
class CAssetDependencyFinder : public CPropertyTreeCallback {
public:
    // Empties the hits and rows, then walks every object of every
    // registered object list, in registry and entry order.
    void Find(CVirtualArray* list, uint32_t item);

    void Enter(CObject*) override {}
    void Leave(CObject*) override {}
    void VisitListReference(const CListPropertyABC& property, int32_t index) override;

    const CArrayPOD<SDependencyHit>& GetHits() const { return m_Hits; }
    CDynamicList& GetRows() { return m_Rows; }
    void Clear();

private:
    CArrayPOD<SDependencyHit> m_Hits;
    CDynamicList m_Rows;
    uint32_t m_TargetItem = UINT32_MAX;
    CVirtualArray* m_TargetList = nullptr;
    uint32_t m_CurrentItem = 0;
    int32_t m_CurrentListIndex = -1; // in the registry
};

// The forward search: what one object refers to. The "none" entry (index 0
// named with a leading "!") is never a dependency.
class CAssetForwardDependencyFinder : public CPropertyTreeCallback {
public:
    // Empties the hits and rows, then walks the object (null: stays empty).
    void Find(CObject* object);

    void Enter(CObject*) override {}
    void Leave(CObject*) override {}
    void VisitListReference(const CListPropertyABC& property, int32_t index) override;

    const CArrayPOD<SDependencyHit>& GetHits() const { return m_Hits; }
    CDynamicList& GetRows() { return m_Rows; }
    void Clear();

private:
    CArrayPOD<SDependencyHit> m_Hits;
    CDynamicList m_Rows;
};

class CAssetDependencyBrowserWindow : public CJFrameWindow {
public:
    static constexpr const char* kTitle = "Asset Dependency Browser";

    explicit CAssetDependencyBrowserWindow(CJWindow* parent);
    ~CAssetDependencyBrowserWindow() override;

    // Shows the list (a list of the registry) and selects the item, which
    // runs both searches.
    void SelectListItem(CVirtualArray* list, int32_t item);
    // Jumps to the n-th hit of the backward (first) or forward table.
    void JumpToHit(bool backward, uint32_t n);
    // Opens the object editor on the selected entry's object.
    void EditSelected();

    CVirtualArray* GetList() const { return m_List; }
    // The selected entry's index in the list, or -1.
    int32_t GetSelectedEntry() const;

    CAssetDependencyFinder& GetBackwardFinder() { return *m_Backward; }
    CAssetForwardDependencyFinder& GetForwardFinder() { return *m_Forward; }
    CJComboBox* GetListCombo() const { return m_ListCombo; }
    CJListBox* GetEntryList() const { return m_Entries; }
    CJListBox* GetReferencedByTable() const { return m_ReferencedBy; }
    CJListBox* GetReferencesTable() const { return m_References; }
    CJHeader* GetReferencedByHeader() const { return m_ReferencedByHeader; }
    CJHeader* GetReferencesHeader() const { return m_ReferencesHeader; }
    CJButton* GetEditButton() const { return m_EditButton; }

    void Update(float seconds) override;
    void OnNotify(CJWindow* sender, int32_t code) override;

private:
    void ShowList(int32_t registryIndex);
    void OnEntrySelected();
    void RefreshTables();
    CJHeader* MakeHeader();

    std::unique_ptr<CAssetDependencyFinder> m_Backward;
    std::unique_ptr<CAssetForwardDependencyFinder> m_Forward;
    CJHeader* m_ReferencedByHeader = nullptr;
    CJListBox* m_ReferencedBy = nullptr;
    CJComboBox* m_ListCombo = nullptr;
    CJListBox* m_Entries = nullptr;
    CJHeader* m_ReferencesHeader = nullptr;
    CJListBox* m_References = nullptr;
    CJButton* m_EditButton = nullptr;
    CVirtualArray* m_List = nullptr;
    std::unique_ptr<CDirectoryTree> m_Tree;
    // A row clicked in a table: the jump waits for the next update, so the
    // table is not refilled while it is still handling its own click.
    int32_t m_PendingJumpTable = -1; // 0 backward, 1 forward
    uint32_t m_PendingJumpHit = 0;
};

// Opens a browser in front of parent's children, on the list and item when
// the list is given; the new window.
CAssetDependencyBrowserWindow* OpenAssetDependencyBrowser(CJWindow* parent, CVirtualArray* list, int32_t item);

// The object editor's "Brows Asset Dependencies": a browser on the entry,
// not yet placed (the editor places it).
CJWindow* MakeAssetDependencyBrowserForEditor(CObjectEditor* editor, CVirtualArray* list, int32_t item);

// The file-name part of an entry's name: the text after its last "/" or "\".
CJString EntryFileNamePart(const char* name);
