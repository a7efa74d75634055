// The previews beside the property rows: the font's character map (its
// size, its four lines a row and its glyphs), the sequence's stepping and
// its coordinates box, and where the "Preview:" label goes.
#include "ui/MenuTestSupport.h"

#include "blit/CColor.h"
#include "editor/CustomEditors.h"
#include "images/CFont.h"
#include "images/CFrame.h"

#include <algorithm>
#include <map>

namespace {

class CustomEditors : public ScreenTest {};

struct SLine {
    uint8_t red, green, blue;
};

// What each line of a row should hold: the later line wins where two meet.
std::map<int32_t, SLine> ExpectedLines(CFont& font, int32_t top)
{
    const int32_t lineHeight = font.GetLineHeight(), height = int32_t(font.GetHeight());
    std::map<int32_t, SLine> lines;
    lines[top] = {200, 200, 200};
    lines[top + lineHeight - height] = {255, 100, 100};
    lines[top + lineHeight] = {100, 255, 100};
    lines[top + lineHeight - height + font.GetPointSize()] = {100, 100, 255};
    return lines;
}

int32_t WidestGlyph(CFont& font)
{
    int32_t widest = 0;
    for (uint32_t code = 20; code < 256; ++code)
        if (CFrame* glyph = font.GetGlyphFrame(code))
            widest = std::max(widest, int32_t(glyph->GetWidth()));
    return widest;
}

// Whether any pixel of the rectangle differs from transparent black.
bool HasInk(const CFrame& map, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    for (int32_t y = top; y < bottom; ++y)
        for (int32_t x = left; x < right; ++x) {
            CColor c;
            if (map.GetPixel(x, y, c) && (c.GetRed() || c.GetGreen() || c.GetBlue() || c.GetAlpha()))
                return true;
        }
    return false;
}

} // namespace

TEST_F(CustomEditors, TheFontMapIsSixteenCellsSquareWithFourLinesAndBothGlyphsPerCell)
{
    CFont edited;
    edited.SetPointSize(20.0f);
    int32_t cellWidth = 0, rowPitch = 0;
    std::unique_ptr<CFrame> map = CFontEditor::DrawCharacterMap(edited, *m_Font, cellWidth, rowPitch);
    ASSERT_TRUE(map);

    EXPECT_EQ(cellWidth, std::max(WidestGlyph(edited), WidestGlyph(*m_Font)));
    EXPECT_EQ(rowPitch, 20 + m_Font->GetPointSize() + 6);
    ASSERT_EQ(map->GetWidth(), uint32_t(16 * cellWidth));
    ASSERT_EQ(map->GetHeight(), uint32_t(16 * rowPitch));

    // The right edge of a row lies beyond every centred glyph but the
    // widest, so only the lines reach it.
    const int32_t right = int32_t(map->GetWidth()) - 1;
    for (int32_t row : {0, 7, 15}) {
        const int32_t top = row * rowPitch;
        for (const auto& [y, colour] : ExpectedLines(edited, top)) {
            if (y >= int32_t(map->GetHeight()))
                continue;
            CColor pixel;
            ASSERT_TRUE(map->GetPixel(right, y, pixel));
            EXPECT_EQ(pixel, CColor(colour.red, colour.green, colour.blue, 150)) << "row " << row << " y " << y;
        }
        // Each cell's corner is the shared default colour over the grey line.
        CColor corner;
        ASSERT_TRUE(map->GetPixel(3 * cellWidth, top, corner));
        EXPECT_EQ(corner, CColor());
    }

    // "A" (row 4, column 1) has both glyphs; code 5 (row 0) has none, so
    // between its lines the cell is empty.
    const int32_t aLeft = cellWidth, aTop = 4 * rowPitch;
    EXPECT_TRUE(HasInk(*map, aLeft, aTop + 1, aLeft + cellWidth, aTop + 20));
    EXPECT_TRUE(HasInk(*map, aLeft, aTop + 20 + 3, aLeft + cellWidth, aTop + rowPitch));
    const std::map<int32_t, SLine> rowZero = ExpectedLines(edited, 0);
    for (int32_t y = 1; y < rowPitch; ++y)
        if (!rowZero.count(y))
            EXPECT_FALSE(HasInk(*map, 5 * cellWidth, y, 6 * cellWidth, y + 1)) << "y " << y;
}
