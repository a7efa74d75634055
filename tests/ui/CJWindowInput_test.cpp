// What the tree does with injected input: presses, holds, moves, modal
// windows, the focus, Tab, hot keys and notifications.
#include "UiTestSupport.h"

#include "objects/CMessage.h"

namespace {

class InputTest : public UiTest {
protected:
    InputTest()
    {
        m_Root.SetRect(CRect{0, 0, 400, 300});
        m_Root.SetFocus(true);
    }
    CJWindow m_Root{nullptr};
};

// Hears the interface sounds the toolkit broadcasts.
class CSoundEar : public CGamePlugIn {
public:
    bool OnMessage(CMessage& message) override
    {
        if (message.GetType() == CPlaySoundMessage::SGetType())
            m_Sounds.push_back(static_cast<CPlaySoundMessage&>(message).GetSound().GetString());
        return false;
    }
    std::vector<std::string> m_Sounds;
};

TEST_F(InputTest, AModalWindowTakesEveryPressAndShieldsTheWindowsBehindIt)
{
    CProbeWindow* behind = Add(m_Root, "behind", CRect{0, 0, 400, 300});
    behind->m_TakesPress = true;
    CProbeWindow* dialog = Add(m_Root, "dialog", CRect{100, 100, 200, 200});
    dialog->SetModal(true);
    m_Root.BringChildToFront(dialog);
    Take();

    // Outside the dialog: the dialog is still offered the press, and the
    // window behind hears nothing.
    EXPECT_FALSE(m_Root.OnMouseDown(0, CPoint{10, 10}));
    EXPECT_EQ(Take(), (CEventLog{"dialog: down 0", "dialog: drag 10,10 by 0,0"}));
    EXPECT_FALSE(m_Root.OnMouseDoubleClick(0, CPoint{10, 10}, 0));
    EXPECT_EQ(Take(), (CEventLog{"dialog: double 0"}));
    CCursorSequence* cursor = nullptr;
    m_Root.OnMouseMove(CPoint{12, 12}, CPoint{2, 2}, cursor);
    EXPECT_TRUE(Take().empty());
    EXPECT_EQ(Order(m_Root), "dialog behind");
}

TEST_F(InputTest, EveryOtherEventStopsAtAModalWindowToo)
{
    CProbeWindow* behind = Add(m_Root, "behind", CRect{0, 0, 400, 300});
    behind->m_TakesClipboard = true;
    behind->m_TakesForwards = true;
    behind->SetTabStop(true);
    behind->SetHotKeyChar('B');
    CProbeWindow* dialog = Add(m_Root, "dialog", CRect{100, 100, 200, 200});
    dialog->SetModal(true);
    m_Root.BringChildToFront(dialog);
    Take();

    EXPECT_FALSE(m_Root.OnMouseWheel(-1, CPoint{150, 150}));
    EXPECT_EQ(Take(), (CEventLog{"dialog: wheel -1"}));
    EXPECT_FALSE(m_Root.OnHotKey('b'));
    EXPECT_TRUE(Take().empty());
    EXPECT_FALSE(m_Root.ClipboardCut(1));
    EXPECT_FALSE(m_Root.ClipboardCopy(1));
    EXPECT_FALSE(m_Root.ClipboardPaste(1));
    EXPECT_FALSE(m_Root.ClipboardDelete(1));
    EXPECT_EQ(Take(), (CEventLog{"dialog: cut", "dialog: copy", "dialog: paste", "dialog: delete"}));
    CMessage message = CMessage::CMessageByName("ModalWalkProbe");
    EXPECT_FALSE(m_Root.ForwardToChildren(message));
    EXPECT_EQ(Take(), (CEventLog{"dialog: forward ModalWalkProbe"}));

    // Not modal any more: the window behind hears each of them.
    dialog->SetModal(false);
    EXPECT_TRUE(m_Root.ClipboardCut(1));
    EXPECT_TRUE(m_Root.ForwardToChildren(message));
    EXPECT_TRUE(m_Root.OnHotKey('b'));
    EXPECT_EQ(Take(),
              (CEventLog{"dialog: cut", "behind: cut", "dialog: forward ModalWalkProbe",
                         "behind: forward ModalWalkProbe", "behind: activate"}));
}

TEST_F(InputTest, AForwardedMessageReachesEveryVisibleEnabledChildWhoeverTakesIt)
{
    CProbeWindow* first = Add(m_Root, "first", CRect{0, 0, 10, 10});
    first->m_TakesForwards = true;
    CProbeWindow* hidden = Add(m_Root, "hidden", CRect{0, 0, 10, 10});
    hidden->Show(false, false);
    CProbeWindow* disabled = Add(m_Root, "disabled", CRect{0, 0, 10, 10});
    disabled->Enable(false);
    CProbeWindow* last = Add(m_Root, "last", CRect{0, 0, 10, 10});
    Add(*last, "inner", CRect{0, 0, 5, 5});
    Take();
    CMessage message = CMessage::CMessageByName("ModalWalkProbe");
    EXPECT_TRUE(m_Root.ForwardToChildren(message));
    EXPECT_EQ(
        Take(),
        (CEventLog{"first: forward ModalWalkProbe", "last: forward ModalWalkProbe", "inner: forward ModalWalkProbe"}));
}

TEST_F(InputTest, AChildThatGoesWhileHearingAnEventLeavesTheWalkToItsSiblings)
{
    // Goes as it hears the message, taking nothing.
    class CLeavingProbe : public CProbeWindow {
    public:
        using CProbeWindow::CProbeWindow;
        bool ForwardToChildren(CMessage& message) override
        {
            CProbeWindow::ForwardToChildren(message);
            Destroy();
            return false;
        }
    };
    auto* leaving = new CLeavingProbe("leaving", &m_Log);
    m_Root.AddChild(leaving, kAsIsNoGrow);
    Add(m_Root, "stays", CRect{0, 0, 10, 10});
    Take();
    CMessage message = CMessage::CMessageByName("ModalWalkProbe");
    EXPECT_FALSE(m_Root.ForwardToChildren(message));
    EXPECT_EQ(Take(), (CEventLog{"leaving: forward ModalWalkProbe", "leaving: gone", "stays: forward ModalWalkProbe"}));
    EXPECT_EQ(Order(m_Root), "stays");
}

TEST_F(InputTest, APressIsHeldOnlyWhenTheWindowTakesItAndEscapeEndsItAtThePressPoint)
{
    CProbeWindow* refuses = Add(m_Root, "refuses", CRect{0, 0, 100, 100});
    CProbeWindow* takes = Add(m_Root, "takes", CRect{200, 0, 300, 100});
    takes->m_TakesPress = true;
    CCursorSequence* cursor = nullptr;

    EXPECT_FALSE(m_Root.OnMouseDown(0, CPoint{50, 50}));
    EXPECT_EQ(refuses->GetHeldButtons(), 0u);
    Take();
    m_Root.OnMouseMove(CPoint{250, 50}, CPoint{200, 0}, cursor);
    for (const std::string& line : Take())
        EXPECT_EQ(line.find("drag"), std::string::npos) << line;

    // The taker raises itself, holds the button and gets every move.
    EXPECT_TRUE(m_Root.OnMouseDown(1, CPoint{250, 50}));
    EXPECT_EQ(Order(m_Root), "takes refuses");
    EXPECT_EQ(takes->GetHeldButtons(), 2u);
    Take();
    m_Root.OnMouseMove(CPoint{20, 20}, CPoint{-230, -30}, cursor);
    EXPECT_EQ(Take(), (CEventLog{"takes: drag 20,20 by -230,-30"}));

    CMouseState::SGetInstance().SetPosition(20, 20);
    EXPECT_TRUE(m_Root.OnKeyDown(kKeyEscape) || takes->OnKeyDown(kKeyEscape));
    EXPECT_EQ(CMouseState::SGetInstance().GetPositionPoint(), (CPoint{250, 50}));
    EXPECT_EQ(Take(), (CEventLog{"takes: capture lost 2"}));
    EXPECT_EQ(takes->GetHeldButtons(), 0u);

    // A release after a new hold reaches the holder even off its rectangle.
    EXPECT_TRUE(m_Root.OnMouseDown(0, CPoint{250, 50}));
    Take();
    EXPECT_TRUE(m_Root.OnMouseUp(0, CPoint{390, 290}));
    EXPECT_EQ(Take(), (CEventLog{"takes: release 390,290 mask 1"}));
}

TEST_F(InputTest, LosingTheFocusLetsGoOfHeldButtons)
{
    CProbeWindow* a = Add(m_Root, "a", CRect{0, 0, 100, 100});
    CProbeWindow* b = Add(m_Root, "b", CRect{200, 0, 300, 100});
    a->m_TakesPress = true;
    ASSERT_TRUE(m_Root.OnMouseDown(0, CPoint{10, 10}));
    Take();
    m_Root.BringChildToFront(b);
    EXPECT_EQ(Take(), (CEventLog{"a: capture lost 1"}));
    EXPECT_EQ(a->GetHeldButtons(), 0u);
}

TEST_F(InputTest, HoverGoesToTheTopmostWindowUnderThePointer)
{
    struct CHoverProbe : CProbeWindow {
        using CProbeWindow::CProbeWindow;
        bool OnHover(CPoint) override
        {
            ++m_Hovers;
            return true;
        }
        int m_Hovers = 0;
    };
    auto* top = new CHoverProbe("top", &m_Log);
    top->SetRect(CRect{0, 0, 100, 100});
    auto* under = new CHoverProbe("under", &m_Log);
    under->SetRect(CRect{0, 0, 200, 200});
    m_Root.AddChild(under, {.dx = 0, .dy = 0, .flags = kPlaceNoGrow});
    m_Root.AddChildFirst(top, {.dx = 0, .dy = 0, .flags = kPlaceNoGrow});
    CCursorSequence* cursor = nullptr;
    m_Root.OnMouseMove(CPoint{50, 50}, CPoint{1, 0}, cursor);
    EXPECT_EQ(top->m_Hovers, 1);
    EXPECT_EQ(under->m_Hovers, 0);
    m_Root.OnMouseMove(CPoint{150, 150}, CPoint{1, 0}, cursor);
    EXPECT_EQ(under->m_Hovers, 1);
    // Disabled windows get moves only when they ask for them.
    under->Enable(false);
    m_Root.OnMouseMove(CPoint{151, 150}, CPoint{1, 0}, cursor);
    EXPECT_EQ(under->m_Hovers, 1);
    under->SetMoveWhenDisabled(true);
    m_Root.OnMouseMove(CPoint{152, 150}, CPoint{1, 0}, cursor);
    EXPECT_EQ(under->m_Hovers, 2);
}

TEST_F(InputTest, TabWrapsThroughTabStopsBothWaysAndIsRefusedWithOneChild)
{
    CProbeWindow* dialog = Add(m_Root, "dialog", CRect{0, 0, 300, 300});
    CProbeWindow* only = Add(*dialog, "only", CRect{0, 0, 10, 10});
    only->SetTabStop(true);
    EXPECT_FALSE(m_Root.OnKeyDown(kKeyTab));

    CProbeWindow* label = Add(*dialog, "label", CRect{0, 0, 10, 10});
    CProbeWindow* edit = Add(*dialog, "edit", CRect{0, 0, 10, 10});
    edit->SetTabStop(true);
    CProbeWindow* hidden = Add(*dialog, "hidden", CRect{0, 0, 10, 10});
    hidden->SetTabStop(true);
    hidden->Show(false, false);
    (void)label;

    EXPECT_TRUE(m_Root.OnKeyDown(kKeyTab));
    EXPECT_EQ(dialog->GetFirstChild(), edit);
    EXPECT_TRUE(edit->HasFocus());
    EXPECT_TRUE(CJWindow::IsKeyboardFocusShown());
    EXPECT_TRUE(m_Root.OnKeyDown(kKeyTab));
    EXPECT_EQ(dialog->GetFirstChild(), only);

    CKeyboardState::SGetInstance().OnKeyDown(kScanShiftRight);
    EXPECT_TRUE(m_Root.OnKeyDown(kKeyTab));
    EXPECT_EQ(dialog->GetFirstChild(), edit);
    EXPECT_TRUE(m_Root.OnKeyDown(kKeyTab));
    EXPECT_EQ(dialog->GetFirstChild(), only);
    EXPECT_EQ(Order(*dialog), "only label edit hidden");
}

// Two tab stops reach each other whichever way Tab goes; a third tells the
// directions apart.
TEST_F(InputTest, ShiftTabGoesToThePreviousTabStopAndTabToTheNext)
{
    CProbeWindow* dialog = Add(m_Root, "dialog", CRect{0, 0, 300, 300});
    for (const char* name : {"a", "b", "c"})
        Add(*dialog, name, CRect{0, 0, 10, 10})->SetTabStop(true);
    ASSERT_EQ(Order(*dialog), "a b c");
    auto front = [dialog] { return std::string(dialog->GetFirstChild()->GetTitle().GetString()); };

    EXPECT_TRUE(m_Root.OnKeyDown(kKeyTab));
    EXPECT_EQ(front(), "b");
    EXPECT_TRUE(m_Root.OnKeyDown(kKeyTab));
    EXPECT_EQ(front(), "c");
    EXPECT_TRUE(m_Root.OnKeyDown(kKeyTab));
    EXPECT_EQ(front(), "a");

    // From the first stop Shift+Tab wraps to the last, then walks back.
    CKeyboardState::SGetInstance().OnKeyDown(kScanShiftLeft);
    EXPECT_TRUE(m_Root.OnKeyDown(kKeyTab));
    EXPECT_EQ(front(), "c");
    EXPECT_TRUE(dialog->GetFirstChild()->HasFocus());
    EXPECT_TRUE(m_Root.OnKeyDown(kKeyTab));
    EXPECT_EQ(front(), "b");
    EXPECT_TRUE(m_Root.OnKeyDown(kKeyTab));
    EXPECT_EQ(front(), "a");
}

TEST_F(InputTest, KeysGoDownTheFocusPathOnly)
{
    CProbeWindow* a = Add(m_Root, "a", CRect{0, 0, 10, 10});
    CProbeWindow* b = Add(m_Root, "b", CRect{0, 0, 10, 10});
    a->m_TakesKeys = true;
    b->m_TakesKeys = true;
    EXPECT_TRUE(m_Root.OnKeyDown('x'));
    EXPECT_EQ(Take(), (CEventLog{"a: key 120"}));
    a->Enable(false);
    EXPECT_FALSE(m_Root.OnKeyDown('x'));
    EXPECT_TRUE(Take().empty());
}

TEST_F(InputTest, TitlesMarkTheirHotKeys)
{
    CJWindow window(nullptr, "Save &Game");
    EXPECT_STREQ(window.GetTitleText(), "Save Game");
    EXPECT_EQ(window.GetHotKeyIndex(), 5);
    EXPECT_EQ(window.GetHotKeyLength(), 1);
    EXPECT_EQ(window.GetHotKeyChar(), 'G');

    window.SetTitle(CJString("&Zoom In& the text"));
    EXPECT_STREQ(window.GetTitleText(), "Zoom In the text");
    EXPECT_EQ(window.GetHotKeyIndex(), 0);
    EXPECT_EQ(window.GetHotKeyLength(), 7);
    EXPECT_EQ(window.GetHotKeyChar(), 0);

    // A mark in front of code 1 drops that too.
    window.SetTitle(CJString("a&\x01" "b"));
    EXPECT_STREQ(window.GetTitleText(), "ab");
    EXPECT_EQ(window.GetHotKeyChar(), 'B');
    window.SetTitle(CJString("trailing&"));
    EXPECT_STREQ(window.GetTitleText(), "trailing");
    EXPECT_EQ(window.GetHotKeyIndex(), 255);

    window.SetTitle(CJString("Start"));
    EXPECT_EQ(window.SetHotKey(kKeyEnter), 7);
    EXPECT_STREQ(window.GetTitleText(), "Start (Enter)");
    EXPECT_EQ(window.GetHotKeyLength(), 5);
    window.SetTitle(CJString("Quit"));
    EXPECT_EQ(window.SetHotKeyInTitle('u'), 1);
    EXPECT_EQ(window.GetHotKeyChar(), 'U');
    window.SetTitle(CJString("Quit"));
    EXPECT_EQ(window.SetHotKeyInTitle('z'), -1);
}

TEST_F(InputTest, HotKeysActivateThroughLabelsAndDisabledMatchesSoundAnError)
{
    CSoundEar ear;
    CProbeWindow* dialog = Add(m_Root, "dialog", CRect{0, 0, 300, 300});
    auto* label = new CProbeWindow("&Name", &m_Log);
    dialog->AddChild(label, {.dx = 0, .dy = 0, .flags = kPlaceNoGrow});
    CProbeWindow* edit = Add(*dialog, "edit", CRect{0, 0, 10, 10});
    edit->SetTabStop(true);
    auto* ok = new CProbeWindow("&OK", &m_Log);
    ok->SetTabStop(true);
    dialog->AddChild(ok, {.dx = 0, .dy = 0, .flags = kPlaceNoGrow});
    Take();

    EXPECT_TRUE(m_Root.OnHotKey('n'));
    EXPECT_EQ(Take(), (CEventLog{"edit: activate"}));
    EXPECT_EQ(dialog->GetFirstChild(), edit);

    ok->Enable(false);
    EXPECT_TRUE(m_Root.OnHotKey('O'));
    EXPECT_TRUE(Take().empty());
    EXPECT_EQ(ear.m_Sounds, (std::vector<std::string>{"Player Error.wav"}));
    EXPECT_FALSE(m_Root.OnHotKey('q'));
}

TEST_F(InputTest, AutomaticHotKeysTakeTheFirstFreeCharacter)
{
    struct CAuto : CJWindow {
        using CJWindow::CJWindow;
        bool WantsAutoHotKey() const override { return true; }
    };
    CJWindow dialog(nullptr);
    auto* first = new CAuto(nullptr, "Open");
    auto* second = new CAuto(nullptr, " open file");
    auto* fixed = new CAuto(nullptr, "&Pick");
    dialog.AddChild(fixed);
    dialog.AddChild(first);
    dialog.AddChild(second);
    dialog.AssignChildHotKeys();
    EXPECT_EQ(first->GetHotKeyChar(), 'O');
    EXPECT_EQ(second->GetHotKeyChar(), 'E');
    EXPECT_EQ(second->GetHotKeyIndex(), 3);
    EXPECT_EQ(fixed->GetHotKeyChar(), 'P');
}

TEST_F(InputTest, DragDistanceCrossesTheThresholdOnce)
{
    CJWindow window(nullptr);
    ASSERT_FALSE(window.OnMouseDown(0, CPoint{100, 100}));
    CPoint out{9, 9};
    EXPECT_FALSE(window.IsDragBeyond(CPoint{103, 102}, CPoint{3, 2}, out, 17));
    EXPECT_EQ(out, (CPoint{0, 0}));
    EXPECT_TRUE(window.IsDragBeyond(CPoint{104, 101}, CPoint{1, -1}, out, 17));
    EXPECT_EQ(out, (CPoint{4, 1}));
    EXPECT_TRUE(window.IsDragBeyond(CPoint{105, 101}, CPoint{1, 0}, out, 17));
    EXPECT_EQ(out, (CPoint{1, 0}));
    // Back near the press point, the drag goes on.
    EXPECT_TRUE(window.IsDragBeyond(CPoint{100, 100}, CPoint{-5, -1}, out, 17));
    EXPECT_FALSE(window.IsDragBeyond(CPoint{100, 100}, CPoint{0, 0}, out, 17));
}

TEST_F(InputTest, NoticesClimbUntilTakenAndTheFirstDrawNoticeStays)
{
    CProbeWindow* frame = Add(m_Root, "frame", CRect{0, 0, 100, 100});
    CProbeWindow* box = Add(*frame, "box", CRect{0, 0, 50, 50});
    CProbeWindow* button = Add(*box, "button", CRect{0, 0, 10, 10});
    Take();
    button->NotifyParent(kNotifyClicked);
    EXPECT_EQ(Take(), (CEventLog{"box: notify 0 from button", "frame: notify 0 from button"}));
    button->NotifyParent(kNotifyFirstDraw);
    EXPECT_EQ(Take(), (CEventLog{"box: notify 2 from button"}));
}

TEST_F(InputTest, TheWheelAndClipboardGoToTheFirstTaker)
{
    CProbeWindow* a = Add(m_Root, "a", CRect{0, 0, 100, 100});
    CProbeWindow* b = Add(m_Root, "b", CRect{0, 0, 100, 100});
    b->m_TakesClipboard = true;
    EXPECT_TRUE(m_Root.ClipboardCopy(1));
    EXPECT_EQ(Take(), (CEventLog{"a: copy", "b: copy"}));
    a->SetModal(true);
    EXPECT_FALSE(m_Root.ClipboardPaste(1));
    EXPECT_EQ(Take(), (CEventLog{"a: paste"}));

    // The wheel: only a child under the point, focused or not; a focused
    // field elsewhere on the page keeps its value.
    a->SetModal(false);
    b->MoveTo(200, 200);
    b->SetFocus(true);
    Take();
    EXPECT_FALSE(m_Root.OnMouseWheel(-1, CPoint{50, 50}));
    EXPECT_EQ(Take(), (CEventLog{"a: wheel -1"}));
    EXPECT_FALSE(m_Root.OnMouseWheel(-1, CPoint{150, 150}));
    EXPECT_TRUE(Take().empty());
}

} // namespace
