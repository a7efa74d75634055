#include "render/CBlurRenderer.h"

#include "images/CFrame.h"
#include "render/CBlitXParams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

class BlurTest : public testing::Test {
protected:
    void SetUp() override { RegisterShapeAndBlitClasses(); }
};

std::unique_ptr<CFrame> RandomFrame(uint32_t w, uint32_t h, uint32_t seed)
{
    std::unique_ptr<CFrame> f = CFrame::MakeOwned(w, h, 32);
    std::mt19937 random(seed);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < 4 * w; ++x)
            f->Row(y)[x] = uint8_t(random());
    // Some fully transparent and some opaque pixels.
    for (uint32_t y = 0; y < h; y += 3)
        f->Row(y)[3] = 0;
    for (uint32_t y = 1; y < h; y += 2)
        f->Row(y)[4 * (w - 1) + 3] = 255;
    return f;
}

std::vector<uint8_t> Bytes(const CFrame& f)
{
    std::vector<uint8_t> v;
    for (uint32_t y = 0; y < f.GetHeight(); ++y)
        v.insert(v.end(), f.Row(y), f.Row(y) + 4 * f.GetWidth());
    return v;
}

// The stack blur written directly from its kernel: weights r + 1 - |k|,
// edges clamped, colour weighted by alpha, alpha over (r + 1)^2.
void ReferencePass(std::vector<uint8_t>& px, uint32_t w, uint32_t h, uint32_t r, bool rows)
{
    const std::vector<uint8_t> in = px;
    const uint32_t count = rows ? w : h, lines = rows ? h : w;
    for (uint32_t l = 0; l < lines; ++l)
        for (uint32_t i = 0; i < count; ++i) {
            uint64_t s[4] = {};
            for (int k = -int(r); k <= int(r); ++k) {
                const uint32_t j = uint32_t(std::clamp(int(i) + k, 0, int(count) - 1));
                const uint8_t* p = &in[4 * (rows ? l * w + j : j * w + l)];
                const uint64_t wa = uint64_t(r + 1 - uint32_t(std::abs(k))) * p[3];
                for (int c = 0; c < 3; ++c)
                    s[c] += wa * p[c];
                s[3] += wa;
            }
            uint8_t* o = &px[4 * (rows ? l * w + i : i * w + l)];
            for (int c = 0; c < 3; ++c)
                o[c] = s[3] ? uint8_t(s[c] / s[3]) : 0;
            o[3] = uint8_t(s[3] / ((r + 1) * (r + 1)));
        }
}

struct StackCase {
    const char* name;
    uint32_t w, h;
    float radius;
};

class StackBlurTest : public BlurTest, public testing::WithParamInterface<StackCase> {};

TEST_P(StackBlurTest, MatchesTheKernelWrittenOut)
{
    const StackCase& k = GetParam();
    std::unique_ptr<CFrame> frame = RandomFrame(k.w, k.h, k.w * 31 + k.h);
    std::vector<uint8_t> expected = Bytes(*frame);
    const uint32_t r = k.radius > 0 ? std::min(uint32_t(k.radius + 0.5f), 254u) : 0;
    if (r > 0) {
        ReferencePass(expected, k.w, k.h, r, true);
        ReferencePass(expected, k.w, k.h, r, false);
    }
    CBlurRenderer blur(k.radius, 0);
    EXPECT_TRUE(frame->Render(blur));
    EXPECT_EQ(Bytes(*frame), expected);
}

const StackCase kStackCases[] = {
    {"Radius0Identity", 7, 5, 0.0f}, {"NegativeIdentity", 7, 5, -3.0f},   {"Radius0_4RoundsTo0", 7, 5, 0.4f},
    {"Radius1", 9, 6, 1.0f},         {"Radius2_5RoundsTo3", 12, 7, 2.5f}, {"RadiusWiderThanFrame", 5, 4, 8.0f},
    {"OnePixelWide", 1, 9, 3.0f},    {"OnePixelFrame", 1, 1, 2.0f},       {"Radius300CapsAt254", 3, 2, 300.0f},
};

INSTANTIATE_TEST_SUITE_P(Frames, StackBlurTest, testing::ValuesIn(kStackCases),
                         [](const testing::TestParamInfo<StackCase>& p) { return std::string(p.param.name); });

// Transparent pixels carry a colour (red) that must not show anywhere.
TEST_F(BlurTest, TransparentColourNeverBleedsInEitherBlur)
{
    for (uint32_t flags : {0u, CBlurRenderer::kRecursive}) {
        std::unique_ptr<CFrame> frame = CFrame::MakeOwned(16, 12, 32);
        for (uint32_t y = 0; y < 12; ++y)
            for (uint32_t x = 0; x < 16; ++x) {
                uint8_t* p = frame->Row(y) + 4 * x;
                const bool opaque = x >= 6 && x < 10 && y >= 4 && y < 8;
                p[0] = opaque ? 200 : 0, p[1] = 0, p[2] = opaque ? 0 : 255, p[3] = opaque ? 255 : 0;
            }
        CBlurRenderer blur(3.0f, flags);
        EXPECT_TRUE(frame->Render(blur));
        for (uint32_t y = 0; y < 12; ++y)
            for (uint32_t x = 0; x < 16; ++x) {
                const uint8_t* p = frame->Row(y) + 4 * x;
                ASSERT_EQ(p[2], 0) << flags << " at " << x << "," << y;
                if (p[3] > 0) {
                    ASSERT_NEAR(p[0], 200, 1) << flags << " at " << x << "," << y;
                }
            }
    }
}

TEST_F(BlurTest, RecursiveBlurKeepsUniformFramesAndRespectsItsLimits)
{
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(20, 20, 32);
    for (uint32_t y = 0; y < 20; ++y)
        for (uint32_t x = 0; x < 20; ++x)
            std::memcpy(frame->Row(y) + 4 * x, "\x20\x80\xC0\xFF", 4);
    const std::vector<uint8_t> before = Bytes(*frame);
    CBlurRenderer blur(4.5f, CBlurRenderer::kRecursive);
    EXPECT_TRUE(frame->Render(blur));
    const std::vector<uint8_t> after = Bytes(*frame);
    for (size_t i = 0; i < after.size(); ++i)
        ASSERT_NEAR(after[i], before[i], 1) << i;

    // Below the library's smallest radius nothing changes.
    std::unique_ptr<CFrame> random = RandomFrame(8, 8, 3);
    const std::vector<uint8_t> original = Bytes(*random);
    CBlurRenderer small(0.6f, CBlurRenderer::kRecursive);
    EXPECT_TRUE(random->Render(small));
    EXPECT_EQ(Bytes(*random), original);

    // Other depths are left alone.
    std::unique_ptr<CFrame> sixteen = CFrame::MakeOwned(8, 8, 16);
    sixteen->Row(3)[5] = 77;
    CBlurRenderer stack(2.0f, 0);
    EXPECT_TRUE(sixteen->Render(stack));
    EXPECT_EQ(sixteen->Row(3)[5], 77);
}

} // namespace
