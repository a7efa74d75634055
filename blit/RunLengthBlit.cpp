#include "blit/RunLengthBlit.h"

#include "blit/CFrameInterface.h"
#include "blit/GamePalette.h"
#include "blit/RunLengthRows.h"

#include <array>

namespace {

struct SPlane {
    const uint8_t* block = nullptr;
    const uint32_t* rows = nullptr;
};

RowForm FormFor(const CFrameInterface& source, const CRect& s)
{
    return s.left == 0 && uint32_t(s.right) == source.GetWidth() ? RowForm::Whole : RowForm::Clipping;
}

SBlitArgs ArgsFor(CFrameInterface& destination, const CRect& d, const CBlitType& blitType)
{
    SBlitArgs args;
    const uint32_t bytes = destination.GetBytesPerPixel();
    args.dstRow = destination.GetPixels() + size_t(destination.GetRowTable()[d.top]) * bytes;
    args.dstPitch = int32_t(destination.GetPitch() * bytes);
    args.width = uint32_t(d.right - d.left);
    args.height = uint32_t(d.bottom - d.top);
    args.tables = MakeBlitTables(blitType.GetOpacity255());
    args.blitType = &blitType;
    return args;
}

// Draws the rows s.top to s.bottom - 1 of one plane; the destination row
// starts afresh at d.top for every plane.
void DrawPlane(RunLengthFamily family, const SBlitArgs& args, RowForm form, SPlane colour, SPlane alpha, const CRect& s,
               const CRect& d)
{
    const SRunLengthPlane plane{colour.block, colour.rows, alpha.block, alpha.rows};
    DecodeRunLengthRows(family, form, args, plane, s.top, s.bottom, s.left, d.left, d.right);
}

SPlane PlaneOf(const CFrameInterface& frame, uint32_t block)
{
    if (block == 0)
        return {frame.GetPixels(), frame.GetRowTable()};
    return {frame.GetRLEBlock(block), frame.GetRLERowTable(block)};
}

// Plane k of a five-band frame: the main block, then extra blocks 4 to 1.
SPlane FiveBandPlane(const CFrameInterface& frame, uint32_t k)
{
    return PlaneOf(frame, k == 0 ? 0 : 5 - k);
}

void BlitFiveBands(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                   CBlitType& blitType, bool to16)
{
    const uint32_t level = blitType.GetBlendLevel();
    if (level > 4 || !destination.GetPixels())
        return;
    const SBlitArgs args = ArgsFor(destination, d, blitType);
    const RowForm form = FormFor(source, s);
    for (uint32_t slot = level; slot < 5; ++slot) {
        const RunLengthFamily family
            = to16 ? RunLengthFamily::Index8To16 : RunLengthFamily(uint32_t(RunLengthFamily::Index8Level0) + slot);
        DrawPlane(family, args, form, FiveBandPlane(source, slot - level), {}, s, d);
    }
}

void BlitTwoBands(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                  CBlitType& blitType, RunLengthFamily opaque, RunLengthFamily alpha)
{
    if (!destination.GetPixels())
        return;
    const SBlitArgs args = ArgsFor(destination, d, blitType);
    const RowForm form = FormFor(source, s);
    DrawPlane(opaque, args, form, PlaneOf(source, 0), {}, s, d);
    DrawPlane(alpha, args, form, PlaneOf(source, 4), PlaneOf(source, 3), s, d);
}

bool FullOpacity(const CBlitType& blitType)
{
    return blitType.GetOpacity() == 1.0f;
}

} // namespace

void BlitRunLength8To8(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                       CBlitType& blitType)
{
    BlitFiveBands(source, s, destination, d, blitType, false);
}

void BlitRunLength8To16(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                        CBlitType& blitType)
{
    BlitFiveBands(source, s, destination, d, blitType, true);
}

void BlitFiveBandsThrough(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                          CBlitType& blitType, const SBlitTables& tables,
                          const std::array<SPlaneKernels, 5>& kernels)
{
    const uint32_t level = blitType.GetBlendLevel();
    if (level > 4 || !destination.GetPixels())
        return;
    SBlitArgs args = ArgsFor(destination, d, blitType);
    args.tables = tables;
    const RowForm form = FormFor(source, s);
    for (uint32_t slot = level; slot < 5; ++slot) {
        const SPlane plane = FiveBandPlane(source, slot - level);
        DecodeRunLengthRowsIndex8(kernels[slot], form, args, {plane.block, plane.rows}, s.top, s.bottom, s.left,
                                  d.left, d.right);
    }
}

void BlitRunLength16To16(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                         CBlitType& blitType)
{
    using enum RunLengthFamily;
    if (FullOpacity(blitType))
        BlitTwoBands(source, s, destination, d, blitType, Rgb565To16, Rgb565AlphaTo16);
    else
        BlitTwoBands(source, s, destination, d, blitType, Rgb565OpacityTo16, Rgb565ScaledAlphaTo16);
}

void BlitRunLength16To24(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                         CBlitType& blitType)
{
    BlitTwoBands(source, s, destination, d, blitType, RunLengthFamily::Rgb565To24, RunLengthFamily::Rgb565AlphaTo24);
}

void BlitRunLength16To32(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                         CBlitType& blitType)
{
    BlitTwoBands(source, s, destination, d, blitType, RunLengthFamily::Rgb565To32, RunLengthFamily::Rgb565AlphaTo32);
}

void BlitRunLength24To24(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                         CBlitType& blitType)
{
    using enum RunLengthFamily;
    if (FullOpacity(blitType))
        BlitTwoBands(source, s, destination, d, blitType, Rgb24To24, Rgb24AlphaTo24);
    else
        BlitTwoBands(source, s, destination, d, blitType, Rgb24OpacityTo24, Rgb24ScaledAlphaTo24);
}

void BlitRunLength24To32(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                         CBlitType& blitType)
{
    using enum RunLengthFamily;
    if (FullOpacity(blitType))
        BlitTwoBands(source, s, destination, d, blitType, Rgb24To32, Rgb24AlphaTo32);
    else
        BlitTwoBands(source, s, destination, d, blitType, Rgb24OpacityTo32, Rgb24ScaledAlphaTo32);
}

void AddRunLengthBlits(CBlitType& type, RunLengthBlitSet set)
{
    type.AddBlitFunction(8, 2, 8, 0, &BlitRunLength8To8);
    type.AddBlitFunction(8, 2, 16, 0, &BlitRunLength8To16);
    type.AddBlitFunction(16, 4, 16, 0, &BlitRunLength16To16);
    if (set == RunLengthBlitSet::Normal)
        type.AddBlitFunction(16, 4, 24, 0, &BlitRunLength16To24);
    type.AddBlitFunction(16, 4, 32, 0, &BlitRunLength16To32);
    type.AddBlitFunction(24, 4, 24, 0, &BlitRunLength24To24);
    type.AddBlitFunction(24, 4, 32, 0, &BlitRunLength24To32);
}
