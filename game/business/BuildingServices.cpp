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

namespace {

GarageRepaintListener g_GarageRepaintListener = nullptr;

} // namespace

GarageRepaintListener SetGarageRepaintListener(GarageRepaintListener listener)
{
    GarageRepaintListener previous = g_GarageRepaintListener;
    g_GarageRepaintListener = listener;
    return previous;
}

void NoteGarageRepainted()
{
    if (g_GarageRepaintListener)
        g_GarageRepaintListener();
}
