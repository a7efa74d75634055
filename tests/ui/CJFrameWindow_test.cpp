// Frame windows driven through the real screen window: presses that never
// fall through, moving, the edge and corner zones with their cursors,
// resizing held at the minimum size, the grip, the close button and the
// transparency toggle.
#include "SkinTestSupport.h"
#include "UiTestSupport.h"

#include "blit/CBlitTypeList.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "ui/CAlphaTheme.h"
#include "ui/CJButton.h"
#include "ui/CJCheckBox.h"
#include "ui/CJFrameWindow.h"
#include "ui/CJResize.h"

#include <memory>
#include <vector>

namespace {

class CTestCursor : public CCursorSequence {
public:
    CTestCursor()
        : m_Frame(CFrame::MakeOwned(4, 4, 32))
    {
    }
    int32_t GetFrameCount() const override { return 1; }
    int32_t GetCurrentFrame() const override { return 0; }
    CFrameInterface* GetFrame(int32_t index) const override { return index == 0 ? m_Frame.get() : nullptr; }
    CBlitType& GetBlitType() const override { return GetNormalBlitType(); }

private:
    std::unique_ptr<CFrame> m_Frame;
};

class FrameWindowTest : public UiTestOn<SkinFrameTest> {
protected:
    void SetUp() override
    {
        UiTestOn<SkinFrameTest>::SetUp();
        if (IsSkipped())
            return;
        GetSkinThemeList().SetSource(nullptr, "Resources/Interface/JWindowSkins", 0);
        // The skin frames and the theme, before the first window reads them.
        AddFrame("Window Texture", 8, 8, 0xFF2050A0u);
        AddFrame("Window Title Tile", 8, 8, 0xFFA05020u);
        AddFrame("Corner", 2, 2, 0xFFFF0000u);
        AddFrame("Plain Right", 2, 2, 0xFF0000FFu);
        AddFrame("Close Right", 2, 2, 0xFFFFFF00u);
        AddFrame("Paper", 4, 4, 0xFF30C030u);
        WriteBytes("Resources/Interface/JWindowSkins/Framed.JWindowSkin",
                   "CJWindowAlphaTheme\r\n{\r\n\tOptions=CAlphaSkinData\r\n\t{\r\n"
                   "\t\tWindow Border=CAlphaSkinBorder\r\n\t\t{\r\n"
                   "\t\t\tBackground Texture=Paper\r\n"
                   "\t\t\tTop Left Highlight=Corner\r\n"
                   "\t\t\tTop Right Highlight=Plain Right\r\n"
                   "\t\t\tSpecial Top Right Highlight=Close Right\r\n"
                   "\t\t}\r\n\t}\r\n}\r\n");
        m_Screen = new CScreenWindow(m_ScreenFrame.get(), m_Font.get());
        u = m_Screen->GetFontUnit();
        ASSERT_GT(u, 0);
        for (int32_t id = 0; id <= 14; ++id)
            CJWindow::SetStandardCursor(id, &m_Cursors[size_t(id)]);
    }
    void TearDown() override
    {
        delete m_Screen;
        for (int32_t id = 0; id <= 14; ++id)
            CJWindow::SetStandardCursor(id, nullptr);
        GetSkinThemeList().RemoveAll();
        GetSkinThemeList().SetSource(nullptr, "Nowhere", 0);
        UiTestOn<SkinFrameTest>::TearDown();
    }

    // A frame window at rect, added to the screen in front.
    CJFrameWindow* AddFrameWindow(CRect rect, const char* title = nullptr)
    {
        auto* frame = title ? new CJFrameWindow(m_Screen, title) : new CJFrameWindow(m_Screen);
        frame->SetRect(rect);
        m_Screen->AddChild(frame, kAsIsNoGrow);
        m_Screen->BringChildToFront(frame);
        return frame;
    }
    // One frame with the pointer at p and the left button as given.
    void Step(CPoint p, bool held)
    {
        CMouseState& mouse = CMouseState::SGetInstance();
        mouse.SetPosition(p.x, p.y);
        mouse.SetButtons(held ? 1u : 0u);
        Advance(16);
        m_Screen->Update(0.016f);
    }
    // Press at from, move to each point in turn, release at the last.
    void Drag(CPoint from, const std::vector<CPoint>& path)
    {
        Step(from, true);
        for (CPoint p : path)
            Step(p, true);
        Step(Pointer(), false);
    }
    static CPoint Pointer() { return CMouseState::SGetInstance().GetPositionPoint(); }
    CCursorSequence* Cursor(int32_t id) { return &m_Cursors[size_t(id)]; }

    // The screen as a person sees it, drawn over grey.
    uint32_t Seen(int32_t x, int32_t y) const { return Rgb(*m_ScreenFrame, x, y); }
    void DrawScreen()
    {
        CColor grey(100, 100, 100, 255);
        m_ScreenFrame->Fill(grey);
        m_Screen->DrawToScreen();
    }

    std::unique_ptr<CFrame> m_ScreenFrame = CFrame::MakeOwned(800, 600, 32);
    CScreenWindow* m_Screen = nullptr;
    CTestCursor m_Cursors[15];
    int32_t u = 0;
};

TEST_F(FrameWindowTest, PressesInsideNeverReachTheWindowsBehind)
{
    CProbeWindow* behind = Add(*m_Screen, "behind", CRect{0, 0, 800, 600});
    behind->m_TakesPress = true;
    CJFrameWindow* frame = AddFrameWindow(CRect{100, 100, 300, 250});
    frame->SetMovable(false);
    Take();

    // Not movable, no child under the point, a right press: still taken.
    EXPECT_TRUE(m_Screen->OnMouseDown(0, CPoint{150, 150}));
    EXPECT_TRUE(m_Screen->OnMouseDown(1, CPoint{150, 150}));
    EXPECT_TRUE(m_Screen->OnMouseDoubleClick(0, CPoint{150, 150}, 0));
    EXPECT_EQ(frame->GetRect(), (CRect{100, 100, 300, 250}));
    EXPECT_EQ(m_Screen->GetFirstChild(), frame);
    EXPECT_TRUE(Take().empty());

    // Outside it the window behind gets the press.
    EXPECT_TRUE(m_Screen->OnMouseDown(0, CPoint{50, 50}));
    EXPECT_FALSE(Take().empty());
}

TEST_F(FrameWindowTest, DraggingTheWindowsOwnAreaMovesItAndNeverResizesWithoutAGrip)
{
    CJFrameWindow* frame = AddFrameWindow(CRect{100, 100, 300, 250}, "Tools");
    // Right on the left edge: without a grip that is a move.
    Drag(CPoint{101, 180}, {CPoint{131, 200}, CPoint{141, 170}});
    EXPECT_EQ(frame->GetRect(), (CRect{140, 90, 340, 240}));
    EXPECT_EQ(frame->GetCursor(CPoint{1, 1}), Cursor(0));

    // A fast drag, its last movement and the release seen in one update,
    // ends where it was let go.
    Step(CPoint{200, 150}, true);
    Step(CPoint{210, 160}, true);
    Step(CPoint{250, 200}, false);
    EXPECT_EQ(frame->GetRect(), (CRect{190, 140, 390, 290}));

    // A frame that is not movable stays; the press is still its own.
    frame->SetMovable(false);
    Drag(CPoint{200, 150}, {CPoint{260, 160}});
    EXPECT_EQ(frame->GetRect(), (CRect{190, 140, 390, 290}));
}

TEST_F(FrameWindowTest, EdgeAndCornerZonesChooseTheEdgesAndTheirCursors)
{
    const int32_t w = 60 * u, h = 40 * u;
    CJFrameWindow* frame = AddFrameWindow(CRect{10, 10, 10 + w, 10 + h});
    frame->AddResizeGrip();

    struct Case {
        CPoint at;
        uint32_t edges;
        int32_t hover;
    };
    const Case cases[] = {
        {{3 * u, u}, kEdgeLeft | kEdgeTop, kCursorCanResize},       // corner zone runs 6 units
        {{7 * u, u}, kEdgeTop, kCursorCanMoveY},                     // beyond it: top only
        {{u, 3 * u}, kEdgeLeft | kEdgeTop, kCursorCanResize},
        {{u, h / 2}, kEdgeLeft, kCursorCanMoveX},
        {{w - 1, h / 2}, kEdgeRight, kCursorCanMoveX},
        {{w / 2, h - 1}, kEdgeBottom, kCursorCanMoveY},
        {{w - 1, h - 1}, kEdgeRight | kEdgeBottom, kCursorCanResize},
        {{w - 3 * u, u}, kEdgeRight | kEdgeTop, kCursorCanResizeOther},
        {{u, h - 3 * u}, kEdgeLeft | kEdgeBottom, kCursorCanResizeOther},
        {{2 * u + 1, 2 * u + 1}, 0, 0},
        {{w / 2, h / 2}, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(frame->GetResizeEdges(c.at), c.edges) << c.at.x << "," << c.at.y;
        EXPECT_EQ(frame->GetCursor(c.at), Cursor(c.hover)) << c.at.x << "," << c.at.y;
    }

    // While an edge is dragged the mouse shows the dragging cursor, and the
    // edges of the press hold for the whole drag.
    Step(CPoint{10 + w - 1, 10 + h / 2}, true);
    EXPECT_EQ(CMouseState::SGetInstance().GetCursor(), Cursor(kCursorMovingX));
    Step(CPoint{10 + w + 20, 10 + h / 2 + 30}, true);
    EXPECT_EQ(frame->GetRect(), (CRect{10, 10, 10 + w + 21, 10 + h}));
    EXPECT_EQ(CMouseState::SGetInstance().GetCursor(), Cursor(kCursorMovingX));
    Step(CPoint{10 + w + 20, 10 + h / 2 + 30}, false);

    Drag(CPoint{10, 10}, {CPoint{5, 0}});
    EXPECT_EQ(frame->GetRect(), (CRect{5, 0, 10 + w + 21, 10 + h}));
}

TEST_F(FrameWindowTest, ALeftEdgeHeldAtTheMinimumKeepsWindowAndPointerOnTheEdge)
{
    CJFrameWindow* frame = AddFrameWindow(CRect{0, 0, 0, 0}, "A title to size the window");
    const int32_t minWidth = frame->GetMinWidth();
    const int32_t minHeight = frame->GetMinHeight();
    EXPECT_EQ(minWidth, m_Font->GetTextWidth(CJString("A title to size the window")) + 3);
    EXPECT_EQ(minHeight, std::max(int32_t(m_Font->GetHeight()), 10));
    EXPECT_EQ(AddFrameWindow(CRect{0, 0, 0, 0})->GetMinWidth(), 10) << "no title: at least 10";
    frame->AddResizeGrip();
    frame->SetRect(CRect{200, 100, 200 + minWidth, 300});
    const CRect atMinimum = frame->GetRect();
    const int32_t y = 200;

    // Dragging right would shrink it: window and pointer stay, also over
    // the frames that follow without any movement of the user's.
    Step(CPoint{201, y}, true);
    Step(CPoint{211, y}, true);
    EXPECT_EQ(frame->GetRect(), atMinimum);
    EXPECT_EQ(Pointer(), (CPoint{201, y}));
    Step(Pointer(), true);
    Step(Pointer(), true);
    EXPECT_EQ(frame->GetRect(), atMinimum);

    // Back to the left it grows, the right edge still.
    Step(CPoint{186, y}, true);
    EXPECT_EQ(frame->GetRect(), (CRect{185, 100, 200 + minWidth, atMinimum.bottom}));
    Step(CPoint{186, y}, false);

    // The right edge pulled inside the minimum: the pointer goes back out
    // by what the window was enlarged.
    const int32_t right = frame->GetRect().right;
    Drag(CPoint{right - 1, y}, {CPoint{right - 1 - 40, y}});
    EXPECT_EQ(frame->GetRect().GetWidth(), minWidth);
    EXPECT_EQ(frame->GetRect().left, 185);
    EXPECT_EQ(Pointer(), (CPoint{185 + minWidth - 1, y}));

    // Without a grip SetRect takes any size.
    frame->GetResizeGrip()->Destroy();
    EXPECT_EQ(frame->GetResizeGrip(), nullptr);
    frame->SetRect(CRect{0, 0, 5, 5});
    EXPECT_EQ(frame->GetRect(), (CRect{0, 0, 5, 5}));
}

TEST_F(FrameWindowTest, TheGripResizesFromTheBottomRightCorner)
{
    CJFrameWindow* frame = AddFrameWindow(CRect{100, 100, 300, 250}, "Grip");
    const int32_t minWidth = frame->GetMinWidth(), minHeight = frame->GetMinHeight();
    frame->AddResizeGrip();
    CJResize* grip = frame->GetResizeGrip();
    ASSERT_NE(grip, nullptr);
    EXPECT_GT(grip->GetWidth(), 0);
    EXPECT_EQ(grip->GetWidth(), grip->GetHeight());
    EXPECT_EQ(grip->GetRect().bottom, frame->GetHeight());
    EXPECT_EQ(grip->GetRect().right, frame->GetWidth() - u);
    EXPECT_EQ(grip->GetCursor(CPoint{0, 0}), Cursor(kCursorCanResize));

    const CRect g = grip->GetScreenRect();
    const CPoint on{g.left + 1, g.top + 1};
    Step(on, true);
    Step(CPoint{on.x + 20, on.y + 10}, true);
    EXPECT_EQ(frame->GetRect(), (CRect{100, 100, 320, 260}));
    EXPECT_EQ(CMouseState::SGetInstance().GetCursor(), Cursor(kCursorResizing));
    // The grip follows the corner.
    EXPECT_EQ(grip->GetScreenRect().right, 320 - u);

    // Far past the minimum: held there, the pointer put back on the grip.
    Step(CPoint{on.x - 300, on.y - 300}, true);
    EXPECT_EQ(frame->GetRect(), (CRect{100, 100, 100 + minWidth, 100 + minHeight}));
    EXPECT_EQ(Pointer(), (CPoint{on.x + 20 - (220 - minWidth), on.y + 10 - (160 - minHeight)}));
    Step(Pointer(), false);
}

TEST_F(FrameWindowTest, CloseButtonAndTransparencyToggle)
{
    CJFrameWindow* frame = AddFrameWindow(CRect{100, 100, 400, 300}, "Frame");
    auto* inner = new CJWindow(frame, "inner");
    inner->SetRect(CRect{20, 40, 60, 60});
    frame->AddChild(inner, kAsIsNoGrow);
    frame->AddCloseButton();
    frame->AddTransparencyToggle();
    CJButton* close = frame->GetCloseButton();
    CJToggleRadioButton* toggle = frame->GetTransparencyToggle();
    ASSERT_NE(close, nullptr);
    ASSERT_NE(toggle, nullptr);
    EXPECT_EQ(close->GetRect(), (CRect{300 - 2 * u - 13, 2 * u, 300 - 2 * u, 2 * u + 13}));
    EXPECT_EQ(toggle->GetRect(), (CRect{300 - 2 * u - 31, 2 * u, 300 - 2 * u - 18, 2 * u + 13}));
    // Both follow a resize.
    frame->SetRect(CRect{100, 100, 450, 300});
    EXPECT_EQ(close->GetRect().right, 350 - 2 * u);
    EXPECT_EQ(toggle->GetRect().right, close->GetRect().left - 5);

    // A real click on the toggle: the window and everything in it turn
    // transparent; a second one turns them back.
    const CPoint onToggle{toggle->GetScreenRect().left + 6, toggle->GetScreenRect().top + 6};
    Step(onToggle, true);
    Step(onToggle, false);
    EXPECT_TRUE(frame->IsTransparent());
    EXPECT_TRUE(inner->IsTransparent());
    EXPECT_NE(toggle->IsChecked(), 0);
    Step(onToggle, true);
    Step(onToggle, false);
    EXPECT_FALSE(frame->IsTransparent());
    EXPECT_FALSE(inner->IsTransparent());
    EXPECT_EQ(toggle->IsChecked(), 0);

    // Pressed, moved off and released: nothing. A real click closes it.
    const CPoint onClose{close->GetScreenRect().left + 6, close->GetScreenRect().top + 6};
    Drag(onClose, {CPoint{onClose.x - 100, onClose.y + 100}});
    ASSERT_EQ(m_Screen->GetFirstChild(), frame);
    Step(onClose, true);
    Step(onClose, false);
    EXPECT_FALSE(m_Screen->HasChildren());
}

TEST_F(FrameWindowTest, SkinsDrawTheRealWindowsAsTheReferencesShow)
{
    const int32_t fh = int32_t(m_Font->GetHeight());

    // Classic, no title: no bar, nothing inset, the texture right under the
    // top bevel.
    CJFrameWindow* plain = AddFrameWindow(CRect{10, 10, 110, 90});
    EXPECT_EQ(plain->GetClientTopInset(), 0);
    DrawScreen();
    EXPECT_EQ(Seen(60, 10 + 3), 0x2050A0u);

    // With a title: the bar, then the groove under it.
    CJFrameWindow* titled = AddFrameWindow(CRect{200, 10, 300, 90}, "T");
    EXPECT_EQ(titled->GetClientTopInset(), fh + 4 * u + 2);
    DrawScreen();
    EXPECT_EQ(Seen(200 + 3, 10 + fh + 4 * u - 1), 0xA05020u);
    EXPECT_EQ(Seen(200 + 80, 10 + fh + 4 * u + 1),
              (Blend(0x20, 0, 128) << 16) | (Blend(0x50, 0, 128) << 8) | Blend(0xA0, 0, 128));

    // Transparent (the toggle's doing): the bevel and the title, no texture.
    titled->SetTransparent(true);
    DrawScreen();
    EXPECT_EQ(Seen(250, 70), 0x646464u);
    EXPECT_EQ(Seen(200 + 3, 10 + fh + 4 * u - 1), 0x646464u);
    EXPECT_NE(Seen(200, 50), 0x646464u) << "the bevel stays";

    // Alpha: the special top-right piece once the window has a close button.
    auto* framed = new CThemeSpecifier("Framed");
    FrameWithHotSpot("Plain Right", 2, 0);
    FrameWithHotSpot("Close Right", 2, 0);
    auto* alpha = new CJFrameWindow(framed, "");
    framed->Destroy();
    alpha->SetRect(CRect{400, 10, 480, 70});
    m_Screen->AddChild(alpha, kAsIsNoGrow);
    DrawScreen();
    EXPECT_EQ(Seen(440, 40), 0x30C030u);
    EXPECT_EQ(Seen(400, 10), 0xFF0000u);
    EXPECT_EQ(Seen(479, 10), 0x0000FFu);
    alpha->AddCloseButton();
    DrawScreen();
    EXPECT_EQ(Seen(479, 10), 0xFFFF00u);
}

} // namespace
