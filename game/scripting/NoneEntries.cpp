#include "game/scripting/NoneEntries.h"

#include "game/scripting/CAudio.h"
#include "sequences/CSequenceList.h"

CSequence* SequenceUnlessNone(int32_t index)
{
    CSequenceList& list = GetSequenceList();
    return index > 0 && index < list.GetCount() ? list.GetObject(index) : nullptr;
}

void PlayAudioUnlessNone(int32_t index)
{
    if (index > 0)
        GetAudioList().PlayAudioByIndex(index);
}
