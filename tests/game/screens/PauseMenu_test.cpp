// The pause menu over the running demo game and its own "Pause Menu" set: when it may open and what the
// level hears, the keys and buttons that lead back, the confirmations that
// ask only once the level has earned, where quitting and restarting lead,
// and the tips standing in for it.
#include "ScreensGameTest.h"

#include "game/scripting/CSprite.h"
#include "game/screens/COptionsMenu.h"
#include "game/screens/CPauseMenu.h"
#include "game/screens/CShop.h"
#include "game/screens/CTips.h"
#include "game/screens/CTownMap.h"
#include "game/screens/ScreensHooks.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CHUD.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CPlayfield.h"
#include "objects/CMessage.h"
#include "sequences/CTextSubstitutionList.h"
#include "ui/CJMessageBox.h"
#include "ui/CScreenWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A layer that notes what the playfield broadcasts, into a list that
// outlives the level copy holding it.
class CListeningLayer : public CPlayfieldLayer {
public:
    explicit CListeningLayer(std::vector<std::string>& heard)
        : m_Heard(heard)
    {
    }
    void HandleMessage(CMessage& message) override { m_Heard.push_back(GetMessageTypeName(message.GetType())); }

private:
    std::vector<std::string>& m_Heard;
};

// The demo set's titles of "Reset" and "Quit".
constexpr const char* kReset = "Restart Street";
constexpr const char* kQuit = "Quit Street";

int g_MainMenusOpened = 0;

class PauseMenu : public CScreensGameTest {
protected:
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        SetGameScreensHooks(&m_Screens);
    }
    void TearDown() override
    {
        for (CJWindow* window : {static_cast<CJWindow*>(GetTipsMenu()), static_cast<CJWindow*>(GetOptionsMenu()),
                                 static_cast<CJWindow*>(GetPauseMenuWindow()),
                                 static_cast<CJWindow*>(GetTownMapWindow()), static_cast<CJWindow*>(GetShopWindow()),
                                 static_cast<CJWindow*>(GetLevelIntroWindow()), static_cast<CJWindow*>(Box())})
            if (window)
                window->Destroy();
        SetGameScreenEntry(EGameScreen::MainMenu, SGameScreenEntry{});
        CScreensGameTest::TearDown();
    }
    // In the level of the index, playing, with a layer that listens.
    void PlayLevel(uint32_t index)
    {
        App()->StartLevelByIndex(index);
        CPlayfield* playfield = GetCurrentPlayfield();
        ASSERT_NE(playfield, nullptr);
        playfield->AppendLayer(new CListeningLayer(m_Heard));
        m_Screens.asked.clear();
        // The main menu as a record of its openings.
        g_MainMenusOpened = 0;
        SGameScreenEntry mainMenu;
        mainMenu.open = [] {
            ++g_MainMenusOpened;
            return true;
        };
        SetGameScreenEntry(EGameScreen::MainMenu, mainMenu);
    }
    CPauseMenuWindow* Pause()
    {
        App()->OpenPauseMenu();
        m_Screens.asked.clear();
        return GetPauseMenuWindow();
    }
    // A key as the window reports it: down, its character, up.
    void PushKey(uint16_t virtualKey, uint8_t character)
    {
        plat::WindowEvent event;
        event.virtualKey = virtualKey;
        event.character = character;
        for (auto kind : {plat::WindowEvent::Kind::KeyDown, plat::WindowEvent::Kind::Char,
                          plat::WindowEvent::Kind::KeyUp}) {
            event.kind = kind;
            m_Platform.GetHeadlessWindow().PushEvent(event);
        }
        Passes(2);
    }
    // The confirmation box on the screen window; null when none is.
    static CJMessageBox* Box()
    {
        CScreenWindow* screen = CScreenWindow::GetScreenWindow();
        for (CJWindow* child = screen ? screen->GetFirstChild() : nullptr; child; child = child->GetNextSibling())
            if (auto* box = dynamic_cast<CJMessageBox*>(child))
                return box;
        return nullptr;
    }
    static float Revenue() { return CGameState::SGetCurrent()->m_RevenueK; }
    static bool Intermission() { return CGameSongPlayer::SGetInstance().IsIntermission(); }

    CRecordingScreens m_Screens;
    std::vector<std::string> m_Heard;
};

TEST_F(PauseMenu, OpensOnlyOverAFreeScreenTellingTheLevelAndDroppingTheHeldSprite)
{
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    ASSERT_NO_FATAL_FAILURE(PlayLevel(5));

    // The HUD's menu button pauses the level.
    CHUD* hud = GetCurrentPlayfield()->GetHUD();
    ASSERT_NE(hud, nullptr);
    ASSERT_NE(hud->GetMenuControl(), nullptr);
    const CRect button = hud->GetMenuControl()->GetRect();
    PushClick((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    Passes(3);
    CPauseMenuWindow* menu = GetPauseMenuWindow();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(GetGameScreensHooks().IsScreenOpen(EGameScreen::PauseMenu));
    EXPECT_EQ(std::count(m_Heard.begin(), m_Heard.end(), "GamePaused"), 1);
    EXPECT_EQ(menu->GetTitleText(), std::string("Pause"));
    for (const char* title : {"Continue", kReset, "Tips", "Options", kQuit})
        EXPECT_NE(Button(menu, title), nullptr) << title;
    EXPECT_EQ(menu->GetDefaultButton(), Button(menu, "Continue"));
    EXPECT_EQ(menu->GetCancelButton(), Button(menu, "Continue"));

    // A second request while it shows makes no second menu.
    EXPECT_EQ(Pause(), menu);
    EXPECT_EQ(std::count(m_Heard.begin(), m_Heard.end(), "GamePaused"), 1);

    // The level's name and decade (its period index plus one) for the set.
    CTextSubstitutionList values;
    CPauseMenuWindow::FillSubstitutions(values);
    EXPECT_EQ(std::string(values.Apply(CJString("%s[LevelName]|%s[Decade]")).GetString()), "Hill Top|2");
    Passes(5);
    EXPECT_GT(menu->GetElapsedTime(), 0.05f);

    ClickOn(Button(menu, "Continue"));
    EXPECT_EQ(GetPauseMenuWindow(), nullptr);
    EXPECT_FALSE(GetGameScreensHooks().IsScreenOpen(EGameScreen::PauseMenu));

    // No pause over another window on the screen window.
    ASSERT_NE(OpenTipsMenu(nullptr), nullptr);
    EXPECT_EQ(Pause(), nullptr);
    GetTipsMenu()->Destroy();
    // What the cursor carried is let go.
    CSprite held;
    SetDraggedSprite(&held, {0.0f, 0.0f});
    EXPECT_NE(Pause(), nullptr);
    EXPECT_EQ(GetDraggedSprite(), nullptr);
    EXPECT_EQ(std::count(m_Heard.begin(), m_Heard.end(), "GamePaused"), 2);
}

TEST_F(PauseMenu, EnterAndEscapeGoBackToTheLevelUnchanged)
{
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    ASSERT_NO_FATAL_FAILURE(PlayLevel(1));
    CGameState::SGetCurrent()->m_RevenueK = 2.5f;
    const std::pair<uint16_t, uint8_t> keys[] = {{plat::vk::kReturn, 13}, {plat::vk::kEscape, 27}};
    for (const auto& [key, character] : keys) {
        ASSERT_NE(Pause(), nullptr);
        PushKey(key, character);
        EXPECT_EQ(GetPauseMenuWindow(), nullptr) << key;
        EXPECT_EQ(Box(), nullptr);
        EXPECT_FLOAT_EQ(Revenue(), 2.5f);
        EXPECT_EQ(GetCurrentLevelIndex(), 1u);
        EXPECT_TRUE(m_Screens.asked.empty());
    }
}

TEST_F(PauseMenu, WithoutRevenueQuitAndResetActAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    ASSERT_NO_FATAL_FAILURE(PlayLevel(1));
    ASSERT_FALSE(Intermission());
    ClickOn(Button(Pause(), kQuit));
    EXPECT_EQ(GetPauseMenuWindow(), nullptr);
    EXPECT_EQ(Box(), nullptr);
    EXPECT_NE(GetTownMapWindow(), nullptr);
    EXPECT_TRUE(Intermission());
    EXPECT_EQ(g_MainMenusOpened, 0);
    GetTownMapWindow()->Destroy();

    // A later level starts again through its shop.
    ASSERT_NO_FATAL_FAILURE(PlayLevel(1));
    ClickOn(Button(Pause(), kReset));
    EXPECT_EQ(GetPauseMenuWindow(), nullptr);
    EXPECT_EQ(Box(), nullptr);
    EXPECT_EQ(m_Screens.asked, std::vector<EGameScreen>{EGameScreen::Shop});
    EXPECT_EQ(GetCurrentLevelIndex(), 1u);
}

TEST_F(PauseMenu, WithRevenueBothAskAndKeepPlayingChangesNothing)
{
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    ASSERT_NO_FATAL_FAILURE(PlayLevel(2));
    CGameState::SGetCurrent()->m_RevenueK = 0.001f;
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    CPauseMenuWindow* menu = Pause();
    ASSERT_NE(menu, nullptr);

    const struct {
        const char* button;
        const char* title;
        const char* confirm;
    } asks[] = {{kQuit, "Quit Confirmation", "Stop Playing"},
                {kReset, "Restart Level Confirmation", "Restart Level"}};
    for (const auto& ask : asks) {
        ClickOn(Button(menu, ask.button));
        CJMessageBox* box = Box();
        ASSERT_NE(box, nullptr) << ask.button;
        EXPECT_EQ(std::string(box->GetTitleText()), ask.title);
        EXPECT_NE(Button(box, ask.confirm), nullptr);
        // The menu waits under the modal box.
        EXPECT_EQ(GetPauseMenuWindow(), menu);
        ClickOn(Button(box, "Keep Playing"));
        Passes(2);
        EXPECT_EQ(Box(), nullptr) << ask.button;
        EXPECT_EQ(GetPauseMenuWindow(), menu);
        EXPECT_EQ(CLevelOptions::SGetCurrent(), level);
        EXPECT_FLOAT_EQ(Revenue(), 0.001f);
        EXPECT_FALSE(Intermission());
        EXPECT_TRUE(m_Screens.asked.empty());
    }

    // Confirmed, the restart enters the level again from its start.
    ClickOn(Button(menu, kReset));
    ClickOn(Button(Box(), "Restart Level"));
    Passes(2);
    EXPECT_EQ(Box(), nullptr);
    EXPECT_EQ(GetPauseMenuWindow(), nullptr);
    EXPECT_EQ(m_Screens.asked, std::vector<EGameScreen>{EGameScreen::Shop});
    EXPECT_FLOAT_EQ(Revenue(), 0.0f);
    EXPECT_TRUE(Intermission());
}

TEST_F(PauseMenu, QuittingATutorialLevelOpensTheMainMenuWithoutTheIntermissionSong)
{
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    ASSERT_NO_FATAL_FAILURE(PlayLevel(10));
    ASSERT_TRUE(CLevelOptions::SGetCurrent()->m_IsTutorialLevel);
    ASSERT_FALSE(Intermission());
    CGameState::SGetCurrent()->m_RevenueK = 1.0f;
    ClickOn(Button(Pause(), kQuit));
    ClickOn(Button(Box(), "Stop Playing"));
    Passes(2);
    EXPECT_EQ(Box(), nullptr);
    EXPECT_EQ(GetPauseMenuWindow(), nullptr);
    EXPECT_EQ(g_MainMenusOpened, 1);
    EXPECT_EQ(m_Screens.asked, std::vector<EGameScreen>{EGameScreen::MainMenu});
    EXPECT_EQ(GetTownMapWindow(), nullptr);
    EXPECT_FALSE(Intermission());
}

TEST_F(PauseMenu, TheTipsAndOptionsStandInForItAndEverythingClosesTogether)
{
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    ASSERT_NO_FATAL_FAILURE(PlayLevel(1));
    CPauseMenuWindow* menu = Pause();
    ASSERT_NE(menu, nullptr);
    Passes(10);
    const float before = menu->GetElapsedTime();

    ClickOn(Button(menu, "Tips"));
    CTipsMenu* tips = GetTipsMenu();
    ASSERT_NE(tips, nullptr);
    EXPECT_EQ(tips->GetReplacedWindow(), menu);
    EXPECT_EQ(menu->GetParent(), nullptr);
    EXPECT_EQ(GetPauseMenuWindow(), menu);
    // Still paused: no second menu while the tips show.
    App()->OpenPauseMenu();
    EXPECT_EQ(GetPauseMenuWindow(), menu);

    PushKey(plat::vk::kEscape, 27);
    EXPECT_EQ(GetTipsMenu(), nullptr);
    ASSERT_EQ(GetPauseMenuWindow(), menu);
    EXPECT_EQ(menu->GetParent(), CScreenWindow::GetScreenWindow());
    EXPECT_LT(menu->GetElapsedTime(), before);

    // The options, in their pause variant, the same way.
    ClickOn(Button(menu, "Options"));
    COptionsMenuWindow* options = GetOptionsMenu();
    ASSERT_NE(options, nullptr);
    EXPECT_TRUE(options->IsFromPause());
    EXPECT_EQ(options->GetReplacedWindow(), menu);
    ClickOn(Button(options, "Done"));
    EXPECT_EQ(GetOptionsMenu(), nullptr);
    ASSERT_EQ(GetPauseMenuWindow(), menu);
    EXPECT_EQ(menu->GetParent(), CScreenWindow::GetScreenWindow());

    // Closing every screen while the tips, or the sound window over the
    // options, stand in takes them all.
    ClickOn(Button(menu, "Tips"));
    ASSERT_NE(GetTipsMenu(), nullptr);
    App()->CloseAllOverlayScreens();
    EXPECT_EQ(GetPauseMenuWindow(), nullptr);
    EXPECT_EQ(GetTipsMenu(), nullptr);
    EXPECT_FALSE(CScreenWindow::GetScreenWindow()->HasChildren());
    ClickOn(Button(Pause(), "Options"));
    ClickOn(Button(GetOptionsMenu(), "Sound"));
    ASSERT_EQ(GetOptionsMenu()->GetParent(), nullptr);
    App()->CloseAllOverlayScreens();
    EXPECT_EQ(GetPauseMenuWindow(), nullptr);
    EXPECT_EQ(GetOptionsMenu(), nullptr);
    EXPECT_FALSE(CScreenWindow::GetScreenWindow()->HasChildren());
    Passes(2);

    // A confirmation left over a menu closed meanwhile confirms nothing.
    CGameState::SGetCurrent()->m_RevenueK = 3.0f;
    ClickOn(Button(Pause(), kQuit));
    ASSERT_NE(Box(), nullptr);
    App()->CloseAllOverlayScreens();
    EXPECT_EQ(GetPauseMenuWindow(), nullptr);
    ClickOn(Button(Box(), "Stop Playing"));
    Passes(2);
    EXPECT_EQ(Box(), nullptr);
    EXPECT_TRUE(m_Screens.asked.empty());
    EXPECT_EQ(GetTownMapWindow(), nullptr);
    EXPECT_EQ(GetCurrentLevelIndex(), 1u);
}

} // namespace
