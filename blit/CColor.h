#pragma once
// A colour as drawing passes it around: blue, green, red and alpha bytes plus
// the two forms the colour takes when written into a frame, kept ready so
// that drawing one colour many times converts it once: the RGB565 pixel for
// 16-bit frames (always current) and the palette index for 8-bit frames
// (found on first use). Copied whole by plain assignment.

#include <cstdint>
#include <type_traits>

class CColor {
public:
    // Flag bits.
    static constexpr uint32_t kPaletteIndexCached = 1;
    // The palette index is matched in the standard palette, not the game palette.
    static constexpr uint32_t kStandardColor = 2;

    // Transparent black with nothing cached.
    CColor() = default;
    CColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) { Set(red, green, blue, alpha); }

    // A colour whose palette index is matched in the standard palette.
    void Set(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);
    // A colour whose palette index is matched in the game palette current at use.
    void SetCurrentPaletteColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);
    // Opaque colour of game palette entry index, which becomes the cached
    // index; black when the palette has no such entry.
    void SetFromPaletteIndex(uint16_t index);

    // The cached index, or the nearest palette entry (then cached): in the
    // game palette, never index 0, for colours set with SetCurrentPaletteColor
    // while a game palette exists; in the standard palette otherwise.
    uint16_t GetPaletteIndex();

    uint8_t GetRed() const { return m_Red; }
    uint8_t GetGreen() const { return m_Green; }
    uint8_t GetBlue() const { return m_Blue; }
    uint8_t GetAlpha() const { return m_Alpha; }
    // Blue in bits 0-7, green 8-15, red 16-23, alpha 24-31.
    uint32_t GetColorWord() const
    {
        return uint32_t(m_Blue) | uint32_t(m_Green) << 8 | uint32_t(m_Red) << 16 | uint32_t(m_Alpha) << 24;
    }
    // Blue, green, red: the bytes a 24-bit frame takes.
    const uint8_t* GetRgbCopy() const { return m_RgbCopy; }
    uint16_t GetPixel565() const { return m_Pixel565; }
    uint32_t GetFlags() const { return m_Flags; }
    bool HasPaletteIndex() const { return (m_Flags & kPaletteIndexCached) != 0; }
    // Meaningful only while HasPaletteIndex.
    uint16_t GetCachedPaletteIndex() const { return m_PaletteIndex; }

    // Colours are equal when their four channels are; cached forms do not count.
    friend bool operator==(const CColor& a, const CColor& b)
    {
        return a.m_Blue == b.m_Blue && a.m_Green == b.m_Green && a.m_Red == b.m_Red && a.m_Alpha == b.m_Alpha;
    }

private:
    void StoreChannels(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha, uint32_t standardFlag);

    uint8_t m_Blue = 0;
    uint8_t m_Green = 0;
    uint8_t m_Red = 0;
    uint8_t m_Alpha = 0;
    uint8_t m_RgbCopy[3] = {}; // blue, green, red
    uint16_t m_Pixel565 = 0;
    uint16_t m_PaletteIndex = 0;
    uint32_t m_Flags = 0;
};

static_assert(std::is_trivially_copyable_v<CColor>);

// Nearest entry of the standard palette among indices 0 to 255. Installing
// the game palette (SetGamePalette) installs it; until then (and after
// installing null) every standard colour matches index 0.
using StandardPaletteMatcher = uint8_t (*)(uint8_t red, uint8_t green, uint8_t blue);
StandardPaletteMatcher SetStandardPaletteMatcher(StandardPaletteMatcher matcher);
