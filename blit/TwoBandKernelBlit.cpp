#include "blit/TwoBandKernelBlit.h"

#include "blit/CFrameInterface.h"

#include <algorithm>
#include <cstring>

namespace {

uint32_t BlockSize(const uint8_t* block)
{
    uint32_t size;
    std::memcpy(&size, block, 4);
    return size;
}

// One plane's rows; alphaBlock is null for the opaque plane.
bool DrawPlane(const CFrameInterface& source, const CRect& s, const CRect& d, const SBlitArgs& args,
               const uint8_t* block, const uint32_t* rows, const uint8_t* alphaBlock, const uint32_t* alphaRows,
               const SPlaneKernels& kernels)
{
    if (!block || !rows || (alphaBlock && !alphaRows))
        return false;
    const size_t size = BlockSize(block), alphaSize = alphaBlock ? BlockSize(alphaBlock) : 0;
    const int32_t width = int32_t(source.GetWidth());
    bool literalAlpha = false;
    uint8_t* dstRow = args.dstRow;
    for (int32_t y = s.top; y < s.bottom; ++y, dstRow += args.dstPitch) {
        size_t at = rows[y], alphaAt = alphaBlock ? alphaRows[y] : 0;
        int32_t x = d.left - s.left;
        const int32_t rowEnd = x + width;
        while (x < d.right && x < rowEnd && at < size) {
            const uint8_t c = block[at++];
            if (c & 0x80) {
                x += c & 0x7F;
                continue;
            }
            const int32_t n = c & 0x3F;
            const bool literal = (c & 0x40) != 0;
            const size_t values = literal ? size_t(n) : 1;
            if (at + 2 * values > size || (alphaBlock && alphaAt + values > alphaSize))
                break;
            const int32_t from = std::max(x, d.left), to = std::min(x + n, d.right);
            if (from < to) {
                SRun run;
                run.dst = dstRow + 2 * size_t(from);
                if (literal) {
                    run.src = block + at + 2 * size_t(from - x);
                    run.alpha = alphaBlock ? alphaBlock + alphaAt + size_t(from - x) : nullptr;
                    kernels.literal(args, run, uint32_t(to - from));
                    literalAlpha = literalAlpha || alphaBlock;
                } else {
                    run.value = uint32_t(block[at]) | uint32_t(block[at + 1]) << 8;
                    run.alphaValue = alphaBlock ? alphaBlock[alphaAt] : 0;
                    kernels.repeat(args, run, uint32_t(to - from));
                }
            }
            at += 2 * values;
            alphaAt += values;
            x += n;
        }
    }
    return literalAlpha;
}

} // namespace

bool BlitTwoBands16(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                    SBlitArgs args, const SPlaneKernels& opaque, const SPlaneKernels& alpha)
{
    if (!destination.GetPixels() || d.right <= d.left || d.bottom <= d.top)
        return false;
    args.dstRow = destination.GetPixels() + size_t(destination.GetRowTable()[d.top]) * 2;
    args.dstPitch = int32_t(destination.GetPitch() * 2);
    args.width = uint32_t(d.right - d.left);
    args.height = uint32_t(d.bottom - d.top);
    DrawPlane(source, s, d, args, source.GetPixels(), source.GetRowTable(), nullptr, nullptr, opaque);
    return DrawPlane(source, s, d, args, source.GetRLEBlock(4), source.GetRLERowTable(4), source.GetRLEBlock(3),
                     source.GetRLERowTable(3), alpha);
}
