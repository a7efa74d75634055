#pragma once
// The pixel kernel table. A run-length row is a sequence of runs of 1 to 63
// pixels; a decoder writes each run with two index operations and one call:
// BlitKernelTable()[row][count]. Entry 0 of every row does nothing; in copy
// and fill rows entries 1 to 16 are written for their count (the loop
// unrolls), the rest share the row's general loop. Rows come in pairs: the even row takes a literal run
// (pixels in SRun::src), the odd row the matching repeat run (SRun::value).
//
// The rows that blend groups of four RGB565 pixels (Alpha/Opacity/Scaled
// ...16Group) and the RGB565 to 32-bit lists exist twice: a plain form, which
// defines the result, and an SSE2 form giving the same bytes. Which form the tables hold is chosen once
// (ChosenKernelSet) and can be forced to plain by OMBRISALT_PLAIN_KERNELS=1.

#include "blit/BlitArgs.h"

#include <array>
#include <cstdint>

enum class KernelRow : uint8_t {
    Copy8,        // the source byte
    Fill8,        // the value's low byte
    LookupA8,     // BlendTable8A[dst * 256 + src]
    LookupA8Fill, // BlendTable8A[dst * 256 + value]
    LookupB8,     // BlendTable8B[dst * 256 + src]
    LookupB8Fill,
    LookupBSwapped8, // BlendTable8B[src * 256 + dst]
    LookupBSwapped8Fill,
    LookupASwapped8, // BlendTable8A[src * 256 + dst]
    LookupASwapped8Fill,
    Copy16,
    Fill16,
    AlphaBlend16,     // BlendPixel565(dst, src, alpha byte)
    AlphaBlend16Fill, // BlendPixel565(dst, value, alphaValue)
    OpacityBlend16,   // BlendPixel565(dst, src, opacityRow[255])
    OpacityBlend16Fill,
    ScaledAlphaBlend16,     // BlendPixel565(dst, src, opacityRow[alpha byte])
    ScaledAlphaBlend16Fill, // BlendPixel565(dst, value, opacityRow[alphaValue])
    AlphaBlend16Group,      // as AlphaBlend16, whole groups of four rounded
    AlphaBlend16GroupFill,
    OpacityBlend16Group,
    OpacityBlend16GroupFill,
    ScaledAlphaBlend16Group, // groups weigh (alpha * opacity) >> 8
    ScaledAlphaBlend16GroupFill,
    Copy24,
    Fill24,
    AlphaBlend24, // BlendRgbTrunc(dst, src, alpha byte)
    AlphaBlend24Fill,
    OpacityBlend24, // BlendRgbTrunc(dst, src, opacityRow[255])
    OpacityBlend24Fill,
    ScaledAlphaBlend24, // BlendRgbTrunc(dst, src, opacityRow[alpha byte])
    ScaledAlphaBlend24Fill,
};
inline constexpr uint32_t kKernelRowCount = 32;

// Runs whose source and destination formats differ; every entry from 1 to 63
// is the list's general loop, entry 0 does nothing.
enum class ConversionList : uint8_t {
    PaletteCopy8To16, // palette565[index]; index 0 is drawn like any other
    PaletteFill8To16,
    Copy565To32, // B, G, R, 255
    Fill565To32,
    Copy565AlphaTo32, // B, G, R, alpha byte
    Fill565AlphaTo32,
    Copy565To24,
    Fill565To24,
    Copy565AlphaTo24, // the alpha is ignored
    Fill565AlphaTo24,
};
inline constexpr uint32_t kConversionListCount = 10;

inline constexpr uint32_t kKernelEntries = 64;
using KernelRowEntries = std::array<RunKernel, kKernelEntries>;
using KernelTable = std::array<KernelRowEntries, kKernelRowCount>;
using ConversionKernelLists = std::array<KernelRowEntries, kConversionListCount>;

enum class KernelSet : uint8_t { Plain, Sse2 };

// The set the process uses: SSE2 when the processor has it and neither the
// environment switch nor the test hook asks for plain. Decided and logged on
// first call.
KernelSet ChosenKernelSet();
// Test hook: Plain or Sse2 forces that set for later calls (Sse2 only takes
// effect where the processor has it); the return value is the previous force.
enum class KernelForce : uint8_t { None, Plain, Sse2 };
KernelForce ForceKernelSetForTesting(KernelForce force);

const KernelTable& BlitKernelTable(KernelSet set);
const ConversionKernelLists& ConversionKernels(KernelSet set);
inline const KernelTable& BlitKernelTable()
{
    return BlitKernelTable(ChosenKernelSet());
}
inline const ConversionKernelLists& ConversionKernels()
{
    return ConversionKernels(ChosenKernelSet());
}

inline RunKernel GetKernel(KernelRow row, uint32_t count)
{
    return BlitKernelTable()[uint32_t(row)][count];
}

// Row functions, called once per destination row with the row's width.
// Index 0 leaves the destination pixel unchanged.
void PaletteRowTo24(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count);
void PaletteRowTo32(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count);
// B, G, R, 255 for every pixel.
void Row565To32(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count);
// B, G, R, except that a source pixel 0 leaves the destination unchanged.
void Row565To24SkipBlack(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count);
