#include "render/CPointPath.h"

#include "blit/CColor.h"
#include "images/CFrame.h"
#include "render/RegisterRenderClasses.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

void Add(CPointPath& path, std::initializer_list<CFPoint> points)
{
    for (const CFPoint& p : points)
        path.InsertPoint(p.x, p.y, CPointPath::kAppend);
}

TEST(PointPath, InsertionSkipsOnlyTheRepeatOfThePointAtTheIndex)
{
    CPointPath path;
    Add(path, {{1, 1}, {1, 1}, {2, 2}});
    EXPECT_EQ(path.GetCount(), 2u);
    // Equal to the point at index 0: nothing; equal only to the one after it: inserted.
    path.InsertPoint(1, 1, 0);
    EXPECT_EQ(path.GetCount(), 2u);
    path.InsertPoint(2, 2, 0);
    EXPECT_EQ(path.GetCount(), 3u);
    EXPECT_EQ(path.GetPoint(1), (CFPoint{2, 2}));
    path.Close();
    EXPECT_EQ(path.GetCount(), 4u);
    path.Close();
    EXPECT_EQ(path.GetCount(), 4u);
}

struct ContainsCase {
    const char* name;
    std::vector<CFPoint> points;
    CFPoint probe;
    bool inside;
};

class PointPathContainsTest : public testing::TestWithParam<ContainsCase> {};

TEST_P(PointPathContainsTest, CountsQuadrantWinding)
{
    CPointPath path;
    for (const CFPoint& p : GetParam().points)
        path.InsertPoint(p.x, p.y, CPointPath::kAppend);
    EXPECT_EQ(path.ContainsPoint(GetParam().probe.x, GetParam().probe.y), GetParam().inside);
}

const std::vector<CFPoint> kSquare{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
const std::vector<CFPoint> kOpenSquare{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
const std::vector<CFPoint> kTriangle{{0, 0}, {20, 10}, {0, 20}, {0, 0}};
const std::vector<CFPoint> kBackwards{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}};
// An L shape: its notch is inside the box but outside the path.
const std::vector<CFPoint> kEll{{0, 0}, {10, 0}, {10, 4}, {4, 4}, {4, 10}, {0, 10}, {0, 0}};

const ContainsCase kContainsCases[] = {
    {"SquareCentre", kSquare, {5, 5}, true},
    {"OutsideTheBox", kSquare, {15, 5}, false},
    {"OpenSquareReachesOnlyThree", kOpenSquare, {5, 5}, false},
    {"Clockwise", kBackwards, {5, 5}, true},
    {"TriangleInside", kTriangle, {5, 10}, true},
    {"TriangleOutsideInTheBox", kTriangle, {18, 2}, false},
    {"EllArm", kEll, {2, 8}, true},
    {"EllNotch", kEll, {7, 7}, false},
    {"OnePoint", {{3, 3}}, {3, 3}, false},
};

INSTANTIATE_TEST_SUITE_P(Paths, PointPathContainsTest, testing::ValuesIn(kContainsCases),
                         [](const testing::TestParamInfo<ContainsCase>& p) { return std::string(p.param.name); });

TEST(PointPath, BoundsWidenDegenerateAxesAndCentroidSnapsOnlyX)
{
    CPointPath one;
    one.InsertPoint(5.0f, 7.0f, CPointPath::kAppend);
    EXPECT_EQ(std::vector<int32_t>(one.GetBounds(), one.GetBounds() + 4), (std::vector<int32_t>{5, 7, 6, 8}));
    CPointPath fractional;
    fractional.InsertPoint(5.2f, 7.8f, CPointPath::kAppend);
    EXPECT_EQ(std::vector<int32_t>(fractional.GetBounds(), fractional.GetBounds() + 4),
              (std::vector<int32_t>{5, 7, 6, 8}));

    CPointPath path;
    Add(path, {{-1.0f, 0.02f}, {1.09f, 0.02f}, {-1.0f, 0.02f}});
    // The repeated first point is left out of the mean: x = 0.045 snaps to 0.
    EXPECT_EQ(path.GetCentroid().x, 0.0f);
    EXPECT_FLOAT_EQ(path.GetCentroid().y, 0.02f);
}

TEST(PointPath, EdgesAndShapeFlags)
{
    CPointPath square;
    Add(square, {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}});
    ASSERT_EQ(square.GetEdgeCount(), 4u);
    EXPECT_FLOAT_EQ(square.GetEdge(0).normalX, 0.0f);
    EXPECT_FLOAT_EQ(square.GetEdge(0).normalY, -1.0f);
    EXPECT_FLOAT_EQ(square.GetEdge(1).length, 10.0f);
    EXPECT_EQ(square.GetFlags(), CPointPath::kFullTurn);

    CPointPath ell;
    Add(ell, {{0, 0}, {10, 0}, {10, 4}, {4, 4}, {4, 10}, {0, 10}, {0, 0}});
    EXPECT_EQ(ell.GetFlags(), CPointPath::kFullTurn | CPointPath::kNotConvex);
    // Inserting drops the cache, which is built again on demand.
    ell.InsertPoint(20, 20, CPointPath::kAppend);
    EXPECT_EQ(ell.GetEdgeCount(), 7u);
}

// Whether the pixel got any red.
bool Reddened(const CFrame& frame, uint32_t x, uint32_t y)
{
    return frame.Row(y)[4 * x + 2] != 0;
}

// Lines go through the line drawer the renderables install, as in the program.
TEST(PointPath, DrawingPointsLinesAndNothing)
{
    RegisterRenderClasses();
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(30, 30, 32);
    CColor red(255, 0, 0, 255);

    CPointPath single;
    single.InsertPoint(10.0f, 10.0f, CPointPath::kAppend);
    single.Draw(*frame, 2.0f, 3.0f, red, false, 0, 0);
    uint32_t set = 0;
    for (uint32_t y = 0; y < 30; ++y)
        for (uint32_t x = 0; x < 30; ++x)
            set += frame->Row(y)[4 * x + 2] == 255;
    EXPECT_EQ(set, 41u); // the pixel and the 11 x 11 outline
    EXPECT_EQ(frame->Row(13)[4 * 12 + 2], 255);
    EXPECT_EQ(frame->Row(8)[4 * 7 + 2], 255);

    CPointPath path;
    Add(path, {{5, 5}, {15, 5}, {15, 15}, {5, 15}});
    const auto drawn = [&](uint32_t pointsLeftOut) {
        std::unique_ptr<CFrame> f = CFrame::MakeOwned(30, 30, 32);
        f->Clear();
        path.Draw(*f, 0, 0, red, false, pointsLeftOut, 0);
        return f;
    };
    // Three lines: top, right and bottom; the open side stays empty.
    std::unique_ptr<CFrame> all = drawn(0);
    EXPECT_TRUE(Reddened(*all, 10, 5));
    EXPECT_TRUE(Reddened(*all, 15, 10));
    EXPECT_TRUE(Reddened(*all, 10, 15));
    EXPECT_FALSE(Reddened(*all, 5, 10));
    // One point left out: the last line goes.
    std::unique_ptr<CFrame> two = drawn(1);
    EXPECT_TRUE(Reddened(*two, 10, 5));
    EXPECT_TRUE(Reddened(*two, 15, 10));
    EXPECT_FALSE(Reddened(*two, 10, 15));
    for (uint32_t leftOut : {3u, 4u, 99u}) {
        std::unique_ptr<CFrame> none = drawn(leftOut);
        for (uint32_t y = 0; y < 30; ++y)
            for (uint32_t x = 0; x < 30; ++x)
                EXPECT_FALSE(Reddened(*none, x, y)) << leftOut << ": " << x << ", " << y;
    }
}

TEST(PointPath, DirectionOfAZeroLengthIsZero)
{
    SDirection d;
    d.SetDirection({1, 1}, {4, 5});
    d.SetDirection({2, 2}, {2, 2});
    EXPECT_EQ(d.unitX, 0.0f);
    EXPECT_EQ(d.unitY, 0.0f);
}

} // namespace
