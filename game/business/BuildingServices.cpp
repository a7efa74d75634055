#include "game/business/BuildingServices.h"

#include "game/business/CBuildingOps.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/world/CBuildablePackage.h"
#include "game/world/CLot.h"
#include "game/world/CUpgrade.h"

void ShowBuildingRefusal(const char* key, CTextSubstitutionList* variables)
{
    GetIllegalMoveDisplay().Show(key, variables);
}

bool HasIdleCrew(int32_t)
{
    // Until crews stand on the playfield every phase has a free hand.
    return true;
}

bool StartCrewJob(CBuildablePart& part, int32_t upgrade, CLot& lot)
{
    CBuildablePackage* building = lot.GetBuilding();
    if (!building)
        return false;
    StartBuilding(*building, part, upgrade, lot.GetSprite());
    return true;
}

void TellForemanPackageFinished(CBuildablePackage&) {}

void NoteGarageRepainted()
{
    // The advice's work variables come later.
}
