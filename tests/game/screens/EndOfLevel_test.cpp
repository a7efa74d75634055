// The level's end in the running game: the result recorded, the results
// window's variables as its overlays show them, the count-up announced once,
// the achieved goals revealed one by one, and the ways out; the goals met
// exactly, also without the running game.
#include "ScreensGameTest.h"
#include "../business/BusinessLevelTest.h"

#include "foundation/MathHelpers.h"
#include "game/business/CBuildPhase.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CCustomer.h"
#include "game/business/CCustomerArrivals.h"
#include "game/business/CUpgrade.h"
#include "game/scripting/CScriptValue.h"
#include "game/scripting/CSprite.h"
#include "game/scripting/CSpriteVariables.h"
#include "game/screens/CAdvice.h"
#include "game/screens/CAchievement.h"
#include "game/screens/CDecadeTransition.h"
#include "game/screens/CEndOfLevel.h"
#include "game/screens/CLevelCompletion.h"
#include "game/screens/CStats.h"
#include "game/screens/CStory.h"
#include "game/screens/ScreensHooks.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CGoal.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLot.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "game/world/CRules.h"
#include "game/business/CThreeInARowCounter.h"
#include "game/world/CTypedCommands.h"
#include "game/world/WorldHooks.h"
#include "objects/CPropertyArrayProperty.h"
#include "sequences/CTextSubstitutionList.h"
#include "support/ScopedHooks.h"
#include "ui/CJButton.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string Button(const char* id, int x)
{
    return std::string("Array Item=CFrameOverlayButton\r\n{\r\nID=") + id + "\r\nTitle=" + id + "\r\nPosition="
         + std::to_string(x) + ",700\r\nSize=100,40\r\n}\r\n";
}

std::string ButtonSet(const std::vector<const char*>& ids)
{
    std::string items;
    int x = 100;
    for (const char* id : ids) {
        items += Button(id, x);
        x += 200;
    }
    return ObjectText("CFrameOverlayOptions", "Text Overlays=Array\r\n{\r\nItem Count=" + std::to_string(ids.size())
                                                  + "\r\n" + items + "}\r\n");
}

// Goal states: -1 a missing entry, 0 open, 1 achieved this time, 2 before.
void SetGoals(CLevelOptions& level, const std::vector<int>& states, float expertRevenue = 0.0f)
{
    auto* list = static_cast<CPropertyArrayProperty*>(CLevelOptions::SGetClassInfo()->FindProperty("Optional Goals List"));
    list->ArrayProperty_SetCount(&level, 0);
    list->ArrayProperty_SetCount(&level, uint32_t(states.size()));
    for (uint32_t i = 0; i < states.size(); ++i) {
        delete level.m_OptionalGoals[i];
        level.m_OptionalGoals[i] = nullptr;
        if (states[i] < 0)
            continue;
        auto* goal = new CRevenueGoal;
        goal->m_Revenue = expertRevenue;
        goal->m_AchievedThisTime = states[i] == 1;
        goal->m_AchievedPreviously = states[i] == 2;
        level.m_OptionalGoals[i] = goal;
    }
}

void SetRevenue(float revenue, float bonus)
{
    CGameState* state = CGameState::SGetCurrent();
    state->m_RevenueK = revenue;
    state->AddBonusTotal(bonus - state->GetBonusTotal());
}

void SetFraction(CEndOfLevelWindow& window, const char* name, float value)
{
    CScriptValue v;
    v.SetFloat(value);
    SetSpriteVariable(window.GetSprite(), CJString(name), v);
}

std::string Value(const CEndOfLevelWindow& window, const char* key)
{
    CTextSubstitutionList values;
    window.FillSubstitutions(values);
    return values.Apply(CJString(key)).GetString();
}

class EndOfLevel : public CScreensGameTest {
protected:
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        WriteBytes("Data/Resources/Frame Overlay Options/End Of Level Overlay.FOO",
                   ButtonSet({"Continue", "Replay", "Hide"}));
        WriteBytes("Data/Resources/Frame Overlay Options/End Of Level Hidden Overlay.FOO", ButtonSet({"Show"}));
        WriteBytes("Data/Resources/Frame Overlay Options/End Of Tutorial Level Overlay.FOO", ButtonSet({"Continue"}));
        WriteBytes("Data/Resources/End Of Level Options.Object.txt", ObjectText("CEndOfLevelOptions", ""));
        ReadList(GetDecadeTransitionList());
    }
    // The game at its first level, as a regular level without goals.
    CLevelOptions& StartGame()
    {
        StartPastOpening();
        EXPECT_TRUE(Pass(17));
        CLevelOptions* level = CLevelOptions::SGetCurrent();
        EXPECT_NE(level, nullptr);
        level->m_IsTutorialLevel = false;
        level->m_RequiredRevenue = 500.0f;
        SetGoals(*level, {});
        CRules::SGetInstance().m_SpendableProfit = 0.1f;
        Player().m_Difficulty = 1;
        return *level;
    }
    static std::vector<uint32_t> ShownAt(const CAdviceHistory& history)
    {
        std::vector<uint32_t> out;
        for (uint32_t i = 0; i < history.m_NumLevelsPlayedWhenAdviceWasShown.GetCount(); ++i)
            out.push_back(history.m_NumLevelsPlayedWhenAdviceWasShown[i]);
        return out;
    }

};

TEST_F(EndOfLevel, ResultVariablesFollowTheCountUpAndTheGoals)
{
    CLevelOptions& level = StartGame();
    struct Case {
        const char* what;
        float required, revenue, bonus, sales, bonusFraction;
        uint32_t difficulty;
        float expert; // thousands; 0: no revenue goal
        bool won;
        std::vector<std::pair<const char*, const char*>> expected;
    };
    const std::vector<Case> cases = {
        {"counted in full", 500, 600, 100, 1, 1, 1, 0, true,
         {{"%s[LotValues]", "500,000"}, {"%s[TotalEarlyMoveInBonus]", "100,000"}, {"%s[TotalRevenue]", "600,000"},
          {"%s[GoalPercent]", "120"}, {"%s[WonLevel]", "1"}, {"%s[FailedLevel]", "0"}, {"%s[BarelyWon]", "0"},
          {"%s[GoalScore]", "500,000"}, {"%s[ExpertGoalScore]", "0"}, {"%s[ShowExpertStarComplete]", "1"},
          {"%s[TopOfThermometer]", "1,000,000"}, {"%s[EarnedSpendable]", "60,000"}, {"%s[KidsBonusProfit]", "0"}}},
        {"nothing counted yet", 500, 600, 100, 0, 0, 1, 0, true,
         {{"%s[TotalRevenue]", "0"}, {"%s[GoalPercent]", "0"}, {"%s[WonLevel]", "0"}, {"%s[FailedLevel]", "0"}}},
        {"passing the goal mid-count wins", 500, 1200, 0, 0.5f, 0, 1, 0, true, {{"%s[WonLevel]", "1"}}},
        {"a lost level's count ends", 500, 100, 0, 1, 1, 1, 0, false,
         {{"%s[WonLevel]", "0"}, {"%s[FailedLevel]", "1"}, {"%s[GoalPercent]", "20"}, {"%s[BarelyWon]", "1"}}},
        {"a penny counts 1 percent", 500, 0.001f, 0, 1, 1, 1, 0, false, {{"%s[GoalPercent]", "1"}}},
        {"just short counts 99", 500, 499.999f, 0, 1, 1, 1, 0, false, {{"%s[GoalPercent]", "99"}}},
        {"no goal, some income", 0, 5, 0, 1, 1, 1, 0, true,
         {{"%s[GoalPercent]", "100"}, {"%s[BarelyWon]", "0"}, {"%s[WonLevel]", "1"}}},
        {"no goal, no income", 0, 0, 0, 1, 1, 1, 0, true, {{"%s[GoalPercent]", "0"}, {"%s[BarelyWon]", "0"}}},
        {"barely won at the bound", 500, 550, 0, 1, 1, 1, 0, true, {{"%s[BarelyWon]", "1"}}},
        {"above the bound", 500, 555, 0, 1, 1, 1, 0, true, {{"%s[BarelyWon]", "0"}}},
        {"a loss below zero is no barely-won", 500, -10, 0, 1, 1, 1, 0, false, {{"%s[BarelyWon]", "0"}}},
        {"kids' bonus below the goal", 500, 100, 0, 1, 1, kKidsDifficulty, 0, true,
         {{"%s[EarnedSpendable]", "50,000"}, {"%s[KidsBonusProfit]", "1"}}},
        {"kids above the goal earn their own", 500, 700, 0, 1, 1, kKidsDifficulty, 0, true,
         {{"%s[EarnedSpendable]", "70,000"}, {"%s[KidsBonusProfit]", "0"}}},
        {"expert goal above the thermometer", 500, 600, 0, 1, 1, 1, 1500, true,
         {{"%s[ExpertGoalScore]", "1,500,000"}, {"%s[TopOfThermometer]", "1,500,000"},
          {"%s[ShowExpertStarComplete]", "0"}}},
        {"expert goal below the thermometer", 500, 900, 0, 1, 1, 1, 800, true,
         {{"%s[TopOfThermometer]", "1,000,000"}, {"%s[ShowExpertStarComplete]", "1"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        level.m_RequiredRevenue = c.required;
        SetGoals(level, c.expert > 0 ? std::vector<int>{0} : std::vector<int>{}, c.expert);
        Player().m_Difficulty = c.difficulty;
        SetRevenue(c.revenue, c.bonus);
        auto* window = new CEndOfLevelWindow(c.won);
        SetFraction(*window, "SalesFraction", c.sales);
        SetFraction(*window, "BonusFraction", c.bonusFraction);
        for (const auto& [key, value] : c.expected)
            EXPECT_EQ(Value(*window, key), value) << key;
        window->Destroy();
    }
    EXPECT_EQ(GetEndOfLevelWindow(), nullptr);
}

// The bound is the options' percent, inclusive, of the level's revenue: what
// the count-up shows so far and whether the level was won do not matter.
TEST_F(EndOfLevel, BarelyWonIsTheRevenueAtOrBelowTheOptionsPercent)
{
    StartGame();
    CEndOfLevelOptions* options = CEndOfLevelOptions::SGetInstance();
    ASSERT_NE(options, nullptr);
    options->m_BarelyWonPercent = 120;
    for (const auto& [revenue, barely] : {std::pair{600.0f, "1"}, std::pair{605.0f, "0"}})
        for (bool won : {true, false}) {
            SetRevenue(revenue, 0);
            auto* window = new CEndOfLevelWindow(won);
            EXPECT_EQ(Value(*window, "%s[TotalRevenue]"), "0") << "nothing counted yet";
            EXPECT_EQ(Value(*window, "%s[BarelyWon]"), barely) << revenue << (won ? " won" : " lost");
            window->Destroy();
        }
}

TEST_F(EndOfLevel, GoalsAreRevealedInOrderOneASecondAndOnlyTheFirstThree)
{
    CLevelOptions& level = StartGame();
    // Goal 1 open, 2 achieved now, a missing entry, 4 achieved before.
    SetGoals(level, {0, 1, -1, 2});
    CEndOfLevelOptions* options = CEndOfLevelOptions::SGetInstance();
    ASSERT_NE(options, nullptr);
    auto* reveal = new CSpritePlugInRevealOptionalGoals;
    reveal->ResetToDefaults();
    options->m_WinScripting.AddPlugIn(reveal);
    auto* window = new CEndOfLevelWindow(true);
    EXPECT_EQ(Value(*window, "%s[OptionalGoals]"), "4");
    EXPECT_EQ(Value(*window, "%s[OptionalGoalsAchived]"), "2");
    EXPECT_EQ(Value(*window, "%s[Has3rdGoal]"), "1");
    EXPECT_EQ(Value(*window, "%s[GotExpert]"), "0");
    EXPECT_FALSE(window->IsGoalRevealed(1));

    window->Update(kPlugInStepSeconds);
    EXPECT_TRUE(window->IsGoalRevealed(1)) << "the first reveal comes at once";
    EXPECT_EQ(Value(*window, "%s[OptionalGoal2]"), "1");
    EXPECT_EQ(Value(*window, "%s[OptionalGoal1]"), "0");
    // Goal 4 is past the third: nothing is left to reveal.
    EXPECT_FALSE(window->HasGoalToReveal());
    window->Destroy();

    // Two goals have no third to show.
    SetGoals(level, {1, 1});
    window = new CEndOfLevelWindow(true);
    EXPECT_EQ(Value(*window, "%s[Has3rdGoal]"), "0");
    window->Destroy();

    // Three achieved goals: one a second, and the star once all are shown.
    SetGoals(level, {2, 1, 1});
    window = new CEndOfLevelWindow(true);
    EXPECT_EQ(Value(*window, "%s[Has3rdGoal]"), "1");
    EXPECT_EQ(Value(*window, "%s[GotExpert]"), "1");
    EXPECT_EQ(Value(*window, "%s[ShowStarEffect]"), "0");
    window->Update(kPlugInStepSeconds);
    EXPECT_TRUE(window->IsGoalRevealed(0));
    for (int i = 0; i < 58; ++i)
        window->Update(kPlugInStepSeconds);
    EXPECT_FALSE(window->IsGoalRevealed(1)) << "not before a second";
    for (int i = 0; i < 3; ++i)
        window->Update(kPlugInStepSeconds);
    EXPECT_TRUE(window->IsGoalRevealed(1));
    EXPECT_FALSE(window->IsGoalRevealed(2));
    for (int i = 0; i < 61; ++i)
        window->Update(kPlugInStepSeconds);
    EXPECT_TRUE(window->IsGoalRevealed(2));
    EXPECT_EQ(Value(*window, "%s[ShowStarEffect]"), "1");
    window->Destroy();
}

TEST_F(EndOfLevel, TheWinIsAnnouncedOnceAndHideAndShowRestartTheTime)
{
    StartGame();
    SetRevenue(1000, 0);
    CLevelCompletion::ShowLevelResultsWindow(true);
    CEndOfLevelWindow* window = GetEndOfLevelWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(Pass(17));
    EXPECT_FALSE(window->IsWinAnnounced()) << "nothing counted yet";
    SetFraction(*window, "SalesFraction", 0.4f);
    ASSERT_TRUE(Pass(17));
    EXPECT_FALSE(window->IsWinAnnounced());
    SetFraction(*window, "SalesFraction", 0.6f);
    ASSERT_TRUE(Pass(17));
    EXPECT_TRUE(window->IsWinAnnounced());
    CScriptValue flag;
    ASSERT_TRUE(GetVariable(window->GetSprite(), CJString("WonLevel"), flag));
    EXPECT_TRUE(flag.AsBoolean()) << "the scripting hears of it";
    SetSpriteVariable(window->GetSprite(), CJString("WonLevel"), CScriptValue());
    ASSERT_TRUE(Pass(17));
    EXPECT_FALSE(GetVariable(window->GetSprite(), CJString("WonLevel"), flag) && flag.AsBoolean())
        << "announced once only";
    EXPECT_FALSE(window->IsFailAnnounced());

    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(Pass(17));
    EXPECT_GT(window->GetElapsedTime(), 0.1f);
    window->HideResults();
    EXPECT_TRUE(window->IsHidden());
    EXPECT_EQ(window->GetElapsedTime(), 0.0f);
    ASSERT_NE(window->GetDefaultButton(), nullptr);
    EXPECT_EQ(window->GetDefaultButton(), window->GetCancelButton()) << "Show answers Enter and Escape";
    ASSERT_TRUE(Pass(17));
    ClickOn(window->GetDefaultButton());
    ASSERT_EQ(GetEndOfLevelWindow(), window);
    EXPECT_FALSE(window->IsHidden());
    EXPECT_LT(window->GetElapsedTime(), 0.1f);
    EXPECT_EQ(window->GetCancelButton(), nullptr);
    EXPECT_NE(window->GetDefaultButton(), nullptr) << "Continue";
}

TEST_F(EndOfLevel, AdviceIsCommittedOnceAndOnlyTheResultsCountALevelPlayed)
{
    CLevelOptions& level = StartGame();
    CAdviceHistory* history = CAdviceHistory::SGetCurrent();
    ASSERT_NE(history, nullptr);
    const uint32_t played = history->m_LevelsPlayed;
    SetRevenue(100, 0);
    CLevelCompletion::ShowLevelResultsWindow(false);
    CEndOfLevelWindow* window = GetEndOfLevelWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(history->m_LevelsPlayed, played + 1);
    const std::vector<uint32_t> shown = ShownAt(*history);
    EXPECT_FALSE(window->GetAdviceTitle().IsEmpty()) << "the demo's advice applies to a lost level";
    EXPECT_EQ(Value(*window, "%s[AdviceTitle]"), window->GetAdviceTitle().GetString());
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(Pass(17));
    window->HideResults();
    window->ShowResults();
    EXPECT_EQ(history->m_LevelsPlayed, played + 1);
    EXPECT_EQ(ShownAt(*history), shown);
    window->Destroy();

    // A won level with every goal achieved gets the expert message and no
    // advice; a won tutorial level counts nothing.
    SetGoals(level, {});
    new CEndOfLevelWindow(true);
    EXPECT_TRUE(GetEndOfLevelWindow()->GetAdviceTitle().IsEmpty());
    EXPECT_EQ(history->m_LevelsPlayed, played + 2);
    GetEndOfLevelWindow()->Destroy();
    level.m_IsTutorialLevel = true;
    CLevelCompletion::ShowLevelResultsWindow(true);
    EXPECT_NE(GetTutorialEndOfLevelWindow(), nullptr);
    EXPECT_EQ(GetEndOfLevelWindow(), nullptr);
    EXPECT_EQ(history->m_LevelsPlayed, played + 2);
}

TEST_F(EndOfLevel, CompletionDecidesTheResultAndLeavesNothingPointingAtDeletedSprites)
{
    CLevelOptions& level = StartGame();
    CPlayfield* playfield = GetCurrentPlayfield();
    ASSERT_NE(playfield, nullptr);
    CPlayfieldLayer* ui = playfield->FindLayer("UI");
    CPlayfieldLayer* crew = playfield->FindLayer("Crew");
    ASSERT_NE(ui, nullptr);
    ASSERT_NE(crew, nullptr);
    auto* held = new CSprite;
    ui->AddSprite(held);
    SetDraggedSprite(held, CFPoint{0, 0});
    App()->SetCursorAttachment(nullptr, -1, held, 1.0f, false);
    CPlayerStatsForLevel* record = CStats::SGetInstance().GetCurrentLevelStats();
    ASSERT_NE(record, nullptr);
    const uint32_t failed = record->GetTimesFailed();
    const uint32_t completed = record->GetTimesCompleted();

    SetRevenue(499.0f, 0);
    CompleteLevel();
    EXPECT_EQ(ui->GetSpriteCount(), 0u);
    EXPECT_EQ(crew->GetSpriteCount(), 0u);
    EXPECT_EQ(GetDraggedSprite(), nullptr);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Pass(17)) << "the cursor draws without the deleted sprite";
    ASSERT_NE(GetEndOfLevelWindow(), nullptr);
    EXPECT_FALSE(GetEndOfLevelWindow()->IsWon());
    EXPECT_EQ(record->GetTimesFailed(), failed + 1);
    GetEndOfLevelWindow()->Destroy();

    // Each play ends once: the next result needs a new play.
    const float required = level.m_RequiredRevenue;
    App()->StartLevel(true);
    SetRevenue(required, 0);
    CompleteLevel();
    ASSERT_NE(GetEndOfLevelWindow(), nullptr);
    EXPECT_TRUE(GetEndOfLevelWindow()->IsWon()) << "the goal exactly reached";
    EXPECT_EQ(record->GetTimesCompleted(), completed + 1);
    GetEndOfLevelWindow()->Destroy();

    Player().m_Difficulty = kKidsDifficulty;
    App()->StartLevel(true);
    SetRevenue(0, 0);
    CompleteLevel();
    ASSERT_NE(GetEndOfLevelWindow(), nullptr);
    EXPECT_TRUE(GetEndOfLevelWindow()->IsWon()) << "difficulty 0 always wins";
    EXPECT_EQ(record->GetTimesFailed(), failed + 1);
}

TEST_F(EndOfLevel, AHappyCustomersMoveInBonusShowsInTheResultsBonus)
{
    // The revenue of a move-in checks the career trophies.
    ReadList(GetAchievementList());
    StartGame();
    CRules& rules = CRules::SGetInstance();
    auto* byHearts = static_cast<CPropertyArrayProperty*>(CRules::SGetClassInfo()->FindProperty("Movein Bonus By Hearts List"));
    ASSERT_NE(byHearts, nullptr);
    byHearts->ArrayProperty_SetCount(&rules, 2);
    rules.m_MoveinBonusByHearts[0] = 0.5f;
    rules.m_MoveinBonusByHearts[1] = 0.5f;
    CLotPlayfieldLayer* lots = GetLotLayer();
    ASSERT_NE(lots, nullptr);
    CLot* lot = nullptr;
    for (uint32_t i = 0; i < lots->GetSpriteCount() && !lot; ++i)
        if (auto* found = dynamic_cast<CLot*>(lots->GetSprite(i)->FindAI(CLot::SGetClassInfo())))
            lot = found->GetBuilding() && found->IsVacant() ? found : nullptr;
    ASSERT_NE(lot, nullptr) << "the street has a vacant lot";
    const int32_t frame = FindBuildPhase("Frame");
    const int32_t cottage = GetUpgradeList().Find("Cottage");
    ASSERT_GE(frame, 0);
    ASSERT_GT(cottage, 0);
    CBuildablePackage& house = *lot->GetBuilding();
    house.SizeToBuildPhases();
    house.m_Parts[uint32_t(frame)] = cottage;
    ASSERT_GT(house.GetResaleValue(), 0.0f);

    auto customer = std::make_unique<CCustomer>();
    customer->m_CustomerStyleSheet = 1;
    customer->m_PackageWanted = static_cast<CBuildablePackage*>(house.Clone());
    ASSERT_GT(customer->GetMoveInBonus(), 0.0f);
    ASSERT_TRUE(lot->CanHouse(customer.get()));
    lot->MoveIn(customer.get(), false);
    ASSERT_NE(lot->GetResident(), nullptr);

    auto* window = new CEndOfLevelWindow(true);
    SetFraction(*window, "SalesFraction", 1);
    SetFraction(*window, "BonusFraction", 1);
    const std::string bonus = Value(*window, "%s[TotalEarlyMoveInBonus]");
    // The bonus is apart from the lot values, and both make the total.
    const auto number = [](std::string text) {
        std::erase(text, ',');
        return std::stoi(text);
    };
    EXPECT_GT(number(bonus), 0) << "the move-in bonus the lot paid";
    EXPECT_EQ(number(Value(*window, "%s[LotValues]")) + number(bonus), number(Value(*window, "%s[TotalRevenue]")));
    window->Destroy();
}

// Seven houses at whole-thousand prices, each with its move-in bonus, then
// the three-in-a-row countdown paying a little every step: the houses sold
// add up to the whole sum of their prices.
TEST_F(EndOfLevel, HousesSoldAtWholePricesSumToTheWholeTotal)
{
    ReadList(GetAchievementList());
    StartGame();
    CGameState* state = CGameState::SGetCurrent();
    for (int house = 0; house < 7; ++house) {
        state->AddEarlyMoveInBonus(4.3f);
        state->AddRevenue(43.0f + 4.3f);
    }
    for (int step = 0; step < 600; ++step) {
        state->AddBonusTotal(0.0716667f);
        state->AddRevenue(0.0716667f);
    }
    auto* window = new CEndOfLevelWindow(true);
    SetFraction(*window, "SalesFraction", 1);
    SetFraction(*window, "BonusFraction", 1);
    EXPECT_EQ(Value(*window, "%s[LotValues]"), "301,000");
    window->Destroy();
}

// A won street's spendable share is rounded once: what the results say is
// what the player gets (Ferry Quay's half dollar once went up on the card and
// down in the purse).
TEST_F(EndOfLevel, TheSpendableTheResultsShowIsWhatThePlayerGets)
{
    StartGame();
    CGameState* state = CGameState::SGetCurrent();
    for (const float revenue : {231.915f, 231.905f, 200.035f, 150.0f}) {
        SCOPED_TRACE(revenue);
        App()->StartLevel(true);
        CLevelOptions::SGetCurrent()->m_RequiredRevenue = 110.0f;
        state->m_SpendableMoneyK = 12.345f;
        state->m_RevenueK = revenue;
        CompleteLevel();
        CEndOfLevelWindow* window = GetEndOfLevelWindow();
        ASSERT_NE(window, nullptr);
        std::string shown = Value(*window, "%s[EarnedSpendable]");
        shown.erase(std::remove(shown.begin(), shown.end(), ','), shown.end());
        EXPECT_EQ(WholeDollars(state->m_SpendableMoneyK) - 12345, std::stoi(shown));
        window->Destroy();
        ASSERT_TRUE(Pass(17));
    }
}

TEST_F(EndOfLevel, TheWaysOutOfTheResults)
{
    CLevelOptions& level = StartGame();
    static int mapsOpened = 0;
    mapsOpened = 0;
    SGameScreenEntry map;
    map.open = [] {
        ++mapsOpened;
        return true;
    };
    SetGameScreenEntry(EGameScreen::TownMap, map);
    CLevelCompletion::ShowLevelResultsWindow(true);
    ASSERT_NE(GetEndOfLevelWindow(), nullptr);
    ASSERT_TRUE(Pass(17));
    ClickOn(GetEndOfLevelWindow()->GetDefaultButton());
    EXPECT_EQ(GetEndOfLevelWindow(), nullptr);
    EXPECT_EQ(mapsOpened, 1) << "Continue opens the map";
    SetGameScreenEntry(EGameScreen::TownMap, SGameScreenEntry());

    // The tutorial chain: the next tutorial level, without its intro; after
    // the last one the story.
    const uint32_t index = GetCurrentLevelIndex();
    ASSERT_LT(index + 1, FindLevels()->GetCount());
    level.m_IsTutorialLevel = true;
    level.m_IsLastTutorialLevel = false;
    CLevelCompletion::ShowLevelResultsWindow(true);
    ASSERT_NE(GetTutorialEndOfLevelWindow(), nullptr);
    GetTutorialEndOfLevelWindow()->Continue();
    EXPECT_EQ(GetTutorialEndOfLevelWindow(), nullptr);
    EXPECT_EQ(GetCurrentLevelIndex(), index + 1);
    EXPECT_EQ(GetStoryWindow(), nullptr);

    CLevelOptions* next = CLevelOptions::SGetCurrent();
    ASSERT_NE(next, nullptr);
    next->m_IsTutorialLevel = true;
    next->m_IsLastTutorialLevel = true;
    CLevelCompletion::ShowLevelResultsWindow(true);
    ASSERT_NE(GetTutorialEndOfLevelWindow(), nullptr);
    GetTutorialEndOfLevelWindow()->Continue();
    EXPECT_EQ(GetCurrentLevelIndex(), index + 1);
    ASSERT_NE(GetStoryWindow(), nullptr);
    GetStoryWindow()->Destroy();

    // A chain running off the end of the level set ends in the story too.
    const uint32_t last = FindLevels()->GetCount() - 1;
    SetCurrentLevelIndex(last);
    next->m_IsLastTutorialLevel = false;
    CLevelCompletion::ShowLevelResultsWindow(true);
    ASSERT_NE(GetTutorialEndOfLevelWindow(), nullptr);
    GetTutorialEndOfLevelWindow()->Continue();
    EXPECT_EQ(GetCurrentLevelIndex(), last);
    EXPECT_NE(GetStoryWindow(), nullptr);
}

// The results' figures at their bounds, without the running game: a business
// level in a temporary folder and the window built on its own.
class EndOfLevelBounds : public BusinessLevelTest {
protected:
    void SetUp() override
    {
        BusinessLevelTest::SetUp();
        WriteObject("Advice Options.Object.txt", "CAdviceOptions");
        ASSERT_NE(StartLevel(), nullptr);
        m_Level->m_RequiredRevenue = 500.0f;
        CStats::SGetInstance().GetCurrentPlayer()->m_Difficulty = 1;
    }
    void TearDown() override
    {
        if (CEndOfLevelWindow* window = GetEndOfLevelWindow())
            window->Destroy();
        CStats::SShutdown();
        BusinessLevelTest::TearDown();
    }
    // The variable of a won level's results with the count-up at these fractions.
    static std::string ValueAt(const char* key, float sales, float bonus)
    {
        auto* window = new CEndOfLevelWindow(true);
        SetFraction(*window, "SalesFraction", sales);
        SetFraction(*window, "BonusFraction", bonus);
        std::string value = Value(*window, key);
        window->Destroy();
        return value;
    }
};

TEST_F(EndOfLevelBounds, TheGoalAndTheExpertGoalCountAsReachedWhenMetExactly)
{
    // Revenue at the goal wins the level; a thousandth below loses it.
    SetRevenue(500.0f, 0);
    EXPECT_TRUE(CLevelCompletion::IsLevelWon());
    SetRevenue(499.999f, 0);
    EXPECT_FALSE(CLevelCompletion::IsLevelWon());

    // Half of 1,000 counted is the whole goal of 500: the results show the
    // win before the count ends.
    SetRevenue(1000.0f, 0);
    EXPECT_EQ(ValueAt("%s[TotalRevenue]", 0.5f, 0), "500,000");
    EXPECT_EQ(ValueAt("%s[GoalPercent]", 0.5f, 0), "100");
    EXPECT_EQ(ValueAt("%s[WonLevel]", 0.5f, 0), "1");
    EXPECT_EQ(ValueAt("%s[WonLevel]", 0.4999f, 0), "0");

    // The expert star at exactly the revenue goal's 800,000.
    SetGoals(*m_Level, {0}, 800.0f);
    SetRevenue(800.0f, 0);
    EXPECT_EQ(ValueAt("%s[ExpertGoalScore]", 1, 1), "800,000");
    EXPECT_EQ(ValueAt("%s[ShowExpertStarComplete]", 1, 1), "1");
    SetRevenue(799.999f, 0);
    EXPECT_EQ(ValueAt("%s[ShowExpertStarComplete]", 1, 1), "0");
}

} // namespace
