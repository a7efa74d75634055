#include "foundation/TextHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(TextHelpers, StripAffixesCaseBlind)
{
    char text[] = "DATA/frames/Hero.TGA";
    EXPECT_TRUE(StripPrefixNoCase(text, "data/"));
    EXPECT_STREQ(text, "frames/Hero.TGA");
    EXPECT_FALSE(StripPrefixNoCase(text, "frames/Hero.TGA/"));
    EXPECT_TRUE(StripSuffixNoCase(text, ".tga"));
    EXPECT_STREQ(text, "frames/Hero");
    EXPECT_FALSE(StripSuffixNoCase(text, ""));
    EXPECT_FALSE(StripSuffixNoCase(text, "xframes/Hero"));
    EXPECT_STREQ(text, "frames/Hero");

    CJString marked("\x01H\x01i\x01");
    EXPECT_TRUE(StripMarkerBytes(marked));
    EXPECT_STREQ(marked.GetString(), "Hi");
    EXPECT_FALSE(StripMarkerBytes(marked));
}

TEST(TextHelpers, HandleWhiteSpace)
{
    EXPECT_TRUE(IsBlank(" \t\r\n"));
    EXPECT_TRUE(IsBlank(""));
    EXPECT_FALSE(IsBlank(" \v "));
    EXPECT_STREQ(SkipWhitespace("\t\r\n x y"), "x y");
    EXPECT_STREQ(FindWhitespace("ab\tc"), "\tc");
    EXPECT_STREQ(FindWhitespace("abc"), "");
    char text[] = " a b\tc\r\nd ";
    RemoveWhitespace(text);
    EXPECT_STREQ(text, "abcd");
    char digits[] = "1a2-b3.";
    KeepOnlyChars(digits, "0123456789.");
    EXPECT_STREQ(digits, "123.");
    char mixed[] = "MiXeD \xC4_Z";
    ToLowerAscii(mixed);
    EXPECT_STREQ(mixed, "mixed \xC4_z") << "bytes above 127 stay";
    ReplaceChar(mixed, '_', '/');
    EXPECT_STREQ(mixed, "mixed \xC4/z");
}

TEST(TextHelpers, FindAndOrderCaseBlind)
{
    const char* text = "Sounds/Music/Theme.ogg";
    EXPECT_EQ(FindSubstringNoCase(text, "MUSIC"), text + 7);
    EXPECT_EQ(FindSubstringNoCase(text, "theme.oggx"), nullptr);
    EXPECT_EQ(FindSubstringNoCase("", ""), nullptr);
    EXPECT_EQ(FindSubstringNoCase(text, ""), text);

    // 8-bit names fold to lower case, so "_" sorts before the letters.
    std::vector<const char*> names = {"b", "A_", "ab", "AA", "a"};
    std::sort(names.begin(), names.end(), [](const char* x, const char* y) { return CompareTextNoCase(x, y) < 0; });
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.end()),
              (std::vector<std::string>{"a", "A_", "AA", "ab", "b"}));
    EXPECT_EQ(CompareTextNoCase("HERO", "hero"), 0);
    EXPECT_EQ(CompareTextNoCase(nullptr, ""), 0);

    char* copy = AllocateDString("Copy");
    EXPECT_STREQ(copy, "Copy");
    delete[] copy;
    EXPECT_EQ(AllocateDString(nullptr), nullptr);
}

} // namespace
