// Stubs for bz-bonus to fill (the skeleton's hooks call them): every function
// declared in CThreeInARowBonus.h.
#include "game/business/CThreeInARowBonus.h"

void AddInARowBonus(CThreeInARowCounter&) {}
float GetCounterBuildPercentPerClick(CThreeInARowCounter&, float fallback) { return fallback; }
uint32_t GetCounterMegaSequence(CThreeInARowCounter&) { return 0; }
void GrantThreeInARowBonus(CThreeInARowCounter&) {}
bool GetThreeInARowSparkleOptions(SSparkleOptions&) { return false; }
int32_t GetThreeInARowSong() { return 0; }
