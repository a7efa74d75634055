#pragma once
// "Blend Amplify Light" brightens the destination by a light image: each
// RGB565 channel is multiplied by up to two according to the light's, so
// black light changes nothing and black stays black. For destination field d
// and light field s (5 bits each; green uses the top 5 of its 6 bits):
//   v(d, s) = min(31, trunc(s * d / 31 + d + 0.5))    (double precision)
// placed at bits 11 (red), 6 (green, so its lowest bit is 0) and 0 (blue).
// The arithmetic belongs to 16-bit run-length lights at opacity 1, whose
// partly transparent pixels turn white; other formats draw as the black-bias
// type or "Transparent Mask" for the same pair.

#include "blit/BlitArgs.h"
#include "blit/CBlitType.h"

#include <array>
#include <cstdint>

class CBlitAmplifyLight : public CBlitType {
public:
    // Formats without the amplify arithmetic take these types' routines.
    CBlitAmplifyLight(const CBlitType& blackBias, const CBlitType& transparentMask);
};

struct SAmplifyTables {
    // Index d * 32 + s.
    std::array<uint16_t, 1024> red, green, blue;
};
const SAmplifyTables& GetAmplifyTables();

uint16_t AmplifyPixel565(uint16_t destination, uint16_t light);

// Run kernels of the 16-bit run-length light: literal runs amplify by each
// source pixel, repeat runs by the run's value; the white kernels write
// 0xFFFF whatever the colour and alpha.
void AmplifyRun16(const SBlitArgs& args, const SRun& run, uint32_t count);
void AmplifyRun16Fill(const SBlitArgs& args, const SRun& run, uint32_t count);
void WhiteRun16(const SBlitArgs& args, const SRun& run, uint32_t count);
