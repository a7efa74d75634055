// The window demo over the checked-in data with freshly drawn textures, as
// the program runs it, driven by injected mouse and keys: the two windows
// show their themes, a click raises the one behind, Tab moves the focus, Alt
// and a letter press a button, and a button shows its tool tip.

#include "SkinTestSupport.h"

#include "images/CFontList.h"
#include "shell/CKeyboardState.h"
#include "shell/CMouseState.h"
#include "shell/program/CStandInGame.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJWindow.h"
#include "ui/CScreenWindow.h"
#include "ui/program/UiShowcase.h"

#include <filesystem>

namespace {

class UiShowcase : public SkinFrameTest {
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
    }
    void TearDown() override
    {
        if (m_Root)
            m_Root->Destroy();
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
    void Click(int32_t x, int32_t y)
    {
        CMouseState& mouse = CMouseState::SGetInstance();
        mouse.SetPosition(x, y);
        mouse.SetButtons(1);
        Frame();
        mouse.SetButtons(0);
        Frame();
    }
    CJWindow* Panel(const char* title) const
    {
        for (CJWindow* child = m_Root->GetFirstChild(); child; child = child->GetNextSibling())
            if (child->GetTitle().Compare(title) == 0)
                return child;
        return nullptr;
    }
    // The status line: the one child that is neither a button nor the label.
    static std::string Status(const CJWindow& panel)
    {
        for (CJWindow* child = panel.GetFirstChild(); child; child = child->GetNextSibling()) {
            const std::string title = child->GetTitleText();
            if (title.rfind("Pressed: ", 0) == 0 || title.rfind("Tab, ", 0) == 0)
                return title;
        }
        return "";
    }

    std::unique_ptr<CFrame> m_Screen;
    CScreenWindow* m_Root = nullptr;
};

TEST_F(UiShowcase, WindowsInBothThemesAnswerClicksTabHotKeysAndShowTips)
{
    InstallUiShowcase();
    GetStandInHooks().init();
    CJWindow* classic = Panel("Classic Theme");
    CJWindow* alpha = Panel("Demo Theme");
    ASSERT_NE(classic, nullptr);
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(classic->GetSkinTheme(), GetDefaultTheme());
    EXPECT_NE(dynamic_cast<CJWindowAlphaTheme*>(alpha->GetSkinTheme()), nullptr);
    EXPECT_EQ(m_Root->GetFirstChild(), alpha);

    // Where the two overlap, the front one is seen: the alpha paper is a dark
    // teal, the classic texture a lighter slate blue.
    Frame();
    const auto blueOver = [&] { return Rgb(*m_Screen, 340, 228) & 0xFF; };
    EXPECT_LT(blueOver(), 100u);
    Click(60, 220);
    EXPECT_EQ(m_Root->GetFirstChild(), classic);
    EXPECT_GT(blueOver(), 100u);

    // Alt+R presses "Reset" in the front window; a plain letter the tree
    // declines reaches the buttons too.
    CKeyboardState& keyboard = CKeyboardState::SGetInstance();
    keyboard.OnKeyDown(56);
    keyboard.OnCharacter('r');
    Frame();
    keyboard.OnKeyUp(56);
    EXPECT_EQ(Status(*classic), "Pressed: Reset");

    // Tab moves the focus among the front window's buttons.
    keyboard.OnCharacter(9);
    Frame();
    CJWindow* focused = nullptr;
    for (CJWindow* child = classic->GetFirstChild(); child; child = child->GetNextSibling())
        if (child->HasFocus())
            focused = child;
    ASSERT_NE(focused, nullptr);
    EXPECT_TRUE(focused->IsTabStop());
    keyboard.OnCharacter(13);
    Frame();
    EXPECT_EQ(Status(*classic), std::string("Pressed: ") + focused->GetTitleText());

    // A click on a button of the window behind raises it and presses the button.
    CJWindow* help = nullptr;
    for (CJWindow* child = alpha->GetFirstChild(); child; child = child->GetNextSibling())
        if (child->GetTitle().Compare("Help") == 0)
            help = child;
    ASSERT_NE(help, nullptr);
    const CRect where = help->GetScreenRect();
    Click(where.left + 4, where.top + 4);
    EXPECT_EQ(m_Root->GetFirstChild(), alpha);
    EXPECT_EQ(Status(*alpha), "Pressed: Help");

    // Resting on the button shows its tip.
    CMouseState::SGetInstance().SetPosition(where.left + 6, where.top + 6);
    Frame();
    EXPECT_STREQ(m_Root->GetToolTipText().GetString(), "Tool tips follow the pointer");
}

} // namespace
