#include "foundation/WideString.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>

namespace {

int Sign(int v)
{
    return (v > 0) - (v < 0);
}

TEST(WideString, CopiesAndMeasures)
{
    char16_t buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    WideCopyN(buffer, u"abc", 6);
    EXPECT_EQ(std::u16string(buffer, 6), std::u16string(u"abc\0\0\0", 6));
    EXPECT_EQ(buffer[6], u'#');
    WideCopyN(buffer, u"abcdef", 2);
    EXPECT_EQ(buffer[2], u'c') << "no terminator past n";
    WideCopy(buffer, u"xy");
    EXPECT_EQ(WideLength(buffer), 2u);
    EXPECT_EQ(WideLength(nullptr), 0u);

    char narrow[4] = {'#', '#', '#', '#'};
    WideToNarrowN(narrow, u"\u4E41b", 3);
    EXPECT_EQ(narrow[0], char(0x41));
    EXPECT_EQ(narrow[1], 'b');
    EXPECT_EQ(narrow[2], '#');
}

TEST(WideString, ComparesByUnitDifference)
{
    EXPECT_EQ(WideCompare(u"abc", u"abc"), 0);
    EXPECT_EQ(WideCompare(u"abd", u"abc"), 1);
    EXPECT_LT(WideCompare(u"ab", u"abc"), 0);
    EXPECT_EQ(WideCompareN(u"abX", u"abY", 2), 0);
    EXPECT_EQ(WideCompareN(u"a", u"b", 0), 0);
    EXPECT_EQ(WideNarrowCompare(u"\u00E9", "\xE9"), 0);
    EXPECT_GT(WideNarrowCompare(u"\u4E2D", "\xFF"), 0);
    EXPECT_EQ(WideNarrowCompareN(u"abc", "abd", 2), 0);
    EXPECT_EQ(WideCompareNoCase(u"Hello", u"hELLO"), 0);
    EXPECT_GT(Sign(WideCompareNoCase(u"_", u"a")), 0) << "folds to upper case";
    EXPECT_GT(Sign(WideNarrowCompareNoCase(u"_", "a")), 0);
    EXPECT_EQ(WideCompareNoCaseN(u"abcX", u"ABCy", 3), 0);
    EXPECT_EQ(WideNarrowCompareNoCaseN(u"abcX", "ABCy", 3), 0);
    EXPECT_EQ(WideNarrowCompareNoCase(u"\u00E9", "\xC9"), 0x20) << "only a-z fold";
    EXPECT_EQ(WideCompare(nullptr, u""), 0);
}

TEST(WideString, Finds)
{
    const char16_t* s = u"Hello World";
    EXPECT_EQ(WideFind(s, u"World"), s + 6);
    EXPECT_EQ(WideFind(s, u""), s);
    EXPECT_EQ(WideFind(s, u"world"), nullptr);
    EXPECT_EQ(WideFindNoCase(s, u"WORLD"), s + 6);
    EXPECT_EQ(WideFindNarrow(s, "lo"), s + 3);
    EXPECT_EQ(WideFindNarrowNoCase(s, "LO W"), s + 3);
    const char16_t* accented = u"t\u00E9";
    EXPECT_EQ(WideFindNarrow(accented, "\xE9"), accented + 1);
}

struct LongCase {
    const char* text;
    int radix;
};

void PrintTo(const LongCase& c, std::ostream* out)
{
    *out << '"' << c.text << "\" radix " << c.radix;
}

class WideToLongTable : public testing::TestWithParam<LongCase> {};

TEST_P(WideToLongTable, MatchesStrtolWith32BitSaturation)
{
    const LongCase& c = GetParam();
    char* narrowEnd = nullptr;
    long long expected = std::strtoll(c.text, &narrowEnd, c.radix);
    expected = std::clamp<long long>(expected, INT32_MIN, INT32_MAX);
    std::u16string units(c.text, c.text + std::strlen(c.text));
    const char16_t* end = nullptr;
    EXPECT_EQ(WideToLong(units.c_str(), &end, c.radix), expected);
    EXPECT_EQ(end - units.c_str(), narrowEnd - c.text);
    const char* end8 = nullptr;
    EXPECT_EQ(NarrowToLong(c.text, &end8, c.radix), expected);
    EXPECT_EQ(end8, narrowEnd);
    if (c.radix == 10) {
        EXPECT_EQ(WideToInt(units.c_str()), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, WideToLongTable,
    testing::Values(LongCase{"123", 10}, LongCase{"  -77z", 10}, LongCase{"+0", 10}, LongCase{"2147483647", 10},
                    LongCase{"2147483648", 10}, LongCase{"-2147483648", 10}, LongCase{"-99999999999", 10},
                    LongCase{"4294967296", 10}, LongCase{"", 10}, LongCase{"  ", 10}, LongCase{"-x", 10},
                    LongCase{"0x1f", 16}, LongCase{"0X1F", 0}, LongCase{"1f", 16}, LongCase{"0x", 16},
                    LongCase{"0xg", 0}, LongCase{"0777", 0}, LongCase{"089", 0}, LongCase{"-0x80000000", 0},
                    LongCase{"zz", 36}, LongCase{"101", 2}, LongCase{"\v\f12", 10}, LongCase{"7fffffffff", 16}));

TEST(WideString, BadRadixReadsNothing)
{
    const char16_t* text = u"12";
    const char16_t* end = nullptr;
    EXPECT_EQ(WideToLong(text, &end, 1), 0);
    EXPECT_EQ(end, text);
    EXPECT_EQ(WideToLong(text, &end, 37), 0);
}

TEST(WideString, FloatReadsLowBytesOfFirst255Units)
{
    EXPECT_EQ(WideToFloat(u"  -2.5e2x"), -250.0f);
    EXPECT_EQ(WideToFloat(u"1\u4E2E5"), 1.5f) << "0x4E2E reads as its low byte, a full stop";
    std::u16string longText(300, u'1');
    EXPECT_EQ(WideToFloat(longText.c_str()), float(std::strtod(std::string(255, '1').c_str(), nullptr)));
    EXPECT_EQ(WideToFloat(nullptr), 0.0f);
}

} // namespace
