#include "images/CFrameAsMipMapTexture.h"

#include "blit/CBlitTypeList.h"
#include "images/CFrame.h"
#include "platform/GraphicsDeviceHeadless.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace {

class MipMapTexture : public testing::Test {
protected:
    void SetUp() override
    {
        RegisterImagesClasses();
        ASSERT_TRUE(m_Device.Reset(64, 48, false));
        m_Device.TakeCalls();
    }

    static std::unique_ptr<CFrame> Pattern(uint32_t width, uint32_t height)
    {
        auto frame = CFrame::MakeOwned(width, height, 32);
        for (uint32_t y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(frame->Row(y));
            for (uint32_t x = 0; x < width; ++x)
                row[x] = (x * 37 + y * 11) % 256 | ((x * 5) % 256) << 8 | ((y * 29 + 3) % 256) << 16
                    | ((x + y) % 2 ? 255u : 17u) << 24;
        }
        return frame;
    }

    CFrameAsMipMapTexture* Texture(CFrame& frame) { return CFrameAsMipMapTexture::SFindOrCreate(frame, m_Device); }

    plat::CGraphicsDeviceHeadless m_Device;
    SScreenTarget m_Target{m_Device, SScreenView{}};
};

struct SizeCase {
    const char* name;
    uint32_t width, height;
};

class MipMapChain : public MipMapTexture, public testing::WithParamInterface<SizeCase> {};

// Independent of the code: a texel of level k is the mean of the 2^k x 2^k
// block of level-0 texels it covers, each step rounded to nearest, half up.
TEST_P(MipMapChain, MatchesTheBlockAveragesOfThePaddedPicture)
{
    const SizeCase& c = GetParam();
    auto frame = Pattern(c.width, c.height);
    const auto levels = CFrameAsMipMapTexture::BuildLevels(*frame);
    ASSERT_FALSE(levels.empty());
    uint32_t tw = 1, th = 1;
    while (tw < c.width)
        tw *= 2;
    while (th < c.height)
        th *= 2;
    ASSERT_EQ(levels[0].width, tw);
    ASSERT_EQ(levels[0].height, th);
    ASSERT_EQ(levels.size(), size_t(std::log2(std::max(tw, th))) + 1);
    std::vector<std::vector<double>> reference(4);
    auto source = [&](uint32_t x, uint32_t y) {
        const auto* row = reinterpret_cast<const uint32_t*>(frame->Row(std::min(y, c.height - 1)));
        return row[std::min(x, c.width - 1)];
    };
    std::vector<uint32_t> previous(size_t(tw) * th);
    for (uint32_t y = 0; y < th; ++y)
        for (uint32_t x = 0; x < tw; ++x)
            previous[y * tw + x] = source(x, y);
    EXPECT_EQ(levels[0].pixels, previous);
    uint32_t pw = tw, ph = th;
    for (size_t k = 1; k < levels.size(); ++k) {
        const uint32_t w = std::max(pw / 2, 1u), h = std::max(ph / 2, 1u);
        ASSERT_EQ(levels[k].width, w);
        ASSERT_EQ(levels[k].height, h);
        std::vector<uint32_t> next(size_t(w) * h);
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x) {
                uint32_t out = 0;
                for (int shift = 0; shift < 32; shift += 8) {
                    double total = 0;
                    int n = 0;
                    for (uint32_t yy = y * ph / h; yy < (y + 1) * ph / h; ++yy)
                        for (uint32_t xx = x * pw / w; xx < (x + 1) * pw / w; ++xx, ++n)
                            total += (previous[yy * pw + xx] >> shift) & 0xFF;
                    out |= uint32_t(std::floor(total / n + 0.5)) << shift;
                }
                next[y * w + x] = out;
            }
        EXPECT_EQ(levels[k].pixels, next) << "level " << k;
        previous = next;
        pw = w, ph = h;
    }
}

INSTANTIATE_TEST_SUITE_P(OddSizes, MipMapChain,
                         testing::Values(SizeCase{"OnePixel", 1, 1}, SizeCase{"FiveByThree", 5, 3},
                                         SizeCase{"Row", 7, 1}, SizeCase{"Column", 1, 9},
                                         SizeCase{"HundredBySixty", 100, 60}, SizeCase{"OddBoth", 33, 17}),
                         [](const testing::TestParamInfo<SizeCase>& size) { return std::string(size.param.name); });

TEST_F(MipMapTexture, TextureCoordinatesCoverTheFramesPartOfTheTexture)
{
    auto frame = Pattern(100, 60);
    CFrameAsMipMapTexture* texture = Texture(*frame);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetTexture()->GetWidth(), 128u);
    EXPECT_EQ(texture->GetTexture()->GetHeight(), 64u);
    EXPECT_FLOAT_EQ(texture->GetUMax(), 0.78125f);
    EXPECT_FLOAT_EQ(texture->GetVMax(), 0.9375f);
    EXPECT_EQ(Texture(*frame), texture);
}

TEST_F(MipMapTexture, DeviceMemoryGoesWithTheFrameAndSurvivesAReset)
{
    auto frame = Pattern(20, 10);
    ASSERT_NE(Texture(*frame), nullptr);
    EXPECT_EQ(m_Device.GetTextureCount(), 1u);
    ASSERT_TRUE(m_Device.Reset(80, 60, true));
    EXPECT_EQ(m_Device.GetRebuiltTextures(), 1u);
    EXPECT_TRUE(Texture(*frame)->Draw(m_Target, 0, 0, 255, nullptr));
    frame.reset();
    EXPECT_EQ(m_Device.GetTextureCount(), 0u);
    EXPECT_EQ(m_Device.GetTextureBytes(), 0u);
}

// A texture belongs to the device that made it: drawing the frame on
// another device makes that device's own, never hands it the first one's.
TEST_F(MipMapTexture, AnotherDeviceGetsATextureOfItsOwn)
{
    auto frame = Pattern(20, 10);
    ASSERT_NE(Texture(*frame), nullptr);
    plat::CGraphicsDeviceHeadless other;
    ASSERT_TRUE(other.Reset(32, 32, false));
    CFrameAsMipMapTexture* texture = CFrameAsMipMapTexture::SFindOrCreate(*frame, other);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(other.GetTextureCount(), 1u);
    EXPECT_EQ(m_Device.GetTextureCount(), 0u);
    ASSERT_TRUE(texture->Draw(SScreenTarget{other, SScreenView{}}, 0, 0, 255, nullptr));
    const auto calls = other.TakeCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().texture, texture->GetTexture());
}

TEST_F(MipMapTexture, SixteenAndTwentyFourBitFramesBecomeOpaqueThirtyTwoBits)
{
    auto wide = CFrame::MakeOwned(3, 2, 24);
    const uint8_t bgr[3] = {0x10, 0x80, 0xF0};
    std::memcpy(wide->Row(1) + 3, bgr, 3);
    EXPECT_EQ(CFrameAsMipMapTexture::BuildLevels(*wide)[0].pixels[4 + 1], 0xFFF08010u);
    auto narrow = CFrame::MakeOwned(3, 2, 16);
    // Red 31, green 32, blue 1 in 565.
    const uint16_t pixel = 31 << 11 | 32 << 5 | 1;
    std::memcpy(narrow->Row(0), &pixel, 2);
    EXPECT_EQ(CFrameAsMipMapTexture::BuildLevels(*narrow)[0].pixels[0], 0xFFFF8208u);
}

// The texture shows a 16-bit frame as the "Normal" blit draws it into 32
// bits, every one of the 65,536 pixel values.
TEST_F(MipMapTexture, EverySixteenBitValueWidensAsTheNormalBlitDoes)
{
    auto every = CFrame::MakeOwned(256, 256, 16);
    for (uint32_t y = 0; y < 256; ++y)
        for (uint32_t x = 0; x < 256; ++x) {
            const uint16_t pixel = uint16_t(y << 8 | x);
            std::memcpy(every->Row(y) + 2 * x, &pixel, 2);
        }
    auto blitted = CFrame::MakeOwned(256, 256, 32);
    const CRect whole{0, 0, 256, 256};
    blitted->BlitToFrame(*every, whole, whole, GetNormalBlitType());
    const auto levels = CFrameAsMipMapTexture::BuildLevels(*every);
    ASSERT_FALSE(levels.empty());
    ASSERT_EQ(levels[0].width, 256u);
    size_t differing = 0;
    for (uint32_t y = 0; y < 256; ++y) {
        const auto* expected = reinterpret_cast<const uint32_t*>(blitted->Row(y));
        for (uint32_t x = 0; x < 256; ++x) {
            const uint32_t got = levels[0].pixels[size_t(y) * 256 + x];
            if (got != expected[x] && differing++ < 5)
                ADD_FAILURE() << "pixel " << std::hex << (y << 8 | x) << ": " << got << " against " << expected[x];
        }
    }
    EXPECT_EQ(differing, 0u);
    EXPECT_EQ(levels[0].pixels[0], 0xFF000000u);
}

TEST_F(MipMapTexture, DrawPlacesTheHotSpotAndCarriesTheAlpha)
{
    auto frame = Pattern(8, 4);
    frame->SetOffset(-2, -1);
    CFrameAsMipMapTexture* texture = Texture(*frame);
    ASSERT_TRUE(texture->Draw(SScreenTarget{m_Device, SScreenView{2.0f, 10.0f, 4.0f}}, 5, 6, 254, nullptr));
    const auto calls = m_Device.TakeCalls();
    ASSERT_EQ(calls.size(), 1u);
    const auto& v = calls[0].vertices;
    ASSERT_EQ(v.size(), 6u);
    EXPECT_EQ(v[0].argb, 0xFEFFFFFFu);
    // (5 - 2) * 2 + 10 and (6 - 1) * 2 + 4; the far corner 8 by 4 pixels on.
    EXPECT_FLOAT_EQ(v[0].x, 16.0f);
    EXPECT_FLOAT_EQ(v[0].y, 14.0f);
    EXPECT_FLOAT_EQ(v[2].x, 32.0f);
    EXPECT_FLOAT_EQ(v[2].y, 22.0f);
}

TEST_F(MipMapTexture, ClipCutsTheQuadAndItsTextureCoordinates)
{
    auto frame = Pattern(8, 8);
    CFrameAsMipMapTexture* texture = Texture(*frame);
    const SFloatRect missing{20, 20, 30, 30};
    EXPECT_FALSE(texture->Draw(m_Target, 0, 0, 255, &missing));
    EXPECT_TRUE(m_Device.TakeCalls().empty());
    const SFloatRect half{4, 0, 30, 30};
    ASSERT_TRUE(texture->Draw(m_Target, 0, 0, 255, &half));
    const auto calls = m_Device.TakeCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_FLOAT_EQ(calls[0].vertices[0].x, 4.0f);
    EXPECT_FLOAT_EQ(calls[0].vertices[0].u, 0.5f);
    EXPECT_FLOAT_EQ(calls[0].vertices[1].u, 1.0f);
}

TEST_F(MipMapTexture, TransformedDrawMirrorsAndRotatesAboutTheHotSpot)
{
    auto frame = Pattern(4, 2);
    CFrameAsMipMapTexture* texture = Texture(*frame);
    STextureDrawTransform t;
    t.x = 10;
    t.y = 10;
    t.angleDegrees = 90;
    t.flags = 4 | 1;
    ASSERT_TRUE(texture->DrawTransformed(m_Target, t));
    const auto calls = m_Device.TakeCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].blend, plat::ScreenBlend::Additive);
    // Corner (4, 0): mirrored to (-4, 0), turned a quarter to (0, -4).
    EXPECT_NEAR(calls[0].vertices[1].x, 10.0f, 1e-4f);
    EXPECT_NEAR(calls[0].vertices[1].y, 6.0f, 1e-4f);
}

} // namespace
