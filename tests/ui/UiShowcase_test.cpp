// The window demo over the checked-in data with freshly drawn textures, as
// the program runs it, driven by injected mouse and keys: the two windows
// show their themes, a click raises the one behind, Tab moves the focus, Alt
// and a letter press a button, and a button shows its tool tip.

#include "ShowcaseTestSupport.h"

#include "ui/program/UiShowcase.h"

namespace {

class UiShowcase : public ShowcaseTest {
protected:
    CJWindow* Panel(const char* title) const { return ChildTitled(*m_Root, title); }
    // The status line: the one child that is neither a button nor the label.
    static std::string Status(const CJWindow& panel) { return StatusLine(panel, "Pressed: ", "Tab, "); }
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
