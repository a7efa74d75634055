#include "foundation/CJString.h"

#include "foundation/CLocalizedString.h"
#include "foundation/CMemoryPool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

std::u16string Units(const CJString& s)
{
    std::u16string units;
    for (int i = 0; i < s.GetLength(); ++i)
        units += s.GetAt(i);
    return units;
}

std::string Text8(const CJString& s)
{
    EXPECT_FALSE(s.IsWide());
    return s.GetString();
}

CJString Wide(const std::u16string& units)
{
    CJString s(units.c_str());
    s.ToWide();
    return s;
}

std::u16string Decoded(CJString s)
{
    s.FromFileForm();
    return Units(s);
}

int Sign(int v)
{
    return (v > 0) - (v < 0);
}

// ---------------------------------------------------------------------------
// Sharing and copy-on-write

TEST(JString, SharesBlockUntilWritten)
{
    CJString a("abc");
    CJString b = a;
    EXPECT_EQ(a.GetBlock(), b.GetBlock());
    EXPECT_EQ(a.GetBlock()->refCount, 2u);
    b.Append("d");
    EXPECT_NE(a.GetBlock(), b.GetBlock());
    EXPECT_EQ(Text8(a), "abc");
    EXPECT_EQ(Text8(b), "abcd");
    EXPECT_EQ(a.GetBlock()->refCount, 1u);
}

struct Edit {
    const char* name;
    std::function<void(CJString&)> apply;
};

void PrintTo(const Edit& edit, std::ostream* out)
{
    *out << edit.name;
}

class JStringWriters : public testing::TestWithParam<Edit> {};

TEST_P(JStringWriters, NeverChangeASharedBlock)
{
    for (bool wide : {false, true}) {
        CJString original(" Hello, World\t");
        if (wide)
            original.ToWide();
        const std::u16string before = Units(original);
        CJString copy = original;
        GetParam().apply(copy);
        EXPECT_EQ(Units(original), before) << (wide ? "wide" : "8-bit");
        EXPECT_EQ(original.GetBlock()->refCount, copy.GetBlock() == original.GetBlock() ? 2u : 1u);
    }
}

const Edit kEdits[] = {
    {"SetAt", [](CJString& s) { s.SetAt(1, u'h'); }},
    {"SetAtWide", [](CJString& s) { s.SetAt(1, 0x4E2D); }},
    {"Delete", [](CJString& s) { s.Delete(0, 3); }},
    {"InsertChar", [](CJString& s) { s.InsertChar(2, 'x'); }},
    {"Append", [](CJString& s) { s.Append("!"); }},
    {"AppendSelf", [](CJString& s) { s.Append(s); }},
    {"AppendRepeated", [](CJString& s) { s.AppendRepeated('-', 3); }},
    {"ReplaceRange", [](CJString& s) { s.ReplaceRange(1, 5, CJString("J")); }},
    {"Replace", [](CJString& s) { s.Replace("l", "L"); }},
    {"ReplaceNoCase", [](CJString& s) { s.ReplaceNoCase("WORLD", "there"); }},
    {"ReplaceChar", [](CJString& s) { s.ReplaceChar('o', '0'); }},
    {"MakeLower", [](CJString& s) { s.MakeLower(); }},
    {"TrimLeft", [](CJString& s) { s.TrimLeft(); }},
    {"TrimRight", [](CJString& s) { s.TrimRight(); }},
    {"RemoveWhitespace", [](CJString& s) { s.RemoveWhitespace(); }},
    {"KeepOnly", [](CJString& s) { s.KeepOnly("lo"); }},
    {"RemoveSuffix", [](CJString& s) { s.RemoveSuffix("LD\t"); }},
    {"ToWideToNarrow",
     [](CJString& s) {
         s.ToWide();
         s.ToNarrow();
     }},
    {"GetBuffer", [](CJString& s) { s.GetBuffer(4)[0] = 'X'; }},
    {"Format", [](CJString& s) { s.Format("%d", 5); }},
    {"AppendFormat", [](CJString& s) { s.AppendFormat("%s", "x"); }},
    {"AppendInt", [](CJString& s) { s.AppendInt(7, 1, 3); }},
    {"Clear", [](CJString& s) { s.Clear(); }},
    {"SetText", [](CJString& s) { s.SetText("ab", 2); }},
    {"SetPath", [](CJString& s) { s.SetPath(s, "x"); }},
    {"FormatThousands", [](CJString& s) { s.FormatThousands(1234); }},
};

INSTANTIATE_TEST_SUITE_P(Edits, JStringWriters, testing::ValuesIn(kEdits),
                         [](const testing::TestParamInfo<Edit>& caseInfo) { return std::string(caseInfo.param.name); });

TEST(JString, EmptyStringsShareOneBlock)
{
    CJString a;
    CJString b("");
    CJString c(static_cast<const char*>(nullptr));
    CJString d(static_cast<const char16_t*>(nullptr), 4);
    EXPECT_EQ(a.GetBlock(), b.GetBlock());
    EXPECT_EQ(a.GetBlock(), c.GetBlock());
    EXPECT_EQ(a.GetBlock(), d.GetBlock());
    EXPECT_EQ(a.GetCapacity(), 0);
    EXPECT_TRUE(a.IsEmpty());

    CJString private_("abc");
    const auto* block = private_.GetBlock();
    private_.Clear();
    EXPECT_EQ(private_.GetBlock(), block);
    EXPECT_TRUE(private_.IsEmpty());
    EXPECT_EQ(private_.GetFreeRoom(), 3);
    private_.Empty();
    EXPECT_EQ(private_.GetBlock(), a.GetBlock());

    CJString shared("xyz");
    CJString other = shared;
    shared.Clear();
    EXPECT_EQ(shared.GetBlock(), a.GetBlock());
    EXPECT_EQ(Text8(other), "xyz");

    CJString reset("q");
    reset.ResetToEmpty();
    EXPECT_EQ(reset.GetBlock(), a.GetBlock());
}

TEST(JString, SelfAssignKeepsAndSelfAppendDoubles)
{
    CJString s("abc");
    const auto* block = s.GetBlock();
    CJString& alias = s;
    s = alias;
    EXPECT_EQ(s.GetBlock(), block);
    EXPECT_EQ(Text8(s), "abc");
    s.Append(s);
    EXPECT_EQ(Text8(s), "abcabc");
    s.Reserve(20);
    s.Append(s);
    EXPECT_EQ(Text8(s), "abcabcabcabc");
    s.Append(s.GetString() + 9);
    EXPECT_EQ(Text8(s), "abcabcabcabcabc");
    s.ReplaceRange(0, 3, s);
    EXPECT_EQ(Text8(s), "abcabcabcabcabcabcabcabcabc");
}

TEST(JString, GrowthIsExact)
{
    CJString s("abc");
    EXPECT_EQ(s.GetCapacity(), 3);
    s.Append("de");
    EXPECT_EQ(s.GetCapacity(), 5);
    EXPECT_EQ(s.GetFreeRoom(), 0);
    s.Delete(0, 2);
    EXPECT_EQ(s.GetFreeRoom(), 2);

    CJString shared = s;
    shared.Delete(0, 1);
    EXPECT_EQ(shared.GetCapacity(), 3) << "a shared block is copied at its present length";

    CJString roomy("abc");
    roomy.Reserve(10);
    EXPECT_EQ(roomy.GetCapacity(), 10);
    CJString copy = roomy;
    copy.Reserve(8);
    EXPECT_EQ(copy.GetBlock(), roomy.GetBlock()) << "enough room: stays shared";
    copy.GetBuffer(4);
    EXPECT_NE(copy.GetBlock(), roomy.GetBlock());
    EXPECT_EQ(copy.GetCapacity(), 10);
    EXPECT_EQ(Text8(copy), "abc");

    CJString wide(u"\u4E2Dx");
    EXPECT_EQ(wide.GetBlock()->capacity, 5u);
    EXPECT_EQ(wide.GetCapacity(), 2);
    EXPECT_EQ(wide.GetByteLength(), 4);
    EXPECT_EQ(wide.GetByteLengthWithTerminator(), 6);
}

TEST(JString, BufferAccess)
{
    CJString s;
    char* buffer = s.GetBufferDiscard(0);
    EXPECT_EQ(buffer, s.GetString());
    buffer = s.GetBufferDiscard(6);
    std::snprintf(buffer, 7, "abcdef");
    s.ReleaseBuffer(3);
    EXPECT_EQ(Text8(s), "abc");
    EXPECT_EQ(s.GetCapacity(), 6);
    s.GetBuffer(2)[3] = 'd';
    s.ReleaseBuffer(4);
    EXPECT_EQ(Text8(s), "abcd");
    s.GetBufferDiscard(4)[0] = 'Z';
    s.ReleaseBuffer();
    EXPECT_EQ(Text8(s), "Zbcd") << "a private block with room keeps its text";
}

#if !OMBRISALT_POOL_MALLOC
TEST(JString, BlocksGoBackToThePoolWithTheirSize)
{
    CMemoryPool* pool = GetMemoryPool();
    auto inUse = [&](uint32_t bytes) { return pool->GetClass(CMemoryPool::ClassOf(bytes)).GetItemsInUse(); };
    const uint32_t narrowBytes = CJString::BlockSize(100);
    const uint32_t wideBytes = CJString::BlockSize(2 * 100 + 1);
    uint32_t narrowBefore = inUse(narrowBytes);
    uint32_t wideBefore = inUse(wideBytes);
    {
        CJString s(std::string(100, 'x').c_str());
        EXPECT_EQ(inUse(narrowBytes), narrowBefore + 1);
        s.ToWide();
        EXPECT_EQ(inUse(narrowBytes), narrowBefore);
        EXPECT_EQ(inUse(wideBytes), wideBefore + 1);
    }
    EXPECT_EQ(inUse(wideBytes), wideBefore);
}
#endif

// ---------------------------------------------------------------------------
// Width

TEST(JString, WideCodeTurnsStringWideAndNarrowingStarsIt)
{
    CJString s("abc");
    s.SetAt(1, 0x4E2D);
    EXPECT_TRUE(s.IsWide());
    EXPECT_EQ(Units(s), u"a\u4E2Dc");
    EXPECT_FALSE(s.IsNarrowable());
    s.ToNarrow();
    EXPECT_EQ(Text8(s), "a*c");

    CJString repeated(char16_t(0x4E2D), 2);
    EXPECT_TRUE(repeated.IsWide());
    CJString plain(char16_t('x'), 3);
    EXPECT_EQ(Text8(plain), "xxx");
    plain.AppendRepeated(0x263A, 1);
    EXPECT_EQ(Units(plain), u"xxx\u263A");
}

TEST(JString, MixedWidthsUseCodes0To255)
{
    CJString s("caf\xE9");
    s.Append(CJString(u"\u00E9!"));
    EXPECT_TRUE(s.IsWide());
    EXPECT_EQ(Units(s), u"caf\u00E9\u00E9!");
    s.Append("\xFF");
    EXPECT_EQ(s.GetAt(6), 0xFF);
    EXPECT_TRUE(s.IsNarrowable());
    EXPECT_EQ(CJString("\xE9").GetSignedAt(0), int16_t(-23));
    EXPECT_EQ(CJString("\xE9").GetAt(0), 0xE9);
    EXPECT_EQ(CJString("ab").GetAtChecked(2), 0);
    EXPECT_EQ(CJString().GetAt(0), 0);
    CJString counted(u"ab\u4E2Dcd", 3);
    EXPECT_EQ(Units(counted), u"ab\u4E2D");
    CJString longer(u"ab", 5);
    EXPECT_EQ(longer.GetCapacity(), 5);
    EXPECT_EQ(Units(longer), u"ab");
}

// ---------------------------------------------------------------------------
// File form

TEST(JStringFileForm, EncodesAndDecodesTheExamples)
{
    CJString narrow("plain");
    EXPECT_EQ(narrow.ToFileForm().GetBlock(), narrow.GetBlock());
    CJString latin(u"caf\u00E9");
    CJString latinForm = latin.ToFileForm();
    EXPECT_FALSE(latinForm.IsWide());
    EXPECT_EQ(Text8(latinForm), "caf\xE9");
    EXPECT_EQ(Text8(CJString(u"\u4E2D").ToFileForm()), "UNICODE-HEX<2D4E>");

    EXPECT_EQ(Decoded(CJString("aUNICODE-HEX<2D4E>b")), u"a\u4E2Db");
    EXPECT_EQ(Decoded(CJString("UNICODE-HEX<2d4e>")), u"\u4E2D");
    EXPECT_EQ(Decoded(CJString("UNICODE-HEX<4100>-UNICODE-HEX<4200>")), u"A-B");
    EXPECT_EQ(Decoded(CJString("UNICODE-HEX<41004>")), u"A");
}

TEST(JStringFileForm, MalformedMarkersAreLeftAlone)
{
    EXPECT_EQ(Decoded(CJString("xUNICODE-HEX<2D4E")), u"xUNICODE-HEX<2D4E");
    EXPECT_EQ(Decoded(CJString("UNICODE-HEX<2G4E>")), u"UNICODE-HEX<2G4E>");
    EXPECT_EQ(Decoded(CJString("UNICODE-HEX<4100>UNICODE-HEX<zz>")), u"AUNICODE-HEX<zz>");
    EXPECT_EQ(Decoded(CJString(u"UNICODE-HEX<4100>")), u"UNICODE-HEX<4100>") << "a UTF-16 string is never decoded";
}

TEST(JStringFileForm, DecodedTextHoldingTheMarkerStaysAsWritten)
{
    EXPECT_EQ(Decoded(CJString(u"UNICODE-HEX<4100>\u4E2D").ToFileForm()), u"UNICODE-HEX<4100>\u4E2D");
    EXPECT_EQ(Decoded(CJString(u"UNICODE-HEX<4100>").ToFileForm()), u"UNICODE-HEX<4100>");
    CJString narrowMarker("UNICODE-HEX<4100>");
    CJString form = narrowMarker.ToFileForm();
    EXPECT_NE(form.GetBlock(), narrowMarker.GetBlock());
    EXPECT_EQ(Decoded(form), u"UNICODE-HEX<4100>");
}

TEST(JStringFileForm, RoundTripsRandomUtf16)
{
    std::mt19937 random(1234);
    const char16_t pieces[] = {0, 'a', 'Z', '<', '>', 0xE9, 0xFF, 0x100, 0x4E2D, 0xD800, 0xDC00, 0xDFFF, 0xFFFF};
    const std::u16string marker = u"UNICODE-HEX<";
    for (int round = 0; round < 2000; ++round) {
        std::u16string units;
        int length = int(random() % 24);
        for (int i = 0; i < length; ++i) {
            uint32_t pick = random() % 20;
            char16_t unit = pick < std::size(pieces) ? pieces[pick] : char16_t(1 + random() % 0xFFFF);
            if (unit == 0)
                unit = u'>';
            units += unit;
            if (random() % 16 == 0)
                units += marker;
        }
        CJString original = Wide(units);
        CJString form = original.ToFileForm();
        ASSERT_FALSE(form.IsWide());
        CJString back = form;
        back.FromFileForm();
        ASSERT_EQ(Units(back), units) << "round " << round;
        ASSERT_EQ(back.Compare(original), 0);
    }
    EXPECT_TRUE(Decoded(Wide(u"").ToFileForm()).empty());
}

// ---------------------------------------------------------------------------
// Comparing and searching

struct CompareCase {
    const char* name;
    std::u16string a;
    bool aWide;
    std::u16string b;
    bool bWide;
    int compare;
    int noCase;
    int noCaseN;
};

CJString Make(const std::u16string& units, bool wide)
{
    if (wide)
        return Wide(units);
    std::string bytes;
    for (char16_t u : units)
        bytes += char(u);
    return CJString(bytes.c_str());
}

void PrintTo(const CompareCase& c, std::ostream* out)
{
    *out << c.name;
}

class JStringCompare : public testing::TestWithParam<CompareCase> {};

TEST_P(JStringCompare, SignsHoldBothWays)
{
    const CompareCase& c = GetParam();
    CJString a = Make(c.a, c.aWide);
    CJString b = Make(c.b, c.bWide);
    EXPECT_EQ(Sign(a.Compare(b)), c.compare);
    EXPECT_EQ(Sign(b.Compare(a)), -c.compare);
    EXPECT_EQ(Sign(a.CompareNoCase(b)), c.noCase);
    EXPECT_EQ(Sign(b.CompareNoCase(a)), -c.noCase);
    EXPECT_EQ(Sign(a.CompareNoCaseN(b, 100)), c.noCaseN);
    EXPECT_EQ(Sign(b.CompareNoCaseN(a, 100)), -c.noCaseN);
    EXPECT_EQ(a.CompareN(b, 0), 0);
    if (!c.bWide) {
        EXPECT_EQ(Sign(a.Compare(b.GetString())), c.compare);
        EXPECT_EQ(Sign(a.CompareNoCase(b.GetString())), c.noCase);
    }
}

const CompareCase kCompareCases[] = {
    {"BothEmpty", u"", false, u"", false, 0, 0, 0},
    {"EmptyFirst", u"", false, u"a", false, -1, -1, -1},
    {"EmptyWideFirst", u"", true, u"a", false, -1, -1, -1},
    {"Narrow_b_After_Wide_a", u"b", false, u"a", true, 1, 1, 1},
    {"AccentAcrossWidths", u"\u00E9", false, u"\u00E9", true, 0, 0, 0},
    {"HighBytesAreUnsigned", u"\u00E9", false, u"z", false, 1, 1, 1},
    {"CaseOnly", u"ABC", false, u"abc", false, -1, 0, 0},
    {"UnderscoreNarrowFoldsLower", u"_", false, u"a", false, -1, -1, 1},
    {"UnderscoreWideFoldsUpper", u"_", true, u"a", false, -1, 1, 1},
    {"UnderscoreOtherWide", u"_", false, u"a", true, -1, 1, 1},
    {"Prefix", u"abc", true, u"abcd", true, -1, -1, -1},
    {"BeyondLatin", u"\u4E2D", true, u"\u00FF", false, 1, 1, 1},
};

INSTANTIATE_TEST_SUITE_P(Cases, JStringCompare, testing::ValuesIn(kCompareCases),
                         [](const testing::TestParamInfo<CompareCase>& caseInfo) {
                             return std::string(caseInfo.param.name);
                         });

TEST(JStringCompare, NullTextsCountAsEmpty)
{
    EXPECT_GT(CJString("a").Compare(static_cast<const char*>(nullptr)), 0);
    EXPECT_EQ(CJString().Compare(static_cast<const char*>(nullptr)), 0);
    EXPECT_EQ(CJString("abcX").CompareN("abcY", 3), 0);
    EXPECT_EQ(CJString("ABCx").CompareNoCaseN("abcY", 3), 0);
}

TEST(JStringCompare, RandomStringsAreAntisymmetricAcrossWidths)
{
    std::mt19937 random(99);
    const char16_t alphabet[] = {'a', 'B', '_', '[', 'z', 0xE9, 0xC9};
    for (int round = 0; round < 3000; ++round) {
        std::u16string x, y;
        for (int i = int(random() % 4); i > 0; --i)
            x += alphabet[random() % std::size(alphabet)];
        for (int i = int(random() % 4); i > 0; --i)
            y += alphabet[random() % std::size(alphabet)];
        bool xWide = random() % 2, yWide = random() % 2;
        CJString a = Make(x, xWide), b = Make(y, yWide);
        ASSERT_EQ(Sign(a.Compare(b)), -Sign(b.Compare(a)));
        ASSERT_EQ(Sign(a.CompareNoCase(b)), -Sign(b.CompareNoCase(a)));
        ASSERT_EQ(Sign(a.Compare(b)), Sign(Make(x, false).Compare(Make(y, false)))) << "width never changes the order";
        ASSERT_EQ(Sign(a.Compare(b)), Sign(x.compare(y)));
    }
}

TEST(JStringFind, SearchesInEveryWidth)
{
    CJString s("Hello World");
    EXPECT_EQ(s.FindChar('o'), 4);
    EXPECT_EQ(s.FindChar('o', 5), 7);
    EXPECT_EQ(s.FindChar('o', 11), -1);
    EXPECT_EQ(s.FindChar('H', 0, FindDirection::Backward), 0);
    EXPECT_EQ(s.FindChar('e', 0, FindDirection::Backward), -1);
    EXPECT_EQ(s.FindChar('o', 10, FindDirection::Backward), 7);
    EXPECT_EQ(s.FindChar(0x4E2D), -1);
    EXPECT_EQ(s.Find("o"), 4);
    EXPECT_EQ(s.Find("o", 5), 7);
    EXPECT_EQ(s.Find("", 3), 3);
    EXPECT_EQ(s.Find("o", 11), -1);
    EXPECT_EQ(s.Find("world"), -1);
    EXPECT_EQ(s.FindNoCase("world"), 6);
    CJString wide = Wide(u"Hello \u4E2DWorld");
    EXPECT_EQ(wide.Find("World"), 7);
    EXPECT_EQ(wide.FindNoCase(CJString("WORLD")), 7);
    EXPECT_EQ(wide.Find(CJString(u"\u4E2D")), 6);
    EXPECT_EQ(s.Find(CJString(u"\u4E2D")), -1);
    EXPECT_EQ(s.Find(Wide(u"World")), 6);
    EXPECT_EQ(CJString("a\nb\nc").CountLines(), 3);
    EXPECT_EQ(CJString("a\nb\nc").CountLines(2), 2);
    EXPECT_EQ(CJString("banana").CountChar('a', 2), 2);
}

// ---------------------------------------------------------------------------
// Numbers read from text

class JStringToInt : public testing::TestWithParam<const char*> {};

TEST_P(JStringToInt, ReadsAsThe32BitCLibrary)
{
    const char* text = GetParam();
    long long wide = std::strtoll(text, nullptr, 10);
    int32_t expected = int32_t(std::clamp<long long>(wide, INT32_MIN, INT32_MAX));
    EXPECT_EQ(CJString(text).ToInt(), expected);
    EXPECT_EQ(Make(std::u16string(text, text + std::strlen(text)), true).ToInt(), expected);
    float expectedFloat = float(std::strtod(text, nullptr));
    if (expectedFloat == expectedFloat) {
        EXPECT_EQ(CJString(text).ToFloat(), expectedFloat);
        EXPECT_EQ(Make(std::u16string(text, text + std::strlen(text)), true).ToFloat(), expectedFloat);
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, JStringToInt,
                         testing::Values("0", "42", "  \t\n-17xyz", "+8", "2147483647", "2147483648", "3000000000",
                                         "-2147483648", "-2147483649", "99999999999999999999", "", "-", "abc", "0x1A",
                                         "007", "1.5e3", " 3.25", "-0.125", "1e39", "1e-50", ".5", "12,5"));

// ---------------------------------------------------------------------------
// Formatting

TEST(JStringFormat, MeasuresEveryConversionExactly)
{
    const std::string longText(3000, 'q');
    CJString s;
    s.Format("%s|%p|%08X|%f|%x", longText.c_str(), static_cast<void*>(&s), 0xBEEFu, 1e300, 0xFFFFFFFFu);
    char expected[4000];
    std::snprintf(expected, sizeof expected, "%s|%p|%08X|%f|%x", longText.c_str(), static_cast<void*>(&s), 0xBEEFu,
                  1e300, 0xFFFFFFFFu);
    EXPECT_EQ(Text8(s), expected);
    EXPECT_EQ(s.GetFreeRoom(), 0);
    s.Format("%s", "");
    EXPECT_TRUE(s.IsEmpty());
    CJString w(u"\u4E2D");
    w.Format("%d", 12);
    EXPECT_EQ(Text8(w), "12");
}

TEST(JStringFormat, AppendFormatMayReadItsOwnText)
{
    CJString s("abc");
    s.Reserve(100);
    s.AppendFormat("[%s]", s.GetString());
    EXPECT_EQ(Text8(s), "abc[abc]");
    s.Format("%s%s", s.GetString(), s.GetString());
    EXPECT_EQ(Text8(s), "abc[abc]abc[abc]");
}

struct TokenCase {
    const char* name;
    const char* start;
    std::function<void(CJString&)> apply;
    const char* expected;
};

void PrintTo(const TokenCase& c, std::ostream* out)
{
    *out << c.name;
}

class JStringTokens : public testing::TestWithParam<TokenCase> {};

TEST_P(JStringTokens, FillAsExpected)
{
    CJString s(GetParam().start);
    GetParam().apply(s);
    EXPECT_EQ(Text8(s), GetParam().expected);
}

const TokenCase kTokenCases[] = {
    {"AppendIntZeroFilled", "n=", [](CJString& s) { s.AppendInt(7, 1, 3); }, "n=007"},
    {"AppendIntFillsEarlierToken", "a%db", [](CJString& s) { s.AppendInt(5); }, "a5b%d"},
    {"AppendIntWidth", "", [](CJString& s) { s.AppendInt(-42, 0, 5); }, "  -42"},
    {"IntTokenOrder", "%i %u", [](CJString& s) { s.FillIntToken(3); }, "%i 3"},
    {"IntTokenUnescapesFirstPercent", "100%% %d %%", [](CJString& s) { s.FillIntToken(9); }, "100% 9 %%"},
    {"NoIntToken", "none", [](CJString& s) { EXPECT_FALSE(s.FillIntToken(1)); }, "none"},
    {"FloatPlain", "", [](CJString& s) { s.AppendFloat(0.5); }, "0.5"},
    {"FloatWidthPrecision", "", [](CJString& s) { s.AppendFloat(3.14159, 0, 6, 2); }, "  3.14"},
    {"FloatZeroPad", "", [](CJString& s) { s.AppendFloat(3.14159, 1, 7, 3); }, "003.142"},
    {"FloatNoPrecision", "", [](CJString& s) { s.AppendFloat(2.6, 0, 4, 0); }, "   3"},
    {"FloatNegativeWidth", "", [](CJString& s) { s.AppendFloat(1234567.0, 0, -1, 3); }, "1.23e+06"},
    {"FloatGToken", "x%g", [](CJString& s) { s.FillFloatToken(1e-7); }, "x1e-07"},
    {"Thousands", "", [](CJString& s) { s.FormatThousands(1234567); }, "1,234,567"},
    {"ThousandsNegative", "", [](CJString& s) { s.FormatThousands(-1234); }, "-1,234"},
    {"ThousandsShortNegative", "", [](CJString& s) { s.FormatThousands(-123); }, "-123"},
    {"ThousandsThreeDigits", "", [](CJString& s) { s.FormatThousands(999); }, "999"},
    {"ThousandsMinimum", "", [](CJString& s) { s.FormatThousands(INT32_MIN); }, "-2,147,483,648"},
    {"MinutesSeconds", "", [](CJString& s) { s.FormatMinutesSeconds(150.5f); }, "2:30"},
    {"MinutesSecondsUnderAMinute", "", [](CJString& s) { s.FormatMinutesSeconds(59.9f); }, "0:59"},
    {"MinutesSecondsZeroFilled", "", [](CJString& s) { s.FormatMinutesSeconds(605.0f); }, "10:05"},
    {"SetIntDecimal", "", [](CJString& s) { s.SetInt(-305); }, "-305"},
    {"SetIntHex", "", [](CJString& s) { s.SetInt(-1, 16); }, "ffffffff"},
    {"SetIntBinary", "", [](CJString& s) { s.SetInt(INT32_MIN, 2); }, "10000000000000000000000000000000"},
    {"UnescapePercent", "%%%%", [](CJString& s) { s.UnescapePercent(); }, "%%%"},
};

INSTANTIATE_TEST_SUITE_P(Cases, JStringTokens, testing::ValuesIn(kTokenCases),
                         [](const testing::TestParamInfo<TokenCase>& caseInfo) {
                             return std::string(caseInfo.param.name);
                         });

TEST(JStringFormat, SeparatorsAreLocalisable)
{
    CLocalizedString& thousands = GetLocalizedSymbol(LocalizedSymbol::ThousandsSeparator);
    EXPECT_STREQ(thousands.GetAnnotation(), "Thousands Separator");
    CJString saved = thousands;
    thousands.Set(u"\u00A0");
    CJString s;
    s.FormatThousands(1234567);
    EXPECT_EQ(Units(s), u"1\u00A0234\u00A0567");
    thousands.Set(saved);
    CLocalizedString& minutes = GetLocalizedSymbol(LocalizedSymbol::MinutesSecondsSeparator);
    EXPECT_STREQ(minutes.GetAnnotation(), "Minutes:Seconds separator");
    minutes.Set("m");
    s.FormatMinutesSeconds(61);
    EXPECT_EQ(Text8(s), "1m01");
    minutes.Set(":");
}

// ---------------------------------------------------------------------------
// Editing

TEST(JStringEdit, SubstringsShareWholeResults)
{
    CJString s("abcdef");
    EXPECT_EQ(s.Left(10).GetBlock(), s.GetBlock());
    EXPECT_EQ(s.Mid(0).GetBlock(), s.GetBlock());
    EXPECT_EQ(s.Right(6).GetBlock(), s.GetBlock());
    EXPECT_EQ(Text8(s.Left(2)), "ab");
    EXPECT_EQ(Text8(s.Mid(2)), "cdef");
    EXPECT_EQ(Text8(s.Mid(2, 3)), "cde");
    EXPECT_EQ(Text8(s.Mid(4, 10)), "ef");
    EXPECT_TRUE(s.Mid(6).IsEmpty());
    EXPECT_TRUE(s.Mid(60, 2).IsEmpty());
    EXPECT_EQ(Text8(s.Right(2)), "ef");
    CJString left, right;
    s.SplitAt('c', left, right);
    EXPECT_EQ(Text8(left), "ab");
    EXPECT_EQ(Text8(right), "def");
    s.SplitAt('z', left, right);
    EXPECT_EQ(Text8(left), "abcdef");
    EXPECT_TRUE(right.IsEmpty());
    CJString w = Wide(u"x\u4E2Dy");
    EXPECT_EQ(Units(w.Mid(1, 1)), u"\u4E2D");
}

TEST(JStringEdit, ReplacesAndTrims)
{
    CJString s("a-b-c");
    EXPECT_EQ(s.Replace("-", "--"), 2);
    EXPECT_EQ(Text8(s), "a--b--c");
    EXPECT_EQ(s.Replace("", "x"), 0);
    EXPECT_TRUE(s.ReplaceFirst("--", "+", 2));
    EXPECT_EQ(Text8(s), "a--b+c");
    EXPECT_FALSE(s.ReplaceFirst("q", "+"));
    EXPECT_EQ(s.ReplaceNoCase("B", CJString(u"\u4E2D")), 1);
    EXPECT_EQ(Units(s), u"a--\u4E2D+c");

    CJString t(" \t x y \r\n");
    t.TrimLeft();
    EXPECT_EQ(Text8(t), "x y \r\n");
    t.TrimRight();
    EXPECT_EQ(Text8(t), "x y");
    t.RemoveWhitespace();
    EXPECT_EQ(Text8(t), "xy");
    EXPECT_TRUE(CJString(" \r\n\t").IsAllWhitespace());
    EXPECT_TRUE(CJString().IsAllWhitespace());
    EXPECT_TRUE(CJString(" a").HasNonWhitespace());
    EXPECT_EQ(CJString("  \tx ").CountLeadingWhitespace(), 3);

    CJString k(u"a1\u4E2Db2");
    k.KeepOnly("ab*");
    EXPECT_EQ(Text8(k), "a*b");
    CJString m("MiXeD \xC9");
    m.MakeLower();
    EXPECT_EQ(Text8(m), "mixed \xC9");
    m.ReplaceChar(' ', '_');
    EXPECT_EQ(Text8(m), "mixed_\xC9");

    CJString file("Walk.TGA");
    EXPECT_FALSE(file.RemoveSuffix(""));
    EXPECT_TRUE(file.RemoveSuffix(".tga"));
    EXPECT_EQ(Text8(file), "Walk");
    EXPECT_FALSE(file.RemoveSuffix("xWalk"));
    EXPECT_TRUE(file.RemovePrefix("wa"));
    EXPECT_EQ(Text8(file), "lk");
}

TEST(JStringEdit, AppendsAndInserts)
{
    CJString s;
    s.AppendWithSeparator(", ", "a");
    s.AppendWithSeparator(", ", "");
    s.AppendWithSeparator(", ", CJString("b"));
    EXPECT_EQ(Text8(s), "a, b");
    s.AppendText("cdef", 2);
    EXPECT_EQ(Text8(s), "a, bcd");
    s.AppendLeft(CJString("xyz"), 2);
    EXPECT_EQ(Text8(s), "a, bcdxy");
    CJString e;
    e.AppendLeft(CJString("xyz"), 9);
    EXPECT_EQ(Text8(e), "xyz");
    s.InsertChar(0, '>');
    s.InsertChar(1, 0x4E2D);
    EXPECT_EQ(Units(s), u">\u4E2Da, bcdxy");
    s.Delete(1, 3);
    EXPECT_EQ(Units(s), u"> bcdxy");
    s += "!";
    s += CJString("?");
    EXPECT_EQ(Units(s), u"> bcdxy!?");
    s += static_cast<const char*>(nullptr);
    EXPECT_EQ(s.GetLength(), 9);
}

// The item is read as it was before the separator went in, even when it is
// this string's own text (whose block the separator may replace).
TEST(JStringEdit, SeparatedAppendOfOwnTextUsesTheTextAsItWas)
{
    CJString s("ab");
    s.AppendWithSeparator(", ", s.GetString());
    EXPECT_EQ(Text8(s), "ab, ab");
    CJString t("cd");
    t.AppendWithSeparator(", ", t);
    EXPECT_EQ(Text8(t), "cd, cd");
    CJString p("dir");
    p.AppendPath(p);
    EXPECT_EQ(Text8(p), "dir/dir");
}

// ---------------------------------------------------------------------------
// Paths

TEST(JStringPath, JoinsWithOneSlash)
{
    CJString p;
    p.AppendPath("Data");
    EXPECT_EQ(Text8(p), "Data");
    p.AppendPath("Images/");
    p.AppendPath(CJString("x.tga"));
    EXPECT_EQ(Text8(p), "Data/Images/x.tga");
    for (const char* start : {"a/", "a"}) {
        CJString q(start);
        q.AppendPath(static_cast<const char*>(nullptr));
        EXPECT_EQ(Text8(q), "a/");
    }

    p.SetPath("Folder", "Name");
    EXPECT_EQ(Text8(p), "Folder/Name");
    p.SetPath("Folder/", "Name", ".txt");
    EXPECT_EQ(Text8(p), "Folder/Name.txt");
    p.SetPath("", "Name", ".txt");
    EXPECT_EQ(Text8(p), "Name.txt");
    p.SetPath(p, "x");
    EXPECT_EQ(Text8(p), "Name.txt/x");
}

TEST(JStringPath, SplitsAtTheLastSeparatorOfEitherKind)
{
    CJString folder, name;
    CJString::SplitPath("a\\b/c", &folder, &name);
    EXPECT_EQ(Text8(folder), "a\\b");
    EXPECT_EQ(Text8(name), "c");
    CJString::SplitPath("a/b\\c", &folder, nullptr);
    EXPECT_EQ(Text8(folder), "a/b");
    CJString::SplitPath("plain", &folder, &name);
    EXPECT_TRUE(folder.IsEmpty());
    EXPECT_EQ(Text8(name), "plain");
    CJString self("x/y");
    CJString::SplitPath(self, &self, &name);
    EXPECT_EQ(Text8(self), "x");
    EXPECT_EQ(Text8(name), "y");

    CJString item;
    item.SetItemFilePath("Base", "Anim/Walk", "Properties.txt");
    EXPECT_EQ(Text8(item), "Base/Anim/-Walk/Properties.txt");
    item.SetItemFilePath("Base", "Walk", "Properties", ".txt");
    EXPECT_EQ(Text8(item), "Base/-Walk/Properties.txt");
}

// ---------------------------------------------------------------------------
// String arrays

TEST(JStringArray, ReservesExactlyAndKeepsStrings)
{
    CJStringArray array;
    array.Reserve(3);
    EXPECT_EQ(array.GetCapacity(), 3);
    for (const char* text : {"a", "b", "c", "d"})
        array.Add(text);
    EXPECT_EQ(array.GetCapacity(), 6);
    array.Add(array[0]);
    EXPECT_EQ(Text8(array[4]), "a");
    array.Reserve(2);
    EXPECT_EQ(array.GetCapacity(), 6);
    EXPECT_EQ(Text8(array[3]), "d");
}

TEST(JStringArray, MovesOverlappingRunsBothWays)
{
    CJString* block = NewJStringArray(6);
    for (int i = 0; i < 4; ++i)
        block[i].Format("%d", i);
    MoveJStrings(block + 2, block, 4);
    EXPECT_EQ(Text8(block[2]), "0");
    EXPECT_EQ(Text8(block[5]), "3");
    MoveJStrings(block, block + 2, 4);
    EXPECT_EQ(Text8(block[0]), "0");
    EXPECT_EQ(Text8(block[3]), "3");
    DeleteJStringArray(block);
    DeleteJStringArray(nullptr);
    CJStringPair* pairs = NewJStringPairArray(2);
    pairs[1].m_Second = "x";
    DeleteJStringPairArray(pairs);
    DeleteJStringPairArray(nullptr);
}

} // namespace
