#include "render/CCircleRenderer.h"

#include "render/CShape2D.h"
#include "render/CShape2DRenderers.h"

#include <cmath>

OMBRISALT_IMPLEMENT_CLASS(CCircleRenderer, 1.0)
void CCircleRenderer::DeclareProperties(CPropertyDeclarer&) {}

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
    points.push_back({cx + m_Radius, cy});
    for (int32_t i = 1; i <= sides; ++i) {
        const float angle = float(i) * step;
        points.push_back({cx + std::cos(angle) * m_Radius, cy + std::sin(angle) * m_Radius});
    }
    return points;
}

bool CCircleRenderer::Render(CFrameInterface& target)
{
    const std::vector<CFPoint> points = BuildPolygon();
    Ombrisalt::CShape2D shape(1, uint32_t(points.size()));
    shape.MoveTo(points.front());
    for (size_t i = 1; i < points.size(); ++i)
        shape.LineTo(points[i]);
    shape.ClosePath();
    CShape2DOutlineRenderer outline;
    outline.m_Shape = &shape;
    outline.m_LineWidth = m_LineWidth;
    outline.m_Color = m_Color;
    return target.Render(outline);
}
