#pragma once
// CShape2DTexturedShapeRenderer fills a shape with a texture repeated (or,
// with flag kMirrorWrap, mirrored) endlessly across a 32-bit target,
// anti-aliased at the shape's edges. The texture is anchored at frame
// coordinate (0, 0) of the target and moved left and up by the tile offset;
// texels are copied unfiltered and blended by the rule flags 1 (additive)
// and 2 (compose destination alpha) and the colour choose. A texture of
// another depth is converted to 32 bits in place on first use.
//
// The pipeline is process-wide and reused: not reentrant, main thread.

#include "blit/CFrameInterface.h"

class CFrame;
namespace Ombrisalt {
class CShape2D;
}

class CShape2DTexturedShapeRenderer : public CRenderableObject {
    OMBRISALT_REFLECTED(CShape2DTexturedShapeRenderer, CRenderableObject)
public:
    static constexpr uint32_t kMirrorWrap = 4;

    // False without a texture, without a shape or with a shape of no points.
    bool Render(CFrameInterface& target) override;

    CFrame* m_Texture = nullptr;            // not owned
    Ombrisalt::CShape2D* m_Shape = nullptr; // not owned
    int32_t m_TileOffsetX = 0;
    int32_t m_TileOffsetY = 0;
};
