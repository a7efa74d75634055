#include "render/SurfaceHelpers.h"

#include "RenderTestSupport.h"
#include "blit/CBlitTypeList.h"

namespace {

class SurfaceHelpers : public CRenderFixture {};

TEST_F(SurfaceHelpers, DrawRectIsFourFillsInAnyCornerOrder)
{
    auto frame = CFrame::MakeOwned(20, 20, 32);
    CLoggingProxy a(frame.get()), b(frame.get());
    CColor red(255, 0, 0, 255);
    DrawRect(a, {2, 3, 9, 12}, red);
    DrawRectCoords(b, 9, 12, 2, 3, red);
    const std::vector<std::string> expected = {"FillRect 2,3,9,4 #FFFF0000", "FillRect 2,11,9,12 #FFFF0000",
                                               "FillRect 2,3,3,12 #FFFF0000", "FillRect 8,3,9,12 #FFFF0000"};
    EXPECT_EQ(a.log, expected);
    EXPECT_EQ(b.log, expected);
}

TEST_F(SurfaceHelpers, OnePixelWideTranslucentRectBlendsEndsThreeTimes)
{
    auto frame = CFrame::MakeOwned(4, 6, 32);
    CColor grey(200, 200, 200, 128);
    DrawRectCoords(*frame, 1, 1, 2, 5, grey);
    // Column fills twice, top and bottom ends twice more.
    const uint32_t middle = frame->GetRawPixel(1, 2), end = frame->GetRawPixel(1, 1);
    EXPECT_NE(middle, 0u);
    EXPECT_NE(end, middle);
    EXPECT_EQ(frame->GetRawPixel(1, 4), end);
    EXPECT_EQ(frame->GetRawPixel(0, 2), 0u);
}

TEST_F(SurfaceHelpers, BlitAtPutsTheHotSpotOnThePoint)
{
    auto destination = CFrame::MakeOwned(200, 200, 32);
    auto source = PatternFrame(8, 6, 1);
    source->SetOffset(-10, -20);
    CLoggingProxy log(destination.get());
    BlitAt(log, *source, 100, 100, GetNormalBlitType());
    ASSERT_EQ(log.log.size(), 1u);
    EXPECT_EQ(log.log[0], "Blit -10,-20,-2,-14 -> 90,80,98,86");
}

TEST_F(SurfaceHelpers, RemapRectCoordsSkipsReversedRectangles)
{
    auto frame = CFrame::MakeOwned(8, 8, 8);
    CLoggingProxy log(frame.get());
    uint8_t table[256] = {};
    RemapRectCoords(log, 5, 1, 2, 4, table);
    RemapRectCoords(log, 2, 1, 5, 4, table);
    EXPECT_EQ(log.log, std::vector<std::string>({"RemapRect 2,1,5,4"}));
}

// Draws one pixel of its colour at its position.
class CDot : public CRenderableObject {
public:
    bool Render(CFrameInterface& target) override
    {
        const int32_t x = int32_t(m_X), y = int32_t(m_Y);
        m_DrawnBounds = {x, y, x + 1, y + 1};
        if (m_DrawEnabled)
            target.SetPixel(x, y, m_Color);
        return true;
    }
};

TEST_F(SurfaceHelpers, RenderableHitTestReadsWhatItWouldDraw)
{
    CDot dot;
    dot.m_X = -300, dot.m_Y = 4000;
    dot.m_Color = CColor(10, 20, 30, 40);
    CColor out(1, 2, 3, 4);
    EXPECT_FALSE(dot.HitTest(-299, 4000, &out));
    EXPECT_EQ(out, CColor(1, 2, 3, 4));
    ASSERT_TRUE(dot.HitTest(-300, 4000, &out));
    EXPECT_EQ(out, CColor(10, 20, 30, 40));
    // The probe's own colour counts as not drawn.
    dot.m_Color = CColor(250, 0, 250, 0);
    EXPECT_FALSE(dot.HitTest(-300, 4000, nullptr));
    // Beyond where a frame can sit nothing is hit, and nothing breaks.
    dot.m_X = 100000, dot.m_Y = 0;
    EXPECT_FALSE(dot.HitTest(100000, 0, nullptr));
}

} // namespace
