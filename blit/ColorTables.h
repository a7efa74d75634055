#pragma once
// Process-wide colour tables shared by the blitter, the pixel kernels and
// CColor, and the two helpers that pack a colour into a 16-bit pixel.
// InitBlitTables builds the tables once at start-up (zero until then); they
// are read without locks afterwards, as all drawing runs on the main thread.

#include "foundation/CArrayPOD.h"

#include <cstdint>

// The tables InitBlitTables builds; everything else reads them through
// GetColorTables.
struct CColorTables {
    // Channel byte to a 16-bit pixel field: the nearest of v * 31 / 255 (or
    // v * 63 / 255 for Green6), already shifted to its place in the pixel.
    uint32_t Blue5[256];
    uint32_t Green5[256]; // green of 555
    uint32_t Red555[256];
    uint32_t Red565[256];
    uint32_t Green6[256]; // green of 565

    // [a][b] = a * b.
    uint32_t ProductTable[256][256];

    // [a][b] = floor(a * b / 255). Row a scales alpha values by the opacity
    // a, so the blitter points OpacityRow at row m_Opacity255 before blends.
    uint32_t BlendTable[256][256];

    // Opacity 0..255 to a translucency level: 0 for 214..255 (opaque) up to
    // 5 for 0..42.
    uint32_t LevelTable[256];
};
const CColorTables& GetColorTables();

// Palette-derived holders, empty (null data) until their owners fill them.
extern CArrayPOD<uint8_t> InversePalette555; // 32768 indices by RGB555 value
extern CArrayPOD<uint8_t> InversePalette565; // 65536 indices by RGB565 value
extern CArrayPOD<uint8_t> BlendTable8A;      // 65536 indices by (x * 256 + y)
extern CArrayPOD<uint8_t> BlendTable8B;

// True once InitBlitTables has run (and until the test reset): the packers
// read the tables then.
bool BlitTablesBuilt();

// Builds the tables; a second call rebuilds them with the same values and
// leaves LevelTable as it was. Switches both packers to their table form.
void InitBlitTables();

// Only for tests: zeroes the tables and returns the packers to their
// arithmetic form, as before start-up.
void ResetBlitTablesForTesting();
// Only for tests: the tables, writable, to check what a rebuild restores.
CColorTables& GetColorTablesForTesting();

// 8-bit channels to a 16-bit pixel. Before InitBlitTables these add a half
// step and truncate; afterwards they read the tables, which round to the
// nearest level, so a colour may pack one step apart either side of start-up.
uint16_t PackColor565(uint8_t red, uint8_t green, uint8_t blue);
uint16_t PackColor555(uint8_t red, uint8_t green, uint8_t blue);

// The game palette: 3 bytes (blue, green, red) per entry, entry i at i * 3;
// empty until the palette code fills it.
CArrayPOD<uint8_t>& GetGamePalette();
