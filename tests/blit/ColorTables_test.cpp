#include "blit/ColorTables.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Table form: nearest integer to v * top / 255, in exact integer arithmetic.
uint32_t Nearest(uint32_t v, uint32_t top)
{
    return (2 * v * top + 255) / 510;
}

// Arithmetic form: add half a step of 256 / (top + 1), truncate, stay in range.
uint32_t HalfStepUp(uint32_t v, uint32_t top)
{
    const uint32_t step = 256 / (top + 1);
    return std::min((v + step / 2) / step, top);
}

void ExpectPackersMatchReference(bool tables)
{
    const auto level = tables ? Nearest : HalfStepUp;
    const uint8_t others[] = {0, 3, 4, 8, 127, 128, 200, 251, 252, 255};
    for (uint32_t v = 0; v < 256; ++v)
        for (uint8_t w : others)
            for (uint8_t x : others) {
                const uint8_t rgb[3][3] = {{uint8_t(v), w, x}, {w, uint8_t(v), x}, {w, x, uint8_t(v)}};
                for (const auto& [r, g, b] : rgb) {
                    ASSERT_EQ(PackColor565(r, g, b), level(r, 31) << 11 | level(g, 63) << 5 | level(b, 31))
                        << +r << " " << +g << " " << +b;
                    ASSERT_EQ(PackColor555(r, g, b), level(r, 31) << 10 | level(g, 31) << 5 | level(b, 31))
                        << +r << " " << +g << " " << +b;
                }
            }
}

class ColorTables : public testing::Test {
protected:
    void SetUp() override { ResetBlitTablesForTesting(); }
    void TearDown() override { ResetBlitTablesForTesting(); }
};

TEST_F(ColorTables, EveryTableEntryMatchesItsFormula)
{
    InitBlitTables();
    const CColorTables& tables = GetColorTables();
    for (uint32_t v = 0; v < 256; ++v) {
        EXPECT_EQ(tables.Blue5[v], Nearest(v, 31)) << v;
        EXPECT_EQ(tables.Green5[v], Nearest(v, 31) << 5) << v;
        EXPECT_EQ(tables.Red555[v], Nearest(v, 31) << 10) << v;
        EXPECT_EQ(tables.Red565[v], Nearest(v, 31) << 11) << v;
        EXPECT_EQ(tables.Green6[v], Nearest(v, 63) << 5) << v;
        const uint32_t lowestOfLevel[6] = {214, 171, 128, 86, 43, 0};
        uint32_t level = 0;
        while (v < lowestOfLevel[level])
            ++level;
        EXPECT_EQ(tables.LevelTable[v], level) << v;
    }
    for (uint32_t a = 0; a < 256; ++a)
        for (uint32_t b = 0; b < 256; ++b) {
            ASSERT_EQ(tables.ProductTable[a][b], a * b) << a << " " << b;
            const uint32_t f = tables.BlendTable[a][b]; // the largest f with f * 255 <= a * b
            ASSERT_TRUE(f * 255 <= a * b && (f + 1) * 255 > a * b) << a << " " << b;
        }
}

TEST_F(ColorTables, SecondInitRebuildsAllButLevelTable)
{
    InitBlitTables();
    CColorTables& tables = GetColorTablesForTesting();
    tables.Blue5[7] = tables.ProductTable[3][4] = tables.BlendTable[255][255] = tables.LevelTable[0] = 99;
    InitBlitTables();
    EXPECT_EQ(tables.Blue5[7], 1u);
    EXPECT_EQ(tables.ProductTable[3][4], 12u);
    EXPECT_EQ(tables.BlendTable[255][255], 255u);
    EXPECT_EQ(tables.LevelTable[0], 99u);
}

TEST_F(ColorTables, PackersSwitchFromArithmeticToTableForm)
{
    EXPECT_EQ(PackColor565(4, 4, 4), 0x0821);
    EXPECT_EQ(PackColor565(8, 8, 8), 0x0841);
    EXPECT_EQ(PackColor565(255, 255, 255), 0xFFFF);
    ExpectPackersMatchReference(false);

    InitBlitTables();
    EXPECT_EQ(PackColor565(4, 4, 4), 0x0020);
    EXPECT_EQ(PackColor565(8, 8, 8), 0x0841);
    EXPECT_EQ(PackColor565(255, 255, 255), 0xFFFF);
    ExpectPackersMatchReference(true);
}

} // namespace
