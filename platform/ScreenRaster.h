#pragma once
// A software rasteriser for the screen device's calls, drawing into a 32-bit
// picture in memory: the headless device's back buffer.
//
// It follows the rules an OpenGL implementation applies to the same calls,
// so that both give the same pixels within rounding: a pixel is covered when
// its centre lies inside the triangle (top-left edges included); colours and
// texture coordinates are interpolated linearly; a texel is filtered
// bilinearly from the mip level nearest to the drawn scale (level 0 at 1:1
// and larger); a line lights the pixels whose centre column (or row, for a
// steep line) it crosses, the last one excluded.
//
// Triangles of one colour go through SSE2 spans that compute, channel for
// channel, the same single-precision operations in the same order as the
// plain loop, so both give the same bytes; SetPlainScreenRaster (or
// OMBRISALT_PLAIN_KERNELS=1) forces the plain loop.

#include "platform/GraphicsDevice.h"

#include <cstdint>
#include <vector>

namespace plat {

// Forces the plain loop (true) or lets the SSE2 spans run; the previous
// setting.
bool SetPlainScreenRaster(bool plain);

class CScreenRaster {
public:
    void Resize(int32_t width, int32_t height);
    int32_t GetWidth() const { return m_Width; }
    int32_t GetHeight() const { return m_Height; }
    const std::vector<uint32_t>& GetPixels() const { return m_Pixels; }
    // Hands the picture over without a copy, taking pixels in its place
    // (sized to the raster, their contents left as they are).
    void SwapPixels(std::vector<uint32_t>& pixels);

    void Clear(uint32_t argb);
    // One triangle; a null texture samples as opaque white.
    void DrawTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                      const std::vector<TextureLevel>* levels, TextureAddress address, ScreenBlend blend);
    void DrawLine(const ScreenVertex& a, const ScreenVertex& b, ScreenBlend blend);

private:
    struct Colour {
        float b, g, r, a;
    };
    void Blend(int32_t x, int32_t y, const Colour& source, ScreenBlend blend);
    struct Span;
    void DrawSpanSse2(const Span& span, int32_t y, int32_t first, int32_t last);

    int32_t m_Width = 0;
    int32_t m_Height = 0;
    std::vector<uint32_t> m_Pixels;
};

} // namespace plat
