#include "images/CFontBitmap.h"

#include "foundation/CFile.h"
#include "foundation/FatalError.h"
#include "images/CFontList.h"
#include "images/CFrame.h"
#include "images/CFrameList.h"
#include "images/CTGAFileIO.h"
#include "objects/CClassInfo.h"
#include "support/ScopedHooks.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

void Set(CObject& object, const char* property, const char* value)
{
    CProperty* found = object.GetClassInfo()->FindProperty(property);
    ASSERT_TRUE(found) << property;
    object.SetPropertyFromText(found, value, nullptr);
}

void Put(CFrame& image, int32_t x, int32_t y, uint8_t red)
{
    uint8_t* pixel = image.Row(uint32_t(y)) + x * 4;
    pixel[2] = red;
    pixel[3] = 255;
}

uint8_t RedAt(CFrame& frame, int32_t x, int32_t y)
{
    CColor colour;
    EXPECT_TRUE(frame.GetPixel(x, y, colour));
    return colour.GetRed();
}

// Cells 3, 5, 2 and 4 pixels wide after the height column, each filled with
// its own red; marks at columns 4, 9 and 11 of the bottom row; height marks
// at rows 1 and 5 of column 0.
std::unique_ptr<CFrame> ProportionalImage()
{
    auto image = CFrame::MakeOwned(15, 8, 32);
    const int32_t starts[] = {1, 4, 9, 11, 15};
    for (int cell = 0; cell < 4; ++cell)
        for (int32_t x = starts[cell]; x < starts[cell + 1]; ++x)
            for (int32_t y = 0; y < 7; ++y)
                Put(*image, x, y, uint8_t(10 * (cell + 1)));
    for (int32_t x : {4, 9, 11})
        Put(*image, x, 7, 1);
    Put(*image, 0, 1, 1);
    Put(*image, 0, 5, 1);
    return image;
}

// Every font names a TrueType family, found among the fonts listed at start.
class BitmapFont : public CTempFolderTest {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        if (!WriteDefaultFont())
            GTEST_SKIP() << "DejaVuSans.ttf is missing (Debian package fonts-dejavu-core)";
        RegisterImagesClasses();
        EnumerateFontFiles();
    }

    CScopedGlobalBitDepth m_Depth{32};
};

TEST_F(BitmapFont, ProportionalCellsEndInFrontOfTheirMarks)
{
    CFontBitmap font;
    Set(font, "First ASCII", "65");
    Set(font, "Last ASCII", "68");
    font.CutGlyphs(*ProportionalImage());
    EXPECT_EQ(font.GetCharAdvance('A'), 3u);
    EXPECT_EQ(font.GetCharAdvance('B'), 5u) << "the mark's column belongs to the next cell";
    EXPECT_EQ(font.GetCharAdvance('C'), 2u);
    EXPECT_EQ(font.GetCharAdvance('D'), 4u) << "the last cell runs to the right edge";
    EXPECT_EQ(font.GetTextWidth("ABCD"), 14);
    EXPECT_EQ(font.GetHeight(), 5u) << "from the height marks";
    EXPECT_EQ(font.GetLineHeight(), 5);
    CFrame* b = font.GetGlyphFrame('B');
    ASSERT_TRUE(b);
    EXPECT_EQ(b->GetHeight(), 7u) << "the marker row is not part of the glyphs";
    EXPECT_EQ(RedAt(*b, 0, 0), 20);
    EXPECT_EQ(RedAt(*b, 4, 6), 20);
    EXPECT_EQ(RedAt(*font.GetGlyphFrame('D'), 3, 0), 40);
    EXPECT_TRUE(font.IsCut());
    EXPECT_GT(font.GetCharAdvance('z'), 0u) << "codes outside the image are TrueType";
}

TEST_F(BitmapFont, CodesAfterTheLastMarkGetEmptyCells)
{
    CFontBitmap font;
    Set(font, "First ASCII", "65");
    Set(font, "Last ASCII", "70");
    font.CutGlyphs(*ProportionalImage());
    EXPECT_EQ(font.GetCharAdvance('D'), 4u);
    for (uint32_t code : {'E', 'F'}) {
        EXPECT_EQ(font.GetCharAdvance(code), 15u / 6u) << "image width div code count";
        ASSERT_TRUE(font.GetGlyphFrame(code));
        EXPECT_FALSE(font.GetGlyphFrame(code)->HasVisiblePixels());
    }
}

TEST_F(BitmapFont, FixedWidthCellsSplitTheWholeImage)
{
    auto image = CFrame::MakeOwned(950, 10, 32);
    for (int32_t y = 0; y < 10; ++y)
        Put(*image, 330, y, 99); // first column of "A" (code 65, cell 33)
    CFontBitmap font;
    Set(font, "Fixed Width", "1");
    font.CutGlyphs(*image);
    EXPECT_EQ(font.GetCharAdvance('A'), 10u);
    EXPECT_EQ(font.GetCharAdvance('}'), 10u);
    EXPECT_EQ(font.GetHeight(), 10u);
    ASSERT_TRUE(font.GetGlyphFrame('A'));
    EXPECT_EQ(font.GetGlyphFrame('A')->GetHeight(), 10u);
    EXPECT_EQ(RedAt(*font.GetGlyphFrame('A'), 0, 9), 99);
    EXPECT_FALSE(font.GetGlyphFrame('@')->HasVisiblePixels());
}

TEST_F(BitmapFont, PropertyChangesKeepTheCutGlyphs)
{
    CFontBitmap font;
    Set(font, "First ASCII", "65");
    Set(font, "Last ASCII", "68");
    font.CutGlyphs(*ProportionalImage());
    CFrame* a = font.GetGlyphFrame('A');
    Set(font, "Point Size", "30");
    Set(font, "First ASCII", "60");
    EXPECT_EQ(font.GetGlyphFrame('A'), a);
}

// "Generate All Caps" maps a small letter to its capital when a glyph is
// asked for; the cells themselves stay under their own codes.
TEST_F(BitmapFont, AllCapsMapsOnlyWhenAGlyphIsAskedFor)
{
    // Codes 65 ('A') to 97 ('a'), two pixels wide but for 'A' (3) and 'a' (6),
    // each cell red with its own code.
    const auto widthOf = [](uint32_t code) { return code == 'A' ? 3 : code == 'a' ? 6 : 2; };
    int32_t width = 1;
    for (uint32_t code = 'A'; code <= 'a'; ++code)
        width += widthOf(code);
    auto image = CFrame::MakeOwned(uint32_t(width), 8, 32);
    int32_t x = 1;
    for (uint32_t code = 'A'; code <= 'a'; ++code) {
        if (code != 'A')
            Put(*image, x, 7, 1);
        for (int32_t end = x + widthOf(code); x < end; ++x)
            for (int32_t y = 0; y < 7; ++y)
                Put(*image, x, y, uint8_t(code));
    }
    CFontBitmap font;
    Set(font, "First ASCII", "65");
    Set(font, "Last ASCII", "97");
    Set(font, "Generate All Caps", "1");
    font.CutGlyphs(*image);
    EXPECT_EQ(font.GetCharAdvance('A'), 3u);
    EXPECT_EQ(font.GetCharAdvance('a'), 3u);
    ASSERT_TRUE(font.GetGlyphFrame('A'));
    EXPECT_EQ(font.GetGlyphFrame('a'), font.GetGlyphFrame('A'));
    EXPECT_EQ(RedAt(*font.GetGlyphFrame('A'), 0, 0), 'A');
    Set(font, "Generate All Caps", "0");
    EXPECT_EQ(font.GetCharAdvance('a'), 6u);
    EXPECT_EQ(RedAt(*font.GetGlyphFrame('a'), 5, 6), 'a');
}

using FontListTest = BitmapFont;

TEST_F(FontListTest, FindsBothKindsByNameAndCutsTheBitmapFontsImage)
{
    auto image = ProportionalImage();
    CTGAFileIO writer;
    ASSERT_TRUE(writer.WriteImageFile(*image, "Fonts/Blocky.tga", FILE_MAKE_FOLDERS));
    CFontBitmap blocky;
    Set(blocky, "First ASCII", "65");
    Set(blocky, "Last ASCII", "68");
    ASSERT_TRUE(blocky.SaveToFile("Fonts/Blocky.FONT.TXT", 0));
    CFont body;
    Set(body, "Point Size", "10");
    ASSERT_TRUE(body.SaveToFile("Fonts/Body.FONT.TXT", 0));
    WriteBytes("Fonts/Stray.FONT.TXT", "CStandAloneFrame\r\n{\r\n}\r\n");

    GetFrameLibrary().SetSource(nullptr, "", 0);
    CFontList list;
    list.SetSource("Fonts", "Fonts", 0);
    ASSERT_EQ(list.GetCount(), 3);
    CFont* found = list.GetObjectByName("bODY");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->GetPointSize(), 10);
    EXPECT_FALSE(dynamic_cast<CFontBitmap*>(found));

    auto* bitmap = dynamic_cast<CFontBitmap*>(list.GetObjectByName("BLOCKY"));
    ASSERT_TRUE(bitmap);
    CJString file;
    ASSERT_TRUE(list.GetObjectFileName(bitmap, file));
    EXPECT_STREQ(file.GetString(), "Fonts/Blocky.FONT.TXT");
    EXPECT_FALSE(list.GetObjectFileName(image.get(), file));
    EXPECT_EQ(bitmap->GetCharAdvance('B'), 5u) << "cut from Fonts/Blocky on first use";
    EXPECT_EQ(bitmap->GetHeight(), 5u);

    EXPECT_EQ(list.GetObject(list.Find("Stray")), nullptr) << "a frame is not a font";
    GetFrameLibrary().RemoveAll();
}

} // namespace
