#include "blit/CBlitNormalScale.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "blit/ColorTables.h"
#include "blit/GamePalette.h"
#include "images/CFrame.h"
#include "support/KernelSetGuard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

CBlitType& ScaleType()
{
    CBlitTypeList& list = CBlitTypeList::SGetInstance();
    return *list.GetBlitType(list.Find("Normal Scale"));
}

std::unique_ptr<CFrame> RandomFrame(uint32_t width, uint32_t height, uint32_t depth, uint32_t seed)
{
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(width, height, depth);
    std::mt19937 random(seed);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t b = 0; b < width * depth / 8; ++b)
            frame->Row(y)[b] = uint8_t(random());
    return frame;
}

struct SStepCase {
    const char* name;
    uint32_t source, destination, step;
};

class ScaleStepTest : public testing::TestWithParam<SStepCase> {};

TEST_P(ScaleStepTest, IsTheFlooredRatioInSixteenDotSixteen)
{
    EXPECT_EQ(ScaleStep(GetParam().source, GetParam().destination), GetParam().step);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ScaleStepTest,
                         testing::Values(SStepCase{"TenToTwenty", 10, 20, 0x8000},
                                         SStepCase{"TwentyToTen", 20, 10, 0x20000},
                                         SStepCase{"ThreeToSeven", 3, 7, 28086}, SStepCase{"Same", 544, 544, 0x10000},
                                         SStepCase{"Widest", 65535, 1, 0xFFFF0000u},
                                         SStepCase{"OneToMany", 1, 65535, 1}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(ScaleStep, LastSampleStaysInsideTheSource)
{
    for (uint32_t sw = 1; sw < 300; sw += 7)
        for (uint32_t dw = 1; dw < 700; dw += 3)
            EXPECT_LT(((dw - 1) * ScaleStep(sw, dw)) >> 16, sw) << sw << " -> " << dw;
}

struct SScaleCase {
    std::string name;
    uint32_t sourceDepth, destinationDepth;
    CRect s, d;
};

class NormalScaleTest : public testing::TestWithParam<SScaleCase> {
protected:
    void SetUp() override
    {
        RegisterImagesClasses();
        InitBlitTables();
    }
    void TearDown() override { ClearGamePalette(); }
    static void InstallPalette()
    {
        uint8_t entries[768];
        for (uint32_t i = 0; i < 768; ++i)
            entries[i] = uint8_t(i * 7 + 3);
        SetGamePalette(entries);
    }
};

// Destination pixel (x, y) of the expected result: the source pixel the
// 16.16 steps land on, converted as the pair converts.
void ExpectScaled(const CFrame& source, const CFrame& before, const CFrame& after, const CRect& s, const CRect& d)
{
    // An empty rectangle on either side draws nothing.
    const bool draws = s.right > s.left && s.bottom > s.top && d.right > d.left && d.bottom > d.top;
    const uint32_t stepX = !draws ? 0 : ScaleStep(uint32_t(s.right - s.left), uint32_t(d.right - d.left));
    const uint32_t stepY = !draws ? 0 : ScaleStep(uint32_t(s.bottom - s.top), uint32_t(d.bottom - d.top));
    const uint32_t sb = source.GetBytesPerPixel(), db = after.GetBytesPerPixel();
    for (int32_t y = 0; y < int32_t(after.GetHeight()); ++y)
        for (int32_t x = 0; x < int32_t(after.GetWidth()); ++x) {
            const uint8_t* got = after.Row(uint32_t(y)) + x * db;
            uint8_t expected[4];
            std::memcpy(expected, before.Row(uint32_t(y)) + x * db, db);
            if (draws && x >= d.left && x < d.right && y >= d.top && y < d.bottom) {
                const uint32_t sx = uint32_t(s.left) + ((uint32_t(x - d.left) * stepX) >> 16);
                const uint32_t sy = uint32_t(s.top) + ((uint32_t(y - d.top) * stepY) >> 16);
                const uint8_t* from = source.Row(sy) + sx * sb;
                if (sb == 1 && db == 2)
                    std::memcpy(expected, &GetPalette565Table()[*from], 2);
                else if (db == 4)
                    std::memcpy(expected, from, 3); // the alpha byte stays
                else
                    std::memcpy(expected, from, db);
            }
            ASSERT_EQ(0, std::memcmp(got, expected, db)) << "at " << x << "," << y;
        }
}

TEST_P(NormalScaleTest, SamplesTheNearestSourcePixelKeepingDestinationAlpha)
{
    const SScaleCase& c = GetParam();
    if (c.sourceDepth == 8 && c.destinationDepth == 16)
        InstallPalette();
    std::unique_ptr<CFrame> source = RandomFrame(40, 30, c.sourceDepth, 1);
    std::unique_ptr<CFrame> destination = RandomFrame(64, 48, c.destinationDepth, 2);
    std::unique_ptr<CFrame> before = RandomFrame(64, 48, c.destinationDepth, 2);
    CBlitType& type = ScaleType();
    type.SetOpacity(0.5f); // not used
    BlitFunction routine = type.GetBlitFunction(*source, *destination);
    ASSERT_NE(routine, nullptr);
    routine(*source, c.s, *destination, c.d, type);
    type.SetOpacity(1.0f);
    ExpectScaled(*source, *before, *destination, c.s, c.d);
}

const CRect kWholeSource = {0, 0, 40, 30};

std::vector<SScaleCase> ScaleCases()
{
    struct SPair {
        const char* name;
        uint32_t from, to;
    };
    const SPair pairs[] = {{"8To8", 8, 8},     {"8To16", 8, 16},   {"16To16", 16, 16},
                           {"24To24", 24, 24}, {"24To32", 24, 32}, {"32To32", 32, 32}};
    struct SRects {
        const char* name;
        CRect s, d;
    };
    const SRects rects[] = {
        {"Double", {0, 0, 10, 10}, {0, 0, 20, 20}},           {"Half", {0, 0, 40, 20}, {3, 4, 23, 14}},
        {"ThreeToSeven", {2, 5, 5, 12}, {1, 1, 8, 8}},        {"SameSize", {1, 1, 31, 21}, {30, 20, 60, 40}},
        {"OnePixelToMany", {39, 29, 40, 30}, {0, 0, 64, 48}}, {"WholeToOdd", kWholeSource, {5, 7, 62, 46}},
        {"ManyToOne", kWholeSource, {10, 10, 11, 11}},        {"EmptySource", {4, 4, 4, 9}, {0, 0, 64, 48}},
        {"EmptyDestination", kWholeSource, {9, 9, 9, 20}},
    };
    std::vector<SScaleCase> cases;
    for (const SPair& p : pairs)
        for (const SRects& r : rects) {
            cases.push_back({std::string(p.name) + r.name, p.from, p.to, r.s, r.d});
        }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Pairs, NormalScaleTest, testing::ValuesIn(ScaleCases()),
                         [](const auto& p) { return p.param.name; });

TEST_F(NormalScaleTest, FrameBlitScalesToTheDestinationRectangle)
{
    std::unique_ptr<CFrame> source = RandomFrame(10, 10, 32, 3);
    std::unique_ptr<CFrame> destination = CFrame::MakeOwned(20, 20, 32);
    ASSERT_TRUE(destination->Blit(*source, {0, 0, 10, 10}, {0, 0, 20, 20}, ScaleType()));
    for (uint32_t y = 0; y < 20; ++y)
        for (uint32_t x = 0; x < 20; ++x)
            ASSERT_EQ(0, std::memcmp(destination->Row(y) + 4 * x, source->Row(y / 2) + 4 * (x / 2), 3));
}

TEST_F(NormalScaleTest, EightBitIntoSixteenDrawsNothingWithoutAPalette)
{
    std::unique_ptr<CFrame> source = RandomFrame(8, 8, 8, 4);
    std::unique_ptr<CFrame> destination = RandomFrame(16, 16, 16, 5);
    std::unique_ptr<CFrame> before = RandomFrame(16, 16, 16, 5);
    CBlitType& type = ScaleType();
    type.GetBlitFunction(*source, *destination)(*source, {0, 0, 8, 8}, *destination, {0, 0, 16, 16}, type);
    for (uint32_t y = 0; y < 16; ++y)
        ASSERT_EQ(0, std::memcmp(destination->Row(y), before->Row(y), 32));
}

} // namespace

namespace {

// The SSE2 rows give the plain rows' bytes at widths around the group size.
TEST_F(NormalScaleTest, Sse2RowsMatchThePlainOnes)
{
    for (uint32_t depth : {24u, 32u})
        for (int32_t width : {1, 3, 4, 5, 7, 8, 9, 17, 63}) {
            std::unique_ptr<CFrame> source = RandomFrame(13, 9, depth, 40);
            std::unique_ptr<CFrame> plain = RandomFrame(64, 20, 32, 41);
            std::unique_ptr<CFrame> sse2 = RandomFrame(64, 20, 32, 41);
            CBlitType& type = ScaleType();
            const CRect s = {1, 2, 12, 9}, d = {1, 1, 1 + width, 19};
            {
                CKernelSetGuard guard(KernelForce::Plain);
                type.GetBlitFunction(*source, *plain)(*source, s, *plain, d, type);
            }
            {
                CKernelSetGuard guard(KernelForce::Sse2);
                type.GetBlitFunction(*source, *sse2)(*source, s, *sse2, d, type);
            }
            for (uint32_t y = 0; y < 20; ++y)
                ASSERT_EQ(0, std::memcmp(plain->Row(y), sse2->Row(y), 256)) << depth << " bits, width " << width;
        }
}

} // namespace
