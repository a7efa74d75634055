#include "game/screens/RegisterGameScreensClasses.h"

#include "game/screens/CDecadeTransition.h"
#include "game/screens/CAdvice.h"
#include "game/screens/CStats.h"
#include "game/screens/CStory.h"

void RegisterGameScreensClasses()
{
    CPlayerStatsForLevel::SGetClassInfo();
    CPlayerStats::SGetClassInfo();
    CStats::SGetClassInfo();
    CDecadeTransition::SGetClassInfo();
    CStoryOptions::SGetClassInfo();
    RegisterAdviceClasses();
}
