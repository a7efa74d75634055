#pragma once
// The outline of a circle, drawn as a closed polygon of 8 to 40 sides (one
// per whole pixel of radius) by a shape outline renderer handed to the
// target. The position is the centre, the colour the outline's.

#include "blit/CFrameInterface.h"
#include "foundation/CFPoint.h"

#include <cstdint>
#include <vector>

class CCircleRenderer : public CRenderableObject {
    OMBRISALT_REFLECTED(CCircleRenderer, CRenderableObject)
public:
    CCircleRenderer();
    CCircleRenderer(const CCircleRenderer& other);
    ~CCircleRenderer() override;

    // Answers what the target's Render answers for the outline; the
    // circle's own drawn bounds are left as they were.
    bool Render(CFrameInterface& target) override;

    float GetRadius() const { return m_Radius; }
    void SetRadius(float radius) { m_Radius = radius; }
    float GetLineWidth() const { return m_LineWidth; }
    void SetLineWidth(float width) { m_LineWidth = width; }

    // The closed polygon: the first point at angle 0, then one point per
    // side, the last a full turn round.
    std::vector<CFPoint> BuildPolygon() const;

private:
    float m_Radius = 1.0f;
    float m_LineWidth = 1.0f;
};
