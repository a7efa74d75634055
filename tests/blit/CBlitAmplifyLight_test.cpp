#include "blit/CBlitAmplifyLight.h"

#include "blit/CBlitTypeList.h"
#include "blit/NamedBlitTypes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace {

uint32_t Field(uint32_t d, uint32_t s)
{
    return std::min(31u, uint32_t(std::floor(s * d / 31.0 + d + 0.5)));
}

uint16_t Pixel565(uint32_t r5, uint32_t g6, uint32_t b5)
{
    return uint16_t(r5 << 11 | g6 << 5 | b5);
}

TEST(AmplifyLight, EveryFieldPairFollowsTheFormulaInEachChannel)
{
    for (uint32_t d = 0; d < 32; ++d)
        for (uint32_t s = 0; s < 32; ++s) {
            const uint32_t v = Field(d, s);
            ASSERT_EQ(AmplifyPixel565(Pixel565(d, 0, 0), Pixel565(s, 0, 0)), Pixel565(v, 0, 0)) << d << "," << s;
            ASSERT_EQ(AmplifyPixel565(Pixel565(0, 0, d), Pixel565(0, 0, s)), Pixel565(0, 0, v)) << d << "," << s;
            // Green reads the top 5 of 6 bits, so the lowest bit is dropped.
            for (uint32_t low : {0u, 1u})
                ASSERT_EQ(AmplifyPixel565(Pixel565(0, d << 1 | low, 0), Pixel565(0, s << 1 | (1 - low), 0)),
                          Pixel565(0, v << 1, 0));
        }
}

struct SAmplifyCase {
    const char* name;
    uint16_t destination, light, expected;
};

class AmplifyCases : public testing::TestWithParam<SAmplifyCase> {};

TEST_P(AmplifyCases, Pixel565)
{
    EXPECT_EQ(AmplifyPixel565(GetParam().destination, GetParam().light), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, AmplifyCases,
    testing::Values(
        SAmplifyCase{"BlackLightChangesNothing", Pixel565(15, 30, 15), 0, Pixel565(15, 30, 15)},
        SAmplifyCase{"BlackLightStillDropsTheLowGreenBit", 0x7BEF, 0, 0x7BCF},
        SAmplifyCase{"BlackDestinationStaysBlack", 0, 0xFFFF, 0},
        SAmplifyCase{"FullRedOverSixteenClamps", Pixel565(16, 0, 0), Pixel565(31, 0, 0), Pixel565(31, 0, 0)},
        SAmplifyCase{"FullRedOverTenDoubles", Pixel565(10, 0, 0), Pixel565(31, 0, 0), Pixel565(20, 0, 0)},
        SAmplifyCase{"FullGreenLosesItsLowBit", Pixel565(0, 63, 0), Pixel565(0, 63, 0), Pixel565(0, 62, 0)}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(AmplifyLight, RunKernelsAmplifyLiteralsAndRepeatsAndWhitenAlpha)
{
    uint16_t row[5] = {0x0842, 0x1084, 0, 0xFFFF, 0x4208};
    uint16_t lights[5] = {0xFFFF, 0x0842, 0x1234, 0, 0x8410};
    uint16_t expected[5];
    for (int i = 0; i < 5; ++i)
        expected[i] = AmplifyPixel565(row[i], lights[i]);
    SRun run;
    run.dst = reinterpret_cast<uint8_t*>(row);
    run.src = reinterpret_cast<const uint8_t*>(lights);
    AmplifyRun16({}, run, 5);
    EXPECT_EQ(0, std::memcmp(row, expected, sizeof row));

    uint16_t fill[3] = {0x0842, 0x1084, 0x2108};
    run.dst = reinterpret_cast<uint8_t*>(fill);
    run.value = 0xABCD8410; // the bits above the pixel are ignored
    AmplifyRun16Fill({}, run, 2);
    EXPECT_EQ(fill[0], AmplifyPixel565(0x0842, 0x8410));
    EXPECT_EQ(fill[1], AmplifyPixel565(0x1084, 0x8410));
    EXPECT_EQ(fill[2], 0x2108);

    WhiteRun16({}, run, 3);
    EXPECT_EQ(fill[0], 0xFFFF);
    EXPECT_EQ(fill[2], 0xFFFF);
}

// The plain pairs draw exactly as the type they borrow from.
TEST(AmplifyLight, PlainPairsUseTheBlackBiasAndTransparentMaskRoutines)
{
    CBlitTypeList& list = CBlitTypeList::SGetInstance();
    CBlitType& amplify = *list.GetBlitType(list.Find("Blend Amplify Light"));
    CBlitType& blackBias = *list.GetBlitType(list.Find("Blend Black Bias"));
    CBlitType& mask = *list.GetBlitType(list.Find("Transparent Mask"));
    struct SPair {
        uint32_t source, destination;
        CBlitType* from;
    };
    const SPair pairs[]
        = {{0x20, 0x20, &blackBias},   {0x40, 0x40, &blackBias}, {0x80, 0x80, &mask}, {0x100, 0x80, &mask},
           {0x100, 0x100, &blackBias}, {0x22, 0x20, &blackBias}, {0x84, 0x80, &mask}};
    for (const SPair& p : pairs)
        EXPECT_EQ(amplify.FindBlitFunction(p.source, p.destination), p.from->FindBlitFunction(p.source, p.destination))
            << std::hex << p.source << " -> " << p.destination;
    EXPECT_EQ(amplify.FindBlitFunction(0x80, 0x100), nullptr);
}

} // namespace
