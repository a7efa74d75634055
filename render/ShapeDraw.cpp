#include "render/ShapeDraw.h"

#include "blit/CFrameInterface.h"
#include "render/ShapePath.h"

#include <agg_conv_transform.h>

#include <algorithm>

DrawStart StartRasterDraw(const CRenderableObject& renderable, CFrameInterface& target, agg::trans_affine& transform,
                          SRasterTarget& out)
{
    if (target.GetBitDepth() != 32 || !MakePixelView(target, out.view))
        return DrawStart::NoPixels;
    const int32_t offX = target.GetOffsetX(), offY = target.GetOffsetY();
    agg::rect_i& box = out.box;
    box = agg::rect_i(0, 0, int(out.view.width) - 1, int(out.view.height) - 1);
    if (renderable.m_ClipEnabled) {
        const CRect& clip = renderable.m_ClipRect;
        box.x1 = std::max(box.x1, clip.left - offX);
        box.y1 = std::max(box.y1, clip.top - offY);
        box.x2 = std::min(box.x2, clip.right - offX - 1);
        box.y2 = std::min(box.y2, clip.bottom - offY - 1);
    }
    if (box.x1 > box.x2 || box.y1 > box.y2)
        return DrawStart::Done;
    if (offX != 0 || offY != 0)
        transform *= agg::trans_affine_translation(-offX, -offY);
    return DrawStart::Draw;
}

agg::trans_affine ShapeTransform(float scale, float x, float y)
{
    agg::trans_affine transform;
    if (scale != 1.0f)
        transform *= agg::trans_affine_scaling(scale);
    if (x != 0.0f || y != 0.0f)
        transform *= agg::trans_affine_translation(x, y);
    return transform;
}

DrawStart StartShapeDraw(CRenderableObject& renderable, const Ombrisalt::CShape2D& shape, agg::path_storage& path,
                         agg::trans_affine& transform, int32_t grow, BoundsClip clip, CFrameInterface& target,
                         SRasterTarget& out)
{
    path.remove_all();
    AppendShapePath(path, shape);
    CRect bounds{};
    const bool drawable = GetPathBounds(path, transform, bounds);
    if (drawable && grow > 0 && grow < 0x10000000)
        bounds = {bounds.left - grow, bounds.top - grow, bounds.right + grow, bounds.bottom + grow};
    renderable.m_DrawnBounds = bounds;
    if (renderable.m_ClipEnabled) {
        if (clip == BoundsClip::InPlace)
            ClipRect(renderable.m_ClipRect, renderable.m_DrawnBounds);
        else if (!IntersectRects(renderable.m_DrawnBounds, renderable.m_DrawnBounds, renderable.m_ClipRect))
            renderable.m_DrawnBounds = {};
    }
    if (!renderable.m_DrawEnabled || !drawable)
        return DrawStart::Done;
    return StartRasterDraw(renderable, target, transform, out);
}

void RasterisePath(BlitRasteriser& rasteriser, agg::path_storage& path, agg::trans_affine transform,
                   const agg::rect_i& box)
{
    rasteriser.reset();
    rasteriser.clip_box(box.x1, box.y1, box.x2 + 1.0, box.y2 + 1.0);
    agg::conv_transform<agg::path_storage> transformed(path, transform);
    rasteriser.add_path(transformed);
}
