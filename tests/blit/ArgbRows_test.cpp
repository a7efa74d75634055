#include "blit/ArgbRows.h"

#include "blit/ColorTables.h"
#include "blit/KernelLookupTables.h"
#include "blit/WidenRows.h"
#include "platform/Cpu.h"
#include "support/KernelSetGuard.h"
#include "support/PixelReference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using ref::OpacityOf;
using ref::Pixel;

constexpr uint8_t kEdgeAlphas[] = {0, 1, 3, 4, 5, 6, 7, 8, 127, 128, 247, 248, 250, 251, 252, 253, 254, 255};
constexpr uint32_t kWidths[] = {0, 1, 3, 4, 5, 15, 16, 17, 63, 64, 65};
constexpr uint32_t kOpacities[] = {255, 254, 128, 127, 1, 0};

std::array<uint32_t, 256> OpacityRow(uint32_t o)
{
    std::array<uint32_t, 256> row{};
    for (uint32_t a = 0; a < 256; ++a)
        row[a] = OpacityOf(o, a);
    return row;
}

std::vector<uint8_t> RandomPixels(uint32_t count, uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(size_t(count) * 4);
    for (uint32_t i = 0; i < count; ++i) {
        for (int c = 0; c < 3; ++c)
            bytes[4 * i + c] = uint8_t(random());
        bytes[4 * i + 3] = random() % 3 == 0 ? uint8_t(random()) : kEdgeAlphas[random() % std::size(kEdgeAlphas)];
    }
    return bytes;
}

struct SRowCase {
    const char* name;
    RowFunction row;
    uint32_t dstSize; // bytes per destination pixel
    Pixel (*reference)(Pixel d, Pixel s, uint32_t opacity, uint32_t tint);
};

class ArgbRow : public testing::TestWithParam<SRowCase> {
protected:
    void SetUp() override { InitBlitTables(); }
};

// The rows no named type registers (the named types' rows are checked frame
// by frame): every width and misalignment, edge alphas and opacities; the
// bytes around the row stay untouched.
TEST_P(ArgbRow, MatchesItsFormulaOverWidthsAlignmentsAndOpacities)
{
    const SRowCase c = GetParam();
    constexpr uint32_t kGuard = 8;
    uint32_t seed = 1;
    for (uint32_t width : kWidths)
        for (uint32_t shift = 0; shift < 4; ++shift)
            for (uint32_t o : kOpacities) {
                const std::vector<uint8_t> src = RandomPixels(width + 1, ++seed);
                std::vector<uint8_t> dst = RandomPixels(width * c.dstSize / 4 + kGuard * 2, ++seed);
                dst.resize(2 * kGuard + width * c.dstSize + 4);
                const std::vector<uint8_t> before = dst;
                const auto row = OpacityRow(o);
                SBlitArgs args;
                args.tables.opacityRow = row.data();
                args.tables.tintColor = 0x80FFC040 ^ (seed * 0x01010101u);
                c.row(args, dst.data() + kGuard + shift, src.data() + shift, width);
                std::vector<uint8_t> expected = before;
                for (uint32_t i = 0; i < width; ++i) {
                    Pixel d{}, s{};
                    std::memcpy(d.data(), before.data() + kGuard + shift + i * c.dstSize, c.dstSize);
                    std::memcpy(s.data(), src.data() + shift + 4 * i, 4);
                    const Pixel r = c.reference(d, s, o, args.tables.tintColor);
                    std::memcpy(expected.data() + kGuard + shift + i * c.dstSize, r.data(), c.dstSize);
                }
                ASSERT_EQ(dst, expected) << "width " << width << " shift " << shift << " opacity " << o;
            }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ArgbRow,
    testing::Values(SRowCase{"Over32Scaled", &RowArgbOver32Scaled, 4,
                             [](Pixel d, Pixel s, uint32_t o, uint32_t) { return ref::Over32Scaled(d, s, o); }},
                    SRowCase{"TintedOver32", &RowArgbTintedOver32, 4,
                             [](Pixel d, Pixel s, uint32_t, uint32_t tint) { return ref::Tinted(d, s, tint, false); }},
                    SRowCase{"TintedAdd32", &RowArgbTintedAdd32, 4,
                             [](Pixel d, Pixel s, uint32_t, uint32_t tint) { return ref::Tinted(d, s, tint, true); }}),
    [](const testing::TestParamInfo<SRowCase>& param) { return std::string(param.param.name); });

// The SSE2 blend against the plain one over every alpha, every source byte
// and a spread of destination bytes, at opacity 1 and two translucent ones.
TEST(ArgbMask32, Sse2GivesThePlainBytesForEveryAlphaAndByte)
{
    if (!plat::HasSse2())
        GTEST_SKIP() << "no SSE2";
    std::vector<uint8_t> src(256 * 4), plain(256 * 4), wide(256 * 4);
    for (uint32_t o : {255u, 128u, 77u})
        for (uint32_t alpha = 0; alpha < 256; ++alpha)
            for (uint32_t d = 0; d < 256; d += 5) {
                for (uint32_t i = 0; i < 256; ++i) {
                    const uint8_t pixel[4] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 7), uint8_t(alpha)};
                    std::memcpy(&src[4 * i], pixel, 4);
                    const uint8_t under[4] = {uint8_t(d), uint8_t(255 - d), uint8_t(d ^ i), uint8_t(i + d)};
                    std::memcpy(&plain[4 * i], under, 4);
                }
                wide = plain;
                const auto row = OpacityRow(o);
                SBlitArgs args;
                args.tables.opacityRow = row.data();
                {
                    CKernelSetGuard guard(KernelForce::Sse2);
                    (o == 255 ? RowArgbMask32 : RowArgbMask32Scaled)(args, wide.data(), src.data(), 256);
                }
                (o == 255 ? RowArgbMask32Plain : RowArgbMask32ScaledPlain)(args, plain.data(), src.data(), 256);
                ASSERT_EQ(wide, plain) << "alpha " << alpha << " destination " << d << " opacity " << o;
            }
}

// A row function whose SSE2 and plain forms must write the same bytes.
struct STwinCase {
    const char* name;
    RowFunction row;
    uint32_t srcSize, dstSize; // bytes per pixel
    bool tablesBuilt;          // the 565 packers' form
};

class Sse2Twin : public testing::TestWithParam<STwinCase> {
protected:
    void TearDown() override { InitBlitTables(); }
};

// Every width from 0 to 65 at every misalignment and the edge opacities. The
// source buffer ends where the row does, so a read past it trips the
// address checker; the destination's bytes around the row must stay.
TEST_P(Sse2Twin, GivesThePlainBytesAtEveryWidthAndAlignment)
{
    if (!plat::HasSse2())
        GTEST_SKIP() << "no SSE2";
    const STwinCase c = GetParam();
    if (c.tablesBuilt)
        InitBlitTables();
    else
        ResetBlitTablesForTesting();
    uint32_t palette[256];
    for (uint32_t i = 0; i < 256; ++i)
        palette[i] = i * 0x01030507u;
    constexpr uint32_t kGuard = 16;
    uint32_t seed = 3;
    for (uint32_t width = 0; width <= 65; ++width)
        for (uint32_t shift = 0; shift < 4; ++shift)
            for (uint32_t o : kOpacities) {
                const std::vector<uint8_t> pixels = RandomPixels(width * c.srcSize / 4 + 2, ++seed);
                std::vector<uint8_t> src(pixels.begin(), pixels.begin() + shift + width * c.srcSize);
                const std::vector<uint8_t> dst = RandomPixels((2 * kGuard + width * c.dstSize) / 4 + 1, ++seed);
                const auto row = OpacityRow(o);
                SBlitArgs args;
                args.tables.opacityRow = row.data();
                args.tables.palette32 = palette;
                std::vector<uint8_t> plain = dst, wide = dst;
                {
                    CKernelSetGuard guard(KernelForce::Plain);
                    c.row(args, plain.data() + kGuard + shift, src.data() + shift, width);
                }
                {
                    CKernelSetGuard guard(KernelForce::Sse2);
                    c.row(args, wide.data() + kGuard + shift, src.data() + shift, width);
                }
                ASSERT_EQ(wide, plain) << "width " << width << " shift " << shift << " opacity " << o;
            }
}

INSTANTIATE_TEST_SUITE_P(Rows, Sse2Twin,
                         testing::Values(STwinCase{"Mask32", &RowArgbMask32, 4, 4, true},
                                         STwinCase{"Mask32Scaled", &RowArgbMask32Scaled, 4, 4, true},
                                         STwinCase{"Over565", &RowArgbOver565, 4, 2, true},
                                         STwinCase{"Over565BeforeTables", &RowArgbOver565, 4, 2, false},
                                         STwinCase{"Rgb24To32", &RowRgb24To32, 3, 4, true},
                                         STwinCase{"Index8To32", &RowIndex8To32, 1, 4, true}),
                         [](const testing::TestParamInfo<STwinCase>& param) { return std::string(param.param.name); });

// Every alpha over a spread of destination pixels, with both packings: the
// SSE2 widening, blend and packing against the tables and their rounding.
TEST(ArgbOver565, Sse2GivesThePlainBytesForEveryAlphaAndPacking)
{
    if (!plat::HasSse2())
        GTEST_SKIP() << "no SSE2";
    std::vector<uint8_t> src(4 * 512), plain(2 * 512), wide(2 * 512);
    for (bool tables : {true, false}) {
        if (tables)
            InitBlitTables();
        else
            ResetBlitTablesForTesting();
        std::mt19937 random(tables ? 5 : 6);
        for (uint32_t alpha = 0; alpha < 256; ++alpha)
            for (uint32_t start = 0; start < 65536; start += 512 * 16) {
                for (uint32_t i = 0; i < 512; ++i) {
                    // Every destination pixel, every 16th; sources at both ends and between.
                    const uint16_t d = uint16_t(start + 16 * i + alpha % 16);
                    std::memcpy(&plain[2 * i], &d, 2);
                    const uint32_t s = i % 4 == 0 ? 0 : i % 4 == 1 ? 0xFFFFFF : uint32_t(random());
                    const uint8_t pixel[4] = {uint8_t(s), uint8_t(s >> 8), uint8_t(s >> 16), uint8_t(alpha)};
                    std::memcpy(&src[4 * i], pixel, 4);
                }
                wide = plain;
                SBlitArgs args;
                RowArgbOver565Plain(args, plain.data(), src.data(), 512);
                {
                    CKernelSetGuard guard(KernelForce::Sse2);
                    RowArgbOver565(args, wide.data(), src.data(), 512);
                }
                ASSERT_EQ(wide, plain) << "alpha " << alpha << " from " << start << (tables ? " tables" : " start-up");
            }
    }
    InitBlitTables();
}

struct SPixelCase {
    const char* name;
    RowFunction row;
    uint32_t opacity;
    Pixel destination;
    Pixel source;
    Pixel expected;
};

class ArgbPixel : public testing::TestWithParam<SPixelCase> {
protected:
    void SetUp() override { InitBlitTables(); }
};

// The thresholds and rounding each function is known by.
TEST_P(ArgbPixel, DrawsTheExpectedBytes)
{
    const SPixelCase c = GetParam();
    const auto row = OpacityRow(c.opacity);
    SBlitArgs args;
    args.tables.opacityRow = row.data();
    args.tables.tintColor = 0xFFFFFFFF;
    Pixel d = c.destination;
    c.row(args, d.data(), c.source.data(), 1);
    EXPECT_EQ(d, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, ArgbPixel,
    testing::Values(
        SPixelCase{"Over24Alpha252Blends", &RowArgbOver24, 255, {0, 255, 100, 9}, {255, 0, 99, 252}, {252, 5, 100, 9}},
        SPixelCase{"Over24Alpha253Copies", &RowArgbOver24, 255, {0, 255, 100, 9}, {255, 0, 99, 253}, {255, 0, 99, 9}},
        SPixelCase{"Over24Alpha0Skips", &RowArgbOver24, 255, {1, 2, 3, 9}, {255, 0, 99, 0}, {1, 2, 3, 9}},
        SPixelCase{"Over24ScaledAlpha5Skips", &RowArgbOver24Scaled, 255, {1, 2, 3, 9}, {255, 0, 99, 5}, {1, 2, 3, 9}},
        SPixelCase{
            "Over24ScaledAlpha251Copies", &RowArgbOver24Scaled, 255, {1, 2, 3, 9}, {255, 0, 99, 251}, {255, 0, 99, 9}},
        SPixelCase{"Over32ScaledT247BlendsAndClearsAlpha",
                   &RowArgbOver32Scaled,
                   255,
                   {0, 0, 0, 200},
                   {255, 128, 0, 247},
                   {246, 123, 0, 0}},
        SPixelCase{"Over32ScaledT248Copies",
                   &RowArgbOver32Scaled,
                   255,
                   {0, 0, 0, 200},
                   {255, 128, 0, 248},
                   {255, 128, 0, 248}},
        SPixelCase{"TintedOverWhiteWritesAlphaZero",
                   &RowArgbTintedOver32,
                   255,
                   {9, 9, 9, 9},
                   {255, 255, 255, 255},
                   {254, 254, 254, 0}},
        SPixelCase{"TintedAddSaturatesKeepingAlpha",
                   &RowArgbTintedAdd32,
                   255,
                   {200, 10, 0, 33},
                   {255, 100, 0, 255},
                   {255, 108, 0, 33}},
        SPixelCase{"MaskAlpha3Skips", &RowArgbMask32Plain, 255, {1, 2, 3, 4}, {200, 200, 200, 3}, {1, 2, 3, 4}},
        SPixelCase{
            "MaskAlpha251Copies", &RowArgbMask32Plain, 255, {1, 2, 3, 4}, {200, 200, 200, 251}, {200, 200, 200, 251}},
        SPixelCase{
            "MaskAlpha128HalvesOverZero", &RowArgbMask32Plain, 255, {0, 0, 0, 0}, {200, 0, 100, 128}, {100, 0, 50, 64}},
        SPixelCase{"MaskHalfOpacityWeighs127",
                   &RowArgbMask32ScaledPlain,
                   128,
                   {0, 0, 0, 0},
                   {254, 0, 0, 255},
                   {125, 0, 0, 125}}),
    [](const testing::TestParamInfo<SPixelCase>& param) { return std::string(param.param.name); });

TEST(ArgbOver565, TransparentSourceRepacksTheDestination)
{
    InitBlitTables();
    for (uint32_t pixel = 0; pixel < 65536; pixel += 97) {
        uint8_t bgr[3];
        Widen565(uint16_t(pixel), bgr);
        EXPECT_EQ(BlendArgbOver565(uint16_t(pixel), 0x00FFFFFF, 255), PackColor565(bgr[2], bgr[1], bgr[0]));
    }
    // Opaque white reaches white; opaque black stops short of black.
    EXPECT_EQ(BlendArgbOver565(0x0000, 0xFFFFFFFF, 255), 0xFFFF);
    EXPECT_EQ(BlendArgbOver565(0xFFFF, 0xFF000000, 255), PackColor565(2, 2, 2));
}

} // namespace
