#pragma once
// What building asks of the rest of this layer: the refusal display, the
// crews, the foreman and the advice's work variables. Kept in one place so
// the building code reads the same whichever of them is present.
#include "foundation/UpwardHook.h"

#include <cstdint>

class CBuildablePackage;
class CBuildablePart;
class CLot;
class CTextSubstitutionList;

// Shows a refusal through the illegal-move display (variables may be null).
void ShowBuildingRefusal(const char* key, CTextSubstitutionList* variables);
// Whether an idle crew of the phase stands ready.
bool HasIdleCrew(int32_t phase);
// The first idle crew of the part's phase takes the job; false without one
// (defined with the crews, CCrew.cpp).
bool StartCrewJob(CBuildablePart& part, int32_t upgrade, CLot& lot);
// The foreman overseeing the package's lot hears that it is finished.
void TellForemanPackageFinished(CBuildablePackage& package);
// A colour dropped again on a garage still waiting for that paint; told to
// the advice above this layer, which installs its listener (none: nothing).
void NoteGarageRepainted();
using GarageRepaintListener = void (*)();
GarageRepaintListener SetGarageRepaintListener(GarageRepaintListener listener);
OMBRISALT_UPWARD_HOOK(SetGarageRepaintListener);
