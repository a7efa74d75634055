// Button overlays: the control each builds, its place and size, and inside
// a timeline a proxy-drawn control that the window tree routes clicks to,
// live only once the timeline rests and forgotten when it dies.
#include "OverlayTestSupport.h"

#include "images/CFont.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "objects/CObject.h"
#include "overlays/ButtonOverlays.h"
#include "overlays/CFrameOverlayTimeline.h"
#include "shell/CKeyboardState.h"
#include "shell/CMouseState.h"
#include "ui/CJButton.h"
#include "ui/CJCheckBox.h"
#include "ui/CScreenWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class ButtonOverlay : public OverlayTest {
protected:
    void SetUp() override
    {
        OverlayTest::SetUp();
        CMouseState::SGetInstance().ResetForTesting();
        CKeyboardState::SGetInstance().ResetForTesting();
        CScreenWindow::SetPreviousMouseButtons(0);
        // Controls draw their bevels in units of the window font.
        if (!WriteDefaultFont())
            GTEST_SKIP() << "DejaVuSans.ttf is missing (Debian package fonts-dejavu-core)";
        EnumerateFontFiles();
        m_Font = std::make_unique<CFont>();
        m_PreviousFont = CJWindow::GetDefaultFont();
        CJWindow::SetDefaultFont(m_Font.get());
        // Frame index 0 names no image.
        AddFrame("A Blank", 8, 8, 0xFF000000u);
        AddFrame("Checked", 8, 8, 0xFF00FF00u);
        AddFrame("Unchecked", 8, 8, 0xFFFF0000u);
        ResetLists();
        m_Button.m_Position = CPoint{400, 50};
        m_Button.m_Size = CPoint{100, 30};
    }
    void TearDown() override
    {
        CJWindow::SetDefaultFont(m_PreviousFont);
        CMouseState::SGetInstance().ResetForTesting();
        CKeyboardState::SGetInstance().ResetForTesting();
        OverlayTest::TearDown();
    }
    std::unique_ptr<CJButton, void (*)(CJButton*)> Build()
    {
        return {m_Button.CreateButtonWindow(nullptr, nullptr), [](CJButton* b) { b->Destroy(); }};
    }

    std::unique_ptr<CFont> m_Font;
    CFont* m_PreviousFont = nullptr;
    CFrameOverlayButton m_Button;
};

TEST_F(ButtonOverlay, TheKindFollowsTheCheckBoxSettingAndItsImages)
{
    auto push = Build();
    EXPECT_EQ(dynamic_cast<CJCheckBox*>(push.get()), nullptr);
    EXPECT_EQ(dynamic_cast<CJWindowControlProxyDrawMixIn*>(push.get()), nullptr);

    m_Button.m_bIsAToggleableCheckBox = true;
    m_Button.m_CheckBoxCheckedImage = FrameIndex("Checked");
    auto halfImaged = Build();
    EXPECT_NE(dynamic_cast<CJCheckBox*>(halfImaged.get()), nullptr);
    EXPECT_EQ(dynamic_cast<CJImageCheckBox*>(halfImaged.get()), nullptr);

    m_Button.m_CheckBoxUncheckedImage = FrameIndex("Unchecked");
    auto imaged = Build();
    EXPECT_NE(dynamic_cast<CJImageCheckBox*>(imaged.get()), nullptr);
}

TEST_F(ButtonOverlay, PositionNamesTheJustifiedPointOfTheTopEdgeAndOnlyLargeMaximaCap)
{
    m_Button.m_HotSpotJustification = 2;
    auto right = Build();
    EXPECT_EQ(right->GetRect(), (CRect{300, 50, 400, 80}));
    m_Button.m_HotSpotJustification = 1;
    EXPECT_EQ(Build()->GetRect().left, 350);

    m_Button.m_HotSpotJustification = 0;
    m_Button.m_MaximumSize = CPoint{5, 5};
    EXPECT_EQ(Build()->GetRect(), (CRect{400, 50, 500, 80}));
    m_Button.m_Size = CPoint{200, 30};
    m_Button.m_MaximumSize = CPoint{120, 0};
    EXPECT_EQ(Build()->GetRect(), (CRect{400, 50, 520, 80}));
}

TEST_F(ButtonOverlay, TheLooksPaintAFrameWindowAndAButtonAtTheirPlaces)
{
    auto canvas = Canvas(320, 240);
    CFrameOverlayDrawContext context;
    context.m_pTarget = canvas.get();
    CFrameOverlayJWindowOverlay window;
    window.m_Position = CPoint{20, 30};
    window.m_Size = CPoint{120, 80};
    window.Draw(context);
    CFrameOverlayJButtonOverlay button;
    button.m_Position = CPoint{200, 150};
    button.m_Title.SetText(CJString("Look"));
    button.Draw(context);
    // Drawn where placed (the frame at least: no texture fills it here),
    // and nowhere well away from both.
    int32_t inWindow = 0;
    for (int32_t y = 30; y < 110; ++y)
        for (int32_t x = 20; x < 140; ++x)
            inWindow += Pixel(*canvas, x, y) != 0;
    EXPECT_GT(inWindow, 2 * (120 + 80));
    EXPECT_NE(Pixel(*canvas, 201, 151), 0u);
    for (int32_t y = 0; y < 240; y += 4)
        for (int32_t x = 0; x < 320; x += 4) {
            const bool nearWindow = x >= 12 && x < 148 && y >= 22 && y < 118;
            const bool nearButton = x >= 192 && y >= 142;
            if (!nearWindow && !nearButton) {
                EXPECT_EQ(Pixel(*canvas, x, y), 0u) << x << "," << y;
            }
        }
}

// A picture's name is that picture, whatever else the set names: a set whose
// buttons and preview name every picture keeps the one that sorts first.
// Written by hand (no "Unset Picture" line, defaults left out, names in
// another case), as the build before this one wrote it (every line, no
// mark) and as this build writes it; with and without a "!None" picture.
TEST_F(ButtonOverlay, ASetNamingEveryPictureKeepsTheOneThatSortsFirst)
{
    AddSet("Hand",
           "Frame To Preview On=a blank\nText Overlays=Array\n{\n\tItem Count=1\n"
           "\tArray Item=CFrameOverlayButton\n\t{\n\t\tID=Play\n\t\tNormal Image=a blank\n"
           "\t\tHover Image=CHECKED\n\t\tPressed Image=Unchecked\n\t\tCheck Box Checked Image=Checked\n"
           "\t\tCheck Box Unchecked Image=A Blank\n\t}\n}");
    const std::string kept = "A Blank Checked Unchecked Checked A Blank ";
    const std::string folder = "Resources/Frame Overlay Options/";
    for (const bool placeholder : {false, true}) {
        SCOPED_TRACE(placeholder ? "with a !None picture" : "without");
        if (placeholder)
            AddFrame("!None", 8, 8, 0xFF0000FFu);
        ResetLists();
        CFrameOverlayOptions* hand = Set("Hand");
        ASSERT_NE(hand, nullptr);
        ASSERT_TRUE(hand->SaveToFile((folder + "Marked.FOO").c_str(), kSaveSkipWritableTest));
        std::string previous = ReadBytes(folder + "Marked.FOO");
        const size_t mark = previous.find("Unset Picture=");
        ASSERT_NE(mark, std::string::npos);
        previous.erase(previous.rfind('\n', mark) + 1, previous.find('\n', mark) - previous.rfind('\n', mark));
        WriteBytes(folder + "Previous.FOO", previous);
        ResetLists();
        for (const char* name : {"Hand", "Previous", "Marked"}) {
            CFrameOverlayOptions* set = Set(name);
            ASSERT_NE(set, nullptr) << name;
            auto* play = dynamic_cast<CFrameOverlayButton*>(set->FindOverlay(CJString("Play"), nullptr, nullptr));
            ASSERT_NE(play, nullptr) << name;
            std::string read;
            for (int32_t* row : play->Pictures())
                read += std::string(*row > 0 ? GetFrameLibrary().GetItemName(*row) : "-") + " ";
            EXPECT_EQ(read, kept) << name;
            EXPECT_EQ(set->m_PreviewFrame, FrameIndex("A Blank")) << name;
            std::unique_ptr<CJButton, void (*)(CJButton*)> control(set->CreateButtonWindow(CJString("Play"), nullptr),
                                                                   [](CJButton* b) { b->Destroy(); });
            ASSERT_NE(control, nullptr) << name;
            EXPECT_TRUE(control->HasAnyImage()) << name;
            // Saved again, each name as read.
            ASSERT_TRUE(set->SaveToFile("Again.FOO", kSaveSkipWritableTest));
            const std::string again = ReadBytes("Again.FOO");
            for (const char* line : {"Frame To Preview On=A Blank\r\n", "Normal Image=A Blank\r\n",
                                     "Check Box Unchecked Image=A Blank\r\n"})
                EXPECT_NE(again.find(line), std::string::npos) << name << ": " << line;
            EXPECT_EQ(again.find("Image=!None"), std::string::npos) << name;
        }
    }
}

// A set "Screen" holding, 100, 50 in, a nested set whose timeline slides a
// button "Go" (at 10, 10, 40 x 20) in from 50 pixels right over one second.
class TimelineButton : public ButtonOverlay {
protected:
    void SetUp() override
    {
        ButtonOverlay::SetUp();
        AddSet("Slide",
               "Text Overlays=Array\n{\nItem Count=1\nArray Item=CFrameOverlayTimeline\n{\n"
               "Initial Offset=50,0\nOffset Milestones=Array\n{\nItem Count=1\n"
               "Offset Milestone=CFrameOverlayOffsetMilestone\n{\nTime To Transition=1\n}\n}\n"
               "Overlay List=Array\n{\nItem Count=1\nOverlay=CFrameOverlayButton\n{\nID=Go\n"
               "Title=Go\nPosition=10,10\nSize=40,20\n}\n}\n}\n}");
        AddSet("Screen",
               "Text Overlays=Array\n{\nItem Count=1\nArray Item=CNestedFooFrameOverlay\n{\n"
               "Positon=100,50\nFoo File=Slide\n}\n}");
        ResetLists();
        m_Set = Set("Screen");
        ASSERT_NE(m_Set, nullptr);
        m_Screen = std::make_unique<CScreenWindow>(m_Frame.get(), nullptr);
        m_Control = m_Set->CreateButtonWindow(CJString("go"), nullptr);
        ASSERT_NE(m_Control, nullptr);
        m_Screen->AddChild(m_Control, kAsIsNoGrow);
        m_Overlay = dynamic_cast<CFrameOverlayButton*>(m_Set->FindOverlay(CJString("Go"), nullptr, nullptr));
        ASSERT_NE(m_Overlay, nullptr);
    }
    void TearDown() override
    {
        m_Screen.reset();
        ButtonOverlay::TearDown();
    }
    // The set drawn at a time onto a cleared frame; the tree then updated.
    void DrawAt(float time)
    {
        m_Frame->Clear();
        CFrameOverlayDrawContext context;
        context.m_pTarget = m_Frame.get();
        context.m_Time = time;
        m_Set->Draw(context);
        m_Screen->Update(1.0f / 60.0f);
    }
    bool ClickAt(int32_t x, int32_t y)
    {
        CMouseState& mouse = CMouseState::SGetInstance();
        mouse.SetPosition(x, y);
        m_Screen->Update(0.0f);
        mouse.SetButtons(1);
        m_Screen->Update(0.0f);
        mouse.SetButtons(0);
        m_Screen->Update(0.0f);
        return m_Control->ConsumeClicked();
    }
    bool mixInActive() { return dynamic_cast<CJWindowControlProxyDrawMixIn*>(m_Control)->IsProxyActive(); }
    // Columns of row y that hold drawn pixels: first and one past the last.
    std::pair<int32_t, int32_t> DrawnSpan(int32_t y)
    {
        int32_t first = -1, last = -1;
        for (int32_t x = 0; x < int32_t(m_Frame->GetWidth()); ++x)
            if (Pixel(*m_Frame, x, y) != 0) {
                if (first < 0)
                    first = x;
                last = x + 1;
            }
        return {first, last};
    }

    std::unique_ptr<CFrame> m_Frame = CFrame::MakeOwned(320, 240, 32);
    std::unique_ptr<CScreenWindow> m_Screen;
    CFrameOverlayOptions* m_Set = nullptr;
    CJButton* m_Control = nullptr;
    CFrameOverlayButton* m_Overlay = nullptr;
};

TEST_F(TimelineButton, TheControlIsProxyDrawnWhereTheContainersPutIt)
{
    EXPECT_EQ(m_Control->GetRect(), (CRect{110, 60, 150, 80}));
    auto* mixIn = dynamic_cast<CJWindowControlProxyDrawMixIn*>(m_Control);
    ASSERT_NE(mixIn, nullptr);
    EXPECT_EQ(m_Overlay->GetProxyWindow(), mixIn);

    // The tree's own pass draws nothing for it.
    m_Frame->Clear();
    m_Screen->Draw(*m_Frame);
    EXPECT_EQ(DrawnSpan(70).first, -1);

    // Halfway through the slide it is 25 pixels to the right; at rest in its
    // rectangle (give or take the outline of a live control).
    DrawAt(0.5f);
    const auto sliding = DrawnSpan(70);
    EXPECT_EQ(sliding, (std::pair<int32_t, int32_t>{135, 175}));
    DrawAt(2.0f);
    const auto resting = DrawnSpan(70);
    EXPECT_NEAR(resting.first, 110, 1);
    EXPECT_NEAR(resting.second, 150, 1);
    EXPECT_EQ(Pixel(*m_Frame, 210, 110), 0u);
    // The marker view draws a plain look beside it and keeps the live one.
    m_Set->DrawOnFrame(*m_Frame, nullptr, true, nullptr);
    EXPECT_EQ(m_Overlay->GetProxyWindow(), mixIn);
}

TEST_F(TimelineButton, ItTakesClicksOnlyOnceTheTimelineRests)
{
    DrawAt(0.5f);
    EXPECT_FALSE(mixInActive());
    EXPECT_FALSE(ClickAt(130, 70));
    DrawAt(2.0f);
    EXPECT_TRUE(mixInActive());
    EXPECT_TRUE(ClickAt(130, 70));
    EXPECT_FALSE(ClickAt(200, 70));
}

TEST_F(TimelineButton, ADeadControlIsForgottenAndNeverTouched)
{
    m_Control->Destroy();
    m_Control = nullptr;
    EXPECT_EQ(m_Overlay->GetProxyWindow(), nullptr);
    DrawAt(2.0f);
    EXPECT_EQ(DrawnSpan(70).first, -1);

    // The marker view draws a plain look and leaves no registration behind.
    m_Frame->Clear();
    m_Set->DrawOnFrame(*m_Frame, nullptr, true, nullptr);
    EXPECT_EQ(DrawnSpan(70).first, 110);
    EXPECT_EQ(m_Overlay->GetProxyWindow(), nullptr);
}

} // namespace
