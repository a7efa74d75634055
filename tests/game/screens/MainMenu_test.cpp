// The main menu as the game opens it: over the last level, its buttons from
// the set's markers, and the roads "PlayGame" takes a profile down.
#include "ScreensGameTest.h"

#include "foundation/ShellServices.h"
#include "game/screens/CMainMenu.h"
#include "game/screens/COptionsMenu.h"
#include "game/screens/CPlayerSelect.h"
#include "game/screens/CStory.h"
#include "game/screens/CTownMap.h"
#include "game/world/CGameApp.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CLevelSet.h"
#include "game/world/CHUD.h"
#include "game/world/CRules.h"
#include "sequences/CTextSubstitutionList.h"
#include "ui/CJEdit.h"
#include "ui/CJMessageBox.h"
#include "ui/CScreenWindow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

const char* const kAllMarkers[] = {"ChangePlayer", "PlayGame", "Options", "Exit"};

std::string MenuSet(const std::vector<std::string>& ids)
{
    std::string text = "CFrameOverlayOptions\r\n{\r\n\tText Font=Fonts/Body\r\n\tText Overlays=Array\r\n\t{\r\n"
                       "\t\tItem Count="
        + std::to_string(ids.size()) + "\r\n";
    int y = 300;
    for (const std::string& id : ids) {
        text += "\t\tArray Item=CFrameOverlayButton\r\n\t\t{\r\n\t\t\tID=" + id + "\r\n\t\t\tTitle=" + id
            + "\r\n\t\t\tPosition=450," + std::to_string(y) + "\r\n\t\t\tSize=120,40\r\n\t\t}\r\n";
        y += 60;
    }
    return text + "\t}\r\n}\r\n";
}

class MainMenu : public CScreensGameTest {
protected:
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        InstallMainMenuScreen();
        // Other tests of the process point the list elsewhere.
        ReadList(GetDecadeTransitionList());
    }
    void TearDown() override
    {
        if (CNewPlayerDialog* dialog = GetNewPlayerDialog())
            dialog->Destroy();
        if (CChangePlayerWindow* list = GetChangePlayerWindow())
            list->Destroy();
        if (CStoryWindow* story = GetStoryWindow())
            story->Destroy();
        if (CTownMapWindow* map = GetTownMapWindow())
            map->Destroy();
        if (CMainMenu* menu = GetMainMenu())
            menu->Destroy();
        CScreensGameTest::TearDown();
    }
    // Starts the game at its menu. Levels 1 and 2 are the tutorial, level 0
    // the career that counts stars.
    void StartAtMenu(const std::vector<std::string>& ids = {std::begin(kAllMarkers), std::end(kAllMarkers)})
    {
        WriteBytes(PathOf("Data/Resources/Frame Overlay Options/Main Menu Overlay.FOO"), MenuSet(ids));
        ASSERT_TRUE(Start());
        ASSERT_TRUE(Pass(17));
        CLevelSet* levels = GetLevels();
        ASSERT_GE(levels->GetCount(), 4u);
        for (uint32_t i = 0; i < levels->GetCount(); ++i) {
            levels->GetLevel(i)->m_IsTutorialLevel = i == 1 || i == 2;
            levels->GetLevel(i)->m_IsLastTutorialLevel = i == 2;
        }
        levels->ForgetTutorialIndices();
    }
    static std::string Value(const CMainMenu& menu, const char* token)
    {
        CTextSubstitutionList values;
        menu.FillSubstitutions(values);
        return values.Apply(CJString(token)).GetString();
    }
    // The window in front of the screen that is of the kind.
    template <class Window>
    static Window* InFront()
    {
        for (CJWindow* child = CScreenWindow::GetScreenWindow()->GetFirstChild(); child;
             child = child->GetNextSibling())
            if (auto* window = dynamic_cast<Window*>(child))
                return window;
        return nullptr;
    }
    static void Complete(uint32_t level)
    {
        CPlayerStatsForLevel* record = Player().GetLevelStats(level);
        record->m_HasBeenPlayed = true;
        record->m_HasBeenCompleted = true;
    }
    static void GiveStars(uint32_t stars)
    {
        for (uint32_t goal = 0; goal < stars; ++goal)
            Player().GetLevelStats(0)->SetOptionalGoalAchieved(goal);
    }
    // From the map, as its "Quit" does once its effects are over.
    static void BackToMenu()
    {
        ASSERT_NE(GetTownMapWindow(), nullptr);
        GetTownMapWindow()->Destroy();
        ASSERT_NE(OpenMainMenu(), nullptr);
    }
    // A key as the keyboard sends it (character 0: a key that types
    // none), and the frames that act on it.
    void PressKey(uint16_t virtualKey, uint32_t character)
    {
        plat::WindowEvent event;
        event.virtualKey = virtualKey;
        event.character = character;
        for (auto kind : {plat::WindowEvent::Kind::KeyDown, plat::WindowEvent::Kind::Char,
                          plat::WindowEvent::Kind::KeyUp}) {
            event.kind = kind;
            if (kind != plat::WindowEvent::Kind::Char || character != 0)
                m_Platform.GetHeadlessWindow().PushEvent(event);
        }
        Passes(3);
    }
    void PressEscape() { PressKey(plat::vk::kEscape, 27); }
    void ClickButton(const char* id)
    {
        ASSERT_NE(GetMainMenu(), nullptr);
        ClickOn(GetMainMenu()->GetButton(id));
    }
};

TEST_F(MainMenu, OpensFirstOverTheLastLevelWithTheSetsButtonsAndValues)
{
    ASSERT_NO_FATAL_FAILURE(StartAtMenu());
    CMainMenu* menu = GetMainMenu();
    ASSERT_NE(menu, nullptr);
    // The background: the last level, running, without its introduction.
    EXPECT_EQ(GetCurrentLevelIndex(), GetLevels()->GetCount() - 1);
    EXPECT_NE(CLevelOptions::SGetCurrent(), nullptr);
    EXPECT_EQ(GetLevelIntroWindow(), nullptr);
    for (const char* id : kAllMarkers)
        EXPECT_NE(menu->GetButton(id), nullptr) << id;
    EXPECT_EQ(menu->GetDefaultButton(), menu->GetButton("PlayGame"));

    EXPECT_EQ(Value(*menu, "%s[VerionNumber]"), "1.0 Build 24");
    EXPECT_EQ(Value(*menu, "%s[Channel]"), GetChannelName().GetString());
    EXPECT_EQ(Value(*menu, "%s[PlayerName]"), "");
    Player().m_Name = "Anna";
    EXPECT_EQ(Value(*menu, "%s[PlayerName]"), "Anna");

    // The set's clock runs with the frames and starts again on the focus.
    Passes(4);
    EXPECT_GT(menu->GetOverlayClock(), 0.05f);
    menu->SetFocus(true);
    EXPECT_EQ(menu->GetOverlayClock(), 0.0f);

    // One menu at a time, the table's answers following it.
    CGameScreensHooks& hooks = GetGameScreensHooks();
    ASSERT_TRUE(hooks.OpenScreen(EGameScreen::MainMenu));
    EXPECT_NE(GetMainMenu(), nullptr);
    // Counted, not compared with the old menu's address: the allocator may
    // put the new menu where the old one was.
    int menus = 0;
    for (CJWindow* child = CScreenWindow::GetScreenWindow()->GetFirstChild(); child; child = child->GetNextSibling())
        menus += dynamic_cast<CMainMenu*>(child) != nullptr;
    EXPECT_EQ(menus, 1);
    EXPECT_EQ(InFront<CMainMenu>(), GetMainMenu());
    EXPECT_TRUE(hooks.IsScreenOpen(EGameScreen::MainMenu));
    hooks.CloseScreen(EGameScreen::MainMenu);
    EXPECT_EQ(GetMainMenu(), nullptr);

    // Closed while the options stand in for it, the menu takes them along.
    ASSERT_TRUE(hooks.OpenScreen(EGameScreen::MainMenu));
    ClickOn(GetMainMenu()->GetButton("Options"));
    ASSERT_NE(GetOptionsMenu(), nullptr);
    hooks.CloseScreen(EGameScreen::MainMenu);
    Passes(2);
    EXPECT_EQ(GetMainMenu(), nullptr);
    EXPECT_EQ(GetOptionsMenu(), nullptr);
    EXPECT_FALSE(CScreenWindow::GetScreenWindow()->HasChildren());
}

// Behind the options and the credits opened from the menu the street shows
// neither its HUD nor its build bar, as behind the menu itself: the frame is
// the one drawn with those layers hidden.
TEST_F(MainMenu, TheWindowsItOpensShowTheStreetWithoutItsHudOrBuildBar)
{
    ASSERT_NO_FATAL_FAILURE(StartAtMenu());
    ClickButton("Options");
    ASSERT_NE(GetOptionsMenu(), nullptr);
    ClickOn(Button(GetOptionsMenu(), "Credits"));
    Passes(1);
    const CPoint money{140, 40};
    const CPoint bar{52, 730};
    const uint32_t shown[] = {PresentedPixel(money.x, money.y), PresentedPixel(bar.x, bar.y)};
    CPlayfield* street = GetCurrentPlayfield();
    ASSERT_NE(street, nullptr);
    for (CPlayfieldLayer* layer : {static_cast<CPlayfieldLayer*>(street->GetHUD()), street->FindLayer("UI")}) {
        ASSERT_NE(layer, nullptr);
        layer->m_VisibleInEditor = false;
    }
    Passes(1);
    EXPECT_EQ(PresentedPixel(money.x, money.y), shown[0]) << "the HUD's money panel";
    EXPECT_EQ(PresentedPixel(bar.x, bar.y), shown[1]) << "the build bar";
    // Closed, the menu takes the windows standing in for it along.
    GetGameScreensHooks().CloseScreen(EGameScreen::MainMenu);
    Passes(2);
}

TEST_F(MainMenu, AMissingMarkerOrSetMeansNoButtonNotAFault)
{
    ASSERT_NO_FATAL_FAILURE(StartAtMenu({"PlayGame", "Exit"}));
    CMainMenu* menu = GetMainMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->GetButton("Options"), nullptr);
    EXPECT_EQ(menu->GetButton("ChangePlayer"), nullptr);
    EXPECT_NE(menu->GetButton("PlayGame"), nullptr);

    CRules::SGetInstance().m_MainMenuOverlay = -1;
    menu = OpenMainMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->GetFirstChild(), nullptr);
    Passes(2);
}

TEST_F(MainMenu, ExitEndsTheProgramTheOrderlyWayWithTheProfilesSaved)
{
    ASSERT_NO_FATAL_FAILURE(StartAtMenu());
    Player().m_Name = "Anna";
    std::filesystem::remove(PathOf("Stats.dat"));
    const CRect exit = GetMainMenu()->GetButton("Exit")->GetScreenRect();
    PushClick((exit.left + exit.right) / 2, (exit.top + exit.bottom) / 2);
    bool running = true;
    for (int i = 0; i < 4 && running; ++i)
        running = Pass(17);
    EXPECT_FALSE(running);
    EndRun();
    EXPECT_TRUE(std::filesystem::exists(PathOf("Stats.dat")));
}

TEST_F(MainMenu, AFirstRunNamesTheProfileBeforeAnythingElse)
{
    ASSERT_NO_FATAL_FAILURE(StartAtMenu());
    ASSERT_TRUE(Player().m_Name.IsEmpty());
    // "ChangePlayer" with an unnamed profile names it rather than listing.
    ASSERT_NO_FATAL_FAILURE(ClickButton("ChangePlayer"));
    CNewPlayerDialog* dialog = GetNewPlayerDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetChangePlayerWindow(), nullptr);
    EXPECT_STREQ(dialog->GetTitleText(), "New Player");
    EXPECT_EQ(dialog->GetProfile(), &Player());
    dialog->Destroy();

    // "PlayGame" the same; once saved, the road goes on to the story.
    ASSERT_NO_FATAL_FAILURE(ClickButton("PlayGame"));
    dialog = GetNewPlayerDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_NE(GetMainMenu(), nullptr);
    dialog->GetNameEdit()->SetTitle(CJString("Anna"));
    dialog->Save();
    Passes(2);
    EXPECT_STREQ(Player().m_Name.GetString(), "Anna");
    EXPECT_EQ(GetNewPlayerDialog(), nullptr);
    EXPECT_EQ(GetMainMenu(), nullptr);
    ASSERT_NE(GetStoryWindow(), nullptr);
    EXPECT_EQ(GetStoryWindow()->GetPage(), 0u);

    // A named profile's "ChangePlayer" lists the profiles.
    GetStoryWindow()->Destroy();
    ASSERT_NE(OpenMainMenu(), nullptr);
    ASSERT_NO_FATAL_FAILURE(ClickButton("ChangePlayer"));
    EXPECT_NE(GetChangePlayerWindow(), nullptr);
    EXPECT_EQ(GetNewPlayerDialog(), nullptr);
}

TEST_F(MainMenu, TheFirstPlayTellsTheStoryThenTheTutorialOrSkipsIt)
{
    ASSERT_NO_FATAL_FAILURE(StartAtMenu());
    Player().m_Name = "Anna";
    ASSERT_NO_FATAL_FAILURE(ClickButton("PlayGame"));
    EXPECT_EQ(GetMainMenu(), nullptr);
    CStoryWindow* story = GetStoryWindow();
    ASSERT_NE(story, nullptr);
    EXPECT_EQ(story->GetPage(), 0u);
    EXPECT_FALSE(story->IsBrowsing());
    // "Continue": the first tutorial level.
    story->Continue();
    EXPECT_EQ(GetStoryWindow(), nullptr);
    EXPECT_EQ(GetCurrentLevelIndex(), 1u);

    // "Skip": the tutorial counts as done, the second page, then the career.
    Player().GetLevelStats(1)->m_HasBeenPlayed = false;
    ASSERT_NE(OpenMainMenu(), nullptr);
    ASSERT_NO_FATAL_FAILURE(ClickButton("PlayGame"));
    story = GetStoryWindow();
    ASSERT_NE(story, nullptr);
    story->Skip();
    EXPECT_TRUE(Player().IsLastTutorialLevelCompleted());
    CStats onDisk;
    ASSERT_TRUE(onDisk.Load());
    EXPECT_TRUE(onDisk.GetCurrentPlayer()->IsLastTutorialLevelCompleted()) << "kept when chosen";
    story = GetStoryWindow();
    ASSERT_NE(story, nullptr);
    EXPECT_EQ(story->GetPage(), 1u);
    story->Continue();
    EXPECT_EQ(GetCurrentLevelIndex(), 0u);
    EXPECT_NE(GetDecadeTransitionWindow(), nullptr);
}

// Enter on the first page reads on into the tutorial; skipping it takes the
// "Skip" button itself.
TEST_F(MainMenu, EnterOnTheFirstStoryPagePlaysTheTutorial)
{
    ASSERT_NO_FATAL_FAILURE(StartAtMenu());
    Player().m_Name = "Anna";
    ASSERT_NO_FATAL_FAILURE(ClickButton("PlayGame"));
    ASSERT_NE(GetStoryWindow(), nullptr);
    ASSERT_NO_FATAL_FAILURE(PressEnter());
    EXPECT_EQ(GetStoryWindow(), nullptr);
    EXPECT_FALSE(Player().IsLastTutorialLevelCompleted());
    EXPECT_EQ(GetCurrentLevelIndex(), 1u);
}

TEST_F(MainMenu, AStartedTutorialGoesOnWithoutTheStoryAndAFinishedOneToTheMap)
{
    ASSERT_NO_FATAL_FAILURE(StartAtMenu());
    Player().m_Name = "Anna";
    Complete(1);
    ASSERT_NO_FATAL_FAILURE(ClickButton("PlayGame"));
    EXPECT_EQ(GetMainMenu(), nullptr);
    EXPECT_EQ(GetStoryWindow(), nullptr);
    EXPECT_EQ(GetCurrentLevelIndex(), 2u);

    Complete(2);
    ASSERT_NE(OpenMainMenu(), nullptr);
    ASSERT_NO_FATAL_FAILURE(ClickButton("PlayGame"));
    EXPECT_EQ(GetMainMenu(), nullptr);
    EXPECT_NE(GetTownMapWindow(), nullptr);
}

TEST_F(MainMenu, AFinishedGameAsksToStartOverUntilTheProfileIsRetired)
{
    ASSERT_NO_FATAL_FAILURE(StartAtMenu());
    Player().m_Name = "Anna";
    Complete(1);
    Complete(2);
    GiveStars(159);
    ASSERT_NO_FATAL_FAILURE(ClickButton("PlayGame"));
    EXPECT_EQ(InFront<CJMessageBox>(), nullptr);
    EXPECT_NE(GetTownMapWindow(), nullptr);

    // 160 stars: asked, and asked again after "No", which plays on. Escape
    // answers nothing: the profiles stay as they were, the menu stays open.
    // "No" is clicked, then reached by Tab and by an arrow and answered
    // with Enter.
    GiveStars(160);
    const uint32_t profiles = CStats::SGetInstance().GetPlayerCount();
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        ASSERT_NO_FATAL_FAILURE(BackToMenu());
        ASSERT_NO_FATAL_FAILURE(ClickButton("PlayGame"));
        ASSERT_NE(InFront<CJMessageBox>(), nullptr);
        ASSERT_NO_FATAL_FAILURE(PressEscape());
        EXPECT_EQ(InFront<CJMessageBox>(), nullptr);
        EXPECT_EQ(GetNewPlayerDialog(), nullptr);
        EXPECT_EQ(CStats::SGetInstance().GetPlayerCount(), profiles);
        EXPECT_STREQ(Player().m_Name.GetString(), "Anna");
        EXPECT_FALSE(Player().m_HasBeenRetired);
        EXPECT_EQ(GetTownMapWindow(), nullptr);

        ASSERT_NO_FATAL_FAILURE(ClickButton("PlayGame"));
        CJMessageBox* box = InFront<CJMessageBox>();
        ASSERT_NE(box, nullptr);
        EXPECT_STREQ(box->GetTitleText(), "Start Over?");
        EXPECT_NE(GetMainMenu(), nullptr);
        if (round == 0) {
            ASSERT_NO_FATAL_FAILURE(ClickOn(Button(box, "No - Keep using completed profile")));
        } else {
            PressKey(round == 1 ? plat::vk::kTab : plat::vk::kRight, round == 1 ? 9 : 0);
            PressKey(plat::vk::kReturn, 13);
        }
        EXPECT_EQ(CStats::SGetInstance().GetPlayerCount(), profiles);
        EXPECT_EQ(GetNewPlayerDialog(), nullptr);
        EXPECT_EQ(InFront<CJMessageBox>(), nullptr);
        EXPECT_EQ(GetMainMenu(), nullptr);
        EXPECT_NE(GetTownMapWindow(), nullptr);
        EXPECT_FALSE(Player().m_HasBeenRetired);
    }

    // "Yes": the old profile retires under the first free name; a fresh
    // profile of the old name is current and gets named.
    CStats& stats = CStats::SGetInstance();
    const uint32_t anna = stats.GetCurrentPlayerIndex();
    stats.AddNewPlayer();
    Player().m_Name = "anna retired";
    stats.SetCurrentPlayer(anna);
    ASSERT_NO_FATAL_FAILURE(BackToMenu());
    ASSERT_NO_FATAL_FAILURE(ClickButton("PlayGame"));
    CJMessageBox* box = InFront<CJMessageBox>();
    ASSERT_NE(box, nullptr);
    ASSERT_NO_FATAL_FAILURE(ClickOn(Button(box, "Yes - Create a new player profile")));
    CPlayerStats* retired = stats.GetPlayer(anna);
    EXPECT_STREQ(retired->m_Name.GetString(), "Anna Retired 2");
    EXPECT_TRUE(retired->m_HasBeenRetired);
    EXPECT_NE(&Player(), retired);
    EXPECT_STREQ(Player().m_Name.GetString(), "Anna");
    EXPECT_EQ(Player().GetStarCount(), 0u);
    EXPECT_TRUE(stats.NeedsSave());
    ASSERT_NE(GetNewPlayerDialog(), nullptr);
    EXPECT_EQ(GetNewPlayerDialog()->GetProfile(), &Player());

    // Retired, the finished profile plays on without the question.
    for (uint32_t i = 0; i < stats.GetPlayerCount(); ++i)
        if (stats.GetPlayer(i) == retired)
            stats.SetCurrentPlayer(i);
    GetNewPlayerDialog()->Destroy();
    ASSERT_NO_FATAL_FAILURE(ClickButton("PlayGame"));
    EXPECT_EQ(InFront<CJMessageBox>(), nullptr);
    EXPECT_NE(GetTownMapWindow(), nullptr);

    // With every numbered name taken the last one is given anyway.
    for (uint32_t k = 3; k <= kMaxRetiredNameNumber; ++k) {
        stats.AddNewPlayer();
        Player().m_Name = ("Anna Retired " + std::to_string(k)).c_str();
    }
    EXPECT_STREQ(MakeRetiredName(stats, CJString("Anna"), nullptr).GetString(), "Anna Retired 49");
}

} // namespace
