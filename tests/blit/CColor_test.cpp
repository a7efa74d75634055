#include "blit/CColor.h"

#include "blit/ColorTables.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <utility>

namespace {

int g_StandardSearches = 0;

uint8_t Standard200(uint8_t, uint8_t, uint8_t)
{
    ++g_StandardSearches;
    return 200;
}

// Entry i is grey i, except the entries listed, given as red, green, blue.
void FillGamePalette(std::initializer_list<std::pair<uint32_t, std::array<uint8_t, 3>>> changes = {})
{
    CArrayPOD<uint8_t>& palette = GetGamePalette();
    palette.Free();
    for (uint32_t i = 0; i < 768; ++i)
        palette.Append(uint8_t(i / 3));
    for (const auto& [index, rgb] : changes)
        for (uint32_t k = 0; k < 3; ++k)
            palette[index * 3 + k] = rgb[2 - k];
}

void ExpectCachedForms(const CColor& c, uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    const uint32_t word = c.GetColorWord();
    const uint8_t expected[7] = {b, g, r, a, b, g, r};
    uint8_t actual[7];
    std::memcpy(actual, &word, 4);
    std::memcpy(actual + 4, c.GetRgbCopy(), 3);
    EXPECT_EQ(0, std::memcmp(actual, expected, 7)) << +r << "," << +g << "," << +b << "," << +a;
    EXPECT_EQ(c.GetPixel565(), PackColor565(r, g, b));
}

class ColorValue : public testing::Test {
protected:
    void SetUp() override
    {
        InitBlitTables();
        g_StandardSearches = 0;
    }
    void TearDown() override { GetGamePalette().Free(); }
    CScopedPaletteMatcher m_Matcher{Standard200};
};

TEST_F(ColorValue, EverySetterKeepsWordCopyAndPixelInStep)
{
    const CColor pureRed(255, 0, 0, 128);
    EXPECT_EQ(pureRed.GetColorWord(), 0x80FF0000u);
    EXPECT_EQ(pureRed.GetPixel565(), 0xF800);
    EXPECT_EQ(pureRed.GetFlags(), CColor::kStandardColor);

    CColor reused;
    for (uint32_t r = 0; r < 256; r += 15)
        for (uint32_t g = 1; g < 256; g += 23)
            for (uint32_t b = 2; b < 256; b += 31) {
                const uint8_t cr = uint8_t(r), cg = uint8_t(g), cb = uint8_t(b), a = uint8_t(r ^ g ^ b);
                ExpectCachedForms(CColor(cr, cg, cb, a), cr, cg, cb, a);
                reused.SetCurrentPaletteColor(cr, cg, cb, a);
                ExpectCachedForms(reused, cr, cg, cb, a);
                EXPECT_EQ(reused.GetFlags() & CColor::kStandardColor, 0u);
                reused.Set(cb, cr, cg, a);
                ExpectCachedForms(reused, cb, cr, cg, a);
                EXPECT_NE(reused.GetFlags() & CColor::kStandardColor, 0u);
            }
}

TEST_F(ColorValue, PixelFollowsThePackerFormButEqualityOnlyTheChannels)
{
    ResetBlitTablesForTesting();
    const CColor early(4, 4, 4, 255);
    InitBlitTables();
    CColor late;
    late.SetCurrentPaletteColor(4, 4, 4, 255);
    EXPECT_EQ(early.GetPixel565(), 0x0821);
    EXPECT_EQ(late.GetPixel565(), 0x0020);
    EXPECT_TRUE(early == late);
    EXPECT_FALSE(early == CColor(4, 4, 4, 254));
    EXPECT_FALSE(early == CColor(4, 5, 4, 255));
}

TEST_F(ColorValue, CurrentPaletteColorsSearchTheGamePaletteFromIndexOne)
{
    // Weights 30/59/11: a blue miss of 30 costs 9900, less than 20 of red
    // (12000) or 15 of green (13275); entry 4 ties entry 3 and loses.
    FillGamePalette(
        {{1, {220, 40, 90}}, {2, {200, 55, 90}}, {3, {200, 40, 120}}, {4, {200, 40, 120}}, {128, {0, 0, 0}}});
    CColor c;
    c.SetCurrentPaletteColor(200, 40, 90, 255);
    EXPECT_EQ(c.GetPaletteIndex(), 3);
    c.SetCurrentPaletteColor(77, 77, 77, 255);
    EXPECT_EQ(c.GetPaletteIndex(), 77);
    c.SetCurrentPaletteColor(0, 0, 0, 255);
    EXPECT_EQ(c.GetPaletteIndex(), 128); // entry 0 matches exactly but is never chosen
    EXPECT_EQ(g_StandardSearches, 0);

    // Standard colours, and any colour while there is no game palette, go to
    // the standard palette's matcher; without one they match index 0.
    EXPECT_EQ(CColor(77, 77, 77, 255).GetPaletteIndex(), 200);
    GetGamePalette().Free();
    c.SetCurrentPaletteColor(78, 77, 77, 255);
    EXPECT_EQ(c.GetPaletteIndex(), 200);
    EXPECT_EQ(g_StandardSearches, 2);
    SetStandardPaletteMatcher(nullptr);
    EXPECT_EQ(CColor(1, 2, 3, 4).GetPaletteIndex(), 0);
}

TEST_F(ColorValue, PaletteIndexIsFoundOnceAndDroppedWhenTheColorChanges)
{
    FillGamePalette({{20, {10, 10, 10}}}); // only the cache tells 20 from 10
    CColor c;
    c.SetFromPaletteIndex(20);
    ExpectCachedForms(c, 10, 10, 10, 255);
    EXPECT_EQ(c.GetFlags(), CColor::kPaletteIndexCached | CColor::kStandardColor);
    EXPECT_EQ(c.GetPaletteIndex(), 20);
    c.Set(10, 10, 10, 128); // same colour and palette choice, other alpha
    EXPECT_EQ(c.GetPaletteIndex(), 20);
    EXPECT_EQ(g_StandardSearches, 0);

    c.Set(11, 11, 11, 255);
    EXPECT_FALSE(c.HasPaletteIndex());
    EXPECT_EQ(c.GetPaletteIndex(), 200);
    EXPECT_EQ(c.GetPaletteIndex(), 200);
    EXPECT_EQ(g_StandardSearches, 1);
    c.SetCurrentPaletteColor(11, 11, 11, 255); // same colour, other palette
    EXPECT_EQ(c.GetPaletteIndex(), 11);
    CColor copy;
    copy = c;
    EXPECT_EQ(copy.GetPaletteIndex(), 11);
    EXPECT_EQ(g_StandardSearches, 1);

    c.SetFromPaletteIndex(256); // no such entry
    ExpectCachedForms(c, 0, 0, 0, 255);
    GetGamePalette().Free();
    c.SetFromPaletteIndex(5);
    ExpectCachedForms(c, 0, 0, 0, 255);
    EXPECT_EQ(c.GetPaletteIndex(), 5);
}

} // namespace
