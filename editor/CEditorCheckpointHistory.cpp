#include "editor/CEditorCheckpointHistory.h"

#include "objects/CObject.h"

namespace {

CheckpointHistoryCallback g_HistoryCallback = nullptr;
CheckpointObjectCallback g_ObjectCallback = nullptr;

} // namespace

CEditorCheckpointHistory::~CEditorCheckpointHistory()
{
    delete m_WorkingCopy;
    while (!m_Entries.IsEmpty()) {
        const uint32_t last = m_Entries.GetCount() - 1;
        delete m_Entries[last];
        m_Entries.RemoveAt(last);
    }
}

void CEditorCheckpointHistory::AddCheckpoint(CObject* object, const CJString& name)
{
    if (!object)
        return;
    if (m_LastName.IsNotEmpty() && m_LastName.CompareNoCase(name) == 0)
        return;
    AddSnapshot(object->Clone(), name);
}

void CEditorCheckpointHistory::AddSnapshot(CObject* snapshot, const CJString& name)
{
    m_LastName = name;
    while (m_UndoPosition > 0) {
        delete m_Entries[0];
        m_Entries.RemoveAt(0);
        --m_UndoPosition;
    }
    *m_Entries.InsertAt(0) = snapshot;
    while (m_Entries.GetCount() > kMaxEditorCheckpoints) {
        const uint32_t last = m_Entries.GetCount() - 1;
        delete m_Entries[last];
        m_Entries.RemoveAt(last);
    }
}

void CEditorCheckpointHistory::RecordIfChanged(CObject* object)
{
    if (!object)
        return;
    if (!m_WorkingCopy) {
        m_WorkingCopy = object->Clone();
        return;
    }
    if (object->IsEqualTo(m_WorkingCopy))
        return;
    // The working copy is the state before the change: it becomes the entry
    // (the snapshot the checkpoint would take of it is equal to it).
    CObject* before = m_WorkingCopy;
    m_WorkingCopy = nullptr;
    AddSnapshot(before, CJString());
    m_WorkingCopy = object->Clone();
}

void CEditorCheckpointHistory::RenewWorkingCopy(CObject* object)
{
    delete m_WorkingCopy;
    m_WorkingCopy = object ? object->Clone() : nullptr;
}

bool CEditorCheckpointHistory::Undo(CObject* object)
{
    if (!object || m_UndoPosition >= m_Entries.GetCount())
        return false;
    CObject* present = object->Clone();
    CObject*& entry = m_Entries[m_UndoPosition];
    object->CopyFrom(entry);
    delete entry;
    entry = present;
    ++m_UndoPosition;
    RenewWorkingCopy(object);
    return true;
}

bool CEditorCheckpointHistory::Redo(CObject* object)
{
    if (!object || m_UndoPosition == 0)
        return false;
    --m_UndoPosition;
    CObject* present = object->Clone();
    CObject*& entry = m_Entries[m_UndoPosition];
    object->CopyFrom(entry);
    delete entry;
    entry = present;
    RenewWorkingCopy(object);
    return true;
}

CheckpointHistoryCallback SetCheckpointHistoryCallback(CheckpointHistoryCallback callback)
{
    CheckpointHistoryCallback previous = g_HistoryCallback;
    g_HistoryCallback = callback;
    return previous;
}

CheckpointObjectCallback SetCheckpointObjectCallback(CheckpointObjectCallback callback)
{
    CheckpointObjectCallback previous = g_ObjectCallback;
    g_ObjectCallback = callback;
    return previous;
}

CEditorCheckpointHistory* GetCheckpointHistory()
{
    return g_HistoryCallback ? g_HistoryCallback() : nullptr;
}

CObject* GetCheckpointObject()
{
    return g_ObjectCallback ? g_ObjectCallback() : nullptr;
}

CEditorCheckpointHistory* GetCurrentLevelCheckpointHistory()
{
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    return level ? dynamic_cast<CEditorCheckpointHistory*>(level->GetUndoHistory()) : nullptr;
}

CObject* GetCurrentLevelObject()
{
    return CLevelOptions::SGetCurrent();
}

void BeginEditorCheckpoint(const char* prefix, const CJString& suffix)
{
    CEditorCheckpointHistory* history = GetCheckpointHistory();
    CObject* object = GetCheckpointObject();
    if (!history || !object)
        return;
    CJString name(prefix ? prefix : "");
    name.Append(suffix);
    history->AddCheckpoint(object, name);
}

void EndEditorCheckpoint()
{
    CEditorCheckpointHistory* history = GetCheckpointHistory();
    CObject* object = GetCheckpointObject();
    if (!history || !object)
        return;
    history->RenewWorkingCopy(object);
}
