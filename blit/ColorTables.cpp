#include "blit/ColorTables.h"

#include <algorithm>
#include <cstring>

constinit CArrayPOD<uint8_t> InversePalette555;
constinit CArrayPOD<uint8_t> InversePalette565;
constinit CArrayPOD<uint8_t> BlendTable8A;
constinit CArrayPOD<uint8_t> BlendTable8B;

namespace {

CColorTables g_Tables;
constinit CArrayPOD<uint8_t> g_GamePalette;
bool g_TablesBuilt = false;

// The nearest of v * levels / 255; the half is added before truncation, and
// no v lands exactly on a half, so the double arithmetic cannot tip a result.
uint32_t ScaleChannel(uint32_t v, double levels)
{
    return uint32_t(double(v) / 255.0 * levels + 0.5);
}

uint32_t AddHalfAndTruncate5(uint32_t v)
{
    return std::min<uint32_t>((v + 4) >> 3, 31);
}

} // namespace

void InitBlitTables()
{
    auto& [Blue5, Green5, Red555, Red565, Green6, ProductTable, BlendTable, LevelTable] = g_Tables;
    for (uint32_t v = 0; v < 256; ++v) {
        const uint32_t five = ScaleChannel(v, 31.0);
        Blue5[v] = five;
        Green5[v] = five << 5;
        Red555[v] = five << 10;
        Red565[v] = five << 11;
        Green6[v] = ScaleChannel(v, 63.0) << 5;
    }
    for (uint32_t a = 0; a < 256; ++a)
        for (uint32_t b = 0; b < 256; ++b)
            ProductTable[a][b] = a * b;
    for (uint32_t a = 0; a < 256; ++a)
        for (uint32_t b = 0; b < 256; ++b)
            BlendTable[a][b] = a * b / 255;
    if (!g_TablesBuilt)
        for (uint32_t a = 0; a < 256; ++a)
            LevelTable[a] = 5 - 6 * a / 256;
    g_TablesBuilt = true;
}

void ResetBlitTablesForTesting()
{
    std::memset(&g_Tables, 0, sizeof(g_Tables));
    g_TablesBuilt = false;
}

bool BlitTablesBuilt()
{
    return g_TablesBuilt;
}

uint16_t PackColor565(uint8_t red, uint8_t green, uint8_t blue)
{
    if (g_TablesBuilt)
        return uint16_t(g_Tables.Red565[red] + g_Tables.Green6[green] + g_Tables.Blue5[blue]);
    const uint32_t green6 = std::min<uint32_t>((green + 2u) >> 2, 63);
    return uint16_t(AddHalfAndTruncate5(red) << 11 | green6 << 5 | AddHalfAndTruncate5(blue));
}

uint16_t PackColor555(uint8_t red, uint8_t green, uint8_t blue)
{
    if (g_TablesBuilt)
        return uint16_t(g_Tables.Red555[red] + g_Tables.Green5[green] + g_Tables.Blue5[blue]);
    return uint16_t(AddHalfAndTruncate5(red) << 10 | AddHalfAndTruncate5(green) << 5 | AddHalfAndTruncate5(blue));
}

CArrayPOD<uint8_t>& GetGamePalette()
{
    return g_GamePalette;
}

const CColorTables& GetColorTables()
{
    return g_Tables;
}

CColorTables& GetColorTablesForTesting()
{
    return g_Tables;
}
