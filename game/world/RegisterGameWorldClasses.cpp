#include "game/world/RegisterGameWorldClasses.h"

#include "game/world/CPlayfield.h"

void RegisterGameWorldClasses()
{
    CPlayfieldLayer::SGetClassInfo();
    CPlayfield::SGetClassInfo();
}
