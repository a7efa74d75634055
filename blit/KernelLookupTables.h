#pragma once
// Constant tables the pixel kernels read instead of computing.

#include <array>
#include <cstdint>

// A 5-bit channel (red or blue of RGB565) widened to 8 bits: the nearest of
// i * 255 / 31, except entry 11, which is 91.
inline constexpr std::array<uint32_t, 32> Expand5To8 = {
    0,   8,   16,  25,  33,  41,  49,  58,  66,  74,  82,  91,  99,  107, 115, 123,
    132, 140, 148, 156, 165, 173, 181, 189, 197, 206, 214, 222, 230, 239, 247, 255,
};

// The 6-bit green channel widened: the nearest of i * 255 / 63 (never a tie).
inline constexpr std::array<uint32_t, 64> Expand6To8 = [] {
    std::array<uint32_t, 64> table{};
    for (uint32_t i = 0; i < 64; ++i)
        table[i] = (i * 255 + 31) / 63;
    return table;
}();

// Saturating sums: entry i is min(i, 255) for i up to 510.
inline constexpr std::array<uint32_t, 512> ClampTable512 = [] {
    std::array<uint32_t, 512> table{};
    for (uint32_t i = 0; i < 512; ++i)
        table[i] = i < 255 ? i : 255;
    return table;
}();

// RGB565 to blue, green, red bytes through the tables above.
inline void Widen565(uint16_t pixel, uint8_t* bgr)
{
    bgr[0] = uint8_t(Expand5To8[pixel & 31]);
    bgr[1] = uint8_t(Expand6To8[(pixel >> 5) & 63]);
    bgr[2] = uint8_t(Expand5To8[pixel >> 11]);
}
