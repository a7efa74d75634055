#include "blit/DrawLineAA.h"

#include "blit/CColor.h"
#include "blit/ColorTables.h"
#include "blit/PixelBlends.h"
#include "foundation/MathHelpers.h"
#include "images/CFrame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

class LineTest : public testing::Test {
protected:
    void SetUp() override
    {
        RegisterImagesClasses();
        InitBlitTables();
    }
};

std::vector<uint8_t> Bytes(const CFrame& frame)
{
    std::vector<uint8_t> bytes;
    for (uint32_t y = 0; y < frame.GetHeight(); ++y)
        bytes.insert(bytes.end(), frame.Row(y), frame.Row(y) + frame.GetWidth() * frame.GetBytesPerPixel());
    return bytes;
}

class HalfRowLineTest : public LineTest, public testing::WithParamInterface<uint32_t> {};

// y = 10.5 splits every column between rows 10 and 11 at 127 and 128.
TEST_P(HalfRowLineTest, SplitsTheColourBetweenTheTwoRows)
{
    const uint32_t depth = GetParam();
    const uint32_t bytes = depth / 8;
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(30, 20, depth);
    CColor white(255, 255, 255, 255);
    DrawLineAA(*frame, 2.0f, 10.5f, 20.0f, 10.5f, white);
    uint8_t row10[4], row11[4];
    if (depth == 16) {
        const uint16_t a = BlendPixel565(0, 0xFFFF, 127), b = BlendPixel565(0, 0xFFFF, 128);
        std::memcpy(row10, &a, 2);
        std::memcpy(row11, &b, 2);
    } else {
        std::memset(row10, 127, 3);
        std::memset(row11, 128, 3);
        row10[3] = row11[3] = 255;
        if (depth == 24) {
            const uint8_t w[3] = {255, 255, 255};
            std::memset(row10, 0, 3);
            std::memset(row11, 0, 3);
            BlendRgbTrunc(row10, w, 127);
            BlendRgbTrunc(row11, w, 128);
        }
    }
    for (uint32_t y = 0; y < 20; ++y)
        for (uint32_t x = 0; x < 30; ++x) {
            const uint8_t* p = frame->Row(y) + x * bytes;
            const bool drawn = x >= 2 && x <= 20 && (y == 10 || y == 11);
            if (drawn)
                ASSERT_EQ(0, std::memcmp(p, y == 10 ? row10 : row11, bytes)) << x << "," << y;
            else
                ASSERT_EQ(p[0] | p[bytes - 1], 0) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Depths, HalfRowLineTest, testing::Values(16u, 24u, 32u),
                         [](const auto& p) { return "Bits" + std::to_string(p.param); });

TEST_F(LineTest, EightBitLinesUseWholePixelsAndRewriteThroughTheInverseTable)
{
    uint8_t grey[768];
    for (uint32_t i = 0; i < 768; ++i)
        grey[i] = uint8_t(i / 3);
    GetGamePalette() = CArrayPOD<uint8_t>();
    for (uint8_t b : grey)
        GetGamePalette().Append(b);
    InversePalette555 = CArrayPOD<uint8_t>();
    for (uint32_t v = 0; v < 32768; ++v)
        InversePalette555.Append(uint8_t((v & 31) * 8));
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(30, 20, 8);
    std::memset(frame->Row(11), 255, 30);
    CColor colour;
    colour.SetFromPaletteIndex(200);
    DrawLineAA(*frame, 2.0f, 10.5f, 20.0f, 10.5f, colour);
    const CColorTables& t = GetColorTables();
    const auto inverse
        = [&](uint32_t c) { return InversePalette555.GetData()[t.Blue5[c] + t.Green5[c] + t.Red555[c]]; };
    EXPECT_EQ(frame->Row(10)[5], inverse(200 * 255 / 256)); // weight 255
    EXPECT_EQ(frame->Row(11)[5], inverse(255));             // weight 0, still rewritten
    EXPECT_EQ(frame->Row(11)[1], 255);
    GetGamePalette() = CArrayPOD<uint8_t>();
    InversePalette555 = CArrayPOD<uint8_t>();
}

TEST_F(LineTest, EightBitLinesDrawNothingWithoutTheTables)
{
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(30, 20, 8);
    CColor colour(255, 255, 255, 255);
    DrawLineAA(*frame, 2.0f, 3.0f, 20.0f, 15.0f, colour);
    EXPECT_EQ(Bytes(*frame), std::vector<uint8_t>(600, 0));
}

TEST_F(LineTest, CoincidingEndsDrawOneStep)
{
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(10, 10, 32);
    CColor white(255, 255, 255, 255);
    DrawLineAA(*frame, 4.0f, 5.25f, 4.0f, 5.25f, white);
    uint32_t touched = 0;
    for (uint32_t y = 0; y < 10; ++y)
        for (uint32_t x = 0; x < 10; ++x)
            touched += frame->Row(y)[4 * x + 3] != 0;
    EXPECT_EQ(touched, 2u);
    // y = 5.25: f = 64, so rows 5 and 6 take 191 and 64.
    EXPECT_EQ(frame->Row(5)[16], 191);
    EXPECT_EQ(frame->Row(6)[16], 64);
    EXPECT_EQ(frame->Row(5)[19], 255);
    EXPECT_EQ(frame->Row(6)[19], 255);
}

// Lines whose end points lie inside a frame draw the same pixels whether the
// walk tests bounds (near the edges) or not (the same line moved inward in a
// larger frame).
TEST_F(LineTest, UntestedWalkMatchesTheTestedOne)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<float> x(0.0f, 63.99f), y(0.0f, 47.99f);
    for (uint32_t depth : {16u, 24u, 32u})
        for (int n = 0; n < 300; ++n) {
            std::unique_ptr<CFrame> small = CFrame::MakeOwned(64, 48, depth);
            std::unique_ptr<CFrame> large = CFrame::MakeOwned(70, 54, depth);
            large->SetOffset(-3, -3);
            CColor colour{uint8_t(random()), uint8_t(random()), uint8_t(random()), uint8_t(random() | 1)};
            const float x1 = x(random), y1 = y(random), x2 = x(random), y2 = y(random);
            DrawLineAA(*small, x1, y1, x2, y2, colour);
            DrawLineAA(*large, x1, y1, x2, y2, colour);
            const uint32_t bytes = depth / 8;
            for (uint32_t row = 0; row < 48; ++row)
                ASSERT_EQ(0, std::memcmp(small->Row(row), large->Row(row + 3) + 3 * bytes, 64 * bytes))
                    << depth << " bits, line " << n << " row " << row;
        }
}

TEST_F(LineTest, TheFrameOffsetMovesTheLineAndNothingLandsOutsideTheBuffer)
{
    // Pixels 0..9 of each row; the pitch leaves 6 guard pixels.
    std::vector<uint8_t> buffer(16 * 12 * 4, 0xAB);
    std::unique_ptr<CFrame> frame = CFrame::MakeBorrowed(buffer.data(), 10, 12, 32, 16);
    frame->SetOffset(-10, -5);
    CColor white(255, 255, 255, 255);
    DrawLineAA(*frame, -20.0f, -5.5f, -10.25f, 6.5f, white); // left of the frame
    DrawLineAA(*frame, -0.5f, -30.0f, -0.5f, 30.0f, white);  // down the last column
    DrawLineAA(*frame, -30.0f, 6.5f, 30.0f, 6.5f, white);    // across the last row
    DrawLineAA(*frame, -9.0f, -2.0f, -9.0f, -2.0f, white);   // one step at pixel (1, 3)
    for (uint32_t y = 0; y < 12; ++y)
        for (uint32_t b = 40; b < 64; ++b)
            ASSERT_EQ(buffer[y * 64 + b], 0xAB) << "guard of row " << y;
    EXPECT_EQ(buffer[9 * 4 + 3], 255);      // column 9 drawn, column 10 would be a guard
    EXPECT_EQ(buffer[11 * 64 + 3], 255);    // the last row drawn
    EXPECT_EQ(buffer[3 * 64 + 4 + 3], 255); // (1, 3)
    EXPECT_EQ(buffer[3 * 64 + 3], 0xAB);    // (0, 3) untouched by the line left of the frame
}

struct SExtremeCase {
    const char* name;
    float x1, y1, x2, y2;
};

class ExtremeLineTest : public LineTest, public testing::WithParamInterface<SExtremeCase> {};

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kMax = std::numeric_limits<float>::max();

// Undefined shifts or conversions would stop the sanitised build here; the
// pixels must stay inside the frame, and a level line whose ends lie far
// out draws exactly as the same line with ends just outside.
TEST_P(ExtremeLineTest, DrawsOnlyInsideWithoutOverflow)
{
    const SExtremeCase& c = GetParam();
    std::vector<uint8_t> buffer(56 * 40 * 4, 0xAB);
    std::unique_ptr<CFrame> frame = CFrame::MakeBorrowed(buffer.data(), 50, 40, 32, 56);
    frame->SetOffset(-25, -20);
    CColor colour(10, 200, 30, 255);
    DrawLineAA(*frame, c.x1, c.y1, c.x2, c.y2, colour);
    for (uint32_t y = 0; y < 40; ++y)
        for (uint32_t b = 200; b < 224; ++b)
            ASSERT_EQ(buffer[y * 224 + b], 0xAB);
}

INSTANTIATE_TEST_SUITE_P(Ends, ExtremeLineTest,
                         testing::Values(SExtremeCase{"HugeLevel", -1e30f, 0.5f, 1e30f, 0.5f},
                                         SExtremeCase{"HugeSteep", 3.5f, -1e30f, 3.5f, 1e30f},
                                         SExtremeCase{"HugeDiagonal", -1e30f, -1e30f, 1e30f, 1e30f},
                                         SExtremeCase{"FloatMax", -kMax, kMax, kMax, -kMax},
                                         SExtremeCase{"Infinite", -kInf, 0.0f, kInf, 1.0f},
                                         SExtremeCase{"InfiniteBoth", kInf, kInf, -kInf, -kInf},
                                         SExtremeCase{"NotANumber", std::nanf(""), 0.0f, 10.0f, 10.0f},
                                         SExtremeCase{"JustPastSixteenBits", -32768.5f, -3.0f, 32768.5f, 3.0f},
                                         SExtremeCase{"FarAndSteepish", -40000.0f, -70000.0f, 40000.0f, 70001.0f},
                                         SExtremeCase{"NearlyLevelFar", -1e9f, -1.0f, 1e9f, 1.0f},
                                         SExtremeCase{"OneEndFar", 0.0f, 0.0f, 3e9f, 7e8f}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(LineTest, FarEndsOfALevelLineDrawAsNearOnes)
{
    std::unique_ptr<CFrame> far = CFrame::MakeOwned(50, 40, 24);
    std::unique_ptr<CFrame> near = CFrame::MakeOwned(50, 40, 24);
    CColor colour(10, 200, 30, 255);
    DrawLineAA(*far, -1e20f, 12.25f, 1e20f, 12.25f, colour);
    DrawLineAA(*near, -3.0f, 12.25f, 60.0f, 12.25f, colour);
    EXPECT_EQ(Bytes(*far), Bytes(*near));
    DrawLineAA(*far, 7.75f, -1e20f, 7.75f, 1e20f, colour);
    DrawLineAA(*near, 7.75f, -3.0f, 7.75f, 50.0f, colour);
    EXPECT_EQ(Bytes(*far), Bytes(*near));
}

TEST(LineGradient, MatchesTheThirtyTwoBitFixedPointDivide)
{
    std::mt19937 random(9);
    for (int n = 0; n < 20000; ++n) {
        const int32_t b = int32_t(random() % 2000000) - 1000000;
        const int32_t a = b == 0 ? int32_t(random() % 1000)
                                 : int32_t(int64_t(random() % 2000001) * std::abs(b) / 1000000 - std::abs(b));
        ASSERT_EQ(LineGradient(a, b), FixedPointDivide(a, b, 16)) << a << " / " << b;
    }
    EXPECT_EQ(LineGradient(0, 0), -1);
    EXPECT_EQ(LineGradient(int64_t(1) << 32, int64_t(1) << 32), 65536);
}

} // namespace

namespace {

// The frame's float line is the anti-aliased line below 32 bits.
TEST_F(LineTest, FrameFloatLinesBelowThirtyTwoBitsAreAntiAliased)
{
    for (uint32_t depth : {16u, 24u}) {
        std::unique_ptr<CFrame> direct = CFrame::MakeOwned(40, 30, depth);
        std::unique_ptr<CFrame> viaFrame = CFrame::MakeOwned(40, 30, depth);
        CColor colour(90, 180, 20, 255);
        DrawLineAA(*direct, 1.5f, 2.25f, 37.0f, 26.75f, colour);
        viaFrame->DrawLineFloat(1.5f, 2.25f, 37.0f, 26.75f, colour, 3.0f);
        EXPECT_EQ(Bytes(*direct), Bytes(*viaFrame)) << depth;
        EXPECT_NE(Bytes(*direct), std::vector<uint8_t>(40 * 30 * depth / 8, 0));
    }
}

} // namespace
