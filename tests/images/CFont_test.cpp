#include "images/CFont.h"

#include "blit/CColor.h"
#include "foundation/CFile.h"
#include "foundation/FatalError.h"
#include "images/CFontFace.h"
#include "images/CFrame.h"
#include "support/ScopedHooks.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H

#include <algorithm>
#include <string>

namespace {

constexpr const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// What FreeType itself says about the font at 12 points, independent of the
// font code: each glyph's cell width and the ascender.
class CReferenceFace {
public:
    CReferenceFace()
    {
        FT_Init_FreeType(&m_Library);
        if (FT_New_Face(m_Library, kDejaVu, 0, &m_Face) == 0)
            FT_Set_Char_Size(m_Face, 12 * 64, 12 * 64, 72, 72);
        else
            m_Face = nullptr;
    }
    ~CReferenceFace()
    {
        if (m_Face)
            FT_Done_Face(m_Face);
        FT_Done_FreeType(m_Library);
    }
    int32_t Advance(uint32_t code)
    {
        if (code < 20)
            return 0;
        FT_Load_Char(m_Face, code, FT_LOAD_NO_BITMAP | FT_LOAD_RENDER);
        const int32_t advance = int32_t(m_Face->glyph->advance.x >> 6);
        return std::max({int32_t(m_Face->glyph->bitmap.width), advance, 1});
    }
    int32_t Width(const std::u16string& text)
    {
        int32_t width = 0;
        for (char16_t c : text)
            width += Advance(c);
        return width;
    }
    int32_t Ascender() const { return int32_t(m_Face->size->metrics.ascender >> 6); }
    bool Has(uint32_t code) const { return FT_Get_Char_Index(m_Face, code) != 0; }

private:
    FT_Library m_Library = nullptr;
    FT_Face m_Face = nullptr;
};

class FontTest : public CTempFolderTest {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        const std::string font = ReadBytes(kDejaVu);
        if (font.empty())
            GTEST_SKIP() << kDejaVu << " is missing (Debian package fonts-dejavu-core)";
        WriteBytes("Resources/!default.ttf", font);
        RegisterImagesClasses();
        EnumerateFontFiles();
    }

    CScopedGlobalBitDepth m_Depth{32};
    // Characters whose widths these tests add up.
    int32_t Width(const std::u16string& text) { return m_Reference.Width(text); }

    CReferenceFace m_Reference;
};

CJString Wide(const std::u16string& text)
{
    return CJString(text.c_str());
}

TEST_F(FontTest, MeasuresWithFreeTypesOwnMetrics)
{
    CFont font;
    EXPECT_EQ(font.GetTextWidth("Hello, World"), Width(u"Hello, World"));
    EXPECT_EQ(font.GetTextWidth("Hello, World", 5), Width(u"Hello"));
    EXPECT_EQ(int32_t(font.GetHeight()), m_Reference.Ascender());
    EXPECT_EQ(font.GetLineHeight(), m_Reference.Ascender());
    EXPECT_EQ(font.GetCharAdvance('\t'), 0u);
    EXPECT_EQ(font.GetGlyphFrame('\n'), nullptr);
    EXPECT_EQ(font.GetTextWidth("a\tb\nc"), Width(u"abc"));
    EXPECT_EQ(font.GetMultiLineTextWidth("ab\nWWWW\nc"), Width(u"WWWW"));
    EXPECT_EQ(font.GetTextBlockHeight("a\nb\nc", 2), 3 * (m_Reference.Ascender() + 2));
    CFrame* a = font.GetGlyphFrame('A');
    ASSERT_TRUE(a);
    EXPECT_EQ(a->GetBitDepth(), 32u);
    EXPECT_TRUE(a->HasVisiblePixels());
}

TEST_F(FontTest, TextBeyondLatin1IsMeasuredPerCharacter)
{
    CFont font;
    const std::u16string greek = u"\u03A9\u03BC\u03AD\u03B3\u03B1";
    const std::u16string cyrillic = u"\u041F\u0440\u0438\u0432\u0435\u0442";
    EXPECT_EQ(font.GetTextWidth(Wide(greek)), Width(greek));
    EXPECT_EQ(font.GetTextWidth(Wide(cyrillic)), Width(cyrillic));
    ASSERT_GT(font.GetGlyphCount(), 0x442u) << "a code above 255 grows the cache";
    // A character the font lacks draws FreeType's missing-glyph box.
    ASSERT_FALSE(m_Reference.Has(0x4E2D));
    EXPECT_EQ(int32_t(font.GetCharAdvance(0x4E2D)), m_Reference.Advance(0x4E2D));
    EXPECT_EQ(font.GetGlyphCount(), 0x4E2Eu);
}

TEST_F(FontTest, GlyphsAreRenderedOnceAndSharedByCapitals)
{
    CFont font;
    CFrame* first = font.GetGlyphFrame('x');
    EXPECT_EQ(font.GetGlyphFrame('x'), first) << "the cached frame is reused";
    EXPECT_NE(font.GetGlyphFrame('a'), font.GetGlyphFrame('A'));

    font.SetGenerateAllCaps(true);
    EXPECT_EQ(font.GetGlyphFrame('a'), font.GetGlyphFrame('A'));
    EXPECT_EQ(font.GetGlyphFrame(233), font.GetGlyphFrame(201));
    EXPECT_EQ(font.GetTextWidth("abc"), Width(u"ABC"));

    const int32_t before = int32_t(font.GetCharAdvance('W'));
    font.SetPointSize(24.0f);
    EXPECT_GT(int32_t(font.GetCharAdvance('W')), before) << "a new size empties the cache";
}

struct SFitCase {
    const char* name;
    std::u16string text;
    // The width as characters of the text measured: the first n characters
    // plus extra pixels.
    int32_t widthChars;
    int32_t extra;
    FitMode mode;
    int32_t expected;
};

class FitLineTest : public FontTest, public testing::WithParamInterface<SFitCase> {};

TEST_P(FitLineTest, FitsWholeWordsStrictlyNarrowerThanTheWidth)
{
    const SFitCase& c = GetParam();
    CFont font;
    const int32_t width = Width(c.text.substr(0, size_t(c.widthChars))) + c.extra;
    CJString out;
    EXPECT_EQ(font.FitLine(Wide(c.text), width, &out, c.mode), c.expected);
    EXPECT_EQ(out.GetLength(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Font, FitLineTest,
                         testing::Values(SFitCase{"ExactWordDoesNotFit", u"one two", 3, 0, FitMode::WholeWords, 0},
                                         SFitCase{"OnePixelMoreFits", u"one two", 3, 1, FitMode::WholeWords, 4},
                                         // "one two" is as wide as "one" + " " + "two": exact width, so only "one ".
                                         SFitCase{"SecondWordExactDoesNotFit", u"one two three", 7, 0,
                                                  FitMode::WholeWords, 4},
                                         SFitCase{"SecondWordFits", u"one two three", 7, 1, FitMode::WholeWords, 8},
                                         // The space after "one" counts only because "two" follows.
                                         SFitCase{"TrailingSpaceIsFree", u"one ", 3, 1, FitMode::WholeWords, 4},
                                         SFitCase{"LineEndStops", u"ab\ncd", 5, 50, FitMode::WholeWords, 3},
                                         SFitCase{"LongWordRefused", u"abcdefgh", 4, 1, FitMode::WholeWords, 0},
                                         SFitCase{"LongWordCutWhenForced", u"abcdefgh", 4, 1, FitMode::Force, 4},
                                         SFitCase{"ForcedCutIsStrict", u"abcdefgh", 4, 0, FitMode::Force, 3}),
                         [](const testing::TestParamInfo<SFitCase>& p) { return std::string(p.param.name); });

TEST_F(FontTest, WrapsEveryLineNarrowerThanTheWidthAndKeepsTheWords)
{
    CFont font;
    const CJString text("The quick brown fox jumps over the lazy dog and keeps running far away");
    const int32_t width = Width(u"The quick brown") + 1;
    const CJString wrapped = font.WrapText(text, width, TrailingSpaces::Cut);
    std::string joined;
    int32_t lines = 0;
    std::string all(wrapped.GetString());
    size_t start = 0;
    for (;;) {
        const size_t end = all.find('\n', start);
        const std::string line = all.substr(start, end == std::string::npos ? std::string::npos : end - start);
        EXPECT_LT(font.GetTextWidth(CJString(line.c_str())), width) << line;
        EXPECT_NE(line.back(), ' ');
        joined += (joined.empty() ? "" : " ") + line;
        ++lines;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    EXPECT_EQ(joined, text.GetString());
    EXPECT_GT(lines, 2);
    EXPECT_EQ(font.DrawWrappedText(nullptr, 0, 0, text, width, 3, TextAlign::Left), lines * (font.GetLineHeight() + 3));
}

TEST_F(FontTest, ParagraphsUseFirstAndLaterLineSettings)
{
    CFont font;
    SParagraphLayout layout;
    layout.width = Width(u"aaaa aaaa") + 1;
    layout.lineSpacing = 2;
    layout.firstIndent = Width(u"aaaa ");
    layout.bulletIndent = Width(u"aaaa ");
    const int32_t lineHeight = font.GetLineHeight();

    // The first line has room for one word, later lines for two.
    int32_t y = 10;
    EXPECT_EQ(font.DrawWrappedParagraphs(nullptr, y, "aaaa aaaa aaaa aaaa aaaa", layout), 3);
    EXPECT_EQ(y, 10 + 3 * (lineHeight + 2));
    EXPECT_EQ(font.GetWrappedTextHeight("aaaa aaaa aaaa aaaa aaaa", layout), 3 * lineHeight + 2 * 2);

    // A leading bullet gives later lines the bullet indent: one word each.
    layout.firstIndent = 0;
    const CJString bulleted(u"\u2022 aaaa aaaa aaaa");
    y = 0;
    EXPECT_EQ(font.DrawWrappedParagraphs(nullptr, y, bulleted, layout), 3);
    layout.bulletIndent = 0;
    EXPECT_EQ(font.DrawWrappedParagraphs(nullptr, y, bulleted, layout), 2);

    // An empty paragraph is one line; a first line too narrow for any word
    // stays empty.
    layout.firstIndent = layout.width - 2;
    y = 0;
    EXPECT_EQ(font.DrawWrappedParagraphs(nullptr, y, "aaaa\n\naaaa", layout), 5);
    EXPECT_EQ(font.GetWrappedTextWidth("aaaa\n\naaaa", layout), Width(u"aaaa"));
}

TEST_F(FontTest, TheLayoutCacheNoticesChangedText)
{
    CFont font;
    SParagraphLayout layout;
    layout.width = Width(u"word word") + 1;
    CJString text("word word word");
    EXPECT_EQ(font.GetWrappedTextHeight(text, layout), 2 * font.GetLineHeight());
    EXPECT_EQ(font.GetWrappedTextWidth(text, layout), Width(u"word word "));
    text = "word";
    EXPECT_EQ(font.GetWrappedTextHeight(text, layout), font.GetLineHeight());
    layout.width = Width(u"word");
    EXPECT_EQ(font.GetWrappedTextHeight(text, layout), 2 * font.GetLineHeight()) << "the word is cut";
}

TEST_F(FontTest, AlignmentMovesTheWholeLine)
{
    CFont font;
    const CJString text("Align");
    const int32_t width = font.GetTextWidth(text);
    auto left = CFrame::MakeOwned(120, 30, 32);
    auto centred = CFrame::MakeOwned(120, 30, 32);
    auto right = CFrame::MakeOwned(120, 30, 32);
    font.DrawText(*left, 10, 5, text);
    font.DrawText(*centred, 10 + width / 2, 5, text, TextAlign::Centre);
    font.DrawText(*right, 10 + width, 5, text, TextAlign::Right);
    EXPECT_TRUE(left->HasVisiblePixels());
    const size_t bytes = size_t(120 * 30 * 4);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(left->GetPixels()), bytes),
              std::string(reinterpret_cast<char*>(centred->GetPixels()), bytes));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(left->GetPixels()), bytes),
              std::string(reinterpret_cast<char*>(right->GetPixels()), bytes));
    CRect drawn;
    left->GetOpaqueBounds(drawn);
    EXPECT_GE(drawn.left, 10);
    EXPECT_LE(drawn.right, 10 + width);
}

TEST_F(FontTest, BadFontFilesGiveTheFontReport)
{
    const std::string font = ReadBytes("Resources/!default.ttf");
    for (const std::string& bytes : {std::string("not a font at all"), font.substr(0, 200), std::string()}) {
        WriteBytes("Resources/!default.ttf", bytes);
        CFont bad;
        const CScopedThrowingFatal throwing;
        try {
            bad.GetGlyph(uint32_t('A'));
            ADD_FAILURE() << "no report for " << bytes.size() << " bytes";
        } catch (const CFatalErrorException& report) {
            EXPECT_EQ(report.caption, "FATAL ERROR");
            EXPECT_EQ(report.message,
                      "Resources/!default.ttf is not a font file or could not be opened\n  error = 0x0000\n");
        }
    }
    EXPECT_EQ(CFontFace::SGetOpenFaceCount(), 0u);
}

TEST(FontFatalError, EndsWithStatusOneAndTheErrorCode)
{
    EXPECT_EXIT(FontFatalError("Invalid charmap.\n", 6), testing::ExitedWithCode(1),
                "^FATAL ERROR\nInvalid charmap.\n\n  error = 0x0006\n\n$");
    EXPECT_EXIT(FontFatalError("Could not initialize FreeType library", 0x12345), testing::ExitedWithCode(1),
                "error = 0x12345\n");
}

TEST_F(FontTest, StreamReadsGoThroughTheEngineFile)
{
    CFile file;
    ASSERT_TRUE(file.Open("Resources/!default.ttf", FILE_READ));
    FT_StreamRec stream{};
    stream.descriptor.pointer = &file;
    ASSERT_TRUE(file.Seek(7));
    EXPECT_EQ(CFontFace::StreamRead(&stream, 100, nullptr, 0), 0ul) << "a seek request";
    EXPECT_EQ(file.GetPosition(), 7);
    unsigned char bytes[4] = {};
    EXPECT_EQ(CFontFace::StreamRead(&stream, 0, bytes, 4), 4ul);
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(bytes[1], 1) << "TrueType version 1.0";
    const unsigned long size = static_cast<unsigned long>(file.GetSize());
    EXPECT_EQ(CFontFace::StreamRead(&stream, size - 2, bytes, 4), 2ul) << "short at the end";
    CFontFace::StreamClose(&stream);
    EXPECT_FALSE(file.IsOpen());
}

TEST(FontGamma, TableAndAlphaCorrection)
{
    BuildFontGammaTable();
    const uint8_t* table = GetFontGammaTable();
    for (auto [i, expected] : {std::pair{0, 0}, {1, 15}, {64, 127}, {127, 179}, {128, 180}, {254, 254}, {255, 255}})
        EXPECT_EQ(table[i], expected) << i;
    auto frame = CFrame::MakeOwned(6, 1, 32);
    const uint8_t alphas[6] = {0, 1, 64, 128, 192, 254};
    for (int x = 0; x < 6; ++x) {
        frame->GetPixels()[x * 4 + 0] = 9;
        frame->GetPixels()[x * 4 + 3] = alphas[x];
    }
    ApplyFontGammaToAlpha(frame.get());
    const uint8_t corrected[6] = {0, 1, 35, 76, 129, 240};
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(frame->GetPixels()[x * 4 + 3], corrected[x]) << int(alphas[x]);
        EXPECT_EQ(frame->GetPixels()[x * 4 + 0], 9);
    }
    auto empty = CFrame::MakeOwned(1, 1, 32);
    empty->Free();
    ApplyFontGammaToAlpha(empty.get());
}

} // namespace
