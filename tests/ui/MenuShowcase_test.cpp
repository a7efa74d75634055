// The menu demo over the checked-in data with freshly drawn textures, as the
// program runs it: the picture shows, the bar's menu opens on a click and its
// items open a message box and hide the palette; the sound options window's
// music slider changes the music player's volume.

#include "SkinTestSupport.h"

#include "images/CFontList.h"
#include "images/CFrame.h"
#include "shell/CKeyboardState.h"
#include "shell/CMouseState.h"
#include "shell/program/CStandInGame.h"
#include "sound/CMusicPlayer.h"
#include "sound/CSoundDevice.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJMenu.h"
#include "ui/CJMessageBox.h"
#include "ui/CJPictureWindow.h"
#include "ui/CJSlider.h"
#include "ui/CJToolPalette.h"
#include "ui/CScreenWindow.h"
#include "ui/CSoundOptions.h"
#include "ui/SkinResources.h"
#include "ui/program/MenuShowcase.h"
#include "ui/program/UiShowcase.h"

#include <filesystem>

namespace {

class MenuShowcase : public SkinFrameTest {
protected:
    void SetUp() override
    {
        SkinFrameTest::SetUp();
        if (IsSkipped())
            return;
        const std::string source = OMBRISALT_SOURCE_DIR;
        std::filesystem::create_directories("Data/Resources");
        std::filesystem::copy(source + "/data/Data/Resources/Interface", "Data/Resources/Interface",
                              std::filesystem::copy_options::recursive);
        std::filesystem::copy(source + "/data/Data/Resources/Fonts", "Data/Resources/Fonts",
                              std::filesystem::copy_options::recursive);
        std::filesystem::remove_all("Data/Resources/Interface/Textures/.interface-made");
        ASSERT_EQ(RunCommand("python3 " + source + "/tools/make_demo_interface.py ."), 0);
        std::filesystem::current_path("Data");
        EnumerateFontFiles();
        GetFontList().SetSource(nullptr, "Resources|Fonts", 0);
        CMouseState::SGetInstance().ResetForTesting();
        CKeyboardState::SGetInstance().ResetForTesting();
        m_Screen = CFrame::MakeOwned(1024, 768, 32);
        m_Root = new CScreenWindow(m_Screen.get(), m_Font.get());
        InstallUiShowcase();
        InstallMenuShowcase();
        GetStandInHooks().init();
    }
    void TearDown() override
    {
        if (m_Root)
            m_Root->Destroy();
        CSoundDevice::SGetInstance().Shutdown();
        SetStandInHooks(SStandInHooks());
        GetSkinThemeList().RemoveAll();
        GetSkinThemeList().SetSource(nullptr, "Nowhere", 0);
        GetFontList().RemoveAll();
        GetFontList().SetSource(nullptr, "Nowhere", 0);
        CJWindow::SetSkinResources(nullptr, nullptr);
        CMouseState::SGetInstance().ResetForTesting();
        CKeyboardState::SGetInstance().ResetForTesting();
        SkinFrameTest::TearDown();
    }
    void Frame()
    {
        m_Root->Update(1.0f / 60.0f);
        CColor black(0, 0, 0, 255);
        m_Screen->Fill(black);
        GetStandInHooks().draw(*m_Screen);
    }
    void Click(CPoint p)
    {
        CMouseState& mouse = CMouseState::SGetInstance();
        mouse.SetPosition(p.x, p.y);
        mouse.SetButtons(1);
        Frame();
        mouse.SetButtons(0);
        Frame();
    }
    static CPoint Centre(const CJWindow& window)
    {
        const CRect& r = window.GetScreenRect();
        return CPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    template <class T>
    T* Find() const
    {
        for (CJWindow* child = m_Root->GetFirstChild(); child; child = child->GetNextSibling())
            if (auto* found = dynamic_cast<T*>(child))
                return found;
        return nullptr;
    }
    static CJWindow* ItemOf(const CJWindow& menu, const char* title)
    {
        for (CJWindow* child = menu.GetFirstChild(); child; child = child->GetNextSibling())
            if (child->GetTitle().Compare(title) == 0)
                return child;
        return nullptr;
    }

    std::unique_ptr<CFrame> m_Screen;
    CScreenWindow* m_Root = nullptr;
};

TEST_F(MenuShowcase, TheBarOpensItsMenusAndTheirWindowsAndTheSlidersSetTheMusic)
{
    auto* bar = Find<CJMenuBar>();
    ASSERT_NE(bar, nullptr);
    auto* palette = Find<CJToolPalette>();
    auto* picture = Find<CJPictureWindow>();
    auto* options = Find<CSoundOptions>();
    ASSERT_TRUE(palette && picture && options);

    // The picture shows the drawn landscape where it lies.
    Frame();
    CFrame* landscape = FindSkinFrame("Demo Picture");
    ASSERT_NE(landscape, nullptr);
    const CRect& at = picture->GetScreenRect();
    EXPECT_EQ(Rgb(*m_Screen, at.left + 170, at.top + 52), Rgb(*landscape, 170, 52));

    // A click on "Windows" opens its menu; "Message box" opens a modal box.
    CJWindow* windows = ItemOf(*bar, "Windows");
    ASSERT_NE(windows, nullptr);
    Click(Centre(*windows));
    auto* menu = dynamic_cast<CJPullDownMenu*>(m_Root->GetFirstChild());
    ASSERT_NE(menu, nullptr);
    Click(Centre(*ItemOf(*menu, "Message box")));
    auto* box = dynamic_cast<CJMessageBox*>(m_Root->GetFirstChild());
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->IsModal());
    CKeyboardState::SGetInstance().OnCharacter(kKeyEscape);
    Frame();
    EXPECT_EQ(Find<CJMessageBox>(), nullptr);

    // "Tool palette" hides the palette.
    Click(Centre(*windows));
    menu = dynamic_cast<CJPullDownMenu*>(m_Root->GetFirstChild());
    ASSERT_NE(menu, nullptr);
    Click(Centre(*ItemOf(*menu, "Tool palette")));
    EXPECT_FALSE(palette->IsVisible());

    // The music slider at its bottom mutes the music player's base volume.
    CJSlider* music = options->GetSlider(SoundOptionRow::Music);
    const CRect& slider = music->GetScreenRect();
    Click(CPoint{slider.left, (slider.top + slider.bottom) / 2});
    EXPECT_EQ(music->GetValue(), 0u);
    EXPECT_EQ(CMusicPlayer::SGetInstance().GetBaseVolume(), CMusicPlayer::kMuted);
}

} // namespace
