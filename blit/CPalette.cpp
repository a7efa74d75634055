#include "blit/CPalette.h"

#include "blit/ColorTables.h"

#include <cstring>

uint32_t CPalette::GetTableSize(int32_t type)
{
    switch (type) {
    case 1:
        return 768;
    case 2:
        return 256;
    case 3:
        return 1024;
    case 4:
        return 65536;
    case 5:
    case 6:
        return 32768;
    case 7:
        return 65536;
    default:
        return 0;
    }
}

void CPalette::SetType(int32_t type)
{
    if (type != m_Type || type == 0)
        m_Data.reset();
    m_Type = type;
    const uint32_t size = GetTableSize(type);
    if (!m_Data && size != 0) {
        m_Data = std::make_unique_for_overwrite<uint8_t[]>(size);
        for (uint32_t i = 0; i < size; ++i)
            m_Data[i] = uint8_t(i);
    }
}

void CPalette::GetColor(uint32_t index, uint8_t& red, uint8_t& green, uint8_t& blue) const
{
    red = green = blue = 0;
    if (m_Type != 1 || !m_Data || index >= 256)
        return;
    blue = m_Data[index * 3];
    green = m_Data[index * 3 + 1];
    red = m_Data[index * 3 + 2];
}

void CPalette::CopyFrom(const CPalette& other)
{
    if (&other == this || !other.m_Data)
        return;
    SetType(other.m_Type);
    std::memcpy(m_Data.get(), other.m_Data.get(), GetTableSize(m_Type));
}

uint8_t CPalette::FindNearest(uint8_t red, uint8_t green, uint8_t blue, uint32_t first, uint32_t last) const
{
    if (!m_Data)
        return 0;
    switch (m_Type) {
    case 1:
        return FindNearestPaletteEntry(m_Data.get(), red, green, blue, first, last > 256 ? 256 : last);
    case 5:
        return m_Data[PackColor555(red, green, blue)];
    case 6: {
        uint8_t& known = m_Data[PackColor555(red, green, blue)];
        if (known == 0 && m_pSource)
            known = m_pSource->FindNearest(red, green, blue, 1, 255);
        return known;
    }
    case 7:
        return m_Data[PackColor565(red, green, blue)];
    default:
        return 0;
    }
}

uint8_t FindNearestPaletteEntry(const uint8_t* entries, uint8_t red, uint8_t green, uint8_t blue, uint32_t first,
                                uint32_t last)
{
    uint32_t best = first;
    uint32_t bestDistance = UINT32_MAX;
    for (uint32_t i = first; i < last; ++i) {
        const int32_t db = int32_t(blue) - entries[i * 3];
        const int32_t dg = int32_t(green) - entries[i * 3 + 1];
        const int32_t dr = int32_t(red) - entries[i * 3 + 2];
        const uint32_t distance = uint32_t(30 * dr * dr + 59 * dg * dg + 11 * db * db);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
            if (distance == 0)
                break;
        }
    }
    return uint8_t(best);
}
