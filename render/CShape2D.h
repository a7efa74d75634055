#pragma once
// Ombrisalt::CShape2D, the engine's 2-D vector shape: path commands over a
// list of float points. Commands and the points each consumes:
//   0 move to (1: starts a contour)   1 line to (1)
//   2 cubic curve (3: control 1, control 2, end)   3 quadratic curve (2)
//   any other code: ignored, consuming nothing.
// The current point starts at (0, 0) and becomes the last point of each
// command. AppendShapePath turns a shape into an AGG path with the curves
// flattened; it closes nothing, so an outline is closed only where the shape
// lines back to its start (ClosePath).

#include "foundation/CArrayPOD.h"
#include "foundation/CFPoint.h"
#include "foundation/CMemoryPool.h"
#include "foundation/CRect.h"

#include <cstdint>

struct CFRect {
    float left, top, right, bottom;
};

namespace Ombrisalt {

class CShape2D : public CPooledClassBase {
public:
    static constexpr uint32_t kMoveTo = 0;
    static constexpr uint32_t kLineTo = 1;
    static constexpr uint32_t kCubicTo = 2;
    static constexpr uint32_t kQuadTo = 3;

    // kind is kept for callers and read by nothing; callers pass 1 and 10.
    CShape2D(uint32_t kind, uint32_t pointCapacity);
    CShape2D(const CShape2D&) = delete;
    CShape2D& operator=(const CShape2D&) = delete;
    virtual ~CShape2D();

    void MoveTo(const CFPoint& p) { MoveTo(p.x, p.y); }
    void MoveTo(float x, float y);
    void LineTo(const CFPoint& p) { LineTo(p.x, p.y); }
    void LineTo(float x, float y);
    void CubicTo(const CFPoint& control1, const CFPoint& control2, const CFPoint& end);
    void QuadTo(const CFPoint& control, const CFPoint& end);
    // Any command code with its points, as stored shapes hold them.
    void AddCommand(uint32_t code, const CFPoint* points, uint32_t count);
    // A line to the shape's very first point (not the current contour's);
    // nothing on an empty shape.
    void ClosePath();

    // The least and greatest coordinates of all points, rounded outward;
    // with no points the rectangle is left untouched.
    virtual void GetBounds(CRect& out) const;
    virtual void GetBoundsF(CFRect& out) const;

    const CArrayPOD<CFPoint>& GetPoints() const { return m_Points; }
    const CArrayPOD<uint32_t>& GetCommands() const { return m_Commands; }
    uint32_t GetKind() const { return m_Kind; }

private:
    uint32_t m_Kind;
    CArrayPOD<CFPoint> m_Points;
    CArrayPOD<uint32_t> m_Commands;
};

} // namespace Ombrisalt

// Inserts an uninitialised point at index (held to the count) and returns it.
CFPoint* InsertPoint(CArrayPOD<CFPoint>& points, uint32_t index);
