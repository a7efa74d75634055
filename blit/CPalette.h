#pragma once
// A palette table. Type 1 holds 256 colours of three bytes, blue, green, red;
// the other types hold the lookup tables that stand in for a search (type 2
// an index remap, 5 and 6 an index per 15-bit colour, 7 an index per RGB565
// colour, 3 and 4 tables their owners define). The table is owned.

#include <cstdint>
#include <memory>

class CPalette {
public:
    CPalette() = default;
    CPalette(const CPalette&) = delete;
    CPalette& operator=(const CPalette&) = delete;

    // Bytes of a table of that type; 0 for an unknown type.
    static uint32_t GetTableSize(int32_t type);

    // A different type (or 0) frees the table. Without a table afterwards,
    // one of the type's size is made with byte i = i % 256.
    void SetType(int32_t type);
    int32_t GetType() const { return m_Type; }
    uint8_t* GetData() { return m_Data.get(); }
    const uint8_t* GetData() const { return m_Data.get(); }

    // Entry index of a type 1 table; black when there is none.
    void GetColor(uint32_t index, uint8_t& red, uint8_t& green, uint8_t& blue) const;
    // Takes the other's type and bytes when it has a table and is not this.
    void CopyFrom(const CPalette& other);
    // Type 1: the entry of [first, last) nearest by 30/59/11-weighted squared
    // distance, lowest index on ties. Types 5 and 7: the table's index of the
    // 555- or 565-packed colour. Type 6: as 5, but an entry of 0 is searched
    // in the source palette (entries 1 to 254) and remembered. 0 otherwise.
    uint8_t FindNearest(uint8_t red, uint8_t green, uint8_t blue, uint32_t first, uint32_t last) const;
    // The type 1 palette a type 6 table fills itself from; not owned.
    void SetSource(const CPalette* source) { m_pSource = source; }

    // Best-palette quantiser over a colour histogram (kHistogramCells counts
    // indexed by CountColor): the palette becomes type 1, all black but entry
    // 255 white, and entries first, first + 1, ... receive at most count
    // colours, each the mean of a box of the colour cube cut so as to
    // minimise the summed squared error. 0 on success (an empty histogram
    // leaves only black and white).
    uint32_t BuildBestPalette(const uint32_t* histogram, uint32_t first, uint32_t count);

    // A type 2 remap table: entries below first and from last up map to
    // themselves; entry i in [first, last) to the entry of [searchFirst,
    // searchLast) of target (or source) nearest to source's colour i with
    // its lightness scaled by factor / 128 (128: identity).
    void BuildLightnessRemap(const CPalette& source, uint32_t factor, uint32_t first, uint32_t last,
                             uint32_t searchFirst, uint32_t searchLast, const CPalette* target);

private:
    std::unique_ptr<uint8_t[]> m_Data;
    int32_t m_Type = 0;
    const CPalette* m_pSource = nullptr;
};

// The colour histogram of the quantiser: 64 x 64 x 64 counts, cell
// (B >> 2, G >> 2, R >> 2) with blue the slowest axis.
inline constexpr uint32_t kHistogramCells = 64 * 64 * 64;
inline void CountColor(uint32_t* histogram, const uint8_t* bgr)
{
    ++histogram[(uint32_t(bgr[0]) >> 2) * 4096 + (uint32_t(bgr[1]) >> 2) * 64 + (uint32_t(bgr[2]) >> 2)];
}

// The nearest of entries [first, last) of a table of three-byte colours
// (blue, green, red), weighted 30/59/11 on squared channel distances; the
// lowest index wins ties and an exact match ends the search. first when the
// range is empty.
uint8_t FindNearestPaletteEntry(const uint8_t* entries, uint8_t red, uint8_t green, uint8_t blue, uint32_t first,
                                uint32_t last);
