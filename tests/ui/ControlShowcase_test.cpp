// The controls window of the demo over the checked-in data, as the program
// runs it: the slider's value shows beside it, the spin's in the status
// line, and the view scrolls with its real bars.

#include "ShowcaseTestSupport.h"

#include "ui/CJButton.h"
#include "ui/CJComboBox.h"
#include "ui/CJScrollBar.h"
#include "ui/CJSlider.h"
#include "ui/CJSpin.h"
#include "ui/program/ControlShowcase.h"
#include "ui/program/UiShowcase.h"

namespace {

class ControlShowcase : public ShowcaseTest {};

TEST_F(ControlShowcase, TheSliderTheSpinAndTheScrolledViewAnswerTheUser)
{
    InstallUiShowcase();
    InstallControlShowcase();
    GetStandInHooks().init();
    CJWindow* frame = ChildTitled(*m_Root, "Controls");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(m_Root->GetFirstChild(), frame);
    auto* slider = ChildOf<CJSlider>(*frame);
    auto* spin = ChildOf<CJSpin>(*frame);
    CJWindow* view = ChildTitled(*frame, "Scrolled view");
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
    EXPECT_NE(ChildTitled(*frame, "100"), nullptr) << "the value beside the slider";

    spin->ChangeValue(2);
    EXPECT_NE(ChildTitled(*frame, "Copies: 3"), nullptr);

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
    CJWindow* frame = ChildTitled(*m_Root, "Controls");
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
