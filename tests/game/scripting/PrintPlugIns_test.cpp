// Print plug-ins as a value display draws them: rows of dots that keep
// their place as the count falls, and font text on a box that follows the
// justification.
#include "game/scripting/CSpritePlugInPrint.h"

#include "blit/CColor.h"
#include "game/scripting/CFrameSelector.h"
#include "game/scripting/RegisterGameScriptingClasses.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "support/ScopedHooks.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct DotDrawn {
    int32_t x;
    int32_t y;
    intptr_t argument;
    bool operator==(const DotDrawn&) const = default;
};

// Records where each dot would be drawn and what the updates carried.
class CRecordingDot : public CFrameSelector {
public:
    CFrame* SelectFrame(intptr_t) override { return nullptr; }
    void Draw(CFrameInterface&, int32_t x, int32_t y, intptr_t argument) override { drawn.push_back({x, y, argument}); }
    void GetImageName(CJString& out) override { out = ""; }
    void SetImageByName(const char*) override {}

    std::vector<DotDrawn> drawn;
};

class DotRows : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterGameScriptingClasses();
        delete m_Dots.m_DotImage;
        m_Dot = new CRecordingDot;
        m_Dots.m_DotImage = m_Dot;
    }
    std::vector<DotDrawn> Print(const char* value, float x = 100.0f, float y = 50.0f)
    {
        m_Dot->drawn.clear();
        CPrintRecord record;
        record.text = value;
        record.destination = m_Frame.get();
        record.x = x;
        record.y = y;
        record.argument = 7;
        m_Dots.Print(record);
        return m_Dot->drawn;
    }

    std::unique_ptr<CFrame> m_Frame = CFrame::MakeOwned(8, 8, 32);
    CPrintPlugInDrawDots m_Dots;
    CRecordingDot* m_Dot = nullptr;
};

TEST_F(DotRows, TheRowIsLaidOutForTheLargestCountSoRemainingDotsKeepTheirPlace)
{
    EXPECT_EQ(Print("3"), (std::vector<DotDrawn>{{85, 50, 7}, {95, 50, 7}, {105, 50, 7}}));
    EXPECT_EQ(Print("1"), (std::vector<DotDrawn>{{85, 50, 7}}));
    EXPECT_EQ(Print("2"), (std::vector<DotDrawn>{{85, 50, 7}, {95, 50, 7}}));
    EXPECT_EQ(m_Dots.GetLargestCount(), 3);
    // Nothing for none or fewer, and the layout still remembers three.
    EXPECT_TRUE(Print("0").empty());
    EXPECT_TRUE(Print("-4").empty());
    EXPECT_TRUE(Print("none").empty());
    EXPECT_EQ(Print("1"), (std::vector<DotDrawn>{{85, 50, 7}}));
    // A column, offset, about an anchor that rounds: y = -3 - 8 x 3 / 2 + 50.
    m_Dots.m_Position = {2, -3};
    m_Dots.m_Spacing = {0, 8};
    EXPECT_EQ(Print("2", 99.6f, 49.7f), (std::vector<DotDrawn>{{102, 35, 7}, {102, 43, 7}}));
}

TEST_F(DotRows, InTheLevelEditorTheRowIsLaidOutForTheCountShown)
{
    CScopedHook<SetLevelEditorOpenQuery> editor([] { return true; });
    EXPECT_EQ(Print("3").front().x, 85);
    EXPECT_EQ(Print("1"), (std::vector<DotDrawn>{{95, 50, 7}}));
}

// A font whose every character is a solid white cell ten pixels wide and
// twelve high, so text widths are exact.
class CCellFont : public CFont {
public:
    CCellFont()
    {
        m_Height = 12;
        m_Cell.advance = 10;
        m_Cell.frame = CFrame::MakeOwned(10, 12, 32);
        CColor white(255, 255, 255, 255);
        m_Cell.frame->Fill(white);
    }
    SGlyphEntry& GetGlyph(uint32_t) override { return m_Cell; }

private:
    SGlyphEntry m_Cell;
};

class FontText : public CTempFolderTest {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        RegisterGameScriptingClasses();
        // Fonts name a font file when made; these cells never read it.
        WriteBytes("Resources/!default.ttf", "cells");
        EnumerateFontFiles();
        m_Font = std::make_unique<CCellFont>();
        m_Print.m_bDrawBackground = true;
        m_Print.m_FillColor = CColor(0, 0, 255, 255);
        m_Print.m_OutlineColor = CColor(255, 0, 0, 255);
        CColor black(0, 0, 0, 255);
        m_Frame->Fill(black);
    }
    void TearDown() override
    {
        m_Font.reset();
        CTempFolderTest::TearDown();
    }
    void Print(const char* text, float x, float y)
    {
        CPrintRecord record;
        record.text = text;
        record.destination = m_Frame.get();
        record.x = x;
        record.y = y;
        m_Print.PrintWith(*m_Font, record);
    }
    // The colours across a row from x = from to to, runs collapsed:
    // "outline@78 fill@79 outline@121" (black is "none", white "text").
    std::string Runs(int32_t y, int32_t from, int32_t to) const
    {
        std::string out, last;
        for (int32_t x = from; x <= to; ++x) {
            CColor c;
            m_Frame->GetPixel(x, y, c);
            const std::string name = c.GetGreen() ? "text" : c.GetRed() ? "outline" : c.GetBlue() ? "fill" : "none";
            if (name != last)
                out += (out.empty() ? "" : " ") + name + "@" + std::to_string(x);
            last = name;
        }
        return out;
    }

    std::unique_ptr<CFrame> m_Frame = CFrame::MakeOwned(240, 100, 32);
    std::unique_ptr<CCellFont> m_Font;
    CPrintPlugInPrintFont m_Print;
};

TEST_F(FontText, CentredTextSitsOnABoxOneWiderThanItsTextWithAnOutlineAroundIt)
{
    // Width 40 at x 100: box 79..121, outline 78..122 (right edges exclusive).
    // The text's top is the anchor less half the point size (12): 44.
    Print("abcd", 100.0f, 50.0f);
    EXPECT_EQ(Runs(43, 70, 130), "none@70 outline@78 fill@79 outline@121 none@122");
    EXPECT_EQ(Runs(44, 70, 130), "none@70 outline@78 fill@79 text@80 fill@120 outline@121 none@122");
    // Bottom: 44 + 12 + 1 exclusive for the box, one more for the outline.
    EXPECT_EQ(Runs(56, 78, 80), "outline@78 fill@79");
    EXPECT_EQ(Runs(58, 78, 80), "none@78");
}

TEST_F(FontText, TheBoxFollowsLeftAndRightJustifiedTextAndTheOffsetMovesBoth)
{
    m_Print.m_Justification = 0;
    Print("abcd", 100.0f, 50.0f);
    EXPECT_EQ(Runs(44, 90, 150), "none@90 outline@98 fill@99 text@100 fill@140 outline@141 none@142");

    CColor black(0, 0, 0, 255);
    m_Frame->Fill(black);
    m_Print.m_Justification = 2;
    m_Print.m_Offset = {1, 10};
    Print("abcd", 100.0f, 40.0f);
    EXPECT_EQ(Runs(44, 50, 110), "none@50 outline@59 fill@60 text@61 fill@101 outline@102 none@103");
}

TEST_F(FontText, WrappedTextStartsAtTheAnchorAndItsBoxIsShiftedToCoverIt)
{
    m_Print.m_WrapWidth = 45;
    Print("abc def", 100.0f, 50.0f);
    // Two lines; the widest measures 40 with the space that ends it. The box
    // is moved right by half of that to lie under text that starts at x.
    EXPECT_EQ(Runs(43, 80, 200), "none@80 outline@98 fill@99 outline@141 none@142");
    EXPECT_EQ(Runs(44 + 12, 80, 200), "none@80 outline@98 fill@99 text@100 fill@130 outline@141 none@142");
    EXPECT_EQ(Runs(44 + 25, 80, 200), "none@80 outline@98 none@142");
}

} // namespace
