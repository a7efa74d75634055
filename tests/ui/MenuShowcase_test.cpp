// The menu demo over the checked-in data with freshly drawn textures, as the
// program runs it: the picture shows, the bar's menu opens on a click and its
// items open a message box and hide the palette; the sound options window's
// music slider changes the music player's volume.

#include "ShowcaseTestSupport.h"

#include "sound/CMusicPlayer.h"
#include "sound/CSoundDevice.h"
#include "ui/CJMenu.h"
#include "ui/CJMessageBox.h"
#include "ui/CJPictureWindow.h"
#include "ui/CJSlider.h"
#include "ui/CJToolPalette.h"
#include "ui/CSoundOptions.h"
#include "ui/SkinResources.h"
#include "ui/program/MenuShowcase.h"
#include "ui/program/UiShowcase.h"

namespace {

class MenuShowcase : public ShowcaseTest {
protected:
    void SetUp() override
    {
        ShowcaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        InstallUiShowcase();
        InstallMenuShowcase();
        GetStandInHooks().init();
    }
    void TearDown() override
    {
        DestroyRoot();
        CSoundDevice::SGetInstance().Shutdown();
        ShowcaseTest::TearDown();
    }
};

TEST_F(MenuShowcase, TheBarOpensItsMenusAndTheirWindowsAndTheSlidersSetTheMusic)
{
    auto* bar = ChildOf<CJMenuBar>(*m_Root);
    ASSERT_NE(bar, nullptr);
    auto* palette = ChildOf<CJToolPalette>(*m_Root);
    auto* picture = ChildOf<CJPictureWindow>(*m_Root);
    auto* options = ChildOf<CSoundOptions>(*m_Root);
    ASSERT_TRUE(palette && picture && options);

    // The picture shows the drawn landscape where it lies.
    Frame();
    CFrame* landscape = FindSkinFrame("Demo Picture");
    ASSERT_NE(landscape, nullptr);
    const CRect& at = picture->GetScreenRect();
    EXPECT_EQ(Rgb(*m_Screen, at.left + 170, at.top + 52), Rgb(*landscape, 170, 52));

    // A click on "Windows" opens its menu; "Message box" opens a modal box.
    CJWindow* windows = ChildTitled(*bar, "Windows");
    ASSERT_NE(windows, nullptr);
    Click(Centre(*windows));
    auto* menu = dynamic_cast<CJPullDownMenu*>(m_Root->GetFirstChild());
    ASSERT_NE(menu, nullptr);
    Click(Centre(*ChildTitled(*menu, "Message box")));
    auto* box = dynamic_cast<CJMessageBox*>(m_Root->GetFirstChild());
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->IsModal());
    CKeyboardState::SGetInstance().OnCharacter(kKeyEscape);
    Frame();
    EXPECT_EQ(ChildOf<CJMessageBox>(*m_Root), nullptr);

    // "Tool palette" hides the palette.
    Click(Centre(*windows));
    menu = dynamic_cast<CJPullDownMenu*>(m_Root->GetFirstChild());
    ASSERT_NE(menu, nullptr);
    Click(Centre(*ChildTitled(*menu, "Tool palette")));
    EXPECT_FALSE(palette->IsVisible());

    // The music slider at its bottom mutes the music player's base volume.
    CJSlider* music = options->GetSlider(SoundOptionRow::Music);
    const CRect& slider = music->GetScreenRect();
    Click(CPoint{slider.left, (slider.top + slider.bottom) / 2});
    EXPECT_EQ(music->GetValue(), 0u);
    EXPECT_EQ(CMusicPlayer::SGetInstance().GetBaseVolume(), CMusicPlayer::kMuted);
}

} // namespace
