#include "render/COpacityProxyFrame.h"

#include "blit/CBlitType.h"
#include "render/CBlitXParams.h"
#include "render/ProxyBlit.h"

#include <cmath>

OMBRISALT_IMPLEMENT_CLASS(COpacityProxyFrame, 1.0)
void COpacityProxyFrame::DeclareProperties(CPropertyDeclarer&) {}
OMBRISALT_IMPLEMENT_CLASS(CRespectDestAlphaProxyFrame, 0.0)
void CRespectDestAlphaProxyFrame::DeclareProperties(CPropertyDeclarer&) {}

namespace {

// alpha * opacity held to 0..255; an opacity above 1 can not brighten past opaque.
float ScaledAlpha(uint8_t alpha, float opacity)
{
    const float product = float(alpha) * opacity;
    return product >= 255.0f ? 255.0f : product;
}

} // namespace

COpacityProxyFrame::COpacityProxyFrame()
{
    InitDeclaredProperties();
}

COpacityProxyFrame::COpacityProxyFrame(CFrameInterface* source, float opacity)
    : CProxyFrame(source)
    , m_Opacity(opacity)
{
    InitDeclaredProperties();
}

COpacityProxyFrame::~COpacityProxyFrame()
{
    DestroyDeclaredProperties();
}

CColor COpacityProxyFrame::Faded(const CColor& colour) const
{
    return CColor(colour.GetRed(), colour.GetGreen(), colour.GetBlue(),
                  uint8_t(std::nearbyintf(ScaledAlpha(colour.GetAlpha(), m_Opacity))));
}

bool COpacityProxyFrame::Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType)
{
    if (!(m_Opacity > 0.0f))
        return false;
    const CScopedBlitOpacity faded(blitType, blitType.GetOpacity() * m_Opacity);
    return m_Source->Blit(source, s, d, blitType);
}

bool COpacityProxyFrame::Render(CRenderableObject& renderable)
{
    if (!(m_Opacity > 0.0f))
        return false;
    const CColor old = renderable.m_Color;
    CColor faded;
    faded.SetCurrentPaletteColor(old.GetRed(), old.GetGreen(), old.GetBlue(),
                                 uint8_t(ScaledAlpha(old.GetAlpha(), m_Opacity)));
    renderable.m_Color = faded;
    const bool drawn = m_Source->Render(renderable);
    renderable.m_Color = old;
    return drawn;
}

void COpacityProxyFrame::Fill(CColor& colour)
{
    if (!(m_Opacity > 0.0f))
        return;
    CColor faded = Faded(colour);
    m_Source->Fill(faded);
}

void COpacityProxyFrame::FillRect(const CRect& rect, CColor& colour)
{
    if (!(m_Opacity > 0.0f))
        return;
    CColor faded = Faded(colour);
    m_Source->FillRect(rect, faded);
}

void COpacityProxyFrame::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CColor& colour)
{
    if (!(m_Opacity > 0.0f))
        return;
    CColor faded = Faded(colour);
    m_Source->DrawLine(x1, y1, x2, y2, faded);
}

void COpacityProxyFrame::DrawLineFloat(float x1, float y1, float x2, float y2, CColor& colour, float width)
{
    if (!(m_Opacity > 0.0f))
        return;
    CColor faded = Faded(colour);
    m_Source->DrawLineFloat(x1, y1, x2, y2, faded, width);
}

void COpacityProxyFrame::SetPixel(int32_t x, int32_t y, CColor& colour)
{
    if (!(m_Opacity > 0.0f))
        return;
    CColor faded = Faded(colour);
    m_Source->SetPixel(x, y, faded);
}

// ---- CRespectDestAlphaProxyFrame.

CRespectDestAlphaProxyFrame::CRespectDestAlphaProxyFrame()
{
    InitDeclaredProperties();
}

CRespectDestAlphaProxyFrame::~CRespectDestAlphaProxyFrame()
{
    DestroyDeclaredProperties();
}

bool CRespectDestAlphaProxyFrame::Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType)
{
    CBlitXParams params = MakeProxyBlit(source, s, d, blitType);
    params.m_Flags = CRenderableObject::kRespectDestinationAlpha;
    CRect clip;
    GetBounds(clip);
    params.m_ClipRect = clip;
    params.m_ClipEnabled = true;
    return m_Source->Render(params);
}

bool CRespectDestAlphaProxyFrame::Render(CRenderableObject& renderable)
{
    const uint32_t flags = renderable.m_Flags;
    renderable.m_Flags = flags | CRenderableObject::kRespectDestinationAlpha;
    const bool drawn = m_Source->Render(renderable);
    renderable.m_Flags = flags;
    return drawn;
}
