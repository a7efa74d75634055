#include "blit/KernelTable.h"

#include "blit/BlitReport.h"
#include "blit/KernelLookupTables.h"
#include "platform/Cpu.h"
#include "support/KernelSetGuard.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

template <size_t N>
std::string Hex(const uint8_t (&bytes)[N])
{
    return ::Hex(bytes, N);
}

constexpr uint8_t kEdgeAlphas[] = {0, 1, 3, 4, 127, 128, 250, 251, 254, 255};
constexpr uint32_t kGuard = 8;

// Few-line references of the per-pixel formulas.
int FloorDiv(int a, int b)
{
    return int(std::floor(double(a) / b));
}

uint16_t Ref565(uint16_t d, uint16_t s, uint32_t a)
{
    const int w5 = int(a >> 3), w6 = int(a >> 2);
    const auto ch = [](int dc, int sc, int w, int div) { return dc + FloorDiv((sc - dc) * w, div); };
    return uint16_t(ch(d >> 11, s >> 11, w5, 32) << 11 | ch((d >> 5) & 63, (s >> 5) & 63, w6, 64) << 5
                    | ch(d & 31, s & 31, w5, 32));
}

uint16_t RefRounded565(uint16_t d, uint16_t s, uint32_t a)
{
    const int w5 = int(a >> 3), w6 = int(a >> 2);
    const auto ch
        = [](int dc, int sc, int w, int top) { return int(std::lround(double(sc * w + dc * (top - w)) / top)); };
    return uint16_t(ch(d >> 11, s >> 11, w5, 31) << 11 | ch((d >> 5) & 63, (s >> 5) & 63, w6, 63) << 5
                    | ch(d & 31, s & 31, w5, 31));
}

uint8_t RefTrunc(uint8_t d, uint8_t s, uint32_t a)
{
    return uint8_t(d + int(std::trunc((int(s) - int(d)) * double(a) / 256.0)));
}

struct SInputs {
    std::vector<uint8_t> dst; // kGuard bytes, the run, kGuard bytes
    std::vector<uint8_t> src;
    std::vector<uint8_t> alpha;
    uint32_t value = 0;
    uint32_t alphaValue = 0;
    std::array<uint32_t, 256> opacityRow{};
    const uint8_t* table8A = nullptr;
    const uint8_t* table8B = nullptr;
    std::array<uint16_t, 256> palette565{};
};

SInputs MakeInputs(std::mt19937& random, uint32_t count, uint32_t misalign, uint32_t pattern)
{
    SInputs in;
    const auto byte = [&random] { return uint8_t(random() & 0xFF); };
    in.dst.resize(2 * kGuard + misalign + 4 * 64);
    in.src.resize(misalign + 4 * 64);
    in.alpha.resize(misalign + 64);
    for (auto* bytes : {&in.dst, &in.src, &in.alpha})
        for (uint8_t& b : *bytes)
            b = byte();
    for (uint32_t i = 0; i < count; ++i)
        if (pattern % 2 == 0)
            in.alpha[misalign + i] = kEdgeAlphas[(i + pattern) % std::size(kEdgeAlphas)];
    // The bits above the pixel must be ignored, so they are seldom clear.
    in.value = uint32_t(random());
    in.alphaValue = kEdgeAlphas[pattern % std::size(kEdgeAlphas)] | (pattern % 3 == 0 ? 0xAB00u : 0);
    const uint32_t level = kEdgeAlphas[(pattern * 7 + 3) % std::size(kEdgeAlphas)];
    for (uint32_t a = 0; a < 256; ++a)
        in.opacityRow[a] = a * level / 255;
    static const std::vector<uint8_t> tables = [] {
        std::vector<uint8_t> both(2 * 65536);
        for (uint32_t i = 0; i < 65536; ++i) {
            both[i] = uint8_t(i * 7 + 1);
            both[65536 + i] = uint8_t(i * 13 + (i >> 8));
        }
        return both;
    }();
    in.table8A = tables.data();
    in.table8B = tables.data() + 65536;
    for (uint16_t& p : in.palette565)
        p = uint16_t(random());
    return in;
}

SBlitArgs ArgsFor(SInputs& in)
{
    SBlitArgs args;
    args.tables.opacityRow = in.opacityRow.data();
    args.tables.blendTable8A = in.table8A;
    args.tables.blendTable8B = in.table8B;
    args.tables.palette565 = in.palette565.data();
    return args;
}

uint16_t Get16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}
void Put16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

// What a row makes of the run, pixel by pixel.
void ReferenceRow(KernelRow row, const SInputs& in, uint8_t* d, const uint8_t* s, const uint8_t* alpha, uint32_t n)
{
    using enum KernelRow;
    const uint32_t r = uint32_t(row);
    const uint32_t v8 = in.value & 0xFF;
    const uint16_t v16 = uint16_t(in.value);
    const uint8_t v24[3] = {uint8_t(in.value), uint8_t(in.value >> 8), uint8_t(in.value >> 16)};
    const uint32_t av = in.alphaValue & 0xFF;
    const uint32_t opacity = in.opacityRow[255];
    const bool literal = r % 2 == 0;
    for (uint32_t i = 0; i < n; ++i) {
        if (r <= uint32_t(LookupASwapped8Fill)) {
            const uint32_t sv = literal ? s[i] : v8;
            const uint8_t* a = in.table8A;
            const uint8_t* b = in.table8B;
            switch (row) {
            case Copy8:
            case Fill8:
                d[i] = uint8_t(sv);
                break;
            case LookupA8:
            case LookupA8Fill:
                d[i] = a[d[i] * 256 + sv];
                break;
            case LookupB8:
            case LookupB8Fill:
                d[i] = b[d[i] * 256 + sv];
                break;
            case LookupBSwapped8:
            case LookupBSwapped8Fill:
                d[i] = b[sv * 256 + d[i]];
                break;
            default:
                d[i] = a[sv * 256 + d[i]];
                break;
            }
        } else if (r <= uint32_t(ScaledAlphaBlend16GroupFill)) {
            const uint16_t sv = literal ? Get16(s + 2 * i) : v16;
            const uint16_t dv = Get16(d + 2 * i);
            const bool grouped = r >= uint32_t(AlphaBlend16Group) && i < (n & ~3u);
            const uint32_t base = grouped ? r - 6 : (r >= uint32_t(AlphaBlend16Group) ? r - 6 : r);
            uint32_t weight = 0;
            switch (KernelRow(base)) {
            case Copy16:
            case Fill16:
                Put16(d + 2 * i, sv);
                continue;
            case AlphaBlend16:
                weight = alpha[i];
                break;
            case AlphaBlend16Fill:
                weight = av;
                break;
            case OpacityBlend16:
            case OpacityBlend16Fill:
                weight = opacity;
                break;
            case ScaledAlphaBlend16:
                weight = grouped ? (alpha[i] * opacity) >> 8 : in.opacityRow[alpha[i]];
                break;
            default:
                weight = in.opacityRow[av];
                break;
            }
            Put16(d + 2 * i, grouped ? RefRounded565(dv, sv, weight) : Ref565(dv, sv, weight));
        } else {
            const uint8_t* sv = literal ? s + 3 * i : v24;
            uint32_t weight = 0;
            switch (row) {
            case Copy24:
            case Fill24:
                std::memcpy(d + 3 * i, sv, 3);
                continue;
            case AlphaBlend24:
                weight = alpha[i];
                break;
            case AlphaBlend24Fill:
                weight = av;
                break;
            case OpacityBlend24:
            case OpacityBlend24Fill:
                weight = opacity;
                break;
            case ScaledAlphaBlend24:
                weight = in.opacityRow[alpha[i]];
                break;
            default:
                weight = in.opacityRow[av];
                break;
            }
            for (uint32_t c = 0; c < 3; ++c)
                d[3 * i + c] = RefTrunc(d[3 * i + c], sv[c], weight);
        }
    }
}

struct SRowCase {
    KernelSet set;
    KernelRow row;
};

std::string RowCaseName(const testing::TestParamInfo<SRowCase>& info)
{
    return std::string(info.param.set == KernelSet::Sse2 ? "Sse2" : "Plain") + "Row"
        + std::to_string(uint32_t(info.param.row));
}

std::vector<SRowCase> AllRowCases()
{
    std::vector<SRowCase> cases;
    for (KernelSet set : {KernelSet::Plain, KernelSet::Sse2})
        for (uint32_t r = 0; r < kKernelRowCount; ++r)
            cases.push_back({set, KernelRow(r)});
    return cases;
}

class KernelRows : public testing::TestWithParam<SRowCase> {};

TEST_P(KernelRows, EveryCountWritesItsFormulaAndNothingElse)
{
    const auto [set, row] = GetParam();
    std::mt19937 random(uint32_t(row) * 31 + 7);
    for (uint32_t n = 1; n < kKernelEntries; ++n)
        for (uint32_t misalign = 0; misalign < 4; ++misalign)
            for (uint32_t pattern = 0; pattern < 3; ++pattern) {
                SInputs in = MakeInputs(random, n, misalign, pattern);
                const SBlitArgs args = ArgsFor(in);
                std::vector<uint8_t> expected = in.dst;
                uint8_t* start = in.dst.data() + kGuard + misalign;
                ReferenceRow(row, in, expected.data() + kGuard + misalign, in.src.data() + misalign,
                             in.alpha.data() + misalign, n);
                SRun run;
                run.dst = start;
                run.src = in.src.data() + misalign;
                run.alpha = in.alpha.data() + misalign;
                run.value = in.value;
                run.alphaValue = in.alphaValue;
                BlitKernelTable(set)[uint32_t(row)][n](args, run, n);
                ASSERT_EQ(in.dst, expected) << "count " << n << " misalign " << misalign << " pattern " << pattern;
            }
}

TEST_P(KernelRows, EntryZeroDoesNothing)
{
    const auto [set, row] = GetParam();
    std::mt19937 random(5);
    SInputs in = MakeInputs(random, 0, 0, 0);
    const SBlitArgs args = ArgsFor(in);
    const std::vector<uint8_t> before = in.dst;
    SRun run;
    run.dst = in.dst.data() + kGuard;
    run.src = in.src.data();
    run.alpha = in.alpha.data();
    BlitKernelTable(set)[uint32_t(row)][0](args, run, 0);
    EXPECT_EQ(in.dst, before);
}

INSTANTIATE_TEST_SUITE_P(All, KernelRows, testing::ValuesIn(AllRowCases()), RowCaseName);

TEST(KernelTable, Sse2AndPlainTablesWriteIdenticalBytes)
{
    std::mt19937 random(99);
    for (uint32_t r = uint32_t(KernelRow::AlphaBlend16Group); r <= uint32_t(KernelRow::ScaledAlphaBlend16GroupFill);
         ++r)
        for (uint32_t n = 1; n < kKernelEntries; ++n)
            for (uint32_t trial = 0; trial < 8; ++trial) {
                SInputs in = MakeInputs(random, n, trial % 4, trial);
                std::vector<uint8_t> other = in.dst;
                const SBlitArgs args = ArgsFor(in);
                SRun run;
                run.src = in.src.data();
                run.alpha = in.alpha.data();
                run.value = in.value;
                run.alphaValue = in.alphaValue;
                run.dst = in.dst.data() + kGuard + trial % 4;
                BlitKernelTable(KernelSet::Plain)[r][n](args, run, n);
                run.dst = other.data() + kGuard + trial % 4;
                BlitKernelTable(KernelSet::Sse2)[r][n](args, run, n);
                ASSERT_EQ(in.dst, other) << "row " << r << " count " << n;
            }
}

TEST(KernelTable, LookupRowsWithoutTheirTableDrawNothingAndReportOnce)
{
    ResetMissingTableReportsForTesting();
    std::mt19937 random(3);
    SInputs in = MakeInputs(random, 10, 0, 0);
    SBlitArgs args = ArgsFor(in);
    args.tables.blendTable8A = nullptr;
    const std::vector<uint8_t> before = in.dst;
    SRun run;
    run.dst = in.dst.data() + kGuard;
    run.src = in.src.data();
    for (KernelRow row : {KernelRow::LookupA8, KernelRow::LookupASwapped8Fill})
        for (uint32_t n : {3u, 40u})
            BlitKernelTable()[uint32_t(row)][n](args, run, n);
    EXPECT_EQ(in.dst, before);
    EXPECT_EQ(MissingTableReports(MissingTable::BlendTable8A), 1u);
    EXPECT_EQ(MissingTableReports(MissingTable::BlendTable8B), 0u);
}

TEST(KernelTable, IdentityTablesKeepTheDestinationOrTakeTheSource)
{
    // Entry [x * 256 + y] = x: destination-first keeps d, source-first gives s.
    std::vector<uint8_t> table(65536);
    for (uint32_t i = 0; i < 65536; ++i)
        table[i] = uint8_t(i >> 8);
    SBlitArgs args;
    args.tables.blendTable8A = table.data();
    uint8_t dst[5] = {1, 2, 3, 4, 5};
    const uint8_t src[5] = {9, 8, 7, 6, 5};
    SRun run;
    run.dst = dst;
    run.src = src;
    BlitKernelTable()[uint32_t(KernelRow::LookupA8)][5](args, run, 5);
    EXPECT_EQ(std::vector<uint8_t>(dst, dst + 5), (std::vector<uint8_t>{1, 2, 3, 4, 5}));
    BlitKernelTable()[uint32_t(KernelRow::LookupASwapped8)][5](args, run, 5);
    EXPECT_EQ(std::vector<uint8_t>(dst, dst + 5), (std::vector<uint8_t>{9, 8, 7, 6, 5}));
}

struct SListCase {
    ConversionList list;
    uint32_t pixelSize;
};

std::string ListCaseName(const testing::TestParamInfo<SListCase>& info)
{
    return "List" + std::to_string(uint32_t(info.param.list));
}

class ConversionLists : public testing::TestWithParam<SListCase> {};

// Both kernel sets, every count and misalignment.
TEST_P(ConversionLists, EveryCountWidensLikeTheTables)
{
    const auto [list, size] = GetParam();
    const uint32_t l = uint32_t(list);
    std::mt19937 random(l + 1);
    for (KernelSet set : {KernelSet::Plain, KernelSet::Sse2})
        for (uint32_t n = 1; n < kKernelEntries; ++n)
            for (uint32_t misalign = 0; misalign < 4; ++misalign) {
                SInputs in = MakeInputs(random, n, misalign, n);
                const SBlitArgs args = ArgsFor(in);
                std::vector<uint8_t> expected = in.dst;
                const bool literal = l % 2 == 0;
                const uint8_t* src = in.src.data() + misalign;
                const uint8_t* alpha = in.alpha.data() + misalign;
                for (uint32_t i = 0; i < n; ++i) {
                    uint8_t* d = expected.data() + kGuard + misalign + size * i;
                    if (list == ConversionList::PaletteCopy8To16 || list == ConversionList::PaletteFill8To16) {
                        Put16(d, in.palette565[literal ? src[i] : in.value & 0xFF]);
                        continue;
                    }
                    const uint16_t p = literal ? Get16(src + 2 * i) : uint16_t(in.value);
                    d[0] = uint8_t(Expand5To8[p & 31]);
                    d[1] = uint8_t(Expand6To8[(p >> 5) & 63]);
                    d[2] = uint8_t(Expand5To8[p >> 11]);
                    if (size == 4)
                        d[3] = list == ConversionList::Copy565AlphaTo32 ? alpha[i]
                            : list == ConversionList::Fill565AlphaTo32  ? uint8_t(in.alphaValue)
                                                                        : 255;
                }
                SRun run;
                run.dst = in.dst.data() + kGuard + misalign;
                run.src = src;
                run.alpha = alpha;
                run.value = in.value;
                run.alphaValue = in.alphaValue;
                ConversionKernels(set)[l][n](args, run, n);
                ASSERT_EQ(in.dst, expected)
                    << "count " << n << " misalign " << misalign << (set == KernelSet::Sse2 ? " SSE2" : " plain");
            }
}

INSTANTIATE_TEST_SUITE_P(
    All, ConversionLists,
    testing::Values(SListCase{ConversionList::PaletteCopy8To16, 2}, SListCase{ConversionList::PaletteFill8To16, 2},
                    SListCase{ConversionList::Copy565To32, 4}, SListCase{ConversionList::Fill565To32, 4},
                    SListCase{ConversionList::Copy565AlphaTo32, 4}, SListCase{ConversionList::Fill565AlphaTo32, 4},
                    SListCase{ConversionList::Copy565To24, 3}, SListCase{ConversionList::Fill565To24, 3},
                    SListCase{ConversionList::Copy565AlphaTo24, 3}, SListCase{ConversionList::Fill565AlphaTo24, 3}),
    ListCaseName);

TEST(KernelRowFunctions, IndexZeroAndBlackLeaveTheDestination)
{
    uint8_t palette[768];
    for (uint32_t i = 0; i < 768; ++i)
        palette[i] = uint8_t(i);
    SBlitArgs args;
    args.tables.palette = palette;
    const uint8_t indices[3] = {0, 2, 0};
    uint8_t to24[9], to32[12];
    std::memset(to24, 0xEE, sizeof(to24));
    std::memset(to32, 0xEE, sizeof(to32));
    PaletteRowTo24(args, to24, indices, 3);
    PaletteRowTo32(args, to32, indices, 3);
    EXPECT_EQ(Hex(to24), "EEEEEE060708EEEEEE");
    EXPECT_EQ(Hex(to32), "EEEEEEEE060708FFEEEEEEEE");

    const uint8_t pixels[4] = {0x00, 0x00, 0x0B, 0x58}; // black, then red 11 green 0 blue 11
    uint8_t skip[6], row32[8];
    std::memset(skip, 0xEE, sizeof(skip));
    Row565To24SkipBlack(args, skip, pixels, 2);
    Row565To32(args, row32, pixels, 2);
    EXPECT_EQ(Hex(skip), "EEEEEE5B005B");
    EXPECT_EQ(Hex(row32), "000000FF5B005BFF");
}

TEST(KernelLookupTables, WideningIsTheNearestLevelExceptRed11AndClampingSaturates)
{
    for (uint32_t i = 0; i < 32; ++i)
        EXPECT_EQ(Expand5To8[i], i == 11 ? 91 : std::lround(i * 255.0 / 31)) << i;
    for (uint32_t i = 0; i < 64; ++i)
        EXPECT_EQ(Expand6To8[i], std::lround(i * 255.0 / 63)) << i;
    for (uint32_t i = 0; i < 512; ++i)
        ASSERT_EQ(ClampTable512[i], std::min(i, 255u)) << i;
}

TEST(KernelChoice, TheHookForcesPlainAndGivesTheChoiceBack)
{
    const KernelSet before = ChosenKernelSet();
    {
        CKernelSetGuard plain(KernelForce::Plain);
        EXPECT_EQ(ChosenKernelSet(), KernelSet::Plain);
        EXPECT_EQ(&BlitKernelTable(), &BlitKernelTable(KernelSet::Plain));
    }
    EXPECT_EQ(ChosenKernelSet(), before);
    if (plat::HasSse2() && !plat::PlainKernelsRequested()) {
        EXPECT_EQ(before, KernelSet::Sse2);
    }
}

} // namespace
