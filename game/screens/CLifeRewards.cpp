#include "game/screens/CLifeRewards.h"

#include "blit/CColor.h"
#include "blit/CFrameInterface.h"
#include "foundation/CCommand.h"
#include "foundation/CLocalizedString.h"
#include "game/screens/CStats.h"
#include "game/screens/CStory.h"
#include "game/screens/GameWindows.h"
#include "game/screens/OverlayScreen.h"
#include "game/screens/ScreensHooks.h"
#include "game/screens/ScreensGlobals.h"
#include "game/scripting/CAudio.h"
#include "game/world/CGameApp.h"
#include "game/world/CGoalOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CRules.h"
#include "images/CFrameList.h"
#include "objects/CIntProperty.h"
#include "objects/CListProperty.h"
#include "objects/CStringProperty.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CTextSubstitutionList.h"
#include "shell/CScreenFrame.h"
#include "ui/CJButton.h"

#include <cmath>

namespace {

CLifeRewardWindow* g_LifeRewardWindow = nullptr;

CLocalizedString& ContinueTitle()
{
    static CLocalizedString text("Continue");
    return text;
}

CLocalizedString& TheEndTitle()
{
    static CLocalizedString text("The End?");
    return text;
}

void PlaySound(int32_t index)
{
    GetAudioList().PlayAudioByIndex(index);
}

// The level indices L - 10 .. L - 1 in 32-bit arithmetic: a reward placed
// before the tenth level wraps and covers nothing.
struct SLevelRange {
    uint32_t first = 0;
    uint32_t end = 0;
};

SLevelRange LevelsOf(const CLifeRewards& reward)
{
    const uint32_t first = reward.m_LevelToDisplayAfter - 10u;
    const uint32_t end = reward.m_LevelToDisplayAfter;
    return first <= end ? SLevelRange{first, end} : SLevelRange{0, 0};
}

uint32_t GoalsAvailableAt(CLevelSet* levels, uint32_t level)
{
    CLevelOptions* options = levels ? levels->GetLevel(level) : nullptr;
    return options ? options->m_OptionalGoals.GetCount() : 0;
}

// A level without a record yet has earned nothing; reading makes none.
uint32_t GoalsEarnedAt(const CPlayerStats* player, uint32_t level)
{
    const CPlayerStatsForLevel* record = player ? player->FindLevelStats(level) : nullptr;
    return record ? record->GetOptionalGoalCounts().first : 0;
}

CFrameOverlayOptions* ControlsOverlay()
{
    return FindFrameOverlayOptions("LifeRewardControlsOverlay");
}

} // namespace

OMBRISALT_IMPLEMENT_CLASS(CLifeRewards, 1.0)

void CLifeRewards::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CLifeRewards;
    d.Add(&C::m_PositionMarkerName, "Position Marker Name", "");
    d.Add(&C::m_LevelToDisplayAfter, "Level To Display After", 0u);
    d.AddListReference<CDataReferenceProperty>(&C::m_LifeRewardOverlay, "Life Reward Overlay",
                                               &GetFrameOverlayOptionsList(), nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_MapScreenExpertButtonFrameIndex,
                                               "Map Screen Expert Button Frame Index", &GetFrameLibrary(), nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_MapScreenExpertButtonHighlightFrameIndex,
                                               "Map Screen Expert Button Highlight Frame Index", &GetFrameLibrary(),
                                               nullptr);
}

CLifeRewards::CLifeRewards()
{
    InitDeclaredProperties();
}

CLifeRewards::~CLifeRewards()
{
    DestroyDeclaredProperties();
}

bool CLifeRewards::IsUnlocked() const
{
    CLevelSet* levels = FindLevels();
    CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer();
    const SLevelRange range = LevelsOf(*this);
    for (uint32_t level = range.first; level < range.end; ++level) {
        const uint32_t available = GoalsAvailableAt(levels, level);
        if (available == 0 || GoalsEarnedAt(player, level) < available)
            return false;
    }
    return true;
}

uint32_t CLifeRewards::GetGoalsAvailable() const
{
    CLevelSet* levels = FindLevels();
    const SLevelRange range = LevelsOf(*this);
    uint32_t sum = 0;
    for (uint32_t level = range.first; level < range.end; ++level)
        sum += GoalsAvailableAt(levels, level);
    return sum;
}

uint32_t CLifeRewards::GetGoalsEarned() const
{
    CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer();
    const SLevelRange range = LevelsOf(*this);
    uint32_t sum = 0;
    for (uint32_t level = range.first; level < range.end; ++level)
        sum += GoalsEarnedAt(player, level);
    return sum;
}

bool CLifeRewards::CoversLevel(uint32_t level) const
{
    const SLevelRange range = LevelsOf(*this);
    return level >= range.first && level < range.end;
}

CLifeRewardsList::CLifeRewardsList()
    : CObjectArrayBaseTemplate<CLifeRewards>("LifeRewards.txt")
{
}

CLifeRewardsList& GetLifeRewardList()
{
    static auto* list = [] {
        auto* made = new CLifeRewardsList;
        made->SetSource("LifeRewards", "Resources/LifeRewards", 0);
        return made;
    }();
    return *list;
}

CLifeRewards* FindLifeRewardForLevel(uint32_t levelIndex)
{
    CLifeRewardsList& list = GetLifeRewardList();
    const int32_t count = list.GetCount();
    for (int32_t i = 0; i < count; ++i)
        if (CLifeRewards* reward = list.GetObject(i); reward && reward->m_LevelToDisplayAfter - 1u == levelIndex)
            return reward;
    return nullptr;
}

// --- CLifeRewardWindow ---

CLifeRewardWindow::CLifeRewardWindow(CJWindow* parent, CLifeRewards* reward, bool review, CCommand* closing)
    : CMenuWindow(parent)
    , m_Review(review)
    , m_ClosingCommand(closing)
{
    g_LifeRewardWindow = this;
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    SetSize(int32_t(screen.GetWidth()), int32_t(screen.GetHeight()));
    if (CGameApp* game = CGameApp::SGetInstance())
        game->IncrementOpenScreens();
    // A reward the list does not hold gets a page past its end: nothing to show.
    const int32_t position = reward ? GetLifeRewardList().FindObjectIndex(reward) : -1;
    m_Page = position >= 0 ? uint32_t(position) : uint32_t(GetLifeRewardList().GetCount());
    PlaySound(CRules::SGetInstance().m_OpenLifeRewardsAudio);
    CreateControls();
}

CLifeRewardWindow::~CLifeRewardWindow()
{
    if (g_LifeRewardWindow == this)
        g_LifeRewardWindow = nullptr;
    if (CGameApp* game = CGameApp::SGetInstance())
        game->DecrementOpenScreens();
    RunClosingCommand();
}

void CLifeRewardWindow::RunClosingCommand()
{
    CCommand* closing = m_ClosingCommand;
    m_ClosingCommand = nullptr;
    if (closing) {
        closing->Execute();
        delete closing;
    }
}

CLifeRewards* CLifeRewardWindow::GetPageReward() const
{
    return m_Page < uint32_t(GetLifeRewardList().GetCount()) ? GetLifeRewardList().GetObject(int32_t(m_Page))
                                                            : nullptr;
}

bool CLifeRewardWindow::IsNextRewardOpen() const
{
    CLifeRewardsList& list = GetLifeRewardList();
    const uint32_t count = uint32_t(list.GetCount());
    if (count == 0 || m_Page >= count - 1)
        return false;
    CLifeRewards* next = list.GetObject(int32_t(m_Page + 1));
    if (!next)
        return false;
    CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer();
    const CPlayerStatsForLevel* record = player ? player->FindLevelStats(next->m_LevelToDisplayAfter - 1u) : nullptr;
    return record && record->HasBeenCompleted();
}

void CLifeRewardWindow::SetFocus(bool focus)
{
    CMenuWindow::SetFocus(focus);
    m_ElapsedTime = 0.0f;
}

void CLifeRewardWindow::Update(float seconds)
{
    CJWindow::Update(seconds);
    CLifeRewards* reward = GetPageReward();
    if (!reward)
        return;
    CGoalOptions* options = CGoalOptions::SGetInstance();
    const uint32_t earned = reward->GetGoalsEarned();
    m_ElapsedTime += seconds;
    if (m_SkipCounting) {
        m_CountedGoals = earned;
        return;
    }
    const float counting = std::max(0.0f, m_ElapsedTime - options->m_GoalCountDelay);
    // Compared before converting, so a long stay or odd settings never
    // overflow; a negative rate counts nothing.
    const float counted = std::floor(float(options->m_GoalsPerSecond) * counting);
    if (!(counted > 0.0f))
        m_CountedGoals = 0;
    else if (counted >= float(earned))
        m_CountedGoals = earned;
    else
        m_CountedGoals = uint32_t(counted);

    if (m_CountedGoals > 0 && !m_StartSoundPlayed) {
        m_StartSoundPlayed = true;
        const int32_t sound = earned <= 5    ? options->m_StartCountingAudio5
                              : earned <= 10 ? options->m_StartCountingAudio10
                              : earned <= 15 ? options->m_StartCountingAudio15
                              : earned <= 20 ? options->m_StartCountingAudio20
                              : earned <= 25 ? options->m_StartCountingAudio25
                                             : options->m_StartCountingAudio30;
        PlaySound(sound);
    }
    if (m_CountedGoals >= earned && !m_DoneSoundPlayed) {
        m_DoneSoundPlayed = true;
        PlaySound(reward->IsUnlocked() ? options->m_DoneCountingExpertAudio : options->m_DoneCountingBasicAudio);
    }
}

void CLifeRewardWindow::FillSubstitutions(CTextSubstitutionList& values) const
{
    CLifeRewards* reward = GetPageReward();
    const uint32_t earned = reward ? reward->GetGoalsEarned() : 0;
    const bool unlocked = reward && reward->IsUnlocked();
    const uint32_t count = uint32_t(GetLifeRewardList().GetCount());
    const bool last = count > 0 && m_Page == count - 1;
    values.AddNumber("%s[GoalsEarned]", int32_t(m_CountedGoals));
    values.AddNumber("%s[DoneCounting]", m_CountedGoals >= earned ? 1 : 0);
    values.AddNumber("%s[GoalsAvailable]", reward ? int32_t(reward->GetGoalsAvailable()) : 0);
    values.AddNumber("%s[GotExpert]", unlocked ? 1 : 0);
    values.AddNumber("%s[NextLifeRewardIsUnlocked]", IsNextRewardOpen() ? 1 : 0);
    values.AddNumber("%s[CanDoPrevious]", int32_t(m_Page));
    values.AddText("%s[ContinueButtonTitle]",
                   last && !unlocked ? CJString(TheEndTitle()) : CJString(ContinueTitle()));
}

void CLifeRewardWindow::CreateControls()
{
    ClearOverlayButtons(*this);

    CFrameOverlayOptions* controls = ControlsOverlay();
    if (!controls)
        return;
    CTextSubstitutionList values;
    FillSubstitutions(values);
    if (CJButton* done = AddOverlayButton(*this, *controls, "Continue", values, &CLifeRewardWindow::Continue)) {
        SetDefaultButton(done);
        SetCancelButton(done);
        BringChildToFront(done);
    }
    if (m_Page > 0)
        AddOverlayButton(*this, *controls, "Prev", values, &CLifeRewardWindow::PreviousPage);
    if (IsNextRewardOpen())
        AddOverlayButton(*this, *controls, "Next", values, &CLifeRewardWindow::NextPage);
}

void CLifeRewardWindow::Draw(CFrameInterface& frame)
{
    CLifeRewards* reward = GetPageReward();
    if (!reward)
        return;
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    CColor& black = GetOpaqueBlack();
    frame.FillRect(CRect{0, 0, int32_t(screen.GetWidth()), int32_t(screen.GetHeight())}, black);
    CTextSubstitutionList values;
    FillSubstitutions(values);
    DrawOverlaySet(GetFrameOverlayOptionsList().GetObject(reward->m_LifeRewardOverlay), frame, values, m_ElapsedTime);
    DrawOverlaySet(ControlsOverlay(), frame, values, m_ElapsedTime);
    DrawChildren(frame, 0);
    DrawChildren(frame, 1);
}

void CLifeRewardWindow::TurnTo(uint32_t page)
{
    PlaySound(CRules::SGetInstance().m_PageTurnAudio);
    m_Page = page;
    m_SkipCounting = true;
    CreateControls();
}

void CLifeRewardWindow::PreviousPage()
{
    if (m_Page > 0)
        TurnTo(m_Page - 1);
}

void CLifeRewardWindow::NextPage()
{
    const uint32_t count = uint32_t(GetLifeRewardList().GetCount());
    if (count > 0 && m_Page < count - 1)
        TurnTo(m_Page + 1);
}

void CLifeRewardWindow::Continue()
{
    RunClosingCommand();
    // The command may have closed every screen, this one too.
    if (g_LifeRewardWindow != this)
        return;
    const uint32_t count = uint32_t(GetLifeRewardList().GetCount());
    CLifeRewards* reward = GetPageReward();
    if (!m_Review && count > 0 && m_Page == count - 1 && reward && reward->IsUnlocked())
        AddGameScreenWindow(new CStoryWindow(nullptr, kLastRewardStoryPage, false, nullptr, nullptr));
    Close();
}

CLifeRewardWindow* GetLifeRewardWindow()
{
    return g_LifeRewardWindow;
}

bool OpenLifeRewardWindow(uint32_t levelIndex, bool review, CCommand* closing)
{
    CLifeRewards* reward = FindLifeRewardForLevel(levelIndex);
    if (!reward)
        reward = GetLifeRewardList().GetObject(0);
    if (!reward) {
        delete closing;
        return false;
    }
    AddGameScreenWindow(new CLifeRewardWindow(nullptr, reward, review, closing));
    return true;
}

namespace {

void OpenDecadeTransition()
{
    if (CGameApp* game = CGameApp::SGetInstance())
        game->OpenDecadeTransition();
}

} // namespace

void InstallLifeRewardsScreen()
{
    SGameScreenEntry entry;
    // The game object's own road to the rewards: the reward after the level
    // played, then the game goes on through the first decade transition.
    entry.open = [] {
        return OpenLifeRewardWindow(GetCurrentLevelIndex(), false, new CFunctionCommand(&OpenDecadeTransition));
    };
    entry.close = [] {
        if (CLifeRewardWindow* window = GetLifeRewardWindow())
            window->Close();
    };
    entry.isOpen = [] { return GetLifeRewardWindow() != nullptr; };
    SetGameScreenEntry(EGameScreen::Rewards, entry);
    AddProgressionListMaker([] { GetLifeRewardList(); });
}

void RegisterLifeRewardsTexts()
{
    ContinueTitle();
    TheEndTitle();
}
