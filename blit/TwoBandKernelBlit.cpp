#include "blit/TwoBandKernelBlit.h"

#include "blit/CFrameInterface.h"

bool BlitTwoBands16(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                    SBlitArgs args, const SPlaneKernels& opaque, const SPlaneKernels& alpha)
{
    if (!destination.GetPixels() || d.right <= d.left || d.bottom <= d.top)
        return false;
    args.dstRow = destination.GetPixels() + size_t(destination.GetRowTable()[d.top]) * 2;
    args.dstPitch = int32_t(destination.GetPitch() * 2);
    args.width = uint32_t(d.right - d.left);
    args.height = uint32_t(d.bottom - d.top);
    const SRunLengthPlane opaquePlane{source.GetPixels(), source.GetRowTable()};
    DecodeRunLengthRows565(opaque, RowForm::Clipping, args, opaquePlane, s.top, s.bottom, s.left, d.left, d.right);
    const SRunLengthPlane alphaPlane{source.GetRLEBlock(4), source.GetRLERowTable(4), source.GetRLEBlock(3),
                                     source.GetRLERowTable(3)};
    // Without its alpha block the plane cannot be read at all.
    if (!alphaPlane.alpha)
        return false;
    return DecodeRunLengthRows565(alpha, RowForm::Clipping, args, alphaPlane, s.top, s.bottom, s.left, d.left, d.right);
}
