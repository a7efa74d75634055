#pragma once
// A data reference of 0 names the list's none entry (FirstRealRow):
// it shows and plays nothing, as does an index past the list.
#include <cstdint>

class CSequence;

CSequence* SequenceUnlessNone(int32_t index);
void PlayAudioUnlessNone(int32_t index);
