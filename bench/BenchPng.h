#pragma once
// Benchmark input as PNG files, written with libpng.

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

// A w x h image of RGBA bytes, rows top to bottom.
inline void WritePng(const std::string& path, const std::vector<uint8_t>& rgba, uint32_t w, uint32_t h)
{
    FILE* out = std::fopen(path.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, out);
    png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (uint32_t y = 0; y < h; ++y)
        png_write_row(png, rgba.data() + size_t(y) * w * 4);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(out);
}

} // namespace bench
