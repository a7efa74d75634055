#include "blit/RunLengthRows.h"

#include <array>
#include <cstring>

namespace {

uint32_t ReadU32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// A repeat value: exactly P bytes, little-endian, so nothing past the
// stream is read.
template <uint32_t P>
inline uint32_t ReadValue(const uint8_t* p)
{
    uint32_t v = p[0];
    if constexpr (P > 1)
        v |= uint32_t(p[1]) << 8;
    if constexpr (P > 2)
        v |= uint32_t(p[2]) << 16;
    if constexpr (P > 3)
        v |= uint32_t(p[3]) << 24;
    return v;
}

enum class Kernels : uint8_t { Table, Conversion };

struct SFamily {
    uint32_t sourceBytes;
    uint32_t destinationBytes;
    bool alpha;
    Kernels kernels;
    uint32_t literal; // KernelRow or ConversionList
    uint32_t fill;
};

constexpr SFamily Row(uint32_t p, uint32_t d, bool alpha, KernelRow literal, KernelRow fill)
{
    return {p, d, alpha, Kernels::Table, uint32_t(literal), uint32_t(fill)};
}

constexpr SFamily List(uint32_t p, uint32_t d, bool alpha, ConversionList literal, ConversionList fill)
{
    return {p, d, alpha, Kernels::Conversion, uint32_t(literal), uint32_t(fill)};
}

using enum KernelRow;
using enum ConversionList;
constexpr std::array<SFamily, kRunLengthFamilyCount> kFamilies = {{
    Row(1, 1, false, Copy8, Fill8),
    Row(1, 1, false, LookupA8, LookupA8Fill),
    Row(1, 1, false, LookupB8, LookupB8Fill),
    Row(1, 1, false, LookupBSwapped8, LookupBSwapped8Fill),
    Row(1, 1, false, LookupASwapped8, LookupASwapped8Fill),
    List(1, 2, false, PaletteCopy8To16, PaletteFill8To16),
    Row(2, 2, false, Copy16, Fill16),
    Row(2, 2, false, OpacityBlend16Group, OpacityBlend16GroupFill),
    Row(2, 2, true, AlphaBlend16Group, AlphaBlend16GroupFill),
    Row(2, 2, true, ScaledAlphaBlend16Group, ScaledAlphaBlend16GroupFill),
    Row(2, 2, false, OpacityBlend16, OpacityBlend16Fill),
    Row(2, 2, true, AlphaBlend16, AlphaBlend16Fill),
    Row(2, 2, true, ScaledAlphaBlend16, ScaledAlphaBlend16Fill),
    List(2, 4, false, Copy565To32, Fill565To32),
    List(2, 4, true, Copy565AlphaTo32, Fill565AlphaTo32),
    List(2, 3, false, Copy565To24, Fill565To24),
    List(2, 3, true, Copy565AlphaTo24, Fill565AlphaTo24),
    Row(3, 3, false, Copy24, Fill24),
    Row(3, 3, false, OpacityBlend24, OpacityBlend24Fill),
    Row(3, 3, true, AlphaBlend24, AlphaBlend24Fill),
    Row(3, 3, true, ScaledAlphaBlend24, ScaledAlphaBlend24Fill),
    Row(3, 4, false, Copy24, Fill24),
    Row(3, 4, false, OpacityBlend24, OpacityBlend24Fill),
    Row(3, 4, true, AlphaBlend24, AlphaBlend24Fill),
    Row(3, 4, true, ScaledAlphaBlend24, ScaledAlphaBlend24Fill),
}};
static_assert(std::size(kFamilies) == kRunLengthFamilyCount);

struct SKernelPair {
    const KernelRowEntries* literal;
    const KernelRowEntries* fill;
};

SKernelPair KernelsOf(const SFamily& family)
{
    if (family.kernels == Kernels::Table) {
        const KernelTable& table = BlitKernelTable();
        return {&table[family.literal], &table[family.fill]};
    }
    const ConversionKernelLists& lists = ConversionKernels();
    return {&lists[family.literal], &lists[family.fill]};
}

// Draws a literal run of n pixels at x. Source pixels wider than their
// destination's colour part (24-bit streams into 4-byte pixels) go one at a
// time, so each destination pixel keeps its fourth byte.
template <uint32_t P, uint32_t D>
inline void Literal(const SBlitArgs& args, const SKernelPair& k, uint8_t* dstRow, int32_t x, const uint8_t* s,
                    const uint8_t* a, uint32_t n)
{
    SRun run;
    run.dst = dstRow + size_t(x) * D;
    run.src = s;
    run.alpha = a;
    if constexpr (P == 3 && D == 4) {
        for (uint32_t i = 0; i < n; ++i, run.dst += 4, run.src += 3, run.alpha += a ? 1 : 0)
            (*k.literal)[1](args, run, 1);
    } else {
        (*k.literal)[n](args, run, n);
    }
}

template <uint32_t P, uint32_t D>
inline void Fill(const SBlitArgs& args, const SKernelPair& k, uint8_t* dstRow, int32_t x, uint32_t value,
                 uint32_t alpha, uint32_t n)
{
    SRun run;
    run.dst = dstRow + size_t(x) * D;
    run.value = value;
    run.alphaValue = alpha;
    if constexpr (P == 3 && D == 4) {
        for (uint32_t i = 0; i < n; ++i, run.dst += 4)
            (*k.fill)[1](args, run, 1);
    } else {
        (*k.fill)[n](args, run, n);
    }
}

template <uint32_t P, uint32_t D, bool Alpha>
void DecodeWhole(const SBlitArgs& args, const SKernelPair& k, const uint8_t* s, const uint8_t* a, uint8_t* dstRow,
                 int32_t left, int32_t right)
{
    int32_t x = left;
    while (x < right) {
        const uint8_t c = *s++;
        const uint32_t n = c & 0x3F;
        if (c & kRunSkip) {
            x += c & 0x7F;
        } else if (c & kRunCopy) {
            Literal<P, D>(args, k, dstRow, x, s, a, n);
            s += n * P;
            if constexpr (Alpha)
                a += n;
            x += int32_t(n);
        } else {
            Fill<P, D>(args, k, dstRow, x, ReadValue<P>(s), Alpha ? *a : 0, n);
            s += P;
            if constexpr (Alpha)
                ++a;
            x += int32_t(n);
        }
    }
}

template <uint32_t P, uint32_t D, bool Alpha>
void DecodeClipping(const SBlitArgs& args, const SKernelPair& k, const uint8_t* s, const uint8_t* a, int32_t sourceLeft,
                    uint8_t* dstRow, int32_t left, int32_t right)
{
    int32_t x = left - sourceLeft;
    while (x < right) {
        const uint8_t c = *s++;
        int32_t n = c & 0x3F;
        if (c & kRunSkip) {
            x += c & 0x7F;
            continue;
        }
        if (c & kRunCopy) {
            if (x < left) {
                const int32_t cut = std::min(left - x, n);
                x += cut;
                n -= cut;
                s += size_t(cut) * P;
                if constexpr (Alpha)
                    a += cut;
            }
            if (n > 0) {
                const int32_t end = std::min(x + n, right);
                const int32_t len = end - x;
                Literal<P, D>(args, k, dstRow, x, s, a, uint32_t(len));
                // The rest of a run cut at the right edge is never read:
                // decoding of the row stops there.
                s += size_t(len) * P;
                if constexpr (Alpha)
                    a += len;
                x = end;
            }
            continue;
        }
        if (x < left) {
            const int32_t cut = std::min(left - x, n);
            x += cut;
            n -= cut;
        }
        if (n > 0) {
            const int32_t end = std::min(x + n, right);
            Fill<P, D>(args, k, dstRow, x, ReadValue<P>(s), Alpha ? *a : 0, uint32_t(end - x));
            x = end;
        }
        s += P;
        if constexpr (Alpha)
            ++a;
    }
}

template <uint32_t P, uint32_t D, bool Alpha>
void Decode(RowForm form, const SBlitArgs& args, const SKernelPair& k, SRunLengthRow row, int32_t sourceLeft,
            uint8_t* dstRow, int32_t left, int32_t right)
{
    if (form == RowForm::Whole)
        DecodeWhole<P, D, Alpha>(args, k, row.colour, row.alpha, dstRow, left, right);
    else
        DecodeClipping<P, D, Alpha>(args, k, row.colour, row.alpha, sourceLeft, dstRow, left, right);
}

} // namespace

uint32_t RunLengthSourceBytes(RunLengthFamily family)
{
    return kFamilies[uint32_t(family)].sourceBytes;
}

uint32_t RunLengthDestinationBytes(RunLengthFamily family)
{
    return kFamilies[uint32_t(family)].destinationBytes;
}

bool RunLengthHasAlpha(RunLengthFamily family)
{
    return kFamilies[uint32_t(family)].alpha;
}

void DecodeRunLengthRow(RunLengthFamily family, RowForm form, const SBlitArgs& args, SRunLengthRow row,
                        int32_t sourceLeft, uint8_t* dstRow, int32_t left, int32_t right)
{
    const SFamily& f = kFamilies[uint32_t(family)];
    const SKernelPair k = KernelsOf(f);
    switch (f.sourceBytes * 16 + f.destinationBytes) {
    case 0x11:
        Decode<1, 1, false>(form, args, k, row, sourceLeft, dstRow, left, right);
        break;
    case 0x12:
        Decode<1, 2, false>(form, args, k, row, sourceLeft, dstRow, left, right);
        break;
    case 0x22:
        if (f.alpha)
            Decode<2, 2, true>(form, args, k, row, sourceLeft, dstRow, left, right);
        else
            Decode<2, 2, false>(form, args, k, row, sourceLeft, dstRow, left, right);
        break;
    case 0x23:
        if (f.alpha)
            Decode<2, 3, true>(form, args, k, row, sourceLeft, dstRow, left, right);
        else
            Decode<2, 3, false>(form, args, k, row, sourceLeft, dstRow, left, right);
        break;
    case 0x24:
        if (f.alpha)
            Decode<2, 4, true>(form, args, k, row, sourceLeft, dstRow, left, right);
        else
            Decode<2, 4, false>(form, args, k, row, sourceLeft, dstRow, left, right);
        break;
    case 0x33:
        if (f.alpha)
            Decode<3, 3, true>(form, args, k, row, sourceLeft, dstRow, left, right);
        else
            Decode<3, 3, false>(form, args, k, row, sourceLeft, dstRow, left, right);
        break;
    case 0x34:
        if (f.alpha)
            Decode<3, 4, true>(form, args, k, row, sourceLeft, dstRow, left, right);
        else
            Decode<3, 4, false>(form, args, k, row, sourceLeft, dstRow, left, right);
        break;
    default:
        break;
    }
}

bool ValidateRunLengthBlock(const uint8_t* block, size_t bytes, const uint32_t* rows, uint32_t height, uint32_t width,
                            uint32_t pixelSize, std::vector<uint32_t>* values)
{
    if (!block || bytes < 4 || ReadU32(block) != bytes || (height && !rows) || pixelSize == 0 || pixelSize > 4)
        return false;
    if (values)
        values->assign(height, 0);
    for (uint32_t y = 0; y < height; ++y) {
        size_t at = rows[y];
        if (at < 4 || at > bytes)
            return false;
        uint32_t x = 0, count = 0;
        while (x < width) {
            if (at >= bytes)
                return false;
            const uint8_t c = block[at++];
            const uint32_t n = c & 0x3F;
            if (c & kRunSkip) {
                x += c & 0x7F;
            } else {
                const bool literal = (c & kRunCopy) != 0;
                const size_t need = size_t(literal ? n : 1) * pixelSize;
                if (bytes - at < need)
                    return false;
                at += need;
                count += literal ? n : 1;
                x += n;
            }
            if (x > width)
                return false;
        }
        if (values)
            (*values)[y] = count;
    }
    return true;
}

bool ValidateRunLengthAlphaBlock(const uint8_t* block, size_t bytes, const uint32_t* rows,
                                 const std::vector<uint32_t>& values)
{
    if (!block || bytes < 4 || ReadU32(block) != bytes || (!values.empty() && !rows))
        return false;
    for (size_t y = 0; y < values.size(); ++y)
        if (rows[y] < 4 || rows[y] > bytes || bytes - rows[y] < values[y])
            return false;
    return true;
}
