#pragma once
// Y'CbCr 4:2:0 pictures to 32-bit blue, green, red, alpha pixels, with the
// integer BT.601 studio-range coefficients:
//     C = Y - 16, D = Cb - 128, E = Cr - 128
//     red   = (298C + 409E + 128) >> 8
//     green = (298C - 100D - 208E + 128) >> 8
//     blue  = (298C + 516D + 128) >> 8
// each clamped to 0..255 (the shift floors), alpha 255. Chroma sample
// (x >> 1, y >> 1) serves luma sample (x, y), in coordinates of the whole
// decoded frame.

#include <cstdint>

struct SPicturePlane {
    const uint8_t* data = nullptr; // row 0, the top
    int32_t stride = 0;            // bytes from a row to the next; may be negative
};

// A decoded 4:2:0 frame and the region of it that is the picture.
struct SYCbCrPicture {
    SPicturePlane y;
    SPicturePlane cb;
    SPicturePlane cr;
    uint32_t frameWidth = 0;
    uint32_t frameHeight = 0;
    uint32_t picX = 0;
    uint32_t picY = 0;
    uint32_t picWidth = 0;
    uint32_t picHeight = 0;
};

inline uint32_t YCbCrToBgra(int32_t y, int32_t cb, int32_t cr)
{
    const int32_t c = 298 * (y - 16) + 128;
    const int32_t d = cb - 128;
    const int32_t e = cr - 128;
    auto clamp = [](int32_t v) { return uint32_t(v < 0 ? 0 : v > 255 ? 255 : v); };
    const uint32_t red = clamp((c + 409 * e) >> 8);
    const uint32_t green = clamp((c - 100 * d - 208 * e) >> 8);
    const uint32_t blue = clamp((c + 516 * d) >> 8);
    return blue | green << 8 | red << 16 | 0xFF000000u;
}

// count pixels of one row starting at frame column x: luma from y[x], chroma
// from cb[x >> 1] and cr[x >> 1] onward (the pointers are the row starts).
using YCbCrRowFunction
    = void (*)(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint32_t x, uint32_t count, uint32_t* out);
void ConvertYCbCrRowPlain(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint32_t x, uint32_t count,
                          uint32_t* out);
// The row function in use: the SSE2 one unless plain kernels are asked for.
YCbCrRowFunction GetYCbCrRowFunction();
// Test hook: forces the plain function (true) or the usual choice (false);
// answers the previous setting.
bool SetPlainYCbCrRows(bool plain);

// Converts the part of the picture that fits: picture pixel (c, r) lands on
// output pixel (c, r) for c below min(picWidth, width) and r below
// min(picHeight, height); the rest of the output is left alone. Nothing is
// read outside the frame's planes, whatever the region says. pitch is in
// bytes.
void ConvertYCbCrPicture(const SYCbCrPicture& picture, uint8_t* pixels, uint32_t pitch, uint32_t width,
                         uint32_t height);
