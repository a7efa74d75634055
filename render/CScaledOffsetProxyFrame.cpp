#include "render/CScaledOffsetProxyFrame.h"

#include "blit/CBlitType.h"
#include "foundation/MathHelpers.h"
#include "render/CBlitXParams.h"
#include "render/CCircleRenderer.h"
#include "render/CShape2D.h"
#include "render/CShape2DRenderers.h"
#include "render/ProxyBlit.h"

#include <cmath>

OMBRISALT_IMPLEMENT_CLASS(CScaledOffsetProxyFrame, 1.0)
void CScaledOffsetProxyFrame::DeclareProperties(CPropertyDeclarer&) {}
OMBRISALT_IMPLEMENT_CLASS(COffsetRotateScaleProxyFrame, 1.0)
void COffsetRotateScaleProxyFrame::DeclareProperties(CPropertyDeclarer&) {}

namespace {

constexpr float kRadiansPerDegree = 0.01745329238474369f;
constexpr float kDegreesPerRadian = 57.2957763671875f;
constexpr float kFullTurn = 6.2831854820251465f;

} // namespace

// ---- CScaledOffsetProxyFrame.

CScaledOffsetProxyFrame::CScaledOffsetProxyFrame()
{
    InitDeclaredProperties();
}

CScaledOffsetProxyFrame::CScaledOffsetProxyFrame(CFrameInterface* source)
{
    InitDeclaredProperties();
    SetFrame(source);
}

CScaledOffsetProxyFrame::~CScaledOffsetProxyFrame()
{
    DestroyDeclaredProperties();
}

void CScaledOffsetProxyFrame::Set(float scale, float offsetX, float offsetY)
{
    m_Scale = scale;
    m_OffsetX = offsetX;
    m_OffsetY = offsetY;
}

void CScaledOffsetProxyFrame::SetFrame(CFrameInterface* source)
{
    if (source) {
        m_CentreX = float(source->GetWidth()) * 0.5f;
        m_CentreY = float(source->GetHeight()) * 0.5f;
    }
    CProxyFrame::SetFrame(source);
}

CFPoint CScaledOffsetProxyFrame::Map(float x, float y) const
{
    const float dx = x - m_CentreX - m_OffsetX;
    const float dy = y - m_CentreY - m_OffsetY;
    return {dx * m_Scale + m_CentreX, dy * m_Scale + m_CentreY};
}

bool CScaledOffsetProxyFrame::Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType)
{
    SProxyBlit blit = MakeProxyBlitOfPart(source, s, d, blitType);
    CBlitXParams& params = blit.params;
    const CFPoint p = Map(params.m_X, params.m_Y);
    params.m_X = p.x, params.m_Y = p.y;
    params.m_ScaleX = m_Scale, params.m_ScaleY = m_Scale;
    CRect clip;
    GetBounds(clip);
    params.m_ClipRect = clip;
    params.m_ClipEnabled = true;
    return m_Source->Render(params);
}

bool CScaledOffsetProxyFrame::Render(CRenderableObject& renderable)
{
    const CFPoint p = Map(renderable.m_X, renderable.m_Y);
    if (renderable.IsKindOf(CCircleRenderer::SGetClassInfo())) {
        CCircleRenderer copy(static_cast<CCircleRenderer&>(renderable));
        copy.m_X = p.x, copy.m_Y = p.y;
        copy.SetRadius(copy.GetRadius() * m_Scale);
        return m_Source->Render(copy);
    }
    if (renderable.IsKindOf(CBlitXParams::SGetClassInfo())) {
        CBlitXParams copy(static_cast<CBlitXParams&>(renderable));
        copy.m_X = p.x, copy.m_Y = p.y;
        copy.m_ScaleX = copy.m_ScaleX * m_Scale, copy.m_ScaleY = copy.m_ScaleY * m_Scale;
        return m_Source->Render(copy);
    }
    if (renderable.IsKindOf(CShape2DFillRenderer::SGetClassInfo())) {
        CShape2DFillRenderer copy(static_cast<CShape2DFillRenderer&>(renderable));
        copy.m_X = p.x, copy.m_Y = p.y;
        copy.m_Scale = copy.m_Scale * m_Scale;
        return m_Source->Render(copy);
    }
    if (renderable.IsKindOf(CShape2DOutlineRenderer::SGetClassInfo())) {
        CShape2DOutlineRenderer copy(static_cast<CShape2DOutlineRenderer&>(renderable));
        copy.m_X = p.x, copy.m_Y = p.y;
        copy.m_Scale = copy.m_Scale * m_Scale;
        return m_Source->Render(copy);
    }
    const float x = renderable.m_X, y = renderable.m_Y;
    renderable.m_X = p.x, renderable.m_Y = p.y;
    const bool drawn = m_Source->Render(renderable);
    renderable.m_X = x, renderable.m_Y = y;
    return drawn;
}

void CScaledOffsetProxyFrame::FillRect(const CRect& rect, CColor& colour)
{
    const CFPoint a = Map(float(rect.left), float(rect.top));
    const CFPoint b = Map(float(rect.right), float(rect.bottom));
    m_Source->FillRect({FloorToInt(a.x), FloorToInt(a.y), CeilToInt(b.x), CeilToInt(b.y)}, colour);
}

void CScaledOffsetProxyFrame::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CColor& colour)
{
    DrawLineFloat(float(x1), float(y1), float(x2), float(y2), colour, 1.0f);
}

void CScaledOffsetProxyFrame::DrawLineFloat(float x1, float y1, float x2, float y2, CColor& colour, float width)
{
    const CFPoint a = Map(x1, y1), b = Map(x2, y2);
    m_Source->DrawLineFloat(a.x, a.y, b.x, b.y, colour, width);
}

void CScaledOffsetProxyFrame::SetPixel(int32_t x, int32_t y, CColor& colour)
{
    const CFPoint p = Map(float(x), float(y));
    m_Source->SetPixel(RoundToIntHeld(p.x), RoundToIntHeld(p.y), colour);
}

// ---- COffsetRotateScaleProxyFrame.

COffsetRotateScaleProxyFrame::COffsetRotateScaleProxyFrame()
{
    InitDeclaredProperties();
}

COffsetRotateScaleProxyFrame::~COffsetRotateScaleProxyFrame()
{
    DestroyDeclaredProperties();
}

void COffsetRotateScaleProxyFrame::SetRotationDegrees(float degrees)
{
    m_Rotation = degrees * kRadiansPerDegree;
}

void COffsetRotateScaleProxyFrame::SetColor(const CColor& colour)
{
    m_Color = colour;
    m_ColorEnabled = true;
}

void COffsetRotateScaleProxyFrame::SetOpacity(float opacity)
{
    const double alpha = double(opacity) * 255.0;
    m_Color.Set(m_Color.GetRed(), m_Color.GetGreen(), m_Color.GetBlue(),
                alpha >= 255.0    ? 255
                    : alpha > 0.0 ? uint8_t(alpha)
                                  : 0);
    m_ColorEnabled = true;
}

CFPoint COffsetRotateScaleProxyFrame::MapPoint(float x, float y) const
{
    const float dx = x - m_PivotX, dy = y - m_PivotY;
    float sine, cosine;
    LookupSinCos(m_Rotation, sine, cosine);
    const float rx = dx * cosine - dy * sine;
    const float ry = dx * sine + dy * cosine;
    const float sx = rx * m_ScaleX, sy = ry * m_ScaleY;
    return {sx + m_PivotX + m_OffsetX, sy + m_PivotY + m_OffsetY};
}

void COffsetRotateScaleProxyFrame::ModulateColor(CColor& colour) const
{
    if (!m_ColorEnabled)
        return;
    colour.Set(uint8_t(colour.GetRed() * m_Color.GetRed() / 255), uint8_t(colour.GetGreen() * m_Color.GetGreen() / 255),
               uint8_t(colour.GetBlue() * m_Color.GetBlue() / 255),
               uint8_t(colour.GetAlpha() * m_Color.GetAlpha() / 255));
}

bool COffsetRotateScaleProxyFrame::Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType)
{
    SProxyBlit blit = MakeProxyBlitOfPart(source, s, d, blitType);
    CBlitXParams& params = blit.params;
    CRect clip;
    GetBounds(clip);
    params.m_ClipRect = clip;
    params.m_ClipEnabled = true;
    return Render(params);
}

bool COffsetRotateScaleProxyFrame::Render(CRenderableObject& renderable)
{
    const CFPoint p = MapPoint(renderable.m_X, renderable.m_Y);
    if (renderable.IsKindOf(CBlitXParams::SGetClassInfo())) {
        CBlitXParams copy(static_cast<CBlitXParams&>(renderable));
        copy.m_X = p.x, copy.m_Y = p.y;
        float radians = copy.m_Angle * kRadiansPerDegree + m_Rotation;
        if (radians < 0.0f)
            radians += kFullTurn;
        if (!(radians < kFullTurn))
            radians -= kFullTurn;
        copy.m_Angle = radians * kDegreesPerRadian;
        copy.m_ScaleX = copy.m_ScaleX * m_ScaleX, copy.m_ScaleY = copy.m_ScaleY * m_ScaleY;
        ModulateColor(copy.m_Color);
        return m_Source->Render(copy);
    }
    // Shapes are moved and scaled (by the x scale) but not rotated.
    if (renderable.IsKindOf(CShape2DFillRenderer::SGetClassInfo())) {
        CShape2DFillRenderer copy(static_cast<CShape2DFillRenderer&>(renderable));
        copy.m_X = p.x, copy.m_Y = p.y;
        copy.m_Scale = copy.m_Scale * m_ScaleX;
        ModulateColor(copy.m_Color);
        return m_Source->Render(copy);
    }
    if (renderable.IsKindOf(CShape2DOutlineRenderer::SGetClassInfo())) {
        CShape2DOutlineRenderer copy(static_cast<CShape2DOutlineRenderer&>(renderable));
        copy.m_X = p.x, copy.m_Y = p.y;
        copy.m_Scale = copy.m_Scale * m_ScaleX;
        ModulateColor(copy.m_Color);
        return m_Source->Render(copy);
    }
    const float x = renderable.m_X, y = renderable.m_Y;
    renderable.m_X = p.x, renderable.m_Y = p.y;
    const bool drawn = m_Source->Render(renderable);
    renderable.m_X = x, renderable.m_Y = y;
    return drawn;
}

void COffsetRotateScaleProxyFrame::FillRect(const CRect& rect, CColor& colour)
{
    CColor tinted = colour;
    ModulateColor(tinted);
    if (m_Rotation == 0.0f) {
        const CFPoint a = MapPoint(float(rect.left), float(rect.top));
        const CFPoint b = MapPoint(float(rect.right), float(rect.bottom));
        m_Source->FillRect({RoundToIntHeld(a.x), RoundToIntHeld(a.y), RoundToIntHeld(b.x), RoundToIntHeld(b.y)},
                           tinted);
        return;
    }
    Ombrisalt::CShape2D shape(1, 4);
    shape.MoveTo(MapPoint(float(rect.left), float(rect.top)));
    shape.LineTo(MapPoint(float(rect.right), float(rect.top)));
    shape.LineTo(MapPoint(float(rect.right), float(rect.bottom)));
    shape.LineTo(MapPoint(float(rect.left), float(rect.bottom)));
    shape.ClosePath();
    CShape2DFillRenderer fill;
    fill.m_Shape = &shape;
    fill.m_Color = tinted;
    m_Source->Render(fill);
}

void COffsetRotateScaleProxyFrame::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CColor& colour)
{
    DrawLineFloat(float(x1), float(y1), float(x2), float(y2), colour, 1.0f);
}

void COffsetRotateScaleProxyFrame::DrawLineFloat(float x1, float y1, float x2, float y2, CColor& colour, float width)
{
    const CFPoint a = MapPoint(x1, y1), b = MapPoint(x2, y2);
    CColor tinted = colour;
    ModulateColor(tinted);
    m_Source->DrawLineFloat(a.x, a.y, b.x, b.y, tinted, width);
}

void COffsetRotateScaleProxyFrame::SetPixel(int32_t x, int32_t y, CColor& colour)
{
    const CFPoint p = MapPoint(float(x), float(y));
    CColor tinted = colour;
    ModulateColor(tinted);
    m_Source->SetPixel(RoundToIntHeld(p.x), RoundToIntHeld(p.y), tinted);
}
