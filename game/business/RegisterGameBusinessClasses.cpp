#include "game/business/RegisterGameBusinessClasses.h"

#include "game/business/CCrew.h"
#include "game/business/CCustomer.h"
#include "game/business/CCustomerOptions.h"
#include "game/business/CDeliverer.h"
#include "game/business/CForeman.h"
#include "game/business/CGreeterUpgrade.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/business/CPacifierUpgrade.h"
#include "game/business/CSignpost.h"
#include "game/business/CThreeInARowBonus.h"
#include "game/business/CUpgradeButton.h"
#include "game/business/CUpgradeKinds.h"
#include "game/business/CWorkInProgress.h"

void RegisterGameBusinessClasses()
{
    CBulldozerUpgrade::SGetClassInfo();
    CIllegalMoveMessage::SGetClassInfo();
    CCrew::SGetClassInfo();
    CCrewQuantityUpgrade::SGetClassInfo();
    CForeman::SGetClassInfo();
    CForemanUpgrade::SGetClassInfo();
    CIllegalMoveMessageOptions::SGetClassInfo();
    CUpgradeButton::SGetClassInfo();
    CThreeInARowCounterOptions::SGetClassInfo();
    CSignpostUpgrade::SGetClassInfo();
    CSignpost::SGetClassInfo();
    CDelivererUpgrade::SGetClassInfo();
    CDelivererUpgradeButton::SGetClassInfo();
    CCustomer::SGetClassInfo();
    CCustomerOptions::SGetClassInfo();
    CGreeterUpgrade::SGetClassInfo();
    CGreeterUpgradeButton::SGetClassInfo();
    CPacifierUpgrade::SGetClassInfo();
    CPacifierUpgradeButton::SGetClassInfo();
    CWorkInProgress::SGetClassInfo();
}
