#include "blit/GamePalette.h"

#include "blit/CColor.h"
#include "blit/CPalette.h"
#include "blit/ColorTables.h"
#include "blit/KernelLookupTables.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace {

std::string RandomPalette(uint32_t seed)
{
    std::mt19937 random(seed);
    std::string bytes(768, '\0');
    for (char& c : bytes)
        c = char(random());
    return bytes;
}

class GamePalette : public CTempFolderTest {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        InitBlitTables();
        ClearGamePalette();
    }
    void TearDown() override
    {
        ClearGamePalette();
        CTempFolderTest::TearDown();
    }
};

TEST_F(GamePalette, InstallingDerivesTheBlendPaletteTheRgb565TablesAndBothInverses)
{
    const std::string bytes = RandomPalette(1);
    const auto* entries = reinterpret_cast<const uint8_t*>(bytes.data());
    SetGamePalette(entries);
    ASSERT_EQ(GetGamePalette().GetCount(), 768u);
    ASSERT_EQ(GetBlendTable().GetType(), 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(GetBlendTable().GetData()), 768), bytes);
    const uint16_t* to565 = GetPalette565Table();
    ASSERT_NE(to565, nullptr);
    for (uint32_t i = 0; i < 256; ++i)
        ASSERT_EQ(to565[i], PackColor565(entries[3 * i + 2], entries[3 * i + 1], entries[3 * i]));
    // Both inverse tables answer the nearest of entries 1..255 by the 30/59/11 weights.
    auto nearest = [&](const uint8_t* bgr) {
        uint32_t best = 1, bestDistance = UINT32_MAX;
        for (uint32_t i = 1; i < 256; ++i) {
            const int db = bgr[0] - entries[3 * i], dg = bgr[1] - entries[3 * i + 1], dr = bgr[2] - entries[3 * i + 2];
            const uint32_t distance = uint32_t(30 * dr * dr + 59 * dg * dg + 11 * db * db);
            if (distance < bestDistance)
                best = i, bestDistance = distance;
        }
        return best;
    };
    ASSERT_EQ(InversePalette565.GetCount(), 65536u);
    ASSERT_EQ(InversePalette555.GetCount(), 32768u);
    std::mt19937 random(2);
    for (uint32_t trial = 0; trial < 300; ++trial) {
        const uint16_t pixel = uint16_t(random());
        uint8_t bgr[3];
        Widen565(pixel, bgr);
        ASSERT_EQ(InversePalette565[pixel], nearest(bgr)) << pixel;
        const uint16_t value = pixel & 0x7FFF;
        const uint8_t bgr555[3] = {uint8_t(Expand5To8[value & 31]), uint8_t(Expand5To8[(value >> 5) & 31]),
                                   uint8_t(Expand5To8[value >> 10])};
        ASSERT_EQ(InversePalette555[value], nearest(bgr555)) << value;
    }
    const SBlitTables tables = MakeBlitTables(300);
    EXPECT_EQ(tables.opacityRow, GetColorTables().BlendTable[255]);
    EXPECT_EQ(tables.palette565, to565);
    EXPECT_EQ(tables.blendTable8A, nullptr);
}

TEST_F(GamePalette, ClearingLeavesNoTableToRead)
{
    SetGamePalette(reinterpret_cast<const uint8_t*>(RandomPalette(3).data()));
    ClearGamePalette();
    EXPECT_EQ(GetPalette565Table(), nullptr);
    EXPECT_EQ(InversePalette555.GetCount(), 0u);
    EXPECT_EQ(GetBlendTable().GetType(), 0);
    const SBlitTables tables = MakeBlitTables(128);
    EXPECT_EQ(tables.palette, nullptr);
    EXPECT_EQ(tables.palette565, nullptr);
}

// The game palette is also the standard palette that CColor::Set colours
// match (any entry, 0 included).
TEST_F(GamePalette, InstallingMakesItTheStandardPalette)
{
    EXPECT_EQ(CColor(250, 10, 10, 255).GetPaletteIndex(), 0);
    uint8_t entries[768] = {};
    entries[3 * 7 + 2] = 250; // entry 7 red
    entries[3 * 9 + 1] = 200; // entry 9 green
    SetGamePalette(entries);
    EXPECT_EQ(CColor(250, 10, 10, 255).GetPaletteIndex(), 7);
    EXPECT_EQ(CColor(5, 190, 0, 255).GetPaletteIndex(), 9);
    EXPECT_EQ(CColor(0, 0, 0, 255).GetPaletteIndex(), 0);
    ClearGamePalette();
    EXPECT_EQ(CColor(250, 10, 10, 255).GetPaletteIndex(), 0);
}

// Level k of index i: the nearest of entries 1-255 to i's colour at
// (5 - k) / 5, as a row offset; every level keeps i's own row without a
// palette.
TEST_F(GamePalette, FadedRowsDarkenByLevel)
{
    for (uint32_t i = 0; i < 256; ++i)
        for (uint32_t k = 0; k < 5; ++k)
            ASSERT_EQ(GetFadedRowOffsets()[k * 256 + i], i * 256);
    uint8_t grey[768];
    for (uint32_t i = 0; i < 768; ++i)
        grey[i] = uint8_t(i / 3);
    SetGamePalette(grey);
    const uint32_t* rows = GetFadedRowOffsets();
    EXPECT_EQ(rows[0 * 256 + 200], 200u * 256);
    EXPECT_EQ(rows[1 * 256 + 200], 160u * 256);
    EXPECT_EQ(rows[2 * 256 + 11], 7u * 256); // 6.6 rounds to 7
    EXPECT_EQ(rows[4 * 256 + 200], 40u * 256);
    EXPECT_EQ(rows[4 * 256 + 2], 1u * 256); // never entry 0
    EXPECT_EQ(MakeBlitTables(255).fadedRows, rows);
}

TEST_F(GamePalette, LoadsFromThePaletteFolderElseTheCache)
{
    EXPECT_FALSE(LoadGamePalette());
    WriteBytes("Palettes/GamePalette.pal", RandomPalette(4).substr(0, 700)); // short: refused
    EXPECT_FALSE(LoadGamePalette());
    EXPECT_EQ(GetPalette565Table(), nullptr);
    WriteBytes("cache/palettes/gamepalette.PAL", RandomPalette(5));
    ASSERT_TRUE(LoadGamePalette());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(GetGamePalette().GetData()), 768), RandomPalette(5));
    WriteBytes("Palettes/GamePalette.pal", RandomPalette(6));
    ASSERT_TRUE(LoadGamePalette());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(GetGamePalette().GetData()), 768), RandomPalette(6));
}

TEST(CPalette, NearestSearchKeepsTheLowestIndexOnTies)
{
    CPalette palette;
    palette.SetType(1);
    uint8_t* data = palette.GetData();
    EXPECT_EQ(data[5], 5); // a new table counts up
    for (uint32_t i = 0; i < 768; ++i)
        data[i] = 0;
    data[3 * 1 + 2] = 10; // entries 1 and 2 equally far from red 5
    data[3 * 2 + 2] = 0;
    data[3 * 3 + 2] = 5;
    data[3 * 4 + 2] = 5;
    EXPECT_EQ(palette.FindNearest(5, 0, 0, 1, 3), 1);
    EXPECT_EQ(palette.FindNearest(5, 0, 0, 1, 256), 3);
    CPalette copy;
    copy.CopyFrom(palette);
    EXPECT_EQ(copy.GetType(), 1);
    EXPECT_EQ(copy.FindNearest(5, 0, 0, 0, 256), 3);
    copy.SetType(2);
    EXPECT_EQ(copy.FindNearest(5, 0, 0, 0, 256), 0);
}

// Entries are stored blue, green, red; a search over the whole palette
// reaches the last entry.
TEST(CPalette, ColoursAreBlueGreenRedAndTheLastEntryCanBeNearest)
{
    CPalette palette;
    palette.SetType(1);
    uint8_t* data = palette.GetData();
    std::fill(data, data + 768, uint8_t(0));
    data[3 * 255] = 30;
    data[3 * 255 + 1] = 20;
    data[3 * 255 + 2] = 10;
    uint8_t r = 0, g = 0, b = 0;
    palette.GetColor(255, r, g, b);
    EXPECT_EQ(r, 10);
    EXPECT_EQ(g, 20);
    EXPECT_EQ(b, 30);
    EXPECT_EQ(palette.FindNearest(10, 20, 30, 0, 256), 255);
    EXPECT_EQ(palette.FindNearest(12, 20, 30, 0, 256), 255);
    EXPECT_EQ(FindNearestPaletteEntry(data, 10, 20, 30, 0, 256), 255);
}

} // namespace
