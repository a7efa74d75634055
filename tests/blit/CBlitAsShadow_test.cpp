#include "blit/CBlitAsShadow.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "blit/ColorTables.h"
#include "images/CFrame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

CBlitType& ShadowType()
{
    CBlitTypeList& list = CBlitTypeList::SGetInstance();
    return *list.GetBlitType(list.Find("Blit As Shadow"));
}

class ShadowTest : public testing::TestWithParam<float> {
protected:
    void SetUp() override
    {
        RegisterImagesClasses();
        InitBlitTables();
    }
};

// Every source alpha over a 256-pixel row of varied colours: alpha (scaled
// by floor(A * L / 255) below full opacity) under 8 leaves the pixel, else
// each colour byte c becomes (c * (255 - ((A * 100) >> 8))) >> 8 and alpha 0.
TEST_P(ShadowTest, DarkensByTheSourceAlphaAlone)
{
    const float opacity = GetParam();
    std::unique_ptr<CFrame> source = CFrame::MakeOwned(256, 4, 32);
    std::unique_ptr<CFrame> destination = CFrame::MakeOwned(256, 4, 32);
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 256; ++x) {
            uint8_t* s = source->Row(y) + 4 * x;
            s[0] = uint8_t(x * 3), s[1] = uint8_t(y), s[2] = 200, s[3] = uint8_t(x); // colour is ignored
            uint8_t* d = destination->Row(y) + 4 * x;
            d[0] = uint8_t(255 - y * 60), d[1] = uint8_t(x), d[2] = uint8_t(x * 7 + y), d[3] = uint8_t(77 + y);
        }
    std::unique_ptr<CFrame> before = CFrame::MakeOwned(256, 4, 32);
    for (uint32_t y = 0; y < 4; ++y)
        std::memcpy(before->Row(y), destination->Row(y), 1024);
    CBlitType& type = ShadowType();
    type.SetOpacity(opacity);
    ASSERT_TRUE(destination->Blit(*source, {0, 0, 256, 4}, {0, 0, 256, 4}, type));
    type.SetOpacity(1.0f);
    const uint32_t level = uint32_t(std::nearbyintf(opacity * 255.0f));
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 256; ++x) {
            const uint32_t alpha = opacity == 1.0f ? x : x * level / 255;
            const uint8_t* d = before->Row(y) + 4 * x;
            const uint8_t* got = destination->Row(y) + 4 * x;
            if (alpha < 8) {
                ASSERT_EQ(0, std::memcmp(got, d, 4)) << x;
                continue;
            }
            const uint32_t k = 255 - ((alpha * 100) >> 8);
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(got[c], (d[c] * k) >> 8) << x << "," << y;
            ASSERT_EQ(got[3], 0);
        }
}

INSTANTIATE_TEST_SUITE_P(Opacities, ShadowTest, testing::Values(1.0f, 0.5f, 0.999f, 0.0f),
                         [](const auto& p) { return "Percent" + std::to_string(int(p.param * 1000)); });

TEST_F(ShadowTest, OfThePlainPairsOnlyThirtyTwoBitsDraw)
{
    CBlitType& type = ShadowType();
    for (uint32_t from : {8u, 16u, 24u, 32u})
        for (uint32_t to : {8u, 16u, 24u, 32u}) {
            const uint32_t sf = from == 8 ? 0x20 : from == 16 ? 0x40 : from == 24 ? 0x80 : 0x100;
            const uint32_t df = to == 8 ? 0x20 : to == 16 ? 0x40 : to == 24 ? 0x80 : 0x100;
            EXPECT_EQ(type.FindBlitFunction(sf, df) != nullptr, from == 32 && to == 32) << from << " -> " << to;
        }
}

} // namespace
