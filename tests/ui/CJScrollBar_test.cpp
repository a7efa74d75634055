// Scroll bars: the parts laid out from the size and range, clicks and drags
// through the screen window, bars that stand free and bars that scroll
// their window.
#include "ControlTestSupport.h"

#include "ui/CJScrollBar.h"

#include <cmath>
#include <limits>

namespace {

using ScrollBarTest = ControlTest;

TEST_F(ScrollBarTest, PartsFollowTheSizeAndTheRange)
{
    auto* bar = Put(new CJScrollBar(m_Parent, kScrollBarVertical), 10, 10);
    EXPECT_EQ(bar->GetRect(), (CRect{10, 10, 25, 425}));
    bar->SetSize(15, 200);
    EXPECT_EQ(bar->GetFirstArrowRect(), (CRect{0, 0, 15, 15}));
    EXPECT_EQ(bar->GetSecondArrowRect(), (CRect{0, 185, 15, 200}));
    EXPECT_EQ(bar->GetTrackRect(), (CRect{0, 15, 15, 185}));
    bar->SetRange(0, 170);
    EXPECT_EQ(bar->GetThumbRect(), (CRect{0, 15, 15, 100})) << "170 x 170 / 340 = 85 pixels";
    bar->SetValue(100, true);
    EXPECT_EQ(bar->GetThumbRect(), (CRect{0, 65, 15, 150})) << "half a pixel per unit";
    bar->SetValue(5000, true);
    EXPECT_EQ(bar->GetValue(), 170.0f);
    EXPECT_EQ(bar->GetThumbRect().bottom, 185) << "at the end of the track";
    bar->SetRange(0, 100000);
    EXPECT_EQ(bar->GetValue(), 170.0f);
    EXPECT_EQ(bar->GetThumbRect().GetHeight(), 9) << "never shorter than 9 pixels";
    bar->SetRange(0, 50);
    EXPECT_EQ(bar->GetValue(), 50.0f) << "the value comes into a smaller range";
    EXPECT_EQ(bar->GetThumbRect().bottom, 185) << "and the thumb with it";

    bar->SetRange(0, 0);
    EXPECT_EQ(bar->GetThumbRect(), bar->GetTrackRect()) << "nothing to scroll: the whole track";
    bar->SetSize(15, 36);
    EXPECT_EQ(bar->GetThumbRect(), (CRect{0, 15, 15, 24})) << "a short track still gets 9 pixels";

    auto* across = Put(new CJScrollBar(m_Parent, kScrollBarHorizontal), 30, 10);
    across->SetSize(200, 15);
    EXPECT_EQ(across->GetFirstArrowRect(), (CRect{0, 0, 15, 15}));
    EXPECT_EQ(across->GetSecondArrowRect(), (CRect{185, 0, 200, 15}));
    EXPECT_EQ(across->GetTrackRect(), (CRect{15, 0, 185, 15}));
}

TEST_F(ScrollBarTest, ArrowsTrackAndThumbMoveTheValueAndTellTheParent)
{
    auto* bar = Put(new CJScrollBar(m_Parent, kScrollBarVertical), 100, 0);
    bar->SetSize(15, 200);
    bar->SetRange(0, 170);
    bar->SetValue(50, true);
    Take();
    ClickAt(105, 5);
    EXPECT_EQ(bar->GetValue(), 49.0f) << "the up arrow: one line";
    ClickAt(105, 195);
    EXPECT_EQ(bar->GetValue(), 50.0f);
    ClickAt(105, 180);
    EXPECT_EQ(bar->GetValue(), 60.0f) << "the track after the thumb: one page";
    ClickAt(105, 16);
    EXPECT_EQ(bar->GetValue(), 50.0f);
    EXPECT_EQ(Changes(), 4);

    MoveTo(105, bar->GetThumbRect().top + 5);
    Press();
    EXPECT_EQ(bar->GetPressedPart(), uint32_t(kScrollPartThumb));
    EXPECT_EQ(bar->GetValue(), 50.0f) << "pressing the thumb moves nothing";
    MoveTo(105, bar->GetThumbRect().top + 5 + 20);
    EXPECT_EQ(bar->GetValue(), 90.0f) << "20 pixels at half a pixel per unit";
    MoveTo(105, 400);
    EXPECT_EQ(bar->GetValue(), 170.0f);
    Release();
    EXPECT_EQ(bar->GetPressedPart(), uint32_t(kScrollPartNone));
    MoveTo(105, 20);
    EXPECT_EQ(bar->GetValue(), 170.0f);

    MoveTo(105, 5);
    Press(2);
    Release(2);
    EXPECT_EQ(bar->GetValue(), 170.0f) << "other buttons are taken and ignored";
    m_Screen->OnMouseWheel(3, CPoint{105, 100});
    EXPECT_EQ(bar->GetValue(), 167.0f) << "the wheel: lines against its amount";

    // Cursors by part, vertical then horizontal.
    const int32_t thumbY = bar->GetThumbRect().top + 1;
    EXPECT_EQ(bar->GetCursor(CPoint{5, thumbY}), CJWindow::GetStandardCursor(9));
    EXPECT_EQ(bar->GetCursor(CPoint{5, 5}), CJWindow::GetStandardCursor(15));
    EXPECT_EQ(bar->HitTestPart(CPoint{5, 20}), uint32_t(kScrollPartTrackBefore));
    EXPECT_EQ(bar->HitTestPart(CPoint{5, 195}), uint32_t(kScrollPartSecondArrow));
}

TEST_F(ScrollBarTest, AThumbThatCannotMoveIgnoresDragsAndNoNaNReachesTheValue)
{
    auto* bar = Put(new CJScrollBar(m_Parent, kScrollBarVertical), 100, 0);
    bar->SetSize(15, 200);
    bar->SetRange(0, 0);
    MoveTo(105, 20);
    Press();
    MoveTo(105, 120);
    Release();
    EXPECT_EQ(bar->GetValue(), 0.0f);

    bar->SetSize(15, 38);
    bar->SetRange(0, 40);
    EXPECT_LE(bar->GetPixelsPerUnit(), 0.0f) << "an 8-pixel track and a 9-pixel thumb";
    MoveTo(105, bar->GetThumbRect().top + 1);
    Press();
    MoveTo(105, 30);
    MoveTo(105, 0);
    Release();
    EXPECT_FALSE(std::isnan(bar->GetValue()));
    EXPECT_EQ(bar->GetValue(), 0.0f);

    bar->SetValue(std::numeric_limits<float>::quiet_NaN(), false);
    bar->SetRange(std::numeric_limits<float>::quiet_NaN(), 10);
    EXPECT_EQ(bar->GetValue(), 0.0f);
    EXPECT_EQ(bar->GetMaximum(), 40.0f);
}

TEST_F(ScrollBarTest, AWindowsBarsFollowItsContentAndScrollIt)
{
    auto* view = Add(*m_Parent, "view", CRect{10, 10, 210, 160});
    view->EnableScrollBars(true);
    view->SetScrollSize(185, 600);
    const CJWindowScroll* scroll = view->GetScroll();
    ASSERT_TRUE(scroll);
    auto* bar = dynamic_cast<CJScrollBar*>(scroll->verticalBar);
    ASSERT_TRUE(bar) << "a real bar";
    EXPECT_EQ(scroll->horizontalBar, nullptr);
    EXPECT_EQ(bar->GetParent(), view);
    EXPECT_EQ(bar->GetScrollWindow(), view);
    EXPECT_EQ(bar->GetRect(), (CRect{185, 0, 200, 150})) << "along the right edge, as tall as the view";
    EXPECT_EQ(bar->GetMaximum(), 450.0f);
    EXPECT_EQ(bar->GetLineStep(), 10.0f);
    EXPECT_EQ(bar->GetPageStep(), 150.0f);

    const int32_t screenX = bar->GetScreenRect().left + 5;
    ClickAt(screenX, bar->GetScreenRect().bottom - 5);
    EXPECT_EQ(view->GetScrollOffsetY(), 10) << "the down arrow scrolls a line";
    EXPECT_EQ(bar->GetRect(), (CRect{185, 10, 200, 160})) << "the bar stays where the view shows it";
    const int32_t thumbY = bar->GetScreenRect().top + bar->GetThumbRect().top + 2;
    MoveTo(screenX, thumbY);
    Press();
    MoveTo(screenX, thumbY + 30);
    Release();
    const int32_t expected = int32_t(10.0f + 30.0f / bar->GetPixelsPerUnit());
    EXPECT_EQ(view->GetScrollOffsetY(), expected);
    EXPECT_EQ(int32_t(bar->GetValue()), expected);
    m_Screen->OnMouseWheel(-100, CPoint{50, 50});
    EXPECT_EQ(view->GetScrollOffsetY(), 450) << "the wheel over the view scrolls it, to the end at most";

    view->SetScrollSize(300, 900);
    ASSERT_TRUE(scroll->horizontalBar);
    EXPECT_EQ(bar->GetRect().GetHeight(), 135) << "room left for the horizontal bar";
    EXPECT_EQ(bar->GetMaximum(), 900.0f - 135.0f);
    view->SetScrollSize(100, 100);
    EXPECT_EQ(view->GetScroll() ? view->GetScroll()->verticalBar : nullptr, nullptr) << "content fits: no bar";
    EXPECT_EQ(view->GetScrollOffsetY(), 0);
}

TEST_F(ScrollBarTest, RectanglesAreCutShortOfAVerticalBar)
{
    auto* bar = Put(new CJScrollBar(m_Parent, kScrollBarVertical), 100, 20);
    bar->SetSize(15, 100);
    const CPoint origin{90, 0};
    CRect row{0, 30, 20, 40};
    EXPECT_TRUE(bar->ClipRectToBar(row, origin));
    EXPECT_EQ(row, (CRect{0, 30, 9, 40})) << "stops short of the bar's left";
    CRect right{15, 30, 60, 40};
    EXPECT_TRUE(bar->ClipRectToBar(right, origin));
    EXPECT_EQ(right, (CRect{26, 30, 60, 40})) << "begins past the bar";
    CRect across{0, 50, 60, 60};
    EXPECT_FALSE(bar->ClipRectToBar(across, origin)) << "a rectangle reaching past both sides stays";
    CRect above{0, 0, 60, 10};
    EXPECT_FALSE(bar->ClipRectToBar(above, origin));
    EXPECT_EQ(above, (CRect{0, 0, 60, 10}));
}

TEST_F(ScrollBarTest, APressedArrowIsDrawnSunkenWithItsGlyphMovedDownAndRight)
{
    auto* bar = Put(new CJScrollBar(m_Parent, kScrollBarVertical), 100, 0);
    bar->SetSize(15, 200);
    bar->SetRange(0, 170);
    bar->SetValue(50, true);
    // The glyph's brightest pixels inside the arrow, as a bounding box.
    auto glyphBox = [&] {
        Draw();
        uint32_t brightest = 0;
        for (int32_t y = 185; y < 200; ++y)
            for (int32_t x = 100; x < 115; ++x)
                brightest = std::max(brightest, Rgb(*m_Canvas, x, y) & 0xFF);
        CRect box{1000, 1000, -1, -1};
        for (int32_t y = 185; y < 200; ++y)
            for (int32_t x = 100; x < 115; ++x)
                if ((Rgb(*m_Canvas, x, y) & 0xFF) == brightest) {
                    box.left = std::min(box.left, x);
                    box.top = std::min(box.top, y);
                    box.right = std::max(box.right, x);
                    box.bottom = std::max(box.bottom, y);
                }
        return box;
    };
    const CRect raised = glyphBox();
    MoveTo(105, 195);
    Press();
    EXPECT_EQ(bar->GetPressedPart(), uint32_t(kScrollPartSecondArrow));
    const CRect pressed = glyphBox();
    Release();
    EXPECT_EQ(pressed.left, raised.left + 1);
    EXPECT_EQ(pressed.top, raised.top + 1);
    EXPECT_EQ(glyphBox(), raised);
}

} // namespace
