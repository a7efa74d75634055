// The demo's streets as a designer checks them before shipping: ten career
// streets over two decades and two tutorial streets after them, each with
// what a player sees of it and goals a player can reach with what they own
// by then; the decades' transitions, the life reward and the map's markers
// line up with them; the first tutorial street's bar offers only the parts
// its customers order; the second tutorial street teaches when it is played,
// not while it runs behind the main menu.
#include "ScreensGameTest.h"

#include "game/scripting/CSprite.h"
#include "game/screens/CDecadeTransition.h"
#include "game/screens/CLevelIntro.h"
#include "game/screens/CLifeRewards.h"
#include "game/screens/CMainMenu.h"
#include "game/screens/CTips.h"
#include "game/screens/CTutorialPopUp.h"
#include "game/world/CGameState.h"
#include "game/world/CGoal.h"
#include "game/world/CGoalTypes.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CLevelSorter.h"
#include "game/world/CLot.h"
#include "game/world/CPlayfield.h"
#include "game/world/CRules.h"
#include "game/world/CScenery.h"
#include "game/world/CTutorial.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CUpgrade.h"
#include "game/business/CSignpost.h"
#include "game/business/CUpgradeButton.h"
#include "game/screens/CTownMap.h"
#include "images/CFrameList.h"
#include "objects/CNewFileOptions.h"
#include "objects/ObjectFileCallbacks.h"
#include "ui/CJListBox.h"
#include "ui/CJStatic.h"
#include "ui/CScreenWindow.h"
#include "overlays/CFrameOverlay.h"
#include "shell/CClipboard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kCareerStreets = 10;
constexpr uint32_t kStreets = 12;

// What the starting state's slots let every customer order, in thousands:
// the cheapest frame (every order has one) and the best part of each phase.
struct SFreeParts {
    float cheapestFrame = 0.0f;
    float bestHouse = 0.0f;
};

SFreeParts FreeParts()
{
    SFreeParts parts;
    CGameState* initial = GetGameStateList().GetObject(GetGameStateList().Find("Initial"));
    if (!initial)
        return parts;
    const int32_t frame = GetBuildPhaseList().Find("Frame");
    std::map<int32_t, float> best;
    for (uint32_t slot = 0; slot < initial->m_UpgradeInSlot.GetCount(); ++slot) {
        const int32_t index = initial->m_UpgradeInSlot[slot];
        auto* part = index > 0 ? dynamic_cast<CBuildablePart*>(GetUpgradeList().GetObject(index)) : nullptr;
        if (!part)
            continue;
        best[part->m_BuildPhase] = std::max(best[part->m_BuildPhase], part->m_ResaleValue);
        if (part->m_BuildPhase == frame)
            parts.cheapestFrame = parts.cheapestFrame == 0.0f ? part->m_ResaleValue
                                                              : std::min(parts.cheapestFrame, part->m_ResaleValue);
    }
    for (const auto& [phase, value] : best)
        parts.bestHouse += value;
    return parts;
}

// The longest run of lots side by side in one row of the grid.
int32_t LongestRow(const std::vector<CLot*>& lots)
{
    std::set<std::pair<int32_t, int32_t>> places;
    for (CLot* lot : lots)
        places.insert({lot->m_GridCoordinate.y, lot->m_GridCoordinate.x});
    int32_t longest = 0;
    for (const auto& [row, column] : places) {
        int32_t run = 1;
        while (places.count({row, column + run}))
            ++run;
        longest = std::max(longest, run);
    }
    return longest;
}

class DemoStreets : public CScreensGameTest {
protected:
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        ReadList(GetDecadeTransitionList());
        ReadList(GetLifeRewardList(), "Resources/LifeRewards");
    }
};

TEST_F(DemoStreets, TenCareerStreetsOverTwoDecadesThenTwoTutorialStreetsEachShownAndWinnable)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    CLevelSet* levels = FindLevels();
    ASSERT_NE(levels, nullptr);
    ASSERT_EQ(levels->GetCount(), kStreets);
    EXPECT_EQ(levels->GetFirstTutorialLevelIndex(), kCareerStreets);
    EXPECT_EQ(levels->GetLastTutorialLevelIndex(), kStreets - 1);
    CJString first;
    levels->GetLevelName(first, kCareerStreets);
    EXPECT_STREQ(first.GetString(), "Town") << "the tutorial begins where it always did";
    CTipsOptions* tips = CTipsOptions::SGetInstance();
    ASSERT_NE(tips, nullptr);
    const SFreeParts free = FreeParts();
    ASSERT_GT(free.cheapestFrame, 0.0f) << "the starting state builds a house";

    std::set<std::string> names;
    uint32_t lastCustomers = 0;
    float lastRequired = 0.0f;
    for (uint32_t i = 0; i < kStreets; ++i) {
        SCOPED_TRACE(i);
        CLevelOptions* level = levels->GetLevel(i);
        ASSERT_NE(level, nullptr);
        const std::string name = level->m_DisplayName.GetText().GetString();
        EXPECT_TRUE(names.insert(name).second) << name << " twice";
        EXPECT_EQ(level->m_IsTutorialLevel, i >= kCareerStreets) << name;
        EXPECT_FALSE(tips->GetTipText(i).IsEmpty()) << name;
        EXPECT_FALSE(level->m_LevelIntro.IsEmpty()) << name;
        const char* decade = i < 5 || i >= kCareerStreets ? "Period 1" : "Period 2";
        EXPECT_STREQ(GetPeriodList().GetItemName(level->m_Period), decade) << name;
        CBackgroundStyleSheet* sheet = GetBackgroundStyleSheetList().GetObject(level->m_Background);
        ASSERT_NE(sheet, nullptr) << name;
        EXPECT_NE(GetFrameLibrary().GetObject(sheet->m_BackgroundImage), nullptr) << name;
        CPlayfieldLayer* lotLayer = level->GetPlayfield().FindLayer("Lot");
        ASSERT_NE(lotLayer, nullptr) << name;
        for (const char* layer : {"Customers", "HUD", "Crew", "Effects", "UI"})
            EXPECT_NE(level->GetPlayfield().FindLayer(layer), nullptr) << name << ": " << layer;
        uint32_t scenery = 0;
        for (uint32_t l = 0; l < level->GetPlayfield().GetLayerCount(); ++l)
            if (CPlayfieldLayer* layer = level->GetPlayfield().GetLayer(l); layer != lotLayer)
                scenery += layer->GetSpriteCount();
        EXPECT_GE(scenery, 3u) << name << " has its scenery";

        // Room for the line and a lot for every customer.
        const std::vector<CLot*> lots = LotsOf(*level);
        int32_t line = 3;
        if (level->m_MaxSimultaneousCustomersInLineInterval.GetCount() > 0) {
            line = 0;
            for (uint32_t k = 0; k < level->m_MaxSimultaneousCustomersInLineInterval.GetCount(); ++k)
                line = std::max(line, level->m_MaxSimultaneousCustomersInLineInterval[k]);
        }
        EXPECT_GE(int32_t(lots.size()), line) << name;
        EXPECT_GE(lots.size(), level->m_Customers) << name;
        EXPECT_LE(lots.size(), 12u) << name;

        // The goal is reached with a cottage for every customer, the revenue
        // goal with every customer's best house of the starting state.
        EXPECT_LE(level->m_RequiredRevenue, float(level->m_Customers) * free.cheapestFrame) << name;
        EXPECT_GE(level->m_OptionalGoals.GetCount(), 2u) << name;
        for (uint32_t g = 0; g < level->m_OptionalGoals.GetCount(); ++g) {
            CGoal* goal = level->m_OptionalGoals[g];
            ASSERT_NE(goal, nullptr);
            if (auto* revenue = dynamic_cast<CRevenueGoal*>(goal)) {
                EXPECT_GT(revenue->m_Revenue, level->m_RequiredRevenue) << name;
                EXPECT_LE(revenue->m_Revenue, float(level->m_Customers) * free.bestHouse) << name;
            } else if (dynamic_cast<CEveryHeartGoal*>(goal)) {
                EXPECT_EQ(lots.size(), level->m_Customers) << name << ": every lot can be lived in";
            } else if (auto* row = dynamic_cast<CXInARowGoal*>(goal)) {
                EXPECT_GE(LongestRow(lots), row->m_NumberOfLotsInARow) << name;
                CGameState* initial = GetGameStateList().GetObject(GetGameStateList().Find("Initial"));
                EXPECT_TRUE(initial && initial->HasUpgradeInSlot(row->m_UpgradeSlot)) << name;
            } else if (auto* time = dynamic_cast<CTimeGoal*>(goal)) {
                EXPECT_GE(time->m_TimeGoal, 30.0f * float(level->m_Customers)) << name;
            }
        }
        if (i < kCareerStreets) {
            EXPECT_GE(level->m_Customers, lastCustomers) << name << ": harder than the last";
            EXPECT_GT(level->m_RequiredRevenue, lastRequired) << name;
            lastCustomers = level->m_Customers;
            lastRequired = level->m_RequiredRevenue;
        }
    }
    // The first career street: short, for a new player.
    EXPECT_EQ(levels->GetLevel(0)->m_Customers, 3u);

    // Each street starts in the game and shows its lots, scenery sprites
    // whose pictures exist among them.
    for (uint32_t i = 0; i < kStreets; ++i) {
        SCOPED_TRACE(i);
        App()->StartLevelByIndex(i);
        if (CLevelIntroWindow* intro = GetLevelIntroWindow())
            intro->Destroy();
        ASSERT_TRUE(Pass(17));
        ASSERT_TRUE(Pass(17));
        ASSERT_EQ(GetCurrentLevelIndex(), i);
        CPlayfield* playfield = GetCurrentPlayfield();
        ASSERT_NE(playfield, nullptr);
        EXPECT_EQ(LotsOf(*CLevelOptions::SGetCurrent()).size(), LotsOf(*levels->GetLevel(i)).size());
        for (uint32_t l = 0; l < playfield->GetLayerCount(); ++l) {
            CPlayfieldLayer& layer = *playfield->GetLayer(l);
            for (uint32_t k = 0; k < layer.GetSpriteCount(); ++k) {
                if (layer.GetSprite(k)->FindAI(CScenery::SGetClassInfo())) {
                    EXPECT_NE(layer.GetSprite(k)->GetCurrentFrame(), nullptr) << layer.m_Name.GetString();
                }
            }
        }
        char name[32];
        std::snprintf(name, sizeof name, "street-%02u.ppm", i);
        SaveScreenshot(name);
    }
}

TEST_F(DemoStreets, TheDecadesTheLifeRewardAndTheMapLineUpWithTheStreets)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    CLevelSet* levels = FindLevels();
    ASSERT_NE(levels, nullptr);
    ASSERT_EQ(levels->GetCount(), kStreets);
    CFrameOverlayOptions* map
        = GetFrameOverlayOptionsList().GetObject(CRules::SGetInstance().m_LevelSelectMenuFrameOverlay);
    ASSERT_NE(map, nullptr);

    // A transition opens each decade, in the decade's music, and nowhere else.
    CDecadeTransitionList& transitions = GetDecadeTransitionList();
    for (uint32_t i = 0; i < kStreets; ++i) {
        SCOPED_TRACE(i);
        CDecadeTransition* transition = FindDecadeTransitionForLevel(transitions, i);
        const bool opensDecade = i == 0 || (i < kCareerStreets && levels->GetLevel(i)->m_Period
                                                                    != levels->GetLevel(i - 1)->m_Period);
        ASSERT_EQ(transition != nullptr, opensDecade);
        if (!transition)
            continue;
        EXPECT_EQ(transition->m_Period, levels->GetLevel(i)->m_Period);
        EXPECT_NE(GetFrameOverlayOptionsList().GetObject(transition->m_DecadeTransitionOverlay), nullptr);
        EXPECT_NE(map->FindPositionMarker(transition->m_PositionMarkerName), nullptr)
            << transition->m_PositionMarkerName.GetString();
    }

    // The life reward follows the tenth career street and covers all ten,
    // each of which has goals to earn.
    CLifeRewards* reward = FindLifeRewardForLevel(kCareerStreets - 1);
    ASSERT_NE(reward, nullptr);
    uint32_t goals = 0;
    for (uint32_t i = 0; i < kCareerStreets; ++i)
        goals += levels->GetLevel(i)->m_OptionalGoals.GetCount();
    EXPECT_EQ(reward->GetGoalsAvailable(), goals);
    EXPECT_FALSE(reward->IsUnlocked()) << "nothing earned yet";
    EXPECT_NE(map->FindPositionMarker(reward->m_PositionMarkerName), nullptr);
    for (uint32_t i = 0; i + 1 < kStreets; ++i) {
        if (i != kCareerStreets - 1) {
            EXPECT_EQ(FindLifeRewardForLevel(i), nullptr) << i;
        }
    }

    // A button for every career street on the map, in its decade's colour;
    // the tutorial streets are reached by the map's tutorial button.
    for (uint32_t i = 0; i < kStreets; ++i) {
        char id[16];
        std::snprintf(id, sizeof id, "Level%03u", i);
        EXPECT_EQ(map->FindPositionMarker(CJString(id)) != nullptr, i < kCareerStreets) << id;
        const CLevelOptions& level = *levels->GetLevel(i);
        const CJString image = GetLevelButtonImageName(level.m_Period, level.m_OptionalGoals.GetCount(), 0);
        EXPECT_GE(GetFrameLibrary().Find(image), 0) << image.GetString();
    }
    EXPECT_STRNE(GetLevelButtonImageName(levels->GetLevel(0)->m_Period, 2, 0).GetString(),
                 GetLevelButtonImageName(levels->GetLevel(kCareerStreets - 1)->m_Period, 2, 0).GetString())
        << "the decades differ in colour";
}

// Inserts, a move, a paste of every street and deletes in the Level Sorter:
// each street's tip, the decade cards and the life reward go with their
// streets, and reach their files with "Levels", all or none.
TEST_F(DemoStreets, TipsAndDecadeCardsFollowTheirStreetsThroughTheLevelSorter)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    CTipsOptions* tips = CTipsOptions::SGetInstance();
    ASSERT_NE(tips, nullptr);
    const std::string harbourTip = tips->GetTipText(0).GetString();
    const std::string mendersTip = tips->GetTipText(1).GetString();
    const std::string ferryTip = tips->GetTipText(4).GetString();
    const std::string hillTip = tips->GetTipText(5).GetString();
    auto cardBefore = [](uint32_t level) {
        CDecadeTransition* card = FindDecadeTransitionForLevel(GetDecadeTransitionList(), level);
        return card ? std::string(card->m_PositionMarkerName.GetString()) : std::string();
    };
    auto streetNames = [] {
        std::vector<std::string> names;
        for (uint32_t i = 0; i < FindLevels()->GetCount(); ++i)
            names.push_back(FindLevels()->GetLevel(i)->m_DisplayName.GetText().GetString());
        return names;
    };
    const std::vector<std::string> streetsAtOpen = streetNames();
    const uint32_t shown = GetCurrentLevelIndex();
    CLevelSorterWindow* sorter = OpenLevelSorter();
    ASSERT_NE(sorter, nullptr);
    auto at = [&sorter](int32_t row) { return sorter->GetList()->SelectItem(row, true), sorter; };
    at(0)->Insert();
    EXPECT_STREQ(tips->GetTipText(0).GetString(), "");
    EXPECT_EQ(tips->GetTipText(1).GetString(), harbourTip);
    EXPECT_EQ(cardBefore(0) + "/" + cardBefore(1) + "/" + cardBefore(6), "/Harbour Years/Hill Years");
    EXPECT_NE(FindLifeRewardForLevel(kCareerStreets), nullptr) << "after Far Side";
    // Hill Top moves up before Ferry Quay, its card and tip with it.
    at(6)->MoveUp();
    EXPECT_EQ(cardBefore(5), "Hill Years");
    EXPECT_EQ(tips->GetTipText(5).GetString(), hillTip);
    at(0)->Delete();
    EXPECT_EQ(cardBefore(0) + "/" + cardBefore(4), "Harbour Years/Hill Years");
    EXPECT_EQ(tips->GetTipText(0).GetString(), harbourTip);
    EXPECT_EQ(tips->GetTipCount(), kStreets);

    // Every street pasted before the first: each copy brings its tip, and
    // what follows moves by twelve.
    sorter->CopyAll();
    at(0)->Paste();
    EXPECT_EQ(std::string(tips->GetTipText(0).GetString()) + tips->GetTipText(4).GetString(), harbourTip + hillTip);
    EXPECT_EQ(tips->GetTipText(kStreets).GetString(), harbourTip);
    EXPECT_EQ(cardBefore(kStreets) + "/" + cardBefore(kStreets + 4), "Harbour Years/Hill Years");
    EXPECT_NE(FindLifeRewardForLevel(2 * kCareerStreets + 1), nullptr);
    for (uint32_t i = 0; i < kStreets; ++i)
        at(0)->Delete();
    // Harbour Row, which carries the first card, deleted: the card goes to
    // the street that takes its number, the others stay with theirs.
    at(0)->Delete();
    EXPECT_EQ(cardBefore(0) + "/" + cardBefore(3), "Harbour Years/Hill Years");
    EXPECT_EQ(tips->GetTipText(0).GetString(), mendersTip);
    EXPECT_NE(FindLifeRewardForLevel(kCareerStreets - 2), nullptr);

    // A card that cannot be written is named, no file is written, and the
    // game goes on with the order, tips and cards the files have.
    const std::string levels = ReadBytes(PathOf("Data/Resources/Levels.Object.txt"));
    const std::string tipsFile = ReadBytes(PathOf("Data/Resources/Tips Options.Object.txt"));
    const std::string hill = PathOf("Data/Resources/Hill Years.DecadeTransition.txt");
    const std::string hillFile = ReadBytes(hill);
    std::filesystem::remove(hill);
    std::filesystem::create_directory(hill);
    SetCurrentLevelIndex(3);
    sorter->RequestClose();
    Passes(2);
    // The box the close raised: its text, and the box taken away.
    const auto boxSays = [] {
        std::string said;
        CJWindow* box = CScreenWindow::GetScreenWindow()->GetFirstChild();
        if (!box)
            return said;
        for (CJWindow* text = box->GetFirstChild(); text; text = text->GetNextSibling())
            if (dynamic_cast<CJStatic*>(text))
                said = text->GetTitle().GetString();
        box->Destroy();
        return said;
    };
    std::string said = boxSays();
    ASSERT_NE(said, "");
    // A folder where the card was: its file changed on disk.
    EXPECT_EQ(said.rfind("Could not save Resources/Hill Years.DecadeTransition.txt: it was changed on disk", 0), 0u)
        << said;
    EXPECT_NE(said.find("The levels are back"), std::string::npos) << said;
    EXPECT_TRUE(ReadBytes(PathOf("Data/Resources/Levels.Object.txt")) == levels);
    EXPECT_TRUE(ReadBytes(PathOf("Data/Resources/Tips Options.Object.txt")) == tipsFile);
    EXPECT_EQ(tips->GetTipText(0).GetString(), harbourTip);
    EXPECT_EQ(tips->GetTipText(5).GetString(), hillTip);
    EXPECT_EQ(tips->GetTipCount(), kStreets);
    EXPECT_EQ(cardBefore(0) + "/" + cardBefore(5), "Harbour Years/Hill Years");
    EXPECT_NE(FindLifeRewardForLevel(kCareerStreets - 1), nullptr);
    EXPECT_FALSE(FindLevels()->HasUnsavedOrder());
    EXPECT_EQ(GetCurrentLevelIndex(), shown) << "the street shown when the sorter opened";
    EXPECT_EQ(streetNames(), streetsAtOpen);

    // A card the list browser adds before them moves the cards' rows; the
    // close writes the cards that changed all the same.
    sorter = OpenLevelSorter();
    at(5)->MoveUp();
    at(0)->Delete();
    std::unique_ptr<CNewFileOptions> card(GetDecadeTransitionList().GetNewFileOptions());
    ASSERT_NE(card, nullptr);
    card->m_Name.Set("Garden Years");
    ASSERT_EQ(GetDecadeTransitionList().AddItemFromNewFileOptions(*card), 1);
    std::filesystem::remove(hill);
    WriteBytes(hill, hillFile);
    sorter->RequestClose();
    Passes(2);
    EXPECT_NE(ReadBytes(hill).find("Level To Display Before=4\r\n"), std::string::npos);
    EXPECT_NE(ReadBytes(PathOf("Data/Resources/Tips Options.Object.txt")).find(hillTip + "\r\n\t\tTip=" + ferryTip),
              std::string::npos);
    const std::string rewardFile = PathOf("Data/Resources/LifeRewards/First Streets.LifeRewards.txt");
    EXPECT_NE(ReadBytes(rewardFile).find("Level To Display After=9\r\n"), std::string::npos);

    // A street copied here and another copied elsewhere later: the paste
    // brings no tip of the first.
    sorter = OpenLevelSorter();
    at(0)->Copy();
    CClipboard::SGetInstance().CopyObject(FindLevels()->GetLevel(2));
    at(0)->Paste();
    EXPECT_STREQ(tips->GetTipText(0).GetString(), "");
    at(0)->Delete();
    // The reward's own street deleted: the reward goes to the street
    // before; carried by the first street, it stays there.
    CLifeRewards* reward = FindLifeRewardForLevel(kCareerStreets - 2);
    ASSERT_NE(reward, nullptr);
    at(int32_t(kCareerStreets) - 2)->Delete();
    EXPECT_EQ(reward->m_LevelToDisplayAfter, kCareerStreets - 2);
    reward->m_LevelToDisplayAfter = 1;
    at(0)->Delete();
    EXPECT_EQ(reward->m_LevelToDisplayAfter, 1u);
    sorter->RequestClose();
    Passes(2);
    EXPECT_NE(ReadBytes(rewardFile).find("Level To Display After=1\r\n"), std::string::npos);

    // The tips edited by hand meanwhile: a move is refused, not written over them.
    const auto moveTheSecondUpAndClose = [&] {
        sorter = OpenLevelSorter();
        at(1)->MoveUp();
        sorter->RequestClose();
        Passes(2);
        return boxSays();
    };
    const std::string tipsPath = PathOf("Data/Resources/Tips Options.Object.txt");
    std::string byHand = ReadBytes(tipsPath);
    const std::string tipsSaved = byHand;
    byHand.replace(byHand.find(hillTip), hillTip.size(), "Hill by hand");
    WriteBytes(tipsPath, byHand);
    const std::string levelsNow = ReadBytes(PathOf("Data/Resources/Levels.Object.txt"));
    said = moveTheSecondUpAndClose();
    ASSERT_NE(said, "");
    EXPECT_EQ(said.rfind("Could not save Resources/Tips Options.Object.txt: it was changed on disk", 0), 0u) << said;
    EXPECT_TRUE(ReadBytes(tipsPath) == byHand);
    EXPECT_TRUE(ReadBytes(PathOf("Data/Resources/Levels.Object.txt")) == levelsNow);

    // A line the reader passes over, there since the start or typed since:
    // refused, and the message says the line is the cause.
    std::string typed = byHand;
    typed.replace(typed.find("Hill by hand"), std::string("Hill by hand").size(), "Hill by hand\r\n\t\tTip Hill");
    WriteBytes(tipsPath, typed);
    said = moveTheSecondUpAndClose();
    ASSERT_NE(said, "");
    std::replace(said.begin(), said.end(), '\n', ' ');
    const std::string tipLine = "line "
        + std::to_string(std::count(typed.begin(), typed.begin() + typed.find("Tip Hill"), '\n') + 1)
        + " is not understood (\"Tip Hill\")";
    EXPECT_EQ(said.rfind("Could not save Resources/Tips Options.Object.txt: it was changed on disk since it was read, "
                         "and it cannot be read whole: "
                             + tipLine + ". The levels are back in the order the files have. Undo the change on disk",
                         0),
              0u)
        << said;
    EXPECT_TRUE(ReadBytes(tipsPath) == typed);

    // A card or reward put in its folder by hand while the program runs is
    // not one the sorter renumbers: a move is refused with the file named.
    WriteBytes(tipsPath, tipsSaved);
    const std::string addedCard = PathOf("Data/Resources/Quay Years.DecadeTransition.txt");
    const std::string addedReward = PathOf("Data/Resources/LifeRewards/Quay Streets.LifeRewards.txt");
    for (const std::string& added : {addedCard, addedReward}) {
        SCOPED_TRACE(added);
        const std::string written = ReadBytes(added == addedCard ? hill : rewardFile);
        WriteBytes(added, written);
        said = moveTheSecondUpAndClose();
        ASSERT_NE(said, "");
        std::replace(said.begin(), said.end(), '\n', ' ');
        EXPECT_NE(said.find(added.substr(added.find("Resources/")) + ": it was added on disk"), std::string::npos)
            << said;
        EXPECT_TRUE(ReadBytes(added) == written);
        EXPECT_TRUE(ReadBytes(PathOf("Data/Resources/Levels.Object.txt")) == levelsNow);
        std::filesystem::remove(added);
    }

    // The line there since the start: nobody changed the file, the line is
    // what to mend.
    EndRun();
    WriteBytes(tipsPath, typed);
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    said = moveTheSecondUpAndClose();
    std::replace(said.begin(), said.end(), '\n', ' ');
    EXPECT_EQ(said.rfind("Could not save Resources/Tips Options.Object.txt: it cannot be read whole: " + tipLine
                             + ". The levels are back in the order the files have. Correct or remove that line in the "
                               "file to sort them again.",
                         0),
              0u)
        << said;
    EXPECT_EQ(said.find("Undo"), std::string::npos) << said;
    EXPECT_TRUE(ReadBytes(tipsPath) == typed);
}

// The tips or a card saved on their own while the sorter's move waits, as
// the object editor saves them: refused, so that no file holds an order the
// levels file has not, whether the move is then saved or refused; the edit
// goes with the move's save.
TEST_F(DemoStreets, TipsSavedOnTheirOwnWhileAMoveWaitsWaitForTheMove)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    CTipsOptions* tips = CTipsOptions::SGetInstance();
    ASSERT_NE(tips, nullptr);
    const std::string harbourTip = tips->GetTipText(0).GetString();
    const std::string tipsPath = PathOf("Data/Resources/Tips Options.Object.txt");
    const std::string levelsPath = PathOf("Data/Resources/Levels.Object.txt");
    const std::string hill = PathOf("Data/Resources/Hill Years.DecadeTransition.txt");
    auto savedAlone = [](CObject* object) {
        if (SaveObjectToOwnFile(object))
            return std::string("saved");
        CJString name;
        FindFailedSaveFile(object, &name);
        return std::string(FailedSaveMessage(name).GetString());
    };
    auto errorSaid = [] {
        std::string said;
        CJWindow* box = CScreenWindow::GetScreenWindow()->GetFirstChild();
        if (!box || box->GetTitle().Compare("Error") != 0)
            return said;
        for (CJWindow* text = box->GetFirstChild(); text; text = text->GetNextSibling())
            if (dynamic_cast<CJStatic*>(text))
                said += text->GetTitle().GetString();
        box->Destroy();
        std::replace(said.begin(), said.end(), '\n', ' ');
        return said;
    };
    CLevelSorterWindow* sorter = OpenLevelSorter();
    ASSERT_NE(sorter, nullptr);
    sorter->GetList()->SelectItem(1, true);
    sorter->MoveUp();
    tips->m_TipsList[0].SetText("Menders, edited");
    const std::string tipsFile = ReadBytes(tipsPath);
    const std::string refused = savedAlone(tips);
    EXPECT_EQ(refused.rfind("Could not save Resources/Tips Options.Object.txt: it follows the levels' new order", 0),
              0u);
    EXPECT_NE(refused.find("not saved yet. Nothing was written: your edits are kept here and saved with the levels"),
              std::string::npos)
        << refused;
    CDecadeTransition* hillCard = FindDecadeTransitionForLevel(GetDecadeTransitionList(), 5);
    ASSERT_NE(hillCard, nullptr);
    const std::string hillFile = ReadBytes(hill);
    sorter->GetList()->SelectItem(5, true);
    sorter->MoveUp();
    EXPECT_NE(savedAlone(hillCard).find("Hill Years.DecadeTransition.txt: it follows"), std::string::npos);
    CLifeRewards* reward = GetLifeRewardList().GetObjectByName("First Streets");
    ASSERT_NE(reward, nullptr);
    sorter->GetList()->SelectItem(9, true);
    sorter->MoveUp();
    EXPECT_NE(savedAlone(reward).find("First Streets.LifeRewards.txt: it follows"), std::string::npos);
    EXPECT_TRUE(ReadBytes(tipsPath) == tipsFile);
    EXPECT_TRUE(ReadBytes(hill) == hillFile);
    sorter->RequestClose();
    Passes(2);
    EXPECT_EQ(errorSaid(), "");
    EXPECT_NE(ReadBytes(tipsPath).find("Menders, edited\r\n\t\tTip=" + harbourTip), std::string::npos);
    const std::string levels = ReadBytes(levelsPath);
    EXPECT_LT(levels.find("Menders Lane"), levels.find("Harbour Row"));
    EXPECT_EQ(savedAlone(tips), "saved") << "nothing waits";

    // The move's save then refused (the levels changed by hand): the tips
    // file still holds the order the levels file has.
    const std::string tipsNow = ReadBytes(tipsPath);
    sorter = OpenLevelSorter();
    sorter->GetList()->SelectItem(1, true);
    sorter->MoveUp();
    EXPECT_NE(savedAlone(tips), "saved");
    std::string levelsByHand = levels;
    levelsByHand.insert(levelsByHand.find("Comment=", levelsByHand.find("Harbour Row\r\n")) + 8, "by hand ");
    WriteBytes(levelsPath, levelsByHand);
    sorter->RequestClose();
    Passes(2);
    EXPECT_NE(errorSaid().find("The levels are back in the order the files have"), std::string::npos);
    EXPECT_TRUE(ReadBytes(tipsPath) == tipsNow);
    WriteBytes(levelsPath, levels);

    // A save of the levels with the tips, then a later file of the group
    // refused: the copy the tips are checked against stays the file's, and
    // the next save writes the group.
    InsertLevelIntoSet(*FindLevels(), 0);
    const std::string hillNow = ReadBytes(hill);
    std::filesystem::remove(hill);
    std::filesystem::create_directory(hill);
    EXPECT_NE(savedAlone(FindLevels()).find("Hill Years.DecadeTransition.txt: it was changed on disk"),
              std::string::npos);
    std::filesystem::remove(hill);
    WriteBytes(hill, hillNow);
    EXPECT_EQ(savedAlone(FindLevels()), "saved");
    EXPECT_NE(ReadBytes(tipsPath).find("\t\tTip=\r\n\t\tTip=Menders, edited"), std::string::npos);
}

// The first lesson teaches the cottage alone: every customer there orders a
// bare cottage, which houses them built and never painted.
TEST_F(DemoStreets, TheFirstTutorialStreetsCustomersOrderTheBareCottageItTeaches)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    App()->StartLevelByIndex(FindLevels()->GetFirstTutorialLevelIndex());
    Seconds(0.1f);
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    ASSERT_STREQ(level->m_DisplayName.GetText().GetString(), "Town");
    const int32_t cottage = GetUpgradeList().Find("Cottage");
    auto* part = dynamic_cast<CBuildablePart*>(GetUpgradeByIndex(cottage));
    ASSERT_NE(part, nullptr);
    CBuildablePackage bare;
    bare.ResetToDefaults();
    bare.StartBuilding(*part, cottage, nullptr);
    bare.FinishBuilding();
    ASSERT_EQ(level->m_FutureOrders.GetCount(), uint32_t(level->m_Customers));
    for (uint32_t i = 0; i < level->m_FutureOrders.GetCount(); ++i) {
        EXPECT_TRUE(bare.HasSamePartsAs(level->m_FutureOrders[i])) << i;
        EXPECT_TRUE(bare.IsPaintedFor(level->m_FutureOrders[i])) << i;
    }

    // The bar offers no part that leaves a house none of those orders take;
    // the next street, which teaches the garage and paint, offers both.
    const auto barParts = [] {
        std::set<std::string> parts;
        CPlayfieldLayer* ui = GetCurrentPlayfield()->FindLayer("UI");
        for (uint32_t i = 0; ui && i < ui->GetSpriteCount(); ++i)
            if (auto* offered = dynamic_cast<CBuildablePart*>(GetButtonUpgrade(ui->GetSprite(i)->GetAI())))
                parts.insert(offered->m_Name.GetText().GetString());
        return parts;
    };
    EXPECT_EQ(barParts(), std::set<std::string>{"Cottage"});
    // Nor a signpost, which stands only by a painted house.
    ASSERT_FALSE(bare.IsFullyPainted());
    CPlayfieldLayer* bar = GetCurrentPlayfield()->FindLayer("UI");
    for (uint32_t i = 0; bar && i < bar->GetSpriteCount(); ++i)
        EXPECT_EQ(dynamic_cast<CSignpostUpgrade*>(GetButtonUpgrade(bar->GetSprite(i)->GetAI())), nullptr);
    // Nor do crews for those parts stand idle in the yard.
    for (const char* crew : {"Garage Crew", "Painting Crew"})
        EXPECT_FALSE(CGameState::SGetCurrent()->HasReceivedUpgrade(GetUpgradeList().Find(crew))) << crew;
    App()->StartLevelByIndex(FindLevels()->GetFirstTutorialLevelIndex() + 1);
    Seconds(0.1f);
    EXPECT_EQ(barParts(), (std::set<std::string>{"Cottage", "Lemon Paint", "Single Garage", "Sky Blue Paint"}));
}

TEST_F(DemoStreets, TheSecondTutorialStreetTeachesTheGarageWithItsFirstCustomerNotBehindTheMenu)
{
    InstallMainMenuScreen();
    ASSERT_TRUE(Start());
    Seconds(0.1f);
    ASSERT_NE(GetMainMenu(), nullptr);
    CLevelSet* levels = FindLevels();
    ASSERT_EQ(GetCurrentLevelIndex(), levels->GetCount() - 1);
    ASSERT_STREQ(CLevelOptions::SGetCurrent()->m_DisplayName.GetText().GetString(), "Garden Lane");
    Seconds(12.0f);
    EXPECT_TRUE(OpenMessages().empty()) << "no lesson behind the main menu";
    CTutorialHistory* history = GetTutorialHistory();
    EXPECT_TRUE(!history || history->m_TutorialIndexesHaveBeenDisplayed.GetCount() == 0);

    GetMainMenu()->Destroy();
    App()->StartLevelByIndex(levels->GetCount() - 1);
    Seconds(0.1f);
    EXPECT_TRUE(OpenMessages().empty());
    for (int i = 0; i < 40 && OpenMessages().empty(); ++i)
        Seconds(0.5f);
    EXPECT_EQ(OpenMessages(), std::vector<std::string>{"Garden Garage"}) << "with the first customer";
}

} // namespace
