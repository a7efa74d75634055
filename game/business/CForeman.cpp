// Stubs for bz-crew to fill (the skeleton's hooks call them): every function
// declared in CForeman.h.
#include "game/business/CForeman.h"

CSpriteAI* CreateForemanAI(CUpgrade&) { return nullptr; }
float GetForemanBuildSpeed(CSpriteAI*) { return 1.0f; }
void TellForemanMoveIn(CSpriteAI*, CLot*) {}
