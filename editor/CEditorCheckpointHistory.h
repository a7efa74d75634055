#pragma once
// Undo for the editors: whole snapshots (clones) of the edited object.
//
// Entries run newest first. The first `undo position` entries hold the
// states to return to on redo, the rest the states to return to on undo;
// a new checkpoint drops the redo states. At most 40 entries are kept: the
// oldest go as soon as a 41st comes.
//
// A checkpoint repeating the last non-empty name (ignoring case) adds
// nothing, so a drag that begins a checkpoint on every movement records
// only its first; ClearLastName ends that run. A change made outside any
// checkpoint bracket is caught by RecordIfChanged, which compares the
// object with the working copy taken after the last recorded change.
//
// The history does not know what it edits: two callback slots name the
// history and the edited object (the level editor fills them with the
// current level's; tests with their own). With either slot empty, or
// either answering null, the checkpoint brackets do nothing.

#include "foundation/CArrayPOD.h"
#include "foundation/CJString.h"
#include "game/world/CLevelOptions.h"

#include <cstdint>

class CObject;

inline constexpr uint32_t kMaxEditorCheckpoints = 40;

class CEditorCheckpointHistory : public CLevelUndoHistory {
public:
    CEditorCheckpointHistory() = default;
    CEditorCheckpointHistory(const CEditorCheckpointHistory&) = delete;
    CEditorCheckpointHistory& operator=(const CEditorCheckpointHistory&) = delete;
    // The working copy, then every entry, last first.
    ~CEditorCheckpointHistory() override;

    // Records a snapshot of object as the state to return to on undo.
    void AddCheckpoint(CObject* object, const CJString& name);
    // An unnamed checkpoint of the state before a change no bracket caught.
    void RecordIfChanged(CObject* object);
    // False when there was nothing to undo (redo); object unchanged then.
    bool Undo(CObject* object);
    bool Redo(CObject* object);
    bool CanUndo() const { return m_UndoPosition < m_Entries.GetCount(); }
    bool CanRedo() const { return m_UndoPosition > 0; }
    void ClearLastName() { m_LastName.Empty(); }
    // The working copy becomes a fresh snapshot of object.
    void RenewWorkingCopy(CObject* object);

    uint32_t GetCount() const { return m_Entries.GetCount(); }
    uint32_t GetUndoPosition() const { return m_UndoPosition; }
    const CJString& GetLastName() const { return m_LastName; }
    // Newest first; null outside the history.
    CObject* GetEntry(uint32_t i) const { return i < m_Entries.GetCount() ? m_Entries[i] : nullptr; }
    CObject* GetWorkingCopy() const { return m_WorkingCopy; }

private:
    // Takes the snapshot.
    void AddSnapshot(CObject* snapshot, const CJString& name);

    CJString m_LastName;
    CArrayPOD<CObject*> m_Entries; // owned snapshots, newest first
    uint32_t m_UndoPosition = 0;
    CObject* m_WorkingCopy = nullptr; // owned
};

// The two callback slots; each setter answers the function it replaces. The
// history does not know what it edits: the slots stay empty, and edits take
// no checkpoint, until the level editor first opens and fills them.
using CheckpointHistoryCallback = CEditorCheckpointHistory* (*)();
using CheckpointObjectCallback = CObject* (*)();
CheckpointHistoryCallback SetCheckpointHistoryCallback(CheckpointHistoryCallback callback);
CheckpointObjectCallback SetCheckpointObjectCallback(CheckpointObjectCallback callback);
// Null when the slot is empty.
CEditorCheckpointHistory* GetCheckpointHistory();
CObject* GetCheckpointObject();

// The callbacks the level editor installs: the current level's history
// (made on first request) and the current level.
CEditorCheckpointHistory* GetCurrentLevelCheckpointHistory();
CObject* GetCurrentLevelObject();

// Brackets a change: Begin takes the checkpoint prefix + suffix, End renews
// the working copy so that change detection does not record the change a
// second time.
void BeginEditorCheckpoint(const char* prefix, const CJString& suffix = CJString());
void EndEditorCheckpoint();

// Begin at construction, End when the scope ends.
class CEditorCheckpoint {
public:
    explicit CEditorCheckpoint(const char* prefix, const CJString& suffix = CJString())
    {
        BeginEditorCheckpoint(prefix, suffix);
    }
    ~CEditorCheckpoint() { EndEditorCheckpoint(); }
    CEditorCheckpoint(const CEditorCheckpoint&) = delete;
    CEditorCheckpoint& operator=(const CEditorCheckpoint&) = delete;
};
