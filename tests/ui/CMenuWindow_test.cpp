// Message boxes, menu windows, tool palettes and picture windows through the
// real screen window: wrapping, the default button under Enter and Escape,
// the button row, a window that stands in for another and gives it back,
// the palette's grip and a picture that is drawn and never dragged.
#include "SkinTestSupport.h"
#include "UiTestSupport.h"

#include "foundation/CCommand.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "ui/CJButton.h"
#include "ui/CJMessageBox.h"
#include "ui/CJPictureWindow.h"
#include "ui/CJStatic.h"
#include "ui/CJToolPalette.h"
#include "ui/CMenuWindow.h"

#include <cstdlib>
#include <memory>

namespace {

struct SCounter {
    int runs = 0;
    void Run() { ++runs; }
};

CCommand* CountCommand(SCounter& counter)
{
    return new CObjectFunctionCommand<SCounter>(&counter, &SCounter::Run);
}

class BoxTest : public UiTestOn<SkinFrameTest> {
protected:
    void SetUp() override
    {
        UiTestOn<SkinFrameTest>::SetUp();
        if (IsSkipped())
            return;
        m_Screen = new CScreenWindow(m_ScreenFrame.get(), m_Font.get());
    }
    void TearDown() override
    {
        delete m_Screen;
        UiTestOn<SkinFrameTest>::TearDown();
    }
    void Step(CPoint p, bool held)
    {
        CMouseState& mouse = CMouseState::SGetInstance();
        mouse.SetPosition(p.x, p.y);
        mouse.SetButtons(held ? 1u : 0u);
        Advance(16);
        m_Screen->Update(0.016f);
    }
    void Click(CPoint p)
    {
        Step(p, true);
        Step(p, false);
    }
    void TypeKey(uint32_t key)
    {
        CKeyboardState::SGetInstance().OnCharacter(key);
        Advance(16);
        m_Screen->Update(0.016f);
    }
    void Frame()
    {
        Advance(16);
        m_Screen->Update(0.016f);
    }
    static CPoint Centre(const CJWindow& window)
    {
        const CRect& r = window.GetScreenRect();
        return CPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    bool InTree(const CJWindow* window) const
    {
        for (const CJWindow* child = m_Screen->GetFirstChild(); child; child = child->GetNextSibling())
            if (child == window)
                return true;
        return false;
    }
    static CJStatic* TextOf(CJMessageBox& box)
    {
        for (CJWindow* child = box.GetFirstChild(); child; child = child->GetNextSibling())
            if (auto* label = dynamic_cast<CJStatic*>(child))
                return label;
        return nullptr;
    }

    std::unique_ptr<CFrame> m_ScreenFrame = CFrame::MakeOwned(800, 600, 32);
    CScreenWindow* m_Screen = nullptr;
};

TEST_F(BoxTest, ALongTextWrapsAt500PixelsAndTheButtonReadsOK)
{
    CJString text;
    while (m_Font->GetTextWidth(text) < 600)
        text.Append("many words ");
    auto* box = new CJMessageBox(m_Screen, CJString("Note"), text, m_Screen);
    CJStatic* label = TextOf(*box);
    ASSERT_TRUE(label);
    EXPECT_LE(label->GetWidth(), kMessageBoxWrapWidth + 20);
    EXPECT_GE(label->GetHeight(), 2 * m_Font->GetLineHeight());
    EXPECT_TRUE(label->GetTitle().FindChar(u'\n') >= 0);
    EXPECT_EQ(box->GetFirstButton()->GetTitle().Compare("OK"), 0);
    EXPECT_EQ(box->GetDefaultButton(), box->GetFirstButton());
    // Modal, in front and centred in its owner; the button under the text.
    EXPECT_TRUE(box->IsModal());
    EXPECT_EQ(m_Screen->GetFirstChild(), box);
    EXPECT_EQ(box->GetRect().left, (800 - box->GetWidth()) / 2);
    EXPECT_GE(box->GetFirstButton()->GetRect().top, label->GetRect().bottom);

    // A short text keeps its one line; a named button keeps its name.
    auto* small = new CJMessageBox(m_Screen, CJString("Note"), CJString("Saved."), nullptr, "Fine");
    EXPECT_EQ(TextOf(*small)->GetTitle().Compare("Saved."), 0);
    EXPECT_EQ(small->GetFirstButton()->GetTitle().Compare("Fine"), 0);
    small->Destroy();
}

TEST_F(BoxTest, EnterAndEscapeEachPressTheDefaultButtonOnce)
{
    SCounter counter;
    for (uint32_t key : {kKeyEnter, kKeyEscape}) {
        auto* box =
            new CJMessageBox(m_Screen, CJString("Ask"), CJString("Go on?"), m_Screen, nullptr, CountCommand(counter));
        const int before = counter.runs;
        TypeKey(key);
        EXPECT_EQ(counter.runs, before + 1) << key;
        Frame();
        EXPECT_FALSE(InTree(box)) << key;
    }

    // Without a command the button closes the box at once.
    m_Screen->ShowMessageBox(CJString("Done"), CJString("All saved."));
    ASSERT_TRUE(dynamic_cast<CJMessageBox*>(m_Screen->GetFirstChild()));
    EXPECT_TRUE(m_Screen->GetFirstChild()->IsModal());
    TypeKey(kKeyEscape);
    EXPECT_FALSE(m_Screen->HasChildren());

    // A command kept open by request leaves the box up.
    auto* box = new CJMessageBox(m_Screen, CJString("Ask"), CJString("Again?"), m_Screen, "Retry",
                                 CountCommand(counter), false);
    TypeKey(kKeyEnter);
    Frame();
    EXPECT_TRUE(InTree(box));
    box->Destroy();
}

TEST_F(BoxTest, AddedButtonsFormACentredRowOfEqualWidthAtTheBottom)
{
    SCounter yes, no;
    auto* box = new CJMessageBox(m_Screen, CJString("Quit"), CJString("Leave the level now? What was built since the last save is lost."), m_Screen, "Yes",
                                 CountCommand(yes));
    const CRect textAt = TextOf(*box)->GetRect();
    CJButton* noButton = box->AddButton(CJString("No, stay here"), CountCommand(no));
    EXPECT_EQ(TextOf(*box)->GetRect(), textAt);
    CJButton* yesButton = box->GetFirstButton();
    ASSERT_GE(box->GetWidth(), 2 * noButton->GetWidth() + 40) << "the row must fit for equal widths";
    EXPECT_EQ(yesButton->GetWidth(), noButton->GetWidth());
    EXPECT_EQ(yesButton->GetRect().top, noButton->GetRect().top);
    EXPECT_LT(yesButton->GetRect().right, noButton->GetRect().left);
    const int32_t leftGap = yesButton->GetRect().left;
    const int32_t rightGap = box->GetWidth() - noButton->GetRect().right;
    EXPECT_LE(std::abs(leftGap - rightGap), 1);
    EXPECT_LE(noButton->GetRect().bottom, box->GetHeight());

    // Clicking the added button runs its command, then the box goes.
    Click(Centre(*noButton));
    Frame();
    EXPECT_EQ(no.runs, 1);
    EXPECT_EQ(yes.runs, 0);
    EXPECT_FALSE(InTree(box));
}

TEST_F(BoxTest, AWindowReplacedThroughSwitchToComesBackAtItsOldRectangle)
{
    auto* first = new CMenuWindow(m_Screen, "First");
    first->SetRect(CRect{40, 50, 240, 150});
    first->SetModal(true);
    m_Screen->AddChildFirst(first, 0);
    EXPECT_FALSE(first->IsMovable());
    EXPECT_TRUE(first->IsMenuWindow());

    auto* second = new CMenuWindow(m_Screen, "Second");
    second->SetSize(300, 200);
    first->SwitchTo(second, true);
    EXPECT_EQ(m_Screen->GetFirstChild(), second);
    EXPECT_FALSE(InTree(first));
    EXPECT_FALSE(first->IsVisible());
    EXPECT_TRUE(second->IsModal());
    EXPECT_EQ(second->GetRect(), (CRect{250, 200, 550, 400}));
    EXPECT_EQ(second->GetReplacedWindow(), first);

    // A third stands in for the second; each comes back in turn.
    auto* third = new CMenuWindow(m_Screen, "Third");
    third->SetSize(100, 100);
    second->SwitchTo(third, false);
    third->Destroy();
    EXPECT_EQ(m_Screen->GetFirstChild(), second);
    EXPECT_TRUE(second->IsVisible());
    second->Destroy();
    EXPECT_EQ(m_Screen->GetFirstChild(), first);
    EXPECT_TRUE(first->IsVisible());
    EXPECT_EQ(first->GetRect(), (CRect{40, 50, 240, 150}));

    // Released, or without a parent, the replaced window dies with it.
    auto* fourth = new CMenuWindow(m_Screen, "Fourth");
    first->SwitchTo(fourth, true);
    fourth->ReleaseReplacedWindow();
    EXPECT_EQ(fourth->GetReplacedWindow(), nullptr);
    auto* loose = new CMenuWindow(nullptr, "Loose");
    loose->SetReplacedWindow(new CMenuWindow(nullptr, "Kept"));
    loose->Destroy();
    fourth->Destroy();
    EXPECT_FALSE(m_Screen->HasChildren());
}

TEST_F(BoxTest, MenuWindowKeysPressTheFocusedDefaultAndCancelButtons)
{
    SCounter ok, cancel;
    auto* window = new CMenuWindow(m_Screen, "Options");
    window->SetRect(CRect{100, 100, 400, 300});
    // A front child that activates nothing.
    auto* pad = new CJWindow(window, "Pad");
    pad->SetSize(20, 20);
    auto* okButton = new CJButton(window, "OK");
    okButton->SetCommand(CountCommand(ok));
    auto* cancelButton = new CJButton(window, "Cancel");
    cancelButton->SetCommand(CountCommand(cancel));
    window->AddChild(pad, 1);
    window->AddChild(okButton, 8);
    window->AddChild(cancelButton, 14);
    m_Screen->AddChildFirst(window, 0);
    EXPECT_EQ(window->GetFirstChild(), okButton);
    window->BringChildToFront(pad);

    // Escape without a cancel button is not taken; nor Enter without a default.
    EXPECT_FALSE(m_Screen->OnKeyDown(kKeyEscape));
    EXPECT_FALSE(m_Screen->OnKeyDown(kKeyEnter));
    EXPECT_FALSE(m_Screen->OnKeyDown(kKeyActivateDefault));

    window->SetDefaultButton(okButton);
    window->SetCancelButton(cancelButton);
    TypeKey(kKeyEnter);
    TypeKey(kKeyActivateDefault);
    TypeKey(kKeyEscape);
    EXPECT_EQ(ok.runs, 2);
    EXPECT_EQ(cancel.runs, 1);

    // Down walks the buttons; Enter presses the focused one, not the default.
    TypeKey(uint32_t(EngineKey::Down));
    TypeKey(uint32_t(EngineKey::Down));
    EXPECT_EQ(window->GetFirstChild(), cancelButton);
    TypeKey(kKeyEnter);
    EXPECT_EQ(cancel.runs, 2);
    EXPECT_EQ(ok.runs, 2);
    TypeKey(uint32_t(EngineKey::Up));
    EXPECT_EQ(window->GetFirstChild(), okButton);
}

TEST_F(BoxTest, ThePaletteGripAndThePictureWindow)
{
    const int32_t u = m_Screen->GetFontUnit();
    auto* left = new CJToolPalette(m_Screen, 0);
    auto* top = new CJToolPalette(m_Screen, 1);
    EXPECT_EQ(left->GetClientLeftInset(), 8 * u);
    EXPECT_EQ(left->GetClientTopInset(), 0);
    EXPECT_EQ(top->GetClientTopInset(), 8 * u);
    EXPECT_EQ(top->GetClientLeftInset(), 0);
    // Tools sit beside (below) the grip, two font units in.
    auto* tool = new CJButton(left, "T");
    left->AddChild(tool, 1);
    EXPECT_EQ(tool->GetRect().left, 8 * u + 2 * u);
    m_Screen->AddChildFirst(left, 5, nullptr, 10, 10, kPlacePixels);
    top->Destroy();

    // The grip's bevels show at the left of the palette.
    CColor grey(100, 100, 100, 255);
    m_ScreenFrame->Fill(grey);
    m_Screen->DrawToScreen();
    const CRect& at = left->GetScreenRect();
    const int32_t midY = (at.top + at.bottom) / 2;
    EXPECT_NE(Rgb(*m_ScreenFrame, at.left + 3, midY), Rgb(*m_ScreenFrame, at.left + 6, midY));

    // The picture: the window takes its size, shows it and stays put.
    auto picture = CFrame::MakeOwned(40, 30, 32);
    CColor red(250, 10, 10, 255);
    picture->Fill(red);
    auto* view = new CJPictureWindow(m_Screen, picture.get(), 0, 0);
    EXPECT_EQ(view->GetWidth(), 40);
    EXPECT_EQ(view->GetHeight(), 30);
    EXPECT_EQ(view->GetTitle().Compare("CJPictureWindow"), 0);
    m_Screen->AddChildFirst(view, 5, nullptr, 300, 300, kPlacePixels);
    Step(CPoint{310, 310}, true);
    Step(CPoint{360, 350}, true);
    Step(CPoint{360, 350}, false);
    EXPECT_EQ(view->GetScreenRect(), (CRect{300, 300, 340, 330}));
    m_ScreenFrame->Fill(grey);
    m_Screen->DrawToScreen();
    EXPECT_EQ(Rgb(*m_ScreenFrame, 320, 315), 0xFA0A0Au);
}

} // namespace
