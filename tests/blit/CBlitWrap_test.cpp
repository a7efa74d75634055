#include "blit/CBlitWrap.h"

#include "blit/ColorTables.h"
#include "images/CFrame.h"

#include "support/RunLengthBlock.h"
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

std::unique_ptr<CFrame> RandomWrapFrame(uint32_t width, uint32_t height, uint32_t depth, uint32_t seed)
{
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(width, height, depth);
    std::mt19937 random(seed);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t b = 0; b < width * depth / 8; ++b)
            frame->Row(y)[b] = uint8_t(random());
    return frame;
}

uint32_t FloorLog2(uint32_t v)
{
    uint32_t log = 0;
    while (v >>= 1)
        ++log;
    return log;
}

int32_t Mod(int32_t v, int32_t m)
{
    return ((v % m) + m) % m;
}

enum class Kind { Pow2, XPow2, YPow2 };

struct SMaskCase {
    std::string name;
    Kind kind;
    uint32_t sourceDepth, destinationDepth;
    uint32_t sourceWidth, sourceHeight;
    int32_t srcX, srcY;
};

class MaskedWrapTest : public testing::TestWithParam<SMaskCase> {
protected:
    void SetUp() override
    {
        RegisterImagesClasses();
        InitBlitTables();
    }
};

CBlitType& TypeOf(Kind kind)
{
    switch (kind) {
    case Kind::Pow2:
        return GetWrapPow2BlitType();
    case Kind::XPow2:
        return GetWrapXPow2BlitType();
    default:
        return GetWrapYPow2BlitType();
    }
}

// The source pixel (column, row) lands on destination (j, i) when both lie
// in the source; otherwise the destination pixel stays as it was.
TEST_P(MaskedWrapTest, CopiesTheMaskedSourcePixel)
{
    const SMaskCase& c = GetParam();
    std::unique_ptr<CFrame> source = RandomWrapFrame(c.sourceWidth, c.sourceHeight, c.sourceDepth, 7);
    std::unique_ptr<CFrame> destination = RandomWrapFrame(70, 50, c.destinationDepth, 8);
    std::unique_ptr<CFrame> before = RandomWrapFrame(70, 50, c.destinationDepth, 8);
    const CRect d = {3, 2, 67, 45};
    CBlitType& type = TypeOf(c.kind);
    BlitFunction routine = type.GetBlitFunction(*source, *destination);
    ASSERT_NE(routine, nullptr);
    routine(*source, {c.srcX, c.srcY, c.srcX + 1, c.srcY + 1}, *destination, d, type);

    const int32_t wMask = (1 << FloorLog2(c.sourceWidth)) - 1, hMask = (1 << FloorLog2(c.sourceHeight)) - 1;
    const uint32_t sb = c.sourceDepth / 8, db = c.destinationDepth / 8;
    for (int32_t y = 0; y < 50; ++y)
        for (int32_t x = 0; x < 70; ++x) {
            uint8_t expected[4];
            std::memcpy(expected, before->Row(uint32_t(y)) + x * db, db);
            if (x >= d.left && x < d.right && y >= d.top && y < d.bottom) {
                const int32_t i = y - d.top, j = x - d.left;
                int32_t column = (c.srcX + j) & wMask, row = (c.srcY + i) & hMask;
                if (c.kind == Kind::XPow2)
                    row = c.srcY + i;
                if (c.kind == Kind::YPow2)
                    column = j;
                if (row >= 0 && row < int32_t(c.sourceHeight) && column < int32_t(c.sourceWidth)) {
                    std::memcpy(expected, source->Row(uint32_t(row)) + column * sb, sb);
                    if (sb == 3 && db == 4)
                        expected[3] = 255;
                }
            }
            ASSERT_EQ(0, std::memcmp(destination->Row(uint32_t(y)) + x * db, expected, db)) << "at " << x << "," << y;
        }
}

std::vector<SMaskCase> MaskCases()
{
    struct SPair {
        Kind kind;
        const char* name;
        uint32_t from, to;
    };
    const SPair pairs[] = {
        {Kind::Pow2, "Pow2_8", 8, 8},        {Kind::Pow2, "Pow2_16", 16, 16},   {Kind::Pow2, "Pow2_24", 24, 24},
        {Kind::Pow2, "Pow2_24To32", 24, 32}, {Kind::Pow2, "Pow2_32", 32, 32},   {Kind::XPow2, "X_8", 8, 8},
        {Kind::XPow2, "X_16", 16, 16},       {Kind::XPow2, "X_24", 24, 24},     {Kind::XPow2, "X_24To32", 24, 32},
        {Kind::YPow2, "Y_8", 8, 8},          {Kind::YPow2, "Y_16", 16, 16},     {Kind::YPow2, "Y_24", 24, 24},
        {Kind::YPow2, "Y_32", 32, 32},       {Kind::YPow2, "Y_24To32", 24, 32},
    };
    struct SShape {
        const char* name;
        uint32_t w, h;
        int32_t x, y;
    };
    const SShape shapes[] = {
        {"Tile8x4", 8, 4, 0, 0},
        {"Tile64x32At70", 64, 32, 70, 3},
        {"NotPow2_100x20", 100, 20, 5, 9},
        {"Odd13x7Negative", 13, 7, -5, -11},
        {"LargerThanArea", 128, 64, 17, 60},
        {"OneByOne", 1, 1, 3, 3},
    };
    std::vector<SMaskCase> cases;
    for (const SPair& p : pairs)
        for (const SShape& s : shapes)
            cases.push_back({std::string(p.name) + "_" + s.name, p.kind, p.from, p.to, s.w, s.h, s.x, s.y});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Pairs, MaskedWrapTest, testing::ValuesIn(MaskCases()),
                         [](const auto& p) { return p.param.name; });

TEST_F(MaskedWrapTest, ThirtyTwoBitsBelowFullOpacityBlendsBySourceAlpha)
{
    std::unique_ptr<CFrame> source = RandomWrapFrame(16, 8, 32, 11);
    std::unique_ptr<CFrame> destination = RandomWrapFrame(40, 20, 32, 12);
    std::unique_ptr<CFrame> before = RandomWrapFrame(40, 20, 32, 12);
    CBlitType& type = GetWrapPow2BlitType();
    type.SetOpacity(0.5f);
    type.GetBlitFunction(*source, *destination)(*source, {5, 3, 6, 4}, *destination, {0, 0, 40, 20}, type);
    type.SetOpacity(1.0f);
    for (int32_t y = 0; y < 20; ++y)
        for (int32_t x = 0; x < 40; ++x) {
            const uint8_t* s = source->Row(uint32_t((3 + y) & 7)) + 4 * ((5 + x) & 15);
            const uint8_t* d = before->Row(uint32_t(y)) + 4 * x;
            const uint8_t* got = destination->Row(uint32_t(y)) + 4 * x;
            const int32_t a = (s[3] * 128 + 255) >> 8;
            for (int ch = 0; ch < 3; ++ch)
                ASSERT_EQ(got[ch], uint8_t(d[ch] + ((s[ch] - d[ch]) * a + 255) / 256)) << x << "," << y;
            ASSERT_EQ(got[3], 255);
        }
}

// A plain copy standing in for "Transparent Mask" that also records where
// each tile went and at which opacity.
struct STile {
    CRect s, d;
    uint32_t opacity255;
};
std::vector<STile> g_Tiles;

void RecordingCopy(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                   CBlitType& type)
{
    g_Tiles.push_back({s, d, type.GetOpacity255()});
    const uint32_t bytes = source.GetBytesPerPixel();
    for (int32_t y = 0; y < d.bottom - d.top; ++y)
        std::memcpy(destination.GetPixels() + (destination.GetRowTable()[d.top + y] + d.left) * bytes,
                    source.GetPixels() + (source.GetRowTable()[s.top + y] + s.left) * bytes,
                    size_t(d.right - d.left) * bytes);
}

class RecordingType : public CBlitType {
public:
    RecordingType() { AddBlitFunction(32, 0, 32, 0, RecordingCopy); }
};

struct STileCase {
    const char* name;
    uint32_t w, h;
    int32_t srcX, srcY;
    CRect d;
};

class WrapAnyTest : public testing::TestWithParam<STileCase> {
protected:
    void SetUp() override
    {
        RegisterImagesClasses();
        InitBlitTables();
        g_Tiles.clear();
    }
};

TEST_P(WrapAnyTest, TilesRepeatFromTheSourcePoint)
{
    const STileCase& c = GetParam();
    std::unique_ptr<CFrame> source = RandomWrapFrame(c.w, c.h, 32, 21);
    source->SetOffset(-4, 6); // the tile is the whole frame wherever its hot spot lies
    std::unique_ptr<CFrame> destination = RandomWrapFrame(120, 60, 32, 22);
    std::unique_ptr<CFrame> before = RandomWrapFrame(120, 60, 32, 22);
    RecordingType tiles;
    TileByBlits(*source, {c.srcX, c.srcY, c.srcX, c.srcY}, *destination, c.d, GetWrapAnyBlitType(), tiles);
    for (int32_t y = 0; y < 60; ++y)
        for (int32_t x = 0; x < 120; ++x) {
            const bool inside = x >= c.d.left && x < c.d.right && y >= c.d.top && y < c.d.bottom;
            const uint8_t* expected = inside ? source->Row(uint32_t(Mod(c.srcY + y - c.d.top, int32_t(c.h))))
                    + 4 * Mod(c.srcX + x - c.d.left, int32_t(c.w))
                                             : before->Row(uint32_t(y)) + 4 * x;
            ASSERT_EQ(0, std::memcmp(destination->Row(uint32_t(y)) + 4 * x, expected, 4)) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Shapes, WrapAnyTest,
                         testing::Values(STileCase{"Tile32", 32, 32, 0, 0, {0, 0, 120, 60}},
                                         STileCase{"Odd50x30", 50, 30, 10, 0, {0, 0, 100, 30}},
                                         STileCase{"Odd7x5Offset", 7, 5, 3, 4, {5, 6, 111, 57}},
                                         STileCase{"NegativeStart", 9, 11, -4, -20, {1, 1, 90, 50}},
                                         STileCase{"StartBeyondTile", 16, 8, 37, 19, {0, 0, 64, 40}},
                                         STileCase{"LargerThanArea", 200, 100, 13, 7, {10, 10, 50, 40}},
                                         STileCase{"OnePixel", 1, 1, 0, 0, {2, 3, 9, 8}}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(WrapAnyTest, TilesDrawAtTheWrapOpacityAndLeaveTheTileTypeAsItWas)
{
    std::unique_ptr<CFrame> source = RandomWrapFrame(8, 8, 32, 1);
    std::unique_ptr<CFrame> destination = CFrame::MakeOwned(20, 20, 32);
    RecordingType tiles;
    tiles.SetOpacity(0.25f);
    CBlitType& wrap = GetWrapAnyBlitType();
    wrap.SetOpacity(0.5f);
    TileByBlits(*source, {}, *destination, {0, 0, 20, 20}, wrap, tiles);
    wrap.SetOpacity(1.0f);
    ASSERT_EQ(g_Tiles.size(), 9u);
    for (const STile& tile : g_Tiles)
        EXPECT_EQ(tile.opacity255, 128u);
    EXPECT_EQ(tiles.GetOpacity(), 0.25f);
}

// Builds a one-block 16-bit run-length frame from rows of stream bytes.
std::unique_ptr<CFrame> RunLengthFrame(uint32_t width, const std::vector<std::vector<uint8_t>>& rows)
{
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(width, uint32_t(rows.size()), 16);
    EXPECT_TRUE(frame->TakeRunLengthForm(kFrameTwoBands, Block(rows), {}));
    return frame;
}

uint16_t Texel(const CFrame& texture, int32_t x, int32_t y)
{
    uint16_t v;
    std::memcpy(&v, texture.Row(uint32_t(y)) + 2 * x, 2);
    return v;
}

uint16_t Stored(const CFrame& frame, size_t at)
{
    uint16_t v;
    std::memcpy(&v, frame.GetPixels() + at, 2);
    return v;
}

TEST_F(WrapAnyTest, TexturingReplacesStoredColoursAndKeepsControlBytes)
{
    std::unique_ptr<CFrame> texture = RandomWrapFrame(4, 2, 16, 31);
    // Row 0: literal of 3, repeat of 3. Row 1: skip 2, literal of 4.
    std::unique_ptr<CFrame> frame
        = RunLengthFrame(6, {{0x43, 1, 1, 2, 2, 3, 3, 0x03, 9, 9}, {0x82, 0x44, 1, 1, 2, 2, 3, 3, 4, 4}});
    CBlitType& type = GetWrapPow2BlitType();
    BlitFunction routine = type.GetBlitFunction(*texture, *frame);
    ASSERT_NE(routine, nullptr);
    routine(*texture, {1, 1, 2, 2}, *frame, {}, type);
    // Texture pixel (x, y) = (column - 1) & 3, (row - 1) & 1.
    EXPECT_EQ(frame->GetPixels()[4], 0x43);
    EXPECT_EQ(Stored(*frame, 5), Texel(*texture, 3, 1));
    EXPECT_EQ(Stored(*frame, 7), Texel(*texture, 0, 1));
    EXPECT_EQ(Stored(*frame, 9), Texel(*texture, 1, 1));
    EXPECT_EQ(frame->GetPixels()[11], 0x03);
    EXPECT_EQ(Stored(*frame, 12), Texel(*texture, 2, 1)); // the repeat's first column
    EXPECT_EQ(frame->GetPixels()[14], 0x82);
    EXPECT_EQ(frame->GetPixels()[15], 0x44);
    for (int32_t k = 0; k < 4; ++k)
        EXPECT_EQ(Stored(*frame, 16 + 2 * size_t(k)), Texel(*texture, (1 + k) & 3, 0)) << k;
}

} // namespace

namespace {

// Through the frame's blit, a destination rectangle cut by the frame's edge
// moves the source point with it, so the texture stays anchored where the
// rectangle would have started; the tiles are drawn by "Transparent Mask".
TEST_F(WrapAnyTest, FrameBlitKeepsTheTextureAnchoredWhenClipped)
{
    std::unique_ptr<CFrame> tile = RandomWrapFrame(6, 5, 32, 51);
    for (uint32_t y = 0; y < 5; ++y)
        for (uint32_t x = 0; x < 6; ++x)
            tile->Row(y)[4 * x + 3] = 255;
    for (CBlitType* type : {&GetWrapAnyBlitType(), &GetWrapPow2BlitType()}) {
        std::unique_ptr<CFrame> destination = CFrame::MakeOwned(30, 20, 32);
        destination->SetOffset(10, 10);
        ASSERT_TRUE(destination->Blit(*tile, {1, 2, 2, 3}, {4, 6, 44, 36}, *type));
        const int32_t w = type == &GetWrapAnyBlitType() ? 6 : 4, h = type == &GetWrapAnyBlitType() ? 5 : 4;
        for (int32_t y = 0; y < 20; ++y)
            for (int32_t x = 0; x < 30; ++x) {
                // Frame point (x + 10, y + 10) lies (x + 6, y + 4) into the rectangle.
                const uint8_t* expected = tile->Row(uint32_t((2 + y + 4) % h)) + 4 * ((1 + x + 6) % w);
                ASSERT_EQ(0, std::memcmp(destination->Row(uint32_t(y)) + 4 * x, expected, 3)) << x << "," << y;
            }
    }
}

} // namespace
