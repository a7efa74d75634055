#pragma once
// Periods: each level belongs to one (by index, its "Period"), a decade with
// its own HUD backdrop, customers, sounds, songs and end-of-level texts.
// The end-of-level texts are dealt like shuffled decks: every text of an
// array is shown once before any repeats.
#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"
#include "objects/CPropertyArrayProperty.h"

#include <cstdint>
#include <vector>

class CFrameOverlayPositionMarker;

class CPeriod : public CObject {
    OMBRISALT_REFLECTED(CPeriod, CObject)
public:
    CPeriod();
    ~CPeriod() override;

    // Empty when the array is; otherwise the next card of the array's deck,
    // which is refilled and shuffled (game generator) whenever it runs out.
    CJString GetNextLevelFailedString();
    CJString GetNextLevelSuccessBasicString();
    CJString GetNextLevelSuccessExpertString();

    // The position marker whose ID is "Period Year" in the rules' level
    // select overlay set; null when there is none or it is another kind.
    CFrameOverlayPositionMarker* FindLevelSelectElement();

    CJString m_PeriodYear;
    int32_t m_HudBackground = 0;
    CPropertyArray<int32_t> m_CustomerStyles;
    int32_t m_OptionalGoalAchievedAudio = 0;
    int32_t m_PhoneRingAudio = 0;
    int32_t m_GreeterRingAudio = 0;
    int32_t m_IntroMusic = 0;
    int32_t m_MainLoopMusic = 0;
    CPropertyArray<CJString> m_LevelFailedStrings;
    CPropertyArray<CJString> m_LevelSuccessBasicStrings;
    CPropertyArray<CJString> m_LevelSuccessExpertStrings;

private:
    static CJString DealFrom(const CPropertyArray<CJString>& texts, std::vector<uint32_t>& deck);

    std::vector<uint32_t> m_FailedDeck;
    std::vector<uint32_t> m_BasicDeck;
    std::vector<uint32_t> m_ExpertDeck;
};

class CPeriodList : public CObjectArrayBaseTemplate<CPeriod> {
public:
    CPeriodList();
};

// "Period" under "Resources", made on first use.
CPeriodList& GetPeriodList();
// The period of the current level's "Period" index (the first for an index
// past the list); null without a current level or periods.
CPeriod* GetCurrentPeriod();
