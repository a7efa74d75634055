// A first run of the demo game as a person plays it, by clicks and keys: the
// main menu over the last street, "Play" asking for a new player, the name
// saved, the story, the first (tutorial) street; the HUD's menu button
// pausing it and "Quit" leading back to the main menu.
#include "ScreensGameTest.h"

#include "editor/CLevelEditorWindow.h"
#include "game/screens/CAchievement.h"
#include "game/screens/CLifeRewards.h"
#include "game/screens/CMainMenu.h"
#include "game/screens/CPauseMenu.h"
#include "game/screens/CPlayerSelect.h"
#include "game/screens/CStory.h"
#include "game/screens/CTownMap.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "overlays/ContainerOverlays.h"
#include "sequences/CTextSubstitutionList.h"
#include "ui/CJEdit.h"
#include "ui/CJListBox.h"
#include "ui/CJMessageBox.h"
#include "ui/CScreenWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class DemoFirstRun : public CScreensGameTest {
protected:
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        ReadProcessLists();
        // The game opens on its main menu, as the program does.
        InstallMainMenuScreen();
    }
    void TypeText(const char* text)
    {
        for (const char* c = text; *c; ++c) {
            plat::WindowEvent event;
            event.kind = plat::WindowEvent::Kind::Char;
            event.character = uint8_t(*c);
            m_Platform.GetHeadlessWindow().PushEvent(event);
        }
        Passes(2);
    }
    // Clicks through the street's transition and introduction when they show.
    void IntoTheStreet()
    {
        Passes(2);
        if (CDecadeTransitionWindow* transition = GetDecadeTransitionWindow()) {
            Passes(80);
            ClickOn(transition->GetDefaultButton());
        }
        if (CLevelIntroWindow* intro = GetLevelIntroWindow())
            ClickOn(intro->GetDefaultButton());
        ASSERT_EQ(GetDecadeTransitionWindow(), nullptr);
        ASSERT_EQ(GetLevelIntroWindow(), nullptr);
    }
    // Whether the menu's greeting, as its set chooses it now, is the one for
    // a new builder.
    static bool GreetsANewBuilder()
    {
        auto* greeting = dynamic_cast<CConditionalFrameOverlay*>(
            FindFrameOverlayOptions("Main Menu Overlay")->FindOverlay(CJString("Greeting"), nullptr, nullptr));
        EXPECT_NE(greeting, nullptr);
        EXPECT_NE(GetMainMenu(), nullptr);
        if (!greeting || !GetMainMenu())
            return false;
        CTextSubstitutionList values;
        GetMainMenu()->FillSubstitutions(values);
        return greeting->Pick(&values) == greeting->m_pWhenEmpty;
    }
};

// "Play" names a first player and goes on into the game; "Change Player"
// names another and comes back to the menu. Neither has played, so both are
// greeted as new builders; a player who has played is welcomed back.
TEST_F(DemoFirstRun, APlayerNamedInThePlayerListIsGreetedAsANewBuilderUntilTheyPlay)
{
    ASSERT_TRUE(Start());
    Passes(2);
    ASSERT_NE(GetMainMenu(), nullptr);
    EXPECT_TRUE(GreetsANewBuilder()) << "no name yet";
    Player().m_Name = "Anna";
    Player().m_SecondsPlaying = 1.0f;
    EXPECT_FALSE(GreetsANewBuilder()) << "Anna has played";

    ClickOn(GetMainMenu()->GetButton("ChangePlayer"));
    CChangePlayerWindow* list = GetChangePlayerWindow();
    ASSERT_NE(list, nullptr);
    list->GetListBox()->SelectItem(0, true);
    ClickOn(list->GetSelectButton());
    CNewPlayerDialog* dialog = GetNewPlayerDialog();
    ASSERT_NE(dialog, nullptr);
    TypeText("Bert");
    ClickOn(dialog->GetSaveButton());
    EXPECT_EQ(GetNewPlayerDialog(), nullptr);
    EXPECT_EQ(GetChangePlayerWindow(), nullptr);
    ASSERT_NE(GetMainMenu(), nullptr) << "the player list goes back to the menu";
    ASSERT_STREQ(Player().m_Name.GetString(), "Bert");
    EXPECT_TRUE(GreetsANewBuilder()) << "Bert has not played yet";
}

// Skipping the tutorial, then "Back" from the first street's introduction,
// plays nothing: after a restart the menu still greets a new builder, and the
// street behind the menu leaves the profile as it was.
TEST_F(DemoFirstRun, ANewPlayerWhoSkipsTheTutorialAndGoesBackIsStillNewAfterARestart)
{
    ASSERT_TRUE(Start());
    Passes(2);
    ClickOn(GetMainMenu()->GetButton("PlayGame"));
    ASSERT_NE(GetNewPlayerDialog(), nullptr);
    TypeText("Anna");
    ClickOn(GetNewPlayerDialog()->GetSaveButton());
    ASSERT_NE(GetStoryWindow(), nullptr);
    ClickOn(GetStoryWindow()->GetSkipButton());
    ASSERT_NE(GetStoryWindow(), nullptr);
    ClickOn(GetStoryWindow()->GetDefaultButton());
    Passes(82);
    ASSERT_NE(GetDecadeTransitionWindow(), nullptr);
    ClickOn(GetDecadeTransitionWindow()->GetDefaultButton());
    ASSERT_NE(GetLevelIntroWindow(), nullptr);
    ClickOn(GetLevelIntroWindow()->GetCancelButton());
    ASSERT_NE(GetTownMapWindow(), nullptr);
    ClickOn(GetTownMapWindow()->GetButton("Quit"));
    EXPECT_TRUE(GreetsANewBuilder());

    EndRun();
    const std::string saved = ReadBytes(PathOf("Stats.dat"));
    ASSERT_TRUE(Start());
    Passes(2);
    EXPECT_TRUE(GreetsANewBuilder());
    const CPlayerStatsForLevel* behind = Player().FindLevelStats(GetCurrentLevelIndex());
    EXPECT_TRUE(!behind || !behind->HasBeenPlayed());
    CStats::SGetInstance().SaveIfNeeded();
    EXPECT_EQ(ReadBytes(PathOf("Stats.dat")), saved);

    // A career street behind the menu is read, never marked.
    EndRun();
    std::string levels = ReadBytes(PathOf("Data/Resources/Levels.Object.txt"));
    for (const std::string flag : {"Is Tutorial Level=1", "Is Last Tutorial Level=1"})
        levels[levels.rfind(flag) + flag.size() - 1] = '0';
    WriteBytes(PathOf("Data/Resources/Levels.Object.txt"), levels);
    const std::string before = ReadBytes(PathOf("Stats.dat"));
    ASSERT_TRUE(Start());
    Passes(2);
    ASSERT_FALSE(FindLevels()->GetLevel(GetCurrentLevelIndex())->m_IsTutorialLevel);
    behind = Player().FindLevelStats(GetCurrentLevelIndex());
    EXPECT_TRUE(!behind || !behind->HasBeenPlayed());
    CStats::SGetInstance().SaveIfNeeded();
    EXPECT_EQ(ReadBytes(PathOf("Stats.dat")), before);
}

// A save the level editor's close finds refused (the same street changed
// by hand meanwhile) is said in front of the menu the close leads back to,
// where its button can be reached.
TEST_F(DemoFirstRun, ASaveRefusedAsTheEditorClosesIsSaidInFrontOfTheMenu)
{
    ASSERT_TRUE(Start());
    Passes(2);
    CLevelSet* levels = FindLevels();
    ASSERT_NE(levels, nullptr);
    ASSERT_TRUE(App()->OnCommand(28u));
    ASSERT_NE(GetLevelEditorWindow(), nullptr);
    const uint32_t index = GetCurrentLevelIndex();
    const std::string file = PathOf("Data/Resources/Levels.Object.txt");
    std::unique_ptr<CLevelSet> hand(static_cast<CLevelSet*>(levels->Clone()));
    hand->GetLevel(index)->m_Comment.Set("by hand");
    ASSERT_TRUE(hand->SaveToFile(file.c_str(), 0));
    const std::string byHand = ReadBytes(file);
    levels->GetLevel(index)->m_RequiredRevenue += 5.0f;
    GetLevelEditorWindow()->Destroy();
    Passes(2);
    ASSERT_NE(GetMainMenu(), nullptr);
    auto* box = dynamic_cast<CJMessageBox*>(CScreenWindow::GetScreenWindow()->GetFirstChild());
    ASSERT_NE(box, nullptr) << "the menu covers the box";
    box->Destroy();
    EXPECT_TRUE(ReadBytes(file) == byHand);
}

TEST_F(DemoFirstRun, ANewPlayerIsNamedHearsTheStoryPlaysTheTutorialStreetPausesAndQuitsToTheMenu)
{
    ASSERT_TRUE(Start());
    Passes(2);
    CMainMenu* menu = GetMainMenu();
    ASSERT_NE(menu, nullptr) << "the game opens on its main menu";
    CLevelSet* levels = FindLevels();
    ASSERT_NE(levels, nullptr);
    EXPECT_EQ(GetCurrentLevelIndex(), levels->GetCount() - 1) << "the last street plays behind it";
    for (const char* id : {"ChangePlayer", "PlayGame", "Options", "Exit"})
        EXPECT_NE(menu->GetButton(id), nullptr) << id;
    EXPECT_TRUE(Player().m_Name.IsEmpty());
    EXPECT_FALSE(DiskHas("Stats.dat"));

    // A designer's session before any player is named (F7 or F6 at the
    // menu) plays no street: the editor's close leads back to the menu, and
    // the player named in the next run still hears the story.
    for (uint32_t key : {21u, 28u}) {
        SetCurrentLevelIndex(levels->GetFirstTutorialLevelIndex());
        ASSERT_TRUE(App()->OnCommand(key));
        ASSERT_NE(GetLevelEditorWindow(), nullptr);
        EXPECT_EQ(GetMainMenu(), nullptr);
        GetLevelEditorWindow()->Destroy();
        Passes(2);
        EXPECT_NE(GetMainMenu(), nullptr) << key;
    }
    EndRun();
    ASSERT_TRUE(Start());
    Passes(2);
    menu = GetMainMenu();
    levels = FindLevels();
    ASSERT_TRUE(menu && levels);

    // A first run's player has no name: "Play" asks for one.
    ClickOn(menu->GetButton("PlayGame"));
    CNewPlayerDialog* dialog = GetNewPlayerDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_STREQ(dialog->GetTitleText(), "New Player");
    EXPECT_NE(GetMainMenu(), nullptr) << "the menu waits behind the dialog";
    TypeText("Anna");
    EXPECT_STREQ(dialog->GetNameEdit()->GetTitleText(), "Anna");
    ClickOn(dialog->GetSaveButton());

    // Saved: the name is the player's and on the disk; the story's first
    // page replaces the menu.
    EXPECT_EQ(GetNewPlayerDialog(), nullptr);
    EXPECT_STREQ(Player().m_Name.GetString(), "Anna");
    EXPECT_TRUE(DiskHas("Stats.dat"));
    EXPECT_EQ(GetMainMenu(), nullptr);
    CStoryWindow* story = GetStoryWindow();
    ASSERT_NE(story, nullptr);
    EXPECT_EQ(story->GetPage(), 0u);
    EXPECT_FALSE(story->IsBrowsing());

    // Continue: the tutorial's first street.
    ClickOn(story->GetDefaultButton());
    EXPECT_EQ(GetStoryWindow(), nullptr);
    ASSERT_NO_FATAL_FAILURE(IntoTheStreet());
    ASSERT_NE(CLevelOptions::SGetCurrent(), nullptr);
    EXPECT_EQ(GetCurrentLevelIndex(), levels->GetFirstTutorialLevelIndex()) << "the tutorial follows the career";
    EXPECT_TRUE(CLevelOptions::SGetCurrent()->m_IsTutorialLevel);
    EXPECT_TRUE(Player().IsFirstTutorialLevelPlayed());

    // The HUD's menu button pauses the street.
    Passes(5);
    EXPECT_EQ(GetPauseMenuWindow(), nullptr);
    PushClick(984, 734);
    Passes(3);
    CPauseMenuWindow* pause = GetPauseMenuWindow();
    ASSERT_NE(pause, nullptr);
    for (const char* title : {"Continue", "Restart Street", "Tips", "Options", "Quit Street"})
        EXPECT_NE(Button(pause, title), nullptr) << title;

    // Nothing earned yet: "Quit" leaves at once, and a tutorial street goes
    // back to the main menu, without the map's song.
    ClickOn(Button(pause, "Quit Street"));
    EXPECT_EQ(GetPauseMenuWindow(), nullptr);
    EXPECT_EQ(GetTownMapWindow(), nullptr);
    ASSERT_NE(GetMainMenu(), nullptr);
    EXPECT_FALSE(CGameSongPlayer::SGetInstance().IsIntermission());
    EXPECT_STREQ(Player().m_Name.GetString(), "Anna");
}

} // namespace
