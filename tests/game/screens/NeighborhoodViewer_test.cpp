// The neighbourhood viewer over the demo game's four levels: which level it
// opens on and where "Next" and "Prev" may lead, the town as the profile
// kept it (buildings back, empty lots gone, goals met), and the played level
// given back when it closes, whichever way it is reached.
#include "ScreensGameTest.h"

#include "game/scripting/CSprite.h"
#include "game/scripting/ScriptingHooks.h"
#include "game/screens/CAchievement.h"
#include "game/screens/CNeighborhoodViewer.h"
#include "game/screens/CStats.h"
#include "game/screens/CTrophyRoom.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CCustomer.h"
#include "game/business/CUpgrade.h"
#include "game/world/CGoal.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CLot.h"
#include "game/world/CPlayfield.h"
#include "objects/CClassInfo.h"
#include "objects/CNewFileOptions.h"
#include "objects/CPropertyArrayProperty.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "ui/CJButton.h"
#include "ui/CScreenWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class NeighborhoodViewer : public CScreensGameTest {
protected:
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        std::string set = "CFrameOverlayOptions\r\n{\r\n\tText Overlays=Array\r\n\t{\r\n\t\tItem Count=3\r\n";
        int x = 40;
        for (const char* id : {"Prev", "Continue", "Next"}) {
            set += "\t\tArray Item=CFrameOverlayButton\r\n\t\t{\r\n\t\t\tID=" + std::string(id) + "\r\n\t\t\tTitle=" +
                   id + "\r\n\t\t\tPosition=" + std::to_string(x) + ",700\r\n\t\t\tSize=120,40\r\n\t\t}\r\n";
            x += 300;
        }
        WriteBytes(PathOf("Data/Resources/Frame Overlay Options/Neighborhood Viewer Overlay.FOO"),
                   set + "\t}\r\n}\r\n");
        // The trophy room's set names the demo's trophies.
        ReadList(GetAchievementList(), "Resources", "Achievement");
        ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
        ASSERT_TRUE(Pass(17));
    }
    void TearDown() override
    {
        if (CNeighborhoodViewer* viewer = GetNeighborhoodViewer())
            viewer->Destroy();
        CScreensGameTest::TearDown();
    }
    static void SaveLots(uint32_t level, const std::vector<const char*>& entries)
    {
        CPlayerStatsForLevel* record = Player().GetLevelStats(level);
        ASSERT_NE(record, nullptr);
        auto* list = static_cast<CPropertyArrayProperty*>(
            CPlayerStatsForLevel::SGetClassInfo()->FindProperty("Saved Level Info For Scrapbook"));
        list->ArrayProperty_SetCount(record, uint32_t(entries.size()));
        for (uint32_t i = 0; i < entries.size(); ++i)
            record->m_SavedLevelInfoForScrapbook[i] = CJString(entries[i]);
    }
    static std::string Shown(const CNeighborhoodViewer& viewer, const char* key)
    {
        CTextSubstitutionList values;
        viewer.FillSubstitutions(values);
        return values.Apply(CJString(key)).GetString();
    }
    static std::vector<CSprite*> Lots(CLevelOptions& level)
    {
        std::vector<CSprite*> lots;
        CPlayfieldLayer* layer = level.GetPlayfield().FindLayer("Lot");
        for (uint32_t i = 0; layer && i < layer->GetSpriteCount(); ++i)
            if (CLot::SFromSprite(layer->GetSprite(i)))
                lots.push_back(layer->GetSprite(i));
        return lots;
    }
    static std::vector<int32_t> FirstParts(CSprite* lotSprite)
    {
        const CBuildablePackage* building = CLot::SFromSprite(lotSprite)->GetBuilding();
        std::vector<int32_t> parts;
        for (uint32_t i = 0; building && i < 4 && i < building->m_Parts.GetCount(); ++i)
            parts.push_back(building->m_Parts[i]);
        return parts;
    }
};

TEST_F(NeighborhoodViewer, OpensOnTheSelectedLevelOrTheOneBeforeAndStepsOnlyToLevelsThatKeptTheirLots)
{
    ASSERT_EQ(FindLevels()->GetCount(), 12u);
    SaveLots(0, {"1,0,0,0"});
    SaveLots(1, {"1,0,0,0"});
    SaveLots(3, {"1,0,0,0"});
    // Level 2 kept nothing, level 1 did: the viewer shows level 1.
    Player().m_SelectedLevel = 2;
    CNeighborhoodViewer* viewer = OpenNeighborhoodViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->GetViewedLevelIndex(), 1u);
    EXPECT_STREQ(viewer->GetLevelCopy()->m_DisplayName.GetText().GetString(), "Menders Lane");
    EXPECT_NE(viewer->GetPrevButton(), nullptr);
    EXPECT_EQ(viewer->GetNextButton(), nullptr) << "level 2 kept no lots";
    EXPECT_EQ(Shown(*viewer, "%s[HasPrevButton] %s[HasNextButton]"), "1 0");
    viewer->Next();
    EXPECT_EQ(viewer->GetViewedLevelIndex(), 1u);

    // Prev by its button: level 0 offers no way further back.
    ClickOn(viewer->GetPrevButton());
    ASSERT_EQ(GetNeighborhoodViewer(), viewer);
    EXPECT_EQ(viewer->GetViewedLevelIndex(), 0u);
    EXPECT_EQ(viewer->GetPrevButton(), nullptr);
    EXPECT_NE(viewer->GetNextButton(), nullptr);
    EXPECT_EQ(Shown(*viewer, "%s[HasPrevButton] %s[HasNextButton] %s[Decade]"), "0 1 1");
    viewer->Prev();
    EXPECT_EQ(viewer->GetViewedLevelIndex(), 0u);
    viewer->Destroy();

    // A level that kept its lots is viewed itself; one that did not, after one
    // that did not either, is still the one viewed.
    Player().m_SelectedLevel = 3;
    EXPECT_EQ(OpenNeighborhoodViewer()->GetViewedLevelIndex(), 3u);
    GetNeighborhoodViewer()->Destroy();
    SaveLots(1, {});
    Player().m_SelectedLevel = 2;
    viewer = OpenNeighborhoodViewer();
    EXPECT_EQ(viewer->GetViewedLevelIndex(), 2u);
    EXPECT_EQ(viewer->GetPrevButton(), nullptr);
    EXPECT_NE(viewer->GetNextButton(), nullptr);
    viewer->Prev();
    EXPECT_EQ(viewer->GetViewedLevelIndex(), 2u) << "never to a level without lots";
    viewer->Destroy();
    // A stale selection past the set views its last level; no record is made.
    const uint32_t records = Player().m_pStatsForLevel.GetCount();
    Player().m_SelectedLevel = 0xFFFFFFFFu;
    EXPECT_EQ(OpenNeighborhoodViewer()->GetViewedLevelIndex(), FindLevels()->GetCount() - 1);
    EXPECT_EQ(Player().m_pStatsForLevel.GetCount(), records);
}

TEST_F(NeighborhoodViewer, TheTownComesBackAsKeptAndThePlayedLevelReturnsOnClose)
{
    CLevelOptions* played = CLevelOptions::SGetCurrent();
    ASSERT_NE(played, nullptr);
    CPlayfield* playedField = GetCurrentPlayfield();
    // Level 1 has four lots; the record kept three entries, one damaged.
    SaveLots(1, {"5,6", "", " 2 ,x7,9,99999999999"});
    Player().GetLevelStats(1)->SetOptionalGoalAchieved(1);
    Player().m_SelectedLevel = 1;
    CNeighborhoodViewer* viewer = OpenNeighborhoodViewer();
    ASSERT_NE(viewer, nullptr);
    CLevelOptions* copy = viewer->GetLevelCopy();
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, FindLevels()->GetLevel(1));

    // While open the viewed town is the current level, for the game and the scripts.
    EXPECT_EQ(CLevelOptions::SGetCurrent(), copy);
    EXPECT_EQ(GetCurrentPlayfield(), &copy->GetPlayfield());
    EXPECT_TRUE(GetGameScreensHooks().IsScreenOpen(EGameScreen::NeighbourhoodViewer));
    EXPECT_TRUE(GetScriptingHooks().IsNeighborhoodViewerOpen());

    std::vector<CSprite*> lots = Lots(*copy);
    ASSERT_EQ(lots.size(), 4u);
    // The fields an entry lacks read 0.
    EXPECT_TRUE(lots[0]->IsVisible());
    EXPECT_EQ(FirstParts(lots[0]), (std::vector<int32_t>{5, 6, 0, 0}));
    EXPECT_EQ(CLot::SFromSprite(lots[0])->GetSprite(), lots[0]);
    EXPECT_FALSE(lots[1]->IsVisible()) << "nobody lived there";
    // A field that is no number reads 0; one too large saturates, and the
    // town still draws (no such part: nothing drawn for it).
    EXPECT_TRUE(lots[2]->IsVisible());
    EXPECT_EQ(FirstParts(lots[2]), (std::vector<int32_t>{2, 0, 9, 2147483647}));
    EXPECT_FALSE(lots[3]->IsVisible()) << "a lot past the kept entries";
    ASSERT_EQ(copy->m_OptionalGoals.GetCount(), 2u);
    EXPECT_FALSE(copy->m_OptionalGoals[0]->m_AchievedThisTime);
    EXPECT_TRUE(copy->m_OptionalGoals[1]->m_AchievedThisTime);
    EXPECT_TRUE(copy->m_OptionalGoals[1]->m_AwardedThisTime);
    // The level set's own level is untouched.
    for (CSprite* lot : Lots(*FindLevels()->GetLevel(1)))
        EXPECT_TRUE(lot->IsVisible());
    EXPECT_FALSE(FindLevels()->GetLevel(1)->m_OptionalGoals[1]->m_AchievedThisTime);

    // Frames pass over the viewed town; Escape is "Continue".
    ASSERT_NO_FATAL_FAILURE(Passes(3));
    SaveScreenshot("neighborhood-viewer.ppm");
    ASSERT_EQ(GetNeighborhoodViewer(), viewer);
    EXPECT_EQ(viewer->GetCancelButton(), viewer->GetContinueButton());
    EXPECT_TRUE(viewer->OnKeyDown(kKeyEscape));
    EXPECT_EQ(GetNeighborhoodViewer(), nullptr);
    EXPECT_EQ(CLevelOptions::SGetCurrent(), played);
    EXPECT_EQ(GetCurrentPlayfield(), playedField);
    EXPECT_FALSE(GetScriptingHooks().IsNeighborhoodViewerOpen());
    ASSERT_NO_FATAL_FAILURE(Passes(2));
}

TEST_F(NeighborhoodViewer, AFinishedHouseStandsOnALivedInLotWithoutTheVacantLotsSign)
{
    // Every lot of the level file starts on the vacant ground, whose sign
    // would show around (and through) the house put back on it.
    const int32_t vacant = GetSequenceList().Find("Lot Vacant");
    const int32_t livedIn = GetSequenceList().Find("Lot LivedIn");
    ASSERT_GT(vacant, 0);
    ASSERT_GT(livedIn, 0);
    for (CSprite* lot : Lots(*FindLevels()->GetLevel(1)))
        ASSERT_EQ(CLot::SFromSprite(lot)->m_BackgroundSequence, vacant);

    SaveLots(1, {"1,0,0,0", "", "1,2,0,0", "1,0,3,0"});
    Player().m_SelectedLevel = 1;
    CNeighborhoodViewer* viewer = OpenNeighborhoodViewer();
    ASSERT_NE(viewer, nullptr);
    std::vector<CSprite*> lots = Lots(*viewer->GetLevelCopy());
    ASSERT_EQ(lots.size(), 4u);
    for (size_t i : {0u, 2u, 3u}) {
        EXPECT_TRUE(lots[i]->IsVisible()) << i;
        EXPECT_EQ(CLot::SFromSprite(lots[i])->m_BackgroundSequence, livedIn) << "lot " << i;
    }
    EXPECT_FALSE(lots[1]->IsVisible());

    // Stepping to another level dresses its lots the same way.
    SaveLots(2, {"", "1,0,0,0"});
    viewer->Next();
    ASSERT_EQ(viewer->GetViewedLevelIndex(), 2u);
    lots = Lots(*viewer->GetLevelCopy());
    ASSERT_GE(lots.size(), 2u);
    EXPECT_EQ(CLot::SFromSprite(lots[1])->m_BackgroundSequence, livedIn);
    ASSERT_NO_FATAL_FAILURE(Passes(2));
    for (CSprite* lot : Lots(*FindLevels()->GetLevel(2)))
        EXPECT_EQ(CLot::SFromSprite(lot)->m_BackgroundSequence, vacant) << "the level set's own level is untouched";
}

TEST_F(NeighborhoodViewer, AKeptStreetLooksTheSameAfterANewUpgradeSortsBeforeItsParts)
{
    const int32_t cottage = GetUpgradeList().Find("Cottage");
    const int32_t lemon = GetUpgradeList().Find("Lemon Paint");
    ASSERT_GT(cottage, 0);
    // The played street finished with a lemon cottage on its first lot.
    const uint32_t frame = uint32_t(GetFramePhase());
    const uint32_t paint = uint32_t(GetColorPhase());
    ASSERT_EQ(std::vector<uint32_t>({paint, frame}), std::vector<uint32_t>({1u, 2u}));
    CLot& lot = *CLot::SFromSprite(Lots(*CLevelOptions::SGetCurrent())[0]);
    lot.m_Building->SizeToBuildPhases();
    lot.m_Building->m_Parts[frame] = cottage;
    lot.m_Building->m_Parts[paint] = lemon;
    lot.m_CustomerLivingHere = new CCustomer;
    Player().GetLevelStats(0)->SaveLotInfoForScrapbook();
    // An earlier build kept rows; they read as the list stood at the start.
    SaveLots(1, {("0," + std::to_string(lemon) + "," + std::to_string(cottage) + ",0").c_str()});
    CStats::SShutdown();
    CStats::SGetInstance();

    std::unique_ptr<CNewFileOptions> options(GetUpgradeList().GetNewFileOptions());
    auto* named = dynamic_cast<CNewFileOptionsCObject*>(options.get());
    ASSERT_NE(named, nullptr);
    named->m_Name.Set("Aa Pacifier");
    ASSERT_EQ(GetUpgradeList().AddItemFromNewFileOptions(*named), 1);
    const std::vector<int32_t> kept{0, lemon + 1, cottage + 1, 0};
    for (uint32_t level : {0u, 1u}) {
        Player().m_SelectedLevel = level;
        CNeighborhoodViewer* viewer = OpenNeighborhoodViewer();
        ASSERT_NE(viewer, nullptr);
        EXPECT_EQ(FirstParts(Lots(*viewer->GetLevelCopy())[0]), kept) << level;
        viewer->Destroy();
    }
}

TEST_F(NeighborhoodViewer, TheTrophyRoomsScrapbookSwitchesToTheViewerAndGetsTheRoomBack)
{
    SaveLots(1, {"1,0,0,0", "", "", ""});
    Player().m_SelectedLevel = 2;
    CTrophyRoomWindow* room = OpenTrophyRoom(nullptr);
    ASSERT_NE(room, nullptr);
    room->OpenScrapbook();
    CNeighborhoodViewer* viewer = GetNeighborhoodViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->GetViewedLevelIndex(), 1u);
    EXPECT_FALSE(room->IsVisible());
    EXPECT_EQ(CLevelOptions::SGetCurrent(), viewer->GetLevelCopy());
    ASSERT_NO_FATAL_FAILURE(Passes(2));

    ClickOn(viewer->GetContinueButton());
    EXPECT_EQ(GetNeighborhoodViewer(), nullptr);
    ASSERT_EQ(GetTrophyRoomWindow(), room);
    EXPECT_TRUE(room->IsVisible());
    EXPECT_NE(CLevelOptions::SGetCurrent(), nullptr);
    EXPECT_FALSE(GetGameScreensHooks().IsScreenOpen(EGameScreen::NeighbourhoodViewer));

    // The game object may close it by kind as well.
    ASSERT_TRUE(GetGameScreensHooks().OpenScreen(EGameScreen::NeighbourhoodViewer));
    EXPECT_TRUE(GetGameScreensHooks().IsScreenOpen(EGameScreen::NeighbourhoodViewer));
    GetGameScreensHooks().CloseScreen(EGameScreen::NeighbourhoodViewer);
    ASSERT_NO_FATAL_FAILURE(Passes(1));
    EXPECT_EQ(GetNeighborhoodViewer(), nullptr);
}

} // namespace
