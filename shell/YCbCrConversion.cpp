#include "shell/YCbCrConversion.h"

#include "platform/Cpu.h"
#include "shell/YCbCrConversion_SSE2.h"

#include <algorithm>
#include <utility>

namespace {

bool g_ForcePlain = false;

} // namespace

void ConvertYCbCrRowPlain(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint32_t x, uint32_t count,
                          uint32_t* out)
{
    for (uint32_t i = 0; i < count; ++i, ++x)
        out[i] = YCbCrToBgra(y[x], cb[x >> 1], cr[x >> 1]);
}

YCbCrRowFunction GetYCbCrRowFunction()
{
    if (g_ForcePlain || plat::PlainKernelsRequested())
        return &ConvertYCbCrRowPlain;
    return plat::HasSse2() ? &ConvertYCbCrRowSse2 : &ConvertYCbCrRowPlain;
}

bool SetPlainYCbCrRows(bool plain)
{
    return std::exchange(g_ForcePlain, plain);
}

void ConvertYCbCrPicture(const SYCbCrPicture& picture, uint8_t* pixels, uint32_t pitch, uint32_t width, uint32_t height)
{
    // The region is clipped to the frame first, so that a region the header
    // got wrong cannot lead the reads out of the planes.
    const uint32_t frameWidth = picture.frameWidth & ~1u;
    const uint32_t frameHeight = picture.frameHeight & ~1u;
    if (picture.picX >= frameWidth || picture.picY >= frameHeight || !pixels)
        return;
    const uint32_t columns = std::min({picture.picWidth, frameWidth - picture.picX, width});
    const uint32_t rows = std::min({picture.picHeight, frameHeight - picture.picY, height});
    const YCbCrRowFunction convert = GetYCbCrRowFunction();
    for (uint32_t r = 0; r < rows; ++r) {
        const int64_t frameY = int64_t(picture.picY) + r;
        const uint8_t* y = picture.y.data + frameY * picture.y.stride;
        const uint8_t* cb = picture.cb.data + (frameY >> 1) * picture.cb.stride;
        const uint8_t* cr = picture.cr.data + (frameY >> 1) * picture.cr.stride;
        convert(y, cb, cr, picture.picX, columns, reinterpret_cast<uint32_t*>(pixels + size_t(r) * pitch));
    }
}
