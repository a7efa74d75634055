#include "game/business/BuildingServices.h"

#include "game/business/CBuildingOps.h"
#include "game/business/CCrew.h"
#include "game/business/CForeman.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/world/CBuildablePackage.h"
#include "game/world/CLot.h"
#include "game/world/CUpgrade.h"

void ShowBuildingRefusal(const char* key, CTextSubstitutionList* variables)
{
    GetIllegalMoveDisplay().Show(key, variables);
}

bool HasIdleCrew(int32_t phase)
{
    return FindIdleCrew(phase) != nullptr;
}

void TellForemanPackageFinished(CBuildablePackage& package)
{
    if (CForeman* foreman = FindForeman())
        foreman->OnPackageFinished(&package);
}

void NoteGarageRepainted()
{
    // The advice's work variables come later.
}
