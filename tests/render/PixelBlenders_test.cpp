#include "render/PixelBlenders.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

using Px = std::array<uint8_t, 4>; // blue, green, red, alpha
using namespace blend;
using PixelFn = void (*)(uint8_t*, const uint8_t*, const uint8_t*, uint32_t);

// The coverless form behind the covered form's signature.
template <class Rule>
void Full(uint8_t* d, const uint8_t* s, const uint8_t* t, uint32_t)
{
    Rule::PixelFull(d, s, t);
}

struct BlendCase {
    const char* name;
    PixelFn rule;
    Px d, s, t;
    uint32_t c;
    Px expected;
};

class BlendRuleTest : public testing::TestWithParam<BlendCase> {};

TEST_P(BlendRuleTest, GivesTheWorkedResult)
{
    const BlendCase& k = GetParam();
    Px d = k.d;
    k.rule(d.data(), k.s.data(), k.t.data(), k.c);
    EXPECT_EQ(d, k.expected);
}

constexpr Px kWhite{255, 255, 255, 255};
constexpr Px kGrey{100, 100, 100, 255};
constexpr Px kClear{0, 0, 0, 0};

constexpr Px Grey(uint8_t level, uint8_t alpha)
{
    return {level, level, level, alpha};
}

const BlendCase kCases[] = {
    // White with alpha 254 tints: w = 64516 stores v = s * 255 >> 8 with alpha 0.
    {"TintedAlmostWhiteLosesAStep", &Tinted::Pixel, kGrey, {10, 20, 30, 255}, Grey(255, 254), 255, {9, 19, 29, 0}},
    {"PlainFullCoverageStoresTheSource", &Plain::Pixel, kGrey, {10, 20, 30, 255}, kWhite, 255, {10, 20, 30, 255}},
    {"PlainCoverlessAlpha4LeavesAlone", &Full<Plain>, kGrey, {10, 20, 30, 4}, kWhite, 0, kGrey},
    // 100 + ((200 - 100) * 5 + 100 * 256) >> 8 = 101
    {"PlainCoverlessAlpha5Blends", &Full<Plain>, kGrey, Grey(200, 5), kWhite, 0, Grey(101, 255)},
    {"PlainCoverlessAlpha251Stores", &Full<Plain>, kGrey, {1, 2, 3, 251}, kWhite, 0, {1, 2, 3, 251}},
    // Coverage 4 of an opaque source: w = 1020, at the threshold, untouched.
    {"PlainCoverage4LeavesAlone", &Plain::Pixel, kGrey, Grey(0, 255), kWhite, 4, kGrey},
    // w = 128 * 255 = 32640: 100 + (-100 * 32640 >> 16) = 100 - 49.8.. floors to 50.
    {"PlainHalfCoverageFloors", &Plain::Pixel, kGrey, Grey(0, 255), kWhite, 128, Grey(50, 255)},
    {"AdditiveSaturates", &Full<Additive>, kWhite, kWhite, kWhite, 0, kWhite},
    {"AdditiveBelowThresholdLeavesAlone", &Additive::Pixel, kGrey, kWhite, kWhite, 4, kGrey},
    // v = 255 * 255 >> 8 = 254; w = 65025: 100 + (254 * 65025 >> 16) = 100 + 252.
    {"AdditiveAddsTheTintedSource", &Full<Additive>, {0, 100, 3, 255}, kWhite, kWhite, 0, {252, 255, 255, 255}},
    // Transparent destination: the tinted colour with alpha (w + 255) >> 8.
    {"TintedOverAlphaOnClearStores",
     &TintedOverAlpha::Pixel,
     Grey(9, 0),
     {40, 80, 120, 128},
     kWhite,
     255,
     {40, 80, 120, 128}},
    // w = 128 * 255 = 32640 over d.a = 128: n = 49088, d = 255 * 32640 / n = 169, alpha 191.
    {"TintedOverAlphaPartialAlpha", &Full<TintedOverAlpha>, Grey(0, 128), Grey(255, 128), kWhite, 0, Grey(169, 191)},
    {"TintedOverAlphaBelow256LeavesAlone", &TintedOverAlpha::Pixel, Grey(5, 5), Grey(255, 1), kWhite, 255, Grey(5, 5)},
    // a8 = 100, v = 254: (200 * 100 + 254 * 100) / 200 = 227, alpha max(100, 200).
    {"AdditiveOverAlphaKeepsLargerAlpha", &Full<AdditiveOverAlpha>, Grey(100, 200), Grey(255, 100), kWhite, 0,
     Grey(227, 200)},
    {"PremultipliedOpaqueStores", &Premultiplied::Pixel, kGrey, {1, 2, 3, 255}, kWhite, 255, {1, 2, 3, 255}},
    {"PremultipliedZeroWeightKeeps", &Premultiplied::Pixel, {1, 2, 3, 4}, Grey(200, 200), kWhite, 0, {1, 2, 3, 4}},
    // k = 129 * 255 >> 8 = 128: (100 * 127 + 50 * 128) >> 8 = 74.
    {"PremultipliedPartialCoverage", &Premultiplied::Pixel, kGrey, Grey(50, 255), kWhite, 128, Grey(74, 255)},
    {"PremultipliedOverAlphaTransparentDestination", &PremultipliedOverAlpha::Pixel, kClear, Grey(64, 128), kWhite, 255,
     Grey(127, 128)},
    {"SolidZeroAlphaLeavesAlone", &Solid::Pixel, kGrey, kGrey, {0, 0, 255, 0}, 255, kGrey},
    {"SolidFullCoverageStores", &Solid::Pixel, kGrey, kGrey, {0, 0, 255, 255}, 255, {0, 0, 255, 255}},
    {"SolidAdditiveCoverless", &Full<SolidAdditive>, kGrey, kGrey, {10, 200, 0, 128}, 0, {105, 200, 100, 255}},
    {"SolidOverAlphaOnTransparent", &SolidOverAlpha::Pixel, kClear, kGrey, {30, 60, 90, 255}, 128, {30, 60, 90, 128}},
    // n = (256 - 128) * 128 + 128 * 256 = 49152: d = (0 + 255 * 128 * 255) / n = 169, alpha 192.
    {"SolidOverAlphaCoverlessPartial", &Full<SolidOverAlpha>, Grey(0, 128), kGrey, Grey(255, 128), 0, Grey(169, 192)},
    {"SolidAdditiveOverAlphaOnClear", &Full<SolidAdditiveOverAlpha>, kClear, kGrey, {7, 8, 9, 50}, 0, {7, 8, 9, 50}},
};

INSTANTIATE_TEST_SUITE_P(Rules, BlendRuleTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<BlendCase>& p) { return std::string(p.param.name); });

// The over-alpha composition's resulting alpha from the worked weights:
// d.a = 128 and w = 32768 give n = 49152, so alpha 192.
TEST(BlendRules, OverAlphaCompositionAlphaFromWorkedWeights)
{
    Px d{0, 0, 0, 128};
    blend::OverAlphaWeighted(d.data(), 255, 255, 255, 32768);
    EXPECT_EQ(d[3], 192);
}

// Every rule over a grid of alphas: coverage 0 never changes the
// destination, and composing over a destination alpha never lowers it.
TEST(BlendRules, ZeroCoverageNeverTouchesAndCompositionNeverLosesAlpha)
{
    const PixelFn rules[] = {&Tinted::Pixel,
                             &Plain::Pixel,
                             &Additive::Pixel,
                             &TintedOverAlpha::Pixel,
                             &AdditiveOverAlpha::Pixel,
                             &Premultiplied::Pixel,
                             &PremultipliedOverAlpha::Pixel,
                             &Solid::Pixel,
                             &SolidAdditive::Pixel,
                             &SolidOverAlpha::Pixel,
                             &SolidAdditiveOverAlpha::Pixel};
    for (PixelFn rule : rules) {
        const bool composes = rule == &TintedOverAlpha::Pixel || rule == &SolidOverAlpha::Pixel;
        for (uint32_t da : {0u, 1u, 128u, 254u, 255u})
            for (uint32_t sa = 0; sa < 256; sa += 17) {
                const Px s{250, 3, 128, uint8_t(sa)};
                const Px t{200, 255, 90, uint8_t(255 - sa / 2)};
                const Px before{40, 250, 128, uint8_t(da)};
                Px d = before;
                rule(d.data(), s.data(), t.data(), 0);
                ASSERT_EQ(d, before);
                for (uint32_t c = 1; composes && c < 256; c += 3) {
                    d = before;
                    rule(d.data(), s.data(), t.data(), c);
                    ASSERT_GE(d[3], before[3]) << "sa " << sa << " da " << da << " c " << c;
                }
            }
    }
}

} // namespace
