#pragma once
// The one record a blit hands to its row routines and pixel kernels: where
// the rows are, how far apart, how many, and the tables the blends read. It
// is built once per blit after clipping (kernels never clip) and lives on the
// blit's stack, so no drawing state is shared between blits.

#include <cstdint>

class CBlitType;

struct SBlitTables {
    // 256 entries: row L of BlendTable for the blit's opacity L, so entry a
    // is floor(a * L / 255) and entry 255 is the opacity itself.
    const uint32_t* opacityRow = nullptr;
    // 256 x 256 palette indices by (x * 256 + y); null while not built.
    const uint8_t* blendTable8A = nullptr;
    const uint8_t* blendTable8B = nullptr;
    // The RGB565 pixel of each palette index; null while no palette is set.
    const uint16_t* palette565 = nullptr;
    // 256 entries of blue, green, red for the palette row functions.
    const uint8_t* palette = nullptr;
    // The same palette as 32-bit pixels of alpha 255, where a routine made it.
    const uint32_t* palette32 = nullptr;
    // The blit type's own lookup table (GetLookupTable) when it holds data:
    // a 256 x 256 blend table by (source * 256 + destination) for the
    // blend types, null otherwise or while empty.
    const uint8_t* lookupTable = nullptr;
    // 5 x 256 row offsets into lookupTable for five-band planes: entry
    // k * 256 + i is the row of index i drawn at level k, the row of the
    // palette entry nearest i's colour at (5 - k) / 5 of its strength.
    const uint32_t* fadedRows = nullptr;
    // Blue, green, red and alpha multipliers of a tinted blit (bytes 0-3).
    uint32_t tintColor = 0;
};

struct SBlitArgs {
    uint8_t* dstRow = nullptr;       // first pixel of the first row drawn
    const uint8_t* srcRow = nullptr; // first source pixel that lands there
    int32_t dstPitch = 0;            // bytes from one row to the next
    int32_t srcPitch = 0;
    uint32_t width = 0; // pixels per row
    uint32_t height = 0;
    // Both frames' rows follow each other without a gap, so the rows are one
    // run of width * height pixels.
    bool contiguous = false;
    SBlitTables tables;
    const CBlitType* blitType = nullptr;
};

// One run of a run-length row as a kernel takes it. Literal runs read src
// (and alpha, one byte per pixel); repeat runs read value, whose low bits
// hold the pixel (the bits above are ignored), and alphaValue.
struct SRun {
    uint8_t* dst = nullptr;
    const uint8_t* src = nullptr;
    const uint8_t* alpha = nullptr;
    uint32_t value = 0;
    uint32_t alphaValue = 0;
};

// Writes exactly count pixels of one operation; count 1 to 63 in the tables.
using RunKernel = void (*)(const SBlitArgs& args, const SRun& run, uint32_t count);

// Writes one whole row: count pixels from src into dst.
using RowFunction = void (*)(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count);
