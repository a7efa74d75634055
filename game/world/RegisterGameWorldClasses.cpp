#include "game/world/RegisterGameWorldClasses.h"

void RegisterGameWorldClasses()
{
}
