// Stubs for bz-crew to fill (the skeleton's hooks call them): every function
// declared in CCrew.h.
#include "game/business/CCrew.h"

CSpriteAI* CreateCrewAI(int32_t) { return nullptr; }
void BeginCrewFrame() {}
uint32_t GetCrewsWorking() { return 0; }
