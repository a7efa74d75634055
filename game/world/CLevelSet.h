#pragma once
// Level sets. Every level of the game lives in one set, the general object
// "Levels"; the game indexes it with the current level index. The base class
// is abstract and has no properties; the user-made set keeps its levels in
// "Levels/Level List".
//
// The first and last tutorial level indices are found by a scan from index 0
// and kept by the set; an edit of the set (insert, remove, swap) forgets
// them, so the next request scans again.
#include "game/world/CLevelOptions.h"
#include "objects/CObject.h"
#include "objects/CPropertyArrayProperty.h"

#include <cstdint>

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

private:
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

// Lets a level set that is a general object be saved to its own file;
// called once at class registration.
void RegisterLevelSetFileNames();
