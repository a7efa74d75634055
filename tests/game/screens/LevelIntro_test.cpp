// The level introduction in the running demo game: what it says of the level,
// which buttons its set gives and which keys press them, where "Back" leads
// from the first level and from a later one, and the play layers hidden
// while it is open and shown again however it goes.
#include "../world/DemoGameTest.h"

#include "game/business/BusinessHooks.h"
#include "game/screens/CDecadeTransition.h"
#include "game/screens/CLevelIntro.h"
#include "game/screens/CStats.h"
#include "game/screens/CTownMap.h"
#include "game/screens/ScreensHooks.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CThreeInARowCounter.h"
#include "game/world/CTypedCommands.h"
#include "game/world/LotHooks.h"
#include "game/world/WorldHooks.h"
#include "sequences/CTextSubstitutionList.h"
#include "support/ScopedHooks.h"
#include "ui/CJButton.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum class EButtons { None, Continue, ContinueAndBack };

std::string IntroSet(EButtons kind)
{
    if (kind == EButtons::None)
        return "CFrameOverlayOptions\r\n{\r\n}\r\n";
    const bool withBack = kind == EButtons::ContinueAndBack;
    std::string buttons = "\t\tArray Item=CFrameOverlayButton\r\n\t\t{\r\n\t\t\tID=Continue\r\n\t\t\tTitle=Play\r\n"
                          "\t\t\tPosition=824,700\r\n\t\t\tSize=160,40\r\n\t\t}\r\n";
    if (withBack)
        buttons += "\t\tArray Item=CFrameOverlayButton\r\n\t\t{\r\n\t\t\tID=Back\r\n\t\t\tTitle=Back\r\n"
                   "\t\t\tPosition=40,700\r\n\t\t\tSize=120,40\r\n\t\t}\r\n";
    return "CFrameOverlayOptions\r\n{\r\n\tText Font=Fonts/Body\r\n\tText Overlays=Array\r\n\t{\r\n\t\tItem Count=" +
           std::string(withBack ? "2" : "1") + "\r\n" + buttons + "\t}\r\n}\r\n";
}

// Remembers the screens the game object asks for, then opens them as usual.
class CRecordingScreens : public CScreensGameAppHooks {
public:
    bool OpenScreen(EGameScreen screen) override
    {
        asked.push_back(screen);
        return CScreensGameAppHooks::OpenScreen(screen);
    }
    std::vector<EGameScreen> asked;
};

class LevelIntro : public CDemoGameTest {
protected:
    void StartWith(EButtons kind)
    {
        WriteBytes(PathOf("Data/Resources/Frame Overlay Options/Level Introduction Menu Overlay.FOO"), IntroSet(kind));
        InstallGameBusinessHooks();
        InstallGameScreensHooks();
        SetGameAppHooks(&m_Screens);
        ASSERT_TRUE(Start());
        ASSERT_TRUE(Pass(17));
        if (CDecadeTransitionWindow* opening = GetDecadeTransitionWindow())
            opening->Destroy();
    }
    void TearDown() override
    {
        if (CLevelIntroWindow* window = GetLevelIntroWindow())
            window->Destroy();
        if (CTownMapWindow* map = GetTownMapWindow())
            map->Destroy();
        CDemoGameTest::TearDown();
        CStats::SShutdown();
    }
    // Starts the level of that index, as the game does, with its introduction.
    CLevelIntroWindow* StartLevel(uint32_t index)
    {
        SetCurrentLevelIndex(index);
        SelectStartingGameState(false);
        App()->StartLevel(false);
        return GetLevelIntroWindow();
    }
    static bool LayersShown()
    {
        CPlayfield* playfield = GetCurrentPlayfield();
        bool shown = playfield != nullptr;
        for (const char* name : {"UI", "Crew"}) {
            CPlayfieldLayer* layer = playfield ? playfield->FindLayer(name) : nullptr;
            shown = shown && layer && layer->m_VisibleInEditor;
        }
        return shown;
    }
    static bool LayersHidden()
    {
        CPlayfield* playfield = GetCurrentPlayfield();
        bool hidden = playfield != nullptr;
        for (const char* name : {"UI", "Crew"}) {
            CPlayfieldLayer* layer = playfield ? playfield->FindLayer(name) : nullptr;
            hidden = hidden && layer && !layer->m_VisibleInEditor;
        }
        return hidden;
    }
    void ClickTitled(CJWindow* window, const char* title)
    {
        for (CJWindow* child = window->GetFirstChild(); child; child = child->GetNextSibling())
            if (std::string(child->GetTitleText()) == title) {
                const CRect at = child->GetScreenRect();
                PushClick((at.left + at.right) / 2, (at.top + at.bottom) / 2);
                for (int i = 0; i < 3; ++i)
                    ASSERT_TRUE(Pass(17));
                return;
            }
        ADD_FAILURE() << "no button " << title;
    }

    CRecordingScreens m_Screens;
    CScopedHook<SetLotHooks> m_Lot{nullptr};
    CScopedHook<SetHudHooks> m_Hud{nullptr};
    CScopedHook<SetCurrentLevelHooks> m_Level{nullptr};
    CScopedHook<SetGameAppHooks> m_App{nullptr};
    CScopedHook<SetTypedCommandHooks> m_Typed{nullptr};
    CScopedHook<SetGameSongHooks> m_Songs{nullptr};
    CScopedHook<SetThreeInARowCounterHooks> m_Counter{nullptr};
    CScopedHook<SetWorldHooks> m_World{nullptr};
    CScopedHook<SetGoalHooks> m_Goal{nullptr};
    CScopedHook<SetLevelOptionsHooks> m_LevelOptions{nullptr};
};

TEST_F(LevelIntro, TellsTheLevelsTextNameRevenueWithSeparatorsAndDecade)
{
    StartWith(EButtons::ContinueAndBack);
    ASSERT_NE(StartLevel(0), nullptr);
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    ASSERT_NE(level, nullptr);
    level->m_LevelIntro = "Build three houses.";
    level->m_DisplayName.SetText("Harbour Lane");
    level->m_Period = 1;
    const std::pair<float, const char*> revenues[] = {
        {1.5f, "1,500"}, {0.0f, "0"}, {0.9994f, "999"}, {1234.5678f, "1,234,568"}, {1e9f, "2,147,483,647"}};
    for (const auto& [thousands, shown] : revenues) {
        level->m_RequiredRevenue = thousands;
        CTextSubstitutionList values;
        CLevelIntroWindow::FillSubstitutions(values);
        EXPECT_EQ(std::string(values.Apply(CJString("%s[RequiredGoal]")).GetString()), shown) << thousands;
    }
    CTextSubstitutionList values;
    CLevelIntroWindow::FillSubstitutions(values);
    EXPECT_STREQ(values.Apply(CJString("%s[LevelIntro]|%s[LevelName]|%s[Decade]")).GetString(),
                 "Build three houses.|Harbour Lane|2");

    // Its clock runs with the updates, and it draws over the level.
    CLevelIntroWindow* window = GetLevelIntroWindow();
    ASSERT_TRUE(Pass(17));
    ASSERT_TRUE(Pass(17));
    EXPECT_GT(window->GetOverlayTime(), 0.0f);
    EXPECT_EQ(App()->GetOpenScreens(), 0u);
}

TEST_F(LevelIntro, ContinueAnswersEnterAndEscapeUnlessThereIsABack)
{
    StartWith(EButtons::Continue);
    CLevelIntroWindow* window = StartLevel(0);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(GetGameAppHooks().IsScreenOpen(EGameScreen::LevelIntro));
    EXPECT_TRUE(LayersHidden());
    // Started again, the level gets a fresh introduction over its new playfield.
    window = StartLevel(0);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(LayersHidden());
    ASSERT_NE(window->GetDefaultButton(), nullptr);
    EXPECT_EQ(window->GetCancelButton(), window->GetDefaultButton());
    EXPECT_TRUE(window->OnKeyDown(kKeyEscape));
    EXPECT_EQ(GetLevelIntroWindow(), nullptr);
    EXPECT_TRUE(LayersShown());
    EXPECT_EQ(GetTownMapWindow(), nullptr);

    window = StartLevel(0);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->OnKeyDown(kKeyEnter));
    EXPECT_EQ(GetLevelIntroWindow(), nullptr);
    EXPECT_TRUE(LayersShown());

    // A start that skips the introduction shows none; the game object's
    // close closes it like any other way out.
    SetCurrentLevelIndex(1);
    App()->StartLevel(true);
    EXPECT_EQ(GetLevelIntroWindow(), nullptr);
    ASSERT_NE(StartLevel(1), nullptr);
    EXPECT_TRUE(LayersHidden());
    App()->CloseAllOverlayScreens();
    EXPECT_EQ(GetLevelIntroWindow(), nullptr);
    EXPECT_TRUE(LayersShown());
}

TEST_F(LevelIntro, BackLeadsToTheMapFromTheFirstLevelAndThroughTheShopFromALaterOne)
{
    StartWith(EButtons::ContinueAndBack);
    CLevelIntroWindow* window = StartLevel(0);
    ASSERT_NE(window, nullptr);
    EXPECT_NE(window->GetCancelButton(), window->GetDefaultButton());
    ClickTitled(window, "Back");
    EXPECT_EQ(GetLevelIntroWindow(), nullptr);
    EXPECT_NE(GetTownMapWindow(), nullptr);
    EXPECT_TRUE(CGameSongPlayer::SGetInstance().IsIntermission());
    EXPECT_TRUE(LayersShown());
    GetTownMapWindow()->Destroy();

    ASSERT_NE(StartLevel(1), nullptr);
    m_Screens.asked.clear();
    EXPECT_TRUE(GetLevelIntroWindow()->OnKeyDown(kKeyEscape));
    EXPECT_EQ(GetLevelIntroWindow(), nullptr);
    EXPECT_EQ(m_Screens.asked, std::vector<EGameScreen>{EGameScreen::Shop});
    EXPECT_EQ(GetTownMapWindow(), nullptr);

    // "Continue" clicked: the level plays with its layers back.
    ASSERT_NE(StartLevel(1), nullptr);
    ClickTitled(GetLevelIntroWindow(), "Play");
    EXPECT_EQ(GetLevelIntroWindow(), nullptr);
    EXPECT_TRUE(LayersShown());
    EXPECT_EQ(GetCurrentLevelIndex(), 1u);
}

TEST_F(LevelIntro, ASetWithoutButtonsStillLetsEnterOrEscapeIntoTheLevel)
{
    StartWith(EButtons::None);
    for (uint32_t key : {kKeyEnter, kKeyEscape}) {
        CLevelIntroWindow* window = StartLevel(0);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->GetFirstChild(), nullptr);
        EXPECT_TRUE(LayersHidden());
        EXPECT_TRUE(window->OnKeyDown(key));
        EXPECT_EQ(GetLevelIntroWindow(), nullptr) << key;
        EXPECT_TRUE(LayersShown());
    }
}

} // namespace
