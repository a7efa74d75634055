#pragma once
// Crews: the sprites that build the parts of one build phase.
#include <cstdint>

class CSpriteAI;

// A crew AI reset to its defaults for the phase; null: no crew sprite.
CSpriteAI* CreateCrewAI(int32_t buildPhase);
// Once per playing update, before the sprites run.
void BeginCrewFrame();
// The crews working in this counting frame.
uint32_t GetCrewsWorking();
