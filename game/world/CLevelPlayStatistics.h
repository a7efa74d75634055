#pragma once
// What the player did during one play of a level. The level being played owns
// one; the parts that observe the events raise its counters, and the level
// statistics text turns them into rates.
#include "objects/CObject.h"

#include <cstdint>

class CLevelPlayStats : public CObject {
    OMBRISALT_REFLECTED(CLevelPlayStats, CObject)
public:
    CLevelPlayStats();
    ~CLevelPlayStats() override;

    // The statistics of the level in play, made (with defaults) and kept in
    // the level on first request; null when no level is current.
    static CLevelPlayStats* SGetCurrent();

    // One playing update of the game: 1/60 s whatever the real step, into
    // the level time and the bucket of that many crews working.
    void AddPlayingUpdate(uint32_t crewsWorking);
    // One level update: the count and the two frame-rate sums.
    void AddLevelUpdate(float pFrameRate, float aFrameRate);
    void AddClick() { ++m_Clicks; }
    // The seconds with that many crews working; 5 and above share one.
    float& SecondsWithCrewsWorking(uint32_t crews);

    uint32_t m_ClickAssistsUsed = 0;          // "Click Assists Used"
    uint32_t m_MegaClickAssistsUsed = 0;      // "Mega Click Assists Used"
    uint32_t m_MadeThreeInARow = 0;           // "Made Three In A Row"
    uint32_t m_BulldozerUsed = 0;             // "Buldozer Used"
    uint32_t m_SignMoved = 0;                 // "Sign Moved"
    uint32_t m_SignInfluencedCustomer = 0;    // "Sign Influenced Customer"
    uint32_t m_ForemanMovedManually = 0;      // "Foreman Moved Manually"
    uint32_t m_ForemanMovedAutomatically = 0; // "Foreman Moved Automatically"
    uint32_t m_PacifierUsed = 0;              // "Pacifierused"
    uint32_t m_PokeSoundsPlayed = 0;          // "Poke Sounds Played"
    uint32_t m_EarlyClickAssistAttempts = 0;  // "Early Click Assist Attempts"
    uint32_t m_CantBuildThatHere = 0;         // "Cant Build That Here"
    uint32_t m_CrewNotAvailable = 0;          // "Crew Not Available"
    uint32_t m_UnfinishedCantMoveIn = 0;      // "Unfinished Cant Move In"
    uint32_t m_OccupiedCantMoveIn = 0;        // "Occupied Cant Move In"
    uint32_t m_WrongOrderCantMoveIn = 0;      // "Wrong Order Cant Move In"
    uint32_t m_DraggedCustomerIn = 0;         // "Dragged Customer In"
    uint32_t m_ClickedCustomerIn = 0;         // "Clicked Customer In"
    uint32_t m_DraggedUpgradeIn = 0;          // "Dragged Upgrade In"
    uint32_t m_ClickedUpgradeIn = 0;          // "Clicked Upgrade In"
    uint32_t m_RepaintDifferentColor = 0;     // "Repaint Different Color"
    uint32_t m_RepaintSameColor = 0;          // "Repaint Same Color"
    float m_CrewWorkingSum = 0.0f;
    int32_t m_Clicks = 0;
    int32_t m_AssistedClicks = 0;
    float m_SecondsInLevel = 0.0f;
    float m_SecondsNoCrewWorking = 0.0f;
    float m_Seconds1CrewWorking = 0.0f;
    float m_Seconds2CrewsWorking = 0.0f;
    float m_Seconds3CrewsWorking = 0.0f;
    float m_Seconds4CrewsWorking = 0.0f;
    float m_Seconds5OrMoreCrewsWorking = 0.0f;
    float m_LeftoverMegaSeconds = 0.0f; // "Leftover Mega "
    int32_t m_LeftoverPacifiers = 0;    // "Leftover Pacifiers"
    int32_t m_LevelUpdates = 0;
    float m_PFrameRateSum = 0.0f;
    float m_AFrameRateSum = 0.0f;
};
