#include "game/screens/RegisterGameScreensClasses.h"

#include "game/screens/CAdvice.h"
#include "game/screens/CStats.h"

void RegisterGameScreensClasses()
{
    CPlayerStatsForLevel::SGetClassInfo();
    CPlayerStats::SGetClassInfo();
    CStats::SGetClassInfo();
    RegisterAdviceClasses();
}
