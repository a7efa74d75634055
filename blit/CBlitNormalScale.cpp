#include "blit/CBlitNormalScale.h"

#include "blit/BlitReport.h"
#include "blit/BlitRows.h"
#include "blit/CBlitNormalScale_SSE2.h"
#include "blit/GamePalette.h"
#include "blit/KernelTable.h"
#include "foundation/CRect.h"

#include <cstring>
#include <vector>

uint32_t ScaleStep(uint32_t sourceSize, uint32_t destinationSize)
{
    uint32_t step = (sourceSize << 16) / destinationSize;
    // Wrapping arithmetic on purpose; for sizes below 65536 it never lowers.
    while (step >= 2 && ((step * destinationSize) >> 16) > sourceSize)
        step -= 2;
    return step;
}

namespace {

enum class ScaleOp : uint8_t { Copy8, Palette8To16, Copy16, Copy24, Copy24To32, Copy32 };

template <ScaleOp Op>
void ScaleRow(uint8_t* dst, const uint8_t* srcRow, const uint32_t* columns, uint32_t width, const uint16_t* palette)
{
    if constexpr (Op == ScaleOp::Copy8) {
        for (uint32_t j = 0; j < width; ++j)
            dst[j] = srcRow[columns[j]];
    } else if constexpr (Op == ScaleOp::Palette8To16) {
        for (uint32_t j = 0; j < width; ++j)
            StorePixel16(dst + 2 * j, palette[srcRow[columns[j]]]);
    } else if constexpr (Op == ScaleOp::Copy16) {
        for (uint32_t j = 0; j < width; ++j)
            StorePixel16(dst + 2 * j, LoadPixel16(srcRow + 2 * size_t(columns[j])));
    } else if constexpr (Op == ScaleOp::Copy24) {
        for (uint32_t j = 0; j < width; ++j) {
            const uint8_t* s = srcRow + 3 * size_t(columns[j]);
            dst[3 * j] = s[0];
            dst[3 * j + 1] = s[1];
            dst[3 * j + 2] = s[2];
        }
    } else if constexpr (Op == ScaleOp::Copy24To32) {
        for (uint32_t j = 0; j < width; ++j) {
            const uint8_t* s = srcRow + 3 * size_t(columns[j]);
            dst[4 * j] = s[0];
            dst[4 * j + 1] = s[1];
            dst[4 * j + 2] = s[2];
        }
    } else {
        // The destination alpha byte stays: d = (d & 0xFF000000) | (s & 0xFFFFFF).
        for (uint32_t j = 0; j < width; ++j) {
            uint8_t* d = dst + 4 * j;
            StorePixel32(d,
                         (LoadPixel32(d) & 0xFF000000u) | (LoadPixel32(srcRow + 4 * size_t(columns[j])) & 0xFFFFFFu));
        }
    }
}

// A destination row sampling the same source row as the one above it takes
// that row's result: the colour bytes are the same, only a kept alpha byte
// differs.
template <ScaleOp Op, uint32_t DstBytes>
void RepeatRow(uint8_t* dst, const uint8_t* above, uint32_t width, bool sse2)
{
    if constexpr (Op == ScaleOp::Copy24To32 || Op == ScaleOp::Copy32) {
        if (sse2)
            return MergeColourRow32Sse2(dst, above, width);
        for (uint32_t j = 0; j < width; ++j)
            StorePixel32(dst + 4 * j,
                         (LoadPixel32(dst + 4 * j) & 0xFF000000u) | (LoadPixel32(above + 4 * j) & 0xFFFFFFu));
    } else {
        std::memcpy(dst, above, size_t(width) * DstBytes);
    }
}

template <ScaleOp Op, uint32_t SrcBytes, uint32_t DstBytes>
void ScaleBlit(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d, CBlitType&)
{
    if (s.right <= s.left || s.bottom <= s.top || d.right <= d.left || d.bottom <= d.top)
        return;
    const uint16_t* palette = nullptr;
    if constexpr (Op == ScaleOp::Palette8To16) {
        palette = GetPalette565Table();
        if (!palette) {
            ReportMissingTable(MissingTable::Palette565);
            return;
        }
    }
    const uint32_t sw = uint32_t(s.right - s.left), sh = uint32_t(s.bottom - s.top);
    const uint32_t dw = uint32_t(d.right - d.left), dh = uint32_t(d.bottom - d.top);
    const uint32_t stepX = ScaleStep(sw, dw), stepY = ScaleStep(sh, dh);

    // Positions accumulate by adding the step, as the sampling is defined.
    std::vector<uint32_t> columns(dw);
    uint32_t position = 0;
    for (uint32_t& column : columns) {
        column = position >> 16;
        position += stepX;
    }
    const uint8_t* const srcOrigin = PixelAddress(source, s.left, s.top, SrcBytes);
    const size_t srcStride = RowStride(source, SrcBytes);
    uint8_t* dst = PixelAddress(destination, d.left, d.top, DstBytes);
    const size_t dstStride = RowStride(destination, DstBytes);
    const bool sse2 = ChosenKernelSet() == KernelSet::Sse2;
    position = 0;
    uint32_t lastRow = 0;
    for (uint32_t i = 0; i < dh; ++i, dst += dstStride, position += stepY) {
        const uint32_t row = position >> 16;
        if (i > 0 && row == lastRow)
            RepeatRow<Op, DstBytes>(dst, dst - dstStride, dw, sse2);
        else if (Op == ScaleOp::Copy32 && sse2)
            ScaleRow32Sse2(dst, srcOrigin + size_t(row) * srcStride, columns.data(), dw);
        else
            ScaleRow<Op>(dst, srcOrigin + size_t(row) * srcStride, columns.data(), dw, palette);
        lastRow = row;
    }
}

} // namespace

CBlitNormalScale::CBlitNormalScale()
{
    AddBlitFunction(8, 0, 8, 0, ScaleBlit<ScaleOp::Copy8, 1, 1>);
    AddBlitFunction(8, 0, 16, 0, ScaleBlit<ScaleOp::Palette8To16, 1, 2>);
    AddBlitFunction(16, 0, 16, 0, ScaleBlit<ScaleOp::Copy16, 2, 2>);
    AddBlitFunction(24, 0, 24, 0, ScaleBlit<ScaleOp::Copy24, 3, 3>);
    AddBlitFunction(24, 0, 32, 0, ScaleBlit<ScaleOp::Copy24To32, 3, 4>);
    AddBlitFunction(32, 0, 32, 0, ScaleBlit<ScaleOp::Copy32, 4, 4>);
}
