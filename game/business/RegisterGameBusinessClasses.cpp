#include "game/business/RegisterGameBusinessClasses.h"

#include "game/business/CBuildPhase.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CCrew.h"
#include "game/business/CCustomer.h"
#include "game/business/CCustomerOptions.h"
#include "game/business/CCustomerStyleSheet.h"
#include "game/business/CDeliverer.h"
#include "game/business/CForeman.h"
#include "game/business/CGreeterUpgrade.h"
#include "game/business/CIllegalMoveDisplay.h"
#include "game/business/CPacifierUpgrade.h"
#include "game/business/CScoreBalloonAI.h"
#include "game/business/CSignpost.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeButton.h"
#include "game/business/CUpgradeSlot.h"
#include "game/business/CWorkInProgress.h"

void RegisterGameBusinessClasses()
{
    CUpgradeSlot::SGetClassInfo();
    CUpgrade::SGetClassInfo();
    CBuildablePart::SGetClassInfo();
    CColorBuildablePart::SGetClassInfo();
    CCrewUpgrade::SGetClassInfo();
    CCrewSkillUpgrade::SGetClassInfo();
    CBuildPhase::SGetClassInfo();
    CBuildablePackage::SGetClassInfo();
    CCustomerStyleSheet::SGetClassInfo();
    CThreeInARowCounter::SGetClassInfo();
    CScoreBalloonAI::SGetClassInfo();
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
