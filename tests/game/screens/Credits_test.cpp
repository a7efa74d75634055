// The credits scroll driven by a hand-set clock and drawn into a 32-bit
// canvas: what shows where, how it fades and when it starts over.
#include "../../ui/SkinTestSupport.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "blit/CColor.h"
#include "foundation/MillisecondClock.h"
#include "game/screens/CCredits.h"
#include "images/CFrameList.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

uint32_t g_Tick = 0;
uint32_t Tick()
{
    return g_Tick;
}

class CreditsTest : public SkinFrameTest {
protected:
    void SetUp() override
    {
        SkinFrameTest::SetUp();
        if (IsSkipped())
            return;
        g_Tick = 100000;
        ResetMillisecondClock();
        // A white 40 x 20 picture in the frame library.
        AddFrame("Star", 40, 20, 0xFFFFFFFF);
        GetFrameLibrary().SetSource(nullptr, "Interface", 0);
    }
    void TearDown() override
    {
        GetFrameLibrary().RemoveAll();
        GetFrameLibrary().SetSource(nullptr, "Nowhere", 0);
        ResetMillisecondClock();
        SkinFrameTest::TearDown();
    }
    // Moves the clock so the scroll has risen by pixels since the start.
    static void ScrollTo(const CCreditsText& credits, int32_t pixels)
    {
        g_Tick = uint32_t(credits.GetStartTime() + double(pixels) / double(credits.GetSpeed()));
    }
    // Whether any pixel of the rows [top, bottom) left (right) of x is lit.
    static bool Lit(const CFrame& canvas, int32_t left, int32_t right, int32_t top, int32_t bottom)
    {
        for (int32_t y = top; y < bottom; ++y)
            for (int32_t x = left; x < right; ++x)
                if (Rgb(canvas, x, y) != 0)
                    return true;
        return false;
    }

    CScopedTickSource m_Clock{&Tick};
};

TEST_F(CreditsTest, LinesBecomeEntriesInFileOrder)
{
    WriteBytes("Credits.txt", "// a note for the editor\r\nOmbrisalt\r\n\r\nFRAME:Star\r\nFRAME:No Such Picture\r\n"
                              "Design~The Team\r\n~Tilde\r\n");
    CCreditsText credits("Credits.txt", m_Font.get());
    const auto& entries = credits.GetEntries();
    ASSERT_EQ(entries.size(), 6u);
    const uint32_t line = uint32_t(m_Font->GetPointSize());
    EXPECT_STREQ(entries[0].text.GetString(), "Ombrisalt");
    EXPECT_EQ(entries[0].height, line);
    // An empty line is still a line tall.
    EXPECT_STREQ(entries[1].text.GetString(), "");
    EXPECT_EQ(entries[1].height, line);
    ASSERT_NE(entries[2].image, nullptr);
    EXPECT_EQ(entries[2].height, 20u);
    // A picture the library lacks shows its name as text.
    EXPECT_EQ(entries[3].image, nullptr);
    EXPECT_STREQ(entries[3].text.GetString(), "No Such Picture");
    EXPECT_EQ(entries[3].height, line);
    // The scroll begins already risen by the first entry's height.
    EXPECT_NEAR(credits.GetStartTime(), 100000.0 - double(line) / 0.02, 0.01);
    EXPECT_FLOAT_EQ(credits.GetSpeed(), 0.02f);
}

TEST_F(CreditsTest, MissingEmptyOrOversizedFileDrawsNothing)
{
    WriteBytes("Empty.txt", "");
    // Larger than any text, and sparse: refused before a line is read.
    WriteBytes("Huge.txt", "");
    std::filesystem::resize_file("Huge.txt", std::uintmax_t(kMaxStringLength) + 1);
    for (const char* name : {"Empty.txt", "Absent.txt", "Huge.txt"}) {
        CCreditsText credits(name, m_Font.get());
        EXPECT_TRUE(credits.GetEntries().empty());
        auto canvas = Canvas(64, 64);
        for (uint32_t step = 0; step < 3; ++step) {
            g_Tick += 100000;
            credits.Draw(*canvas);
        }
        EXPECT_FALSE(Lit(*canvas, 0, 64, 0, 64)) << name;
    }
}

// A picture 20 high in a box 160 high: the eighths are 20 pixels.
TEST_F(CreditsTest, EntriesFadeOverTheTopAndBottomEighths)
{
    WriteBytes("Credits.txt", "FRAME:Star\r\n");
    CCreditsText credits("Credits.txt", m_Font.get());
    auto probe = [&](int32_t scroll) {
        ScrollTo(credits, scroll);
        auto canvas = Canvas(100, 160);
        credits.Draw(*canvas);
        const int32_t y = 160 - scroll + 10; // the picture's middle row
        return Rgb(*canvas, 50, y) & 0xFF;
    };
    // Just arrived at the bottom: still invisible.
    EXPECT_EQ(probe(20), 0u);
    // Half into the bottom eighth, half faded in.
    EXPECT_NEAR(int(probe(30)), 128, 3);
    // In the middle, whole.
    EXPECT_EQ(probe(80), 255u);
    // The picture is drawn centred: 40 wide about x = 50.
    ScrollTo(credits, 80);
    auto canvas = Canvas(100, 160);
    credits.Draw(*canvas);
    EXPECT_TRUE(Lit(*canvas, 30, 31, 85, 86));
    EXPECT_FALSE(Lit(*canvas, 29, 30, 80, 100));
    EXPECT_FALSE(Lit(*canvas, 70, 71, 80, 100));
    // Half out of the top eighth, half faded out (the clock only goes on).
    EXPECT_NEAR(int(probe(150)), 128, 3);
    // Drawing leaves the shared opacities whole for everyone else.
    EXPECT_EQ(GetTransparentMaskBlitType().GetOpacity(), 1.0f);
    EXPECT_EQ(GetBlackBiasBlitType().GetOpacity(), 1.0f);
}

TEST_F(CreditsTest, StartsOverOnceEverythingLeftTheTop)
{
    WriteBytes("Credits.txt", "FRAME:Star\r\nFRAME:Star\r\n");
    CCreditsText credits("Credits.txt", m_Font.get());
    auto canvas = Canvas(100, 160);
    // The last picture's bottom at 160 - scroll + 42: still on at 202.
    ScrollTo(credits, 202);
    const double start = credits.GetStartTime();
    credits.Draw(*canvas);
    EXPECT_EQ(credits.GetStartTime(), start);
    ScrollTo(credits, 203);
    credits.Draw(*canvas);
    EXPECT_NEAR(credits.GetStartTime(), double(g_Tick) - 20.0 / 0.02, 0.01);
    // Next time round the first picture rises from the bottom again.
    ScrollTo(credits, 40);
    auto again = Canvas(100, 160);
    credits.Draw(*again);
    EXPECT_TRUE(Lit(*again, 50, 51, 125, 135));
}

TEST_F(CreditsTest, TildeSplitsOnlyAfterTheFirstCharacter)
{
    WriteBytes("Credits.txt", "~MMMMMM\r\n ~MMMMMM\r\n");
    CCreditsText credits("Credits.txt", m_Font.get());
    const int32_t line = m_Font->GetPointSize();
    ScrollTo(credits, 100);
    auto canvas = Canvas(200, 200);
    credits.Draw(*canvas);
    // The first line is whole and centred: ink on both sides of x = 100.
    const int32_t first = 200 - 100;
    EXPECT_TRUE(Lit(*canvas, 60, 100, first, first + line));
    EXPECT_TRUE(Lit(*canvas, 100, 140, first, first + line));
    // The second is split: a blank left column, the rest from the centre on.
    const int32_t second = first + line + 2;
    EXPECT_FALSE(Lit(*canvas, 0, 99, second, second + line));
    EXPECT_TRUE(Lit(*canvas, 100, 140, second, second + line));
}

TEST_F(CreditsTest, MarkedLinesAreUnderlinedInTheirColour)
{
    WriteBytes("Credits.txt", "_Red\r\n+Green\r\n");
    CCreditsText credits("Credits.txt", m_Font.get());
    const int32_t line = m_Font->GetPointSize();
    ScrollTo(credits, 100);
    auto canvas = Canvas(200, 200);
    credits.Draw(*canvas);
    const int32_t first = 100;
    EXPECT_EQ(Rgb(*canvas, 100, first + line + 4), 0x9C0000u);
    const int32_t second = first + line + 2;
    EXPECT_EQ(Rgb(*canvas, 100, second + line + 4), 0x009C00u);
    // The underline is as wide as the text without its mark.
    const int32_t half = m_Font->GetTextWidth(CJString("Red")) / 2;
    EXPECT_EQ(Rgb(*canvas, 100 - half, first + line + 4), 0x9C0000u);
    EXPECT_EQ(Rgb(*canvas, 100 - half - 1, first + line + 4), 0u);
}

// A line far wider than the screen keeps only the characters a screen can
// show, drawn where the whole line would draw them.
TEST_F(CreditsTest, VeryLongLinesShowWhatTheWholeLineWould)
{
    std::string words;
    for (int i = 0; words.size() < 200000; ++i)
        words += "Wide " + std::to_string(i * 7919 % 1000) + " ";
    const std::string left = words.substr(0, 120001);
    const std::string cases[] = {words, "_" + words, left + "~" + words.substr(3)};
    for (const std::string& line : cases) {
        WriteBytes("Credits.txt", line + "\r\n");
        CCreditsText credits("Credits.txt", m_Font.get());
        ASSERT_EQ(credits.GetEntries().size(), 1u);
        const SCreditsEntry& entry = credits.GetEntries()[0];
        for (uint8_t i = 0; i < entry.runCount; ++i)
            EXPECT_LT(entry.runs[i].count, 20000) << line.substr(0, 20);
        ScrollTo(credits, 100);
        auto shown = Canvas(300, 200);
        credits.Draw(*shown);

        // The whole line, drawn as it reads.
        auto whole = Canvas(300, 200);
        const CJString text(line.c_str());
        const int32_t y = 100, centre = 150, height = m_Font->GetPointSize();
        const int split = text.Find("~", 1);
        if (split > 0) {
            m_Font->DrawText(*whole, centre, y, text.Left(split), TextAlign::Right);
            m_Font->DrawText(*whole, centre, y, text.Mid(split + 1), TextAlign::Left);
        } else if (line[0] == '_') {
            const int32_t half = m_Font->GetTextWidth(text.Mid(1)) / 2;
            CColor red(156, 0, 0, 255);
            whole->FillRect(CRect{centre - half, y + height + 4, centre + half + 1, y + height + 5}, red);
            m_Font->DrawText(*whole, centre, y, text.Mid(1), TextAlign::Centre);
        } else {
            m_Font->DrawText(*whole, centre, y, text, TextAlign::Centre);
        }
        ASSERT_TRUE(Lit(*whole, 0, 300, y, y + height)) << line.substr(0, 20);
        for (int32_t row = 0; row < 200; ++row)
            for (int32_t x = 0; x < 300; ++x)
                ASSERT_EQ(Rgb(*shown, x, row), Rgb(*whole, x, row)) << line.substr(0, 20) << " at " << x << "," << row;
    }
}

// Characters that advance nothing (tabs, control codes) never reach the
// band's edge: a line of millions is cut by count to what a screen could hold
// of characters that do advance.
TEST_F(CreditsTest, ALineOfCharactersThatAdvanceNothingIsCutByCount)
{
    const std::string tabs(1 << 21, '\t'), controls(1 << 21, '\x01');
    ASSERT_EQ(m_Font->GetCharAdvance(u'\t'), 0u);
    ASSERT_EQ(m_Font->GetCharAdvance(u'\x01'), 0u);
    for (const std::string& line : {tabs, "_" + controls, tabs + "~" + controls}) {
        WriteBytes("Credits.txt", line + "\r\n");
        CCreditsText credits("Credits.txt", m_Font.get());
        ASSERT_EQ(credits.GetEntries().size(), 1u);
        const SCreditsEntry& entry = credits.GetEntries()[0];
        ASSERT_GT(entry.runCount, 0);
        for (uint8_t i = 0; i < entry.runCount; ++i) {
            EXPECT_GT(entry.runs[i].count, 0);
            EXPECT_LE(entry.runs[i].count, 2 * 16384 + 1) << int(line[0]);
        }
        ScrollTo(credits, 100);
        auto shown = Canvas(300, 200);
        credits.Draw(*shown);
    }
}

// Thousands of entries above the box: the one in view is where the heights
// of all before it put it.
TEST_F(CreditsTest, AnEntryFarDownTheFileShowsWhereTheEntriesAboveItPutIt)
{
    std::string file;
    for (int i = 0; i < 5000; ++i)
        file += "\r\n";
    file += "FRAME:Star\r\n\r\n";
    WriteBytes("Credits.txt", file);
    CCreditsText credits("Credits.txt", m_Font.get());
    ASSERT_EQ(credits.GetEntries().size(), 5002u);
    const int32_t line = m_Font->GetPointSize();
    const int32_t starTop = 5000 * (line + 2);
    // The star's top 80 pixels down a box 160 high.
    ScrollTo(credits, starTop + 80);
    auto canvas = Canvas(100, 160);
    credits.Draw(*canvas);
    EXPECT_TRUE(Lit(*canvas, 30, 70, 80, 100));
    EXPECT_FALSE(Lit(*canvas, 0, 100, 0, 80));
    EXPECT_FALSE(Lit(*canvas, 0, 100, 100, 160));
}

} // namespace
