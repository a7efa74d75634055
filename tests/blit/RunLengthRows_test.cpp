#include "blit/RunLengthRows.h"

#include "blit/KernelLookupTables.h"
#include "support/KernelSetGuard.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> BlockOf(const std::vector<std::vector<uint8_t>>& rows, std::vector<uint32_t>& offsets)
{
    std::vector<uint8_t> block(4);
    offsets.clear();
    for (const auto& row : rows) {
        offsets.push_back(uint32_t(block.size()));
        block.insert(block.end(), row.begin(), row.end());
    }
    const uint32_t size = uint32_t(block.size());
    std::memcpy(block.data(), &size, 4);
    return block;
}

struct SBlockCase {
    const char* name;
    std::vector<uint8_t> row; // one row of a block
    uint32_t width;
    uint32_t pixelSize;
    bool valid;
};

class RunLengthBlockCase : public ::testing::TestWithParam<SBlockCase> {};

TEST_P(RunLengthBlockCase, IsAcceptedOnlyWhenWellFormed)
{
    const SBlockCase& c = GetParam();
    std::vector<uint32_t> rows;
    const std::vector<uint8_t> block = BlockOf({c.row, c.row}, rows);
    EXPECT_EQ(ValidateRunLengthBlock(block.data(), block.size(), rows.data(), 2, c.width, c.pixelSize), c.valid);
}

const SBlockCase kBlockCases[] = {
    {"SkipsFillTheRow", {0xFF, 0xFF, 0xAE}, 300, 1, true},
    {"CopyAndFill", {0x42, 1, 2, 0x03, 9}, 5, 1, true},
    {"ZeroCountsConsumeWhatTheyCarry", {0x40, 0x00, 7, 0x42, 1, 2}, 2, 1, true},
    {"SixteenBitPixels", {0x41, 1, 2, 0x02, 3, 4}, 3, 2, true},
    {"RowShortOfTheWidth", {0x42, 1, 2}, 3, 1, false},
    {"RowPastTheWidth", {0x84}, 3, 1, false},
    {"CopyPastTheBlock", {0x45, 1, 2}, 5, 1, false},
    {"FillWithoutItsPixel", {0x81, 0x02}, 3, 1, false},
    {"ThreeBytePixelCut", {0x01, 1, 2}, 1, 3, false},
};
INSTANTIATE_TEST_SUITE_P(RunLengthRows, RunLengthBlockCase, ::testing::ValuesIn(kBlockCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(RunLengthRows, BlocksWhoseHeaderOrOffsetsLieAreRefused)
{
    std::vector<uint32_t> rows;
    std::vector<uint8_t> block = BlockOf({{0x82}}, rows);
    EXPECT_TRUE(ValidateRunLengthBlock(block.data(), block.size(), rows.data(), 1, 2, 1));
    EXPECT_FALSE(ValidateRunLengthBlock(block.data(), block.size() + 1, rows.data(), 1, 2, 1)); // header != size
    uint32_t outside = uint32_t(block.size());
    EXPECT_FALSE(ValidateRunLengthBlock(block.data(), block.size(), &outside, 1, 2, 1));
    uint32_t inHeader = 2;
    EXPECT_FALSE(ValidateRunLengthBlock(block.data(), block.size(), &inHeader, 1, 2, 1));

    std::vector<uint32_t> values;
    block = BlockOf({{0x42, 1, 2, 0x03, 9}}, rows);
    ASSERT_TRUE(ValidateRunLengthBlock(block.data(), block.size(), rows.data(), 1, 5, 1, &values));
    EXPECT_EQ(values, std::vector<uint32_t>{3});
    std::vector<uint32_t> alphaRows;
    const std::vector<uint8_t> alpha = BlockOf({{10, 20, 30}}, alphaRows);
    EXPECT_TRUE(ValidateRunLengthAlphaBlock(alpha.data(), alpha.size(), alphaRows.data(), values));
    const std::vector<uint8_t> shortAlpha = BlockOf({{10, 20}}, alphaRows);
    EXPECT_FALSE(ValidateRunLengthAlphaBlock(shortAlpha.data(), shortAlpha.size(), alphaRows.data(), values));
}

SBlitArgs Args()
{
    static uint32_t identity[256];
    for (uint32_t i = 0; i < 256; ++i)
        identity[i] = i;
    SBlitArgs args;
    args.tables.opacityRow = identity;
    return args;
}

TEST(RunLengthRows, ClippedRowDrawsOnlyInsideTheRectangle)
{
    // Skip 3; copy 0x11, 0x22; fill 0x33 three times; columns 4 to 6 drawn.
    const uint8_t row[] = {0x83, 0x42, 0x11, 0x22, 0x03, 0x33};
    uint8_t dst[10];
    std::memset(dst, 0xEE, sizeof(dst));
    DecodeRunLengthRow(RunLengthFamily::Index8Level0, RowForm::Clipping, Args(), {row, nullptr}, 4, dst, 4, 7);
    EXPECT_EQ(Hex(dst, 10), "EEEEEEEE223333EEEEEE");
}

TEST(RunLengthRows, SkipOf127PlacesTheNextRunAndWholeRowsDrawEverything)
{
    std::vector<uint8_t> row = {0xFF, 0x40 + 63};
    for (uint8_t i = 1; i <= 63; ++i)
        row.push_back(i);
    std::vector<uint8_t> dst(200, 0xEE);
    DecodeRunLengthRow(RunLengthFamily::Index8Level0, RowForm::Whole, Args(), {row.data(), nullptr}, 0, dst.data(), 5,
                       5 + 190);
    EXPECT_EQ(dst[5 + 126], 0xEE);
    EXPECT_EQ(dst[5 + 127], 1);
    EXPECT_EQ(dst[5 + 189], 63);
    EXPECT_EQ(dst[5 + 190], 0xEE);
}

// Every RGB565 value, in literal runs of every length 0 to 63 (each length
// takes its own path through the SIMD rows), widens as Widen565 says, with
// its alpha byte or 255, in both kernel sets.
TEST(RunLengthRows, EveryRgb565ValueWidensLikeTheTablesInRunsOfEveryLength)
{
    std::vector<uint8_t> stream, alpha;
    uint32_t value = 0;
    for (uint32_t n = 0; value < 65536; n = (n + 1) % 64) {
        const uint32_t count = std::min<uint32_t>(n, 65536 - value);
        stream.push_back(uint8_t(0x40 + count));
        for (uint32_t i = 0; i < count; ++i, ++value) {
            stream.push_back(uint8_t(value));
            stream.push_back(uint8_t(value >> 8));
            alpha.push_back(uint8_t(value * 7));
        }
    }
    for (const KernelForce force : {KernelForce::Plain, KernelForce::Sse2}) {
        const CKernelSetGuard guard(force);
        for (const RunLengthFamily family : {RunLengthFamily::Rgb565To32, RunLengthFamily::Rgb565AlphaTo32}) {
            const bool withAlpha = family == RunLengthFamily::Rgb565AlphaTo32;
            for (const RowForm form : {RowForm::Whole, RowForm::Clipping}) {
                std::vector<uint8_t> dst(65536 * 4, 0xEE);
                DecodeRunLengthRow(family, form, Args(), {stream.data(), withAlpha ? alpha.data() : nullptr}, 0,
                                   dst.data(), 0, 65536);
                for (uint32_t v = 0; v < 65536; ++v) {
                    uint8_t expected[4];
                    Widen565(uint16_t(v), expected);
                    expected[3] = withAlpha ? uint8_t(v * 7) : 255;
                    if (std::memcmp(dst.data() + 4 * v, expected, 4) != 0) {
                        ASSERT_EQ(Hex(dst.data() + 4 * v, 4), Hex(expected, 4))
                            << "pixel " << v << (withAlpha ? " with alpha" : "")
                            << (force == KernelForce::Sse2 ? " SSE2" : " plain");
                    }
                }
            }
        }
    }
}

TEST(RunLengthRows, TwentyFourBitStreamsIntoFourBytePixelsKeepTheFourthByte)
{
    const uint8_t row[] = {0x42, 1, 2, 3, 4, 5, 6, 0x01, 7, 8, 9};
    uint8_t dst[12];
    std::memset(dst, 0xAA, sizeof(dst));
    DecodeRunLengthRow(RunLengthFamily::Rgb24To32, RowForm::Whole, Args(), {row, nullptr}, 0, dst, 0, 3);
    EXPECT_EQ(Hex(dst, 12), "010203AA040506AA070809AA");
}

// Random rows against a per-pixel reference: each pixel of the row is a skip
// or a value (with its alpha); the decoder must write exactly the values that
// land in [left, right), with the family's per-pixel result.
struct SFamilyCase {
    const char* name;
    RunLengthFamily family;
};

class RunLengthDecoderCase : public ::testing::TestWithParam<SFamilyCase> {};

void Reference(RunLengthFamily family, const uint8_t* value, uint8_t alpha, uint8_t* out)
{
    switch (family) {
    case RunLengthFamily::Rgb565To32:
    case RunLengthFamily::Rgb565AlphaTo32:
        Widen565(uint16_t(value[0] | value[1] << 8), out);
        out[3] = family == RunLengthFamily::Rgb565To32 ? 255 : alpha;
        break;
    case RunLengthFamily::Rgb565To24:
        Widen565(uint16_t(value[0] | value[1] << 8), out);
        break;
    case RunLengthFamily::Rgb24To32:
        std::memcpy(out, value, 3);
        break;
    default:
        std::memcpy(out, value, RunLengthDestinationBytes(family));
        break;
    }
}

TEST_P(RunLengthDecoderCase, MatchesThePerPixelReferenceUnderAnyClip)
{
    const RunLengthFamily family = GetParam().family;
    const uint32_t p = RunLengthSourceBytes(family), d = RunLengthDestinationBytes(family);
    const bool withAlpha = RunLengthHasAlpha(family);
    std::mt19937 random(7);
    for (int trial = 0; trial < 600; ++trial) {
        // Both kernel sets, on the same kinds of rows.
        const CKernelSetGuard guard(trial % 2 == 0 ? KernelForce::Plain : KernelForce::Sse2);
        const uint32_t width = 1 + random() % 150;
        std::vector<uint8_t> stream, alpha;
        // Per source column: the value's bytes and alpha, or none (skip).
        std::vector<std::vector<uint8_t>> pixels(width);
        std::vector<uint8_t> pixelAlpha(width);
        uint32_t x = 0;
        while (x < width) {
            const uint32_t kind = random() % 4;
            const uint32_t left = width - x;
            if (kind == 0) {
                const uint32_t n = std::min<uint32_t>(left, random() % 128);
                stream.push_back(uint8_t(0x80 + n));
                x += n;
            } else if (kind == 1) {
                const uint32_t n = std::min<uint32_t>(left, random() % 64);
                stream.push_back(uint8_t(0x40 + n));
                for (uint32_t i = 0; i < n; ++i, ++x) {
                    std::vector<uint8_t> v(p);
                    for (auto& b : v)
                        b = uint8_t(random());
                    stream.insert(stream.end(), v.begin(), v.end());
                    pixels[x] = v;
                    pixelAlpha[x] = uint8_t(random());
                    alpha.push_back(pixelAlpha[x]);
                }
            } else {
                const uint32_t n = std::min<uint32_t>(left, random() % 64);
                std::vector<uint8_t> v(p);
                for (auto& b : v)
                    b = uint8_t(random());
                const uint8_t a = uint8_t(random());
                stream.push_back(uint8_t(n));
                stream.insert(stream.end(), v.begin(), v.end());
                alpha.push_back(a);
                for (uint32_t i = 0; i < n; ++i, ++x) {
                    pixels[x] = v;
                    pixelAlpha[x] = a;
                }
            }
        }
        const bool whole = trial % 3 == 0;
        const int32_t sLeft = whole ? 0 : int32_t(random() % width);
        const int32_t sRight = whole ? int32_t(width) : sLeft + 1 + int32_t(random() % (width - uint32_t(sLeft)));
        const int32_t dLeft = int32_t(random() % 8) + 2;
        const int32_t dRight = dLeft + (sRight - sLeft);
        std::vector<uint8_t> dst(size_t(dRight + 4) * d);
        for (auto& b : dst)
            b = uint8_t(random());
        std::vector<uint8_t> expected = dst;
        for (int32_t c = sLeft; c < sRight; ++c)
            if (!pixels[size_t(c)].empty())
                Reference(family, pixels[size_t(c)].data(), pixelAlpha[size_t(c)],
                          expected.data() + size_t(dLeft + c - sLeft) * d);
        DecodeRunLengthRow(family, whole ? RowForm::Whole : RowForm::Clipping, Args(),
                           {stream.data(), withAlpha ? alpha.data() : nullptr}, sLeft, dst.data(), dLeft, dRight);
        ASSERT_EQ(Hex(dst.data(), dst.size()), Hex(expected.data(), expected.size()))
            << "trial " << trial << " width " << width << " clip " << sLeft << ".." << sRight
            << (trial % 2 == 0 ? " plain" : " SSE2");
    }
}

const SFamilyCase kFamilyCases[] = {
    {"Index8", RunLengthFamily::Index8Level0},
    {"Rgb565To16", RunLengthFamily::Rgb565To16},
    {"Rgb565To24", RunLengthFamily::Rgb565To24},
    {"Rgb565To32", RunLengthFamily::Rgb565To32},
    {"Rgb565AlphaTo32", RunLengthFamily::Rgb565AlphaTo32},
    {"Rgb24To24", RunLengthFamily::Rgb24To24},
    {"Rgb24To32", RunLengthFamily::Rgb24To32},
};
INSTANTIATE_TEST_SUITE_P(RunLengthRows, RunLengthDecoderCase, ::testing::ValuesIn(kFamilyCases),
                         [](const auto& param) { return std::string(param.param.name); });

} // namespace
