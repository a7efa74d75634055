#include "game/business/RegisterGameBusinessClasses.h"

#include "game/business/CIllegalMoveDisplay.h"
#include "game/business/CUpgradeKinds.h"

void RegisterGameBusinessClasses()
{
    CBulldozerUpgrade::SGetClassInfo();
    CIllegalMoveMessage::SGetClassInfo();
    CIllegalMoveMessageOptions::SGetClassInfo();
}
