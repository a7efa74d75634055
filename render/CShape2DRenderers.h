#pragma once
// Renderables that draw an Ombrisalt::CShape2D onto a 32-bit frame with
// anti-aliasing: CShape2DFillRenderer fills it (non-zero rule),
// CShape2DOutlineRenderer strokes its path with a line of a given width
// (accurate miter joins, ends cut square). The shape is scaled by m_Scale and
// moved by (m_X, m_Y); the colour is solid, and flags 1 (additive) and 2
// (compose destination alpha) choose the blend rule. Both write the drawn
// bounds before any pixel work, also when drawing is disabled.
//
// The pipelines are process-wide and reused: not reentrant, main thread.

#include "blit/CFrameInterface.h"

namespace Ombrisalt {
class CShape2D;
}

class CShape2DFillRenderer : public CRenderableObject {
    OMBRISALT_REFLECTED(CShape2DFillRenderer, CRenderableObject)
public:
    CShape2DFillRenderer() = default;
    CShape2DFillRenderer(const CShape2DFillRenderer&) = default;

    // False for no shape or one without commands (bounds untouched).
    bool Render(CFrameInterface& target) override;

    Ombrisalt::CShape2D* m_Shape = nullptr; // not owned
    float m_Scale = 1.0f;
};

class CShape2DOutlineRenderer : public CRenderableObject {
    OMBRISALT_REFLECTED(CShape2DOutlineRenderer, CRenderableObject)
public:
    CShape2DOutlineRenderer() = default;
    CShape2DOutlineRenderer(const CShape2DOutlineRenderer&) = default;

    // False for a width not above 0, no shape or one without points
    // (bounds untouched). The bounds grow by the width rounded up.
    bool Render(CFrameInterface& target) override;

    Ombrisalt::CShape2D* m_Shape = nullptr; // not owned
    float m_LineWidth = 1.0f;
    float m_Scale = 1.0f;
};

// How many times the outline's line profile has been computed (it is kept
// while the width stays the same).
uint32_t GetLineProfileBuildCount();
