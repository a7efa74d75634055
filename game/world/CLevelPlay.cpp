#include "game/world/CLevelPlay.h"

#include "foundation/CLocalizationTable.h"
#include "game/business/CCrew.h"
#include "game/business/CForeman.h"
#include "game/business/CSignpost.h"
#include "game/business/CUpgrade.h"
#include "game/business/CUpgradeButton.h"
#include "game/business/CUpgradeSlot.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/CSpriteAI.h"
#include "game/scripting/CSpritePlugIn.h"
#include "game/world/CGameState.h"
#include "game/world/CGoal.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CPeriod.h"
#include "game/world/CPlayAnimationOnceSpriteAI.h"
#include "game/world/CPlayfield.h"
#include "game/world/CRules.h"
#include "game/world/WorldHooks.h"
#include "objects/CMessage.h"
#include "sequences/CSequence.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "shell/CGameBase.h"
#include "shell/CScreenFrame.h"

#include <cmath>

namespace {

// A quotient whose denominator is 0 (no play time, no updates yet) is 0.
float Ratio(float numerator, float denominator)
{
    return denominator != 0.0f ? numerator / denominator : 0.0f;
}

// The list's float with no decimals would print every digit ("%g").
void AddWholeNumber(CTextSubstitutionList& list, const char* key, float value)
{
    CJString text;
    text.AppendFloat(value, 0, 1, 0);
    list.AddText(key, text);
}

bool IsPresentAndNotDone(const CGoal* goal)
{
    return goal && !goal->m_AchievedThisTime;
}

void BroadcastToCurrentPlayfield(CMessage& message)
{
    if (CPlayfield* playfield = GetCurrentPlayfield())
        playfield->BroadcastMessage(message);
}

CSprite* NewSpriteAt(CFPoint position, CSpriteAI* ai)
{
    auto* sprite = new CSprite;
    sprite->SetPosition(position.x, position.y);
    if (ai)
        sprite->AddAI(ai);
    return sprite;
}

} // namespace

CSprite* SpawnOneShotAnimation(int32_t sequence, CFPoint position, const char* layerName)
{
    CPlayfield* playfield = GetCurrentPlayfield();
    if (!playfield || sequence <= 0)
        return nullptr;
    CSprite* sprite = NewSpriteAt(position, new CPlayAnimationOnceSpriteAI);
    sprite->SetImageSequence(uint32_t(sequence));
    if (CSequence* s = sprite->GetImageSequence())
        sprite->SetBlitType(&s->GetBlitType());
    playfield->FindOrAddLayer(layerName)->AddSprite(sprite);
    return sprite;
}

void SpawnStarGoalEffect(CFPoint overlayPosition)
{
    const int32_t sequence = GetSequenceList().Find("StarGoalEffect");
    SpawnOneShotAnimation(sequence, {overlayPosition.x + 24.0f, overlayPosition.y + 24.0f}, "Effects");
}

void CLevelOptions::StartPlay()
{
    CTextSubstitutionList& texts = GetGlobalTextSubstitutions();
    texts.RemoveAll();
    CopyPlayerHistoryTexts(texts);
    GenerateFutureOrders();
    MarkPreviouslyAchievedGoals();
}

void CLevelOptions::Update(float seconds, bool screenOpen)
{
    if (m_PendingRevenue > 0.0f) {
        CRules& rules = CRules::SGetInstance();
        const float target = std::max(GetRevenueGoalTarget(), m_RequiredRevenue);
        const float perCustomer = Ratio(target, float(m_Customers));
        const float fall = Ratio(perCustomer, rules.m_RevenueCountUp) * seconds;
        CGameState* state = CGameState::SGetCurrent();
        const float revenue = state ? state->m_RevenueK : 0.0f;
        const float shownBefore = revenue - m_PendingRevenue;
        m_PendingRevenue = std::max(0.0f, m_PendingRevenue - fall);
        const float shownNow = revenue - m_PendingRevenue;
        // The requirement is the current level's: the neighbourhood viewer
        // may show another level than the one counting up.
        CLevelOptions* current = SGetCurrent();
        const float required = current ? current->m_RequiredRevenue : m_RequiredRevenue;
        if (shownBefore < required && shownNow >= required) {
            CAudioPlaySettings settings;
            settings.pitch = 1.0f;
            settings.volume = 1.0f;
            GetAudioList().PlayAudioByIndex(rules.m_GoalAchievedAudio, settings);
            SpawnOneShotAnimation(rules.m_GoalAchievedSequence,
                                  {float(rules.m_GoalAchievedSequencePos.x), float(rules.m_GoalAchievedSequencePos.y)},
                                  "Effects");
        }
    }
    if (screenOpen)
        return;
    CLevelOptions* current = SGetCurrent();
    if (!(current ? current->m_PlayerInteractionComplete : m_PlayerInteractionComplete))
        m_SecondsPlayed += seconds;
    for (uint32_t i = 0; i < m_OptionalGoals.GetCount(); ++i)
        if (IsPresentAndNotDone(m_OptionalGoals[i]))
            m_OptionalGoals[i]->Update(seconds);
    CGameBase* base = CGameBase::SGetInstance();
    if (!m_PlayStats)
        m_PlayStats = new CLevelPlayStats;
    m_PlayStats->AddLevelUpdate(base ? base->GetProcessingRate() : 0.0f, base ? base->GetFrameRate() : 0.0f);
}

void CLevelOptions::HandleMessage(CMessage& message)
{
    for (uint32_t i = 0; i < m_OptionalGoals.GetCount(); ++i)
        if (IsPresentAndNotDone(m_OptionalGoals[i]))
            m_OptionalGoals[i]->HandleMessage(message);
    if (message.IsType("LevelComplete")) {
        for (uint32_t i = 0; i < m_OptionalGoals.GetCount(); ++i) {
            CGoal* goal = m_OptionalGoals[i];
            if (goal && !goal->m_AchievedPreviously && !goal->m_AchievedThisTime)
                goal->SetFailed();
        }
    }
    if (message.IsType("Enable Customers"))
        m_CustomerSpawningDisabled = false;
    if (message.IsType("Disable Customers"))
        m_CustomerSpawningDisabled = true;
    if (message.IsType("Enable Pacifier"))
        m_PacifierPickupDisabled = false;
    if (message.IsType("Enable RequireClickAssist"))
        m_RequireClickAssist = true;
    if (message.IsType("Disable RequireClickAssist"))
        m_RequireClickAssist = false;
    if (message.IsType("Enable RequireMegaClickAssist"))
        m_RequireMegaClickAssist = true;
    if (message.IsType("Disable RequireMegaClickAssist"))
        m_RequireMegaClickAssist = false;
}

void CompletePlayerInteraction()
{
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (!level)
        return;
    level->m_PlayerInteractionComplete = true;
    CMessage message = CMessage::CMessageByName("PlayerInteractionComplete");
    level->HandleMessage(message);
    BroadcastToCurrentPlayfield(message);
    GetGlobalTextSubstitutions().RemoveAll();
    // The song player reacts on its next update: it reads the flag set
    // above and starts no more bonus music.
}

void CLevelOptions::AddLevelStats(CTextSubstitutionList& list)
{
    CGameScreensHooks& hooks = GetGameScreensHooks();
    CLevelPlayStats empty;
    CLevelPlayStats& stats = m_PlayStats ? *m_PlayStats : empty;
    const float T = stats.m_SecondsInLevel;
    const float S = m_SecondsPlayed;
    const float N = float(stats.m_LevelUpdates);
    const float t0 = stats.m_SecondsNoCrewWorking;
    const float t1 = stats.m_Seconds1CrewWorking;
    const float t2 = stats.m_Seconds2CrewsWorking;
    const float t3 = stats.m_Seconds3CrewsWorking;
    const float t4 = stats.m_Seconds4CrewsWorking;
    const float t5 = stats.m_Seconds5OrMoreCrewsWorking;
    const float minutes = S / 60.0f;
    const float weighted = t1 + 2.0f * t2 + 3.0f * t3 + 4.0f * t4 + 5.0f * t5;

    CJString difficulty(hooks.IsStandardPlayMode() ? "Standard" : "Kids");
    GetLocalizationTable().TranslateAndCheck(difficulty);
    list.AddText("Difficulty", difficulty);
    list.AddText("Year", m_DisplayName.GetTranslation().IsEmpty() ? m_DisplayName.GetText() : m_DisplayName.GetTranslation());
    list.AddNumber("Seconds", int32_t(std::lround(S)));
    AddWholeNumber(list, "P_FPS", Ratio(stats.m_PFrameRateSum, N));
    AddWholeNumber(list, "A_FPS", Ratio(stats.m_AFrameRateSum, N));
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    const int32_t width = screen.GetWidth();
    const int32_t height = screen.GetHeight();
    list.AddNumber("FullScreen", screen.IsFullScreen() ? 1 : 0);
    list.AddNumber("Screen Width", width);
    list.AddNumber("Screen Height", height);
    list.AddFloat("Screen AspectRatio", Ratio(float(width), float(height)), 3);
    list.AddFloat("AvgCrewsWorking", Ratio(stats.m_CrewWorkingSum, S), 1);
    list.AddFloat("CrewWorkingPct", T != 0.0f ? (1.0f - t0 / T) * 100.0f : 0.0f, 1);
    list.AddFloat("2OrMoreCrewWorkingPct", Ratio(t2 + t3 + t4 + t5, T) * 100.0f, 1);
    list.AddFloat("3OrMoreCrewWorkingPct", Ratio(t3 + t4 + t5, T) * 100.0f, 1);
    list.AddFloat("4OrMoreCrewWorkingPct", Ratio(t4 + t5, T) * 100.0f, 1);
    list.AddFloat("AvgCrewsWorking2", Ratio(weighted, T), 1);
    list.AddFloat("AvgCrewsWorkingWhenWorking", Ratio(weighted, T - t0), 1);
    list.AddFloat("ClicksPerMinute", std::trunc(Ratio(float(stats.m_Clicks), minutes)), 1);
    list.AddFloat("NonAssistClicksPerMinute", std::trunc(Ratio(float(stats.m_Clicks - stats.m_AssistedClicks), minutes)),
                  1);
    static const char* const kGoalKeys[] = {"OptionalGoal1", "OptionalGoal2", "OptionalGoal3"};
    for (uint32_t i = 0; i < 3; ++i) {
        const CGoal* goal = i < m_OptionalGoals.GetCount() ? m_OptionalGoals[i] : nullptr;
        list.AddText(kGoalKeys[i], CJString(goal ? (goal->m_AchievedThisTime ? "1" : "0") : ""));
    }
    list.AddObjectProperties(stats, "", "");
    list.AddText("Advice", hooks.GetLastAdviceName());
}

void PlaceSlotSprites()
{
    CPeriod* period = GetCurrentPeriod();
    CPlayfield* playfield = GetCurrentPlayfield();
    if (!period || period->m_HudBackground <= 0 || !playfield)
        return;
    CGameState* state = CGameState::SGetCurrent();
    CUpgradeSlotList& slots = GetUpgradeSlotList();
    CUpgradeList& upgrades = GetUpgradeList();
    for (int32_t i = 0; i < slots.GetCount(); ++i) {
        CUpgradeSlot* slot = slots.GetObject(i);
        const int32_t held = state ? state->GetUpgradeInSlot(i) : 0;
        if (!slot || (held == 0 && !slot->m_ShowButtonAlways))
            continue;
        CFPoint position{0.0f, 0.0f};
        if (!GetUpgradeSlotMarkerPosition(uint32_t(i), position))
            continue;
        CUpgrade* upgrade = held >= 0 && held < upgrades.GetCount() ? upgrades.GetObject(held) : nullptr;
        if (!upgrade)
            continue;
        if (upgrade->IsKindOf(CCrewUpgrade::SGetClassInfo())) {
            const int32_t phase = static_cast<CCrewUpgrade*>(upgrade)->m_BuildPhase;
            if (state && state->GetUpgradeForBuildPhase(phase))
                playfield->AddSprite(NewSpriteAt(position, CreateCrewAI(phase)), "Crew");
            continue;
        }
        if (!upgrade->HasButton())
            continue;
        CSprite* sprite = NewSpriteAt(position, upgrade->CreateButtonAI(i));
        if (auto* plugIn = dynamic_cast<CSpritePlugIn*>(upgrade->m_SpritePlugIn.Clone()))
            sprite->AddPlugIn(plugIn);
        playfield->AddSprite(sprite, "UI");
        // A foreman or a signpost also stands on the "Crew" layer; the
        // signpost's sprite carries the rules' signpost plug-in as well.
        bool isSignpost = false;
        CSpriteAI* companion = CreateForemanAI(*upgrade);
        if (!companion) {
            companion = CreateSignpostAI(*upgrade);
            isSignpost = companion != nullptr;
        }
        if (companion) {
            CSprite* extra = NewSpriteAt(position, companion);
            if (isSignpost)
                if (auto* sign = dynamic_cast<CSpritePlugIn*>(CRules::SGetInstance().m_Signpost.Clone()))
                    extra->AddPlugIn(sign);
            playfield->AddSprite(extra, "Crew");
        }
    }
}
