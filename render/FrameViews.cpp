#include "render/FrameViews.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "images/CFrame.h"

bool MakePixelView(const CFrameInterface& frame, SPixelView& view)
{
    if (frame.GetBytesPerPixel() != 4 || !frame.GetPixels() || frame.GetWidth() == 0 || frame.GetHeight() == 0
        || (frame.GetFlags() & kFrameRunLengthMask) != 0)
        return false;
    // The pitch is a pixel count; a stored value above 2^31 is a bottom-up
    // buffer's negative pitch.
    const ptrdiff_t stride = ptrdiff_t(int32_t(frame.GetPitch())) * 4;
    view.width = frame.GetWidth();
    view.height = frame.GetHeight();
    view.stride = stride;
    view.bits = stride < 0 ? frame.GetPixels() - ptrdiff_t(view.height - 1) * stride : frame.GetPixels();
    return true;
}

bool ConvertFrameTo32(CFrame& frame)
{
    if (frame.GetBitDepth() == 32)
        return true;
    if (frame.GetWidth() == 0 || frame.GetHeight() == 0)
        return false;
    const int16_t offX = int16_t(frame.GetOffsetX()), offY = int16_t(frame.GetOffsetY());
    std::unique_ptr<CFrame> temporary = CFrame::MakeOwned(frame.GetWidth(), frame.GetHeight(), 32);
    if (!temporary)
        return false;
    CRect s;
    frame.GetBounds(s);
    const CRect d = SizeToRect(int32_t(frame.GetWidth()), int32_t(frame.GetHeight()));
    temporary->Blit(frame, s, d, GetNormalBlitType());
    frame.CopyFrom(temporary.get());
    frame.SetOffset(offX, offY);
    return frame.GetBitDepth() == 32;
}
