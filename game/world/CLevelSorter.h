#pragma once
// The "Level Sorter": a frame window listing the levels of a level set (the
// game's "Levels") with their key figures, where a designer reorders,
// inserts, deletes, copies and pastes levels and picks the one the level
// editor shows. Rows are one per level, fields separated by tabs: number,
// period, name, comment, customers, empty lots, scale, and the "Garage" and
// "Add On" frequencies.
//
// The editing commands (paste, insert, delete, moves, and Properties, which
// opens the set's own editor) do nothing unless the set may be saved and the
// level editor is not over the played level; the window then greys them and
// says why. Closing the window saves the set to its own file when its order
// changed, unless the game is shutting down; a refused save puts the order
// (and what follows it) back as it was.
//
// Moves: the arrow buttons, or the toolkit's Up and Down key codes (6, 10)
// with a Shift key held; the current level index set to the row the
// selection came from when the swap touched it.
//
// On "Levels", what the screens keep by level number (tips, decade
// transitions, life rewards) follows the levels the sorter inserts, deletes
// and moves, and is written with the set, all or none. A pasted level brings
// the tip of the level it was copied from. The player profiles keep their
// records by number and stay; the window says so.
#include "foundation/CVirtualArray.h"
#include "foundation/UpwardHook.h"
#include "ui/CJFrameWindow.h"

#include <cstdint>
#include <memory>
#include <vector>

class CJButton;
class CJHeader;
class CJListBox;
class CLevelOptions;
class CLevelSet;
class CObject;

// The sorter's rows: one text per level.
class CLevelSorterRows final : public CVirtualArray {
public:
    const char* GetItemName(int32_t i) override;
    CJString GetItemNameString(int32_t i) override;
    int32_t Find(const CJString& name, int32_t hint = -1) override;
    int32_t Find(const char* name, int32_t hint = -1) override;
    int32_t GetCount() override { return int32_t(m_Rows.size()); }
    void RemoveAll() override { m_Rows.clear(); }
    int32_t Add(const CJString& name) override;
    int32_t Add(const char* name) override { return Add(CJString(name)); }

private:
    std::vector<CJString> m_Rows;
};

class CLevelSorterWindow : public CJFrameWindow {
public:
    enum class Button { Edit, Copy, CopyAll, Paste, Insert, Delete, Properties, MoveUp, MoveDown, Count };

    // levels: the set shown (not owned); null is the general object "Levels".
    explicit CLevelSorterWindow(CJWindow* parent, CLevelSet* levels = nullptr);
    ~CLevelSorterWindow() override;

    void OnNotify(CJWindow* sender, int32_t code) override;
    bool OnKeyDown(uint32_t key) override;
    // Saves the level set first, unless the game is shutting down; says
    // when that fails.
    bool Close() override;

    // Refills the rows from the set, scrolled to the top.
    void FillRows();
    // The text of level i's row.
    CJString GetRowText(uint32_t index);

    CJListBox* GetList() const { return m_List; }
    CJHeader* GetHeader() const { return m_Header; }
    CJButton* GetButton(Button button) const { return m_Buttons[size_t(button)]; }
    CLevelSet* GetLevelSet() const { return m_Levels; }
    bool IsEditingAllowed() const { return m_EditingAllowed; }
    // -1 when no row is selected.
    int32_t GetSelectedRow() const;

    void Edit();
    void Copy();
    void CopyAll();
    void Paste();
    void Insert();
    void Delete();
    void Properties();
    void MoveUp();
    void MoveDown();

private:
    // What the sorter changed, undone in reverse when its save is refused:
    // the game goes on with the order the files have.
    struct SChange {
        enum class Kind { Inserted, Removed, Swapped } kind;
        uint32_t i = 0;
        uint32_t j = 0; // Inserted: how many; Swapped: the other index
        std::unique_ptr<CLevelOptions> removed;
    };

    void Swap(uint32_t i, uint32_t j, uint32_t selectAfter);
    void PutBackOrder();
    // The set is "Levels", whose tips and transitions follow its levels.
    bool KeepsDataByLevelNumber() const;
    void SelectRow(int32_t row);

    CLevelSet* m_Levels;
    CLevelSorterRows m_Rows;
    CJHeader* m_Header = nullptr;
    CJListBox* m_List = nullptr;
    std::vector<CJButton*> m_Buttons;
    bool m_EditingAllowed = false;
    std::vector<SChange> m_Changes;
    uint32_t m_CurrentAtOpen = 0;
    bool m_UnsavedOrderAtOpen = false;
    std::vector<int32_t> m_RowsOnDiskAtOpen;
};

// What the sorter asks of the editors above; nothing until installed.
class CLevelSorterHooks {
public:
    virtual ~CLevelSorterHooks() = default;
    // Whether the level editor is open on a level of the stored set.
    virtual bool IsLevelEditorOpenOnStoredLevel() { return false; }
    // Whether it is open on the played copy, whose edits are not saved.
    virtual bool IsLevelEditorOpenOnPlayedLevel() { return false; }
    virtual void OpenObjectEditor(CObject* /*object*/) {}
};
CLevelSorterHooks* SetLevelSorterHooks(CLevelSorterHooks* hooks);
// The installed hooks' answer: the level editor shows the current level of
// "Levels" itself.
bool IsLevelEditorOpenOnStoredLevel();
OMBRISALT_UPWARD_HOOK(SetLevelSorterHooks);

// Inserts a new default level at the index of the set (clamped to its
// count) as the sorter's "Insert" does: what is numbered by the levels of
// "Levels" follows, and the current level index stays on its level.
void InsertLevelIntoSet(CLevelSet& set, uint32_t index);
// Deletes level index of the set as the sorter's "Delete" does: never the
// last level (a message box from the teller says so), what is numbered by
// the levels of "Levels" follows, and the current level index stays on its
// level. False when nothing was deleted.
bool DeleteLevelOfSet(CLevelSet& set, uint32_t index, CJWindow& teller);

// Opens the sorter in front of the screen window; null without one.
CLevelSorterWindow* OpenLevelSorter(CLevelSet* levels = nullptr);
