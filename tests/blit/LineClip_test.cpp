#include "blit/LineClip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <tuple>
#include <type_traits>

namespace {

struct SClipCase {
    const char* name;
    CRect in; // x1, y1, x2, y2
    bool kept;
    CRect out;
};

class LineClip : public testing::TestWithParam<SClipCase> {};

TEST_P(LineClip, ClipsToTheHalfOpenRectangle)
{
    const SClipCase c = GetParam();
    const CRect clip = {10, 20, 110, 70};
    int32_t x1 = c.in.left, y1 = c.in.top, x2 = c.in.right, y2 = c.in.bottom;
    ASSERT_EQ(ClipLine(clip, x1, y1, x2, y2), c.kept);
    const CRect got = {x1, y1, x2, y2};
    EXPECT_EQ(got, c.kept ? c.out : c.in);
}

INSTANTIATE_TEST_SUITE_P(
    All, LineClip,
    testing::Values(SClipCase{"Inside", {20, 30, 40, 50}, true, {20, 30, 40, 50}},
                    SClipCase{"WhollyAbove", {20, 0, 90, 10}, false, {}},
                    SClipCase{"VerticalCrossing", {50, 0, 50, 500}, true, {50, 20, 50, 69}},
                    SClipCase{"HorizontalCrossing", {-5, 40, 500, 40}, true, {10, 40, 109, 40}},
                    SClipCase{"OneEndInside", {50, 40, 50, -100}, true, {50, 40, 50, 20}},
                    SClipCase{"DiagonalThroughCorner", {0, 10, 200, 210}, true, {10, 20, 59, 69}},
                    SClipCase{"MissingTheCorner", {0, 60, 30, 90}, false, {}},
                    SClipCase{"FarOutsideTheIntRange", {-2000000000, 40, 2000000000, 41}, true, {10, 40, 109, 40}}),
    [](const testing::TestParamInfo<SClipCase>& param) { return std::string(param.param.name); });

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


// The exact cut to a closed box, in floats as in doubles: a segment is kept
// when any of it lies in the box (sampled), an end inside stays to the bit,
// and a moved end lies on the box's border and on the segment's line.
template <class T>
void CheckCut(std::mt19937& random)
{
    const T left = -40, top = 10, right = 199, bottom = 129;
    std::uniform_real_distribution<double> near(-300.0, 400.0);
    const auto inside = [&](double x, double y) { return left <= x && x <= right && top <= y && y <= bottom; };
    for (int i = 0; i < 5000; ++i) {
        const T x1 = T(near(random)), y1 = T(near(random)), x2 = T(near(random)), y2 = T(near(random));
        SCOPED_TRACE(testing::Message() << x1 << "," << y1 << " - " << x2 << "," << y2);
        bool sampledInside = false;
        for (int s = 0; s <= 1000 && !sampledInside; ++s) {
            const double t = s / 1000.0;
            sampledInside = inside(x1 + (x2 - x1) * t, y1 + (y2 - y1) * t);
        }
        T a = x1, b = y1, c = x2, d = y2;
        const bool kept = CutLineToBox(left, top, right, bottom, a, b, c, d);
        if (sampledInside) {
            EXPECT_TRUE(kept);
        }
        if (!kept)
            continue;
        const double tolerance = std::is_same_v<T, float> ? 1e-3 : 1e-9;
        for (const auto& [x, y, ox, oy] : {std::tuple{a, b, x1, y1}, std::tuple{c, d, x2, y2}}) {
            EXPECT_TRUE(inside(x, y));
            if (inside(ox, oy)) {
                EXPECT_EQ(x, ox);
                EXPECT_EQ(y, oy);
                continue;
            }
            const double border = std::min({std::fabs(x - left), std::fabs(x - right), std::fabs(y - top),
                                            std::fabs(y - bottom)});
            EXPECT_LE(border, tolerance * 400);
            EXPECT_LE(LineDistance(x1, y1, x2, y2, x, y), tolerance * 400);
        }
    }
}

TEST(LineCutting, KeepsWhatLiesInTheClosedBoxAndMovesOnlyTheEndsOutside)
{
    std::mt19937 random(5);
    CheckCut<double>(random);
    CheckCut<float>(random);
}

TEST(LineCutting, AnEdgeOfTheBoxIsInside)
{
    double x1 = -100, y1 = 129, x2 = 300, y2 = 129;
    ASSERT_TRUE(CutLineToBox(-40.0, 10.0, 199.0, 129.0, x1, y1, x2, y2));
    EXPECT_EQ(CRect({int32_t(x1), int32_t(y1), int32_t(x2), int32_t(y2)}), CRect({-40, 129, 199, 129}));
    float a = 5, b = 130, c = 50, d = 130;
    EXPECT_FALSE(CutLineToBox(-40.0f, 10.0f, 199.0f, 129.0f, a, b, c, d));
}

} // namespace
