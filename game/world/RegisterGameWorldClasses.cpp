#include "game/world/RegisterGameWorldClasses.h"

#include "game/world/CBackgroundStyleSheet.h"
#include "game/world/CGoal.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPeriod.h"
#include "game/world/CPlayfield.h"
#include "game/world/CRules.h"
#include "game/world/PlayfieldScriptingHooks.h"

void RegisterGameWorldClasses()
{
    CPlayfieldLayer::SGetClassInfo();
    CPlayfield::SGetClassInfo();
    CRules::SGetClassInfo();
    CPeriod::SGetClassInfo();
    CBackgroundStyleSheet::SGetClassInfo();
    CGoal::SGetClassInfo();
    CRevenueGoal::SGetClassInfo();
    CLevelOptions::SGetClassInfo();
    CLevelSet::SGetClassInfo();
    CLevelSetUserMade::SGetClassInfo();
    RegisterLevelSetFileNames();
    InstallPlayfieldScriptingHooks();
}
