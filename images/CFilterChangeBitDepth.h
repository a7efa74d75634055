#pragma once
// Bit-depth conversion (build filter kind 11; kind 12 dithers) and the
// error-diffusion ditherer it and the run-length encoder share.
//
// Targets: 8 (game-palette indices, searched over entries 1 to 254), 16
// (RGB565) or 24 (blue, green, red; only when every alpha is 250 or more).
// Run-length frames are converted block by block, control bytes kept; the
// two-band alpha block becomes one alpha byte per value. A conversion that
// cannot produce the target's pixels honestly leaves the frame at its depth
// instead of relabelling it:
//   - plain 8-bit to 16 or 24, plain 16-bit to 24: converted through the
//     blend palette and the 565 tables;
//   - five-band frames stay palette indices at 8 bits;
//   - two-band frames at target 8 become RGB565 and say 16 bits (no decoder
//     reads two-band palette indices);
//   - 16-bit two-band frames at target 8 or 24 stay 16-bit.

#include "images/CFrameFilter.h"

#include <cstdint>
#include <vector>

class CPalette;

// Floyd-Steinberg error diffusion in float RGB (0..1), along one row after
// another of width pixels. Each pixel: AddError gives the colour to
// quantise; Distribute takes the quantised colour and either asks once for a
// retry (when it lies farther than the maximum error from the asked colour:
// the asked colour is then quantised without the owed error) or spreads the
// error 7/16 right, 3/16 below left, 5/16 below, 1/16 below right.
class CColorDitherer {
public:
    // colours/palette: the table searched by PickPaletteIndex (3 bytes per
    // entry, blue, green, red); null when quantising to RGB565 levels.
    CColorDitherer(uint32_t width, float maximumError, const uint8_t* colours, const CPalette* palette);

    void AddError(float& r, float& g, float& b);
    // True: quantise (r, g, b), which now hold the asked colour, again.
    bool Distribute(float& r, float& g, float& b);
    // The palette entry for the colour (entries 1 to 255).
    uint8_t PickPaletteIndex(float r, float g, float b);

private:
    uint32_t m_Width;
    uint32_t m_RingSize;
    uint32_t m_Position = 0;
    uint32_t m_Column = 0;
    std::vector<float> m_Error[3];
    float m_MaximumError;
    float m_MaximumError2;
    const uint8_t* m_Colours;
    const CPalette* m_Palette;
    float m_Asked[3] = {};
    float m_Wanted[3] = {};
    bool m_Retried = false;
};

// The channel tables of RGB565: 5-bit i to (255 i + 16) div 31, 6-bit i to
// round(255 i / 63).
uint8_t Expand5(uint32_t i);
uint8_t Expand6(uint32_t i);

// A 32-bit colour (blue, green, red bytes) dithered to RGB565 levels and
// written back as 8-bit channels: each channel floor(v * levels) / levels.
void DitherTo565Levels(CColorDitherer& ditherer, uint8_t* bgr);

enum class Dither : uint8_t { Off, On };

class CFilterChangeBitDepth : public CFrameFilter {
public:
    CFilterChangeBitDepth(Dither dither, uint32_t bitDepth);
    std::unique_ptr<CFrameFilter> Clone() const override;
    // Always true.
    bool Apply(CFrame& frame, const CRect& rect) override;

    uint32_t GetTargetDepth() const { return m_BitDepth; }
    Dither GetDither() const { return m_Dither; }

private:
    uint32_t m_BitDepth;
    Dither m_Dither;
};

// The conversion itself, for callers outside a chain.
void ChangeFrameBitDepth(CFrame& frame, uint32_t target, Dither dither);
