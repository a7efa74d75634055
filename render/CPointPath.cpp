#include "render/CPointPath.h"

#include "blit/CColor.h"
#include "blit/CFrameInterface.h"
#include "foundation/MathHelpers.h"
#include "foundation/SaturatingArithmetic.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

SPointPathLabelDrawer g_LabelDrawer;

// atan2 in [0, 2pi).
float Angle(float x, float y)
{
    float a = std::atan2(y, x);
    if (a < 0)
        a += k2Pi;
    return a;
}

} // namespace

SPointPathLabelDrawer SetPointPathLabelDrawer(SPointPathLabelDrawer drawer)
{
    return std::exchange(g_LabelDrawer, drawer);
}

void CPointPath::InsertPoint(float x, float y, uint32_t index)
{
    const uint32_t count = m_Points.GetCount();
    if (count > 0) {
        const CFPoint& atIndex = m_Points[std::min(index, count - 1)];
        if (atIndex.x == x && atIndex.y == y)
            return;
    }
    CFPoint* slot = index >= count ? m_Points.InsertAt(count) : m_Points.InsertAt(std::min(index + 1, count));
    *slot = {x, y};
    UpdateBoundsAndCentroid();
    m_Edges.RemoveAll();
}

void CPointPath::Close()
{
    if (m_Points.GetCount() > 0)
        InsertPoint(m_Points[0].x, m_Points[0].y, kAppend);
}

void CPointPath::UpdateBoundsAndCentroid()
{
    const uint32_t count = m_Points.GetCount();
    float left = 9999999.0f, top = 9999999.0f, right = -9999999.0f, bottom = -9999999.0f;
    float sx = 0, sy = 0;
    for (const CFPoint& p : m_Points) {
        left = std::min(left, FloorFloat(p.x));
        top = std::min(top, FloorFloat(p.y));
        right = std::max(right, CeilFloat(p.x));
        bottom = std::max(bottom, CeilFloat(p.y));
    }
    m_Bounds[0] = RoundToIntHeld(left), m_Bounds[1] = RoundToIntHeld(top);
    m_Bounds[2] = RoundToIntHeld(right), m_Bounds[3] = RoundToIntHeld(bottom);
    if (m_Bounds[0] == m_Bounds[2])
        m_Bounds[2] = SaturatingAdd(m_Bounds[0], 1);
    if (m_Bounds[1] == m_Bounds[3])
        m_Bounds[3] = SaturatingAdd(m_Bounds[1], 1);

    uint32_t n = count;
    if (count >= 2 && m_Points[count - 1] == m_Points[0])
        --n;
    for (uint32_t i = 0; i < n; ++i)
        sx += m_Points[i].x, sy += m_Points[i].y;
    m_Centroid = n ? CFPoint{sx * (1.0f / float(n)), sy * (1.0f / float(n))} : CFPoint{0.0f, 0.0f};
    if (m_Centroid.x > -0.05f && m_Centroid.x < 0.05f)
        m_Centroid.x = 0.0f;
}

void CPointPath::BuildEdges() const
{
    const uint32_t count = m_Points.GetCount();
    if (m_Edges.GetCount() != 0 || count < 2)
        return;
    m_Edges.Reserve(count - 1);
    for (uint32_t i = 0; i + 1 < count; ++i) {
        const float dx = m_Points[i + 1].x - m_Points[i].x, dy = m_Points[i + 1].y - m_Points[i].y;
        const float length = std::sqrt(dx * dx + dy * dy);
        SPathEdge e{0.0f, 1.0f, length};
        if (length != 0.0f)
            e = {dy / length, -dx / length, length};
        m_Edges.Append(e);
    }
    const uint32_t edges = m_Edges.GetCount();
    float total = 0;
    bool positive = false, notPositive = false;
    for (uint32_t i = 0; i < edges; ++i) {
        const SPathEdge& e = m_Edges[i];
        const SPathEdge& prev = m_Edges[(i + edges - 1) % edges];
        float turn = Angle(e.normalX, e.normalY) - Angle(prev.normalX, prev.normalY);
        if (turn > kPi)
            turn -= k2Pi;
        else if (turn < -kPi)
            turn += k2Pi;
        total += turn;
        (turn > 0 ? positive : notPositive) = true;
    }
    m_Flags = (std::fabs(total - k2Pi) < 2.0f ? kFullTurn : 0) | (positive && notPositive ? kNotConvex : 0);
}

uint32_t CPointPath::GetFlags() const
{
    BuildEdges();
    return m_Flags;
}

const SPathEdge& CPointPath::GetEdge(uint32_t i) const
{
    BuildEdges();
    return m_Edges[i];
}

uint32_t CPointPath::GetEdgeCount() const
{
    BuildEdges();
    return m_Edges.GetCount();
}

bool CPointPath::ContainsPoint(float x, float y) const
{
    const uint32_t count = m_Points.GetCount();
    if (count < 2 || x < float(m_Bounds[0]) || x > float(m_Bounds[2]) || y < float(m_Bounds[1])
        || y > float(m_Bounds[3]))
        return false;
    const auto quadrant = [x, y](const CFPoint& p) {
        if (p.y > y)
            return p.x > x ? 0 : 1;
        return p.x <= x ? 2 : 3;
    };
    int q = quadrant(m_Points[0]);
    int sum = 0;
    for (uint32_t i = 1; i < count; ++i) {
        const int next = quadrant(m_Points[i]);
        int delta = next - q;
        if (delta == -3)
            delta = 1;
        else if (delta == 3)
            delta = -1;
        else if (delta == 2 || delta == -2) {
            const CFPoint& a = m_Points[i - 1];
            const CFPoint& b = m_Points[i];
            const float cross = a.x - (a.y - y) * (b.x - a.x) / (b.y - a.y);
            if (x < cross)
                delta = -delta;
        }
        sum += delta;
        q = next;
    }
    return sum == 4 || sum == -4;
}

void CPointPath::Draw(CFrameInterface& frame, float dx, float dy, CColor& colour, bool labels, uint32_t pointsLeftOut,
                      int32_t firstLabel) const
{
    const uint32_t count = m_Points.GetCount();
    if (count == 0)
        return;
    if (count == 1) {
        const float x = m_Points[0].x + dx, y = m_Points[0].y + dy;
        frame.SetPixel(RoundToIntHeld(x), RoundToIntHeld(y), colour);
        const int32_t l = RoundToIntHeld(x - 5), t = RoundToIntHeld(y - 5);
        const int32_t r = RoundToIntHeld(x + 5), b = RoundToIntHeld(y + 5);
        // Outline of (l, t)-(r, b), corners included once per edge; the sums
        // are held, as a point from data may lie at the end of the range.
        const int32_t r1 = SaturatingAdd(r, 1), t1 = SaturatingAdd(t, 1);
        frame.FillRect(CRect{l, t, r1, t1}, colour);
        frame.FillRect(CRect{l, b, r1, SaturatingAdd(b, 1)}, colour);
        frame.FillRect(CRect{l, t1, SaturatingAdd(l, 1), b}, colour);
        frame.FillRect(CRect{r, t1, r1, b}, colour);
        return;
    }
    // Leaving out all points (or all but one) draws nothing.
    if (pointsLeftOut >= count - 1)
        return;
    const uint32_t lines = count - pointsLeftOut - 1;
    for (uint32_t i = 0; i < lines; ++i) {
        const CFPoint& a = m_Points[i];
        const CFPoint& b = m_Points[i + 1];
        frame.DrawLineFloat(a.x + dx, a.y + dy, b.x + dx, b.y + dy, colour, 1.0f);
        if (labels && g_LabelDrawer.draw) {
            const SPathEdge& e = GetEdge(i);
            const float p = g_LabelDrawer.pointSize;
            g_LabelDrawer.draw(frame, RoundToIntHeld(p * e.normalX / 2 + a.x + dx),
                               RoundToIntHeld(p * e.normalY / 2 + a.y + dy - std::floor(p / 2)),
                               int32_t(i) + firstLabel, colour);
        }
    }
}

void SDirection::SetDirection(const CFPoint& from, const CFPoint& to)
{
    dx = to.x - from.x;
    dy = to.y - from.y;
    length = std::sqrt(dx * dx + dy * dy);
    unitX = unitY = 0;
    if (length != 0) {
        unitX = dx / length;
        unitY = dy / length;
    }
}
