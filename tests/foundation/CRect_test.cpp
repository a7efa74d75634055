#include "foundation/CRect.h"

#include <gtest/gtest.h>

#include <ostream>

static std::ostream& operator<<(std::ostream& out, const CRect& r)
{
    return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

const CRect kClip{10, 20, 110, 220};

struct ClipCase {
    const char* name;
    CRect destination;
    bool visible;
    CRect clippedDestination; // as ClipRect leaves it, also when it fails
    CRect movedSource;        // source (0, 0, w, h) after ClipRectPair
};

std::ostream& operator<<(std::ostream& out, const ClipCase& c)
{
    return out << c.name;
}

class ClipTable : public testing::TestWithParam<ClipCase> {};

TEST_P(ClipTable, ClipRectAndClipRectPairAgree)
{
    const ClipCase& c = GetParam();
    CRect rect = c.destination;
    EXPECT_EQ(ClipRect(kClip, rect), c.visible);
    EXPECT_EQ(rect, c.clippedDestination);

    CRect destination = c.destination;
    CRect source{0, 0, c.destination.GetWidth(), c.destination.GetHeight()};
    EXPECT_EQ(ClipRectPair(kClip, source, destination), c.visible);
    EXPECT_EQ(destination, c.clippedDestination);
    EXPECT_EQ(source, c.movedSource);
    if (c.visible) {
        EXPECT_EQ(source.GetWidth(), destination.GetWidth());
        EXPECT_EQ(source.GetHeight(), destination.GetHeight());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rect, ClipTable,
    testing::Values(ClipCase{"Inside", {20, 30, 40, 50}, true, {20, 30, 40, 50}, {0, 0, 20, 20}},
                    ClipCase{"SameAsClip", {10, 20, 110, 220}, true, {10, 20, 110, 220}, {0, 0, 100, 200}},
                    ClipCase{"LeftEdgeMovesBy5", {5, 30, 25, 50}, true, {10, 30, 25, 50}, {5, 0, 20, 20}},
                    ClipCase{"AllFourEdges", {0, 0, 200, 300}, true, {10, 20, 110, 220}, {10, 20, 110, 220}},
                    ClipCase{"BottomRight", {100, 210, 130, 240}, true, {100, 210, 110, 220}, {0, 0, 10, 10}},
                    // Fully above: fails after the top edge, before bottom and sides move.
                    ClipCase{"Above", {0, 0, 300, 10}, false, {0, 20, 300, 10}, {0, 20, 300, 10}},
                    ClipCase{"TouchingTop", {20, 10, 40, 20}, false, {20, 20, 40, 20}, {0, 10, 20, 10}},
                    ClipCase{"Below", {0, 230, 300, 240}, false, {0, 230, 300, 220}, {0, 0, 300, -10}},
                    ClipCase{"LeftOf", {0, 0, 5, 300}, false, {10, 20, 5, 220}, {10, 20, 5, 220}},
                    ClipCase{"RightOf", {120, 30, 130, 40}, false, {120, 30, 110, 40}, {0, 0, -10, 10}},
                    ClipCase{"EmptyInside", {30, 30, 30, 40}, false, {30, 30, 30, 40}, {0, 0, 0, 10}}),
    [](const testing::TestParamInfo<ClipCase>& caseInfo) { return std::string(caseInfo.param.name); });

TEST(Rect, ClipRectPairKeepsAnOffsetSourceAligned)
{
    // A source window inside a larger image moves with the destination.
    CRect source{100, 200, 150, 260};
    CRect destination{-5, 15, 45, 75};
    ASSERT_TRUE(ClipRectPair(kClip, source, destination));
    EXPECT_EQ(destination, (CRect{10, 20, 45, 75}));
    EXPECT_EQ(source, (CRect{115, 205, 150, 260}));
}

struct IntersectCase {
    CRect a;
    CRect b;
    CRect out;
    bool overlap;
};

std::ostream& operator<<(std::ostream& out, const IntersectCase& c)
{
    return out << c.a << " & " << c.b;
}

class IntersectTable : public testing::TestWithParam<IntersectCase> {};

TEST_P(IntersectTable, IsSymmetricAndReportsOverlap)
{
    const IntersectCase& c = GetParam();
    CRect out{};
    EXPECT_EQ(IntersectRects(out, c.a, c.b), c.overlap);
    EXPECT_EQ(out, c.out);
    EXPECT_EQ(IntersectRects(out, c.b, c.a), c.overlap);
    EXPECT_EQ(out, c.out);
}

INSTANTIATE_TEST_SUITE_P(Rect, IntersectTable,
                         testing::Values(IntersectCase{{0, 0, 10, 10}, {5, 5, 15, 15}, {5, 5, 10, 10}, true},
                                         IntersectCase{{0, 0, 10, 10}, {2, 3, 4, 5}, {2, 3, 4, 5}, true},
                                         IntersectCase{{0, 0, 10, 10}, {10, 0, 20, 10}, {10, 0, 10, 10}, false},
                                         IntersectCase{{0, 0, 10, 10}, {0, 10, 10, 20}, {0, 10, 10, 10}, false},
                                         IntersectCase{{0, 0, 10, 10}, {20, 20, 30, 30}, {20, 20, 10, 10}, false},
                                         IntersectCase{{-5, -5, 1, 1}, {0, 0, 3, 3}, {0, 0, 1, 1}, true}));

struct UnionCase {
    CRect target;
    CRect other;
    CRect result;
};

std::ostream& operator<<(std::ostream& out, const UnionCase& c)
{
    return out << c.target << " | " << c.other;
}

class UnionTable : public testing::TestWithParam<UnionCase> {};

TEST_P(UnionTable, TreatsAllZeroAsEmpty)
{
    const UnionCase& c = GetParam();
    CRect target = c.target;
    UnionRectInPlace(target, c.other);
    EXPECT_EQ(target, c.result);
}

INSTANTIATE_TEST_SUITE_P(Rect, UnionTable,
                         testing::Values(UnionCase{{0, 0, 0, 0}, {2, 3, 4, 5}, {2, 3, 4, 5}},
                                         UnionCase{{2, 3, 4, 5}, {0, 0, 0, 0}, {2, 3, 4, 5}},
                                         UnionCase{{2, 3, 4, 5}, {-1, 4, 3, 9}, {-1, 3, 4, 9}},
                                         // Only all four at zero means empty: (0, 0, 5, 5) counts.
                                         UnionCase{{0, 0, 5, 5}, {10, 10, 12, 12}, {0, 0, 12, 12}},
                                         UnionCase{{1, 1, 2, 2}, {0, 0, 1, 1}, {0, 0, 2, 2}}));

TEST(Rect, ContainsPointExcludesRightAndBottom)
{
    const CRect r{2, 3, 5, 7};
    EXPECT_TRUE(r.ContainsPoint(2, 3));
    EXPECT_TRUE(r.ContainsPoint(4, 6));
    EXPECT_FALSE(r.ContainsPoint(5, 6));
    EXPECT_FALSE(r.ContainsPoint(4, 7));
    EXPECT_FALSE(r.ContainsPoint(1, 3));
    EXPECT_FALSE(r.ContainsPoint(2, 2));
    EXPECT_EQ(SizeToRect(640, 480), (CRect{0, 0, 640, 480}));
}

} // namespace
