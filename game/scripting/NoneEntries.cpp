#include "game/scripting/NoneEntries.h"

#include "game/scripting/CAudio.h"
#include "sequences/CSequenceList.h"

CSequence* SequenceUnlessNone(int32_t index)
{
    CSequenceList& list = GetSequenceList();
    return list.IsNoneRow(index) ? nullptr : list.GetObject(index);
}

void PlayAudioUnlessNone(int32_t index)
{
    if (index > 0)
        GetAudioList().PlayAudioByIndex(index);
}
