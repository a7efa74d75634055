#include "game/world/CGoal.h"

#include "objects/CBoolProperty.h"
#include "objects/CFloatProperty.h"

OMBRISALT_IMPLEMENT_ABSTRACT_CLASS(CGoal, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CRevenueGoal, 1.0)

void CGoal::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CGoal::m_AchievedPreviously, "Achieved Previously", false).Level(kLevelHidden);
    d.Add(&CGoal::m_AchievedThisTime, "Achieved This Time", false).Level(kLevelHidden);
    d.Add(&CGoal::m_AwardedThisTime, "Awarded This Time", false).Level(kLevelHidden);
    d.Add(&CGoal::m_Failed, "Failed", false).Level(kLevelHidden);
}

CGoal::CGoal()
{
    InitDeclaredProperties();
}

CGoal::~CGoal()
{
    DestroyDeclaredProperties();
}

void CRevenueGoal::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CRevenueGoal::m_Revenue, "Revenue", 0.0f).Units("Thousand $");
}

CRevenueGoal::CRevenueGoal()
{
    InitDeclaredProperties();
}

CRevenueGoal::~CRevenueGoal()
{
    DestroyDeclaredProperties();
}
