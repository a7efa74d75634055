#include "render/CCircleRenderer.h"

#include <cmath>

OMBRISALT_IMPLEMENT_CLASS(CCircleRenderer, 1.0)
void CCircleRenderer::DeclareProperties(CPropertyDeclarer&) {}

namespace {

PolygonOutlineRenderer g_OutlineRenderer = nullptr;
PolygonFillRenderer g_FillRenderer = nullptr;

} // namespace

PolygonOutlineRenderer SetPolygonOutlineRenderer(PolygonOutlineRenderer renderer)
{
    const PolygonOutlineRenderer old = g_OutlineRenderer;
    g_OutlineRenderer = renderer;
    return old;
}

PolygonFillRenderer SetPolygonFillRenderer(PolygonFillRenderer renderer)
{
    const PolygonFillRenderer old = g_FillRenderer;
    g_FillRenderer = renderer;
    return old;
}

bool RenderPolygonOutline(CFrameInterface& target, const std::vector<CFPoint>& points, const CColor& colour,
                          float lineWidth)
{
    return g_OutlineRenderer && g_OutlineRenderer(target, points, colour, lineWidth);
}

bool RenderPolygonFill(CFrameInterface& target, const std::vector<CFPoint>& points, const CColor& colour)
{
    return g_FillRenderer && g_FillRenderer(target, points, colour);
}

CCircleRenderer::CCircleRenderer()
{
    InitDeclaredProperties();
}

CCircleRenderer::CCircleRenderer(const CCircleRenderer& other)
    : CRenderableObject(other)
    , m_Radius(other.m_Radius)
    , m_LineWidth(other.m_LineWidth)
{
    InitDeclaredProperties();
}

CCircleRenderer::~CCircleRenderer()
{
    DestroyDeclaredProperties();
}

std::vector<CFPoint> CCircleRenderer::BuildPolygon() const
{
    // Truncated toward zero and held to 8..40 (NaN and negatives give 8).
    int32_t sides = 8;
    if (m_Radius >= 40.0f)
        sides = 40;
    else if (m_Radius > 8.0f)
        sides = int32_t(m_Radius);
    const float step = 2.0f * 3.14159265358979323846f / float(sides);
    const float cx = m_X, cy = m_Y;
    std::vector<CFPoint> points;
    points.reserve(size_t(sides) + 1);
    points.push_back({ cx + m_Radius, cy });
    for (int32_t i = 1; i <= sides; ++i) {
        const float angle = float(i) * step;
        points.push_back({ cx + std::cos(angle) * m_Radius, cy + std::sin(angle) * m_Radius });
    }
    return points;
}

bool CCircleRenderer::Render(CFrameInterface& target)
{
    return RenderPolygonOutline(target, BuildPolygon(), m_Color, m_LineWidth);
}
