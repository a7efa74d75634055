#include "game/world/CGoalOptions.h"

#include "game/scripting/CAudio.h"
#include "game/world/CGeneralObjects.h"
#include "images/CFont.h"
#include "images/CFontList.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CPointProperty.h"
#include "objects/CStringProperty.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"

OMBRISALT_IMPLEMENT_CLASS(CGoalOptions, 1.0)

void CGoalOptions::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CGoalOptions;
    auto sequence = [&d](int32_t C::*member, const char* name, const char* fallback) {
        d.AddListReference<CGoalLookReferenceProperty>(member, name, &GetSequenceList(), fallback);
    };
    auto font = [&d](int32_t C::*member, const char* name, const char* fallback) {
        d.AddListReference<CGoalLookReferenceProperty>(member, name, &GetFontList(), fallback);
    };
    auto audio = [&d](int32_t C::*member, const char* name) {
        d.AddListReference<CDataReferenceProperty>(member, name, &GetAudioList(), nullptr);
    };
    sequence(&C::m_AnyoneSequence, "Anyone Sequence", nullptr);
    sequence(&C::m_EveryoneSequence, "Everyone Sequence", nullptr);
    sequence(&C::m_RevenueSequence, "Revenue Sequence", nullptr);
    d.Add(&C::m_RevenueText, "Revenue Text", "%s[DollarSign] %s[Revenue]");
    sequence(&C::m_TimerSequence, "Timer Sequence", nullptr);
    d.Add(&C::m_TextForTimer, "Text for Timer", "Finish in %s[clock] seconds");
    font(&C::m_TimerFont, "Timer Font", nullptr);
    sequence(&C::m_FullHeartSequence, "Full Heart Sequence", nullptr);
    sequence(&C::m_PartialHeartSequence, "Partial Heart Sequence", nullptr);
    d.Add(&C::m_TextForInARow, "Text for In A Row ", "%s[Count] %s[Thing] in a row");
    sequence(&C::m_BackgroundSequence, "Background Sequence", "Goal_Incomplete");
    sequence(&C::m_AchievedSequence, "Achived Sequence", "Goal_Complete");
    sequence(&C::m_FailedSequence, "Failed Sequence", "Goal_Failed");
    d.Add(&C::m_ContentOffset, "ContentOffset", CPoint{44, 20});
    font(&C::m_Font, "Font", "Plain White 12");
    font(&C::m_AchievedFont, "Achived Font", "Plain Green 12");
    font(&C::m_FailedFont, "Failed Font", "Plain Red 12");
    d.Add(&C::m_Spacing, "Spacing", 2);
    d.Add(&C::m_MaxHeight, "Max Height", 34);
    d.Add(&C::m_MaxWidth, "Max Width", 150).Units("pixels");
    d.Add(&C::m_GoalCountDelay, "Life Rewards Menu/Goal Count Delay", 0.5f);
    d.Add(&C::m_GoalsPerSecond, "Life Rewards Menu/Goals Per Second", 22);
    audio(&C::m_StartCountingAudio5, "Start Counting 5 Or Less");
    audio(&C::m_StartCountingAudio10, "Start Counting 10 Or Less");
    audio(&C::m_StartCountingAudio15, "Start Counting 15 Or Less");
    audio(&C::m_StartCountingAudio20, "Start Counting 20 Or Less");
    audio(&C::m_StartCountingAudio25, "Start Counting 25 Or Less");
    audio(&C::m_StartCountingAudio30, "Start Counting 30 Or Less");
    audio(&C::m_DoneCountingBasicAudio, "Life Rewards Menu/Done Counting Basic Audio");
    audio(&C::m_DoneCountingExpertAudio, "Life Rewards Menu/Done Counting Expert Audio");
    d.Add(&C::m_SingleHeartText, "Single Heart Text", "1");
}

CGoalOptions::CGoalOptions()
{
    InitDeclaredProperties();
}

CGoalOptions::~CGoalOptions()
{
    DestroyDeclaredProperties();
}

CGoalOptions* CGoalOptions::SGetInstance()
{
    return &GetGeneralObjectAs<CGoalOptions>("Goal Options");
}

CSequence* CGoalOptions::GetSequence(int32_t index)
{
    CSequenceList& list = GetSequenceList();
    return index >= 0 && index < list.GetCount() ? list.GetObject(index) : nullptr;
}

CFont* CGoalOptions::GetFont(int32_t index)
{
    CFontList& list = GetFontList();
    return index >= 0 && index < list.GetCount() ? list.GetObject(index) : nullptr;
}
