#pragma once
// CPointPath: an editable polyline or polygon of float points, used as a hit
// area. A path is closed by storing its first point again at its end; the
// inside test and the edge cache work on the stored points as they are, so
// an open path tests as its points run.
//
// Besides the points it keeps an integer bounding box (inclusive, widened to
// one pixel on a degenerate axis), a centroid, and a cache of edge normals
// and lengths with two shape flags, rebuilt when a reader needs them.

#include "foundation/CArrayPOD.h"
#include "foundation/CFPoint.h"
#include "foundation/UpwardHook.h"

#include <cstdint>

class CColor;
class CFrameInterface;

struct SPathEdge {
    float normalX;
    float normalY;
    float length;
};

class CPointPath {
public:
    static constexpr uint32_t kAppend = 0xFFFFFFFF;
    // Flags: the path turns both ways; its total turning is within 2 radians
    // of one full turn.
    static constexpr uint32_t kNotConvex = 1;
    static constexpr uint32_t kFullTurn = 2;

    CPointPath() = default;
    CPointPath(const CPointPath&) = delete;
    CPointPath& operator=(const CPointPath&) = delete;

    // Inserts after the point at index (index >= count appends); nothing
    // when the point at min(index, count - 1) already equals (x, y).
    void InsertPoint(float x, float y, uint32_t index);
    // Appends a copy of the first point (nothing when the last equals it).
    void Close();
    // Quadrant winding count over the stored points: inside when it sums
    // to +4 or -4.
    bool ContainsPoint(float x, float y) const;
    // Lines between the points (all but the last pointsLeftOut), moved by
    // (dx, dy); a single point is a pixel in a square 5 pixels out. With
    // labels, each edge's number is drawn beside it through the label drawer.
    void Draw(CFrameInterface& frame, float dx, float dy, CColor& colour, bool labels, uint32_t pointsLeftOut,
              int32_t firstLabel) const;

    uint32_t GetCount() const { return m_Points.GetCount(); }
    const CFPoint& GetPoint(uint32_t i) const { return m_Points[i]; }
    // left, top, right, bottom
    const int32_t* GetBounds() const { return m_Bounds; }
    CFPoint GetCentroid() const { return m_Centroid; }
    uint32_t GetFlags() const;
    // Edge i joins point i and point i + 1.
    const SPathEdge& GetEdge(uint32_t i) const;
    uint32_t GetEdgeCount() const;

private:
    void UpdateBoundsAndCentroid();
    void BuildEdges() const;

    CArrayPOD<CFPoint> m_Points;
    mutable CArrayPOD<SPathEdge> m_Edges;
    int32_t m_Bounds[4] = {};
    mutable uint32_t m_Flags = 0;
    CFPoint m_Centroid{0.0f, 0.0f};
};

// Movement toward a point: the difference, its unit vector ((0, 0) for a
// zero length) and its length.
struct SDirection {
    float dx = 0, dy = 0, unitX = 0, unitY = 0, length = 0;
    void SetDirection(const CFPoint& from, const CFPoint& to);
};

// Draws a label number at (x, y) in the application's font (point size
// pointSize); the application installs it.
struct SPointPathLabelDrawer {
    float pointSize = 0;
    void (*draw)(CFrameInterface& frame, int32_t x, int32_t y, int32_t number, CColor& colour) = nullptr;
};
// Answers the drawer it replaces.
SPointPathLabelDrawer SetPointPathLabelDrawer(SPointPathLabelDrawer drawer);
OMBRISALT_UPWARD_HOOK(SetPointPathLabelDrawer);
