#include "game/screens/RegisterGameScreensClasses.h"

#include "game/screens/CDecadeTransition.h"
#include "game/screens/CAdvice.h"
#include "game/screens/CLifeRewards.h"
#include "game/screens/CStats.h"
#include "game/screens/CStory.h"

void RegisterGameScreensClasses()
{
    CPlayerStatsForLevel::SGetClassInfo();
    CPlayerStats::SGetClassInfo();
    CStats::SGetClassInfo();
    CDecadeTransition::SGetClassInfo();
    CLifeRewards::SGetClassInfo();
    CStoryOptions::SGetClassInfo();
    RegisterAdviceClasses();
}
