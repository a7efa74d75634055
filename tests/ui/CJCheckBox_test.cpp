// Check boxes, radio buttons and toggle radio buttons: what a click does to
// the checked state and which sound it plays, clicked through the screen
// window; and proxy-drawn controls, whose input waits for their owner.
#include "ButtonTestSupport.h"

#include "render/CProxyFrame.h"
#include "ui/CJButtonProxyDraw.h"
#include "ui/CJCheckBox.h"

namespace {

using Sounds = std::vector<std::string>;
const std::string kSwitch = "UI/Button Switch.wav";

bool g_Bound = false;
bool g_SeenByCommand = false;

TEST_F(ButtonTest, CheckBoxesToggleSilentlyAndWriteTheirVariableBeforeTheCommand)
{
    auto* box = Place<CJCheckBox>(CRect{10, 10, 60, 30}, "box");
    g_Bound = true;
    box->BindValue(&g_Bound);
    EXPECT_EQ(box->IsChecked(), 1) << "binding reads the variable";
    int runs = 0;
    auto* command = new CCountingCommand(&runs);
    command->m_Before = [] { g_SeenByCommand = g_Bound; };
    box->SetCommand(command);

    ClickAt(20, 20);
    EXPECT_EQ(box->IsChecked(), 0);
    EXPECT_FALSE(g_Bound);
    EXPECT_FALSE(g_SeenByCommand);
    ClickAt(20, 20);
    EXPECT_EQ(box->IsChecked(), 1);
    EXPECT_TRUE(g_SeenByCommand) << "the command sees the new state";
    EXPECT_EQ(runs, 2);
    EXPECT_TRUE(m_Ear.Take().empty()) << "a check box clicks without sound";
    EXPECT_TRUE(box->ConsumeClicked());

    // In a ring a checked box stays checked; the other member may take it.
    auto* partner = Place<CJCheckBox>(CRect{10, 40, 60, 60}, "partner", static_cast<CJButton*>(box));
    partner->BindValue(nullptr);
    box->Click();
    EXPECT_EQ(box->IsChecked(), 1);
    EXPECT_EQ(runs, 2) << "nothing happens at all";
    partner->Click();
    EXPECT_EQ(partner->IsChecked(), 1);
    EXPECT_EQ(box->IsChecked(), 0);
    EXPECT_TRUE(g_Bound) << "only a click writes the variable";
    box->PlayClickSound();
    EXPECT_EQ(m_Ear.Take(), Sounds{kSwitch});
}

TEST_F(ButtonTest, RadioButtonsMoveTheRingsOneCheckAndToggleRadiosMayClearIt)
{
    auto* first = Place<CJRadioButton>(CRect{10, 10, 60, 30}, "first");
    auto* second = Place<CJRadioButton>(CRect{10, 40, 60, 60}, "second", static_cast<CJButton*>(first));
    Notices();
    ClickAt(20, 20);
    EXPECT_EQ(first->IsChecked(), 1);
    EXPECT_EQ(m_Ear.Take(), Sounds{kSwitch});
    EXPECT_EQ(Notices(), (CEventLog{"parent: notify 0 from first"}));
    ClickAt(20, 20);
    EXPECT_EQ(first->IsChecked(), 1);
    EXPECT_TRUE(m_Ear.Take().empty()) << "a checked radio button ignores clicks";
    EXPECT_TRUE(Notices().empty());
    EXPECT_FALSE(first->OnHotKeyActivate()) << "and its hot key";
    EXPECT_TRUE(second->OnHotKeyActivate());
    EXPECT_EQ(second->IsChecked(), 1);
    EXPECT_EQ(first->IsChecked(), 0);
    first->Enable(false);
    EXPECT_FALSE(first->OnHotKeyActivate());
    EXPECT_EQ(first->IsChecked(), 0);

    auto* on = Place<CJToggleRadioButton>(CRect{100, 10, 150, 30}, "on");
    auto* off = Place<CJToggleRadioButton>(CRect{100, 40, 150, 60}, "off", static_cast<CJButton*>(on));
    m_Ear.Take();
    ClickAt(110, 20);
    EXPECT_EQ(on->IsChecked(), 1);
    ClickAt(110, 50);
    EXPECT_EQ(off->IsChecked(), 1);
    EXPECT_EQ(on->IsChecked(), 0);
    ClickAt(110, 50);
    EXPECT_EQ(on->IsChecked() + off->IsChecked(), 0) << "the ring is left with none checked";
    EXPECT_EQ(m_Ear.Take(), (Sounds{kSwitch, kSwitch, kSwitch}));
}

TEST_F(ButtonTest, InactiveProxyControlsTakeNoPressesButSwallowEnter)
{
    auto* proxy = Place<CJButtonProxyDrawTemplate<CJButton>>(CRect{10, 10, 60, 30}, "proxy");
    Notices();
    ClickAt(20, 20);
    EXPECT_FALSE(proxy->ConsumeClicked());
    EXPECT_TRUE(proxy->IsHovered()) << "hovering is not gated";
    EXPECT_TRUE(proxy->OnKeyDown(kKeyEnter));
    EXPECT_FALSE(proxy->OnKeyDown('a'));
    EXPECT_FALSE(proxy->OnMouseDoubleClick(0, CPoint{20, 20}, 0));

    EXPECT_TRUE(proxy->SetProxyActive(true));
    ClickAt(20, 20);
    EXPECT_TRUE(proxy->ConsumeClicked());
    EXPECT_EQ(Notices(), (CEventLog{"parent: notify 0 from proxy"}));

    // A check box kind toggles as a check box once live.
    auto* box = Place<CJButtonProxyDrawTemplate<CJCheckBox>>(CRect{10, 40, 60, 60}, "box");
    ClickAt(20, 50);
    EXPECT_EQ(box->IsChecked(), 0);
    box->SetProxyActive(true);
    ClickAt(20, 50);
    EXPECT_EQ(box->IsChecked(), 1);
}

TEST_F(ButtonTest, ProxyControlsNullOutsidePointersWhenTheyDieWhicheverBaseIsDeleted)
{
    auto* proxy = Place<CJButtonProxyDrawTemplate<CJImageCheckBox>>(CRect{10, 20, 31, 41}, "proxy");
    const CFPoint centre = proxy->GetProxyCenter();
    EXPECT_FLOAT_EQ(centre.x, 20.0f);
    EXPECT_FLOAT_EQ(centre.y, 30.0f);

    CProxyDrawPointer held(proxy);
    CProxyDrawPointer second(proxy);
    ASSERT_TRUE(held);
    EXPECT_EQ(proxy->GetPointerToBeNulledArray().GetCount(), 2u);
    second.Set(nullptr);
    proxy->Destroy();
    EXPECT_FALSE(held);

    // Deleting through the mix-in frees the whole control (the pool and the
    // sanitizer check the size).
    auto* loose = new CJButtonProxyDrawTemplate<CJCheckBox>(nullptr, "loose");
    CProxyDrawPointer weak(loose);
    CJWindowControlProxyDrawMixIn* mixIn = loose;
    delete mixIn;
    EXPECT_FALSE(weak);
}

} // namespace
