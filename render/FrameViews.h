#pragma once
// The pixels of a 32-bit surface as the rasteriser paths address them: a
// buffer, a size and a row stride in bytes (negative for bottom-up rows, the
// first row then lying at buffer - (height - 1) * stride). All stride
// arithmetic is ptrdiff_t, so a negative stride never wraps.

#include <agg_rendering_buffer.h>

#include <cstddef>
#include <cstdint>

class CFrame;
class CFrameInterface;

struct SPixelView {
    uint8_t* bits = nullptr; // row 0
    uint32_t width = 0;
    uint32_t height = 0;
    ptrdiff_t stride = 0;

    uint8_t* Row(uint32_t y) const { return bits + ptrdiff_t(y) * stride; }
    void Attach(agg::rendering_buffer& buffer) const { buffer.attach(bits, width, height, int(stride)); }
};

// False (view untouched) unless the surface has 4-byte pixels, a buffer and
// a size of at least one pixel.
bool MakePixelView(const CFrameInterface& frame, SPixelView& view);

// Makes frame a 32-bit frame holding the same picture (drawn through the
// "Normal" blit type) with the same offset; true when it already was one.
bool ConvertFrameTo32(CFrame& frame);
