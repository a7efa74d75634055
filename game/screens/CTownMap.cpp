#include "game/screens/CTownMap.h"

#include "blit/CBlitTypeList.h"
#include "blit/CFrameInterface.h"
#include "foundation/CCommand.h"
#include "foundation/CLocalizedString.h"
#include "foundation/MathHelpers.h"
#include "foundation/SaturatingArithmetic.h"
#include "game/screens/CDecadeTransition.h"
#include "game/screens/CLifeRewards.h"
#include "game/screens/CStats.h"
#include "game/screens/CStory.h"
#include "game/screens/CTrophyRoom.h"
#include "game/screens/GameWindows.h"
#include "game/screens/OverlayScreen.h"
#include "game/screens/ScreensHooks.h"
#include "game/screens/ScreensGlobals.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameState.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPeriod.h"
#include "game/world/CRules.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "objects/CFloatProperty.h"
#include "objects/DeclaredClassBody.h"
#include "overlays/ButtonOverlays.h"
#include "overlays/CFrameOverlayTimeline.h"
#include "overlays/ImageOverlays.h"
#include "render/SurfaceHelpers.h"
#include "sequences/CSequence.h"
#include "sequences/CTextSubstitutionList.h"
#include "shell/CScreenFrame.h"
#include "ui/CJButton.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <map>
#include <numbers>

namespace {

CTownMapWindow* g_Map = nullptr;

constexpr float kHoverZoom = 0.1f;
constexpr float kHoverZoomSeconds = 0.1f;

CLocalizedString& MapTitle()
{
    static CLocalizedString text("Map");
    return text;
}

CLocalizedString& PlayText()
{
    static CLocalizedString text("Play");
    return text;
}

CLocalizedString& ReplayText()
{
    static CLocalizedString text("Replay");
    return text;
}

CFrameOverlayOptions* MapOverlay()
{
    CFrameOverlayOptionsList& overlays = GetFrameOverlayOptionsList();
    const int32_t index = CRules::SGetInstance().m_LevelSelectMenuFrameOverlay;
    return index >= 0 && index < overlays.GetCount() ? overlays.GetObject(index) : nullptr;
}

void PlayAudio(int32_t index)
{
    GetAudioList().PlayAudioByIndex(index);
}

uint32_t LevelCount()
{
    CLevelSet* levels = FindLevels();
    return levels ? levels->GetCount() : 0;
}

CLevelOptions* LevelAt(uint32_t level)
{
    CLevelSet* levels = FindLevels();
    return levels ? levels->GetLevel(level) : nullptr;
}

CPlayerStats* Player()
{
    return CStats::SGetInstance().GetCurrentPlayer();
}

// Never made past the level count.
CPlayerStatsForLevel* RecordOf(int64_t level)
{
    CPlayerStats* player = Player();
    if (!player || level < 0 || level >= int64_t(LevelCount()))
        return nullptr;
    return player->GetLevelStats(uint32_t(level));
}

bool IsCompleted(int64_t level)
{
    CPlayerStatsForLevel* record = RecordOf(level);
    return record && record->HasBeenCompleted();
}

bool IsMarkedCompleted(int64_t level)
{
    CPlayerStatsForLevel* record = RecordOf(level);
    return record && record->IsMarkedCompletedOnMap();
}

CPoint Centre(const CJButton* button)
{
    const CRect& rect = button->GetRect();
    return CPoint{int32_t((int64_t(rect.left) + rect.right) / 2), int32_t((int64_t(rect.top) + rect.bottom) / 2)};
}

CPoint TopLeft(const CJButton* button)
{
    const CRect& rect = button->GetRect();
    return CPoint{rect.left, rect.top};
}

// The reward's two frames: the expert look and its hover.
void GiveRewardLook(CJButton* button, const CLifeRewards* reward)
{
    // Index 0 is the library's "none".
    CFrame* look = reward->m_MapScreenExpertButtonFrameIndex > 0
        ? GetOverlayFrame(reward->m_MapScreenExpertButtonFrameIndex)
        : nullptr;
    CFrame* hover = reward->m_MapScreenExpertButtonHighlightFrameIndex > 0
        ? GetOverlayFrame(reward->m_MapScreenExpertButtonHighlightFrameIndex)
        : nullptr;
    if (!look)
        return;
    const CPoint at = TopLeft(button);
    button->SetImages(look, look, hover ? hover : look, false, at.x, at.y);
}

bool IsLastReward(const CLifeRewards* reward)
{
    CLifeRewardsList& list = GetLifeRewardList();
    const int32_t count = list.GetCount();
    return count == 0 || list.GetObject(count - 1) == reward;
}

// The last reward's story page never shown: the visit that earned it was cut
// short (the program closed during its sequence), or the profile is older
// than the sequence. The profile decides, so the ending cannot be lost.
bool IsEndingOwed(const CLifeRewards* reward)
{
    const CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer();
    return player && player->m_NumStoryPagesViewed < kLastRewardStoryPage && IsLastReward(reward);
}

class CSelectLevelCommand : public CCommand {
public:
    CSelectLevelCommand(CTownMapWindow* map, uint32_t level)
        : m_Map(map)
        , m_Level(level)
    {
    }
    void Execute() override { m_Map->SelectLevel(m_Level); }

private:
    CTownMapWindow* m_Map;
    uint32_t m_Level;
};

class COpenRewardsCommand : public CCommand {
public:
    explicit COpenRewardsCommand(uint32_t level)
        : m_Level(level)
    {
    }
    void Execute() override { OpenLifeRewardWindow(m_Level, true, nullptr); }

private:
    uint32_t m_Level;
};

// A transition's replay from the map: no continuation.
class CReplayTransitionCommand : public CCommand {
public:
    explicit CReplayTransitionCommand(CDecadeTransition* transition)
        : m_Transition(transition)
    {
    }
    void Execute() override { AddGameScreenWindow(new CDecadeTransitionWindow(nullptr, m_Transition, nullptr)); }

private:
    CDecadeTransition* m_Transition;
};

// The flier and the rewards screen may outlive the map: they reach it
// through the process-wide pointer.
void FlierArrived()
{
    if (g_Map)
        g_Map->OnFlierArrived();
}

void RewardsScreenClosed()
{
    if (g_Map)
        g_Map->OnRewardsScreenClosed();
}

void EnterSelectedLevel()
{
    if (CGameApp* game = CGameApp::SGetInstance())
        game->EnterCurrentLevel();
}

} // namespace

// --- the flier ---

OMBRISALT_DECLARED_CLASS(CRewardsUnlockFlierAI, 1.0)

void CRewardsUnlockFlierAI::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CRewardsUnlockFlierAI::m_AngleDegrees, "Angle Degrees", 0.0f);
}

void CRewardsUnlockFlierAI::Update(CSpriteUpdateRecord& record)
{
    UpdateNextAI(record);
}

void CRewardsUnlockFlierAI::PostDraw(CSpriteDrawRecord& record)
{
    CSpriteAI::PostDraw(record);
    CFrameOverlayOptionsList& overlays = GetFrameOverlayOptionsList();
    const int32_t index = CRules::SGetInstance().m_RewardsFlierOverlay;
    CFrameOverlayOptions* overlay = index >= 0 && index < overlays.GetCount() ? overlays.GetObject(index) : nullptr;
    if (!overlay || !record.sprite || !record.destination)
        return;
    // The timeline is the overlay kind that turns.
    if (auto* sparkles
        = dynamic_cast<CFrameOverlayTimeline*>(overlay->FindOverlay(CJString("Sparkles"), nullptr, nullptr)))
        sparkles->m_InitialRotation = m_AngleDegrees;
    const CFPoint at = record.sprite->GetPosition();
    CFrameOverlayDrawContext context;
    context.m_pTarget = record.destination;
    context.m_OffsetX = std::floor(at.x);
    context.m_OffsetY = std::floor(at.y);
    overlay->Draw(context);
}

float GetRewardsFlierAngle(float fromX, float fromY, float toX, float toY)
{
    constexpr double kTurn = 2.0 * std::numbers::pi;
    double angle = std::atan2(double(toY) - fromY, double(toX) - fromX);
    if (angle < 0.0)
        angle += kTurn;
    angle += std::numbers::pi / 2.0;
    if (angle >= kTurn)
        angle -= kTurn;
    return float(angle * 180.0 / std::numbers::pi);
}

// --- names ---

CJString GetLevelMarkerName(uint32_t level)
{
    char text[24];
    std::snprintf(text, sizeof text, "Level%03u", level);
    return CJString(text);
}

CJString GetLevelButtonImageName(int32_t period, uint32_t optionalGoals, uint32_t achieved)
{
    const uint32_t a = std::min(uint32_t(period) - 1u, 5u);
    const uint32_t b = optionalGoals < 2 ? 2u : (optionalGoals >= 4 ? 3u : optionalGoals);
    const uint32_t c = std::min(achieved, b);
    char text[48];
    std::snprintf(text, sizeof text, "LevelButtonActive%u%u%u", a, b, c);
    return CJString(text);
}

// --- the start-up layout ---

void LayOutLevelSelectMarkers()
{
    CFrameOverlayOptions* set = MapOverlay();
    CLevelSet* levels = FindLevels();
    if (!set || !levels)
        return;
    CRules& rules = CRules::SGetInstance();
    CPeriodList& periods = GetPeriodList();
    std::map<int32_t, uint32_t> countOfPeriod;
    const uint32_t count = levels->GetCount();
    for (uint32_t i = 0; i < count; ++i) {
        CLevelOptions* level = levels->GetLevel(i);
        if (!level)
            continue;
        const int32_t p = level->m_Period;
        uint32_t& placed = countOfPeriod[p];
        CPeriod* period = p >= 0 && p < periods.GetCount() ? periods.GetObject(p) : nullptr;
        CFrameOverlayPositionMarker* centre = period ? period->FindLevelSelectElement() : nullptr;
        if (centre) {
            // Wide intermediates: a quarter turn lands on the axis, not a pixel short.
            const double radians = double(rules.m_AngleBetweenLevels) * double(placed) * std::numbers::pi / 180.0;
            const double radius = double(rules.m_PeriodRadius);
            const int32_t x = TruncateToInt32(centre->m_Position.x + std::trunc(radius * std::cos(radians)));
            const int32_t y = TruncateToInt32(centre->m_Position.y + std::trunc(radius * std::sin(radians)));
            const CJString name = GetLevelMarkerName(i);
            if (CFrameOverlayPositionMarker* existing = set->FindPositionMarker(name)) {
                existing->m_Position = CPoint{x, y};
            } else if (rules.m_pPositionMarkerToClone) {
                auto* clone = dynamic_cast<CFrameOverlayPositionMarker*>(rules.m_pPositionMarkerToClone->Clone());
                if (clone) {
                    clone->m_ID = name;
                    char title[32];
                    std::snprintf(title, sizeof title, "Level %u", i + 1);
                    clone->m_Title = CTranslatedText(title);
                    clone->m_Position = CPoint{x, y};
                    set->Append(clone);
                }
            }
        }
        ++placed;
    }
}

// --- the window ---

CTownMapWindow::CTownMapWindow(CJWindow* parent)
    : CMenuWindow(parent, MapTitle())
{
    g_Map = this;
    if (CGameApp* game = CGameApp::SGetInstance())
        game->IncrementOpenScreens();
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    SetSize(int32_t(screen.GetWidth()), int32_t(screen.GetHeight()));
    if (CPlayerStats* player = Player())
        m_SelectedLevel = player->m_SelectedLevel;

    CFrameOverlayOptions* set = MapOverlay();
    const uint32_t count = LevelCount();
    m_LevelButtons.assign(count, nullptr);
    m_MarkedExpertNow.assign(count, false);
    CTextSubstitutionList values;
    FillSubstitutions(values);
    if (set)
        for (uint32_t i = 0; i < count; ++i)
            CreateLevelButton(*set, values, i);

    if (m_NewlyUnlockedLevel >= 0) {
        m_GlideFrom = GetLevelButton(uint32_t(m_NewlyUnlockedLevel - 1));
        m_GlideTo = GetLevelButton(uint32_t(m_NewlyUnlockedLevel));
        if (m_RewardsLevel < 0)
            m_SelectedLevel = uint32_t(m_NewlyUnlockedLevel);
    }
    MoveHighlightTo(GetLevelButton(m_SelectedLevel));
    if (!set)
        return;

    CDecadeTransitionList& transitions = GetDecadeTransitionList();
    for (int32_t t = 0; t < transitions.GetCount(); ++t) {
        CDecadeTransition* transition = transitions.GetObject(t);
        if (!transition || transition->m_PositionMarkerName.IsEmpty() || transition->m_LevelToDisplayBefore == 0)
            continue;
        // The first transition opens every new game: always seen.
        const uint32_t before = transition->m_LevelToDisplayBefore;
        if (before >= 2 && !IsCompleted(int64_t(before) - 2))
            continue;
        if (CJButton* button = set->CreateButtonWindow(transition->m_PositionMarkerName, &values)) {
            button->SetCommand(new CReplayTransitionCommand(transition));
            button->SetHoverZoom(kHoverZoom, kHoverZoomSeconds);
            AddAtMarker(button);
        }
    }

    CJButton* play = AddNamedButton(*set, values, "Continue", &CTownMapWindow::Play);
    AddNamedButton(*set, values, "TrophyRoom", &CTownMapWindow::OpenTrophyRoomFromMap);
    CJButton* quit = AddNamedButton(*set, values, "Quit", &CTownMapWindow::Quit);
    AddNamedButton(*set, values, "StoryButton", &CTownMapWindow::ShowStory);
    AddNamedButton(*set, values, "TutorialButton", &CTownMapWindow::PlayTutorial);
    if (quit)
        SetCancelButton(quit);
    if (play) {
        SetDefaultButton(play);
        BringChildToFront(play);
    }
    // Made with the values from before the selection moved to the newly
    // unlocked level.
    RetitlePlayButton();
}

CTownMapWindow::~CTownMapWindow()
{
    if (m_RewardsButtonPending)
        m_RewardsButton->Destroy();
    if (CGameApp* game = CGameApp::SGetInstance())
        game->DecrementOpenScreens();
    if (g_Map == this)
        g_Map = nullptr;
}

void CTownMapWindow::CreateLevelButton(CFrameOverlayOptions& set, CTextSubstitutionList& values, uint32_t i)
{
    CJButton* button = set.CreateButtonWindow(GetLevelMarkerName(i), &values);
    if (!button)
        return;
    m_LevelButtons[i] = button;
    CPlayerStatsForLevel* record = RecordOf(i);
    CLevelOptions* level = LevelAt(i);

    bool completedNow = false;
    if (record && record->HasBeenCompleted() && !record->IsMarkedCompletedOnMap()) {
        record->MarkCompletedOnMap();
        completedNow = true;
        m_NewlyUnlockedLevel = int32_t(i + 1);
        if (m_RewardsLevel < 0) {
            PlayAudio(CRules::SGetInstance().m_MoveHighlightAudio);
            m_State = EState::Glide;
            StartUnlockCountdown(CRules::SGetInstance().m_SecondsToSpawnUnlockEffect);
        }
    }
    if ((i == 0 || IsMarkedCompleted(int64_t(i) - 1)) && int32_t(i) != m_NewlyUnlockedLevel)
        SetActiveImage(i);

    const uint32_t goals = level ? level->m_OptionalGoals.GetCount() : 0;
    if (record && !record->IsMarkedExpertOnMap() && goals > 0 && record->GetOptionalGoalCounts().first >= goals) {
        record->MarkExpertOnMap();
        m_MarkedExpertNow[i] = true;
    }

    CLifeRewards* reward = FindLifeRewardForLevel(i);
    CJButton* rewardButton = nullptr;
    if (reward && record && record->IsMarkedCompletedOnMap() && reward->m_PositionMarkerName.IsNotEmpty())
        rewardButton = set.CreateButtonWindow(reward->m_PositionMarkerName, &values);
    if (rewardButton) {
        rewardButton->SetCommand(new COpenRewardsCommand(i));
        rewardButton->SetHoverZoom(kHoverZoom, kHoverZoomSeconds);
        const bool unlocked = reward->IsUnlocked();
        bool flaggedHere = false;
        if (!completedNow && unlocked && (WasRewardEarnedNow(*reward, i) || IsEndingOwed(reward))) {
            m_RewardsFlag = true;
            flaggedHere = true;
        }
        if (unlocked && !m_RewardsFlag)
            GiveRewardLook(rewardButton, reward);
        if (completedNow && m_RewardsButton == nullptr) {
            m_Reward = reward;
            m_RewardsButtonPending = true;
            StartRewardsSequence(rewardButton, i);
        } else if (completedNow) {
            // One sequence per visit: a second reward shows at once.
            AddAtMarker(rewardButton);
            ++m_TownsShown;
        } else {
            AddAtMarker(rewardButton);
            ++m_TownsShown;
            if (flaggedHere && m_RewardsButton == nullptr) {
                m_Reward = reward;
                StartRewardsSequence(rewardButton, i);
            }
        }
    }

    CJString name;
    if (CLevelSet* levels = FindLevels())
        levels->GetLevelName(name, i);
    button->SetToolTip(&name, true);
    button->SetCommand(new CSelectLevelCommand(this, i));
    button->SetHoverZoom(kHoverZoom, kHoverZoomSeconds);
    AddAtMarker(button);
}

void CTownMapWindow::StartRewardsSequence(CJButton* button, uint32_t level)
{
    m_RewardsButton = button;
    m_RewardsLevel = int32_t(level);
    m_State = EState::Rewards;
    m_FlierCountdownRunning = true;
    m_FlierCountdown = CRules::SGetInstance().m_SecondsToSpawnRewardsFlier;
}

// The goals met last may be those of any of the reward's levels, a street
// replayed after the reward's own was won. Levels come in order: all of
// them were looked at before the reward's own.
bool CTownMapWindow::WasRewardEarnedNow(const CLifeRewards& reward, uint32_t level) const
{
    for (uint32_t i = 0; i <= level && i < m_MarkedExpertNow.size(); ++i)
        if (m_MarkedExpertNow[i] && (i == level || reward.CoversLevel(i)))
            return true;
    return false;
}

void CTownMapWindow::AddAtMarker(CJButton* button)
{
    // The marker placed the button already: keep its position.
    AddChild(button, kAsIsNoGrow);
}

CJButton* CTownMapWindow::AddNamedButton(CFrameOverlayOptions& set, CTextSubstitutionList& values, const char* id,
                                         void (CTownMapWindow::*action)())
{
    CJButton* button = AddOverlayButton(*this, set, id, values, action);
    if (button)
        m_Named.emplace_back(CJString(id), button);
    return button;
}

CJButton* CTownMapWindow::GetButton(const char* id) const
{
    for (const auto& [name, button] : m_Named)
        if (name.CompareNoCase(CJString(id)) == 0)
            return button;
    return nullptr;
}

CJButton* CTownMapWindow::GetLevelButton(uint32_t level) const
{
    return level < m_LevelButtons.size() ? m_LevelButtons[level] : nullptr;
}

void CTownMapWindow::SetActiveImage(uint32_t i)
{
    CJButton* button = GetLevelButton(i);
    CLevelOptions* level = LevelAt(i);
    if (!button || !level)
        return;
    CPlayerStatsForLevel* record = RecordOf(i);
    const uint32_t achieved = record ? record->GetOptionalGoalCounts().first : 0;
    const CJString name = GetLevelButtonImageName(level->m_Period, level->m_OptionalGoals.GetCount(), achieved);
    CFrameList& frames = GetFrameLibrary();
    const int32_t index = frames.Find(name.GetString());
    CFrame* frame = index >= 0 ? frames.GetObject(index) : nullptr;
    if (!frame)
        return;
    const CPoint at = TopLeft(button);
    button->SetImages(frame, frame, frame, false, at.x, at.y);
}

void CTownMapWindow::MoveHighlightTo(const CJButton* button)
{
    const CPoint offset = CRules::SGetInstance().m_LevelSelectedFrameOffset;
    const CPoint at = button ? TopLeft(button) : CPoint{0, 0};
    m_Highlight = CPoint{SaturatingAdd(at.x, offset.x), SaturatingAdd(at.y, offset.y)};
}

void CTownMapWindow::StartUnlockCountdown(float seconds)
{
    // A new countdown ends an effect still playing.
    m_UnlockFrame = -1;
    m_UnlockCountdownRunning = true;
    m_UnlockCountdown = seconds;
}

void CTownMapWindow::SetFocus(bool focus)
{
    CMenuWindow::SetFocus(focus);
    if (focus)
        m_Clock = 0.0f;
}

void CTownMapWindow::Update(float seconds)
{
    CStats::SGetInstance().SaveIfNeeded();
    CMenuWindow::Update(seconds);
    // The base update may have closed the window.
    if (g_Map != this)
        return;
    m_Clock += seconds;
    AdvanceUnlockEffect(seconds);
    AdvanceNewTown(seconds);
    if (m_State == EState::Glide)
        AdvanceGlide();
    else if (m_State == EState::Rewards)
        AdvanceRewards(seconds);
    RetitlePlayButton();
}

// The play button's words follow the selection (and what this visit
// unlocked): its marker's title is filled again with the values of now.
void CTownMapWindow::RetitlePlayButton()
{
    CJButton* play = GetButton("Continue");
    CFrameOverlayOptions* set = MapOverlay();
    auto* marker = set ? dynamic_cast<CFrameOverlayButton*>(set->FindOverlay(CJString("Continue"), nullptr, nullptr))
                       : nullptr;
    if (!play || !marker)
        return;
    CTextSubstitutionList values;
    FillSubstitutions(values);
    const CJString title = values.Apply(ShownText(marker->m_Title));
    if (title.Compare(play->GetTitle()) != 0)
        play->SetTitle(title);
}

void CTownMapWindow::AdvanceUnlockEffect(float seconds)
{
    CRules& rules = CRules::SGetInstance();
    if (m_UnlockCountdownRunning) {
        m_UnlockCountdown -= seconds;
        if (m_UnlockCountdown > 0.0f)
            return;
        m_UnlockCountdownRunning = false;
        PlayAudio(rules.m_UnlockEffectAudio);
        if (GetOverlaySequence(rules.m_UnlockingLevelButtonSequence)) {
            m_UnlockClock = 0.0f;
            m_UnlockFrame = 0;
        }
        return;
    }
    if (m_UnlockFrame < 0)
        return;
    CSequence* sequence = GetOverlaySequence(rules.m_UnlockingLevelButtonSequence);
    m_UnlockClock += seconds;
    const float frame = sequence ? std::nearbyint(sequence->GetFramesPerSecond() * m_UnlockClock) : 0.0f;
    if (!sequence || !(frame < float(sequence->GetFrameCount())))
        m_UnlockFrame = -1;
    else
        m_UnlockFrame = TruncateToInt32(frame);
}

void CTownMapWindow::AdvanceNewTown(float seconds)
{
    if (!m_NewTownRunning)
        return;
    CRules& rules = CRules::SGetInstance();
    m_NewTownCountdown -= seconds;
    if (m_NewTownCountdown <= 0.0f) {
        m_NewTownRunning = false;
        PlayAudio(rules.m_FinishedFlashingNewTownAudio);
        ++m_TownsShown;
        m_TownBlink = 0;
        return;
    }
    if (m_NewTownCountdown <= rules.m_FlashNewTownDuration) {
        if (!m_NewTownAudioPlayed) {
            m_NewTownAudioPlayed = true;
            PlayAudio(rules.m_FlashNewTownAudio);
        }
        m_TownBlink = uint32_t(std::lrint(m_NewTownCountdown * 10.0f)) % 2u;
    }
}

void CTownMapWindow::AdvanceGlide()
{
    const float duration = CRules::SGetInstance().m_SecondsToMoveHighlight;
    const float t = duration > 0.0f ? std::clamp(m_Clock / duration, 0.0f, 1.0f) : 1.0f;
    if (m_GlideFrom && m_GlideTo) {
        const CPoint from = TopLeft(m_GlideFrom);
        const CPoint to = TopLeft(m_GlideTo);
        const CPoint offset = CRules::SGetInstance().m_LevelSelectedFrameOffset;
        // The glide in floats: the ends may lie anywhere in the int range.
        m_Highlight.x = SaturatingAdd(RoundToIntHeld(float(from.x) + (float(to.x) - float(from.x)) * t), offset.x);
        m_Highlight.y = SaturatingAdd(RoundToIntHeld(float(from.y) + (float(to.y) - float(from.y)) * t), offset.y);
    }
    if (m_Clock < duration)
        return;
    if (m_NewlyUnlockedLevel >= 0)
        SetActiveImage(uint32_t(m_NewlyUnlockedLevel));
    m_State = EState::Idle;
}

void CTownMapWindow::AdvanceRewards(float seconds)
{
    if (m_FlierCountdownRunning) {
        m_FlierCountdown -= seconds;
        if (m_FlierCountdown <= 0.0f) {
            m_FlierCountdownRunning = false;
            SpawnFlier();
        }
        return;
    }
    if (!m_ArrivalCountdownsRunning)
        return;
    if (m_RewardsButtonCountdownRunning) {
        m_RewardsButtonCountdown -= seconds;
        if (m_RewardsButtonCountdown <= 0.0f)
            ShowRewardsButton();
    }
    m_OpenCountdown -= seconds;
    if (m_OpenCountdown <= 0.0f) {
        m_ArrivalCountdownsRunning = false;
        OpenRewardsScreen();
    }
}

void CTownMapWindow::SpawnFlier()
{
    CRules& rules = CRules::SGetInstance();
    CJButton* from = GetLevelButton(m_SelectedLevel);
    CGameApp* game = CGameApp::SGetInstance();
    if (!m_RewardsButton || !game) {
        // Nothing to fly between: the flier arrives at once.
        OnFlierArrived();
        return;
    }
    const CPoint start = from ? Centre(from) : Centre(m_RewardsButton);
    const CPoint target = Centre(m_RewardsButton);
    auto* flier = new CSprite();
    flier->SetPosition(float(start.x), float(start.y));
    flier->AddAI(new CSpriteAIFlyToPoint(float(target.x), float(target.y), rules.m_RewardsFlierPixelsPerSecond,
                                         new CFunctionCommand(&FlierArrived)));
    auto* look = new CRewardsUnlockFlierAI();
    look->m_AngleDegrees = GetRewardsFlierAngle(float(start.x), float(start.y), float(target.x), float(target.y));
    flier->AddAI(look);
    game->GetGameSprites().Add(flier);
    PlayAudio(rules.m_RewardsFlierAudio);
}

void CTownMapWindow::OnFlierArrived()
{
    if (m_State != EState::Rewards || m_ArrivalCountdownsRunning)
        return;
    CRules& rules = CRules::SGetInstance();
    StartUnlockCountdown(rules.m_SecondsToUnlockRewardsButton);
    m_RewardsButtonCountdown = rules.m_SecondsToUnlockRewardsButton;
    m_RewardsButtonCountdownRunning = m_RewardsButton != nullptr;
    m_OpenCountdown = rules.m_SecondsToOpenRewardsScreen;
    m_ArrivalCountdownsRunning = true;
}

void CTownMapWindow::ShowRewardsButton()
{
    m_RewardsButtonCountdownRunning = false;
    if (!m_RewardsButton)
        return;
    if (m_RewardsButtonPending) {
        m_RewardsButtonPending = false;
        AddAtMarker(m_RewardsButton);
    } else if (m_RewardsFlag && m_Reward) {
        GiveRewardLook(m_RewardsButton, m_Reward);
    }
}

void CTownMapWindow::OpenRewardsScreen()
{
    // The button must be on the map before the screen covers it.
    if (m_RewardsButtonPending)
        ShowRewardsButton();
    const uint32_t level = m_RewardsLevel < 0 ? 0u : uint32_t(m_RewardsLevel);
    m_RewardsLevel = -1;
    CLifeRewards* reward = FindLifeRewardForLevel(level);
    if (reward && !IsLastReward(reward)) {
        m_State = EState::WaitingForRewards;
        if (!OpenLifeRewardWindow(level, false, new CFunctionCommand(&RewardsScreenClosed))
            && m_State == EState::WaitingForRewards)
            OnRewardsScreenClosed();
        return;
    }
    m_RewardsButton = nullptr;
    m_State = EState::Idle;
    OpenLifeRewardWindow(level, false, nullptr);
}

void CTownMapWindow::OnRewardsScreenClosed()
{
    if (m_State != EState::WaitingForRewards)
        return;
    m_RewardsButton = nullptr;
    if (m_RewardsFlag) {
        m_State = EState::Idle;
        return;
    }
    CRules& rules = CRules::SGetInstance();
    PlayAudio(rules.m_MoveHighlightAudio);
    m_State = EState::Glide;
    m_Clock = 0.0f;
    StartUnlockCountdown(rules.m_SecondsToSpawnUnlockEffect);
    m_NewTownRunning = true;
    m_NewTownAudioPlayed = false;
    m_NewTownCountdown = rules.m_SecondsForNewTownToShow;
    const uint32_t count = LevelCount();
    if (m_SelectedLevel + 1 < count)
        ++m_SelectedLevel;
}

void CTownMapWindow::SelectLevel(uint32_t level)
{
    if (level >= m_LevelButtons.size() || (level != 0 && !IsCompleted(int64_t(level) - 1)))
        return;
    m_SelectedLevel = level;
    MoveHighlightTo(GetLevelButton(level));
}

void CTownMapWindow::Play()
{
    if (!ButtonsWork() || m_SelectedLevel >= LevelCount())
        return;
    SetCurrentLevelIndex(m_SelectedLevel);
    if (CPlayerStats* player = Player())
        player->m_SelectedLevel = m_SelectedLevel;
    CStats::SMarkChanged();
    CDecadeTransition* transition = FindDecadeTransitionForLevel(GetDecadeTransitionList(), m_SelectedLevel);
    if (transition && !IsCompleted(m_SelectedLevel)) {
        AddGameScreenWindow(
            new CDecadeTransitionWindow(nullptr, transition, new CFunctionCommand(&EnterSelectedLevel)));
        Close();
        return;
    }
    Close();
    EnterSelectedLevel();
}

void CTownMapWindow::OpenTrophyRoomFromMap()
{
    if (ButtonsWork())
        OpenTrophyRoom(this);
}

void CTownMapWindow::Quit()
{
    if (!ButtonsWork())
        return;
    if (m_SelectedLevel < LevelCount()) {
        if (CPlayerStats* player = Player())
            player->m_SelectedLevel = m_SelectedLevel;
        CStats::SMarkChanged();
    }
    Close();
    GetGameScreensHooks().OpenScreen(EGameScreen::MainMenu);
}

void CTownMapWindow::ShowStory()
{
    if (ButtonsWork())
        AddGameScreenWindow(new CStoryWindow(nullptr, 0, true, nullptr, nullptr));
}

void CTownMapWindow::PlayTutorial()
{
    if (!ButtonsWork())
        return;
    CLevelSet* levels = FindLevels();
    const uint32_t first = levels ? levels->GetFirstTutorialLevelIndex() : CLevelSet::kNoTutorialLevel;
    if (first == CLevelSet::kNoTutorialLevel)
        return;
    Close();
    if (CGameApp* game = CGameApp::SGetInstance())
        game->StartLevelByIndex(first);
}

void CTownMapWindow::FillSubstitutions(CTextSubstitutionList& values) const
{
    CPlayerStats* player = Player();
    CJString worth;
    worth.FormatThousands(player ? WholeDollars(player->GetCareerNetWorth()) : 0);
    values.AddText("%s[NetWorth]", worth);
    values.AddText("%s[PlayerName]", player ? player->m_Name : CJString());
    char token[32];
    for (uint32_t n = 1; n <= 6; ++n) {
        std::snprintf(token, sizeof token, "%%s[ShowTown%u]", n);
        values.AddNumber(token, m_TownsShown + m_TownBlink >= n ? 1 : 0);
    }
    for (uint32_t n = 1; n <= 6; ++n) {
        const uint32_t after = n * 10 - 1;
        CLifeRewards* reward = FindLifeRewardForLevel(after);
        const bool shown = reward && reward->IsUnlocked() && m_RewardsLevel != int32_t(after);
        std::snprintf(token, sizeof token, "%%s[ShowStarBeams%u]", n);
        values.AddNumber(token, shown ? 1 : 0);
    }
    const bool replay = IsCompleted(m_SelectedLevel) && (m_NewlyUnlockedLevel < 0 || !m_RewardsButton);
    values.AddText("%s[PlayButtonText]", replay ? ReplayText() : PlayText());
}

void CTownMapWindow::Draw(CFrameInterface& frame)
{
    if (CGameApp* game = CGameApp::SGetInstance())
        if (game->GetOpenScreens() >= 2)
            return;
    CTextSubstitutionList values;
    FillSubstitutions(values);
    CRules& rules = CRules::SGetInstance();
    DrawOverlaySet(MapOverlay(), frame, values, m_Clock);
    if (CFrame* highlight = GetOverlayFrame(rules.m_LevelSelectedFrameIndex))
        BlitAt(frame, *highlight, m_Highlight.x, m_Highlight.y, GetTransparentMaskBlitType());
    DrawChildren(frame, 0);
    DrawChildren(frame, 1);
    if (m_UnlockFrame < 0)
        return;
    CSequence* effect = GetOverlaySequence(rules.m_UnlockingLevelButtonSequence);
    const bool overReward = m_State == EState::Rewards || m_State == EState::WaitingForRewards;
    const CJButton* under = overReward
        ? m_RewardsButton
        : (m_NewlyUnlockedLevel >= 0 ? GetLevelButton(uint32_t(m_NewlyUnlockedLevel)) : nullptr);
    if (effect && under) {
        const CPoint at = TopLeft(under);
        effect->DrawFrame(frame, m_UnlockFrame, at.x, at.y);
    }
}

CTownMapWindow* GetTownMapWindow()
{
    return g_Map;
}

CMenuWindow* OpenTownMap()
{
    // One map at a time.
    if (g_Map)
        g_Map->Close();
    auto* map = new CTownMapWindow(nullptr);
    AddGameScreenWindow(map);
    // Without a screen window the map is gone already.
    return g_Map == map ? map : nullptr;
}

void InstallTownMapScreen()
{
    SGameScreenEntry entry;
    entry.open = [] { return OpenTownMap() != nullptr; };
    entry.close = [] {
        if (CTownMapWindow* map = GetTownMapWindow())
            CloseScreenMenu(*map);
    };
    entry.isOpen = [] { return GetTownMapWindow() != nullptr; };
    SetGameScreenEntry(EGameScreen::TownMap, entry);
}

void RegisterTownMapTexts()
{
    MapTitle();
    PlayText();
    ReplayText();
}
