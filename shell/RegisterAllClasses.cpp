#include "shell/RegisterAllClasses.h"

#include "objects/CClassInfo.h"
#include "shell/RegisterShellClasses.h"

void RegisterAllClasses()
{
    RegisterShellClasses();
    CClassInfoList::SGetInstance().Sort();
}
