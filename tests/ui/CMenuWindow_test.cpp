// Message boxes, menu windows, tool palettes and picture windows through the
// real screen window: wrapping, the default button under Enter and Escape,
// the button row, a window that stands in for another and gives it back,
// the room for the palette's grip and a picture that is never dragged.
#include "MenuTestSupport.h"

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

class BoxTest : public ScreenTest {
protected:
    CCommand* CountCommand() { return new CObjectFunctionCommand<SCounter>(&m_Counter, &SCounter::Run); }
    static CJStatic* TextOf(CJMessageBox& box)
    {
        for (CJWindow* child = box.GetFirstChild(); child; child = child->GetNextSibling())
            if (auto* label = dynamic_cast<CJStatic*>(child))
                return label;
        return nullptr;
    }

    SCounter m_Counter;
};

TEST_F(BoxTest, ALongTextWrapsAt500PixelsAndEnterOrEscapePressTheDefaultOnce)
{
    CJString text;
    while (m_Font->GetTextWidth(text) < 600)
        text.Append("many words ");
    auto* box = new CJMessageBox(m_Screen, CJString("Note"), text, m_Screen);
    CJStatic* label = TextOf(*box);
    EXPECT_LE(label->GetWidth(), kMessageBoxWrapWidth + 20);
    EXPECT_GE(label->GetTitle().FindChar(u'\n'), 0);
    EXPECT_EQ(box->GetFirstButton()->GetTitle().Compare("OK"), 0);
    EXPECT_EQ(box->GetDefaultButton(), box->GetFirstButton());
    EXPECT_TRUE(box->IsModal());
    EXPECT_EQ(box->GetRect().left, (800 - box->GetWidth()) / 2);
    box->Destroy();

    // Each key presses the button once; its command closes the box after.
    for (uint32_t key : {kKeyEnter, kKeyEscape}) {
        const int before = m_Counter.runs;
        box = new CJMessageBox(m_Screen, CJString("Ask"), CJString("Go on?"), m_Screen, nullptr, CountCommand());
        TypeKey(key);
        EXPECT_EQ(m_Counter.runs, before + 1) << key;
        EXPECT_FALSE(m_Screen->HasChildren()) << key;
    }
    // Without a command the button closes the box itself.
    m_Screen->ShowMessageBox(CJString("Done"), CJString("All saved."));
    EXPECT_TRUE(m_Screen->GetFirstChild()->IsModal());
    TypeKey(kKeyEscape);
    EXPECT_FALSE(m_Screen->HasChildren());
}

TEST_F(BoxTest, AddedButtonsFormARowOfEqualWidthBelowTheTextThatStays)
{
    auto* box = new CJMessageBox(m_Screen, CJString("Quit"),
                                 CJString("Leave the level now? What was built since the last save is lost."), m_Screen,
                                 "Yes");
    const CRect textAt = TextOf(*box)->GetRect();
    CJButton* no = box->AddButton(CJString("No, stay here"), CountCommand());
    CJButton* yes = box->GetFirstButton();
    EXPECT_EQ(TextOf(*box)->GetRect(), textAt);
    EXPECT_EQ(yes->GetWidth(), no->GetWidth());
    EXPECT_EQ(yes->GetRect().top, no->GetRect().top);
    EXPECT_LT(yes->GetRect().right, no->GetRect().left);
    EXPECT_LE(std::abs(yes->GetRect().left - (box->GetWidth() - no->GetRect().right)), 1);

    Click(*no);
    EXPECT_EQ(m_Counter.runs, 1);
    EXPECT_FALSE(InTree(box));

    // Enter presses the button the focus was moved to, never the default
    // in its place; Left brings the focus back to the default.
    SCounter yesRuns;
    for (uint32_t key : {kKeyTab, uint32_t(EngineKey::Right), uint32_t(EngineKey::Left)}) {
        const int before = m_Counter.runs;
        box = new CJMessageBox(m_Screen, CJString("Quit"), CJString("Leave?"), m_Screen, "Yes",
                               new CObjectFunctionCommand<SCounter>(&yesRuns, &SCounter::Run));
        box->AddButton(CJString("No"), CountCommand());
        TypeKey(key);
        if (key == uint32_t(EngineKey::Left))
            TypeKey(key);
        TypeKey(kKeyEnter);
        EXPECT_EQ(m_Counter.runs - before, key == uint32_t(EngineKey::Left) ? 0 : 1) << key;
        EXPECT_EQ(yesRuns.runs, key == uint32_t(EngineKey::Left) ? 1 : 0) << key;
        EXPECT_FALSE(m_Screen->HasChildren()) << key;
    }
}

TEST_F(BoxTest, AWindowReplacedThroughSwitchToComesBackAtItsOldRectangle)
{
    auto* first = new CMenuWindow(m_Screen, "First");
    first->SetRect(CRect{40, 50, 240, 150});
    first->SetModal(true);
    m_Screen->AddChildFirst(first, EPlace::AsIs);
    auto* second = new CMenuWindow(m_Screen, "Second");
    second->SetSize(300, 200);
    first->SwitchTo(second, true);
    EXPECT_EQ(m_Screen->GetFirstChild(), second);
    EXPECT_FALSE(InTree(first));
    EXPECT_FALSE(first->IsVisible());
    EXPECT_TRUE(second->IsModal());
    EXPECT_EQ(second->GetRect(), (CRect{250, 200, 550, 400}));

    second->Destroy();
    EXPECT_EQ(m_Screen->GetFirstChild(), first);
    EXPECT_TRUE(first->IsVisible());
    EXPECT_EQ(first->GetRect(), (CRect{40, 50, 240, 150}));

    // Without a parent the replaced window dies with its replacement.
    auto* loose = new CMenuWindow(nullptr, "Loose");
    loose->SetReplacedWindow(new CMenuWindow(nullptr, "Kept"));
    loose->Destroy();
}

TEST_F(BoxTest, MenuWindowKeysPressTheFocusedDefaultAndCancelButtons)
{
    SCounter cancel;
    auto* window = new CMenuWindow(m_Screen, "Options");
    window->SetRect(CRect{100, 100, 400, 300});
    // A front child that activates nothing.
    auto* pad = new CJWindow(window, "Pad");
    pad->SetSize(20, 20);
    auto* ok = new CJButton(window, "OK");
    ok->SetCommand(CountCommand());
    auto* no = new CJButton(window, "Cancel");
    no->SetCommand(new CObjectFunctionCommand<SCounter>(&cancel, &SCounter::Run));
    window->AddChild(pad, EPlace::TopLeft);
    window->AddChild(ok, EPlace::BelowPrevious);
    window->AddChild(no, EPlace::RightOfPrevious);
    m_Screen->AddChildFirst(window, EPlace::AsIs);
    window->BringChildToFront(pad);

    EXPECT_FALSE(m_Screen->OnKeyDown(kKeyEscape));
    EXPECT_FALSE(m_Screen->OnKeyDown(kKeyEnter));
    window->SetDefaultButton(ok);
    window->SetCancelButton(no);
    TypeKey(kKeyEnter);
    TypeKey(kKeyActivateDefault);
    TypeKey(kKeyEscape);
    EXPECT_EQ(m_Counter.runs, 2);
    EXPECT_EQ(cancel.runs, 1);

    // Down walks the buttons; Enter presses the focused one, not the default.
    TypeKey(uint32_t(EngineKey::Down));
    TypeKey(uint32_t(EngineKey::Down));
    TypeKey(kKeyEnter);
    EXPECT_EQ(cancel.runs, 2);
    EXPECT_EQ(m_Counter.runs, 2);
}

TEST_F(BoxTest, ThePaletteLeavesRoomForItsGripAndThePictureWindowShowsItsPicture)
{
    const int32_t u = m_Screen->GetFontUnit();
    auto* palette = new CJToolPalette(m_Screen, 0);
    auto* tool = new CJButton(palette, "T");
    palette->AddChild(tool, EPlace::TopLeft);
    EXPECT_EQ(tool->GetRect().left, 10 * u);
    palette->Destroy();
    palette = new CJToolPalette(m_Screen, 1);
    EXPECT_EQ(palette->GetClientTopInset(), 8 * u);
    EXPECT_EQ(palette->GetClientLeftInset(), 0);
    palette->Destroy();

    auto picture = CFrame::MakeOwned(40, 30, 32);
    CColor red(250, 10, 10, 255);
    picture->Fill(red);
    auto* view = new CJPictureWindow(m_Screen, picture.get(), 0, 0);
    EXPECT_EQ(view->GetRect(), (CRect{0, 0, 40, 30}));
    m_Screen->AddChildFirst(view, {EPlace::At, nullptr, 300, 300, kPlacePixels});
    Step(CPoint{310, 310}, true);
    Step(CPoint{360, 350}, true);
    Step(CPoint{360, 350}, false);
    EXPECT_EQ(view->GetScreenRect(), (CRect{300, 300, 340, 330}));
    m_Screen->DrawToScreen();
    EXPECT_EQ(Rgb(*m_ScreenFrame, 320, 315), 0xFA0A0Au);
}

} // namespace
