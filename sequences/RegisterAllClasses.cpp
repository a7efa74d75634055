#include "sequences/RegisterAllClasses.h"

#include "objects/CClassInfo.h"
#include "sequences/RegisterSequencesClasses.h"
#include "shell/RegisterShellClasses.h"

void RegisterAllClasses()
{
    RegisterShellClasses();
    RegisterSequencesClasses();
    CClassInfoList::SGetInstance().Sort();
}
