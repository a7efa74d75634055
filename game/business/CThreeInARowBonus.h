#pragma once
// The three-in-a-row bonus on the world's counter.
#include <cstdint>

class CThreeInARowCounter;
struct SSparkleOptions;

void AddInARowBonus(CThreeInARowCounter& counter);
float GetCounterBuildPercentPerClick(CThreeInARowCounter& counter, float fallback);
// 0 for none.
uint32_t GetCounterMegaSequence(CThreeInARowCounter& counter);
// The typed word's grant.
void GrantThreeInARowBonus(CThreeInARowCounter& counter);
// False when there are no options.
bool GetThreeInARowSparkleOptions(SSparkleOptions& out);
// The song of a running bonus; 0 for none.
int32_t GetThreeInARowSong();
