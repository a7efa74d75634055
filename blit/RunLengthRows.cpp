#include "blit/RunLengthRows.h"

#include "blit/KernelLookupTables.h"
#include "blit/Sse2Lanes.h"

#include <algorithm>
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

// Runs drawn through the kernel table: one call per run.
struct STableRuns {
    const SBlitArgs& args;
    SKernelPair k;

    // Source pixels wider than their destination's colour part (24-bit
    // streams into 4-byte pixels) go one at a time, so each destination
    // pixel keeps its fourth byte.
    template <uint32_t P, uint32_t D>
    void Literal(uint8_t* dst, const uint8_t* s, const uint8_t* a, uint32_t n) const
    {
        SRun run{.dst = dst, .src = s, .alpha = a};
        if constexpr (P == 3 && D == 4) {
            for (uint32_t i = 0; i < n; ++i, run.dst += 4, run.src += 3, run.alpha += a ? 1 : 0)
                (*k.literal)[1](args, run, 1);
        } else {
            (*k.literal)[n](args, run, n);
        }
    }

    template <uint32_t P, uint32_t D>
    void Fill(uint8_t* dst, uint32_t value, uint32_t alpha, uint32_t n) const
    {
        SRun run{.dst = dst, .value = value, .alphaValue = alpha};
        if constexpr (P == 3 && D == 4) {
            for (uint32_t i = 0; i < n; ++i, run.dst += 4)
                (*k.fill)[1](args, run, 1);
        } else {
            (*k.fill)[n](args, run, n);
        }
    }
};

// Runs drawn through a blit type's own kernel pair.
struct SCallerRuns {
    const SBlitArgs& args;
    const SPlaneKernels& kernels;
    mutable bool literalDrawn = false;

    template <uint32_t P, uint32_t D>
    void Literal(uint8_t* dst, const uint8_t* s, const uint8_t* a, uint32_t n) const
    {
        kernels.literal(args, SRun{.dst = dst, .src = s, .alpha = a}, n);
        literalDrawn = true;
    }

    template <uint32_t P, uint32_t D>
    void Fill(uint8_t* dst, uint32_t value, uint32_t alpha, uint32_t n) const
    {
        kernels.repeat(args, SRun{.dst = dst, .value = value, .alphaValue = alpha}, n);
    }
};

#if defined(__SSE2__)
// RGB565 into 32 bits on SSE2: the bytes of the conversion lists' kernels
// (Copy565To32 and its kin), drawn in place instead of through a call per
// run, which the short runs of sprites pay for.
template <bool Alpha>
struct SWidenRuns {
    template <uint32_t P, uint32_t D>
    [[gnu::always_inline]] void Literal(uint8_t* dst, const uint8_t* s, const uint8_t* a, uint32_t n) const
    {
        Widen565Run<Alpha>(dst, s, a, n);
    }

    template <uint32_t P, uint32_t D>
    [[gnu::always_inline]] void Fill(uint8_t* dst, uint32_t value, uint32_t alpha, uint32_t n) const
    {
        uint8_t p[4];
        Widen565(uint16_t(value), p);
        p[3] = Alpha ? uint8_t(alpha) : 255;
        uint32_t pixel;
        std::memcpy(&pixel, p, 4);
        FillPixel32Lanes(dst, pixel, n);
    }
};
#endif

template <uint32_t P, uint32_t D, bool Alpha, typename Runs>
void DecodeWhole(const Runs& runs, const uint8_t* s, const uint8_t* a, uint8_t* dstRow, int32_t left, int32_t right)
{
    int32_t x = left;
    while (x < right) {
        const uint8_t c = *s++;
        const uint32_t n = c & 0x3F;
        if (c & kRunSkip) {
            x += c & 0x7F;
        } else if (c & kRunCopy) {
            runs.template Literal<P, D>(dstRow + size_t(x) * D, s, Alpha ? a : nullptr, n);
            s += n * P;
            if constexpr (Alpha)
                a += n;
            x += int32_t(n);
        } else {
            runs.template Fill<P, D>(dstRow + size_t(x) * D, ReadValue<P>(s), Alpha ? *a : 0, n);
            s += P;
            if constexpr (Alpha)
                ++a;
            x += int32_t(n);
        }
    }
}

template <uint32_t P, uint32_t D, bool Alpha, typename Runs>
void DecodeClipping(const Runs& runs, const uint8_t* s, const uint8_t* a, int32_t sourceLeft, uint8_t* dstRow,
                    int32_t left, int32_t right)
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
                runs.template Literal<P, D>(dstRow + size_t(x) * D, s, Alpha ? a : nullptr, uint32_t(len));
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
            runs.template Fill<P, D>(dstRow + size_t(x) * D, ReadValue<P>(s), Alpha ? *a : 0, uint32_t(end - x));
            x = end;
        }
        s += P;
        if constexpr (Alpha)
            ++a;
    }
}

template <uint32_t P, uint32_t D, bool Alpha, typename Runs>
void DecodeRows(const Runs& runs, RowForm form, const SRunLengthPlane& plane, int32_t top, int32_t bottom,
                int32_t sourceLeft, uint8_t* dstRow, int32_t dstPitch, int32_t left, int32_t right)
{
    const auto alphaRow = [&plane](int32_t y) { return Alpha ? plane.alpha + plane.alphaRows[y] : nullptr; };
    if (form == RowForm::Whole) {
        for (int32_t y = top; y < bottom; ++y, dstRow += dstPitch)
            DecodeWhole<P, D, Alpha>(runs, plane.colour + plane.colourRows[y], alphaRow(y), dstRow, left, right);
    } else {
        for (int32_t y = top; y < bottom; ++y, dstRow += dstPitch)
            DecodeClipping<P, D, Alpha>(runs, plane.colour + plane.colourRows[y], alphaRow(y), sourceLeft, dstRow, left,
                                        right);
    }
}

template <uint32_t P, uint32_t D, bool Alpha>
void Decode(const SFamily& f, const SBlitArgs& args, RowForm form, const SRunLengthPlane& plane, int32_t top,
            int32_t bottom, int32_t sourceLeft, uint8_t* dstRow, int32_t dstPitch, int32_t left, int32_t right)
{
#if defined(__SSE2__)
    if constexpr (P == 2 && D == 4) {
        if (ChosenKernelSet() == KernelSet::Sse2) {
            DecodeRows<P, D, Alpha>(SWidenRuns<Alpha>{}, form, plane, top, bottom, sourceLeft, dstRow, dstPitch, left,
                                    right);
            return;
        }
    }
#endif
    DecodeRows<P, D, Alpha>(STableRuns{args, KernelsOf(f)}, form, plane, top, bottom, sourceLeft, dstRow, dstPitch,
                            left, right);
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

void DecodeRunLengthRows(RunLengthFamily family, RowForm form, const SBlitArgs& args, const SRunLengthPlane& plane,
                         int32_t top, int32_t bottom, int32_t sourceLeft, int32_t left, int32_t right)
{
    const SFamily& f = kFamilies[uint32_t(family)];
    if (!plane.colour || (f.alpha && !plane.alpha))
        return;
    const auto decode = [&]<uint32_t P, uint32_t D>() {
        if (f.alpha)
            Decode<P, D, true>(f, args, form, plane, top, bottom, sourceLeft, args.dstRow, args.dstPitch, left, right);
        else
            Decode<P, D, false>(f, args, form, plane, top, bottom, sourceLeft, args.dstRow, args.dstPitch, left, right);
    };
    switch (f.sourceBytes * 16 + f.destinationBytes) {
    case 0x11:
        decode.template operator()<1, 1>();
        break;
    case 0x12:
        decode.template operator()<1, 2>();
        break;
    case 0x22:
        decode.template operator()<2, 2>();
        break;
    case 0x23:
        decode.template operator()<2, 3>();
        break;
    case 0x24:
        decode.template operator()<2, 4>();
        break;
    case 0x33:
        decode.template operator()<3, 3>();
        break;
    case 0x34:
        decode.template operator()<3, 4>();
        break;
    default:
        break;
    }
}

bool DecodeRunLengthRows565(const SPlaneKernels& kernels, RowForm form, const SBlitArgs& args,
                            const SRunLengthPlane& plane, int32_t top, int32_t bottom, int32_t sourceLeft, int32_t left,
                            int32_t right)
{
    if (!plane.colour || !plane.colourRows || (plane.alpha && !plane.alphaRows))
        return false;
    const SCallerRuns runs{args, kernels};
    if (plane.alpha)
        DecodeRows<2, 2, true>(runs, form, plane, top, bottom, sourceLeft, args.dstRow, args.dstPitch, left, right);
    else
        DecodeRows<2, 2, false>(runs, form, plane, top, bottom, sourceLeft, args.dstRow, args.dstPitch, left, right);
    return runs.literalDrawn;
}

void DecodeRunLengthRowsIndex8(const SPlaneKernels& kernels, RowForm form, const SBlitArgs& args,
                               const SRunLengthPlane& plane, int32_t top, int32_t bottom, int32_t sourceLeft,
                               int32_t left, int32_t right)
{
    if (!plane.colour || !plane.colourRows)
        return;
    const SCallerRuns runs{args, kernels};
    DecodeRows<1, 1, false>(runs, form, plane, top, bottom, sourceLeft, args.dstRow, args.dstPitch, left, right);
}

void DecodeRunLengthRow(RunLengthFamily family, RowForm form, const SBlitArgs& args, SRunLengthRow row,
                        int32_t sourceLeft, uint8_t* dstRow, int32_t left, int32_t right)
{
    static constexpr uint32_t kStart = 0;
    SBlitArgs one = args;
    one.dstRow = dstRow;
    one.dstPitch = 0;
    const SRunLengthPlane plane{row.colour, &kStart, row.alpha, &kStart};
    DecodeRunLengthRows(family, form, one, plane, 0, 1, sourceLeft, left, right);
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
