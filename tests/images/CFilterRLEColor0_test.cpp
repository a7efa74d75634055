#include "images/CFilterRLEColor0.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "blit/GamePalette.h"
#include "blit/RunLengthRows.h"
#include "images/CFilterChangeBitDepth.h"
#include "images/CFrame.h"
#include "support/ScopedHooks.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

class RunLengthTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterImagesClasses();
    }
    void TearDown() override { ClearGamePalette(); }

    CScopedRunLengthEncoding m_Encoding{true};
    CScopedRunLengthMinFill m_MinFill{8};
    CScopedGlobalBitDepth m_Depth{CFrame::SGetBitDepth()};
};

std::unique_ptr<CFrame> Frame8(std::vector<uint8_t> pixels, uint32_t width)
{
    const uint32_t height = width ? uint32_t(pixels.size()) / width : 0;
    auto frame = CFrame::MakeOwned(width, height, 8);
    for (uint32_t y = 0; y < height; ++y)
        std::memcpy(frame->Row(y), pixels.data() + size_t(y) * width, width);
    return frame;
}

// The main block's row 0, after its size header.
std::string Row0(const CFrame& frame)
{
    const uint8_t* block = frame.GetPixels();
    uint32_t size;
    std::memcpy(&size, block, 4);
    const uint32_t start = frame.GetRowTable()[0];
    const uint32_t end = frame.GetHeight() > 1 ? frame.GetRowTable()[1] : size;
    return Hex(block + start, end - start);
}

std::string Encoded8(std::vector<uint8_t> row)
{
    const uint32_t width = uint32_t(row.size());
    auto frame = Frame8(std::move(row), width);
    CFilterRLEColor0 filter(CFilterRLEColor0::Mode::FiveBands);
    EXPECT_TRUE(filter.Apply(*frame, SizeToRect(int32_t(width), 1)));
    return Row0(*frame);
}

TEST_F(RunLengthTest, RowsEncodeAsTheHandWorkedPackets)
{
    CFrame::SetGlobalBitDepth(8);
    EXPECT_EQ(Encoded8(std::vector<uint8_t>(300, 0)), "FFFFAE");
    EXPECT_EQ(Encoded8(std::vector<uint8_t>(10, 5)), "0A05");
    EXPECT_EQ(Encoded8(std::vector<uint8_t>(8, 5)), "480505050505050505");
    std::vector<uint8_t> different(70);
    for (uint32_t i = 0; i < 70; ++i)
        different[i] = uint8_t(i + 1);
    EXPECT_EQ(Encoded8(different).substr(0, 2), "7F");
    EXPECT_EQ(Encoded8(different).substr(2 + 63 * 2, 2), "47");
    // A copy stops in front of a run of the minimum fill; the run longer
    // than it becomes a fill.
    std::vector<uint8_t> row = {0, 0, 1, 2};
    row.insert(row.end(), 9, 3);
    row.push_back(4);
    EXPECT_EQ(Encoded8(row), "8242010209034104");
    // Runs stop at the caps: 200 equal pixels are fills of 63, 63, 63, 11.
    EXPECT_EQ(Encoded8(std::vector<uint8_t>(200, 6)), "3F063F063F060B06");
    SetRunLengthMinFill(64);
    EXPECT_EQ(Encoded8(std::vector<uint8_t>(10, 5)), "4A05050505050505050505");
}

TEST_F(RunLengthTest, SwitchOffOrEncodedFramesAreNotEncodedAgain)
{
    CFrame::SetGlobalBitDepth(8);
    auto frame = Frame8({1, 2, 3}, 3);
    frame->SetOffset(-4, 7);
    CFilterRLEColor0 filter(CFilterRLEColor0::Mode::FiveBands);
    SetRunLengthEncodingEnabled(false);
    EXPECT_TRUE(filter.Apply(*frame, {}));
    EXPECT_FALSE(frame->IsCompressed());
    SetRunLengthEncodingEnabled(true);
    EXPECT_TRUE(filter.Apply(*frame, {}));
    EXPECT_TRUE(frame->IsCompressed());
    EXPECT_EQ(frame->GetOffsetX(), -4);
    EXPECT_EQ(frame->GetOffsetY(), 7);
    EXPECT_FALSE(filter.Apply(*frame, {}));
}

// Reads a block back into per-pixel values (empty = transparent).
std::vector<std::vector<uint8_t>> DecodeBlock(const uint8_t* block, const uint32_t* rows, uint32_t width,
                                              uint32_t height, uint32_t size)
{
    std::vector<std::vector<uint8_t>> pixels(size_t(width) * height);
    for (uint32_t y = 0; y < height && block; ++y) {
        const uint8_t* s = block + rows[y];
        uint32_t x = 0;
        while (x < width) {
            const uint8_t c = *s++;
            const uint32_t n = c & 0x3F;
            if (c & 0x80) {
                x += c & 0x7F;
            } else if (c & 0x40) {
                for (uint32_t i = 0; i < n; ++i, ++x, s += size)
                    pixels[size_t(y) * width + x].assign(s, s + size);
            } else {
                for (uint32_t i = 0; i < n; ++i, ++x)
                    pixels[size_t(y) * width + x].assign(s, s + size);
                s += size;
            }
        }
    }
    return pixels;
}

enum class Pattern { Random, Flat, RunsAtCaps, AllTransparent };
struct SShape {
    const char* name;
    uint32_t width, height;
    Pattern pattern;
};
const SShape kShapes[] = {
    {"Random", 37, 9, Pattern::Random},
    {"Flat", 70, 3, Pattern::Flat},
    {"OnePixelWide", 1, 40, Pattern::Random},
    {"OnePixelHigh", 300, 1, Pattern::Random},
    {"Empty", 0, 0, Pattern::Random},
    {"AllTransparent", 300, 2, Pattern::AllTransparent},
    {"RunsAtCaps", 400, 2, Pattern::RunsAtCaps},
};

class RunLengthRoundTrip : public RunLengthTest, public ::testing::WithParamInterface<SShape> {};

// Pixel (x, y) of the pattern for a format of size bytes; 0 is transparent
// (alpha 0 at 32 bits).
void FillPattern(CFrame& frame, Pattern pattern, uint32_t seed)
{
    std::mt19937 random(seed);
    const uint32_t size = frame.GetBytesPerPixel();
    for (uint32_t y = 0; y < frame.GetHeight(); ++y)
        for (uint32_t x = 0; x < frame.GetWidth(); ++x) {
            uint8_t* p = frame.Row(y) + size_t(x) * size;
            for (uint32_t c = 0; c < size; ++c) {
                switch (pattern) {
                case Pattern::Random:
                    p[c] = random() % 3 == 0 ? 0 : uint8_t(random() % 4 * 60);
                    break;
                case Pattern::Flat:
                    p[c] = 200;
                    break;
                case Pattern::AllTransparent:
                    p[c] = 0;
                    break;
                case Pattern::RunsAtCaps:
                    p[c] = (x / 127) % 2 ? 0 : uint8_t(1 + (x / 63) % 2);
                    break;
                }
            }
            if (size == 4 && pattern == Pattern::Random && random() % 4 == 0)
                p[3] = 0;
        }
}

TEST_P(RunLengthRoundTrip, EightAndSixteenBitFramesGiveBackEveryPixel)
{
    for (const uint32_t depth : {8u, 16u}) {
        CFrame::SetGlobalBitDepth(depth);
        auto frame = CFrame::MakeOwned(GetParam().width, GetParam().height, depth);
        if (frame->GetWidth())
            FillPattern(*frame, GetParam().pattern, depth);
        auto copy = CFrame::MakeOwned(frame->GetWidth(), frame->GetHeight(), depth);
        copy->CopyFrom(frame.get());
        CFilterRLEColor0 filter(CFilterRLEColor0::Mode::FiveBands);
        ASSERT_TRUE(filter.Apply(*frame, {}));
        if (!copy->GetPixels())
            continue;
        ASSERT_TRUE(frame->IsCompressed());
        const auto pixels
            = DecodeBlock(frame->GetPixels(), frame->GetRowTable(), frame->GetWidth(), frame->GetHeight(), depth / 8);
        for (uint32_t y = 0; y < copy->GetHeight(); ++y)
            for (uint32_t x = 0; x < copy->GetWidth(); ++x) {
                const uint8_t* want = copy->Row(y) + size_t(x) * (depth / 8);
                const auto& got = pixels[size_t(y) * copy->GetWidth() + x];
                const bool transparent = std::all_of(want, want + depth / 8, [](uint8_t b) { return b == 0; });
                ASSERT_EQ(got.empty(), transparent) << depth << " " << x << "," << y;
                if (!got.empty()) {
                    ASSERT_EQ(0, std::memcmp(got.data(), want, depth / 8)) << depth << " " << x << "," << y;
                }
            }
    }
}

TEST_P(RunLengthRoundTrip, ThirtyTwoBitBandsHoldEveryPixelOfTheirBand)
{
    struct SForm {
        uint32_t target;
        CFilterRLEColor0::Mode mode;
    };
    for (const SForm form : {SForm{8, CFilterRLEColor0::Mode::FiveBands}, SForm{16, CFilterRLEColor0::Mode::TwoBands},
                             SForm{8, CFilterRLEColor0::Mode::TwoBands}}) {
        // Without a bit-depth filter the 4-byte blocks are converted for the
        // target; this chain keeps them, so the bands can be read back.
        CFrameFilter chain;
        chain.InsertFilter(std::make_unique<CFilterChangeBitDepth>(Dither::Off, form.target));
        chain.InsertFilter(std::make_unique<CFilterRLEColor0>(form.mode));
        auto frame = CFrame::MakeOwned(GetParam().width, GetParam().height, 32);
        if (frame->GetWidth())
            FillPattern(*frame, GetParam().pattern, 32);
        auto copy = CFrame::MakeOwned(frame->GetWidth(), frame->GetHeight(), 32);
        copy->CopyFrom(frame.get());
        ASSERT_TRUE(chain.GetNext()->Apply(*frame, {}));
        if (!copy->GetPixels())
            continue;
        const bool five = form.target == 8 && form.mode == CFilterRLEColor0::Mode::FiveBands;
        const uint32_t w = copy->GetWidth(), h = copy->GetHeight();
        const auto band = [&](uint32_t block) {
            return block == 0 ? DecodeBlock(frame->GetPixels(), frame->GetRowTable(), w, h, 4)
                              : DecodeBlock(frame->GetRLEBlock(block), frame->GetRLERowTable(block), w, h, 4);
        };
        const std::vector<std::vector<std::vector<uint8_t>>> bands = {band(0), band(1), band(2), band(3), band(4)};
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x) {
                const uint8_t* want = copy->Row(y) + size_t(x) * 4;
                const uint32_t a = want[3];
                // Which blocks must hold this pixel.
                std::vector<uint32_t> holders;
                if (five) {
                    const uint32_t limits[] = {229, 178, 127, 76, 25};
                    const uint32_t blocks[] = {0, 4, 3, 2, 1};
                    for (uint32_t i = 0; i < 5; ++i)
                        if (a > limits[i] && (i == 0 || a <= limits[i - 1])) {
                            holders.push_back(blocks[i]);
                            break;
                        }
                } else if (a > 250) {
                    holders = {0};
                } else if (a > 5) {
                    holders = {4, 3};
                }
                for (uint32_t b = 0; b < 5; ++b) {
                    const auto& got = bands[b][size_t(y) * w + x];
                    const bool held = std::find(holders.begin(), holders.end(), b) != holders.end();
                    ASSERT_EQ(!got.empty(), held) << "block " << b << " at " << x << "," << y << " alpha " << a;
                    if (held) { // no palette is set: fills join pixels of one colour
                        ASSERT_EQ(0, std::memcmp(got.data(), want, 3)) << x << "," << y;
                    }
                }
            }
    }
}
INSTANTIATE_TEST_SUITE_P(RunLength, RunLengthRoundTrip, ::testing::ValuesIn(kShapes),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(RunLengthTest, BandsDropFaintPixels)
{
    auto frame = CFrame::MakeOwned(2, 1, 32);
    frame->Row(0)[3] = 20; // five bands drop it
    frame->Row(0)[4] = 9;
    frame->Row(0)[7] = 6; // two bands keep it
    CFrameFilter chain;
    chain.InsertFilter(std::make_unique<CFilterChangeBitDepth>(Dither::Off, 8));
    chain.InsertFilter(std::make_unique<CFilterRLEColor0>(CFilterRLEColor0::Mode::FiveBands));
    auto five = CFrame::MakeOwned(2, 1, 32);
    five->CopyFrom(frame.get());
    ASSERT_TRUE(chain.GetNext()->Apply(*five, {}));
    EXPECT_EQ(Row0(*five), "82");
    for (uint32_t n = 1; n <= 4; ++n)
        EXPECT_EQ(five->GetRLEBlock(n), nullptr);
    CFrameFilter two;
    two.InsertFilter(std::make_unique<CFilterChangeBitDepth>(Dither::Off, 16));
    two.InsertFilter(std::make_unique<CFilterRLEColor0>(CFilterRLEColor0::Mode::TwoBands));
    ASSERT_TRUE(two.GetNext()->Apply(*frame, {}));
    ASSERT_NE(frame->GetRLEBlock(4), nullptr);
    EXPECT_EQ(frame->GetRLEBlock(1), nullptr);
}

// Which frames are encoded follows the target depth, so that every encoded
// frame has a routine that draws it at that depth.
struct STargetCase {
    const char* name;
    uint32_t depth, target;
    bool encoded;
    uint32_t finalDepth, kind;
};
class RunLengthTargetCase : public RunLengthTest, public ::testing::WithParamInterface<STargetCase> {};

TEST_P(RunLengthTargetCase, EncodesOnlyWhatCanBeDrawnAtTheTarget)
{
    const STargetCase& c = GetParam();
    if (c.target == 8) { // conversions to 8 bits need the game palette
        uint8_t palette[768];
        for (uint32_t i = 0; i < 768; ++i)
            palette[i] = uint8_t(i * 7);
        SetGamePalette(palette);
    }
    CFrame::SetGlobalBitDepth(c.target);
    auto frame = CFrame::MakeOwned(5, 2, c.depth);
    std::memset(frame->Row(0), 0x90, size_t(5) * c.depth / 8);
    CFrameFilter chain;
    ASSERT_TRUE(chain.AddFilter(8));
    EXPECT_EQ(chain.ApplyAll(*frame), c.encoded);
    EXPECT_EQ(frame->IsCompressed(), c.encoded);
    EXPECT_EQ(frame->GetBitDepth(), c.finalDepth);
    EXPECT_EQ(frame->GetFlags() & 6, c.kind);
    if (c.encoded) {
        CBlitType& normal = GetNormalBlitType();
        EXPECT_NE(normal.GetBlitFunction(*frame, *CFrame::MakeOwned(1, 1, c.target)), nullptr);
    }
}

const STargetCase kTargetCases[] = {
    {"EightForEight", 8, 8, true, 8, 2},
    {"EightNotForThirtyTwo", 8, 32, false, 8, 0},
    {"SixteenForSixteen", 16, 16, true, 16, 4},
    {"SixteenForThirtyTwo", 16, 32, true, 16, 4},
    {"SixteenNotForEight", 16, 8, false, 16, 0},
    {"ThirtyTwoForEight", 32, 8, true, 8, 2},
    {"ThirtyTwoForSixteen", 32, 16, true, 16, 4},
    {"ThirtyTwoNotForTwentyFour", 32, 24, false, 32, 0},
    {"ThirtyTwoNotForThirtyTwo", 32, 32, false, 32, 0},
    {"TwentyFourForSixteen", 24, 16, true, 16, 4},
};
INSTANTIATE_TEST_SUITE_P(RunLength, RunLengthTargetCase, ::testing::ValuesIn(kTargetCases),
                         [](const auto& param) { return std::string(param.param.name); });

} // namespace
