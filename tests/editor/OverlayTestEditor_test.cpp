// "Foo Edit" over one set of three boxes, driven by injected clicks, drags
// and arrow keys: which overlay a click picks, what moves, and what reaches
// the set's file after every move (or the box that says it did not).
#include "ui/MenuTestSupport.h"

#include "editor/CObjectEditor.h"
#include "editor/COverlayTestEditor.h"
#include "foundation/SettingsFiles.h"
#include "game/world/CGameApp.h"
#include "images/CFrameList.h"
#include "overlays/CFrameOverlay.h"
#include "overlays/ImageOverlays.h"
#include "platform/FileSystem.h"
#include "ui/CJButton.h"
#include "ui/CJCheckBox.h"
#include "ui/CJComboBox.h"
#include "ui/CJMessageBox.h"
#include "ui/CJStatic.h"

#include <string>

namespace {

constexpr const char* kSetFile = "Resources/Frame Overlay Options/Panel.FOO";

std::string Image(const char* id, const char* position, const char* image)
{
    return std::string("Array Item=CFrameOverlayFrameOverlay\n{\nID=") + id + "\nPosition=" + position + "\nImage="
        + image + "\n}\n";
}

std::string Box(const char* id, const char* position, const char* size, const char* fill)
{
    return std::string("Array Item=CBoxFrameOverlay\n{\nID=") + id + "\nPositon=" + position + "\nSize=" + size
        + "\nOutline Width=0\nFill Color=" + fill + "\n}\n";
}

class FooEdit : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        if (IsSkipped())
            return;
        // Frame 0 stands for none.
        WriteSolidTga("Resources/Frames/!Blank.tga", 1, 1, 0xFFFFFFFFu);
        WriteSolidTga("Resources/Frames/Backdrop.tga", 400, 300, 0xFF208040u);
        WriteSolidTga("Resources/Frames/Faint.tga", 100, 100, 0x0100FF00u);
        GetFrameLibrary().SetSource(nullptr, "Resources/Frames", 0);
        // An opaque back box under a pane of alpha 1, then a small front box.
        const std::string overlays = Box("Back", "10,10", "100,100", "0,0,255,255") + Image("Glass", "50,50", "Faint")
            + Box("Front", "90,90", "40,40", "255,0,0,255");
        WriteBytes(kSetFile, ObjectText("CFrameOverlayOptions", "Frame To Preview On=Backdrop\nText Overlays=Array\n{\n"
                                                                "Item Count=3\n"
                                                                    + overlays + "}"));
        WriteBytes("Resources/Frame Overlay Options/Other.FOO", ObjectText("CFrameOverlayOptions", ""));
        InitFrameOverlayOptionsList();
        m_Frame = OpenFooEditFrame(m_Screen);
        m_Frame->GetSetCombo()->SelectItem(Set("Panel"), true);
        m_Frame->OnNotify(m_Frame->GetSetCombo(), kNotifyClicked);
        m_Control = m_Frame->GetControl();
    }
    void TearDown() override
    {
        (void)plat::SetReadOnly(kSetFile, false);
        GetFrameOverlayOptionsList().RemoveAll();
        InitFrameOverlayOptionsList(); // where the game keeps it
        GetFrameLibrary().RemoveAll();
        ScreenTest::TearDown();
    }
    static int32_t Set(const char* name) { return GetFrameOverlayOptionsList().Find(name); }
    CFrameOverlay* Overlay(const char* id) { return m_Control->GetSet()->FindOverlay(CJString(id), nullptr, nullptr); }
    CPoint PositionOf(const char* id)
    {
        if (auto* box = dynamic_cast<CBoxFrameOverlay*>(Overlay(id)))
            return box->m_Position;
        if (auto* image = dynamic_cast<CFrameOverlayFrameOverlay*>(Overlay(id)))
            return image->m_Position;
        return CPoint{-1, -1};
    }
    // A point of the control in screen coordinates.
    CPoint At(int32_t x, int32_t y) const
    {
        return CPoint{m_Control->GetScreenRect().left + x, m_Control->GetScreenRect().top + y};
    }
    void HoldControl(bool held)
    {
        if (held)
            CKeyboardState::SGetInstance().OnKeyDown(kScanControlLeft);
        else
            CKeyboardState::SGetInstance().OnKeyUp(kScanControlLeft);
    }
    std::string SavedText() { return ReadBytes(kSetFile); }
    // "Positon" is the boxes' key, "Position" the images'.
    bool Saved(const char* position) { return SavedText().find(std::string("=") + position + "\r") != std::string::npos; }
    std::string BoxText()
    {
        for (CJWindow* child = m_Frame->GetFirstChild(); child; child = child->GetNextSibling())
            if (auto* box = dynamic_cast<CJMessageBox*>(child))
                for (CJWindow* part = box->GetFirstChild(); part; part = part->GetNextSibling())
                    if (auto* text = dynamic_cast<CJStatic*>(part))
                        return text->GetTitle().GetString();
        return "";
    }

    CFooEditFrame* m_Frame = nullptr;
    CFooEditControl* m_Control = nullptr;
};

TEST_F(FooEdit, TheTopmostOverlayWithAnOpaquePixelThereIsPicked)
{
    ASSERT_NE(m_Control->GetSet(), nullptr);
    EXPECT_EQ(m_Control->PickAt(CPoint{20, 20}), Overlay("Back"));
    // The pane above the back box is all but clear there: the back box wins.
    EXPECT_EQ(m_Control->PickAt(CPoint{60, 60}), Overlay("Back"));
    EXPECT_EQ(m_Control->PickAt(CPoint{95, 95}), Overlay("Front"));
    EXPECT_EQ(m_Control->PickAt(CPoint{140, 140}), nullptr);
    EXPECT_EQ(m_Control->PickAt(CPoint{5, 5}), nullptr);

    // A double click edits the overlay picked there, on the next update;
    // "Properties" the whole set.
    m_Control->OnMouseDoubleClick(0, At(95, 95), 0);
    EXPECT_EQ(GetCurrentObjectEditor(), nullptr);
    Step(CPoint{0, 0}, false);
    EXPECT_EQ(GetCurrentObjectEditorObject(), Overlay("Front"));
    m_Frame->GetPropertiesButton()->Click();
    EXPECT_EQ(GetCurrentObjectEditorObject(), m_Control->GetSet());
    OpenObjectEditor(nullptr, nullptr);
}

TEST_F(FooEdit, TheSetIsDrawnOverItsBackgroundUntilThatBoxIsCleared)
{
    std::unique_ptr<CFrame> canvas = Canvas(400, 300);
    m_Control->Draw(*canvas);
    EXPECT_EQ(Rgb(*canvas, 20, 20), 0x0000FFu);
    EXPECT_EQ(Rgb(*canvas, 300, 250), 0x208040u);

    Click(*m_Frame->GetShowBackgroundBox());
    EXPECT_FALSE(m_Control->GetShowBackground());
    canvas = Canvas(400, 300);
    m_Control->Draw(*canvas);
    EXPECT_EQ(Rgb(*canvas, 20, 20), 0x0000FFu);
    EXPECT_EQ(Rgb(*canvas, 300, 250), 0u);
    Click(*m_Frame->GetPreviewBox());
    EXPECT_TRUE(m_Control->GetPreview());
}

TEST_F(FooEdit, AnArrowWithNothingSelectedMovesEveryOverlayAndSaves)
{
    Click(At(300, 250));
    EXPECT_EQ(m_Control->GetSelection().GetCount(), 0u);
    TypeKey(uint32_t(EngineKey::Left));
    TypeKey(uint32_t(EngineKey::Down));
    EXPECT_EQ(PositionOf("Back"), (CPoint{9, 11}));
    EXPECT_EQ(PositionOf("Front"), (CPoint{89, 91}));
    EXPECT_TRUE(Saved("9,11"));
    EXPECT_TRUE(Saved("49,51"));
    EXPECT_TRUE(Saved("89,91"));
}

TEST_F(FooEdit, ClicksPickTheSelectionAndADragMovesOnlyItAndSavesEachStep)
{
    Click(At(95, 95));
    ASSERT_EQ(m_Control->GetSelection().GetCount(), 1u);
    EXPECT_EQ(m_Control->GetSelection()[0], Overlay("Front"));
    HoldControl(true);
    Click(At(20, 20));
    EXPECT_EQ(m_Control->GetSelection().GetCount(), 2u);
    // Ctrl on empty space changes nothing.
    Click(At(300, 250));
    EXPECT_EQ(m_Control->GetSelection().GetCount(), 2u);
    HoldControl(false);

    Step(At(20, 20), true);
    Step(At(25, 22), true);
    EXPECT_TRUE(Saved("15,12"));
    Step(At(27, 22), true);
    Step(At(27, 22), false);
    EXPECT_EQ(PositionOf("Back"), (CPoint{17, 12}));
    EXPECT_EQ(PositionOf("Front"), (CPoint{97, 92}));
    EXPECT_EQ(PositionOf("Glass"), (CPoint{50, 50}));
    EXPECT_TRUE(Saved("17,12"));
    EXPECT_TRUE(Saved("97,92"));

    // Ctrl+click on a selected overlay takes it out; a plain click on a
    // selected one keeps the selection.
    HoldControl(true);
    Click(At(100, 100));
    HoldControl(false);
    ASSERT_EQ(m_Control->GetSelection().GetCount(), 1u);
    EXPECT_EQ(m_Control->GetSelection()[0], Overlay("Back"));
    Click(At(20, 20));
    EXPECT_EQ(m_Control->GetSelection().GetCount(), 1u);
}

TEST_F(FooEdit, AFailedSaveIsShownOnceAndTheMovesAreKept)
{
    Click(At(300, 250));
    ASSERT_TRUE(plat::SetReadOnly(kSetFile, true));
    const std::string before = SavedText();
    TypeKey(uint32_t(EngineKey::Right));
    EXPECT_EQ(BoxText(), std::string("Could not save ") + kSetFile);
    auto* box = dynamic_cast<CJMessageBox*>(m_Frame->GetFirstChild());
    ASSERT_NE(box, nullptr);
    box->Close();
    TypeKey(uint32_t(EngineKey::Right));
    EXPECT_EQ(BoxText(), "");
    EXPECT_EQ(SavedText(), before);
    EXPECT_EQ(PositionOf("Back"), (CPoint{12, 10}));

    // Writable again: the next move saves everything moved so far.
    ASSERT_TRUE(plat::SetReadOnly(kSetFile, false));
    TypeKey(uint32_t(EngineKey::Up));
    EXPECT_TRUE(Saved("12,9"));
    EXPECT_EQ(BoxText(), "");
}

TEST_F(FooEdit, TheChosenSetIsRememberedTheControlFollowsTheFrameAndEscapeCloses)
{
    const int32_t width = m_Control->GetWidth();
    const int32_t height = m_Control->GetHeight();
    CRect bigger = m_Frame->GetRect();
    bigger.right += 100;
    bigger.bottom += 40;
    m_Frame->SetRect(bigger);
    EXPECT_EQ(m_Control->GetWidth(), width + 100);
    EXPECT_EQ(m_Control->GetHeight(), height + 40);

    m_Frame->GetSetCombo()->SelectItem(Set("Other"), true);
    m_Frame->OnNotify(m_Frame->GetSetCombo(), kNotifyClicked);
    EXPECT_EQ(m_Control->GetSetIndex(), uint32_t(Set("Other")));
    m_Frame->Close();
    CFooEditFrame* again = OpenFooEditFrame(m_Screen);
    EXPECT_EQ(again->GetControl()->GetSetIndex(), uint32_t(Set("Other")));
    EXPECT_EQ(again->GetSetCombo()->GetSelectedItem(), Set("Other"));
    TypeKey(kKeyEscape);
    EXPECT_FALSE(InTree(again));
}

} // namespace
