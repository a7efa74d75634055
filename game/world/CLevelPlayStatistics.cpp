#include "game/world/CLevelPlayStatistics.h"

#include "game/world/CLevelOptions.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"

OMBRISALT_IMPLEMENT_CLASS(CLevelPlayStats, 1.0)

void CLevelPlayStats::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CLevelPlayStats;
    d.Add(&C::m_ClickAssistsUsed, "Click Assists Used", 0u);
    d.Add(&C::m_MegaClickAssistsUsed, "Mega Click Assists Used", 0u);
    d.Add(&C::m_MadeThreeInARow, "Made Three In A Row", 0u);
    d.Add(&C::m_BulldozerUsed, "Buldozer Used", 0u);
    d.Add(&C::m_SignMoved, "Sign Moved", 0u);
    d.Add(&C::m_SignInfluencedCustomer, "Sign Influenced Customer", 0u);
    d.Add(&C::m_ForemanMovedManually, "Foreman Moved Manually", 0u);
    d.Add(&C::m_ForemanMovedAutomatically, "Foreman Moved Automatically", 0u);
    d.Add(&C::m_PacifierUsed, "Pacifierused", 0u);
    d.Add(&C::m_PokeSoundsPlayed, "Poke Sounds Played", 0u);
    d.Add(&C::m_EarlyClickAssistAttempts, "Early Click Assist Attempts", 0u);
    d.Add(&C::m_CantBuildThatHere, "Cant Build That Here", 0u);
    d.Add(&C::m_CrewNotAvailable, "Crew Not Available", 0u);
    d.Add(&C::m_UnfinishedCantMoveIn, "Unfinished Cant Move In", 0u);
    d.Add(&C::m_OccupiedCantMoveIn, "Occupied Cant Move In", 0u);
    d.Add(&C::m_WrongOrderCantMoveIn, "Wrong Order Cant Move In", 0u);
    d.Add(&C::m_DraggedCustomerIn, "Dragged Customer In", 0u);
    d.Add(&C::m_ClickedCustomerIn, "Clicked Customer In", 0u);
    d.Add(&C::m_DraggedUpgradeIn, "Dragged Upgrade In", 0u);
    d.Add(&C::m_ClickedUpgradeIn, "Clicked Upgrade In", 0u);
    d.Add(&C::m_RepaintDifferentColor, "Repaint Different Color", 0u);
    d.Add(&C::m_RepaintSameColor, "Repaint Same Color", 0u);
    d.Add(&C::m_CrewWorkingSum, "", 0.0f);
    d.Add(&C::m_Clicks, "", 0);
    d.Add(&C::m_AssistedClicks, "", 0);
    d.Add(&C::m_SecondsInLevel, "", 0.0f);
    d.Add(&C::m_SecondsNoCrewWorking, "", 0.0f);
    d.Add(&C::m_Seconds1CrewWorking, "", 0.0f);
    d.Add(&C::m_Seconds2CrewsWorking, "", 0.0f);
    d.Add(&C::m_Seconds3CrewsWorking, "", 0.0f);
    d.Add(&C::m_Seconds4CrewsWorking, "", 0.0f);
    d.Add(&C::m_Seconds5OrMoreCrewsWorking, "", 0.0f);
    d.Add(&C::m_LeftoverMegaSeconds, "Leftover Mega ", 0.0f).Units("seconds");
    d.Add(&C::m_LeftoverPacifiers, "Leftover Pacifiers", 0);
    d.Add(&C::m_LevelUpdates, "", 0).Level(0);
    d.Add(&C::m_PFrameRateSum, "", 0.0f).Level(0);
    d.Add(&C::m_AFrameRateSum, "", 0.0f).Level(0);
}

CLevelPlayStats::CLevelPlayStats()
{
    InitDeclaredProperties();
}

CLevelPlayStats::~CLevelPlayStats()
{
    DestroyDeclaredProperties();
}

CLevelPlayStats* CLevelPlayStats::SGetCurrent()
{
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (!level)
        return nullptr;
    if (!level->m_PlayStats)
        level->m_PlayStats = new CLevelPlayStats;
    return level->m_PlayStats;
}

float& CLevelPlayStats::SecondsWithCrewsWorking(uint32_t crews)
{
    switch (crews) {
    case 0:
        return m_SecondsNoCrewWorking;
    case 1:
        return m_Seconds1CrewWorking;
    case 2:
        return m_Seconds2CrewsWorking;
    case 3:
        return m_Seconds3CrewsWorking;
    case 4:
        return m_Seconds4CrewsWorking;
    default:
        return m_Seconds5OrMoreCrewsWorking;
    }
}

void CLevelPlayStats::AddPlayingUpdate(uint32_t crewsWorking)
{
    constexpr float kStep = 1.0f / 60.0f;
    m_SecondsInLevel += kStep;
    SecondsWithCrewsWorking(crewsWorking) += kStep;
}

void CLevelPlayStats::AddLevelUpdate(float pFrameRate, float aFrameRate)
{
    ++m_LevelUpdates;
    m_PFrameRateSum += pFrameRate;
    m_AFrameRateSum += aFrameRate;
}
