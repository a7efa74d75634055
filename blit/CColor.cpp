#include "blit/CColor.h"

#include "blit/CPalette.h"
#include "blit/ColorTables.h"

#include <utility>

namespace {

StandardPaletteMatcher g_StandardMatcher = nullptr;

uint16_t FindNearestGamePaletteEntry(uint8_t red, uint8_t green, uint8_t blue, uint32_t first, uint32_t last)
{
    return FindNearestPaletteEntry(GetGamePalette().GetData(), red, green, blue, first, last);
}

uint32_t GamePaletteEntryCount()
{
    const uint32_t entries = GetGamePalette().GetCount() / 3;
    return entries < 256 ? entries : 256;
}

} // namespace

StandardPaletteMatcher SetStandardPaletteMatcher(StandardPaletteMatcher matcher)
{
    return std::exchange(g_StandardMatcher, matcher);
}

void CColor::StoreChannels(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha, uint32_t standardFlag)
{
    // A cached index belongs to the old colour and palette choice; drawing
    // trusts the flag, so a recoloured value must search again.
    if (red != m_Red || green != m_Green || blue != m_Blue || (m_Flags & kStandardColor) != standardFlag)
        m_Flags &= ~kPaletteIndexCached;
    m_Blue = blue;
    m_Green = green;
    m_Red = red;
    m_Alpha = alpha;
    m_RgbCopy[0] = blue;
    m_RgbCopy[1] = green;
    m_RgbCopy[2] = red;
    m_Pixel565 = PackColor565(red, green, blue);
    m_Flags = (m_Flags & ~kStandardColor) | standardFlag;
}

void CColor::Set(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha)
{
    StoreChannels(red, green, blue, alpha, kStandardColor);
}

void CColor::SetCurrentPaletteColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha)
{
    StoreChannels(red, green, blue, alpha, 0);
}

void CColor::SetFromPaletteIndex(uint16_t index)
{
    uint8_t red = 0, green = 0, blue = 0;
    if (index < GamePaletteEntryCount()) {
        const uint8_t* entry = GetGamePalette().GetData() + index * 3;
        blue = entry[0];
        green = entry[1];
        red = entry[2];
    }
    StoreChannels(red, green, blue, 255, kStandardColor);
    m_PaletteIndex = index;
    m_Flags |= kPaletteIndexCached;
}

uint16_t CColor::GetPaletteIndex()
{
    if (HasPaletteIndex())
        return m_PaletteIndex;
    const uint32_t entries = GamePaletteEntryCount();
    if ((m_Flags & kStandardColor) == 0 && entries > 1)
        m_PaletteIndex = FindNearestGamePaletteEntry(m_Red, m_Green, m_Blue, 1, entries);
    else
        m_PaletteIndex = g_StandardMatcher ? g_StandardMatcher(m_Red, m_Green, m_Blue) : 0;
    m_Flags |= kPaletteIndexCached;
    return m_PaletteIndex;
}
