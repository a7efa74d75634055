#include "blit/GamePalette.h"

#include "blit/CColor.h"
#include "blit/CPalette.h"
#include "blit/ColorTables.h"
#include "blit/KernelLookupTables.h"
#include "foundation/CFile.h"
#include "platform/Debug.h"

#include <array>
#include <cstring>

namespace {

constexpr uint32_t kPaletteBytes = 768;

std::array<uint16_t, 256> g_Palette565{};
bool g_HasPalette = false;

using FadedRows = std::array<uint32_t, 5 * 256>;

FadedRows OwnRows()
{
    FadedRows rows{};
    for (uint32_t k = 0; k < 5; ++k)
        for (uint32_t i = 0; i < 256; ++i)
            rows[k * 256 + i] = i * 256;
    return rows;
}

FadedRows& FadedRowTable()
{
    static FadedRows rows = OwnRows();
    return rows;
}

bool ReadPaletteFile(const char* name, uint8_t* entries)
{
    CFile file;
    if (!file.Open(name, FILE_READ))
        return false;
    const bool whole = file.GetSize() == kPaletteBytes && file.Read(entries, kPaletteBytes) == kPaletteBytes;
    file.Close();
    return whole;
}

void FillArray(CArrayPOD<uint8_t>& array, const uint8_t* bytes, uint32_t count)
{
    array.RemoveAll();
    array.Reserve(count);
    for (uint32_t i = 0; i < count; ++i)
        array.Append(bytes[i]);
}

// The standard palette is the blend palette, a copy of the game palette.
uint8_t MatchStandardPalette(uint8_t red, uint8_t green, uint8_t blue)
{
    return GetBlendTable().FindNearest(red, green, blue, 0, 256);
}

} // namespace

bool LoadGamePalette()
{
    uint8_t entries[kPaletteBytes];
    if (!ReadPaletteFile(kGamePaletteFile, entries) && !ReadPaletteFile(kGamePaletteCacheFile, entries)) {
        plat::DebugOutput("Blitter: no game palette in \"Palettes/GamePalette.pal\"\n");
        return false;
    }
    SetGamePalette(entries);
    return true;
}

void SetGamePalette(const uint8_t* entries)
{
    FillArray(GetGamePalette(), entries, kPaletteBytes);
    CPalette& blend = GetBlendTable();
    blend.SetType(1);
    std::memcpy(blend.GetData(), entries, kPaletteBytes);
    for (uint32_t i = 0; i < 256; ++i)
        g_Palette565[i] = PackColor565(entries[i * 3 + 2], entries[i * 3 + 1], entries[i * 3]);
    g_HasPalette = true;

    static std::array<uint8_t, 65536> inverse;
    for (uint32_t pixel = 0; pixel < 65536; ++pixel) {
        uint8_t bgr[3];
        Widen565(uint16_t(pixel), bgr);
        inverse[pixel] = FindNearestPaletteEntry(entries, bgr[2], bgr[1], bgr[0], 1, 256);
    }
    FillArray(InversePalette565, inverse.data(), uint32_t(inverse.size()));

    static std::array<uint8_t, 32768> inverse555;
    for (uint32_t value = 0; value < 32768; ++value)
        inverse555[value] = FindNearestPaletteEntry(entries, uint8_t(Expand5To8[value >> 10]),
                                                    uint8_t(Expand5To8[(value >> 5) & 31]),
                                                    uint8_t(Expand5To8[value & 31]), 1, 256);
    FillArray(InversePalette555, inverse555.data(), uint32_t(inverse555.size()));

    SetStandardPaletteMatcher(&MatchStandardPalette);

    FadedRows& faded = FadedRowTable();
    faded = OwnRows();
    for (uint32_t k = 1; k < 5; ++k)
        for (uint32_t i = 0; i < 256; ++i) {
            const auto scaled = [&](uint32_t c) { return uint8_t((entries[i * 3 + c] * (5 - k) + 2) / 5); };
            faded[k * 256 + i] = 256u * FindNearestPaletteEntry(entries, scaled(2), scaled(1), scaled(0), 1, 256);
        }
}

void ClearGamePalette()
{
    GetGamePalette().Free();
    GetBlendTable().SetType(0);
    InversePalette565.Free();
    InversePalette555.Free();
    g_Palette565.fill(0);
    g_HasPalette = false;
    FadedRowTable() = OwnRows();
    SetStandardPaletteMatcher(nullptr);
}

CPalette& GetBlendTable()
{
    static CPalette blend;
    return blend;
}

const uint32_t* GetFadedRowOffsets()
{
    return FadedRowTable().data();
}

const uint16_t* GetPalette565Table()
{
    return g_HasPalette ? g_Palette565.data() : nullptr;
}

SBlitTables MakeBlitTables(uint32_t opacity255)
{
    SBlitTables tables;
    tables.opacityRow = GetColorTables().BlendTable[opacity255 > 255 ? 255 : opacity255];
    tables.blendTable8A = BlendTable8A.GetCount() >= 65536 ? BlendTable8A.GetData() : nullptr;
    tables.blendTable8B = BlendTable8B.GetCount() >= 65536 ? BlendTable8B.GetData() : nullptr;
    tables.palette565 = GetPalette565Table();
    tables.fadedRows = GetFadedRowOffsets();
    tables.palette = GetGamePalette().GetCount() >= kPaletteBytes ? GetGamePalette().GetData() : nullptr;
    return tables;
}
