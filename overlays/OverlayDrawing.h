#pragma once
// Private to overlays/: steps the overlay classes of several files share.
#include "foundation/CPoint.h"
#include "overlays/CFrameOverlay.h"

#include <cstdint>

// Moves a point from data; wraps as the stored 32-bit values do.
inline void MovePoint(CPoint& point, int32_t dx, int32_t dy)
{
    point.x = int32_t(uint32_t(point.x) + uint32_t(dx));
    point.y = int32_t(uint32_t(point.y) + uint32_t(dy));
}

// Sets the context's target back on leaving the scope.
class CTargetScope {
public:
    explicit CTargetScope(CFrameOverlayDrawContext& context)
        : m_Context(context)
        , m_pPrevious(context.m_pTarget)
    {
    }
    ~CTargetScope() { m_Context.m_pTarget = m_pPrevious; }
    CTargetScope(const CTargetScope&) = delete;
    CTargetScope& operator=(const CTargetScope&) = delete;

private:
    CFrameOverlayDrawContext& m_Context;
    CFrameInterface* m_pPrevious;
};
