#include "render/RegisterRenderClasses.h"

#include "images/CFrame.h"
#include "render/CBatchedProxyFrame.h"
#include "render/CBlitXParams.h"
#include "render/CCircleRenderer.h"
#include "render/COpacityProxyFrame.h"
#include "render/CScaledOffsetProxyFrame.h"
#include "render/CShape2D.h"
#include "render/CShape2DRenderers.h"
#include "render/CTransformedFrameCache.h"

namespace {

std::unique_ptr<CFrameInterface> MakeProbeFrame(int32_t x, int32_t y)
{
    // A 1 x 1 frame can only sit where its 16-bit offset reaches.
    if (x < INT16_MIN || x > INT16_MAX || y < INT16_MIN || y > INT16_MAX)
        return nullptr;
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(1, 1, 32);
    if (frame)
        frame->SetOffset(int16_t(x), int16_t(y));
    return frame;
}

// A 32-bit frame draws a float line as a one-segment outline of that width.
void DrawFloatLine(CFrame& frame, float x1, float y1, float x2, float y2, CColor& colour, float width)
{
    Ombrisalt::CShape2D segment(1, 2);
    segment.MoveTo(x1, y1);
    segment.LineTo(x2, y2);
    CShape2DOutlineRenderer outline;
    outline.m_Shape = &segment;
    outline.m_LineWidth = width;
    outline.m_Color = colour;
    frame.Render(outline);
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
    // Installed once: a test may have put its own in since.
    [[maybe_unused]] static const bool hooksInstalled = [] {
        SetProbeSurfaceMaker(&MakeProbeFrame);
        SetFloatLineDrawer(&DrawFloatLine);
        return true;
    }();
}
