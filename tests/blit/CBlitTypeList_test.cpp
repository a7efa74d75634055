#include "blit/CBlitTypeList.h"

#include "blit/CBlitType.h"
#include "blit/ColorTables.h"
#include "foundation/CMemFileBuf.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

int g_Calls = 0;
void RoutineA(CFrameInterface&, const CRect&, CFrameInterface&, const CRect&, CBlitType&)
{
    ++g_Calls;
}
void RoutineB(CFrameInterface&, const CRect&, CFrameInterface&, const CRect&, CBlitType&)
{
    g_Calls += 10;
}

TEST(CBlitTypeList, HoldsTheSevenNamesInTheirStoredOrder)
{
    CBlitTypeList& list = CBlitTypeList::SGetInstance();
    const char* names[] = {"Transparent Mask", "Blend Black Bias",    "Blend Test Light", "Blit As Shadow",
                           "Normal",           "Blend Amplify Light", "Normal Scale"};
    ASSERT_EQ(list.GetCount(), 7);
    for (int32_t i = 0; i < 7; ++i) {
        EXPECT_STREQ(list.GetItemName(i), names[i]);
        EXPECT_EQ(list.Find(names[i]), i);
        EXPECT_EQ(list.FindValue(list.GetBlitType(i)), i);
    }
    EXPECT_EQ(list.Find("normal"), 4);
    EXPECT_EQ(list.Find("Normal Wrap"), -1);
    EXPECT_NE(list.GetBlitType(1), list.GetBlitType(2)); // two independent black-bias types
    EXPECT_EQ(&GetNormalBlitType(), list.GetBlitType(4));
    EXPECT_EQ(&GetBlackBiasBlitType(), list.GetBlitType(1));
    EXPECT_TRUE(list.GetBlitType(0)->DrawsAtSourceSize());
    EXPECT_FALSE(list.GetBlitType(6)->DrawsAtSourceSize());
}

TEST(CBlitTypeList, IndicesFromDataOutsideTheListFindNothing)
{
    CBlitTypeList& list = CBlitTypeList::SGetInstance();
    EXPECT_EQ(list.GetBlitType(-1), nullptr);
    EXPECT_EQ(list.GetBlitType(7), nullptr);
    EXPECT_EQ(list.FindValue(nullptr), -1);
    EXPECT_EQ(list.Add("Unnamed"), -1);
}

TEST(CBlitType, LookupMatchesDepthAndFormExactlyAndRemembersMisses)
{
    CBlitType type;
    type.AddBlitFunction(8, 0, 16, 0, &RoutineA);
    type.AddBlitFunction(16, 0, 16, 0, &RoutineA);
    type.AddBlitFunction(16, 4, 16, 0, &RoutineB);
    type.AddBlitFunction(16, 0, 16, 0, &RoutineB); // replaces, does not append
    EXPECT_EQ(type.GetBlitFunctions().size(), 3u);
    EXPECT_EQ(type.FindBlitFunction(0x20, 0x40), &RoutineA);
    EXPECT_EQ(type.FindBlitFunction(0x40, 0x40), &RoutineB);
    EXPECT_EQ(type.FindBlitFunction(0x40 | 4, 0x40 | 0x4000), &RoutineB); // other flag bits do not count
    EXPECT_EQ(type.FindBlitFunction(0x40 | 2, 0x40), nullptr);
    EXPECT_EQ(type.FindBlitFunction(0x40 | 2, 0x40), nullptr);
    EXPECT_EQ(type.FindBlitFunction(0x100, 0x100), nullptr);
    EXPECT_EQ(type.FindBlitFunction(0x20, 0x40), &RoutineA);
}

// Blit types are shared: a draw that fades one blit must hand the next
// caller the opacity it found, derived values included, however it nests.
TEST(CBlitType, ScopedOpacityPutsBackWhatItFoundThroughNestedScopes)
{
    InitBlitTables();
    CBlitType type;
    type.SetOpacity(0.3f);
    const uint32_t opacity255 = type.GetOpacity255(), level = type.GetBlendLevel();
    {
        const CScopedBlitOpacity outer(type, 0.5f);
        EXPECT_EQ(type.GetOpacity(), 0.5f);
        EXPECT_EQ(type.GetOpacity255(), 128u);
        {
            const CScopedBlitOpacity inner(type, type.GetOpacity() * 0.5f);
            EXPECT_EQ(type.GetOpacity(), 0.25f);
        }
        EXPECT_EQ(type.GetOpacity(), 0.5f);
    }
    EXPECT_EQ(type.GetOpacity(), 0.3f);
    EXPECT_EQ(type.GetOpacity255(), opacity255);
    EXPECT_EQ(type.GetBlendLevel(), level);
    {
        const CScopedBlitOpacity named(type, 0.8f, 1.0f);
        EXPECT_EQ(type.GetOpacity(), 0.8f);
    }
    EXPECT_EQ(type.GetOpacity(), 1.0f);
    EXPECT_EQ(type.GetOpacity255(), 255u);
}

struct SOpacityCase {
    float opacity;
    uint32_t opacity255;
    uint32_t level;
};

class CBlitTypeOpacity : public testing::TestWithParam<SOpacityCase> {
protected:
    void SetUp() override { InitBlitTables(); }
};

TEST_P(CBlitTypeOpacity, DerivesRoundedOpacityAndLevelAndSurvivesState)
{
    const SOpacityCase c = GetParam();
    CBlitType type;
    type.SetOpacity(c.opacity);
    EXPECT_EQ(type.GetOpacity255(), c.opacity255);
    EXPECT_EQ(type.GetBlendLevel(), c.level);

    CMemFileBuf buffer;
    type.WriteState(buffer);
    buffer.Seek(0);
    CBlitType copy;
    copy.ReadState(buffer);
    EXPECT_EQ(copy.GetOpacity255(), c.opacity255);
    EXPECT_EQ(copy.GetBlendLevel(), c.level);
    if (!std::isnan(c.opacity)) {
        EXPECT_EQ(copy.GetOpacity(), c.opacity);
    }
}

std::string OpacityName(const testing::TestParamInfo<SOpacityCase>& info)
{
    const char* names[] = {"Half", "Opaque", "Clear", "Third", "AboveOne", "Negative", "NaN"};
    return names[info.index];
}

INSTANTIATE_TEST_SUITE_P(All, CBlitTypeOpacity,
                         testing::Values(SOpacityCase{0.5f, 128, 2}, SOpacityCase{1.0f, 255, 0},
                                         SOpacityCase{0.0f, 0, 5}, SOpacityCase{1.0f / 3, 85, 4},
                                         SOpacityCase{2.0f, 255, 0}, SOpacityCase{-0.5f, 0, 5},
                                         SOpacityCase{std::numeric_limits<float>::quiet_NaN(), 0, 5}),
                         OpacityName);

} // namespace
