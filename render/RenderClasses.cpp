#include "render/RenderClasses.h"

#include "images/CFrame.h"
#include "render/CBatchedProxyFrame.h"
#include "render/CBlitXParams.h"
#include "render/CCircleRenderer.h"
#include "render/COpacityProxyFrame.h"
#include "render/CScaledOffsetProxyFrame.h"
#include "render/CTransformedFrameCache.h"

namespace {

CFrameInterface* MakeProbeFrame(int32_t x, int32_t y)
{
    // A 1 x 1 frame can only sit where its 16-bit offset reaches.
    if (x < INT16_MIN || x > INT16_MAX || y < INT16_MIN || y > INT16_MAX)
        return nullptr;
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(1, 1, 32);
    if (!frame)
        return nullptr;
    frame->SetOffset(int16_t(x), int16_t(y));
    return frame.release();
}

} // namespace

void RegisterRenderClasses()
{
    RegisterImagesClasses();
    RegisterShapeAndBlitClasses();
    CProxyFrame::SGetClassInfo();
    COffsetProxyFrame::SGetClassInfo();
    CClippedProxyFrame::SGetClassInfo();
    COffsetClippedProxyFrame::SGetClassInfo();
    COpacityProxyFrame::SGetClassInfo();
    CRespectDestAlphaProxyFrame::SGetClassInfo();
    CScaledOffsetProxyFrame::SGetClassInfo();
    COffsetRotateScaleProxyFrame::SGetClassInfo();
    CBatchedProxyFrame::SGetClassInfo();
    CCircleRenderer::SGetClassInfo();
    CTransformedFrame::SGetClassInfo();
    CTransformedFrameCache::SGetClassInfo();
    CTransformedFrameCacheProxyFrame::SGetClassInfo();
    SetProbeSurfaceMaker(&MakeProbeFrame);
}
