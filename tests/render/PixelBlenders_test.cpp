#include "render/PixelBlenders.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

using Px = std::array<uint8_t, 4>; // blue, green, red, alpha

using PixelFn = void (*)(uint8_t*, const uint8_t*, const uint8_t*, uint32_t);
using FullFn = void (*)(uint8_t*, const uint8_t*, const uint8_t*);

struct BlendCase {
    const char* name;
    PixelFn pixel; // null: the coverless form
    FullFn full;
    Px d, s, t;
    uint32_t c;
    Px expected;
};

class BlendRuleTest : public testing::TestWithParam<BlendCase> {};

TEST_P(BlendRuleTest, GivesTheWorkedResult)
{
    const BlendCase& k = GetParam();
    Px d = k.d;
    if (k.pixel)
        k.pixel(d.data(), k.s.data(), k.t.data(), k.c);
    else
        k.full(d.data(), k.s.data(), k.t.data());
    EXPECT_EQ(d, k.expected);
}

constexpr Px kWhite{255, 255, 255, 255};
constexpr Px kGrey{100, 100, 100, 255};

const BlendCase kCases[] = {
    // White with alpha 254 tints: w = 64516 stores v = s * 255 >> 8 with alpha 0.
    {"TintedAlmostWhiteLosesAStep",
     &blend::Tinted::Pixel,
     nullptr,
     kGrey,
     {10, 20, 30, 255},
     {255, 255, 255, 254},
     255,
     {9, 19, 29, 0}},
    {"PlainFullCoverageStoresTheSource",
     &blend::Plain::Pixel,
     nullptr,
     kGrey,
     {10, 20, 30, 255},
     kWhite,
     255,
     {10, 20, 30, 255}},
    {"PlainCoverlessAlpha4LeavesAlone", nullptr, &blend::Plain::PixelFull, kGrey, {10, 20, 30, 4}, kWhite, 0, kGrey},
    // 100 + ((200 - 100) * 5 + 100 * 256) >> 8 = 101
    {"PlainCoverlessAlpha5Blends",
     nullptr,
     &blend::Plain::PixelFull,
     kGrey,
     {200, 200, 200, 5},
     kWhite,
     0,
     {101, 101, 101, 255}},
    {"PlainCoverlessAlpha251Stores",
     nullptr,
     &blend::Plain::PixelFull,
     kGrey,
     {1, 2, 3, 251},
     kWhite,
     0,
     {1, 2, 3, 251}},
    // Coverage 4 of an opaque source: w = 1020, at the threshold, untouched.
    {"PlainCoverage4LeavesAlone", &blend::Plain::Pixel, nullptr, kGrey, {0, 0, 0, 255}, kWhite, 4, kGrey},
    // w = 128 * 255 = 32640: 100 + (-100 * 32640 >> 16) = 100 - 49.8.. floors to 50.
    {"PlainHalfCoverageFloors", &blend::Plain::Pixel, nullptr, kGrey, {0, 0, 0, 255}, kWhite, 128, {50, 50, 50, 255}},
    {"AdditiveSaturates", nullptr, &blend::Additive::PixelFull, kWhite, kWhite, kWhite, 0, kWhite},
    {"AdditiveBelowThresholdLeavesAlone", &blend::Additive::Pixel, nullptr, kGrey, kWhite, kWhite, 4, kGrey},
    // v = 255 * 255 >> 8 = 254; w = 65025: 100 + (254 * 65025 >> 16) = 100 + 252.
    {"AdditiveAddsTheTintedSource",
     nullptr,
     &blend::Additive::PixelFull,
     {0, 100, 3, 255},
     kWhite,
     kWhite,
     0,
     {252, 255, 255, 255}},
    // Transparent destination: the tinted colour with alpha (w + 255) >> 8.
    {"TintedOverAlphaOnTransparentStores",
     &blend::TintedOverAlpha::Pixel,
     nullptr,
     {9, 9, 9, 0},
     {40, 80, 120, 128},
     kWhite,
     255,
     {40, 80, 120, 128}},
    // w = 128 * 255 = 32640 over d.a = 128: n = 49088, d = 255 * 32640 / n = 169, alpha 191.
    {"TintedOverAlphaPartialAlpha",
     nullptr,
     &blend::TintedOverAlpha::PixelFull,
     {0, 0, 0, 128},
     {255, 255, 255, 128},
     kWhite,
     0,
     {169, 169, 169, 191}},
    {"TintedOverAlphaBelow256LeavesAlone",
     &blend::TintedOverAlpha::Pixel,
     nullptr,
     {5, 5, 5, 5},
     {255, 255, 255, 1},
     kWhite,
     255,
     {5, 5, 5, 5}},
    // a8 = 100, v = 254: (200 * 100 + 254 * 100) / 200 = 227, alpha max(100, 200).
    {"AdditiveOverAlphaKeepsLargerAlpha",
     nullptr,
     &blend::AdditiveOverAlpha::PixelFull,
     {100, 100, 100, 200},
     {255, 255, 255, 100},
     kWhite,
     0,
     {227, 227, 227, 200}},
    {"PremultipliedOpaqueStores",
     &blend::Premultiplied::Pixel,
     nullptr,
     kGrey,
     {1, 2, 3, 255},
     kWhite,
     255,
     {1, 2, 3, 255}},
    {"PremultipliedZeroWeightLeavesAlone",
     &blend::Premultiplied::Pixel,
     nullptr,
     {1, 2, 3, 4},
     {200, 200, 200, 200},
     kWhite,
     0,
     {1, 2, 3, 4}},
    // k = 129 * 255 >> 8 = 128: (100 * 127 + 50 * 128) >> 8 = 74.
    {"PremultipliedPartialCoverage",
     &blend::Premultiplied::Pixel,
     nullptr,
     kGrey,
     {50, 50, 50, 255},
     kWhite,
     128,
     {74, 74, 74, 255}},
    {"PremultipliedOverAlphaTransparentDestination",
     &blend::PremultipliedOverAlpha::Pixel,
     nullptr,
     {0, 0, 0, 0},
     {64, 64, 64, 128},
     kWhite,
     255,
     {127, 127, 127, 128}},
    {"SolidZeroAlphaLeavesAlone", &blend::Solid::Pixel, nullptr, kGrey, kGrey, {0, 0, 255, 0}, 255, kGrey},
    {"SolidFullCoverageStores", &blend::Solid::Pixel, nullptr, kGrey, kGrey, {0, 0, 255, 255}, 255, {0, 0, 255, 255}},
    {"SolidAdditiveCoverless",
     nullptr,
     &blend::SolidAdditive::PixelFull,
     kGrey,
     kGrey,
     {10, 200, 0, 128},
     0,
     {105, 200, 100, 255}},
    {"SolidOverAlphaOnTransparent",
     &blend::SolidOverAlpha::Pixel,
     nullptr,
     {0, 0, 0, 0},
     kGrey,
     {30, 60, 90, 255},
     128,
     {30, 60, 90, 128}},
    // n = (256 - 128) * 128 + 128 * 256 = 49152: d = (0 + 255 * 128 * 255) / n = 169, alpha 192.
    {"SolidOverAlphaCoverlessPartial",
     nullptr,
     &blend::SolidOverAlpha::PixelFull,
     {0, 0, 0, 128},
     kGrey,
     {255, 255, 255, 128},
     0,
     {169, 169, 169, 192}},
    {"SolidAdditiveOverAlphaOnTransparent",
     nullptr,
     &blend::SolidAdditiveOverAlpha::PixelFull,
     {0, 0, 0, 0},
     kGrey,
     {7, 8, 9, 50},
     0,
     {7, 8, 9, 50}},
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
    const PixelFn rules[] = {&blend::Tinted::Pixel,
                             &blend::Plain::Pixel,
                             &blend::Additive::Pixel,
                             &blend::TintedOverAlpha::Pixel,
                             &blend::AdditiveOverAlpha::Pixel,
                             &blend::Premultiplied::Pixel,
                             &blend::PremultipliedOverAlpha::Pixel,
                             &blend::Solid::Pixel,
                             &blend::SolidAdditive::Pixel,
                             &blend::SolidOverAlpha::Pixel,
                             &blend::SolidAdditiveOverAlpha::Pixel};
    for (PixelFn rule : rules) {
        for (uint32_t da : {0u, 1u, 128u, 254u, 255u}) {
            for (uint32_t sa = 0; sa < 256; sa += 17) {
                const Px s{250, 3, 128, uint8_t(sa)};
                const Px t{200, 255, 90, uint8_t(255 - sa / 2)};
                Px d{40, 250, 128, uint8_t(da)};
                const Px before = d;
                rule(d.data(), s.data(), t.data(), 0);
                ASSERT_EQ(d, before);
                for (uint32_t c = 1; c < 256; c += 3) {
                    Px e = before;
                    rule(e.data(), s.data(), t.data(), c);
                    if (rule == &blend::TintedOverAlpha::Pixel || rule == &blend::SolidOverAlpha::Pixel) {
                        // Alpha composition never loses destination coverage.
                        ASSERT_GE(e[3], before[3]) << "sa " << sa << " da " << da << " c " << c;
                    }
                }
            }
        }
    }
}

} // namespace
