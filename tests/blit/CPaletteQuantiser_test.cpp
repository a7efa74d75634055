#include "blit/CPalette.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <tuple>
#include <vector>

namespace {

using Colour = std::tuple<int, int, int>; // blue, green, red

Colour Entry(const CPalette& palette, uint32_t i)
{
    const uint8_t* p = palette.GetData() + 3 * i;
    return {p[0], p[1], p[2]};
}

TEST(BestPalette, ThreeColoursGiveThoseColoursThenBlackAndWhite)
{
    std::vector<uint32_t> histogram(kHistogramCells, 0);
    const uint8_t colours[3][3] = {{255, 0, 0}, {10, 203, 7}, {0, 0, 255}};
    for (uint32_t i = 0; i < 3; ++i)
        for (uint32_t n = 0; n <= i * 5; ++n)
            CountColor(histogram.data(), colours[i]);
    CPalette palette;
    ASSERT_EQ(palette.BuildBestPalette(histogram.data(), 1, 254), 0u);
    EXPECT_EQ(palette.GetType(), 1);
    const std::set<Colour> found = {Entry(palette, 1), Entry(palette, 2), Entry(palette, 3)};
    EXPECT_EQ(found, (std::set<Colour>{{252, 0, 0}, {8, 200, 4}, {0, 0, 252}}));
    for (uint32_t i = 4; i < 255; ++i)
        ASSERT_EQ(Entry(palette, i), Colour(0, 0, 0)) << i;
    EXPECT_EQ(Entry(palette, 0), Colour(0, 0, 0));
    EXPECT_EQ(Entry(palette, 255), Colour(255, 255, 255));
}

TEST(BestPalette, CutsWhereTheSummedErrorIsSmallestAndRoundsTheMeans)
{
    // Blue cells 0, 10 and 20 counted 1, 1 and 10: the first cut of least
    // error puts cells 0 and 10 together (error 50) against cell 20.
    std::vector<uint32_t> histogram(kHistogramCells, 0);
    histogram[0 * 4096] = 1;
    histogram[10 * 4096] = 1;
    histogram[20 * 4096] = 10;
    CPalette palette;
    ASSERT_EQ(palette.BuildBestPalette(histogram.data(), 1, 2), 0u);
    EXPECT_EQ(Entry(palette, 1), Colour(20, 0, 0)); // (1 + 10 * 4) / 2
    EXPECT_EQ(Entry(palette, 2), Colour(80, 0, 0));
    EXPECT_EQ(Entry(palette, 3), Colour(0, 0, 0));
}

TEST(BestPalette, EmptyHistogramLeavesBlackAndWhite)
{
    std::vector<uint32_t> histogram(kHistogramCells, 0);
    CPalette palette;
    EXPECT_EQ(palette.BuildBestPalette(histogram.data(), 1, 254), 0u);
    EXPECT_EQ(Entry(palette, 1), Colour(0, 0, 0));
    EXPECT_EQ(Entry(palette, 255), Colour(255, 255, 255));
}

TEST(BestPalette, ManyColoursFillExactlyTheEntriesAsked)
{
    std::vector<uint32_t> histogram(kHistogramCells, 0);
    for (uint32_t i = 0; i < kHistogramCells; i += 97)
        histogram[i] = 1 + i % 13;
    CPalette palette;
    ASSERT_EQ(palette.BuildBestPalette(histogram.data(), 1, 16), 0u);
    std::set<Colour> distinct;
    for (uint32_t i = 1; i <= 16; ++i)
        distinct.insert(Entry(palette, i));
    EXPECT_EQ(distinct.size(), 16u);
    EXPECT_EQ(Entry(palette, 17), Colour(0, 0, 0));
}

TEST(NearestColour, TiesGoToTheLowestIndexAndTheWeightsAreThirtyFiftyNineEleven)
{
    CPalette palette;
    palette.SetType(1);
    std::memset(palette.GetData(), 0, 768);
    const auto set = [&](uint32_t i, uint8_t b, uint8_t g, uint8_t r) {
        palette.GetData()[3 * i] = b;
        palette.GetData()[3 * i + 1] = g;
        palette.GetData()[3 * i + 2] = r;
    };
    set(1, 0, 0, 20);
    set(2, 0, 0, 40);
    EXPECT_EQ(palette.FindNearest(30, 0, 0, 1, 255), 1); // equally far: the lower
    set(3, 0, 0, 30);
    set(4, 0, 0, 30);
    EXPECT_EQ(palette.FindNearest(30, 0, 0, 1, 255), 3);
    // Red 10 away costs 30 * 100, blue 15 away 11 * 225: blue wins.
    set(5, 0, 100, 110);
    set(6, 15, 100, 100);
    EXPECT_EQ(palette.FindNearest(100, 100, 0, 5, 7), 6);
    EXPECT_EQ(palette.FindNearest(30, 0, 0, 4, 5), 4); // range [first, last)
}

TEST(NearestColour, TypeSixRemembersWhatItSearched)
{
    CPalette source;
    source.SetType(1);
    std::memset(source.GetData(), 0, 768);
    source.GetData()[3 * 9 + 2] = 200;
    CPalette cache;
    cache.SetType(6);
    std::memset(cache.GetData(), 0, 32768);
    cache.SetSource(&source);
    EXPECT_EQ(cache.FindNearest(200, 0, 0, 0, 0), 9);
    source.GetData()[3 * 9 + 2] = 0; // a second search would now find 1
    EXPECT_EQ(cache.FindNearest(200, 0, 0, 0, 0), 9);
}

TEST(LightnessRemap, FactorOneTwentyEightIsIdentityAndZeroIsBlack)
{
    CPalette source;
    source.SetType(1);
    for (uint32_t i = 0; i < 768; ++i)
        source.GetData()[i] = uint8_t(i * 13);
    source.GetData()[3 * 40] = source.GetData()[3 * 40 + 1] = source.GetData()[3 * 40 + 2] = 0;
    CPalette remap;
    remap.BuildLightnessRemap(source, 128, 10, 250, 1, 255, nullptr);
    for (uint32_t i = 0; i < 256; ++i)
        ASSERT_EQ(remap.GetData()[i], i);
    remap.BuildLightnessRemap(source, 0, 10, 250, 1, 255, nullptr);
    EXPECT_EQ(remap.GetData()[9], 9);
    EXPECT_EQ(remap.GetData()[10], 40);
    EXPECT_EQ(remap.GetData()[249], 40);
    EXPECT_EQ(remap.GetData()[250], 250);
}

} // namespace
