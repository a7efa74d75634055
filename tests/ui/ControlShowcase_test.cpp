// The controls window of the demo over the checked-in data, as the program
// runs it: the slider's value shows beside it, the spin's in the status
// line, and the view scrolls with its real bars.

#include "SkinTestSupport.h"

#include "images/CFontList.h"
#include "shell/CKeyboardState.h"
#include "shell/CMouseState.h"
#include "shell/program/CStandInGame.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJButton.h"
#include "ui/CJComboBox.h"
#include "ui/CJScrollBar.h"
#include "ui/CJSlider.h"
#include "ui/CJSpin.h"
#include "ui/CScreenWindow.h"
#include "ui/program/ControlShowcase.h"
#include "ui/program/UiShowcase.h"

#include <filesystem>

namespace {

class ControlShowcase : public SkinFrameTest {
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
    template <typename T>
    static T* Find(CJWindow& parent)
    {
        for (CJWindow* child = parent.GetFirstChild(); child; child = child->GetNextSibling())
            if (auto* found = dynamic_cast<T*>(child))
                return found;
        return nullptr;
    }
    static CJWindow* Named(CJWindow& parent, const char* title)
    {
        for (CJWindow* child = parent.GetFirstChild(); child; child = child->GetNextSibling())
            if (child->GetTitle().Compare(title) == 0)
                return child;
        return nullptr;
    }

    std::unique_ptr<CFrame> m_Screen;
    CScreenWindow* m_Root = nullptr;
};

TEST_F(ControlShowcase, TheSliderTheSpinAndTheScrolledViewAnswerTheUser)
{
    InstallUiShowcase();
    InstallControlShowcase();
    GetStandInHooks().init();
    CJWindow* frame = Named(*m_Root, "Controls");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(m_Root->GetFirstChild(), frame);
    auto* slider = Find<CJSlider>(*frame);
    auto* spin = Find<CJSpin>(*frame);
    CJWindow* view = Named(*frame, "Scrolled view");
    ASSERT_TRUE(slider && spin && view);
    ASSERT_TRUE(view->GetScroll() && view->GetScroll()->verticalBar);
    auto* bar = dynamic_cast<CJScrollBar*>(view->GetScroll()->verticalBar);
    ASSERT_NE(bar, nullptr);
    Frame();

    CMouseState& mouse = CMouseState::SGetInstance();
    const CRect s = slider->GetScreenRect();
    mouse.SetPosition(s.right - 2, s.top + 2);
    mouse.SetButtons(1);
    Frame();
    mouse.SetButtons(0);
    Frame();
    EXPECT_EQ(slider->GetValue(), 100u);
    EXPECT_NE(Named(*frame, "100"), nullptr) << "the value beside the slider";

    spin->ChangeValue(2);
    EXPECT_NE(Named(*frame, "Copies: 3"), nullptr);

    const CRect b = bar->GetScreenRect();
    mouse.SetPosition(b.left + 5, b.bottom - 5);
    mouse.SetButtons(1);
    Frame();
    mouse.SetButtons(0);
    Frame();
    EXPECT_EQ(view->GetScrollOffsetY(), 10) << "the down arrow scrolls a line";
    m_Root->OnMouseWheel(-1000, CPoint{b.left - 20, b.top + 20});
    EXPECT_EQ(view->GetScrollOffsetY(), int32_t(bar->GetMaximum())) << "the wheel to the end";
    Frame();
}

TEST_F(ControlShowcase, TheDayComboBoxOpensOnAClickAndScrollsItsLongList)
{
    InstallUiShowcase();
    InstallControlShowcase();
    GetStandInHooks().init();
    CJWindow* frame = Named(*m_Root, "Controls");
    ASSERT_NE(frame, nullptr);
    CJComboBox* day = nullptr;
    for (CJWindow* child = frame->GetFirstChild(); child; child = child->GetNextSibling())
        if (auto* combo = dynamic_cast<CJComboBox*>(child); combo && combo->GetSelectedText().Compare("Day 7") == 0)
            day = combo;
    ASSERT_NE(day, nullptr);
    Frame();

    CMouseState& mouse = CMouseState::SGetInstance();
    const CRect b = day->GetButton()->GetScreenRect();
    mouse.SetPosition((b.left + b.right) / 2, (b.top + b.bottom) / 2);
    mouse.SetButtons(1);
    Frame();
    mouse.SetButtons(0);
    Frame();
    CJPopUpListBox* popUp = day->GetPopUp();
    ASSERT_NE(popUp, nullptr);
    EXPECT_EQ(popUp->GetVisibleRows(), 20);
    EXPECT_NE(popUp->GetScrollBar(), nullptr);
    EXPECT_LE(popUp->GetScreenRect().bottom, 768) << "on the screen";
    Frame();
    CKeyboardState::SGetInstance().OnCharacter(kKeyEscape);
    Frame();
    EXPECT_FALSE(day->IsOpen());
}

} // namespace
