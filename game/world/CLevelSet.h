#pragma once
// Level sets. Every level of the game lives in one set, the general object
// "Levels"; the game indexes it with the current level index. The base class
// is abstract and has no properties; the user-made set keeps its levels in
// "Levels/Level List".
//
// The first and last tutorial level indices are found by a scan from index 0
// and kept by the set; an edit of the set (insert, remove, swap) forgets
// them, so the next request scans again.
#include "foundation/CFile.h"
#include "game/world/CLevelOptions.h"
#include "objects/CObject.h"
#include "objects/CPropertyArrayProperty.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CLevelSet : public CObject {
    OMBRISALT_REFLECTED(CLevelSet, CObject)
public:
    // Index answered when no level carries the tutorial mark.
    static constexpr uint32_t kNoTutorialLevel = 0xFFFFFFFFu;

    CLevelSet();
    ~CLevelSet() override;

    virtual uint32_t GetCount();
    // Null out of range.
    virtual CLevelOptions* GetLevel(uint32_t index);
    // The level's "Display Name"; empty out of range.
    virtual void GetLevelName(CJString& out, uint32_t index);
    virtual void ReservedOperation(int32_t, int32_t) {}
    // Out of range: nothing.
    virtual void SwapLevels(uint32_t i, uint32_t j);
    // At the index clamped to the count; null inserts a new default level.
    // The set owns the level from then on.
    virtual void InsertLevel(uint32_t index, CLevelOptions* level);
    // Deletes the level; an index at or past the count does nothing.
    virtual void RemoveLevel(uint32_t index);

    // kNoTutorialLevel when none is marked.
    uint32_t GetFirstTutorialLevelIndex();
    uint32_t GetLastTutorialLevelIndex();
    // Forgets the kept tutorial indices, for whoever changes a level's
    // tutorial marks.
    void ForgetTutorialIndices();

    // Whether levels were inserted, removed or swapped since the set was
    // last saved: the sorter writes the set only then.
    bool HasUnsavedOrder() const { return m_UnsavedOrder; }
    void SetUnsavedOrder(bool unsaved) { m_UnsavedOrder = unsaved; }

    // The set's file was read into it or written from it: the levels as they
    // are now are the file's, and so is the text it now holds.
    void NoteAsOnDisk(const char* fileName);
    // Whether the levels differ from their file as last read or written: an
    // edit whose save was refused waits here for the next save.
    bool HasUnsavedEdits();
    // Readies a save over a file someone changed since it was noted: each
    // level changed on one side only is taken from that side, so the set then
    // holds the file's levels wherever it had left them as noted. False, with
    // why in the text, when the change cannot be combined: the same level
    // changed on both sides, a changed row the set moved or deleted (or the
    // one the level editor shows), levels added or removed there, a file
    // gone, damaged or read with a line passed over. Nothing is changed then.
    [[nodiscard]] bool MergeWithFile(const char* fileName, CJString& why);

    // The rows the levels had in the file, for whoever puts back an order
    // exactly as it was (a level removed and put back is no new level).
    const std::vector<int32_t>& GetRowsOnDisk() const { return m_RowOnDisk; }
    void PutBackRowsOnDisk(const std::vector<int32_t>& rows)
    {
        if (rows.size() == GetCount())
            m_RowOnDisk = rows;
    }

protected:
    void OrderChanged()
    {
        ForgetTutorialIndices();
        m_UnsavedOrder = true;
    }

    // For each level, its row in the file when noted; -1 for a level new
    // since. Kept by the subclasses' inserts, removes and swaps.
    std::vector<int32_t> m_RowOnDisk;

private:
    std::unique_ptr<CObject> m_AsOnDisk;
    // What the file held when noted, told apart without holding it.
    SFileContentsNote m_FileOnDisk;
    // Whether that file reads whole; known at the first save after it was noted.
    enum class ReadWhole { Unknown, Yes, No } m_FileOnDiskWhole = ReadWhole::Unknown;
    CJString m_WhyNotWhole; // when not: the line that is not understood
    bool m_UnsavedOrder = false;
    bool m_FirstTutorialKnown = false;
    uint32_t m_FirstTutorial = kNoTutorialLevel;
    bool m_LastTutorialKnown = false;
    uint32_t m_LastTutorial = kNoTutorialLevel;
};

class CLevelSetUserMade : public CLevelSet {
    OMBRISALT_REFLECTED(CLevelSetUserMade, CLevelSet)
public:
    CLevelSetUserMade();
    ~CLevelSetUserMade() override;

    uint32_t GetCount() override;
    CLevelOptions* GetLevel(uint32_t index) override;
    void SwapLevels(uint32_t i, uint32_t j) override;
    void InsertLevel(uint32_t index, CLevelOptions* level) override;
    void RemoveLevel(uint32_t index) override;

    CPropertyArray<CLevelOptions*> m_LevelArray; // owned
};

// The general object "Levels" (fatal when the data lacks it).
CLevelSet* GetLevels();
// The same, or null when the data has no level set.
CLevelSet* FindLevels();

// The index of the level the game plays (or the editor shows) in "Levels".
uint32_t GetCurrentLevelIndex();
void SetCurrentLevelIndex(uint32_t index);

// Saves the set to its own file; "Levels" goes in one replacement group with
// what the screens renumbered with it, so that the next start reads them all
// old or all new. False with the file that failed in failedFile; why it was
// refused (changed on disk, read-only), when it was, is noted with it
// (GetFailedSaveReason).
bool SaveLevelSetToOwnFile(CLevelSet& set, CJString& failedFile);

// At the program's end, with no level editor open on "Levels" (it saves as it
// closes): a set that differs from its file as last read or written, an edit
// whose save was refused, is saved as any other save. Its refusal is told
// after the end's others, given here, in one box (after a termination
// signal, on standard error).
void SaveLevelsLeftUnsaved(const CJString& refusedBefore = CJString());

// Lets a level set that is a general object be saved to its own file;
// called once at class registration.
void RegisterLevelSetFileNames();
