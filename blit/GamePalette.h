#pragma once
// The game palette and the tables derived from it. At start-up the blit-type
// list loads the palette "GamePalette" from the folder "Palettes": the file
// "Palettes/GamePalette.pal" (else its cached copy under "Cache/"), 256
// entries of three bytes, blue, green, red, found like any data file (loose
// or in a mounted archive). Installing a palette also builds:
//   - the blend palette (GetBlendTable), a type 1 copy of the game palette;
//   - the RGB565 pixel of every index (PackColor565 of its colour);
//   - InversePalette565: for every RGB565 value, the nearest of entries 1 to
//     255 to its widened colour (index 0 is transparent);
//   - InversePalette555 likewise for every RGB555 value (red highest);
//   - the faded rows of the blend types' five-band planes (SBlitTables::
//     fadedRows): for level k and index i, 256 x the nearest of entries 1 to
//     255 to i's colour scaled by (5 - k) / 5; while no palette is
//     installed every level keeps i's own row.
// The 8-bit blend tables (BlendTable8A/B) are not derived: the kernels that
// need them draw nothing while they are empty.

#include "blit/BlitArgs.h"

#include <cstdint>

class CPalette;

inline constexpr const char* kGamePaletteFile = "Palettes/GamePalette.pal";
inline constexpr const char* kGamePaletteCacheFile = "Cache/Palettes/GamePalette.pal";

// Reads and installs the game palette; false (palette unchanged, reported on
// the debug channel) when neither file holds 768 bytes.
bool LoadGamePalette();

// Installs 256 blue, green, red entries, rebuilds the derived tables and
// makes the blend palette the standard palette CColor::Set colours match.
void SetGamePalette(const uint8_t* entries);
// Empties the game palette and everything derived from it; standard
// colours match index 0 again.
void ClearGamePalette();

// The process-wide blend palette: type 1, empty (type 0) until a game
// palette is installed.
CPalette& GetBlendTable();

// The RGB565 pixel of each index; null while no game palette is installed.
const uint16_t* GetPalette565Table();

// The faded rows, 5 x 256 entries (never null).
const uint32_t* GetFadedRowOffsets();

// The tables a blit at opacity opacity255 (0-255) reads; what is not built
// is null.
SBlitTables MakeBlitTables(uint32_t opacity255);
