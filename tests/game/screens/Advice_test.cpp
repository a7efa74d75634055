// Advice after a level: which entry the list gives (order, waiting period,
// the pass that allows recent advice), the bulldoze advice only once, the
// conditions over the play counters, the game state and the career, the
// per-level reset, and the history kept in the profile across a restart.
#include "game/business/CBuildablePackage.h"
#include "game/business/BusinessLevelTest.h"
#include "game/business/CUpgrade.h"
#include "game/screens/CAdvice.h"
#include "game/screens/CStats.h"
#include "game/screens/ScreensHooks.h"
#include "game/world/CGameState.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelPlayStatistics.h"
#include "game/world/CLevelSet.h"
#include "objects/CPropertyArrayProperty.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// "Title=t" and one display string "t text".
std::string Entry(const std::string& className, const std::string& title, const std::string& lines = "")
{
    return "\tAdvice=" + className + "\r\n\t{\r\n\t\tTitle=" + title + "\r\n" + lines +
           "\t\tDisplay Strings=Array\r\n\t\t{\r\n\t\t\tDisplay String=" + title +
           " text\r\n\t\t}\r\n\t}\r\n";
}

std::string Line(const std::string& line)
{
    return "\t\t" + line + "\r\n";
}

class Advice : public BusinessLevelTest {
protected:
    void SetUp() override
    {
        BusinessLevelTest::SetUp();
        RegisterAdviceClasses();
        WriteObject("Slots/Pacifier A.UpgradeSlot.txt", "CUpgradeSlot");
        WriteObject("Slots/Garage.UpgradeSlot.txt", "CUpgradeSlot");
        WriteObject("Phases/Garage.BuildPhase.txt", "CBuildPhase", "Name=Garage\n");
        WriteObject("Upgrades/Shed.Upgrade.txt", "CBuildablePart",
                    "Build Phase=Garage\nUpgrade Slot=Garage\nUpgrade Cost=2\nResale Value=10\n");
        WriteObject("Upgrades/Tent.Upgrade.txt", "CBuildablePart",
                    "Build Phase=Garage\nUpgrade Slot=Garage\nUpgrade Cost=0\nResale Value=40\n");
        WriteObject("Upgrades/Soother.Upgrade.txt", "CUpgrade", "Upgrade Slot=Pacifier A\n");
        std::string levels = "CLevelSetUserMade\r\n{\r\n\tLevel List=Array\r\n\t{\r\n\t\tItem Count=4\r\n";
        for (const char* name : {"One", "Two", "Three", "Four"})
            levels += std::string("\t\tLevel=CLevelOptions\r\n\t\t{\r\n\t\t\tDisplay Name=") + name + "\r\n\t\t}\r\n";
        WriteBytes("Resources/Levels.Object.txt", levels + "\t}\r\n}\r\n");
        SetCurrentLevelIndex(0);
    }
    void TearDown() override
    {
        CStats::SShutdown();
        SetCurrentLevelIndex(0);
        BusinessLevelTest::TearDown();
    }

    // The options with these entries, and a level in play.
    CAdviceOptions& Start(const std::vector<std::string>& entries)
    {
        std::string text = "CAdviceOptions\r\n{\r\nAdvice List=Array\r\n{\r\n";
        if (entries.size() > 1)
            text += "\tItem Count=" + std::to_string(entries.size()) + "\r\n";
        for (const std::string& entry : entries)
            text += entry;
        WriteBytes("Resources/Advice Options.Object.txt", text + "}\r\n}\r\n");
        EXPECT_NE(StartLevel(), nullptr);
        return CAdviceOptions::SGetInstance();
    }
    static CLevelPlayStats& Play() { return *CLevelPlayStats::SGetCurrent(); }
    static CAdviceHistory& History() { return *CAdviceHistory::SGetCurrent(); }
    static CAdviceWorkVariables& Work() { return *CAdviceWorkVariables::SGetCurrent(); }
    static int32_t Upgrade(const char* name) { return GetUpgradeList().Find(name, -1); }
    static std::string Chosen(bool commit)
    {
        CAdvice* advice = ChooseAdvice(commit);
        return advice ? advice->GetTitle().GetString() : "none";
    }
    static void SetOptionalGoalCount(uint32_t level, uint32_t count)
    {
        CLevelOptions* options = GetLevels()->GetLevel(level);
        static_cast<CPropertyArrayProperty*>(options->GetClassInfo()->FindProperty("Optional Goals List"))
            ->ArrayProperty_SetCount(options, count);
    }
};

TEST_F(Advice, TheFirstApplicableEntryInListOrderWinsAndWaitsItsLevelsBeforeComingBack)
{
    Start({Entry("CAdvice", "Later", Line("Min Level=3")), Entry("CAdvice", "First"), Entry("CAdvice", "Second")});
    History().m_LevelsPlayed = 5;
    EXPECT_EQ(Chosen(false), "First");
    EXPECT_EQ(History().GetShownAt(1), 0u) << "asking without commit records nothing";
    EXPECT_EQ(Chosen(true), "First");
    EXPECT_EQ(History().GetShownAt(1), 5u);

    // "Can Show After" 3: the normal pass skips it until four levels later.
    for (uint32_t played : {6u, 7u, 8u}) {
        History().m_LevelsPlayed = played;
        EXPECT_EQ(Chosen(false), "Second") << played;
    }
    History().m_LevelsPlayed = 9;
    EXPECT_EQ(Chosen(false), "First");

    // From level 3 on the earlier entry applies and wins.
    SetCurrentLevelIndex(2);
    EXPECT_EQ(Chosen(false), "Later");
}

TEST_F(Advice, RecentAdviceIsGivenOnlyWhenNothingElseIsLeftAndTheListingSaysSo)
{
    CAdviceOptions& options = Start({Entry("CAdvice", "Only"), Entry("CAdvice", "Also")});
    History().m_LevelsPlayed = 2;
    EXPECT_EQ(ListAdviceCandidates().GetString(), std::string("1: Only - Only text\n2: Also - Also text\n"));
    EXPECT_EQ(Chosen(true), "Only");
    EXPECT_EQ(Chosen(true), "Also");
    History().m_LevelsPlayed = 3;
    EXPECT_FALSE(options.IsEligible(0, false, History(), Work()));
    EXPECT_TRUE(options.IsEligible(0, true, History(), Work()));
    EXPECT_EQ(ListAdviceCandidates().GetString(),
              std::string("Allowing Recent Advice\n1: Only - Only text\n2: Also - Also text\n"));
    EXPECT_EQ(Chosen(true), "Only") << "the lowest recent one";
    EXPECT_EQ(History().GetShownAt(0), 3u);
}

TEST_F(Advice, NothingIsChosenFromAnEmptyListOrOneWhereNothingApplies)
{
    Start({});
    EXPECT_EQ(Chosen(true), "none");
    EXPECT_EQ(ListAdviceCandidates().GetString(), std::string("Allowing Recent Advice\n"));
    CStats::SShutdown();

    Start({Entry("CAdviceHadToBulldoze", "Bulldozed"), Entry("CAdvice", "Never", Line("Max Level=1"))});
    SetCurrentLevelIndex(1);
    EXPECT_EQ(Chosen(true), "none");
    EXPECT_EQ(History().m_NumLevelsPlayedWhenAdviceWasShown.GetCount(), 0u);
}

TEST_F(Advice, LevelNumbersCountFromOneAndTheOldMinimumKeyStillReads)
{
    CAdviceOptions& options = Start({Entry("CAdvice", "Old", Line("Level To Check=4")),
                                     Entry("CAdvice", "Window", Line("Min Level=2") + Line("Max Level=3"))});
    CAdvice& old = *options.m_AdviceList[0];
    CAdvice& window = *options.m_AdviceList[1];
    EXPECT_EQ(old.m_MinLevel, 4u);
    EXPECT_EQ(old.m_MaxLevel, 0u);
    const bool oldApplies[] = {false, false, false, true};
    const bool windowApplies[] = {false, true, true, false};
    for (uint32_t index = 0; index < 4; ++index) {
        SetCurrentLevelIndex(index);
        EXPECT_EQ(old.Applies(), oldApplies[index]) << "level " << index + 1;
        EXPECT_EQ(window.Applies(), windowApplies[index]) << "level " << index + 1;
    }
}

TEST_F(Advice, TheBulldozeAdviceIsGivenOncePerPlayerWhateverTheLevelStartsReset)
{
    CScreensHooks screensHooks;
    CScopedHook<SetGameScreensHooks> screens(&screensHooks);
    Start({Entry("CAdviceHadToBulldoze", "Bulldozed", Line("Can Show After=0")), Entry("CAdvice", "Plain")});
    History().m_LevelsPlayed = 1;
    EXPECT_EQ(Chosen(false), "Plain") << "nothing bulldozed yet";
    Play().m_BulldozerUsed = 1;
    EXPECT_EQ(Chosen(true), "Bulldozed");
    EXPECT_TRUE(Work().m_HasSeenUsedBulldozerThisLevelAdvice);
    Work().m_HadToRepaintForAddedGarage = true;

    GetGameScreensHooks().ResetPlayerLevelVariables();
    EXPECT_FALSE(Work().m_HadToRepaintForAddedGarage) << "the repaint flag is per level";
    EXPECT_TRUE(Work().m_HasSeenUsedBulldozerThisLevelAdvice) << "the bulldoze flag is for good";
    History().m_LevelsPlayed = 20;
    EXPECT_EQ(Chosen(true), "Plain");
    EXPECT_EQ(Chosen(true), "Plain") << "not even when only recent advice is left";
}

TEST_F(Advice, PlayCountersDecideTheBulldozeMatchingAssistAndPacifierAdvice)
{
    CAdviceOptions& options = Start({Entry("CAdviceHadToBulldoze", "Bulldoze"),
                                     Entry("CAdviceNotDoing3InARowMatching", "Match"),
                                     Entry("CAdviceNotUsingClickAssist", "Click"),
                                     Entry("CAdviceNotUsingMegaClickAssist", "Mega"),
                                     Entry("CAdviceNotUsingUpgradeInSlot", "Pacify", Line("Slot=Pacifier A")),
                                     Entry("CAdviceNotUsingUpgradeInSlot", "Other", Line("Slot=Garage"))});
    auto applies = [&] {
        std::string out;
        for (uint32_t i = 0; i < options.m_AdviceList.GetCount(); ++i)
            out += options.m_AdviceList[i]->Applies() ? '1' : '0';
        return out;
    };
    EXPECT_EQ(applies(), "011000");
    Play().m_AssistedClicks = 1; // an early attempt counts too
    Play().m_MadeThreeInARow = 2;
    Play().m_BulldozerUsed = 1;
    EXPECT_EQ(applies(), "100100");
    Play().m_MegaClickAssistsUsed = 1;
    CGameState::SGetCurrent()->ReceiveUpgrade(Upgrade("Soother"));
    CGameState::SGetCurrent()->ReceiveUpgrade(Upgrade("Shed"));
    EXPECT_EQ(applies(), "100010") << "only the pacifier's slot is watched";
    Play().m_PacifierUsed = 1;
    EXPECT_EQ(applies(), "100000");
}

TEST_F(Advice, OwnedPartsPricesAndMoneyDecideThePurchaseAdvice)
{
    CAdviceOptions& options
        = Start({Entry("CAdviceShouldPurchaseUpgradeForPhase", "Buy", Line("Phase=Garage")),
                 Entry("CAdviceHaveMoneyButNoUpgradeForPhase", "Rich",
                       Line("Phase=Garage") + Line("Spendable Ammount To Check=50")),
                 Entry("CAdviceAverageValueTooLowForPhase", "Cheap", Line("Phase=Garage") + Line("Ammount To Check=25")),
                 Entry("CAdviceShouldPurchaseUpgradeForSlot", "Fill", Line("Slot=Garage") + Line("Is Filling Empty Slot=1")),
                 Entry("CAdviceShouldPurchaseUpgradeForSlot", "Free", Line("Slot=Garage"))});
    CGameState& state = *CGameState::SGetCurrent();
    auto applies = [&] {
        std::string out;
        for (uint32_t i = 0; i < options.m_AdviceList.GetCount(); ++i)
            out += options.m_AdviceList[i]->Applies() ? '1' : '0';
        return out;
    };
    // Nothing owned; an empty slot reads the placeholder, which is free here.
    state.m_SpendableMoneyK = 49.5f;
    EXPECT_EQ(applies(), "10011");
    state.m_SpendableMoneyK = 50.0f;
    EXPECT_EQ(applies(), "11011") << "the money threshold is inclusive";

    // A free part of the phase is not a purchase.
    state.ReceiveUpgrade(Upgrade("Tent"));
    EXPECT_EQ(applies(), "11011") << "a free part in the slot, resale 40 is not low";

    state.ReceiveUpgrade(Upgrade("Shed"));
    EXPECT_EQ(applies(), "00100") << "the shed (resale 10) now holds the slot";

    CJString described;
    options.m_AdviceList[1]->GetDescription(described);
    const std::string rich = described.GetString();
    EXPECT_EQ(rich.substr(0, 28), "Have 50K But No Upgrade For ");
    EXPECT_EQ(rich.substr(rich.size() - 6), "Garage") << "the phase's list name";
    options.m_AdviceList[0]->GetDescription(described);
    const std::string buy = described.GetString();
    EXPECT_EQ(buy.substr(buy.size() - 6), "Garage");
}

TEST_F(Advice, MultitaskingIsTheShareOfTimeWithEnoughCrewsAndALevelWithoutTimeSaysNothing)
{
    CAdviceOptions& options
        = Start({Entry("CAdviceNotMultitasking", "Two", Line("Threshold Percent=30")),
                 Entry("CAdviceNotMultitasking", "Three", Line("Num Crews To Check=3") + Line("Threshold Percent=25"))});
    CAdvice& two = *options.m_AdviceList[0];
    CAdvice& three = *options.m_AdviceList[1];
    EXPECT_FALSE(two.Applies()) << "no time played";
    EXPECT_FALSE(three.Applies());

    Play().m_SecondsInLevel = 10.0f;
    Play().m_Seconds2CrewsWorking = 1.5f;
    Play().m_Seconds3CrewsWorking = 1.0f;
    Play().m_Seconds5OrMoreCrewsWorking = 0.5f;
    EXPECT_FALSE(two.Applies()) << "30% with two or more crews is not below 30";
    EXPECT_TRUE(three.Applies()) << "15% with three or more";
    Play().m_Seconds2CrewsWorking = 1.4f;
    EXPECT_TRUE(two.Applies()) << "29%";

    m_Level->m_IsSpeedRound = true;
    EXPECT_FALSE(three.Applies()) << "more than two crews on a speed round never";
    EXPECT_TRUE(two.Applies());
}

TEST_F(Advice, OptionalGoalAdviceComparesTheGoalsAchievedWithThoseOfferedSoFar)
{
    CAdviceOptions& options = Start({Entry("CAdviceGetMoreOptionalGoals", "Goals", Line("Percent To Check=0.5"))});
    CAdvice& goals = *options.m_AdviceList[0];
    SetCurrentLevelIndex(1);
    EXPECT_FALSE(goals.Applies()) << "no goals offered yet";

    SetOptionalGoalCount(0, 2);
    SetOptionalGoalCount(1, 2);
    SetOptionalGoalCount(2, 3); // after the current level: not counted
    CPlayerStats& player = *CStats::SGetInstance().GetCurrentPlayer();
    EXPECT_TRUE(goals.Applies()) << "0 of 4";
    player.GetLevelStats(0)->SetOptionalGoalAchieved(0);
    player.GetLevelStats(1)->SetOptionalGoalAchieved(1);
    EXPECT_TRUE(goals.Applies()) << "2 of 4 is still at most half";
    player.GetLevelStats(0)->SetOptionalGoalAchieved(1);
    EXPECT_FALSE(goals.Applies()) << "3 of 4";
}

TEST_F(Advice, TheBuildingRulesRepaintAndTheLastAdviceReachTheAdviceThroughTheirHooks)
{
    CScreensHooks levelHooks;
    CScopedHook<SetGameScreensHooks> level(&levelHooks);
    Start({Entry("CAdviceHadToPaintAgainForGarage", "Repainted"), Entry("CAdvice", "Plain")});
    History().m_LevelsPlayed = 1;
    EXPECT_EQ(GetGameScreensHooks().GetLastAdviceName().GetString(), std::string());
    EXPECT_EQ(Chosen(true), "Plain");

    NoteGarageRepainted();
    EXPECT_TRUE(Work().m_HadToRepaintForAddedGarage);
    EXPECT_EQ(Chosen(true), "Repainted");
    EXPECT_EQ(GetGameScreensHooks().GetLastAdviceName().GetString(), std::string("Repainted"));
}

TEST_F(Advice, HistoryAndWorkVariablesTravelWithTheProfileInStatsDat)
{
    Start({Entry("CAdvice", "A"), Entry("CAdviceHadToBulldoze", "B", Line("Can Show After=0"))});
    Play().m_BulldozerUsed = 1;
    History().AddLevelPlayed();
    History().AddLevelPlayed();
    EXPECT_TRUE(CStats::SGetInstance().NeedsSave());
    History().SetShownAt(0, 2);
    EXPECT_EQ(Chosen(true), "B");
    ASSERT_TRUE(CStats::SGetInstance().Save());
    CStats::SShutdown();

    // A fresh run reads them back from the file.
    EXPECT_EQ(History().m_LevelsPlayed, 2u);
    EXPECT_EQ(History().GetShownAt(0), 2u);
    EXPECT_EQ(History().GetShownAt(1), 2u);
    EXPECT_EQ(History().GetShownAt(7), 0u);
    EXPECT_TRUE(Work().m_HasSeenUsedBulldozerThisLevelAdvice);
    EXPECT_EQ(Chosen(false), "A") << "recent, but the bulldoze advice is spent";
}

} // namespace
