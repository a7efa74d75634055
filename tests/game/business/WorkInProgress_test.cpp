// Work-in-progress signs as a player sees them: where the box, the outline
// and the text land around the sprite, and how a long message wraps.
#include "game/business/CWorkInProgress.h"

#include "blit/CColor.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "render/CProxyFrame.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

// Glyphs of odd size so that the halves of the text rectangle round.
class CBlockFont : public CFont {
public:
    static constexpr int32_t kAdvance = 7;
    static constexpr int32_t kHeight = 9;
    CBlockFont()
    {
        m_Height = uint32_t(kHeight);
        SetBlitType(0);
    }
    SGlyphEntry& GetGlyph(uint32_t code) override
    {
        SGlyphEntry& entry = m_Blocks[code];
        if (code >= 20 && entry.advance == 0) {
            if (code != ' ') {
                entry.frame = CFrame::MakeOwned(kAdvance, kHeight, 32);
                CColor red(255, 0, 0, 255);
                entry.frame->Fill(red);
            }
            entry.advance = kAdvance;
            entry.bottom = kHeight;
        }
        return entry;
    }

private:
    std::map<uint32_t, SGlyphEntry> m_Blocks;
};

uint32_t Argb(const CFrame& frame, int32_t x, int32_t y)
{
    CColor pixel;
    frame.GetPixel(x, y, pixel);
    return uint32_t(pixel.GetAlpha()) << 24 | uint32_t(pixel.GetRed()) << 16 | uint32_t(pixel.GetGreen()) << 8
        | pixel.GetBlue();
}

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kRed = 0xFFFF0000u;

class WorkInProgressSign : public CTempFolderTest {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        // Fonts name the default face when they are made.
        if (!WriteDefaultFont())
            GTEST_SKIP() << "DejaVuSans.ttf is missing (Debian package fonts-dejavu-core)";
        EnumerateFontFiles();
        m_Font = std::make_unique<CBlockFont>();
    }
    // The sign drawn in the space of a sprite standing at (x, y).
    std::unique_ptr<CFrame> DrawAt(int32_t x, int32_t y)
    {
        auto canvas = CFrame::MakeOwned(240, 120, 32);
        COffsetProxyFrame spriteSpace(canvas.get(), -x, -y);
        m_Sign.DrawWith(m_Font.get(), spriteSpace);
        return canvas;
    }

    std::unique_ptr<CBlockFont> m_Font;
    CWorkInProgress m_Sign;
};

TEST_F(WorkInProgressSign, TheBoxOutlineAndTextAreCentredOnTheSpriteWithIntegerHalves)
{
    EXPECT_STREQ(m_Sign.m_Message.GetString(), "Work In Progress");
    EXPECT_EQ(m_Sign.m_Width, 200u);
    auto canvas = DrawAt(120, 60);
    // 16 glyphs of 7 pixels on one line of 9 + 2: 112 by 11, the odd half above.
    EXPECT_EQ(m_Sign.m_TextRect.left, -56);
    EXPECT_EQ(m_Sign.m_TextRect.right, 56);
    EXPECT_EQ(m_Sign.m_TextRect.top, -5);
    EXPECT_EQ(m_Sign.m_TextRect.bottom, 6);
    CRect bounds{};
    m_Sign.GetBounds(bounds);
    EXPECT_EQ(bounds.left, -66) << "the sprite's bounds are the box";
    EXPECT_EQ(bounds.bottom, 16);

    // Across the middle row and down the middle column: nothing, box, outline
    // 2 pixels beyond the text, box, the first glyph at the text's edge.
    EXPECT_EQ(Argb(*canvas, 120 - 67, 60), 0u);
    EXPECT_EQ(Argb(*canvas, 120 - 66, 60), kWhite);
    EXPECT_EQ(Argb(*canvas, 120 - 58, 60), kBlack);
    EXPECT_EQ(Argb(*canvas, 120 - 57, 60), kWhite);
    EXPECT_EQ(Argb(*canvas, 120 - 56, 60), kRed);
    EXPECT_EQ(Argb(*canvas, 120 + 57, 60), kBlack);
    EXPECT_EQ(Argb(*canvas, 120 + 66, 60), 0u);
    EXPECT_EQ(Argb(*canvas, 120, 60 - 5), kRed);
    EXPECT_EQ(Argb(*canvas, 120, 60 - 7), kBlack);
    EXPECT_EQ(Argb(*canvas, 120, 60 + 7), kBlack);
    EXPECT_EQ(Argb(*canvas, 120, 60 + 16), 0u);
}

TEST_F(WorkInProgressSign, ALongMessageWrapsAtTheWidthAndEachLineIsCentred)
{
    m_Sign.m_Message = CJString("Road Works Ahead");
    m_Sign.m_Width = 75; // ten glyphs and a bit
    auto canvas = DrawAt(120, 60);
    EXPECT_STREQ(m_Sign.m_LaidOutText.GetString(), "Road Works\nAhead");
    // Widest line 70, two lines of 11.
    EXPECT_EQ(m_Sign.m_TextRect.left, -35);
    EXPECT_EQ(m_Sign.m_TextRect.right, 35);
    EXPECT_EQ(m_Sign.m_TextRect.top, -11);
    EXPECT_EQ(m_Sign.m_TextRect.bottom, 11);
    // "Ahead" (35 pixels) centred under the first line: columns -17 to 17.
    const int32_t secondLine = 60 - 11 + 11 + 4;
    EXPECT_EQ(Argb(*canvas, 120 - 18, secondLine), kWhite);
    EXPECT_EQ(Argb(*canvas, 120 - 17, secondLine), kRed);
    EXPECT_EQ(Argb(*canvas, 120 + 17, secondLine), kRed);
    EXPECT_EQ(Argb(*canvas, 120 + 18, secondLine), kWhite);
    EXPECT_EQ(Argb(*canvas, 120 - 35, 60 - 11 + 4), kRed) << "the widest line fills the text rectangle";
}

} // namespace
