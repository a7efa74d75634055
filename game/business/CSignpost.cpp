// Stubs for bz-bonus to fill (the skeleton's hooks call them): every function
// declared in CSignpost.h.
#include "game/business/CSignpost.h"

CSpriteAI* CreateSignpostAI(CUpgrade&) { return nullptr; }
CSpriteAI* GetSignpostAI() { return nullptr; }
