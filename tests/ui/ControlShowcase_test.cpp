// The controls window of the demo over the checked-in data, as the program
// runs it: the slider's value shows beside it, the spin's in the status
// line, and the view scrolls with its real bars.

#include "ShowcaseTestSupport.h"

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

} // namespace
