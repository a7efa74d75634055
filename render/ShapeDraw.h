#pragma once
// The start every rasterised draw of a renderable shares. A shape draw sets
// its drawn bounds first (they are written whether or not it draws); then,
// when it draws, it needs the target's 32-bit pixels, the clip box in buffer
// pixels and its transform carried from logical to buffer coordinates. The
// clip box is inclusive: the whole buffer, cut to the renderable's clip
// rectangle (moved by minus the target's offsets, right and bottom less 1)
// while clipping is on.

#include "foundation/CRect.h"
#include "render/BilinearBlend.h"
#include "render/FrameViews.h"

#include <agg_basics.h>
#include <agg_path_storage.h>
#include <agg_trans_affine.h>

#include <cstdint>

class CFrameInterface;
class CRenderableObject;
namespace Ombrisalt {
class CShape2D;
}

// What a draw may do after its start: nothing more (done), nothing for want
// of 32-bit pixels, or draw.
enum class DrawStart { Done, NoPixels, Draw };

struct SRasterTarget {
    SPixelView view;
    agg::rect_i box; // inclusive, buffer coordinates
};

// The target half: Done when nothing of the buffer is inside the clip.
DrawStart StartRasterDraw(const CRenderableObject& renderable, CFrameInterface& target, agg::trans_affine& transform,
                          SRasterTarget& out);

// How a shape's drawn bounds meet the clip rectangle: cut edge by edge in
// place (ClipRect, which may leave them partly cut), or intersected (all
// zero when they miss it).
enum class BoundsClip { InPlace, Intersect };

// The identity, scaled uniformly when scale is not 1, then moved by (x, y).
agg::trans_affine ShapeTransform(float scale, float x, float y);

// The whole start of a shape draw: path becomes the shape; the drawn bounds
// are the path's through transform, grown by grow on every side, then met
// with the clip rectangle while clipping is on; Done when drawing is off or
// the path has no finite bounds, else the target half.
DrawStart StartShapeDraw(CRenderableObject& renderable, const Ombrisalt::CShape2D& shape, agg::path_storage& path,
                         agg::trans_affine& transform, int32_t grow, BoundsClip clip, CFrameInterface& target,
                         SRasterTarget& out);

// Adds path through transform to a cleared rasteriser that keeps to box.
void RasterisePath(BlitRasteriser& rasteriser, agg::path_storage& path, agg::trans_affine transform,
                   const agg::rect_i& box);
