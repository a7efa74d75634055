// The options menu and its sound and display windows in the running demo
// game: which set the menu shows opened from the pause menu or the main menu,
// each button standing the menu aside for its window and getting it back
// with its animations restarted; the restyled sound rows; the display
// choices applied on the update after the click.
#include "ScreensGameTest.h"

#include "foundation/CIniSection.h"
#include "game/screens/CCredits.h"
#include "game/screens/CGameOptionsWindows.h"
#include "game/screens/COptionsMenu.h"
#include "game/screens/CTips.h"
#include "game/world/CLevelOptions.h"
#include "images/CFrameList.h"
#include "overlays/CFrameOverlay.h"
#include "sequences/CTextSubstitutionList.h"
#include "shell/CScreenDevice.h"
#include "shell/CScreenFrame.h"
#include "sound/CMusicPlayer.h"
#include "ui/CJCheckBox.h"
#include "ui/CJSlider.h"
#include "ui/CJStatic.h"
#include "ui/CJTabControl.h"
#include "ui/CMenuWindow.h"
#include "ui/CScreenWindow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

// A set of buttons, each "ID=Title", in a row.
std::string OptionsButtonSet(const std::vector<std::string>& buttons)
{
    std::string text = "CFrameOverlayOptions\r\n{\r\n\tText Font=Fonts/Body\r\n\tText Overlays=Array\r\n\t{\r\n"
                       "\t\tItem Count=" + std::to_string(buttons.size()) + "\r\n";
    int x = 20;
    for (const std::string& button : buttons) {
        const size_t is = button.find('=');
        text += "\t\tArray Item=CFrameOverlayButton\r\n\t\t{\r\n\t\t\tID=" + button.substr(0, is) + "\r\n\t\t\tTitle=" +
                button.substr(is + 1) + "\r\n\t\t\tPosition=" + std::to_string(x) + ",700\r\n\t\t\tSize=150,40\r\n\t\t}\r\n";
        x += 170;
    }
    return text + "\t}\r\n}\r\n";
}

class Options : public CScreensGameTest {
protected:
    void SetUp() override
    {
        CScreensGameTest::SetUp();
        const std::string sets = "Data/Resources/Frame Overlay Options/";
        WriteBytes(PathOf(sets + "Options Menu Overlay.FOO"),
                   OptionsButtonSet({"AudioOptions=Sound", "DisplayOptions=Display", "UserManual=Manual",
                                     "Credits=Credits", "Done=Done"}));
        // The pause set leaves the credits out and names its way back apart.
        WriteBytes(PathOf(sets + "Options Menu From Pause Overlay.FOO"),
                   OptionsButtonSet(
                       {"AudioOptions=Sound", "DisplayOptions=Display", "UserManual=Manual", "Done=Back To Game"}));
        WriteBytes(PathOf("Data/Credits.txt"), "Made here\r\n");
    }
    void TearDown() override
    {
        // Each window gives back the one it stands for, front first.
        if (COptionsMenuWindow* menu = GetOptionsMenu()) {
            auto* front = dynamic_cast<CMenuWindow*>(Front());
            if (front && front->GetReplacedWindow() == menu)
                front->Destroy();
            menu->Destroy();
        }
        if (m_Opener)
            m_Opener->Destroy();
        CScreensGameTest::TearDown();
    }
    // A menu on the screen window standing for the main or pause menu.
    COptionsMenuWindow* OpenOverOpener(bool fromPause)
    {
        m_Opener = new CMenuWindow(nullptr, "Opener");
        m_Opener->SetSize(200, 100);
        CScreenWindow::GetScreenWindow()->AddChild(m_Opener, EPlace::Centred);
        return OpenOptionsMenu(m_Opener, fromPause);
    }
    static CJWindow* Front() { return CScreenWindow::GetScreenWindow()->GetFirstChild(); }

    CMenuWindow* m_Opener = nullptr;
};

TEST_F(Options, EachVariantTakesItsOwnSetAndDoneGivesTheOpenerBack)
{
    ASSERT_NO_FATAL_FAILURE(StartIntoTheLevel());
    COptionsMenuWindow* menu = OpenOverOpener(true);
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->IsFromPause());
    EXPECT_EQ(menu->GetOverlay(), FindFrameOverlayOptions("Options Menu From Pause Overlay"));
    EXPECT_EQ(Front(), menu);
    EXPECT_EQ(m_Opener->GetParent(), nullptr) << "stood aside while the options show";
    EXPECT_NE(Button(menu, "Back To Game"), nullptr);
    EXPECT_EQ(Button(menu, "Credits"), nullptr);
    EXPECT_EQ(OpenOptionsMenu(m_Opener, false), menu) << "one options menu at a time";

    // What the pause set shows of the level.
    const CLevelOptions* level = CLevelOptions::SGetCurrent();
    ASSERT_NE(level, nullptr);
    CTextSubstitutionList values;
    menu->FillSubstitutions(values);
    EXPECT_EQ(values.Apply(CJString("%s[LevelName]/%s[Decade]")).GetString(),
              std::string(level->m_DisplayName.GetTranslation().GetString()) + "/" +
                  std::to_string(level->m_Period + 1));

    ClickOn(Button(menu, "Back To Game"));
    EXPECT_EQ(GetOptionsMenu(), nullptr);
    EXPECT_EQ(Front(), m_Opener);
    EXPECT_TRUE(m_Opener->IsVisible());

    menu = OpenOverOpener(false);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->GetOverlay(), FindFrameOverlayOptions("Options Menu Overlay"));
    EXPECT_NE(Button(menu, "Credits"), nullptr);
    EXPECT_EQ(Button(menu, "Back To Game"), nullptr);
    // Escape is "Done".
    EXPECT_TRUE(menu->OnKeyDown(kKeyEscape));
    EXPECT_EQ(GetOptionsMenu(), nullptr);
    EXPECT_EQ(Front(), m_Opener);
}

TEST_F(Options, EveryButtonSwitchesToItsWindowAndTheReturnRestartsTheClock)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    COptionsMenuWindow* menu = OpenOverOpener(false);
    ASSERT_NE(menu, nullptr);
    struct Case {
        const char* button;
        bool (*isIt)(CJWindow*);
    };
    const Case cases[] = {
        {"Sound", [](CJWindow* w) { return dynamic_cast<CGameSoundOptions*>(w) != nullptr; }},
        {"Display", [](CJWindow* w) { return dynamic_cast<CGameVideoOptions*>(w) != nullptr; }},
        {"Manual", [](CJWindow* w) { return w && w == GetTipsMenu(); }},
        {"Credits", [](CJWindow* w) { return dynamic_cast<CCreditsWindow*>(w) != nullptr; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        Passes(30);
        EXPECT_GT(menu->GetOverlayTime(), 0.4f);
        ClickOn(Button(menu, c.button));
        CJWindow* shown = Front();
        ASSERT_TRUE(c.isIt(shown));
        EXPECT_EQ(menu->GetParent(), nullptr);
        EXPECT_FALSE(menu->IsVisible());
        // Centred on the screen.
        const CRect r = shown->GetRect();
        EXPECT_NEAR((r.left + r.right) / 2, int32_t(CScreenFrame::SGetInstance().GetWidth()) / 2, 1);
        Passes(5);
        EXPECT_TRUE(static_cast<CMenuWindow*>(shown)->OnKeyDown(kKeyEscape));
        EXPECT_EQ(Front(), menu);
        EXPECT_TRUE(menu->IsVisible());
        EXPECT_EQ(menu->GetOverlayTime(), 0.0f) << "the set's animations start over";
    }
    EXPECT_EQ(GetOptionsMenu(), menu);
}

TEST_F(Options, TheMuteBoxesStayWhereTheOldOnesWereShiftedDownAndStillMute)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    CSoundDevice& device = CSoundDevice::SGetInstance();
    CMusicPlayer& music = CMusicPlayer::SGetInstance();
    CSoundOptions plain(nullptr, device, music);
    CGameSoundOptions game(nullptr, device, music);
    struct Row {
        SoundOptionRow row;
        int32_t boxY, sliderX;
    };
    const Row rows[] = {{SoundOptionRow::Master, 13, 5}, {SoundOptionRow::Effects, 24, 5}, {SoundOptionRow::Music, 22, 5}};
    const auto middle = [](const CRect& r) { return (r.top + r.bottom) / 2; };
    for (const Row& row : rows) {
        const CRect oldBox = plain.GetMuteBox(row.row)->GetRect();
        const CRect box = game.GetMuteBox(row.row)->GetRect();
        EXPECT_EQ(box.left, oldBox.left);
        EXPECT_EQ(box.top, oldBox.top + row.boxY);
        EXPECT_GT(box.GetHeight(), 0) << "a box without its images is still there to click";
        EXPECT_NE(dynamic_cast<CJImageCheckBox*>(game.GetMuteBox(row.row)), nullptr);
        // A row reads as one line: its label and slider level with its box.
        EXPECT_NEAR(middle(game.GetLabel(row.row)->GetRect()), middle(box), 1);
        const CRect slider = game.GetSlider(row.row)->GetRect();
        EXPECT_EQ(slider.left, plain.GetSlider(row.row)->GetRect().left + row.sliderX);
        EXPECT_NEAR(middle(slider), middle(box), 1);
    }
    EXPECT_EQ(game.GetWidth(), plain.GetWidth() + 100);
    EXPECT_EQ(game.GetRect().left, plain.GetRect().left - 50);
    EXPECT_GE(game.GetCloseButton()->GetRect().top, game.GetMuteBox(SoundOptionRow::Music)->GetRect().bottom);

    // The demo's images, found by name.
    CFrameList& library = GetFrameLibrary();
    const auto image = [&](const char* name) -> CFrameInterface* {
        const int32_t index = library.Find(CJString(name));
        return index >= 0 ? library.GetObject(index) : nullptr;
    };
    auto* box = dynamic_cast<CJImageCheckBox*>(game.GetMuteBox(SoundOptionRow::Master));
    ASSERT_NE(box, nullptr);
    ASSERT_NE(image("MenuScreen_SelectBox"), nullptr);
    EXPECT_EQ(box->m_UncheckedImage, image("MenuScreen_SelectBox"));
    EXPECT_EQ(box->m_BoxImage, image("MenuScreen_SelectBoxRed"));
    EXPECT_EQ(box->m_CheckedImage, image("MenuScreen_SelectBoxRed"));
    ASSERT_NE(image("MenuScreen_Slider"), nullptr);
    EXPECT_EQ(game.GetSlider(SoundOptionRow::Music)->GetWidth(), int32_t(image("MenuScreen_Slider")->GetWidth()));

    // The new box is the one the window listens to.
    CJCheckBox* mute = game.GetMuteBox(SoundOptionRow::Effects);
    const bool muted = game.GetState().IsMuted(SoundOptionRow::Effects);
    mute->Click();
    EXPECT_NE(game.GetState().IsMuted(SoundOptionRow::Effects), muted);
    EXPECT_EQ(game.GetSlider(SoundOptionRow::Effects)->IsGrayed(), !muted);
    mute->Click();
    EXPECT_EQ(game.GetState().IsMuted(SoundOptionRow::Effects), muted);
}

class DisplayOptions : public Options {
protected:
    void SetUp() override
    {
        Options::SetUp();
        m_WasFull = Full();
    }
    void TearDown() override
    {
        SetUseDesktopResolution(false);
        CScreenFrame::SGetInstance().SetScreenMode(m_WasFull);
        Options::TearDown();
    }
    static bool Full() { return CScreenFrame::SGetInstance().IsFullScreen(); }

    bool m_WasFull = false;
};

TEST_F(DisplayOptions, WindowedGreysTheResolutionAndAClickAppliesOnTheNextUpdateEvenWhenChecked)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    SetUseDesktopResolution(true);
    ASSERT_TRUE(CScreenFrame::SGetInstance().SetScreenMode(false));
    COptionsMenuWindow* menu = OpenOverOpener(false);
    ASSERT_NE(menu, nullptr);
    ClickOn(Button(menu, "Display"));
    auto* window = dynamic_cast<CGameVideoOptions*>(Front());
    ASSERT_NE(window, nullptr);
    // The skinned brightness slider stands level with its label, inside its page.
    const CRect slider = window->GetBrightnessSlider()->GetRect();
    const CRect label = window->GetBrightnessLabel()->GetRect();
    EXPECT_NEAR(slider.top + slider.bottom, label.top + label.bottom, 2);
    EXPECT_GE(slider.top, 0);
    // Windowed: the resolution is greyed and shows stretched, whatever is stored.
    EXPECT_TRUE(window->GetWindowedButton()->IsChecked());
    EXPECT_FALSE(window->GetResolutionLabel()->IsEnabled());
    EXPECT_FALSE(window->GetDesktopButton()->IsEnabled());
    EXPECT_FALSE(window->GetStretchedButton()->IsEnabled());
    EXPECT_TRUE(window->GetStretchedButton()->IsChecked());
    EXPECT_TRUE(GetUseDesktopResolution()) << "showing is not storing";

    // A real click on "Full Screen": nothing inside the click, all on the
    // next update; the stored resolution shows again.
    auto& device = m_Platform.GetHeadlessScreen();
    const size_t resets = device.GetResetCount();
    window->GetFullScreenButton()->Click();
    EXPECT_TRUE(window->IsApplyPending());
    EXPECT_FALSE(Full());
    EXPECT_EQ(device.GetResetCount(), resets);
    ClickOn(window->GetFullScreenButton());
    EXPECT_FALSE(window->IsApplyPending());
    EXPECT_TRUE(Full());
    EXPECT_TRUE(device.IsFullScreen());
    EXPECT_TRUE(window->GetDesktopButton()->IsEnabled());
    EXPECT_TRUE(window->GetDesktopButton()->IsChecked());

    // The checked button applies again: the same mode, set afresh.
    const size_t before = device.GetResetCount();
    window->GetFullScreenButton()->Click();
    EXPECT_TRUE(window->GetFullScreenButton()->IsChecked());
    window->Update(1.0f / 60.0f);
    EXPECT_GT(device.GetResetCount(), before);
    EXPECT_TRUE(Full());

    // A mode the device refuses leaves the one the player had, shown so.
    device.SetRefuseMode(false, true);
    window->GetWindowedButton()->Click();
    window->Update(1.0f / 60.0f);
    device.SetRefuseMode(false, false);
    EXPECT_TRUE(Full());
    EXPECT_TRUE(window->GetFullScreenButton()->IsChecked());
}

// The brightness the folder refuses is told at Done and kept for the next
// write, the game's end included.
TEST_F(DisplayOptions, ABrightnessTheFolderRefusesIsToldAtDoneAndWrittenAtTheEnd)
{
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    uint32_t shown = 0;
    GetOptionsSection().SetFloat("Screen Brightness", 1.0f);
    std::string name = GetOptionsSection().GetFileName();
    name.erase(0, name.find_last_of("\\/") + 1);
    const std::string path = (std::filesystem::canonical(Folder()) / name).string();
    const auto boxes = [&] {
        std::vector<std::string> texts;
        for (const auto& box : m_Platform.GetMessageBoxes())
            texts.push_back(box.caption + " / " + box.text);
        return texts;
    };
    // Answers where the slider stood as the window opened.
    const auto brighten = [&](const char* to, uint32_t& shownAtOpen) {
        COptionsMenuWindow* menu = OpenOverOpener(false);
        ASSERT_NE(menu, nullptr);
        ClickOn(Button(menu, "Display"));
        auto* window = dynamic_cast<CGameVideoOptions*>(Front());
        ASSERT_NE(window, nullptr);
        shownAtOpen = window->GetBrightnessSlider()->GetValue();
        const CRect r = window->GetBrightnessSlider()->GetScreenRect();
        PushClick(std::string(to) == "right" ? r.right - 1 : r.left, (r.top + r.bottom) / 2);
        Passes(3);
        ClickOn(window->GetDoneButton());
        ClickOn(Button(menu, "Done"));
    };
    {
        std::filesystem::permissions(Folder(), std::filesystem::perms(0555));
        CActingAsNobody nobody;
        if (!nobody.Acting())
            GTEST_SKIP() << "root here cannot act as an ordinary user";
        ASSERT_NO_FATAL_FAILURE(brighten("right", shown));
        EXPECT_EQ(shown, 0u);
        // Opened again, the window shows the brightness the screen has.
        ASSERT_NO_FATAL_FAILURE(brighten("right", shown));
        EXPECT_EQ(shown, 100u);
    }
    std::filesystem::permissions(Folder(), std::filesystem::perms::owner_all);
    EXPECT_FLOAT_EQ(CScreenFrame::SGetInstance().GetBrightness(), 1.5f);
    EXPECT_FLOAT_EQ(GetOptionsSection().GetFloat("Screen Brightness", 1.0f), 1.0f);
    const std::string told = "Error / Could not save " + path
        + ": the folder cannot be written. The brightness stays in the game, and the next change or the game's "
          "end writes it once the cause is gone.";
    EXPECT_EQ(boxes(), (std::vector<std::string>{told, told}));
    EndRun();
    m_Opener = nullptr; // gone with the game's windows
    EXPECT_FLOAT_EQ(GetOptionsSection().GetFloat("Screen Brightness", 1.0f), 1.5f);
    EXPECT_EQ(boxes().size(), 2u);

    // A refusal still there at the end says what it costs.
    ASSERT_NO_FATAL_FAILURE(StartPastOpening());
    {
        std::filesystem::permissions(Folder(), std::filesystem::perms(0555));
        CActingAsNobody nobody;
        ASSERT_NO_FATAL_FAILURE(brighten("left", shown));
        EndRun();
        m_Opener = nullptr;
    }
    std::filesystem::permissions(Folder(), std::filesystem::perms::owner_all);
    EXPECT_FLOAT_EQ(GetOptionsSection().GetFloat("Screen Brightness", 1.0f), 1.5f);
    // Done's box again, the profiles' at the end, then the brightness's.
    ASSERT_EQ(boxes().size(), 5u);
    EXPECT_EQ(boxes()[2], told);
    EXPECT_EQ(boxes()[4],
              "Error / Could not save " + path
                  + ": the folder cannot be written. The brightness set in this run is lost.");
}

} // namespace
