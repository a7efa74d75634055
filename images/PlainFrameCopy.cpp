#include "images/PlainFrameCopy.h"

#include "blit/CBlitTypeList.h"
#include "blit/CPalette.h"
#include "blit/ColorTables.h"
#include "images/CFrame.h"
#include "images/CPaletteHolder.h"

#include <cstring>

namespace {

struct SRgba {
    uint8_t b, g, r, a;
};

SRgba PixelAt(const CFrame& frame, const uint8_t* row, uint32_t x, const uint8_t* palette, uint32_t paletteSize)
{
    switch (frame.GetBitDepth()) {
    case 8: {
        const uint32_t i = row[x];
        if (i * 3 + 2 >= paletteSize)
            return {0, 0, 0, 255};
        return {palette[i * 3], palette[i * 3 + 1], palette[i * 3 + 2], 255};
    }
    case 16: {
        uint16_t v;
        std::memcpy(&v, row + x * 2, 2);
        // The listed 5- and 6-bit expansions: (255 i + 16) / 31, (255 i + 32) / 63.
        const uint32_t r5 = v >> 11, g6 = (v >> 5) & 63, b5 = v & 31;
        return {uint8_t((255 * b5 + 16) / 31), uint8_t((255 * g6 + 32) / 63), uint8_t((255 * r5 + 16) / 31), 255};
    }
    case 24:
        return {row[x * 3], row[x * 3 + 1], row[x * 3 + 2], 255};
    default:
        return {row[x * 4], row[x * 4 + 1], row[x * 4 + 2], row[x * 4 + 3]};
    }
}

} // namespace

bool CopyPlainFrameToDepth(const CFrame& source, CFrame& destination, uint32_t depth)
{
    if ((depth != 24 && depth != 32) || source.IsCompressed() || !source.GetPixels() || source.GetBitDepth() == 0)
        return false;
    const uint32_t width = source.GetWidth(), height = source.GetHeight();
    const int16_t offsetX = int16_t(source.GetOffsetX()), offsetY = int16_t(source.GetOffsetY());
    // Written straight into the destination, so that a large frame is not
    // held three times over; a frame copied onto itself goes through a copy.
    const bool inPlace = &source == &destination;
    CFrame made;
    CFrame& target = inPlace ? made : destination;
    if (!inPlace)
        destination.Free();
    if (!target.Create(width, height, depth))
        return false;
    const uint8_t* palette = nullptr;
    uint32_t paletteSize = 0;
    if (source.GetBitDepth() == 8) {
        if (const CPalette* own = GetFramePalette(source); own && own->GetType() == 1 && own->GetData()) {
            palette = own->GetData();
            paletteSize = CPalette::GetTableSize(1);
        } else {
            palette = GetGamePalette().GetData();
            paletteSize = GetGamePalette().GetCount();
        }
    }
    const uint32_t bytes = depth / 8;
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* in = source.Row(y);
        uint8_t* out = target.Row(y);
        for (uint32_t x = 0; x < width; ++x) {
            const SRgba p = PixelAt(source, in, x, palette, paletteSize);
            out[x * bytes] = p.b;
            out[x * bytes + 1] = p.g;
            out[x * bytes + 2] = p.r;
            if (bytes == 4)
                out[x * 4 + 3] = p.a;
        }
    }
    if (inPlace) {
        destination.Free();
        if (!destination.Create(width, height, depth))
            return false;
        std::memcpy(destination.GetPixels(), made.GetPixels(), size_t(width) * height * bytes);
    }
    destination.SetOffset(offsetX, offsetY);
    return true;
}

const CFrame* FramePixelsAs32Bit(CFrame& frame, CFrame& storage)
{
    if (frame.GetBitDepth() == 32 && !frame.IsCompressed())
        return &frame;
    if (frame.IsCompressed()) {
        if (!storage.Create(frame.GetWidth(), frame.GetHeight(), 32))
            return nullptr;
        const CRect rect = SizeToRect(int32_t(frame.GetWidth()), int32_t(frame.GetHeight()));
        storage.BlitToFrame(frame, rect, rect, GetNormalBlitType());
        return &storage;
    }
    return CopyPlainFrameToDepth(frame, storage, 32) ? &storage : nullptr;
}
