#include "game/screens/CEndOfLevel.h"

#include "blit/CFrameInterface.h"
#include "foundation/CCommand.h"
#include "foundation/MathHelpers.h"
#include "game/screens/CAdvice.h"
#include "game/screens/CStats.h"
#include "game/screens/CStory.h"
#include "game/screens/GameWindows.h"
#include "game/screens/OverlayScreen.h"
#include "game/screens/ScreensHooks.h"
#include "game/scripting/CAudio.h"
#include "game/scripting/CScriptValue.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/CSpriteVariables.h"
#include "game/scripting/NoneEntries.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CGameState.h"
#include "game/world/CGeneralObjects.h"
#include "game/world/CGoal.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLevelSet.h"
#include "game/world/CPeriod.h"
#include "game/world/CRules.h"
#include "game/world/CTypedCommands.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CListProperty.h"
#include "objects/CObjectProperty.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CTextSubstitutionList.h"
#include "shell/CScreenFrame.h"
#include "ui/CJButton.h"

#include <cmath>
#include <limits>

namespace {

CEndOfLevelWindow* g_EndOfLevelWindow = nullptr;
CTutorialEndOfLevelWindow* g_TutorialEndOfLevelWindow = nullptr;

// The value rounded to the nearest integer; what no integer holds reads 0
// or the nearest bound.
int32_t Nearest(float x)
{
    if (std::isnan(x))
        return 0;
    if (x >= 2147483520.0f)
        return std::numeric_limits<int32_t>::max();
    if (x <= -2147483648.0f)
        return std::numeric_limits<int32_t>::min();
    return int32_t(std::lround(x));
}

// -1 is a reference the data set could not resolve.
CFrameOverlayOptions* OverlayAt(int32_t index)
{
    CFrameOverlayOptionsList& sets = GetFrameOverlayOptionsList();
    return index >= 0 && index < sets.GetCount() ? sets.GetObject(index) : nullptr;
}

float ScriptFloat(CSprite* sprite, const char* name)
{
    CScriptValue value;
    return GetVariable(sprite, CJString(name), value) ? value.AsFloat() : 0.0f;
}

bool IsAchieved(const CGoal* goal)
{
    return goal && (goal->m_AchievedPreviously || goal->m_AchievedThisTime);
}

uint32_t CountAchieved(const CLevelOptions* level)
{
    uint32_t achieved = 0;
    if (level)
        for (uint32_t i = 0; i < level->m_OptionalGoals.GetCount(); ++i)
            achieved += IsAchieved(level->m_OptionalGoals[i]) ? 1u : 0u;
    return achieved;
}

bool AllGoalsAchieved(const CLevelOptions* level)
{
    return !level || CountAchieved(level) == level->m_OptionalGoals.GetCount();
}

// The values both windows show alike.
struct SLevelFigures {
    float revenue = 0.0f;  // R, thousands
    float bonus = 0.0f;    // B, thousands, part of R
    float required = 0.0f; // Q, thousands
    // R and B as added up, for the counted sums of whole prices.
    double revenueSum = 0.0;
    double bonusSum = 0.0;
};

SLevelFigures ReadFigures()
{
    SLevelFigures figures;
    if (const CGameState* state = CGameState::SGetCurrent()) {
        figures.revenue = state->m_RevenueK;
        figures.bonus = state->GetBonusTotal();
        figures.revenueSum = state->GetRevenueSumK();
        figures.bonusSum = state->GetBonusSumK();
    }
    const CLevelOptions* level = CLevelOptions::SGetCurrent();
    figures.required = level ? level->m_RequiredRevenue : 500.0f;
    return figures;
}

void AddSpendable(CTextSubstitutionList& values, const SLevelFigures& figures)
{
    const CPlayerStats* player = CStats::SGetInstance().GetCurrentPlayer();
    const bool kids = player && player->IsKidsMode() && figures.revenue < figures.required;
    values.AddNumber("%s[KidsBonusProfit]", kids ? 1 : 0);
    values.AddNumber("%s[EarnedSpendable]", EarnedSpendableDollars(kids ? figures.required : figures.revenue));
}

void AddLevelAverages(CTextSubstitutionList& values)
{
    const CGameState* state = CGameState::SGetCurrent();
    values.AddNumber("%s[AverageFrame]", state ? Nearest(1000.0f * state->GetAverageFrameValue()) : 0);
    values.AddNumber("%s[AverageGarage]", state ? Nearest(1000.0f * state->GetAverageGarageValue()) : 0);
    values.AddNumber("%s[AverageAddOn]", state ? Nearest(1000.0f * state->GetAverageAddOnValue()) : 0);
    values.AddFloat("%s[AverageHearts]", state ? state->GetAverageHearts() : 0.0f, 1);
}

void AddPlayCounters(CTextSubstitutionList& values)
{
    const CLevelPlayStats* stats = CLevelPlayStats::SGetCurrent();
    values.AddNumber("%s[Num3InARowBonuses]", stats ? int32_t(stats->m_MadeThreeInARow) : 0);
    const CGameState* state = CGameState::SGetCurrent();
    values.AddNumber("%s[CustomerPercent]", state ? Nearest(100.0f * state->GetMovedInFraction()) : 0);
    const CLevelOptions* level = CLevelOptions::SGetCurrent();
    values.AddNumber("%s[Decade]", level ? level->m_Period + 1 : 1);
}

void StartIntermissionSong()
{
    if (CGameSongPlayer* songs = CGameSongPlayer::SPeekInstance())
        songs->PlayIntermissionSong();
}

// After the last tutorial level: the career from its first level.
void StartCareer()
{
    if (CGameApp* game = CGameApp::SGetInstance())
        game->OpenDecadeTransition();
}

} // namespace

// --- CEndOfLevelOptions ---

OMBRISALT_IMPLEMENT_CLASS(CEndOfLevelOptions, 1.0)

void CEndOfLevelOptions::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CEndOfLevelOptions;
    d.AddListReference<CDataReferenceProperty>(&C::m_ShowWinMessageAudio, "Show Win Message Audio", &GetAudioList(),
                                               nullptr);
    d.AddListReference<CDataReferenceProperty>(&C::m_ShowFailMessageAudio, "Show Fail Message Audio",
                                               &GetAudioList(), nullptr);
    d.Add(&C::m_TopOfThermometer, "Top Of Thermometer", 200.0f).Units("Percent");
    d.Add(&C::m_BarelyWonPercent, "Barely Won Percent", 110u);
    d.AddEmbedded(&C::m_WinScripting, "Win Scripting").AlternateName("Scripting");
    d.AddEmbedded(&C::m_FailScripting, "Fail Scripting");
}

CEndOfLevelOptions::CEndOfLevelOptions()
{
    InitDeclaredProperties();
}

CEndOfLevelOptions::~CEndOfLevelOptions()
{
    DestroyDeclaredProperties();
}

CEndOfLevelOptions* CEndOfLevelOptions::SGetInstance()
{
    CGeneralObjectsList& objects = GetGeneralObjects();
    const int32_t index = objects.Find("End Of Level Options");
    return index >= 0 ? dynamic_cast<CEndOfLevelOptions*>(objects.GetObjectAt(index)) : nullptr;
}

// --- CSpritePlugInRevealOptionalGoals ---

OMBRISALT_IMPLEMENT_CLASS(CSpritePlugInRevealOptionalGoals, 1.0)

void CSpritePlugInRevealOptionalGoals::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CSpritePlugInRevealOptionalGoals;
    d.GetClassInfo().SetCategory("Level End");
    d.Add(&C::m_SecondsBetweenReveals, "Seconds Between Reveals", 1.0f);
    d.AddListReference<CDataReferenceProperty>(&C::m_RevealAudio, "Reveal Audio", &GetAudioList(), nullptr);
    d.Add(&C::m_SecondsUntilNextReveal, "Debug/Seconds Until Next Reveal", -1.0f);
}

CSpritePlugInRevealOptionalGoals::CSpritePlugInRevealOptionalGoals()
{
    InitDeclaredProperties();
}

CSpritePlugInRevealOptionalGoals::~CSpritePlugInRevealOptionalGoals()
{
    DestroyDeclaredProperties();
}

void CSpritePlugInRevealOptionalGoals::Update(CPlugInUpdateRecord& record)
{
    CEndOfLevelWindow* window = GetEndOfLevelWindow();
    if (!window || !window->HasGoalToReveal()) {
        record.done = true;
        return;
    }
    if (m_SecondsUntilNextReveal == -1.0f) {
        window->RevealNextGoal();
        PlayAudioUnlessNone(m_RevealAudio);
        if (window->HasGoalToReveal())
            m_SecondsUntilNextReveal = m_SecondsBetweenReveals;
        else
            record.done = true;
        return;
    }
    if (m_SecondsUntilNextReveal > 0.0f)
        m_SecondsUntilNextReveal -= record.seconds;
    if (m_SecondsUntilNextReveal > 0.0f)
        return;
    window->RevealNextGoal();
    PlayAudioUnlessNone(m_RevealAudio);
    if (window->HasGoalToReveal())
        m_SecondsUntilNextReveal = m_SecondsBetweenReveals;
    else
        record.done = true;
}

// --- CEndOfLevelWindow ---

CEndOfLevelWindow::CEndOfLevelWindow(bool won)
    : CMenuWindow(nullptr)
    , m_Won(won)
{
    if (g_EndOfLevelWindow && g_EndOfLevelWindow != this)
        g_EndOfLevelWindow->Destroy();
    g_EndOfLevelWindow = this;
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    SetSize(int32_t(screen.GetWidth()), int32_t(screen.GetHeight()));

    m_Sprite = new CSprite;
    m_Sprite->ResetToDefaults();

    if (CAdviceHistory* history = CAdviceHistory::SGetCurrent())
        history->AddLevelPlayed();
    m_AdviceList = ListAdviceCandidates();

    CEndOfLevelOptions* options = CEndOfLevelOptions::SGetInstance();
    CSpritePlugInSimultaneous* scripting = options ? (won ? &options->m_WinScripting : &options->m_FailScripting)
                                                   : nullptr;
    if (scripting)
        if (auto* copy = dynamic_cast<CSpritePlugIn*>(scripting->Clone()))
            m_Sprite->AddPlugIn(copy);

    CPeriod* period = GetCurrentPeriod();
    const CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (won && AllGoalsAchieved(level)) {
        if (period)
            m_Message = period->GetNextLevelSuccessExpertString();
    } else {
        if (period)
            m_Message = won ? period->GetNextLevelSuccessBasicString() : period->GetNextLevelFailedString();
        ChooseAdvice();
    }
    CreateControls();
    CStats::SGetInstance().SaveIfNeeded();
}

CEndOfLevelWindow::~CEndOfLevelWindow()
{
    if (g_EndOfLevelWindow == this)
        g_EndOfLevelWindow = nullptr;
    delete m_Sprite;
}

void CEndOfLevelWindow::ChooseAdvice()
{
    if (CAdvice* advice = ::ChooseAdvice(true)) {
        m_AdviceTitle = advice->GetTitle();
        m_Advice = advice->GetDisplayString();
    }
}

CJButton* CEndOfLevelWindow::AddButton(CFrameOverlayOptions& set, const char* id, CTextSubstitutionList& values,
                                       void (CEndOfLevelWindow::*action)())
{
    return AddOverlayButton(*this, set, id, values, action);
}

void CEndOfLevelWindow::CreateControls()
{
    ClearOverlayButtons(*this);
    const CRules& rules = CRules::SGetInstance();
    CFrameOverlayOptions* set = OverlayAt(m_Hidden ? rules.m_EndOfLevelHiddenOverlay : rules.m_EndOfLevelOverlay);
    if (!set)
        return;
    CTextSubstitutionList values;
    FillSubstitutions(values);
    if (m_Hidden) {
        if (CJButton* show = AddButton(*set, "Show", values, &CEndOfLevelWindow::ShowResults)) {
            SetDefaultButton(show);
            SetCancelButton(show);
            BringChildToFront(show);
        }
        return;
    }
    CJButton* next = AddButton(*set, "Continue", values, &CEndOfLevelWindow::Continue);
    AddButton(*set, "Replay", values, &CEndOfLevelWindow::Replay);
    AddButton(*set, "Hide", values, &CEndOfLevelWindow::HideResults);
    if (next) {
        SetDefaultButton(next);
        BringChildToFront(next);
    }
}

void CEndOfLevelWindow::Continue()
{
    StartIntermissionSong();
    GetGameScreensHooks().OpenScreen(EGameScreen::TownMap);
    Close();
}

void CEndOfLevelWindow::Replay()
{
    StartIntermissionSong();
    if (CGameApp* game = CGameApp::SGetInstance())
        game->EnterCurrentLevel();
    Close();
}

void CEndOfLevelWindow::HideResults()
{
    m_Hidden = true;
    m_ElapsedTime = 0.0f;
    CreateControls();
}

void CEndOfLevelWindow::ShowResults()
{
    m_Hidden = false;
    m_ElapsedTime = 0.0f;
    CreateControls();
}

bool CEndOfLevelWindow::HasGoalToReveal() const
{
    const CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (!level)
        return false;
    for (uint32_t i = 0; i < 3 && i < level->m_OptionalGoals.GetCount(); ++i)
        if (!m_Revealed[i] && IsAchieved(level->m_OptionalGoals[i]))
            return true;
    return false;
}

bool CEndOfLevelWindow::RevealNextGoal()
{
    const CLevelOptions* level = CLevelOptions::SGetCurrent();
    if (!level)
        return false;
    for (uint32_t i = 0; i < 3 && i < level->m_OptionalGoals.GetCount(); ++i)
        if (!m_Revealed[i] && IsAchieved(level->m_OptionalGoals[i])) {
            m_Revealed[i] = true;
            return true;
        }
    return false;
}

void CEndOfLevelWindow::Update(float seconds)
{
    CJWindow::Update(seconds);
    m_ElapsedTime += seconds;
    if (m_Sprite)
        m_Sprite->Update();
}

void CEndOfLevelWindow::FillSubstitutions(CTextSubstitutionList& values) const
{
    bool wonLevel = false;
    bool failedLevel = false;
    Fill(values, wonLevel, failedLevel);
}

void CEndOfLevelWindow::Fill(CTextSubstitutionList& values, bool& wonLevel, bool& failedLevel) const
{
    const float salesFraction = ScriptFloat(m_Sprite, "SalesFraction");
    const float bonusFraction = ScriptFloat(m_Sprite, "BonusFraction");
    CScriptValue showProfit;
    GetVariable(m_Sprite, CJString("ShowProfit"), showProfit);
    values.AddNumber("%s[ShowProfit]", showProfit.AsInteger());

    const SLevelFigures figures = ReadFigures();
    const float R = figures.revenue;
    const float Q = figures.required;
    const int32_t sales = Nearest(float((figures.revenueSum - figures.bonusSum) * salesFraction * 1000.0));
    const int32_t bonus = Nearest(float(figures.bonusSum * bonusFraction * 1000.0));
    const int32_t total = sales + bonus;
    const bool countingDone = bonusFraction >= 1.0f;

    AddSpendable(values, figures);
    const CLevelOptions* level = CLevelOptions::SGetCurrent();
    values.AddText("%s[Year]", level ? level->m_DisplayName.GetTranslation() : CJString());

    // A level asking for no revenue would divide by zero: any income is
    // then the whole goal, and no result counts as barely won.
    const float goal = Q * 1000.0f;
    int32_t goalPercent = total > 0 ? 100 : 0;
    if (Q > 0.0f)
        goalPercent = FractionToPercent(float(total) / goal);
    values.AddNumber("%s[GoalPercent]", goalPercent);

    float expert = 0.0f;
    if (level)
        for (uint32_t i = 0; i < level->m_OptionalGoals.GetCount(); ++i)
            if (auto* revenueGoal = dynamic_cast<const CRevenueGoal*>(level->m_OptionalGoals[i])) {
                expert = 1000.0f * revenueGoal->m_Revenue;
                break;
            }
    values.AddNumber("%s[ExpertGoalScore]", Nearest(expert));
    values.AddNumber("%s[ShowExpertStarComplete]", float(total) >= expert ? 1 : 0);

    const CEndOfLevelOptions* options = CEndOfLevelOptions::SGetInstance();
    float top = goal * (options ? options->m_TopOfThermometer : 200.0f) / 100.0f;
    if (top < expert)
        top = goal + top;
    values.AddNumber("%s[TopOfThermometer]", Nearest(top));
    values.AddNumber("%s[TotalRevenue]", total);
    values.AddNumber("%s[GoalScore]", Nearest(goal));

    AddLevelAverages(values);
    values.AddNumber("%s[TotalEarlyMoveInBonus]", bonus);
    values.AddNumber("%s[LotValues]", sales);
    AddPlayCounters(values);

    wonLevel = m_Won && (float(total) >= goal || countingDone);
    values.AddNumber("%s[WonLevel]", wonLevel ? 1 : 0);
    const uint32_t barelyWonPercent = options ? options->m_BarelyWonPercent : 110u;
    const bool barely = Q > 0.0f && uint32_t(FractionToPercent(R / Q)) <= barelyWonPercent;
    values.AddNumber("%s[BarelyWon]", barely ? 1 : 0);
    failedLevel = !m_Won && countingDone;
    values.AddNumber("%s[FailedLevel]", failedLevel ? 1 : 0);

    values.AddText("%s[Message]", m_Message);
    values.AddText("%s[AdviceTitle]", m_AdviceTitle);
    values.AddText("%s[Advice]", m_Advice);

    const uint32_t goals = level ? level->m_OptionalGoals.GetCount() : 0;
    values.AddNumber("%s[OptionalGoals]", int32_t(goals));
    values.AddNumber("%s[OptionalGoalsAchived]", int32_t(CountAchieved(level)));
    values.AddNumber("%s[OptionalGoal1]", m_Revealed[0] ? 1 : 0);
    values.AddNumber("%s[OptionalGoal2]", m_Revealed[1] ? 1 : 0);
    values.AddNumber("%s[OptionalGoal3]", m_Revealed[2] ? 1 : 0);
    values.AddNumber("%s[Has3rdGoal]", goals >= 3 ? 1 : 0);
    const bool all = AllGoalsAchieved(level);
    values.AddNumber("%s[GotExpert]", all ? 1 : 0);
    values.AddNumber("%s[ShowStarEffect]", all && !HasGoalToReveal() ? 1 : 0);
    values.AddNumber("%s[ShowAdviceList]", GetTypedCommandSwitches().adviceDebug ? 1 : 0);
    values.AddText("%s[AdviceList]", m_AdviceList);
}

void CEndOfLevelWindow::Draw(CFrameInterface& frame)
{
    CTextSubstitutionList values;
    bool wonLevel = false;
    bool failedLevel = false;
    Fill(values, wonLevel, failedLevel);
    const CEndOfLevelOptions* options = CEndOfLevelOptions::SGetInstance();
    if (!m_WinAnnounced && wonLevel) {
        m_WinAnnounced = true;
        PlayAudioUnlessNone(options ? options->m_ShowWinMessageAudio : 0);
        CScriptValue yes;
        yes.SetBoolean(true);
        SetSpriteVariable(m_Sprite, CJString("WonLevel"), yes);
    }
    if (!m_FailAnnounced && failedLevel) {
        m_FailAnnounced = true;
        PlayAudioUnlessNone(options ? options->m_ShowFailMessageAudio : 0);
    }
    const CRules& rules = CRules::SGetInstance();
    if (CFrameOverlayOptions* set =
            OverlayAt(m_Hidden ? rules.m_EndOfLevelHiddenOverlay : rules.m_EndOfLevelOverlay)) {
        DrawOverlaySet(set, frame, values, m_ElapsedTime);
    }
    DrawChildren(frame, 0);
    DrawChildren(frame, 1);
}

// --- CTutorialEndOfLevelWindow ---

CTutorialEndOfLevelWindow::CTutorialEndOfLevelWindow()
    : CMenuWindow(nullptr)
{
    if (g_TutorialEndOfLevelWindow && g_TutorialEndOfLevelWindow != this)
        g_TutorialEndOfLevelWindow->Destroy();
    g_TutorialEndOfLevelWindow = this;
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    SetSize(int32_t(screen.GetWidth()), int32_t(screen.GetHeight()));
    if (CFrameOverlayOptions* set = OverlayAt(CRules::SGetInstance().m_EndOfTutorialLevelOverlay)) {
        CTextSubstitutionList values;
        FillSubstitutions(values);
        AddOverlayButton(*this, *set, "Continue", values, &CTutorialEndOfLevelWindow::Continue);
    }
    StartIntermissionSong();
    CStats::SGetInstance().SaveIfNeeded();
}

CTutorialEndOfLevelWindow::~CTutorialEndOfLevelWindow()
{
    if (g_TutorialEndOfLevelWindow == this)
        g_TutorialEndOfLevelWindow = nullptr;
}

void CTutorialEndOfLevelWindow::Update(float seconds)
{
    CJWindow::Update(seconds);
    m_ElapsedTime += seconds;
}

void CTutorialEndOfLevelWindow::FillSubstitutions(CTextSubstitutionList& values) const
{
    const SLevelFigures figures = ReadFigures();
    AddSpendable(values, figures);
    values.AddNumber("%s[TotalRevenue]", Nearest(figures.revenue * 1000.0f));
    values.AddNumber("%s[GoalScore]", Nearest(figures.required * 1000.0f));
    AddLevelAverages(values);
    values.AddNumber("%s[TotalEarlyMoveInBonus]", Nearest(figures.bonus * 1000.0f));
    AddPlayCounters(values);
    const CLevelOptions* level = CLevelOptions::SGetCurrent();
    const uint32_t achieved = CountAchieved(level);
    values.AddNumber("%s[OptionalGoals]", level ? int32_t(level->m_OptionalGoals.GetCount()) : 0);
    values.AddNumber("%s[OptionalGoalsAchived]", int32_t(achieved));
    values.AddNumber("%s[OptionalGoal1]", achieved >= 1 ? 1 : 0);
    values.AddNumber("%s[OptionalGoal2]", achieved >= 2 ? 1 : 0);
    values.AddNumber("%s[OptionalGoal3]", achieved >= 3 ? 1 : 0);
    values.AddNumber("%s[OptionalGoal4]", achieved >= 4 ? 1 : 0);
    values.AddNumber("%s[GotExpert]", AllGoalsAchieved(level) ? 1 : 0);
    values.AddText("%s[LevelIntro]", level ? level->m_LevelIntro : CJString());
}

void CTutorialEndOfLevelWindow::Draw(CFrameInterface& frame)
{
    if (CFrameOverlayOptions* set = OverlayAt(CRules::SGetInstance().m_EndOfTutorialLevelOverlay)) {
        CTextSubstitutionList values;
        FillSubstitutions(values);
        DrawOverlaySet(set, frame, values, m_ElapsedTime);
    }
    DrawChildren(frame, 0);
    DrawChildren(frame, 1);
}

void CTutorialEndOfLevelWindow::Continue()
{
    const CLevelOptions* level = CLevelOptions::SGetCurrent();
    const bool last = level && level->m_IsLastTutorialLevel;
    const uint32_t next = GetCurrentLevelIndex() + 1;
    CLevelSet* levels = FindLevels();
    // A chain whose last level is not marked ends with the set as well.
    const bool beyond = !levels || next >= levels->GetCount();
    Close();
    if (!last && !beyond) {
        if (CGameApp* game = CGameApp::SGetInstance())
            game->StartLevelByIndex(next);
        return;
    }
    AddGameScreenWindow(new CStoryWindow(nullptr, 1, false, new CFunctionCommand(&StartCareer), nullptr));
}

CEndOfLevelWindow* GetEndOfLevelWindow()
{
    return g_EndOfLevelWindow;
}

CTutorialEndOfLevelWindow* GetTutorialEndOfLevelWindow()
{
    return g_TutorialEndOfLevelWindow;
}

void InstallEndOfLevelScreens()
{
    SGameScreenEntry results;
    results.close = [] {
        if (CEndOfLevelWindow* window = GetEndOfLevelWindow())
            window->Close();
    };
    results.isOpen = [] { return GetEndOfLevelWindow() != nullptr; };
    SetGameScreenEntry(EGameScreen::EndOfLevel, results);
    SGameScreenEntry tutorial;
    tutorial.close = [] {
        if (CTutorialEndOfLevelWindow* window = GetTutorialEndOfLevelWindow())
            window->Close();
    };
    tutorial.isOpen = [] { return GetTutorialEndOfLevelWindow() != nullptr; };
    SetGameScreenEntry(EGameScreen::TutorialEndOfLevel, tutorial);
}
