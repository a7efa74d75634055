// Push buttons driven through the screen window: the press-to-click road,
// commands and notices, the radio ring, keys, dragging, hover zoom and the
// hover commands.
#include "ButtonTestSupport.h"

#include "ui/UiHooks.h"

namespace {

using Sounds = std::vector<std::string>;
const Sounds kAction{"UI/Button Action.wav"};

struct CEditorOpen : CUiHooks {
    bool IsLevelEditorOpen() override { return true; }
};

class CDraggableButton : public CJButton {
public:
    using CJButton::CJButton;
    // Takes only the drag a moving press asks for, not the press itself.
    bool OnMouseDrag(CPoint point, CPoint, uint32_t, CCursorSequence*&) override
    {
        if (!IsPressed())
            return false;
        m_Drags.push_back(point);
        return true;
    }
    std::vector<CPoint> m_Drags;
};

TEST_F(ButtonTest, ClicksOnlyWhenReleasedOverTheButtonAndNotCancelled)
{
    CJButton* button = Place(CRect{10, 10, 60, 30}, "ok");
    Notices();

    // Out before the release: nothing at all.
    MoveTo(20, 20);
    Press();
    EXPECT_TRUE(button->IsPressed());
    MoveTo(100, 100);
    EXPECT_FALSE(button->IsHovered());
    Release();
    EXPECT_FALSE(button->IsPressed());
    EXPECT_TRUE(Notices().empty());
    EXPECT_TRUE(m_Ear.Take().empty());
    EXPECT_FALSE(button->ConsumeClicked());

    // Out and back in before the release: a click, its sound and a notice.
    MoveTo(20, 20);
    Press();
    MoveTo(100, 100);
    MoveTo(21, 21);
    Release();
    EXPECT_EQ(Notices(), (CEventLog{"parent: notify 0 from ok"}));
    EXPECT_EQ(m_Ear.Take(), kAction);

    // Escape while held cancels the click; the next press is a fresh one.
    Press();
    Type(kKeyEscape);
    Release();
    EXPECT_TRUE(Notices().empty());
    EXPECT_TRUE(m_Ear.Take().empty());
    Press();
    Release();
    EXPECT_EQ(Notices(), (CEventLog{"parent: notify 0 from ok"}));

    // The latch reads true once for the whole run of clicks.
    EXPECT_TRUE(button->ConsumeClicked());
    EXPECT_FALSE(button->ConsumeClicked());

    // A press outside the button's content is not the button's.
    MoveTo(70, 20);
    Press();
    EXPECT_FALSE(button->IsPressed());
    Release();
}

TEST_F(ButtonTest, RunsItsCommandOrTellsItsParentNeverBoth)
{
    CJButton* button = Place(CRect{10, 10, 60, 30}, "ok");
    int runs = 0;
    button->SetCommand(new CCountingCommand(&runs));
    Notices();
    ClickAt(20, 20);
    ClickAt(20, 20);
    EXPECT_EQ(runs, 2);
    EXPECT_TRUE(Notices().empty()) << "no notice beside the command";
    EXPECT_EQ(m_Ear.Take(), (Sounds{kAction[0], kAction[0]}));

    // PerformClick is the click without its sound.
    button->PerformClick();
    EXPECT_EQ(runs, 3);
    EXPECT_TRUE(m_Ear.Take().empty());

    // Replacing the command frees the old one (the sanitizer would see a
    // leak); null brings the notices back.
    button->SetCommand(nullptr);
    button->Click();
    EXPECT_EQ(Notices(), (CEventLog{"parent: notify 0 from ok"}));

    // The enabled state follows a command that can say no.
    bool canRun = false;
    button->SetCommand(new CCountingCommand(&runs, true, &canRun));
    button->UpdateEnabledState();
    EXPECT_FALSE(button->IsEnabled());
    canRun = true;
    button->UpdateEnabledState();
    EXPECT_TRUE(button->IsEnabled());
    button->SetCommand(new CCountingCommand(&runs, false, &canRun));
    canRun = false;
    button->UpdateEnabledState();
    EXPECT_TRUE(button->IsEnabled()) << "a command without a test leaves it alone";
}

TEST_F(ButtonTest, RightClicksAndDoubleClicksRunTheirOwnCommands)
{
    CJButton* button = Place(CRect{10, 10, 60, 30}, "ok");
    int right = 0, twice = 0;
    MoveTo(20, 20);
    Press(1);
    Release(1);
    EXPECT_FALSE(button->ConsumeClicked());
    button->SetRightClickCommand(new CCountingCommand(&right));
    button->SetDoubleClickCommand(new CCountingCommand(&twice));
    Press(1);
    Release(1);
    EXPECT_EQ(right, 1);
    EXPECT_TRUE(button->OnMouseDoubleClick(0, CPoint{20, 20}, 0));
    EXPECT_FALSE(button->OnMouseDoubleClick(1, CPoint{20, 20}, 0));
    EXPECT_EQ(twice, 1);
    EXPECT_FALSE(button->ConsumeClicked());
}

TEST_F(ButtonTest, PartnersFormARingWithAtMostOneCheckedMember)
{
    CJButton* first = Place(CRect{10, 10, 60, 30}, "first");
    CJButton* second = Place(CRect{10, 40, 60, 60}, "second", first);
    CJButton* third = Place(CRect{10, 70, 60, 90}, "third", first);
    EXPECT_EQ(first->GetNextInRing(), third);
    EXPECT_EQ(third->GetNextInRing(), second);
    EXPECT_EQ(second->GetNextInRing(), first);
    EXPECT_FALSE(first->IsTabStop()) << "a partner gives up its tab stop";
    EXPECT_FALSE(second->IsTabStop());
    EXPECT_FALSE(third->IsTabStop()) << "no member is a tab stop until one is checked";

    second->SetChecked(1);
    EXPECT_TRUE(second->IsTabStop());
    first->SetChecked(1);
    EXPECT_EQ(first->IsChecked(), 1);
    EXPECT_EQ(second->IsChecked(), 0);
    EXPECT_EQ(third->IsChecked(), 0);
    EXPECT_TRUE(first->IsTabStop());
    EXPECT_FALSE(second->IsTabStop()) << "the checked member is the ring's tab stop";
    first->SetChecked(0);
    EXPECT_EQ(first->IsChecked() + second->IsChecked() + third->IsChecked(), 0);

    CJButton* alone = Place(CRect{100, 10, 150, 30}, "alone");
    alone->SetChecked(7);
    EXPECT_EQ(alone->IsChecked(), 7);
    EXPECT_TRUE(alone->IsTabStop());
    EXPECT_EQ(alone->GetNextInRing(), nullptr);

    // A member that dies leaves a ring of the others; the last one left is
    // in no ring.
    third->Destroy();
    EXPECT_EQ(first->GetNextInRing(), second);
    EXPECT_EQ(second->GetNextInRing(), first);
    second->Destroy();
    EXPECT_EQ(first->GetNextInRing(), nullptr);
    first->SetChecked(1);
    EXPECT_EQ(first->IsChecked(), 1);
}

TEST_F(ButtonTest, SpaceAndTheRingKeysWorkOnlyWhileTheLevelEditorIsOpen)
{
    CJButton* first = Place(CRect{10, 10, 60, 30}, "first");
    CJButton* second = Place(CRect{10, 40, 60, 60}, "second", first);
    CJButton* third = Place(CRect{10, 70, 60, 90}, "third", first);
    m_Parent->BringChildToFront(first);
    ASSERT_TRUE(first->HasFocus());
    Notices();
    Type(' ');
    EXPECT_FALSE(first->ConsumeClicked());
    EXPECT_TRUE(Notices().empty());

    CEditorOpen editor;
    CScopedHook<SetUiHooks> hooks(&editor);
    Type(' ');
    EXPECT_TRUE(first->ConsumeClicked());
    EXPECT_EQ(m_Ear.Take(), kAction);
    Type(12); // Right: the next member takes the focus and is clicked
    EXPECT_TRUE(third->HasFocus());
    EXPECT_TRUE(third->ConsumeClicked());
    Type(11); // Left: back to the member before
    EXPECT_TRUE(first->HasFocus());
    EXPECT_TRUE(first->ConsumeClicked());
    Type(11);
    EXPECT_TRUE(second->HasFocus());
    EXPECT_TRUE(second->ConsumeClicked());

    // Hot keys click only enabled buttons.
    EXPECT_TRUE(second->OnHotKeyActivate());
    second->Enable(false);
    EXPECT_FALSE(second->OnHotKeyActivate());
}

TEST_F(ButtonTest, ADraggableButtonStartsADragBeyondFourPixels)
{
    CDraggableButton* button = Place<CDraggableButton>(CRect{10, 10, 100, 60}, "drag");
    button->SetDraggable(true);
    MoveTo(20, 20);
    Press();
    MoveTo(24, 20); // squared distance 16: still a press
    EXPECT_TRUE(button->m_Drags.empty());
    EXPECT_TRUE(button->IsPressed());
    MoveTo(25, 20);
    ASSERT_FALSE(button->m_Drags.empty());
    EXPECT_EQ(button->m_Drags.front(), (CPoint{25, 20}));
    EXPECT_FALSE(button->IsPressed());
    EXPECT_EQ(button->GetHeldButtons() & 1u, 1u);
    Release();
    EXPECT_FALSE(button->ConsumeClicked()) << "a drag is no click";

    // Not draggable: moving far keeps the press and the click.
    button->SetDraggable(false);
    button->m_Drags.clear();
    MoveTo(20, 20);
    Press();
    MoveTo(60, 40);
    Release();
    EXPECT_TRUE(button->m_Drags.empty());
    EXPECT_TRUE(button->ConsumeClicked());
}

TEST_F(ButtonTest, HoverZoomGrowsAndShrinksAtTheSameRate)
{
    CJButton* button = Place(CRect{10, 10, 60, 30}, "zoom");
    button->SetHoverZoom(0.5f, 0.1f);
    MoveTo(20, 20);
    ASSERT_TRUE(button->IsHovered());
    button->Update(0.05f);
    EXPECT_FLOAT_EQ(button->GetHoverScale(), 1.25f);
    button->Update(0.2f);
    EXPECT_FLOAT_EQ(button->GetHoverScale(), 1.5f);
    MoveTo(200, 150);
    button->Update(0.05f);
    EXPECT_FLOAT_EQ(button->GetHoverScale(), 1.25f);
    button->Update(0.05f);
    button->Update(0.05f);
    EXPECT_FLOAT_EQ(button->GetHoverScale(), 1.0f);

    // A zoom time of 0 zooms fully at once; bad values are clamped.
    button->SetHoverZoom(0.25f, 0.0f);
    EXPECT_FLOAT_EQ(button->GetHoverScale(), 1.0f);
    MoveTo(20, 20);
    EXPECT_FLOAT_EQ(button->GetHoverScale(), 1.25f);
    button->SetHoverZoom(3.0f, -1.0f);
    EXPECT_FLOAT_EQ(button->GetHoverScale(), 2.0f);
    button->SetHoverZoom(-0.5f, 0.1f);
    EXPECT_FLOAT_EQ(button->GetHoverScale(), 1.0f);
}

TEST_F(ButtonTest, HoverCommandsRunOnlyWhenButtonAndParentAreEnabled)
{
    CJButton* button = Place(CRect{10, 10, 60, 30}, "hover");
    int entered = 0, left = 0;
    button->SetHoverEnterCommand(new CCountingCommand(&entered));
    button->SetHoverLeaveCommand(new CCountingCommand(&left));
    MoveTo(20, 20);
    MoveTo(22, 22);
    MoveTo(100, 100);
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(left, 1);

    m_Parent->SetMoveWhenDisabled(true);
    m_Parent->Enable(false);
    MoveTo(20, 20);
    EXPECT_TRUE(button->IsHovered()) << "the hover state still follows the pointer";
    MoveTo(100, 100);
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(left, 1);
    m_Parent->Enable(true);
    button->Enable(false);
    button->SetMoveWhenDisabled(true);
    MoveTo(20, 20);
    EXPECT_EQ(entered, 1);
}

TEST_F(ButtonTest, AutoRepeatClicksWhileHeldAndOnceMoreOnRelease)
{
    CJButton* button = Place(CRect{10, 10, 60, 30}, "repeat");
    int runs = 0;
    button->SetCommand(new CCountingCommand(&runs));
    button->SetAutoRepeat(true);
    MoveTo(20, 20);
    Press();
    EXPECT_EQ(runs, 0);
    Advance(2000);
    Frame();
    EXPECT_EQ(runs, 1);
    Advance(2000);
    Frame();
    EXPECT_EQ(runs, 2);
    Release();
    EXPECT_EQ(runs, 3);
}

TEST_F(ButtonTest, ToolTipsShowOnHoverAndTitlesBecomeTipsOfImageButtons)
{
    CJButton* button = Place(CRect{10, 10, 60, 30}, "tip");
    CProbeWindow* status = Add(*m_Screen, "status", CRect{0, 220, 320, 240});
    m_Screen->SetStatusWindow(status, true);
    const CJString text("Does things");
    button->SetToolTipWithHotKey(&text, 2, true, 0);
    EXPECT_EQ(button->GetToolTipHighlightLength(), 1);
    MoveTo(20, 20);
    EXPECT_EQ(status->GetTitle().Compare("Does things"), 0);
    status->SetTitle(CJString());
    button->SetToolTip(&text, false);
    button->OnHover(CPoint{20, 20});
    EXPECT_TRUE(status->GetTitle().IsEmpty()) << "a switched-off tip is not shown";
    m_Screen->SetStatusWindow(nullptr, false);

    button->SetToolTip(&text, true);
    button->SetShowTitleWithIcon(true);
    EXPECT_TRUE(button->GetToolTipText().IsEmpty());
    EXPECT_TRUE(button->IsToolTipShown());

    auto image = CFrame::MakeOwned(12, 8, 32);
    button->SetTitle(CJString("&Go"));
    button->SetImage(image.get(), true, false);
    EXPECT_EQ(button->GetToolTipText().Compare("Go"), 0);
    EXPECT_EQ(button->GetToolTipHighlightIndex(), 0);
    EXPECT_EQ(button->GetToolTipHighlightLength(), 1);
    EXPECT_EQ(button->GetWidth(), 12) << "an image that replaces the skin has no border";
    EXPECT_EQ(button->GetHeight(), 8);
    button->SetImages(nullptr, nullptr, nullptr, false, 0, 0);
    EXPECT_EQ(button->GetIcon(), nullptr);
}

TEST_F(ButtonTest, WithSkinAndHoverImagesOnlyTheSkinImagesPixelsAreHit)
{
    CJButton* button = Place(CRect{10, 10, 30, 30}, "shape");
    // Left half clear, right half solid.
    auto skin = CFrame::MakeOwned(20, 20, 32);
    auto hover = CFrame::MakeOwned(20, 20, 32);
    for (uint32_t y = 0; y < 20; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(skin->GetPixels()) + y * skin->GetPitch();
        for (uint32_t x = 0; x < 20; ++x)
            row[x] = x < 10 ? 0x00FFFFFFu : 0xFFFFFFFFu;
    }
    button->SetImages(nullptr, skin.get(), hover.get(), false, 0, 0);
    ASSERT_EQ(button->GetRect(), (CRect{10, 10, 30, 30}));
    EXPECT_FALSE(button->HitTest(CPoint{12, 20}));
    EXPECT_TRUE(button->HitTest(CPoint{25, 20}));
    MoveTo(12, 20);
    EXPECT_FALSE(button->IsHovered());
    Press();
    EXPECT_FALSE(button->IsPressed());
    Release();
    MoveTo(25, 20);
    EXPECT_TRUE(button->IsHovered());

    // Without the hover image the whole rectangle counts.
    button->SetImages(nullptr, skin.get(), nullptr, false, 0, 0);
    EXPECT_TRUE(button->HitTest(CPoint{12, 20}));
    EXPECT_FALSE(button->HitTest(CPoint{30, 20}));
}

TEST_F(ButtonTest, AButtonClosedByItsOwnUpdateIsNotTouchedAfterwards)
{
    CJButton* button = Place(CRect{10, 10, 60, 30}, "gone");
    button->SetHoverZoom(0.5f, 0.1f);
    MoveTo(20, 20);
    button->RequestClose();
    Frame(0.05f); // the sanitizer would see a late write to the zoom time
    EXPECT_EQ(m_Parent->GetFirstChild(), nullptr);
}

} // namespace
