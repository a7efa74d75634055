#include "shell/CScreenCaptureFrame.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"

std::unique_ptr<CScreenCaptureFrame> CScreenCaptureFrame::Make(uint32_t width, uint32_t height)
{
    auto frame = std::make_unique<CScreenCaptureFrame>();
    if (!frame->Create(width, height, 32))
        return nullptr;
    return frame;
}

bool CScreenCaptureFrame::Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType)
{
    const CFrameInterface* picture = source.GetRealFrame();
    const bool copiesStraight = &blitType == &GetNormalBlitType() || &blitType == &GetBlackBiasBlitType();
    if (!copiesStraight || !picture || picture->GetBitDepth() != 32)
        return CFrame::Blit(source, s, d, blitType);
    CBlitType& over = GetTransparentMaskBlitType();
    const CScopedBlitOpacity opacity(over, blitType.GetOpacity());
    return CFrame::Blit(source, s, d, over);
}
