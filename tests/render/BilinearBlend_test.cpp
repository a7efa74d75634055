#include "render/BilinearBlend.h"

#include "RenderTestSupport.h"
#include "blit/KernelTable.h"
#include "images/CFrame.h"
#include "render/BilinearBlend_SSE2.h"
#include "render/CBlitXParams.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>

namespace {

// Every weight pair against the plain sum of four weighted taps.
TEST(BilinearSampleSse2, MatchesTheWeightedSumOfFourTaps)
{
    std::mt19937 random(11);
    alignas(16) uint8_t taps[2][8];
    for (int round = 0; round < 8; ++round) {
        for (auto& row : taps)
            for (uint8_t& b : row)
                b = round == 0 ? 255 : round == 1 ? uint8_t(random() & 1 ? 255 : 0) : uint8_t(random());
        taps[0][3] |= 1; // keep one alpha set so the sample is taken
        for (uint32_t fx = 0; fx < 256; ++fx)
            for (uint32_t fy = 0; fy < 256; ++fy) {
                uint8_t got[4];
                const uint32_t alpha = SampleInsideSse2(taps[0], 8, fx, fy, got);
                for (int c = 0; c < 4; ++c) {
                    const uint32_t want = ((256 - fx) * (256 - fy) * taps[0][c] + fx * (256 - fy) * taps[0][c + 4]
                                           + (256 - fx) * fy * taps[1][c] + fx * fy * taps[1][c + 4])
                        >> 16;
                    ASSERT_EQ(got[c], want) << "fx " << fx << " fy " << fy << " channel " << c;
                }
                ASSERT_EQ(alpha, got[3]);
            }
    }
}

struct RuleCase {
    const char* name;
    uint32_t flags;
    bool tinted;
};

class BilinearAgainstAggTest : public CRenderFixture, public testing::WithParamInterface<RuleCase> {
protected:
    void TearDown() override { ForceKernelSetForTesting(KernelForce::None); }
};

std::unique_ptr<CFrame> RandomFrame(std::mt19937& random, uint32_t width, uint32_t height)
{
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(width, height, 32);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            uint8_t* p = frame->Row(y) + 4 * x;
            p[0] = uint8_t(random()), p[1] = uint8_t(random()), p[2] = uint8_t(random());
            const uint32_t kind = random() % 4; // transparent, opaque or anything between
            p[3] = kind == 0 ? 0 : kind == 1 ? 255 : uint8_t(random());
        }
    return frame;
}

std::unique_ptr<CFrame> Copy(const CFrame& frame)
{
    std::unique_ptr<CFrame> copy = CFrame::MakeOwned(frame.GetWidth(), frame.GetHeight(), 32);
    for (uint32_t y = 0; y < frame.GetHeight(); ++y)
        std::memcpy(copy->Row(y), frame.Row(y), 4 * frame.GetWidth());
    copy->SetOffset(int16_t(frame.GetOffsetX()), int16_t(frame.GetOffsetY()));
    return copy;
}

float Pick(std::mt19937& random, float low, float high)
{
    return std::uniform_real_distribution<float>(low, high)(random);
}

// Random transforms of random sprites (transparent pixels keep a colour),
// tints and fades at their edge values, sprites across the frame edges and
// clip rectangles: the direct sampler, plain and SSE2, writes exactly the
// bytes of AGG's span generator.
TEST_P(BilinearAgainstAggTest, DrawsTheSameBytes)
{
    const RuleCase& rule = GetParam();
    std::mt19937 random(uint32_t(std::hash<std::string>()(rule.name)));
    const uint8_t fades[] = {10, 11, 12, 127, 128, 254, 255};
    const float angles[] = {0.0f, 0.4f, 45.0f, 90.0f, -30.0f, 180.0f, 270.0f};
    for (int trial = 0; trial < 150; ++trial) {
        const uint32_t sw = 1 + random() % (trial % 5 == 0 ? 3 : 40), sh = 1 + random() % 40;
        std::unique_ptr<CFrame> source = RandomFrame(random, sw, sh);
        source->SetOffset(int16_t(random() % 5) - 2, int16_t(random() % 5) - 2);
        std::unique_ptr<CFrame> before = RandomFrame(random, 48, 40);
        if (random() % 3 == 0)
            before->SetOffset(int16_t(random() % 21) - 10, int16_t(random() % 21) - 10);

        const uint8_t fade = fades[random() % std::size(fades)];
        CColor colour(255, 255, 255, fade);
        if (rule.tinted)
            colour = CColor(uint8_t(random()), uint8_t(random()), random() % 4 ? uint8_t(random()) : 255, fade);
        uint32_t flags = rule.flags | uint32_t(random() % 4) * CBlitXParams::kMirrorX;
        const float angle = trial % 3 ? Pick(random, -720, 720) : angles[random() % std::size(angles)];
        const float scaleX = random() % 4 ? Pick(random, 0.05f, 4.0f) : float(1 + random() % 3) * 0.5f;
        const float scaleY = random() % 2 ? scaleX : Pick(random, 0.05f, 4.0f);
        CBlitXParams blit(source.get(), Pick(random, -30, 78), Pick(random, -30, 70), angle, scaleX, scaleY, colour,
                          flags, Pick(random, -5, 40), Pick(random, -5, 40), true);
        if (random() % 3 == 0) {
            blit.m_ClipEnabled = true;
            const int32_t left = int32_t(random() % 50) - 15, top = int32_t(random() % 40) - 15;
            blit.m_ClipRect = {left, top, left + int32_t(random() % 50), top + int32_t(random() % 50)};
        }

        std::unique_ptr<CFrame> reference = Copy(*before);
        bool drawn = false;
        CRect bounds{};
        {
            const CScopedBilinearSpans spans(EBilinearSpans::AggGenerator);
            drawn = reference->Render(blit);
            bounds = blit.m_DrawnBounds;
        }
        for (KernelForce force : {KernelForce::Plain, KernelForce::Sse2}) {
            ForceKernelSetForTesting(force);
            std::unique_ptr<CFrame> ours = Copy(*before);
            EXPECT_EQ(ours->Render(blit), drawn);
            EXPECT_EQ(blit.m_DrawnBounds, bounds);
            for (uint32_t y = 0; y < ours->GetHeight(); ++y)
                for (uint32_t x = 0; x < ours->GetWidth(); ++x) {
                    const uint8_t* a = reference->Row(y) + 4 * x;
                    const uint8_t* b = ours->Row(y) + 4 * x;
                    ASSERT_EQ(std::memcmp(a, b, 4), 0)
                        << "trial " << trial << " pixel " << x << "," << y << " kernel "
                        << (force == KernelForce::Plain ? "plain" : "SSE2") << " angle " << angle << " scale " << scaleX
                        << "x" << scaleY << " source " << sw << "x" << sh;
                }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, BilinearAgainstAggTest,
                         testing::Values(RuleCase{"Plain", 0, false}, RuleCase{"Tinted", 0, true},
                                         RuleCase{"Additive", CBlitXParams::kAdditive, true},
                                         RuleCase{"TintedOverAlpha", CRenderableObject::kRespectDestinationAlpha, true},
                                         RuleCase{"AdditiveOverAlpha",
                                                  CBlitXParams::kAdditive | CRenderableObject::kRespectDestinationAlpha,
                                                  true}),
                         [](const testing::TestParamInfo<RuleCase>& param) { return std::string(param.param.name); });

} // namespace
