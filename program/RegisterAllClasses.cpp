#include "program/RegisterAllClasses.h"

#include "editor/RegisterEditorClasses.h"
#include "game/business/RegisterGameBusinessClasses.h"
#include "game/screens/RegisterGameScreensClasses.h"
#include "game/scripting/RegisterGameScriptingClasses.h"
#include "game/world/RegisterGameWorldClasses.h"
#include "objects/CClassInfo.h"
#include "overlays/RegisterOverlaysClasses.h"
#include "sequences/RegisterSequencesClasses.h"
#include "shell/RegisterShellClasses.h"
#include "ui/RegisterUiClasses.h"

void RegisterAllClasses()
{
    RegisterShellClasses();
    RegisterSequencesClasses();
    RegisterUiClasses();
    RegisterOverlaysClasses();
    RegisterGameScriptingClasses();
    RegisterGameWorldClasses();
    RegisterGameBusinessClasses();
    RegisterGameScreensClasses();
    RegisterEditorClasses();
    CClassInfoList::SGetInstance().Sort();
}
