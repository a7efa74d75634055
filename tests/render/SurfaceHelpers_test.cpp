#include "render/SurfaceHelpers.h"

#include "RenderTestSupport.h"
#include "blit/CBlitTypeList.h"
#include "blit/LineClip.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace {

// The part of the segment inside [left, right-1] x [top, bottom-1], in
// doubles (Liang-Barsky); false when none is.
bool ReferenceClip(const CRect& c, double& x1, double& y1, double& x2, double& y2)
{
    const double dx = x2 - x1, dy = y2 - y1;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - c.left, (c.right - 1) - x1, y1 - c.top, (c.bottom - 1) - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1)
        return false;
    const double ax = x1 + t0 * dx, ay = y1 + t0 * dy, bx = x1 + t1 * dx, by = y1 + t1 * dy;
    x1 = ax, y1 = ay, x2 = bx, y2 = by;
    return true;
}

const CRect kClip = {-40, 10, 200, 130};

// Distance of (px, py) from the infinite line through the segment.
double LineDistance(double x1, double y1, double x2, double y2, double px, double py)
{
    const double dx = x2 - x1, dy = y2 - y1, length = std::hypot(dx, dy);
    return length == 0 ? std::hypot(px - x1, py - y1) : std::fabs(dy * (px - x1) - dx * (py - y1)) / length;
}

// Crossings are computed through a float slope and truncated toward zero,
// so a moved end lies inside, within about a pixel of the true line (not
// of the true crossing: on a steep line a fraction of a pixel across is
// many along). Segments the reference keeps for more than a graze are
// kept, and what is kept passes near the rectangle.
void CheckAgainstReference(int32_t x1, int32_t y1, int32_t x2, int32_t y2, double tolerance)
{
    SCOPED_TRACE(testing::Message() << x1 << "," << y1 << " - " << x2 << "," << y2);
    double rx1 = x1, ry1 = y1, rx2 = x2, ry2 = y2;
    const bool reference = ReferenceClip(kClip, rx1, ry1, rx2, ry2);
    const bool longPiece = reference && std::hypot(rx2 - rx1, ry2 - ry1) > 2.0 * tolerance;
    int32_t a = x1, b = y1, c = x2, d = y2;
    const bool kept = ClipLine(kClip, a, b, c, d);
    float fa = float(x1), fb = float(y1), fc = float(x2), fd = float(y2);
    const bool keptFloat
        = ClipLineFloat(float(kClip.left), float(kClip.top), float(kClip.right), float(kClip.bottom), fa, fb, fc, fd);
    if (longPiece) {
        EXPECT_TRUE(kept);
        EXPECT_TRUE(keptFloat);
    }
    if (kept) {
        EXPECT_TRUE(kClip.ContainsPoint(a, b) && kClip.ContainsPoint(c, d));
        EXPECT_LE(LineDistance(x1, y1, x2, y2, a, b), tolerance);
        EXPECT_LE(LineDistance(x1, y1, x2, y2, c, d), tolerance);
    } else {
        EXPECT_EQ(CRect({a, b, c, d}), CRect({x1, y1, x2, y2}));
    }
    if (keptFloat) {
        EXPECT_TRUE(kClip.left <= fa && fa < kClip.right && kClip.top <= fb && fb < kClip.bottom);
        EXPECT_TRUE(kClip.left <= fc && fc < kClip.right && kClip.top <= fd && fd < kClip.bottom);
        EXPECT_LE(LineDistance(x1, y1, x2, y2, fa, fb), tolerance);
        EXPECT_LE(LineDistance(x1, y1, x2, y2, fc, fd), tolerance);
    }
}

TEST(LineClipping, RandomSegmentsAgreeWithAReference)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> near(-300, 400);
    for (int i = 0; i < 20000; ++i)
        CheckAgainstReference(near(random), near(random), near(random), near(random), 1.5);
}

TEST(LineClipping, SegmentsReachingFarBeyondSixteenBitsStayInside)
{
    std::mt19937 random(11);
    std::uniform_int_distribution<int32_t> far(-1000000, 1000000);
    std::uniform_int_distribution<int32_t> near(-20, 220);
    for (int i = 0; i < 5000; ++i) {
        // One end near the rectangle, so most segments cross it.
        CheckAgainstReference(near(random), near(random), far(random), far(random), 2.0);
        CheckAgainstReference(far(random), far(random), far(random), far(random), 2.0);
    }
}

struct SDegenerate {
    const char* name;
    CRect segment; // x1, y1, x2, y2
    bool kept;
    CRect result;
};

class DegenerateLines : public testing::TestWithParam<SDegenerate> {};

TEST_P(DegenerateLines, ClipAsExpectedInIntegersAndFloats)
{
    const SDegenerate& c = GetParam();
    int32_t a = c.segment.left, b = c.segment.top, x = c.segment.right, y = c.segment.bottom;
    EXPECT_EQ(ClipLine(kClip, a, b, x, y), c.kept);
    if (c.kept) {
        EXPECT_EQ(CRect({a, b, x, y}), c.result);
    }
    float fa = float(c.segment.left), fb = float(c.segment.top), fx = float(c.segment.right),
          fy = float(c.segment.bottom);
    EXPECT_EQ(ClipLineFloat(-40.0f, 10.0f, 200.0f, 130.0f, fa, fb, fx, fy), c.kept);
    if (c.kept) {
        EXPECT_EQ(CRect({int32_t(fa), int32_t(fb), int32_t(fx), int32_t(fy)}), c.result);
    }
}

INSTANTIATE_TEST_SUITE_P(
    All, DegenerateLines,
    testing::Values(SDegenerate{"PointInside", {5, 20, 5, 20}, true, {5, 20, 5, 20}},
                    SDegenerate{"PointOutside", {500, 20, 500, 20}, false, {}},
                    SDegenerate{"PointOnRightEdgeIsOutside", {200, 20, 200, 20}, false, {}},
                    SDegenerate{"AlongTopEdge", {-100, 10, 300, 10}, true, {-40, 10, 199, 10}},
                    SDegenerate{"AlongLeftEdge", {-40, -50, -40, 500}, true, {-40, 10, -40, 129}},
                    SDegenerate{"AlongBottomEdgeOutside", {0, 130, 100, 130}, false, {}},
                    SDegenerate{"VerticalFarOutsideSixteenBits", {7, -900000, 7, 900000}, true, {7, 10, 7, 129}},
                    SDegenerate{
                        "HorizontalFarOutsideSixteenBits", {-900000, 99, 900000, 99}, true, {-40, 99, 199, 99}}),
    [](const testing::TestParamInfo<SDegenerate>& param) { return std::string(param.param.name); });

TEST(LineClipping, FloatSegmentWithANaNEndIsDropped)
{
    float x1 = 5, y1 = 20, x2 = std::nanf(""), y2 = 30;
    EXPECT_FALSE(ClipLineFloat(-40.0f, 10.0f, 200.0f, 130.0f, x1, y1, x2, y2));
    EXPECT_EQ(x1, 5.0f);
}

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
