#include "game/screens/RegisterGameScreensClasses.h"

#include "game/screens/CAchievement.h"
#include "game/screens/CAdvice.h"
#include "game/screens/CDecadeTransition.h"
#include "game/screens/CEndOfLevel.h"
#include "game/screens/CLifeRewards.h"
#include "game/screens/COptionsMenu.h"
#include "game/screens/CPauseMenu.h"
#include "game/screens/CPlayerSelect.h"
#include "game/screens/CShop.h"
#include "game/screens/CStats.h"
#include "game/screens/CStory.h"
#include "game/screens/CTips.h"
#include "game/screens/CTownMap.h"
#include "game/screens/CTrophyRoom.h"
#include "game/screens/CTutorialPopUp.h"
#include "game/screens/ScreensGlobals.h"
#include "game/screens/ScreensHooks.h"

void RegisterGameScreensClasses()
{
    CPlayerStatsForLevel::SGetClassInfo();
    CPlayerStats::SGetClassInfo();
    CStats::SGetClassInfo();
    RegisterPlayerSelectTexts();
    CDecadeTransition::SGetClassInfo();
    CLifeRewards::SGetClassInfo();
    CStoryOptions::SGetClassInfo();
    CAchievement::SGetClassInfo();
    CAchievementOptions::SGetClassInfo();
    CAchievementWorkVariables::SGetClassInfo();
    CAchievementHistory::SGetClassInfo();
    RegisterAchievementProperties();
    CAchievementFrameOverlayOverlay::SGetClassInfo();
    RegisterAdviceClasses();
    CEndOfLevelOptions::SGetClassInfo();
    CSpritePlugInRevealOptionalGoals::SGetClassInfo();
    CTipsOptions::SGetClassInfo();
    CRewardsUnlockFlierAI::SGetClassInfo();
    CShoppingPositionMarkerFrameOverlay::SGetClassInfo();
    CBuildableItemFrameOverlay::SGetClassInfo();
    CShoppingUpgradeButton::SGetClassInfo();
    RegisterTutorialClasses();
    RegisterOptionsMenuTexts();
    RegisterPauseMenuTexts();
    RegisterGameScreensTexts();
    InstallGameScreensHooks();
}
