#pragma once
// The outline of a circle, drawn as a closed polygon of 8 to 40 sides (one
// per whole pixel of radius) through the installed polygon outline
// renderer. The position is the centre, the colour the outline's.

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

// Draws a closed polygon through the target (the shape layer's outline and
// fill renderers, handed to target.Render); answers the target's answer.
using PolygonOutlineRenderer = bool (*)(CFrameInterface& target, const std::vector<CFPoint>& points,
                                        const CColor& colour, float lineWidth);
using PolygonFillRenderer = bool (*)(CFrameInterface& target, const std::vector<CFPoint>& points,
                                     const CColor& colour);
// Install the renderers; each answers the one it replaces. Without one the
// drawing does nothing and answers false.
PolygonOutlineRenderer SetPolygonOutlineRenderer(PolygonOutlineRenderer renderer);
PolygonFillRenderer SetPolygonFillRenderer(PolygonFillRenderer renderer);
bool RenderPolygonOutline(CFrameInterface& target, const std::vector<CFPoint>& points, const CColor& colour,
                          float lineWidth);
bool RenderPolygonFill(CFrameInterface& target, const std::vector<CFPoint>& points, const CColor& colour);
