#include "game/screens/CTownMap.h"

CMenuWindow* OpenTownMap()
{
    return nullptr;
}
