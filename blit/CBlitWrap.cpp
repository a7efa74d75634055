#include "blit/CBlitWrap.h"

#include "blit/BlitRows.h"
#include "blit/CBlitTypeList.h"

#include <algorithm>
#include <cstring>

namespace {

enum class WrapAxes : uint8_t { Both, X, Y };
enum class WrapPixel : uint8_t { Same, Bgr24To32 };

int32_t FloorMod(int32_t v, int32_t m)
{
    const int32_t r = v % m;
    return r < 0 ? r + m : r;
}

template <uint32_t SrcBytes, uint32_t DstBytes>
inline void CopyWrapPixel(uint8_t* d, const uint8_t* s)
{
    if constexpr (SrcBytes == DstBytes) {
        std::memcpy(d, s, SrcBytes);
    } else {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
        d[3] = 255;
    }
}

// 32-bit over 32-bit at opacity L: a = (s.alpha * L + 255) >> 8, each colour
// d + trunc(((s - d) * a + 255) / 256), alpha 255.
inline void BlendWrapPixel(uint8_t* d, const uint8_t* s, uint32_t opacity255)
{
    const int32_t a = int32_t((s[3] * opacity255 + 255) >> 8);
    for (int c = 0; c < 3; ++c)
        d[c] = uint8_t(d[c] + ((int32_t(s[c]) - int32_t(d[c])) * a + 255) / 256);
    d[3] = 255;
}

template <WrapAxes Axes, uint32_t SrcBytes, uint32_t DstBytes>
void MaskedCopy(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d, CBlitType& type)
{
    const int32_t w = d.right - d.left, h = d.bottom - d.top;
    if (w <= 0 || h <= 0 || !source.GetPixels())
        return;
    const int32_t wMask = int32_t((1u << source.GetWidthLog2()) - 1);
    const int32_t hMask = int32_t((1u << source.GetHeightLog2()) - 1);
    const int32_t sourceWidth = int32_t(source.GetWidth()), sourceHeight = int32_t(source.GetHeight());
    const bool blend = SrcBytes == 4 && DstBytes == 4 && Axes == WrapAxes::Both && type.GetOpacity() != 1.0f;
    uint8_t* dstRow = PixelAddress(destination, d.left, d.top, DstBytes);
    const size_t dstStride = RowStride(destination, DstBytes);
    for (int32_t i = 0; i < h; ++i, dstRow += dstStride) {
        const int32_t row = Axes == WrapAxes::X ? s.top + i : (s.top + i) & hMask;
        if (row < 0 || row >= sourceHeight)
            continue;
        const uint8_t* srcRow = PixelAddress(source, 0, row, SrcBytes);
        if constexpr (Axes == WrapAxes::Y) {
            const int32_t n = std::min(w, sourceWidth);
            if constexpr (SrcBytes == DstBytes)
                std::memcpy(dstRow, srcRow, size_t(n) * SrcBytes);
            else
                for (int32_t j = 0; j < n; ++j)
                    CopyWrapPixel<SrcBytes, DstBytes>(dstRow + size_t(j) * DstBytes, srcRow + size_t(j) * SrcBytes);
        } else if (blend) {
            for (int32_t j = 0; j < w; ++j)
                BlendWrapPixel(dstRow + 4 * size_t(j), srcRow + 4 * size_t((s.left + j) & wMask), type.GetOpacity255());
        } else {
            for (int32_t j = 0; j < w; ++j)
                CopyWrapPixel<SrcBytes, DstBytes>(dstRow + size_t(j) * DstBytes,
                                                  srcRow + size_t((s.left + j) & wMask) * SrcBytes);
        }
    }
}

// Replaces the stored colours of one plane's rows; see TextureRunLengthFrame.
void TexturePlane(uint8_t* block, const uint32_t* rows, uint32_t frameWidth, uint32_t frameHeight,
                  CFrameInterface& texture, int32_t srcX, int32_t srcY)
{
    if (!block || !rows)
        return;
    uint32_t blockSize;
    std::memcpy(&blockSize, block, 4);
    const int32_t wMask = int32_t((1u << texture.GetWidthLog2()) - 1);
    const int32_t hMask = int32_t((1u << texture.GetHeightLog2()) - 1);
    for (uint32_t r = 0; r < frameHeight; ++r) {
        const uint8_t* textureRow = PixelAddress(texture, 0, (int32_t(r) - srcY) & hMask, 2);
        const auto textureAt = [&](int32_t x) { return textureRow + 2 * size_t(x & wMask); };
        size_t at = rows[r];
        int32_t x = -srcX;
        uint32_t covered = 0;
        while (covered < frameWidth && at < blockSize) {
            const uint8_t c = block[at++];
            const uint32_t n = c & 0x3F;
            if (c & 0x80) {
                x += c & 0x7F;
                covered += c & 0x7F;
                continue;
            }
            const uint32_t values = (c & 0x40) ? n : 1;
            if (at + 2 * size_t(values) > blockSize)
                break;
            for (uint32_t k = 0; k < values; ++k)
                std::memcpy(block + at + 2 * k, textureAt(x + int32_t(k)), 2);
            at += 2 * size_t(values);
            x += int32_t(n);
            covered += n;
        }
    }
}

// Textures a 16-bit run-length frame in place (reached through WrapPow2's
// routine for a 16-bit source into a 16-bit run-length destination): every
// stored colour of its opaque plane and its alpha plane's colour stream
// becomes the texture pixel of its position, the texture offset by (srcX,
// srcY); a repeat run takes the colour of its first column. Control and alpha
// bytes stay. Frames over borrowed blocks (kFrameBorrowed, memory owned by a
// file buffer) are left alone, as are streams that would run past their block.
void TextureRunLengthFrame(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect&,
                           CBlitType&)
{
    if ((destination.GetFlags() & kFrameBorrowed) || !source.GetPixels())
        return;
    const uint32_t width = destination.GetWidth(), height = destination.GetHeight();
    TexturePlane(destination.GetPixels(), destination.GetRowTable(), width, height, source, s.left, s.top);
    TexturePlane(destination.GetRLEBlock(4), destination.GetRLERowTable(4), width, height, source, s.left, s.top);
}

void TileByTransparentMask(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                           CBlitType& type)
{
    TileByBlits(source, s, destination, d, type, GetTransparentMaskBlitType());
}

} // namespace

void TileByBlits(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                 const CBlitType& wrapType, CBlitType& tileType)
{
    CRect tile;
    source.GetBounds(tile);
    tile = {tile.left - source.GetOffsetX(), tile.top - source.GetOffsetY(), tile.right - source.GetOffsetX(),
            tile.bottom - source.GetOffsetY()};
    const int32_t tileW = tile.right - tile.left, tileH = tile.bottom - tile.top;
    const int32_t w = d.right - d.left, h = d.bottom - d.top;
    if (tileW <= 0 || tileH <= 0 || w <= 0 || h <= 0)
        return;
    const BlitFunction draw = tileType.GetBlitFunction(source, destination);
    if (!draw)
        return;
    const CScopedBlitOpacity opacity(tileType, wrapType.GetOpacity());
    for (int32_t ty = -FloorMod(s.top, tileH); ty < h; ty += tileH)
        for (int32_t tx = -FloorMod(s.left, tileW); tx < w; tx += tileW) {
            CRect from = tile;
            CRect to = {d.left + tx, d.top + ty, d.left + tx + tileW, d.top + ty + tileH};
            if (ClipRectPair(d, from, to))
                draw(source, from, destination, to, tileType);
        }
}

CBlitNormalWrapPow2::CBlitNormalWrapPow2()
{
    AddBlitFunction(8, 0, 8, 0, MaskedCopy<WrapAxes::Both, 1, 1>);
    AddBlitFunction(16, 0, 16, 0, MaskedCopy<WrapAxes::Both, 2, 2>);
    AddBlitFunction(24, 0, 24, 0, MaskedCopy<WrapAxes::Both, 3, 3>);
    AddBlitFunction(24, 0, 32, 0, MaskedCopy<WrapAxes::Both, 3, 4>);
    AddBlitFunction(32, 0, 32, 0, MaskedCopy<WrapAxes::Both, 4, 4>);
    AddBlitFunction(16, 0, 16, 4, TextureRunLengthFrame);
}

CBlitNormalWrapXPow2::CBlitNormalWrapXPow2()
{
    AddBlitFunction(8, 0, 8, 0, MaskedCopy<WrapAxes::X, 1, 1>);
    AddBlitFunction(16, 0, 16, 0, MaskedCopy<WrapAxes::X, 2, 2>);
    AddBlitFunction(24, 0, 24, 0, MaskedCopy<WrapAxes::X, 3, 3>);
    AddBlitFunction(24, 0, 32, 0, MaskedCopy<WrapAxes::X, 3, 4>);
}

CBlitNormalWrapYPow2::CBlitNormalWrapYPow2()
{
    AddBlitFunction(8, 0, 8, 0, MaskedCopy<WrapAxes::Y, 1, 1>);
    AddBlitFunction(16, 0, 16, 0, MaskedCopy<WrapAxes::Y, 2, 2>);
    AddBlitFunction(24, 0, 24, 0, MaskedCopy<WrapAxes::Y, 3, 3>);
    AddBlitFunction(32, 0, 32, 0, MaskedCopy<WrapAxes::Y, 4, 4>);
    // 3-byte source pixels widened, like the other two masked types.
    AddBlitFunction(24, 0, 32, 0, MaskedCopy<WrapAxes::Y, 3, 4>);
}

CBlitNormalWrapAny::CBlitNormalWrapAny()
{
    for (uint32_t depth : {8u, 16u, 24u, 32u})
        AddBlitFunction(depth, 0, depth, 0, TileByTransparentMask);
    AddBlitFunction(24, 0, 32, 0, TileByTransparentMask);
    for (uint32_t depth : {8u, 16u, 24u})
        AddBlitFunction(depth, 4, depth, 0, TileByTransparentMask);
    AddBlitFunction(24, 4, 32, 0, TileByTransparentMask);
}

CBlitType& GetWrapPow2BlitType()
{
    static CBlitNormalWrapPow2 type;
    return type;
}

CBlitType& GetWrapXPow2BlitType()
{
    static CBlitNormalWrapXPow2 type;
    return type;
}

CBlitType& GetWrapYPow2BlitType()
{
    static CBlitNormalWrapYPow2 type;
    return type;
}

CBlitType& GetWrapAnyBlitType()
{
    static CBlitNormalWrapAny type;
    return type;
}
