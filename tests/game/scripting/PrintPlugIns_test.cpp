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
#include "tests/support/objects/ObjectRoundTrip.h"

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
    void Update(CSelectorUpdate& record) override
    {
        seconds.push_back(record.seconds);
        sawWrapped = sawWrapped || record.wrapped;
    }

    std::vector<DotDrawn> drawn;
    std::vector<float> seconds;
    bool sawWrapped = false;
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
}

TEST_F(DotRows, PositionSpacingAndTheAnchorRoundedPlaceEveryDot)
{
    m_Dots.m_Position = {2, -3};
    m_Dots.m_Spacing = {0, 8};
    // The column is centred on the anchor: y = -3 - 8 x 2 / 2 + 50.
    EXPECT_EQ(Print("2", 99.6f, 49.7f), (std::vector<DotDrawn>{{102, 39, 7}, {102, 47, 7}}));
    m_Dots.m_Spacing = {-7, 0};
    // An odd product halves toward zero.
    EXPECT_EQ(Print("1", 0.0f, 0.0f), (std::vector<DotDrawn>{{2 + 7, -3, 7}}));
}

TEST_F(DotRows, InTheLevelEditorTheRowIsLaidOutForTheCountShown)
{
    CScopedHook<SetLevelEditorOpenQuery> editor([] { return true; });
    EXPECT_EQ(Print("3").front().x, 85);
    EXPECT_EQ(Print("1"), (std::vector<DotDrawn>{{95, 50, 7}}));
    EXPECT_EQ(m_Dots.GetLargestCount(), 0);
}

TEST_F(DotRows, UpdatesReachTheDotImageWithTheWrappedFlagCleared)
{
    CSpriteUpdateRecord record;
    record.seconds = 0.25f;
    m_Dots.Update(record);
    record.seconds = 0.5f;
    m_Dots.Update(record);
    EXPECT_EQ(m_Dot->seconds, (std::vector<float>{0.25f, 0.5f}));
    EXPECT_FALSE(m_Dot->sawWrapped);
}

TEST(DotRowData, ANewRowLoopsItsDotImageAndReadsBackFromText)
{
    RegisterGameScriptingClasses();
    CPrintPlugInDrawDots dots;
    ASSERT_NE(dots.m_DotImage, nullptr);
    EXPECT_EQ(dots.m_DotImage->GetClassInfo(), CLoopFrameSelector::SGetClassInfo());
    EXPECT_EQ(dots.m_Spacing, (CPoint{10, 0}));
    dots.m_Spacing = {4, 6};
    const std::string text = ObjectToText(&dots, IdMode::WithoutIds);
    std::unique_ptr<CObject> back(ObjectFromText(text, IdMode::WithoutIds, StreamReports::Quiet));
    auto* read = dynamic_cast<CPrintPlugInDrawDots*>(back.get());
    ASSERT_NE(read, nullptr) << text;
    EXPECT_EQ(read->m_Spacing, (CPoint{4, 6}));
    ASSERT_NE(read->m_DotImage, nullptr);
    EXPECT_EQ(read->m_DotImage->GetClassInfo(), CLoopFrameSelector::SGetClassInfo());
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

constexpr uint32_t kBackground = 0x000000;
constexpr uint32_t kFill = 0x0000FF;
constexpr uint32_t kOutline = 0xFF0000;
constexpr uint32_t kText = 0xFFFFFF;

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
    uint32_t Pixel(int32_t x, int32_t y) const
    {
        CColor colour;
        m_Frame->GetPixel(x, y, colour);
        return uint32_t(colour.GetRed()) << 16 | uint32_t(colour.GetGreen()) << 8 | colour.GetBlue();
    }
    // The colours across a row from x to x + count - 1, runs collapsed:
    // "outline@78 fill@79 outline@121".
    std::string Runs(int32_t y, int32_t from, int32_t to) const
    {
        std::string out;
        uint32_t last = 0xFFFFFFFFu;
        for (int32_t x = from; x <= to; ++x) {
            const uint32_t p = Pixel(x, y);
            if (p == last)
                continue;
            last = p;
            const char* name = p == kBackground ? "none" : p == kFill ? "fill" : p == kOutline ? "outline"
                : p == kText                                                                   ? "text"
                                                                                               : "other";
            out += std::string(out.empty() ? "" : " ") + name + "@" + std::to_string(x);
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
    EXPECT_EQ(Runs(42, 70, 130), "none@70 outline@78 none@122");
    EXPECT_EQ(Runs(44, 70, 130), "none@70 outline@78 fill@79 text@80 fill@120 outline@121 none@122");
    // Bottom: 44 + 12 + 1 exclusive for the box, one more for the outline.
    EXPECT_EQ(Runs(55, 78, 80), "outline@78 fill@79 text@80");
    EXPECT_EQ(Runs(56, 78, 80), "outline@78 fill@79");
    EXPECT_EQ(Runs(57, 78, 80), "outline@78");
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

TEST_F(FontText, WithoutABackgroundOnlyTheTextIsDrawnAndWithoutAFontNothing)
{
    m_Print.m_bDrawBackground = false;
    Print("ab", 50.5f, 50.0f); // 50.5 rounds to even: 50
    EXPECT_EQ(Runs(44, 0, 239), "none@0 text@40 none@60");
    EXPECT_EQ(Runs(43, 0, 239), "none@0");

    CColor black(0, 0, 0, 255);
    m_Frame->Fill(black);
    CPrintRecord record;
    record.text = "abcd";
    record.destination = m_Frame.get();
    record.x = 100.0f;
    record.y = 50.0f;
    m_Print.m_bDrawBackground = true;
    m_Print.m_Font = 0;
    m_Print.Print(record);
    CPrintPlugInNone none;
    none.Print(record);
    for (int32_t y = 0; y < 100; ++y)
        ASSERT_EQ(Runs(y, 0, 239), "none@0") << "row " << y;
}

TEST_F(FontText, WrappedTextStartsAtTheAnchorAndItsBoxIsShiftedToCoverIt)
{
    m_Print.m_WrapWidth = 45;
    Print("abc def", 100.0f, 50.0f);
    // Two lines; the widest measures 40 with the space that ends it. The box
    // is moved right by half of that to lie under text that starts at x.
    EXPECT_EQ(Runs(43, 80, 200), "none@80 outline@98 fill@99 outline@141 none@142");
    EXPECT_EQ(Runs(44 + 12, 80, 200), "none@80 outline@98 fill@99 text@100 fill@130 outline@141 none@142");
    EXPECT_EQ(Runs(44 + 24, 80, 200), "none@80 outline@98 fill@99 outline@141 none@142");
    EXPECT_EQ(Runs(44 + 25, 80, 200), "none@80 outline@98 none@142");
}

} // namespace
