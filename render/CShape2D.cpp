#include "render/CShape2D.h"

#include "foundation/MathHelpers.h"
#include "render/ShapePath.h"

#include <agg_conv_transform.h>
#include <agg_curves.h>

#include <algorithm>
#include <cmath>

namespace Ombrisalt {

CShape2D::CShape2D(uint32_t kind, uint32_t pointCapacity)
    : m_Kind(kind)
{
    m_Points.Reserve(pointCapacity);
}

CShape2D::~CShape2D() = default;

void CShape2D::MoveTo(float x, float y)
{
    m_Commands.Append(kMoveTo);
    m_Points.Append({x, y});
}

void CShape2D::LineTo(float x, float y)
{
    m_Commands.Append(kLineTo);
    m_Points.Append({x, y});
}

void CShape2D::CubicTo(const CFPoint& control1, const CFPoint& control2, const CFPoint& end)
{
    const CFPoint points[3] = {control1, control2, end};
    AddCommand(kCubicTo, points, 3);
}

void CShape2D::QuadTo(const CFPoint& control, const CFPoint& end)
{
    const CFPoint points[2] = {control, end};
    AddCommand(kQuadTo, points, 2);
}

void CShape2D::AddCommand(uint32_t code, const CFPoint* points, uint32_t count)
{
    m_Commands.Append(code);
    for (uint32_t i = 0; i < count; ++i)
        m_Points.Append(points[i]);
}

void CShape2D::ClosePath()
{
    if (!m_Points.IsEmpty())
        LineTo(m_Points[0]);
}

void CShape2D::GetBounds(CRect& out) const
{
    CFRect f;
    if (m_Points.IsEmpty())
        return;
    GetBoundsF(f);
    out = {FloorToInt(f.left), FloorToInt(f.top), CeilToInt(f.right), CeilToInt(f.bottom)};
}

void CShape2D::GetBoundsF(CFRect& out) const
{
    if (m_Points.IsEmpty())
        return;
    out = {m_Points[0].x, m_Points[0].y, m_Points[0].x, m_Points[0].y};
    for (const CFPoint& p : m_Points) {
        out.left = std::min(out.left, p.x);
        out.top = std::min(out.top, p.y);
        out.right = std::max(out.right, p.x);
        out.bottom = std::max(out.bottom, p.y);
    }
}

} // namespace Ombrisalt

CFPoint* InsertPoint(CArrayPOD<CFPoint>& points, uint32_t index)
{
    return points.InsertAt(index);
}

void AppendShapePath(agg::path_storage& path, const Ombrisalt::CShape2D& shape)
{
    using Ombrisalt::CShape2D;
    const CArrayPOD<CFPoint>& points = shape.GetPoints();
    const uint32_t count = points.GetCount();
    uint32_t next = 0;
    double cx = 0, cy = 0;
    // Joining a curve's vertices to the current contour: its first vertex is
    // the current point, which is already in the path unless nothing is.
    const auto join = [&path](auto& curve) {
        curve.rewind(0);
        double x, y;
        unsigned cmd = curve.vertex(&x, &y);
        if (path.total_vertices() == 0 && !agg::is_stop(cmd))
            path.move_to(x, y);
        while (!agg::is_stop(cmd = curve.vertex(&x, &y)))
            path.line_to(x, y);
    };
    for (uint32_t code : shape.GetCommands()) {
        switch (code) {
        case CShape2D::kMoveTo:
        case CShape2D::kLineTo:
            if (next + 1 > count)
                return;
            cx = points[next].x, cy = points[next].y;
            ++next;
            if (code == CShape2D::kMoveTo)
                path.move_to(cx, cy);
            else
                path.line_to(cx, cy);
            break;
        case CShape2D::kCubicTo: {
            if (next + 3 > count)
                return;
            const CFPoint* p = &points[next];
            agg::curve4_div curve;
            curve.approximation_scale(1.0);
            curve.angle_tolerance(0.0);
            curve.cusp_limit(0.0);
            curve.init(cx, cy, p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y);
            join(curve);
            cx = p[2].x, cy = p[2].y;
            next += 3;
            break;
        }
        case CShape2D::kQuadTo: {
            if (next + 2 > count)
                return;
            const CFPoint* p = &points[next];
            agg::curve3_div curve;
            curve.approximation_scale(1.0);
            curve.angle_tolerance(0.0);
            curve.init(cx, cy, p[0].x, p[0].y, p[1].x, p[1].y);
            join(curve);
            cx = p[1].x, cy = p[1].y;
            next += 2;
            break;
        }
        default:
            break;
        }
    }
}

bool GetPathBounds(agg::path_storage& path, agg::trans_affine transform, CRect& out)
{
    agg::conv_transform<agg::path_storage> transformed(path, transform);
    transformed.rewind(0);
    double x, y;
    unsigned cmd;
    bool any = false;
    float left = 0, top = 0, right = 0, bottom = 0;
    while (!agg::is_stop(cmd = transformed.vertex(&x, &y))) {
        if (!agg::is_vertex(cmd))
            continue;
        if (!std::isfinite(x) || !std::isfinite(y))
            return false;
        const float fx = float(x), fy = float(y);
        if (!any || fx < left)
            left = fx;
        if (!any || fx > right)
            right = fx;
        if (!any || fy < top)
            top = fy;
        if (!any || fy > bottom)
            bottom = fy;
        any = true;
    }
    if (any)
        out = {FloorToInt(left), FloorToInt(top), CeilToInt(right), CeilToInt(bottom)};
    return any;
}
