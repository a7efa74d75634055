#include "platform/TextCodec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plat {
namespace {

// The shortest form of a code point, written from the encoding's definition.
std::string Encode(uint32_t code)
{
    if (code < 0x80)
        return std::string(1, char(code));
    if (code < 0x800)
        return {char(0xC0 | code >> 6), char(0x80 | (code & 0x3F))};
    if (code < 0x10000)
        return {char(0xE0 | code >> 12), char(0x80 | (code >> 6 & 0x3F)), char(0x80 | (code & 0x3F))};
    return {char(0xF0 | code >> 18), char(0x80 | (code >> 12 & 0x3F)), char(0x80 | (code >> 6 & 0x3F)),
            char(0x80 | (code & 0x3F))};
}

std::vector<uint32_t> DecodeAll(std::string_view text)
{
    std::vector<uint32_t> codes;
    for (size_t pos = 0; pos < text.size();)
        codes.push_back(DecodeUtf8(text, pos));
    return codes;
}

TEST(TextCodec, EveryCodePointDecodesFromItsShortestFormAndSurrogatesDoNot)
{
    for (uint32_t code = 0; code <= 0x10FFFF; ++code) {
        const std::string text = Encode(code);
        size_t pos = 0;
        const uint32_t decoded = DecodeUtf8(text, pos);
        if (code >= 0xD800 && code < 0xE000) {
            ASSERT_EQ(decoded, kNotUtf8) << code;
            ASSERT_EQ(pos, 1u) << code;
        } else {
            ASSERT_EQ(decoded, code);
            ASSERT_EQ(pos, text.size()) << code;
        }
    }
}

struct SMalformedCase {
    const char* name;
    std::string text;
    std::vector<uint32_t> codes;
};

class TextCodecMalformed : public testing::TestWithParam<SMalformedCase> {};

// A malformed sequence costs one byte at a time: nothing after it is lost
// and no stray byte joins a character.
TEST_P(TextCodecMalformed, CostsOneByteAndKeepsWhatFollows)
{
    EXPECT_EQ(DecodeAll(GetParam().text), GetParam().codes);
}

constexpr uint32_t kBad = kNotUtf8;

INSTANTIATE_TEST_SUITE_P(
    All, TextCodecMalformed,
    testing::Values(SMalformedCase{"StrayContinuation", "a\x80z", {'a', kBad, 'z'}},
                    SMalformedCase{"OverlongSlash", "\xC0\xAF/", {kBad, kBad, '/'}},
                    SMalformedCase{"OverlongThreeBytes", "\xE0\x80\xAF", {kBad, kBad, kBad}},
                    SMalformedCase{"OverlongFourBytes", "\xF0\x8F\xBF\xBF", {kBad, kBad, kBad, kBad}},
                    SMalformedCase{"BeyondTheLastCodePoint", "\xF4\x90\x80\x80", {kBad, kBad, kBad, kBad}},
                    SMalformedCase{"LeadF8", "\xF8\x80\x80z", {kBad, kBad, kBad, 'z'}},
                    SMalformedCase{"LeadFF", "\xFF\xBF\xBF", {kBad, kBad, kBad}},
                    SMalformedCase{"CutByTheEnd", "a\xE4\xB8", {'a', kBad, kBad}},
                    SMalformedCase{"CutByAnAsciiByte", "\xE4z", {kBad, 'z'}},
                    SMalformedCase{"EncodedSurrogate", "\xED\xA0\x80", {kBad, kBad, kBad}}),
    [](const testing::TestParamInfo<SMalformedCase>& testInfo) { return std::string(testInfo.param.name); });

TEST(TextCodec, Windows1252BytesAndCodePointsAgreeBothWays)
{
    for (int value = 0; value < 256; ++value) {
        const uint32_t code = Windows1252ToCodePoint(uint8_t(value));
        uint8_t byte = 0;
        const bool unassigned = code >= 0x80 && code < 0xA0; // the five C1 stand-ins
        EXPECT_EQ(CodePointToWindows1252(code, byte), !unassigned) << value;
        if (!unassigned) {
            EXPECT_EQ(byte, value);
        }
    }
    EXPECT_EQ(Windows1252ToCodePoint(0x80), 0x20ACu);
    uint8_t byte = 0;
    EXPECT_FALSE(CodePointToWindows1252(0x4E2D, byte));
}

} // namespace
} // namespace plat
