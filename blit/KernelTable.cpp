#include "blit/KernelTable.h"

#include "blit/BlitReport.h"
#include "blit/KernelLookupTables.h"
#include "blit/KernelTable_SSE2.h"
#include "blit/PixelBlends.h"
#include "blit/WidenRows_SSE2.h"
#include "platform/Cpu.h"
#include "platform/Debug.h"

#include <cassert>
#include <cstring>
#include <utility>

namespace {

// Pixels are read and written through memcpy: runs start at any byte.
inline uint16_t Load16(const uint8_t* p)
{
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

inline void Store16(uint8_t* p, uint16_t v)
{
    std::memcpy(p, &v, 2);
}

inline uint8_t Opacity(const SBlitArgs& a)
{
    assert(a.tables.opacityRow);
    return uint8_t(a.tables.opacityRow[255]);
}

inline uint8_t Scaled(const SBlitArgs& a, uint32_t alpha)
{
    assert(a.tables.opacityRow);
    return uint8_t(a.tables.opacityRow[alpha & 0xFF]);
}

enum class Order { DestinationFirst, SourceFirst };

template <Order O, bool Literal>
void Lookup8(const uint8_t* table, MissingTable which, const SRun& r, uint32_t n)
{
    if (!table) {
        ReportMissingTable(which);
        return;
    }
    const uint32_t value = r.value & 0xFF;
    for (uint32_t i = 0; i < n; ++i) {
        const uint32_t d = r.dst[i];
        const uint32_t s = Literal ? r.src[i] : value;
        r.dst[i] = O == Order::DestinationFirst ? table[d * 256 + s] : table[s * 256 + d];
    }
}

// Whole groups of four by the rounded blend, then the rest by BlendPixel565.
// source(i) gives pixel i's colour; groupWeight(i) and tailWeight(i) its alpha.
template <typename Source, typename GroupWeight, typename TailWeight>
inline void Groups565(uint8_t* dst, uint32_t n, Source source, GroupWeight groupWeight, TailWeight tailWeight)
{
    const uint32_t grouped = n & ~3u;
    for (uint32_t i = 0; i < grouped; ++i)
        Store16(dst + 2 * i, BlendPixel565Rounded(Load16(dst + 2 * i), source(i), groupWeight(i)));
    for (uint32_t i = grouped; i < n; ++i)
        Store16(dst + 2 * i, BlendPixel565(Load16(dst + 2 * i), source(i), tailWeight(i)));
}

template <KernelRow R>
inline void RunRow(const SBlitArgs& a, const SRun& r, uint32_t n)
{
    uint8_t* const dst = r.dst;
    const uint16_t value16 = uint16_t(r.value);
    [[maybe_unused]] const auto literal16 = [&r](uint32_t i) { return Load16(r.src + 2 * i); };
    [[maybe_unused]] const auto alphaByte = [&r](uint32_t i) { return r.alpha[i]; };
    using enum KernelRow;

    if constexpr (R == Copy8) {
        std::memcpy(dst, r.src, n);
    } else if constexpr (R == Fill8) {
        std::memset(dst, int(r.value & 0xFF), n);
    } else if constexpr (R == LookupA8 || R == LookupA8Fill) {
        Lookup8<Order::DestinationFirst, R == LookupA8>(a.tables.blendTable8A, MissingTable::BlendTable8A, r, n);
    } else if constexpr (R == LookupB8 || R == LookupB8Fill) {
        Lookup8<Order::DestinationFirst, R == LookupB8>(a.tables.blendTable8B, MissingTable::BlendTable8B, r, n);
    } else if constexpr (R == LookupBSwapped8 || R == LookupBSwapped8Fill) {
        Lookup8<Order::SourceFirst, R == LookupBSwapped8>(a.tables.blendTable8B, MissingTable::BlendTable8B, r, n);
    } else if constexpr (R == LookupASwapped8 || R == LookupASwapped8Fill) {
        Lookup8<Order::SourceFirst, R == LookupASwapped8>(a.tables.blendTable8A, MissingTable::BlendTable8A, r, n);
    } else if constexpr (R == Copy16) {
        std::memcpy(dst, r.src, size_t(n) * 2);
    } else if constexpr (R == Fill16) {
        for (uint32_t i = 0; i < n; ++i)
            Store16(dst + 2 * i, value16);
    } else if constexpr (R == AlphaBlend16) {
        for (uint32_t i = 0; i < n; ++i)
            Store16(dst + 2 * i, BlendPixel565(Load16(dst + 2 * i), literal16(i), r.alpha[i]));
    } else if constexpr (R == AlphaBlend16Fill) {
        BlendRun565(dst, value16, uint8_t(r.alphaValue), n);
    } else if constexpr (R == OpacityBlend16 || R == OpacityBlend16Fill) {
        const uint8_t o = Opacity(a);
        for (uint32_t i = 0; i < n; ++i) {
            const uint16_t s = R == OpacityBlend16 ? literal16(i) : value16;
            Store16(dst + 2 * i, BlendPixel565(Load16(dst + 2 * i), s, o));
        }
    } else if constexpr (R == ScaledAlphaBlend16) {
        for (uint32_t i = 0; i < n; ++i)
            Store16(dst + 2 * i, BlendPixel565(Load16(dst + 2 * i), literal16(i), Scaled(a, r.alpha[i])));
    } else if constexpr (R == ScaledAlphaBlend16Fill) {
        BlendRun565(dst, value16, Scaled(a, r.alphaValue), n);
    } else if constexpr (R == AlphaBlend16Group) {
        Groups565(dst, n, literal16, alphaByte, alphaByte);
    } else if constexpr (R == AlphaBlend16GroupFill) {
        BlendRun565FastPlain(dst, value16, uint8_t(r.alphaValue), n);
    } else if constexpr (R == OpacityBlend16Group) {
        const uint8_t o = Opacity(a);
        const auto weight = [o](uint32_t) { return o; };
        Groups565(dst, n, literal16, weight, weight);
    } else if constexpr (R == OpacityBlend16GroupFill) {
        BlendRun565FastPlain(dst, value16, Opacity(a), n);
    } else if constexpr (R == ScaledAlphaBlend16Group) {
        const uint32_t o = Opacity(a);
        Groups565(
            dst, n, literal16, [&r, o](uint32_t i) { return uint8_t((r.alpha[i] * o) >> 8); },
            [&a, &r](uint32_t i) { return Scaled(a, r.alpha[i]); });
    } else if constexpr (R == ScaledAlphaBlend16GroupFill) {
        BlendRun565FastPlain(dst, value16, Scaled(a, r.alphaValue), n);
    } else if constexpr (R == Copy24) {
        std::memcpy(dst, r.src, size_t(n) * 3);
    } else if constexpr (R == Fill24) {
        const uint8_t bgr[3] = {uint8_t(r.value), uint8_t(r.value >> 8), uint8_t(r.value >> 16)};
        for (uint32_t i = 0; i < n; ++i)
            std::memcpy(dst + 3 * i, bgr, 3);
    } else {
        // The 24-bit blends: one alpha per pixel, from the row's source.
        const uint8_t bgr[3] = {uint8_t(r.value), uint8_t(r.value >> 8), uint8_t(r.value >> 16)};
        constexpr bool literal = R == AlphaBlend24 || R == OpacityBlend24 || R == ScaledAlphaBlend24;
        static_assert(R == AlphaBlend24 || R == AlphaBlend24Fill || R == OpacityBlend24 || R == OpacityBlend24Fill
                      || R == ScaledAlphaBlend24 || R == ScaledAlphaBlend24Fill);
        for (uint32_t i = 0; i < n; ++i) {
            uint32_t alpha;
            if constexpr (R == AlphaBlend24)
                alpha = r.alpha[i];
            else if constexpr (R == AlphaBlend24Fill)
                alpha = r.alphaValue & 0xFF;
            else if constexpr (R == OpacityBlend24 || R == OpacityBlend24Fill)
                alpha = Opacity(a);
            else if constexpr (R == ScaledAlphaBlend24)
                alpha = Scaled(a, r.alpha[i]);
            else
                alpha = Scaled(a, r.alphaValue);
            BlendRgbTrunc(dst + 3 * i, literal ? r.src + 3 * i : bgr, alpha);
        }
    }
}

template <ConversionList L>
inline void RunConversion(const SBlitArgs& a, const SRun& r, uint32_t n)
{
    using enum ConversionList;
    uint8_t* const dst = r.dst;
    if constexpr (L == PaletteCopy8To16 || L == PaletteFill8To16) {
        const uint16_t* palette = a.tables.palette565;
        if (!palette) {
            ReportMissingTable(MissingTable::Palette565);
            return;
        }
        for (uint32_t i = 0; i < n; ++i)
            Store16(dst + 2 * i, palette[L == PaletteCopy8To16 ? r.src[i] : r.value & 0xFF]);
    } else {
        constexpr bool literal = L == Copy565To32 || L == Copy565AlphaTo32 || L == Copy565To24 || L == Copy565AlphaTo24;
        constexpr bool to32 = L == Copy565To32 || L == Fill565To32 || L == Copy565AlphaTo32 || L == Fill565AlphaTo32;
        constexpr bool withAlpha = L == Copy565AlphaTo32 || L == Fill565AlphaTo32;
        constexpr uint32_t size = to32 ? 4 : 3;
        for (uint32_t i = 0; i < n; ++i) {
            uint8_t* p = dst + size * i;
            Widen565(literal ? Load16(r.src + 2 * i) : uint16_t(r.value), p);
            if constexpr (to32)
                p[3] = withAlpha ? (literal ? r.alpha[i] : uint8_t(r.alphaValue)) : 255;
        }
    }
}

void DoNothing(const SBlitArgs&, const SRun&, uint32_t) {}

template <KernelRow R, uint32_t N>
void FixedKernel(const SBlitArgs& a, const SRun& r, uint32_t)
{
    RunRow<R>(a, r, N);
}

template <KernelRow R>
void GeneralKernel(const SBlitArgs& a, const SRun& r, uint32_t n)
{
    RunRow<R>(a, r, n);
}

template <ConversionList L>
void ConversionKernel(const SBlitArgs& a, const SRun& r, uint32_t n)
{
    RunConversion<L>(a, r, n);
}

// Copies and fills gain from a body written for their count; the blends do
// not (measured: the general loop is faster there), so they share one loop.
constexpr bool IsCopyOrFill(KernelRow row)
{
    using enum KernelRow;
    return row == Copy8 || row == Fill8 || row == Copy16 || row == Fill16 || row == Copy24 || row == Fill24;
}

template <KernelRow R, size_t I>
constexpr RunKernel RowEntry()
{
    if constexpr (I == 0)
        return &DoNothing;
    else if constexpr (I <= 16 && IsCopyOrFill(R))
        return &FixedKernel<R, uint32_t(I)>;
    else
        return &GeneralKernel<R>;
}

template <KernelRow R, size_t... I>
constexpr KernelRowEntries MakeRow(std::index_sequence<I...>)
{
    return {{RowEntry<R, I>()...}};
}

template <size_t... R>
constexpr KernelTable MakeTable(std::index_sequence<R...>)
{
    return {{MakeRow<KernelRow(R)>(std::make_index_sequence<kKernelEntries>{})...}};
}

template <ConversionList L>
constexpr KernelRowEntries MakeList()
{
    KernelRowEntries entries{};
    entries[0] = &DoNothing;
    for (uint32_t i = 1; i < kKernelEntries; ++i)
        entries[i] = &ConversionKernel<L>;
    return entries;
}

template <size_t... L>
constexpr ConversionKernelLists MakeLists(std::index_sequence<L...>)
{
    return {{MakeList<ConversionList(L)>()...}};
}

static_assert(uint32_t(KernelRow::ScaledAlphaBlend24Fill) + 1 == kKernelRowCount);
static_assert(uint32_t(ConversionList::Fill565AlphaTo24) + 1 == kConversionListCount);

constexpr KernelTable kPlainTable = MakeTable(std::make_index_sequence<kKernelRowCount>{});
constexpr ConversionKernelLists kConversionLists = MakeLists(std::make_index_sequence<kConversionListCount>{});
static_assert(std::size(kPlainTable) == kKernelRowCount);
static_assert(std::size(kConversionLists) == kConversionListCount);

struct SSse2Row {
    KernelRow row;
    RunKernel kernel;
};
constexpr SSse2Row kSse2Rows[] = {
    {KernelRow::AlphaBlend16Group, &AlphaBlend16GroupSse2},
    {KernelRow::AlphaBlend16GroupFill, &AlphaBlend16GroupFillSse2},
    {KernelRow::OpacityBlend16Group, &OpacityBlend16GroupSse2},
    {KernelRow::OpacityBlend16GroupFill, &OpacityBlend16GroupFillSse2},
    {KernelRow::ScaledAlphaBlend16Group, &ScaledAlphaBlend16GroupSse2},
    {KernelRow::ScaledAlphaBlend16GroupFill, &ScaledAlphaBlend16GroupFillSse2},
};

// The plain table with the group rows' entries 1 to 63 replaced.
constexpr KernelTable kSse2Table = [] {
    KernelTable table = kPlainTable;
    for (const SSse2Row& sse2 : kSse2Rows)
        for (uint32_t i = 1; i < kKernelEntries; ++i)
            table[uint32_t(sse2.row)][i] = sse2.kernel;
    return table;
}();

struct SSse2List {
    ConversionList list;
    RunKernel kernel;
};
constexpr SSse2List kSse2ListKernels[] = {
    {ConversionList::Copy565To32, &Copy565To32Sse2},
    {ConversionList::Fill565To32, &Fill565To32Sse2},
    {ConversionList::Copy565AlphaTo32, &Copy565AlphaTo32Sse2},
    {ConversionList::Fill565AlphaTo32, &Fill565AlphaTo32Sse2},
};

constexpr ConversionKernelLists kSse2Lists = [] {
    ConversionKernelLists lists = kConversionLists;
    for (const SSse2List& sse2 : kSse2ListKernels)
        for (uint32_t i = 1; i < kKernelEntries; ++i)
            lists[uint32_t(sse2.list)][i] = sse2.kernel;
    return lists;
}();

KernelForce g_Force = KernelForce::None;

KernelSet DetectKernelSet()
{
    const bool sse2 = plat::HasSse2();
    const bool plain = plat::PlainKernelsRequested();
    const KernelSet set = sse2 && !plain ? KernelSet::Sse2 : KernelSet::Plain;
    plat::DebugOutput(set == KernelSet::Sse2 ? "Pixel kernels: SSE2\n"
                          : plain            ? "Pixel kernels: plain (OMBRISALT_PLAIN_KERNELS=1)\n"
                                             : "Pixel kernels: plain (no SSE2)\n");
    return set;
}

void WidenRow(uint8_t* dst, const uint8_t* src, uint32_t count, uint32_t size)
{
    for (uint32_t i = 0; i < count; ++i) {
        Widen565(Load16(src + 2 * i), dst + size * i);
        if (size == 4)
            dst[4 * i + 3] = 255;
    }
}

} // namespace

KernelSet ChosenKernelSet()
{
    static const KernelSet detected = DetectKernelSet();
    if (g_Force == KernelForce::Plain)
        return KernelSet::Plain;
    if (g_Force == KernelForce::Sse2 && plat::HasSse2())
        return KernelSet::Sse2;
    return detected;
}

KernelForce ForceKernelSetForTesting(KernelForce force)
{
    return std::exchange(g_Force, force);
}

const KernelTable& BlitKernelTable(KernelSet set)
{
    return set == KernelSet::Sse2 ? kSse2Table : kPlainTable;
}

const ConversionKernelLists& ConversionKernels(KernelSet set)
{
    return set == KernelSet::Sse2 ? kSse2Lists : kConversionLists;
}

void BlendRun565(uint8_t* pixels, uint16_t colour, uint8_t alpha, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i)
        Store16(pixels + 2 * i, BlendPixel565(Load16(pixels + 2 * i), colour, alpha));
}

void BlendRun565FastPlain(uint8_t* pixels, uint16_t colour, uint8_t alpha, uint32_t count)
{
    const auto source = [colour](uint32_t) { return colour; };
    const auto weight = [alpha](uint32_t) { return alpha; };
    Groups565(pixels, count, source, weight, weight);
}

void BlendRun565Fast(uint8_t* pixels, uint16_t colour, uint8_t alpha, uint32_t count)
{
    if (ChosenKernelSet() == KernelSet::Sse2)
        BlendRun565FastSse2(pixels, colour, alpha, count);
    else
        BlendRun565FastPlain(pixels, colour, alpha, count);
}

void PaletteRowTo24(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    if (!args.tables.palette) {
        ReportMissingTable(MissingTable::Palette);
        return;
    }
    for (uint32_t i = 0; i < count; ++i)
        if (src[i] != 0)
            std::memcpy(dst + 3 * i, args.tables.palette + 3 * src[i], 3);
}

void PaletteRowTo32(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    if (!args.tables.palette) {
        ReportMissingTable(MissingTable::Palette);
        return;
    }
    for (uint32_t i = 0; i < count; ++i)
        if (src[i] != 0) {
            std::memcpy(dst + 4 * i, args.tables.palette + 3 * src[i], 3);
            dst[4 * i + 3] = 255;
        }
}

void Row565To32(const SBlitArgs&, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    const uint32_t done = ChosenKernelSet() == KernelSet::Sse2 ? Widen565To32Sse2(dst, src, nullptr, count) : 0;
    WidenRow(dst + 4 * size_t(done), src + 2 * size_t(done), count - done, 4);
}

void Row565To24SkipBlack(const SBlitArgs&, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i) {
        const uint16_t pixel = Load16(src + 2 * i);
        if (pixel != 0)
            Widen565(pixel, dst + 3 * i);
    }
}
