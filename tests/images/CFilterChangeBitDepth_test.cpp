#include "images/CFilterChangeBitDepth.h"

#include "blit/CBlitTypeList.h"
#include "blit/CColor.h"
#include "blit/GamePalette.h"
#include "images/CFilterRLEColor0.h"
#include "images/CFrame.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

class BitDepthTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterImagesClasses(); }
    void TearDown() override { ClearGamePalette(); }

    CScopedRunLengthEncoding m_Encoding{false};
};

// Entries 1 black, 2 mid grey, 3 white; the rest black.
std::vector<uint8_t> GreyPalette()
{
    std::vector<uint8_t> p(768, 0);
    std::memset(&p[3 * 2], 128, 3);
    std::memset(&p[3 * 3], 255, 3);
    return p;
}

TEST_F(BitDepthTest, ChannelTablesWidenRgb565)
{
    auto frame = CFrame::MakeOwned(1, 1, 16);
    frame->Row(0)[0] = 0x1F;
    ChangeFrameBitDepth(*frame, 24, Dither::Off);
    ASSERT_EQ(frame->GetBitDepth(), 24u);
    EXPECT_EQ(frame->Row(0)[0], 255);
    EXPECT_EQ(frame->Row(0)[1], 0);
    EXPECT_EQ(frame->Row(0)[2], 0);
}

TEST_F(BitDepthTest, DithererRetriesFromTheAskedColourBeyondTheMaximumError)
{
    const std::vector<uint8_t> palette = GreyPalette();
    // Pixel 1 (0.3) takes grey and owes 7/16 of +0.2 to pixel 2, whose
    // error-adjusted 0.21 picks black, 0.3 away from the asked colour: more
    // than 0.5 squared, so it is picked again from 0.3, giving grey.
    CColorDitherer strict(4, 0.5f, palette.data(), nullptr);
    EXPECT_EQ(strict.PickPaletteIndex(0.3f, 0.3f, 0.3f), 2);
    EXPECT_EQ(strict.PickPaletteIndex(0.3f, 0.3f, 0.3f), 2);
    CColorDitherer loose(4, 10.0f, palette.data(), nullptr);
    EXPECT_EQ(loose.PickPaletteIndex(0.3f, 0.3f, 0.3f), 2);
    EXPECT_EQ(loose.PickPaletteIndex(0.3f, 0.3f, 0.3f), 1);
}

TEST_F(BitDepthTest, DithererSpreadsOnlyInsideTheRow)
{
    const std::vector<uint8_t> palette = GreyPalette();
    // One-pixel rows: nothing goes right, 5/16 goes below.
    CColorDitherer column(1, 10.0f, palette.data(), nullptr);
    float r = 0.3f, g = 0.3f, b = 0.3f;
    column.AddError(r, g, b);
    float q = 128 / 255.0f, qg = q, qb = q;
    EXPECT_FALSE(column.Distribute(q, qg, qb));
    r = g = b = 0.3f;
    column.AddError(r, g, b);
    EXPECT_NEAR(r, 0.3f - 5.0f / 16.0f * (128 / 255.0f - 0.3f), 1e-6);
}

TEST_F(BitDepthTest, PlainSearchesStopBeforeEntry255WhileTheDithererMayPickIt)
{
    std::vector<uint8_t> palette = GreyPalette();
    std::memset(&palette[3 * 255], 77, 3); // the exact colour, only at 255
    SetGamePalette(palette.data());
    for (const Dither dither : {Dither::Off, Dither::On}) {
        auto frame = CFrame::MakeOwned(1, 1, 24);
        std::memset(frame->Row(0), 77, 3);
        ChangeFrameBitDepth(*frame, 8, dither);
        EXPECT_EQ(frame->Row(0)[0], dither == Dither::On ? 255 : 2);
    }
}

TEST_F(BitDepthTest, ThirtyTwoBitFramesBecomeTwentyFourOnlyWhenOpaque)
{
    auto frame = CFrame::MakeOwned(2, 1, 32);
    const uint8_t pixels[] = {1, 2, 3, 255, 4, 5, 6, 249};
    std::memcpy(frame->Row(0), pixels, 8);
    ChangeFrameBitDepth(*frame, 24, Dither::Off);
    EXPECT_EQ(frame->GetBitDepth(), 32u);
    frame->Row(0)[7] = 250;
    ChangeFrameBitDepth(*frame, 24, Dither::Off);
    ASSERT_EQ(frame->GetBitDepth(), 24u);
    EXPECT_EQ(std::vector<uint8_t>(frame->Row(0), frame->Row(0) + 6), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
}

TEST_F(BitDepthTest, FramesWithoutPixelsOnlyTakeTheDepth)
{
    CFrame frame;
    CFilterChangeBitDepth filter(Dither::Off, 16);
    EXPECT_TRUE(filter.Apply(frame, {}));
    EXPECT_EQ(frame.GetBitDepth(), 16u);
}

TEST_F(BitDepthTest, ConversionsToEightSearchTheGamePaletteAndKeepTransparentIndexZeroUpward)
{
    SetGamePalette(GreyPalette().data());
    auto frame = CFrame::MakeOwned(3, 1, 24);
    const uint8_t pixels[] = {250, 250, 250, 100, 100, 100, 0, 0, 0};
    std::memcpy(frame->Row(0), pixels, 9);
    ChangeFrameBitDepth(*frame, 8, Dither::Off);
    ASSERT_EQ(frame->GetBitDepth(), 8u);
    EXPECT_EQ(std::vector<uint8_t>(frame->Row(0), frame->Row(0) + 3), (std::vector<uint8_t>{3, 2, 1}));
    frame->Row(0)[2] = 0;
    ChangeFrameBitDepth(*frame, 16, Dither::Off);
    ASSERT_EQ(frame->GetBitDepth(), 16u);
    EXPECT_EQ(frame->Row(0)[4] | frame->Row(0)[5], 0);
    EXPECT_EQ(frame->Row(0)[0] | frame->Row(0)[1] << 8, 0xFFFF);
}

TEST_F(BitDepthTest, TwoBandFramesAtSixteenBitsHoldOneAlphaBytePerValue)
{
    SetRunLengthEncodingEnabled(true);
    auto frame = CFrame::MakeOwned(12, 2, 32);
    for (uint32_t x = 0; x < 12; ++x) {
        uint8_t* p = frame->Row(0) + 4 * x;
        p[0] = 40;
        p[3] = x < 10 ? 100 : uint8_t(20 * x); // a fill of 10, then a copy of 2
        frame->Row(1)[4 * x + 3] = 255;
    }
    CFrameFilter chain;
    chain.InsertFilter(std::make_unique<CFilterRLEColor0>(CFilterRLEColor0::Mode::TwoBands));
    chain.InsertFilter(std::make_unique<CFilterChangeBitDepth>(Dither::Off, 16));
    ASSERT_TRUE(chain.ApplyAll(*frame));
    ASSERT_EQ(frame->GetBitDepth(), 16u);
    const uint8_t* alpha = frame->GetRLEBlock(3);
    ASSERT_NE(alpha, nullptr);
    uint32_t size;
    std::memcpy(&size, alpha, 4);
    EXPECT_EQ(size, 4u + 3u); // fill, then two copied pixels; row 1 none
    EXPECT_EQ(frame->GetRLERowTable(3)[0], 4u);
    EXPECT_EQ(alpha[4], 100);
    EXPECT_EQ(alpha[5], 200);
    EXPECT_EQ(alpha[6], 220);
}

TEST_F(BitDepthTest, TwoBandFramesStayTrueColourAtTargetEight)
{
    SetGamePalette(GreyPalette().data());
    SetRunLengthEncodingEnabled(true);
    auto frame = CFrame::MakeOwned(3, 1, 32);
    frame->Row(0)[3] = 255;
    frame->Row(0)[7] = 100;
    CFrameFilter chain;
    chain.InsertFilter(std::make_unique<CFilterRLEColor0>(CFilterRLEColor0::Mode::TwoBands));
    chain.InsertFilter(std::make_unique<CFilterChangeBitDepth>(Dither::Off, 8));
    ASSERT_TRUE(chain.ApplyAll(*frame));
    EXPECT_EQ(frame->GetFlags() & 6, 4u);
    EXPECT_EQ(frame->GetBitDepth(), 16u);
}

} // namespace

namespace {

TEST_F(BitDepthTest, TwoBandFramesAtTwentyFourBitsAreReadAndDrawnAsBlueGreenRed)
{
    SetRunLengthEncodingEnabled(true);
    auto frame = CFrame::MakeOwned(3, 1, 32);
    const uint8_t pixels[] = {10, 20, 30, 255, 40, 50, 60, 100, 0, 0, 0, 0};
    std::memcpy(frame->Row(0), pixels, sizeof(pixels));
    CFrameFilter chain; // the bit-depth filter is there, so the blocks stay 4-byte
    chain.InsertFilter(std::make_unique<CFilterChangeBitDepth>(Dither::Off, 16));
    chain.InsertFilter(std::make_unique<CFilterRLEColor0>(CFilterRLEColor0::Mode::TwoBands));
    ASSERT_TRUE(chain.GetNext()->Apply(*frame, {}));
    ChangeFrameBitDepth(*frame, 24, Dither::Off);
    ASSERT_EQ(frame->GetBitDepth(), 24u);
    ASSERT_EQ(frame->GetFlags() & 6, 4u);
    CColor colour;
    ASSERT_TRUE(frame->GetPixel(0, 0, colour));
    EXPECT_EQ(colour, CColor(30, 20, 10, 255));
    ASSERT_TRUE(frame->GetPixel(1, 0, colour));
    EXPECT_EQ(colour, CColor(60, 50, 40, 100));
    EXPECT_TRUE(frame->HitTest(1, 0));
    EXPECT_FALSE(frame->HitTest(2, 0));
    auto destination = CFrame::MakeOwned(3, 1, 32);
    EXPECT_TRUE(destination->Blit(*frame, {0, 0, 3, 1}, {0, 0, 3, 1}, GetTransparentMaskBlitType()));
    EXPECT_EQ(destination->Row(0)[0], 10);
    EXPECT_EQ(destination->Row(0)[2], 30);
}

} // namespace
