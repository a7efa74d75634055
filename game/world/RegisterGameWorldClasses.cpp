#include "game/world/RegisterGameWorldClasses.h"

#include "game/world/CPlayfield.h"
#include "game/world/PlayfieldScriptingHooks.h"

void RegisterGameWorldClasses()
{
    CPlayfieldLayer::SGetClassInfo();
    CPlayfield::SGetClassInfo();
    InstallPlayfieldScriptingHooks();
}
