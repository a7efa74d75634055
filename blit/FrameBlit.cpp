#include "blit/FrameBlit.h"

#include "blit/CFrameInterface.h"
#include "blit/CPalette.h"
#include "blit/ColorTables.h"
#include "blit/GamePalette.h"
#include "foundation/CRect.h"

namespace {

// The first byte of pixel (x, y) of a raw frame, or null.
uint8_t* PixelAt(const CFrameInterface& frame, int32_t x, int32_t y)
{
    uint8_t* pixels = frame.GetPixels();
    const uint32_t* rows = frame.GetRowTable();
    if (!pixels || !rows)
        return nullptr;
    return pixels + (size_t(rows[y]) + size_t(x)) * frame.GetBytesPerPixel();
}

bool Inside(const CFrameInterface& frame, const CRect& r)
{
    return r.left >= 0 && r.top >= 0 && r.right <= int32_t(frame.GetWidth()) && r.bottom <= int32_t(frame.GetHeight());
}

} // namespace

bool IsOpaque(const CBlitType& type)
{
    return type.GetOpacity() == 1.0f;
}

bool MakeBlitArgs(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                  CBlitType& type, SBlitArgs& args)
{
    const int32_t width = d.right - d.left, height = d.bottom - d.top;
    if (width <= 0 || height <= 0 || s.right - s.left != width || s.bottom - s.top != height)
        return false;
    if ((source.GetFlags() | destination.GetFlags()) & kFrameRunLengthMask)
        return false;
    if (source.GetBytesPerPixel() == 0 || destination.GetBytesPerPixel() == 0 || !Inside(source, s)
        || !Inside(destination, d))
        return false;
    args.srcRow = PixelAt(source, s.left, s.top);
    args.dstRow = PixelAt(destination, d.left, d.top);
    if (!args.srcRow || !args.dstRow)
        return false;
    args.srcPitch = int32_t(source.GetPitch() * source.GetBytesPerPixel());
    args.dstPitch = int32_t(destination.GetPitch() * destination.GetBytesPerPixel());
    args.width = uint32_t(width);
    args.height = uint32_t(height);
    args.contiguous = args.srcPitch == int32_t(args.width * source.GetBytesPerPixel())
        && args.dstPitch == int32_t(args.width * destination.GetBytesPerPixel());
    args.tables = MakeBlitTables(type.GetOpacity255());
    const CArrayPOD<uint8_t>* lookup = type.GetLookupTable();
    args.tables.lookupTable = lookup && lookup->GetCount() >= 65536 ? lookup->GetData() : nullptr;
    args.blitType = &type;
    return true;
}

void RunRawRows(const SBlitArgs& args, RowFunction row)
{
    uint8_t* dst = args.dstRow;
    const uint8_t* src = args.srcRow;
    for (uint32_t y = 0; y < args.height; ++y, dst += args.dstPitch, src += args.srcPitch)
        row(args, dst, src, args.width);
}

void RunRawRowsJoined(const SBlitArgs& args, RowFunction row)
{
    // width * height <= 65535 * 65535 fits 32 bits.
    if (args.contiguous)
        row(args, args.dstRow, args.srcRow, args.width * args.height);
    else
        RunRawRows(args, row);
}

const uint8_t* SourcePalette(CFrameInterface& source, CBlitType& type)
{
    const CArrayPOD<uint8_t>* lookup = type.GetLookupTable();
    if (lookup && lookup->GetData() && lookup->GetCount() >= 768)
        return lookup->GetData();
    if (source.HasPalette())
        if (const CPalette* palette = source.GetPalette(); palette && palette->GetType() == 1)
            return palette->GetData();
    // Frames without a palette of their own are drawn through the game's.
    const CArrayPOD<uint8_t>& game = GetGamePalette();
    return game.GetCount() >= 768 ? game.GetData() : nullptr;
}
