#pragma once
// A palette table. Type 1 holds 256 colours of three bytes, blue, green, red;
// the other types hold the lookup tables that stand in for a search (type 2
// an index remap, 5 and 6 an index per 15-bit colour, 7 an index per RGB565
// colour, 3 and 4 tables their owners define). The table is owned.

#include <cstdint>

class CPalette {
public:
    CPalette() = default;
    CPalette(const CPalette&) = delete;
    CPalette& operator=(const CPalette&) = delete;
    ~CPalette();

    // Bytes of a table of that type; 0 for an unknown type.
    static uint32_t GetTableSize(int32_t type);

    // A different type (or 0) frees the table. Without a table afterwards,
    // one of the type's size is made with byte i = i % 256.
    void SetType(int32_t type);
    int32_t GetType() const { return m_Type; }
    uint8_t* GetData() { return m_Data; }
    const uint8_t* GetData() const { return m_Data; }

    // Entry index of a type 1 table; black when there is none.
    void GetColor(uint32_t index, uint8_t& red, uint8_t& green, uint8_t& blue) const;
    // Takes the other's type and bytes when it has a table and is not this.
    void CopyFrom(const CPalette& other);
    // Type 1: the entry of [first, last) nearest by 30/59/11-weighted squared
    // distance, lowest index on ties; 0 for other types or an empty range.
    uint8_t FindNearest(uint8_t red, uint8_t green, uint8_t blue, uint32_t first, uint32_t last) const;

private:
    uint8_t* m_Data = nullptr;
    int32_t m_Type = 0;
};

// The nearest of entries [first, last) of a table of three-byte colours
// (blue, green, red), weighted 30/59/11 on squared channel distances; the
// lowest index wins ties and an exact match ends the search. first when the
// range is empty.
uint8_t FindNearestPaletteEntry(const uint8_t* entries, uint8_t red, uint8_t green, uint8_t blue, uint32_t first,
                                uint32_t last);
