// The level introduction and the tips in the running demo game: what the
// introduction says of the level, which keys and buttons lead where, the play
// layers hidden while it shows and back however it goes; what the HUD is told
// of the tips, and the tips menu paging over empty tips.
#include "ScreensGameTest.h"

#include "game/business/CThreeInARowCounter.h"
#include "game/screens/CDecadeTransition.h"
#include "game/screens/CLevelIntro.h"
#include "game/screens/CStats.h"
#include "game/screens/CTips.h"
#include "game/screens/CTownMap.h"
#include "game/screens/ScreensHooks.h"
#include "game/world/CGameSongPlayer.h"
#include "game/world/CLevelOptions.h"
#include "game/world/CTypedCommands.h"
#include "game/world/WorldHooks.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CTextSubstitutionList.h"
#include "support/ScopedHooks.h"
#include "ui/CJButton.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// A set of buttons, each "ID=Title".
std::string IntroButtonSet(const std::vector<std::string>& buttons)
{
    std::string text = "CFrameOverlayOptions\r\n{\r\n\tText Font=Fonts/Body\r\n\tText Overlays=Array\r\n\t{\r\n"
                       "\t\tItem Count=" + std::to_string(buttons.size()) + "\r\n";
    int x = 40;
    for (const std::string& button : buttons) {
        const size_t is = button.find('=');
        text += "\t\tArray Item=CFrameOverlayButton\r\n\t\t{\r\n\t\t\tID=" + button.substr(0, is) + "\r\n\t\t\tTitle=" +
                button.substr(is + 1) + "\r\n\t\t\tPosition=" + std::to_string(x) + ",700\r\n\t\t\tSize=120,40\r\n\t\t}\r\n";
        x += 200;
    }
    return text + "\t}\r\n}\r\n";
}

class IntroAndTips : public CScreensGameTest {
protected:
    // tips: the "Tips List"; null writes no "Tips Options".
    void StartWith(const std::vector<std::string>& introButtons, const std::vector<std::string>* tips = nullptr)
    {
        const std::string sets = "Data/Resources/Frame Overlay Options/";
        WriteBytes(PathOf(sets + "Level Introduction Menu Overlay.FOO"), IntroButtonSet(introButtons));
        WriteBytes(PathOf(sets + "Tips Menu Overlay.FOO"), IntroButtonSet({"Done=Done", "Prev=< Prev", "Next=Next >"}));
        if (tips) {
            std::string text = "CTipsOptions\r\n{\r\n\tFrame Overlay=Tips Menu Overlay\r\n\tSeconds To Show Tips=7\r\n"
                               "\tFront Of Line Offset=75\r\n\tTips List=Array\r\n\t{\r\n\t\tItem Count=" +
                               std::to_string(tips->size()) + "\r\n";
            for (const std::string& tip : *tips)
                text += "\t\tTip=" + tip + "\r\n";
            WriteBytes(PathOf("Data/Resources/Tips Options.Object.txt"), text + "\t}\r\n}\r\n");
        } else {
            std::filesystem::remove(PathOf("Data/Resources/Tips Options.Object.txt"));
        }
        SetGameScreensHooks(&m_Screens);
        ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    }
    void TearDown() override
    {
        for (CJWindow* window : {static_cast<CJWindow*>(GetLevelIntroWindow()), static_cast<CJWindow*>(GetTipsMenu()),
                                 static_cast<CJWindow*>(GetTownMapWindow())})
            if (window)
                window->Destroy();
        CScreensGameTest::TearDown();
    }
    // Starts the level, as the game does, with its introduction.
    CLevelIntroWindow* StartLevel(uint32_t index)
    {
        SetCurrentLevelIndex(index);
        SelectStartingGameState(false);
        App()->StartLevel(false);
        return GetLevelIntroWindow();
    }
    static bool LayersShown(bool shown)
    {
        CPlayfield* playfield = GetCurrentPlayfield();
        for (const char* name : {"UI", "Crew"}) {
            CPlayfieldLayer* layer = playfield ? playfield->FindLayer(name) : nullptr;
            if (!layer || layer->m_VisibleInEditor != shown)
                return false;
        }
        return true;
    }
    static std::string Values(const char* text, bool intro)
    {
        CTextSubstitutionList values;
        if (intro)
            CLevelIntroWindow::FillSubstitutions(values);
        else
            GetTipsMenu()->FillSubstitutions(values);
        return values.Apply(CJString(text)).GetString();
    }

    CRecordingScreens m_Screens;
};

TEST_F(IntroAndTips, TheIntroductionTellsTheLevelWithSeparatorsAndItsClockRuns)
{
    StartWith({"Continue=Play"});
    ASSERT_NE(StartLevel(0), nullptr);
    CLevelOptions* level = CLevelOptions::SGetCurrent();
    level->m_LevelIntro = "Build three houses.";
    level->m_DisplayName.SetText("Harbour Lane");
    level->m_Period = 1;
    // Past what the text holds, the largest whole number shows; a total that
    // is not a number shows $0.
    const std::pair<float, const char*> revenues[] = {{1.5f, "1,500"},
                                                      {0.0f, "0"},
                                                      {0.9994f, "999"},
                                                      {1234.5678f, "1,234,568"},
                                                      {1e9f, "2,147,483,647"},
                                                      {std::nanf(""), "0"}};
    for (const auto& [thousands, shown] : revenues) {
        level->m_RequiredRevenue = thousands;
        EXPECT_EQ(Values("%s[RequiredGoal]", true), shown) << thousands;
    }
    EXPECT_EQ(Values("%s[LevelIntro]|%s[LevelName]|%s[Decade]", true), "Build three houses.|Harbour Lane|2");
    ASSERT_TRUE(Pass(17));
    ASSERT_TRUE(Pass(17));
    EXPECT_GT(GetLevelIntroWindow()->GetOverlayTime(), 0.0f);
    // The level stays drawn under it.
    EXPECT_EQ(App()->GetOpenScreens(), 0u);
}

TEST_F(IntroAndTips, ContinueTakesEnterAndEscapeWithoutBackAndTheLayersComeBackEveryWay)
{
    StartWith({"Continue=Play"});
    ASSERT_NE(StartLevel(0), nullptr);
    // Started again, the level gets a fresh introduction over its new playfield.
    CLevelIntroWindow* window = StartLevel(0);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(GetGameScreensHooks().IsScreenOpen(EGameScreen::LevelIntro));
    EXPECT_TRUE(LayersShown(false));
    ASSERT_NE(window->GetDefaultButton(), nullptr);
    EXPECT_EQ(window->GetCancelButton(), window->GetDefaultButton());
    EXPECT_TRUE(window->OnKeyDown(kKeyEscape));
    EXPECT_EQ(GetLevelIntroWindow(), nullptr);
    EXPECT_TRUE(LayersShown(true));
    EXPECT_EQ(GetTownMapWindow(), nullptr);

    EXPECT_TRUE(StartLevel(0)->OnKeyDown(kKeyEnter));
    EXPECT_TRUE(LayersShown(true));

    // A start told to skip it shows none; the game object's close is one more
    // way out.
    SetCurrentLevelIndex(1);
    App()->StartLevel(true);
    EXPECT_EQ(GetLevelIntroWindow(), nullptr);
    ASSERT_NE(StartLevel(1), nullptr);
    App()->CloseAllOverlayScreens();
    EXPECT_EQ(GetLevelIntroWindow(), nullptr);
    EXPECT_TRUE(LayersShown(true));
}

TEST_F(IntroAndTips, BackLeadsToTheMapFromTheFirstLevelAndThroughTheShopFromALaterOne)
{
    StartWith({"Continue=Play", "Back=Back"});
    CLevelIntroWindow* window = StartLevel(0);
    ASSERT_NE(window, nullptr);
    EXPECT_NE(window->GetCancelButton(), window->GetDefaultButton());
    ClickOn(Button(window, "Back"));
    EXPECT_EQ(GetLevelIntroWindow(), nullptr);
    ASSERT_NE(GetTownMapWindow(), nullptr);
    EXPECT_TRUE(CGameSongPlayer::SGetInstance().IsIntermission());
    EXPECT_TRUE(LayersShown(true));
    GetTownMapWindow()->Destroy();

    ASSERT_NE(StartLevel(1), nullptr);
    m_Screens.asked.clear();
    EXPECT_TRUE(GetLevelIntroWindow()->OnKeyDown(kKeyEscape));
    EXPECT_EQ(GetLevelIntroWindow(), nullptr);
    EXPECT_EQ(m_Screens.asked, std::vector<EGameScreen>{EGameScreen::Shop});
    EXPECT_EQ(GetTownMapWindow(), nullptr);

    ASSERT_NE(StartLevel(1), nullptr);
    ClickOn(Button(GetLevelIntroWindow(), "Play"));
    EXPECT_EQ(GetLevelIntroWindow(), nullptr);
    EXPECT_TRUE(LayersShown(true));
    EXPECT_EQ(GetCurrentLevelIndex(), 1u);
}

TEST_F(IntroAndTips, TheHudIsToldEachLevelsTipItsTimeSetAndTheLinesOffset)
{
    const std::vector<std::string> tips = {"Drag a frame onto a lot.", "Paint before they move in."};
    StartWith({}, &tips);
    CGameScreensHooks& hud = GetGameScreensHooks();
    EXPECT_STREQ(hud.GetTipText(1).GetString(), "Paint before they move in.");
    EXPECT_TRUE(hud.GetTipText(2).IsEmpty());
    EXPECT_TRUE(hud.GetTipText(0xFFFFFFFFu).IsEmpty());
    EXPECT_FLOAT_EQ(hud.GetTipDuration(), 7.0f);
    EXPECT_FLOAT_EQ(hud.GetTipFrontOfLineOffset(), 75.0f);
    EXPECT_EQ(hud.GetTipOverlay(), GetFrameOverlayOptionsList().Find("Tips Menu Overlay"));
}

TEST_F(IntroAndTips, DataWithoutTipsOrIntroductionButtonsLeavesNoPlayerStuck)
{
    StartWith({});
    // No button: Enter and Escape still lead into the level.
    for (uint32_t key : {kKeyEnter, kKeyEscape}) {
        ASSERT_NE(StartLevel(0), nullptr);
        EXPECT_EQ(GetLevelIntroWindow()->GetFirstChild(), nullptr);
        EXPECT_TRUE(GetLevelIntroWindow()->OnKeyDown(key));
        EXPECT_EQ(GetLevelIntroWindow(), nullptr) << key;
        EXPECT_TRUE(LayersShown(true));
    }
    CGameScreensHooks& hud = GetGameScreensHooks();
    EXPECT_TRUE(hud.GetTipText(0).IsEmpty());
    EXPECT_EQ(hud.GetTipOverlay(), -1);
    EXPECT_FLOAT_EQ(hud.GetTipFrontOfLineOffset(), 200.0f);
    // An empty list too: the menu opens on nothing, with only "Done".
    CStats::SGetInstance().GetCurrentPlayer()->m_SelectedLevel = 3;
    CTipsMenu* menu = OpenTipsMenu(nullptr);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(Values("%s[Tip]|%s[CanDoPrevious]|%s[CanDoNext]", false), "|0|0");
    EXPECT_EQ(Button(menu, "< Prev"), nullptr);
    EXPECT_EQ(Button(menu, "Next >"), nullptr);
    menu->Next();
    menu->Prev();
    EXPECT_EQ(menu->GetIndex(), 0u);
    EXPECT_TRUE(menu->OnKeyDown(kKeyEnter));
    EXPECT_EQ(GetTipsMenu(), nullptr);
}

TEST_F(IntroAndTips, TheTipsMenuPagesOverEmptyTipsButMayLandOnAnEmptyEnd)
{
    const std::vector<std::string> tips = {"First", "", "Third", "", ""};
    StartWith({}, &tips);
    // A "Selected Level" past the list opens on the last non-empty tip.
    CStats::SGetInstance().GetCurrentPlayer()->m_SelectedLevel = 9;
    CTipsMenu* menu = OpenTipsMenu(nullptr);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(Values("%s[Tip]|%s[CanDoPrevious]|%s[CanDoNext]", false), "Third|1|1");

    // Nothing non-empty lies beyond: "Next" lands on the empty last tip.
    ClickOn(Button(menu, "Next >"));
    EXPECT_EQ(menu->GetIndex(), 4u);
    EXPECT_EQ(Values("%s[Tip]|%s[CanDoPrevious]|%s[CanDoNext]", false), "|1|0");
    EXPECT_EQ(Button(menu, "Next >"), nullptr);

    menu->Prev();
    EXPECT_EQ(menu->GetIndex(), 2u);
    ClickOn(Button(menu, "< Prev"));
    EXPECT_EQ(Values("%s[Tip]|%s[CanDoPrevious]|%s[CanDoNext]", false), "First|0|1");
    EXPECT_EQ(Button(menu, "< Prev"), nullptr);
    EXPECT_GT(menu->GetTimer(), 0.0f);
    ClickOn(Button(menu, "Done"));
    EXPECT_EQ(GetTipsMenu(), nullptr);

    // Opened on an empty tip it steps back to the one before.
    CStats::SGetInstance().GetCurrentPlayer()->m_SelectedLevel = 1;
    EXPECT_EQ(OpenTipsMenu(nullptr)->GetIndex(), 0u);
}

} // namespace
