#include "blit/LineClip.h"

#include <gtest/gtest.h>

#include <string>

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

} // namespace
