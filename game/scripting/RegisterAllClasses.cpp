#include "game/scripting/RegisterAllClasses.h"

#include "game/scripting/RegisterGameScriptingClasses.h"
#include "objects/CClassInfo.h"
#include "sequences/RegisterSequencesClasses.h"
#include "shell/RegisterShellClasses.h"

void RegisterAllClasses()
{
    RegisterShellClasses();
    RegisterSequencesClasses();
    RegisterGameScriptingClasses();
    CClassInfoList::SGetInstance().Sort();
}
