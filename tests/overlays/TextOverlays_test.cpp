// Text overlays with a font of fixed metrics (layout rules) and with DejaVu
// (a real face), and texts spelled in letter images.
#include "OverlayTestSupport.h"

#include "images/CFrame.h"
#include "overlays/OverlayClassBody.h"
#include "overlays/TextOverlays.h"
#include "sequences/CTextSubstitutionList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

// A text overlay drawn in a font the test holds.
class CTestFontTextOverlay : public CFrameOverlayTextOverlay {
    OMBRISALT_REFLECTED(CTestFontTextOverlay, CFrameOverlayTextOverlay)
public:
    CTestFontTextOverlay();
    ~CTestFontTextOverlay() override;
    CFont* GetFont(const CFrameOverlayDrawContext&) const override { return m_pFont; }
    CFont* m_pFont = nullptr;
};
OMBRISALT_OVERLAY_CLASS(CTestFontTextOverlay, 1.0)
void CTestFontTextOverlay::DeclareProperties(CPropertyDeclarer&) {}

namespace {

// Rows of the frame that hold any drawn pixel.
int32_t LowestDrawnRow(const CFrame& frame)
{
    for (int32_t y = int32_t(frame.GetHeight()) - 1; y >= 0; --y)
        for (int32_t x = 0; x < int32_t(frame.GetWidth()); ++x)
            if (Pixel(frame, x, y) != 0)
                return y;
    return -1;
}

int32_t RightmostDrawnColumn(const CFrame& frame)
{
    for (int32_t x = int32_t(frame.GetWidth()) - 1; x >= 0; --x)
        for (int32_t y = 0; y < int32_t(frame.GetHeight()); ++y)
            if (Pixel(frame, x, y) != 0)
                return x;
    return -1;
}

class TextOverlay : public OverlayTest {
protected:
    void SetUp() override
    {
        OverlayTest::SetUp();
        // Every font, this one too, names the default face when it is made.
        if (!WriteDefaultFont())
            GTEST_SKIP() << "DejaVuSans.ttf is missing (Debian package fonts-dejavu-core)";
        EnumerateFontFiles();
        m_pFont = std::make_unique<CFixedFont>();
        CTestFontTextOverlay::SGetClassInfo();
        m_Text.m_pFont = m_pFont.get();
        m_Text.m_BoundsLeft = CPoint{10, 10};
        m_Text.m_BoundsWidth = 100;
    }
    void Draw(CFrame& canvas, CTextSubstitutionList* substitutions = nullptr)
    {
        CFrameOverlayDrawContext context;
        context.m_pTarget = &canvas;
        context.m_pSubstitutions = substitutions;
        m_Text.Draw(context);
    }

    std::unique_ptr<CFixedFont> m_pFont;
    CTestFontTextOverlay m_Text;
};

TEST_F(TextOverlay, ShrinkingTakesTheLastLowOfSixBisectionSteps)
{
    m_Text.m_Text.SetText(CJString("aaaa aaaa aaaa aaaa aaaa aaaa aaaa aaaa"));
    m_Text.m_BoundsHeight = 30;
    m_Text.m_bScaleTextToFitBox = true;
    const float s = m_Text.FindFitScale(*m_pFont, CJString("aaaa aaaa aaaa aaaa aaaa aaaa aaaa aaaa"));
    // The result is a low bound of the bisection: 0.0001 plus whole 64ths of the span.
    const float step = (1.0f - 0.0001f) / 64.0f;
    const float steps = (s - 0.0001f) / step;
    EXPECT_NEAR(steps, std::round(steps), 1e-3f);
    auto heightAt = [&](float scale) {
        return float(m_pFont->GetWrappedTextHeight(m_Text.m_Text.GetText(),
                                                   m_Text.MakeLayout(10, int32_t(std::lround(100.0f / scale)))))
            * scale;
    };
    EXPECT_LE(heightAt(s), 30.0f);
    EXPECT_GT(heightAt(s + step), 30.0f);

    // Drawn shrunk about the box's top left: nothing below the box, nothing
    // right of it.
    auto canvas = Canvas(200, 200);
    Draw(*canvas);
    EXPECT_GE(LowestDrawnRow(*canvas), 10);
    EXPECT_LT(LowestDrawnRow(*canvas), 10 + 30);
    EXPECT_LT(RightmostDrawnColumn(*canvas), 10 + 100);
    EXPECT_NE(Pixel(*canvas, 10, 10), 0u);
}

TEST_F(TextOverlay, AFittingTextIsNotShrunkAndHeightZeroNeverClips)
{
    m_Text.m_Text.SetText(CJString("aaaa"));
    m_Text.m_bScaleTextToFitBox = true;
    m_Text.m_BoundsHeight = 30;
    auto canvas = Canvas(200, 200);
    Draw(*canvas);
    // One line at full size: the fixed font's 10 rows.
    EXPECT_EQ(LowestDrawnRow(*canvas), 19);
    EXPECT_EQ(RightmostDrawnColumn(*canvas), 49);

    m_Text.m_Text.SetText(CJString("aaaa aaaa aaaa aaaa aaaa aaaa"));
    m_Text.m_BoundsHeight = 0;
    auto tall = Canvas(200, 200);
    Draw(*tall);
    EXPECT_GT(LowestDrawnRow(*tall), 10 + 30);
}

TEST_F(TextOverlay, TheClipHoldsOnlyWhenNeitherShrinkingNorCentring)
{
    m_Text.m_Text.SetText(CJString("aaaa aaaa aaaa aaaa aaaa aaaa"));
    m_Text.m_BoundsHeight = 15;
    auto clipped = Canvas(200, 200);
    Draw(*clipped);
    EXPECT_EQ(LowestDrawnRow(*clipped), 10 + 15 - 1);

    m_Text.m_bCenterVertically = true;
    auto centred = Canvas(200, 200);
    Draw(*centred);
    EXPECT_GT(LowestDrawnRow(*centred), 10 + 15);
}

TEST_F(TextOverlay, CentreAndRightJustificationPlaceTheLineInTheBox)
{
    m_Text.m_Text.SetText(CJString("%s[Word]"));
    CTextSubstitutionList words;
    words.AddText("%s[Word]", CJString("aa"));
    m_Text.m_Justification = 1;
    auto centred = Canvas(200, 200);
    Draw(*centred, &words);
    EXPECT_EQ(RightmostDrawnColumn(*centred), 10 + 50 + 10 - 1);
    m_Text.m_Justification = 2;
    auto right = Canvas(200, 200);
    Draw(*right, &words);
    EXPECT_EQ(RightmostDrawnColumn(*right), 10 + 100 - 1);
}

// A box at the far end of the range (a damaged set) lays its lines out
// without wrapping round onto the canvas.
TEST_F(TextOverlay, ABoxAtTheEndOfTheRangeDrawsNothing)
{
    m_Text.m_Text.SetText(CJString("aa aa"));
    m_Text.m_BoundsLeft = CPoint{INT32_MAX - 5, INT32_MAX - 5};
    for (int32_t justification : {0, 1, 2}) {
        m_Text.m_Justification = justification;
        auto canvas = Canvas(50, 50);
        Draw(*canvas);
        EXPECT_EQ(LowestDrawnRow(*canvas), -1) << justification;
    }
}

// First drawn column, one past the last.
std::pair<int32_t, int32_t> DrawnColumns(const CFrame& frame)
{
    int32_t first = -1, last = -1;
    for (int32_t x = 0; x < int32_t(frame.GetWidth()); ++x)
        for (int32_t y = 0; y < int32_t(frame.GetHeight()); ++y)
            if (Pixel(frame, x, y) != 0) {
                if (first < 0)
                    first = x;
                last = x + 1;
                break;
            }
    return {first, last};
}

TEST_F(TextOverlay, AScaledContextScalesAboutTheJustifiedPivot)
{
    m_Text.m_Text.SetText(CJString("aa"));
    auto scaled = [&](int32_t justification) {
        m_Text.m_Justification = justification;
        auto canvas = Canvas(200, 100);
        CFrameOverlayDrawContext context;
        context.m_pTarget = canvas.get();
        context.m_ScaleX = context.m_ScaleY = 2.0f;
        m_Text.Draw(context);
        return DrawnColumns(*canvas);
    };
    // Left: about the middle of the line (10 + 10); centre: the box's middle
    // (60); right: the middle of the line at the box's right edge (100).
    const auto left = scaled(0);
    EXPECT_NEAR(left.first, 0, 1);
    EXPECT_NEAR(left.second, 40, 1);
    const auto centre = scaled(1);
    EXPECT_NEAR(centre.first, 40, 1);
    EXPECT_NEAR(centre.second, 80, 1);
    const auto right = scaled(2);
    EXPECT_NEAR(right.first, 80, 1);
    EXPECT_NEAR(right.second, 120, 1);
}

TEST_F(TextOverlay, DejaVuTextStaysInItsBox)
{
    CFont dejaVu;
    dejaVu.ResetToDefaults();
    m_Text.m_pFont = &dejaVu;
    m_Text.m_Text.SetText(CJString("Sixty-four thousand and forty coins"));
    auto canvas = Canvas(200, 200);
    Draw(*canvas);
    ASSERT_GE(LowestDrawnRow(*canvas), 10);
    EXPECT_LT(RightmostDrawnColumn(*canvas), 10 + 100);
    // Two lines at least: the text is wider than the box.
    EXPECT_GT(LowestDrawnRow(*canvas), 10 + int32_t(dejaVu.GetHeight()));
}

class LetterImages : public OverlayTest {
protected:
    void SetUp() override
    {
        OverlayTest::SetUp();
        // Letter k is a 2 x 2 block whose blue is k + 1.
        for (char c = 'A'; c <= 'Z'; ++c)
            AddFrame(std::string("Letter ") + c, 2, 2, 0xFF000000u | uint32_t(c - 'A' + 1));
        ResetLists();
        m_Letters.m_PictureOfAnA = FrameIndex("Letter A");
        m_Letters.m_SpaceBetweenLetters = 1;
    }
    // The letter drawn in cell i (0 for none).
    uint32_t Cell(const CFrame& canvas, int32_t x) { return Pixel(canvas, x, 0) & 0xFF; }
    std::unique_ptr<CFrame> Spell(const char* text)
    {
        m_Letters.m_Text.SetText(CJString(text));
        auto canvas = Canvas(40, 4);
        CFrameOverlayDrawContext context;
        context.m_pTarget = canvas.get();
        m_Letters.Draw(context);
        return canvas;
    }

    CFrameOverlayTextMadeOfImagesOverlay m_Letters;
};

TEST_F(LetterImages, QTakesItsUAndOtherCharactersLeaveEmptyCells)
{
    auto quiz = Spell("quiz");
    EXPECT_EQ(Cell(*quiz, 0), uint32_t('Q' - 'A' + 1));
    EXPECT_EQ(Cell(*quiz, 3), uint32_t('I' - 'A' + 1));
    EXPECT_EQ(Cell(*quiz, 6), uint32_t('Z' - 'A' + 1));
    EXPECT_EQ(Cell(*quiz, 9), 0u);

    auto mixed = Spell("A1 B");
    EXPECT_EQ(Cell(*mixed, 0), 1u);
    EXPECT_EQ(Cell(*mixed, 3), 0u);
    EXPECT_EQ(Cell(*mixed, 6), 0u);
    EXPECT_EQ(Cell(*mixed, 9), 2u);
}

TEST_F(LetterImages, SpacingShrinksUntilTheLineFitsAndJustifies)
{
    m_Letters.m_SpaceBetweenLetters = 2;
    m_Letters.m_BoundsWidth = 7;
    auto tight = Spell("ABC");
    EXPECT_EQ(Cell(*tight, 0), 1u);
    EXPECT_EQ(Cell(*tight, 2), 2u);
    EXPECT_EQ(Cell(*tight, 4), 3u);

    m_Letters.m_BoundsWidth = 20;
    m_Letters.m_Justification = 2;
    auto right = Spell("AB");
    // Width 2 + 2 + 2 = 6, right edge at 20.
    EXPECT_EQ(Cell(*right, 14), 1u);
    EXPECT_EQ(Cell(*right, 18), 2u);
    EXPECT_EQ(Cell(*right, 13), 0u);
}

} // namespace
