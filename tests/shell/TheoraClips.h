#pragma once
// Ogg Theora clips made by the tests through libtheora's encoder, optionally
// with a Vorbis track multiplexed into the same file.

#include <cstdint>
#include <string>
#include <vector>

struct SClipColour {
    uint8_t y = 16;
    uint8_t cb = 128;
    uint8_t cr = 128;
};

struct SClipFrame {
    SClipColour top;    // the upper half of the picture
    SClipColour bottom; // the lower half
};

enum class ClipContent { Flat, Moving };

struct SClipOptions {
    uint32_t width = 64; // the picture
    uint32_t height = 48;
    uint32_t picX = 0; // its place in the encoded frame (even)
    uint32_t picY = 0;
    uint32_t fpsNumerator = 20;
    uint32_t fpsDenominator = 1;
    int quality = 63;
    bool withVorbis = false;
    ClipContent content = ClipContent::Flat;
    // Flat: one frame each. Moving: frameCount frames of a moving pattern.
    std::vector<SClipFrame> frames;
    uint32_t frameCount = 0;
    // The page of this frame gets a granule position far in the future.
    int64_t bogusGranuleFrame = -1;
};

std::string MakeTheoraClip(const SClipOptions& options);

// The colour of a clip frame that is one colour all over.
inline SClipFrame Flat(uint8_t y, uint8_t cb, uint8_t cr)
{
    return {{y, cb, cr}, {y, cb, cr}};
}
