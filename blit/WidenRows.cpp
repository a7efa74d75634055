#include "blit/WidenRows.h"

#include "blit/BlitReport.h"
#include "blit/KernelTable.h"
#include "blit/WidenRows_SSE2.h"

#include <cstring>

void RowRgb24To32(const SBlitArgs&, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    if (ChosenKernelSet() == KernelSet::Sse2) {
        const uint32_t done = Rgb24To32Sse2(dst, src, count);
        dst += 4 * size_t(done);
        src += 3 * size_t(done);
        count -= done;
    }
    // Four bytes read per pixel but the last, whose fourth byte may lie
    // past the source.
    for (uint32_t i = 0; i + 1 < count; ++i, dst += 4, src += 3) {
        uint32_t pixel;
        std::memcpy(&pixel, src, 4);
        pixel |= 0xFF000000u;
        std::memcpy(dst, &pixel, 4);
    }
    if (count != 0) {
        std::memcpy(dst, src, 3);
        dst[3] = 255;
    }
}

void RowIndex8To32(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    const uint32_t* palette = args.tables.palette32;
    if (!palette) {
        ReportMissingTable(MissingTable::Palette);
        return;
    }
    uint32_t i = ChosenKernelSet() == KernelSet::Sse2 ? Index8To32Sse2(dst, src, palette, count) : 0;
    for (; i < count; ++i)
        std::memcpy(dst + 4 * i, &palette[src[i]], 4);
}
