#pragma once
// Run-length rows: the one format, its validator and its row decoders.
//
// Block: u32 total size (these 4 bytes included, little-endian), then the
// rows back to back. A row table of one u32 per frame row gives the byte
// offset of that row's stream from the block's start. A row stream is a
// sequence of packets covering exactly the frame's width (no end marker):
//   0x80 + n          skip n transparent pixels (n 0..127)
//   0x40 + n, pixels  copy: n literal pixels follow (n 0..63)
//   n, pixel          fill: one pixel drawn n times (n 0..63; the pixel is
//                     present even when n is 0)
// Pixels are P bytes, unaligned: 1 (palette index), 2 (RGB565), 3 (blue,
// green, red) or, only while a frame is being built, 4 (blue, green, red,
// alpha). An alpha block has no packets: each row holds one alpha byte per
// literal pixel and one per fill of the colour row it goes with.
//
// Which pixel sizes a finished frame may hold is fixed by its depth and
// run-length kind: kind 2 (five bands) only at 8 bits, kind 4 (two bands)
// at 16 or 24 bits with extra block 3 the alpha block of extra block 4. The
// decoders read exactly those; a 32-bit run-length frame is a build
// intermediate that the bit-depth conversion turns into one of them.
//
// Blocks from outside are validated once, when a frame takes them
// (ValidateRunLengthBlock); the decoders then trust them and never test a
// bound.

#include "blit/BlitArgs.h"
#include "blit/KernelTable.h"

#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr uint8_t kRunSkip = 0x80;
inline constexpr uint8_t kRunCopy = 0x40;
inline constexpr uint32_t kRunMaxSkip = 127;
inline constexpr uint32_t kRunMaxCount = 63;

// Checks a colour block of `bytes` bytes: the size header equals bytes,
// every row starts inside the block after the header, and every row's
// packets reach exactly width pixels without reading past the block. When
// values is given it receives, per row, the number of pixel values the row
// holds (what its alpha row must hold).
[[nodiscard]] bool ValidateRunLengthBlock(const uint8_t* block, size_t bytes, const uint32_t* rows, uint32_t height,
                                          uint32_t width, uint32_t pixelSize, std::vector<uint32_t>* values = nullptr);
// Checks an alpha block against the value counts of its colour block.
[[nodiscard]] bool ValidateRunLengthAlphaBlock(const uint8_t* block, size_t bytes, const uint32_t* rows,
                                               const std::vector<uint32_t>& values);

// Decoder families: the stream's pixels, the destination's, and the kernel
// pair (literal runs, repeat runs) that draws them.
enum class RunLengthFamily : uint8_t {
    Index8Level0,            // Copy8, Fill8
    Index8Level1,            // LookupA8
    Index8Level2,            // LookupB8
    Index8Level3,            // LookupBSwapped8
    Index8Level4,            // LookupASwapped8
    Index8To16,              // PaletteCopy8To16
    Rgb565To16,              // Copy16
    Rgb565OpacityTo16,       // OpacityBlend16Group
    Rgb565AlphaTo16,         // AlphaBlend16Group
    Rgb565ScaledAlphaTo16,   // ScaledAlphaBlend16Group
    Rgb565To32,       // Copy565To32
    Rgb565AlphaTo32,  // Copy565AlphaTo32
    Rgb565To24,       // Copy565To24
    Rgb565AlphaTo24,  // Copy565AlphaTo24 (alpha ignored)
    Rgb24To24,        // Copy24
    Rgb24OpacityTo24, // OpacityBlend24
    Rgb24AlphaTo24,   // AlphaBlend24
    Rgb24ScaledAlphaTo24,
    Rgb24To32, // as the 24-bit ones, into bytes 0-2 of 4-byte pixels
    Rgb24OpacityTo32,
    Rgb24AlphaTo32,
    Rgb24ScaledAlphaTo32,
};
inline constexpr uint32_t kRunLengthFamilyCount = 22;

// Whole: the source rectangle spans the whole row (left 0, right = width),
// so no packet needs a clip test.
enum class RowForm : uint8_t { Clipping, Whole };

// One row of a plane: the colour stream and, for alpha families, the alpha
// stream that goes with it.
struct SRunLengthRow {
    const uint8_t* colour = nullptr;
    const uint8_t* alpha = nullptr;
};

// Draws one row: the row's first pixel lands at column left - sourceLeft of
// dstRow (column 0 of the destination row); columns outside [left, right)
// are not written. Alpha families need row.alpha.
void DecodeRunLengthRow(RunLengthFamily family, RowForm form, const SBlitArgs& args, SRunLengthRow row,
                        int32_t sourceLeft, uint8_t* dstRow, int32_t left, int32_t right);

// The blocks and row tables of one plane (the alpha ones only for alpha
// families).
struct SRunLengthPlane {
    const uint8_t* colour = nullptr;
    const uint32_t* colourRows = nullptr;
    const uint8_t* alpha = nullptr;
    const uint32_t* alphaRows = nullptr;
};

// DecodeRunLengthRow for source rows top to bottom - 1 of a plane, the first
// into args.dstRow and each next one args.dstPitch bytes further. Nothing is
// drawn when the plane lacks a block its family needs.
void DecodeRunLengthRows(RunLengthFamily family, RowForm form, const SBlitArgs& args, const SRunLengthPlane& plane,
                         int32_t top, int32_t bottom, int32_t sourceLeft, int32_t left, int32_t right);

// A blit type's own kernels for one plane, for types whose arithmetic is
// their own (shadow, amplify light, the black-bias table blend): literal runs read SRun::src (and
// SRun::alpha), repeats SRun::value (and SRun::alphaValue).
struct SPlaneKernels {
    RunKernel literal = nullptr;
    RunKernel repeat = nullptr;
};

// DecodeRunLengthRows for an RGB565 plane into 16-bit rows through the
// given kernels, with alpha when the plane has an alpha block. Answers
// whether any literal run was drawn.
bool DecodeRunLengthRows565(const SPlaneKernels& kernels, RowForm form, const SBlitArgs& args,
                            const SRunLengthPlane& plane, int32_t top, int32_t bottom, int32_t sourceLeft, int32_t left,
                            int32_t right);
// The same for an 8-bit index plane into 8-bit rows (no alpha).
void DecodeRunLengthRowsIndex8(const SPlaneKernels& kernels, RowForm form, const SBlitArgs& args,
                               const SRunLengthPlane& plane, int32_t top, int32_t bottom, int32_t sourceLeft,
                               int32_t left, int32_t right);

// Stream pixel bytes and destination pixel bytes of a family.
uint32_t RunLengthSourceBytes(RunLengthFamily family);
uint32_t RunLengthDestinationBytes(RunLengthFamily family);
bool RunLengthHasAlpha(RunLengthFamily family);
