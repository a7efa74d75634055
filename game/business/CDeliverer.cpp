// Stubs for bz-bonus to fill (the skeleton's hooks call them): every function
// declared in CDeliverer.h.
#include "game/business/CDeliverer.h"

float GetDelivererHeartBonus(CUpgrade*) { return 0.0f; }
