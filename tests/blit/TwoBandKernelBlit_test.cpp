#include "blit/TwoBandKernelBlit.h"

#include "blit/CBlitAmplifyLight.h"
#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "blit/ColorTables.h"
#include "blit/PixelBlends.h"
#include "images/CFrame.h"
#include "support/KernelSetGuard.h"

#include "support/RunLengthBlock.h"
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// 8 x 2. Row 0, opaque plane: literal 0x1234 0xF800 0x07E0 at 0-2, 0x8410
// repeated at 3-4. Row 1, alpha plane: literal 0xFFFF (alpha 128) and 0x001F
// (255) at 0-1, 0x4208 (128) repeated at 2-4. Columns 5-7 are empty.
std::unique_ptr<CFrame> LightFrame()
{
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(8, 2, 16);
    std::array<SRunLengthBlock, 4> extra;
    extra[3] = Block({{0x88}, {0x42, 0xFF, 0xFF, 0x1F, 0x00, 0x03, 0x08, 0x42, 0x83}});
    extra[2] = Block({{}, {128, 255, 128}});
    EXPECT_TRUE(frame->TakeRunLengthForm(
        kFrameTwoBands, Block({{0x43, 0x34, 0x12, 0x00, 0xF8, 0xE0, 0x07, 0x02, 0x10, 0x84, 0x83}, {0x88}}),
        std::move(extra)));
    return frame;
}

constexpr uint16_t kOpaque[5] = {0x1234, 0xF800, 0x07E0, 0x8410, 0x8410};
constexpr uint8_t kAlpha[5] = {128, 255, 128, 128, 128};

uint16_t At(const CFrame& frame, uint32_t x, uint32_t y)
{
    uint16_t v;
    std::memcpy(&v, frame.Row(y) + 2 * x, 2);
    return v;
}

std::unique_ptr<CFrame> Background()
{
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(16, 2, 16);
    for (uint32_t y = 0; y < 2; ++y)
        for (uint32_t x = 0; x < 16; ++x) {
            const uint16_t v = uint16_t(0x39E7 + x * 0x0841 + y * 0x1000);
            std::memcpy(frame->Row(y) + 2 * x, &v, 2);
        }
    return frame;
}

CBlitType& BlitTypeNamed(const char* name)
{
    CBlitTypeList& list = CBlitTypeList::SGetInstance();
    return *list.GetBlitType(list.Find(name));
}

struct SLightCase {
    std::string name;
    const char* type;
    float opacity;
    CRect s; // source columns drawn, at destination column 4 + s.left
};

class RunLengthLightTest : public testing::TestWithParam<SLightCase> {
protected:
    void SetUp() override
    {
        RegisterImagesClasses();
        InitBlitTables();
    }
};

// Every run is shorter than a group of four, so each pixel takes the
// per-pixel floor blend and has a one-line reference.
TEST_P(RunLengthLightTest, DrawsEachPlaneWithItsKernels)
{
    const SLightCase& c = GetParam();
    CKernelSetGuard plain(KernelForce::Plain);
    std::unique_ptr<CFrame> light = LightFrame();
    std::unique_ptr<CFrame> destination = Background();
    std::unique_ptr<CFrame> before = Background();
    CBlitType& type = BlitTypeNamed(c.type);
    type.SetOpacity(c.opacity);
    const CRect d = {4 + c.s.left, c.s.top, 4 + c.s.right, c.s.bottom};
    BlitFunction routine = type.GetBlitFunction(*light, *destination);
    ASSERT_NE(routine, nullptr);
    routine(*light, c.s, *destination, d, type);
    const bool shadow = std::string(c.type) == "Blit As Shadow";
    const uint32_t level = uint32_t(c.opacity * 255.0f + 0.5f);
    for (uint32_t y = 0; y < 2; ++y)
        for (uint32_t x = 0; x < 16; ++x) {
            const uint16_t old = At(*before, x, y);
            uint16_t expected = old;
            const int32_t column = int32_t(x) - 4;
            const bool drawn = column >= c.s.left && column < c.s.right && column < 5 && int32_t(y) >= c.s.top
                && int32_t(y) < c.s.bottom;
            if (drawn && y == 0) {
                if (shadow)
                    expected = BlendPixel565(old, 0, 100);
                else if (c.opacity == 1.0f)
                    expected = AmplifyPixel565(old, kOpaque[column]);
                else
                    expected = BlendPixel565(old, kOpaque[column], uint8_t(level));
            }
            if (drawn && y == 1) {
                if (!shadow)
                    expected = 0xFFFF;
                else if (column < 2) // literal: floor(A * 100 / 255)
                    expected = BlendPixel565(old, 0, uint8_t(kAlpha[column] * 100 / 255));
                else // repeat: (A * 100) >> 8
                    expected = BlendPixel565(old, 0, uint8_t((kAlpha[column] * 100) >> 8));
            }
            ASSERT_EQ(At(*destination, x, y), expected) << x << "," << y;
        }
    if (shadow && c.s.top <= 1 && c.s.bottom > 1 && c.s.left < 2 && c.s.right > 0) {
        EXPECT_EQ(type.GetOpacity(), 1.0f); // a literal alpha run leaves it at 1
    }
    type.SetOpacity(1.0f);
}

INSTANTIATE_TEST_SUITE_P(
    Lights, RunLengthLightTest,
    testing::Values(SLightCase{"ShadowWhole", "Blit As Shadow", 1.0f, {0, 0, 8, 2}},
                    SLightCase{"ShadowClipped", "Blit As Shadow", 1.0f, {1, 0, 4, 2}},
                    SLightCase{"ShadowHalfOpacityDrawsAsOpaque", "Blit As Shadow", 0.5f, {0, 0, 8, 2}},
                    SLightCase{"ShadowRepeatOnly", "Blit As Shadow", 0.5f, {3, 0, 8, 2}},
                    SLightCase{"ShadowSecondRow", "Blit As Shadow", 1.0f, {0, 1, 8, 2}},
                    SLightCase{"AmplifyWhole", "Blend Amplify Light", 1.0f, {0, 0, 8, 2}},
                    SLightCase{"AmplifyClipped", "Blend Amplify Light", 1.0f, {2, 0, 5, 2}},
                    SLightCase{"AmplifyHalfOpacityBlends", "Blend Amplify Light", 0.5f, {0, 0, 8, 2}},
                    SLightCase{"AmplifyFirstRow", "Blend Amplify Light", 1.0f, {0, 0, 8, 1}}),
    [](const auto& p) { return p.param.name; });

// A literal claiming more pixels than its block holds is refused when the
// frame takes the block, so no decoder ever walks past it.
TEST_F(RunLengthLightTest, TruncatedStreamsAreRefusedBeforeAnyDraw)
{
    std::unique_ptr<CFrame> light = CFrame::MakeOwned(60, 1, 16);
    EXPECT_FALSE(light->TakeRunLengthForm(kFrameTwoBands, Block({{0x01, 0x00, 0x00, 0x7C, 0x10}}), {}));
}

} // namespace
