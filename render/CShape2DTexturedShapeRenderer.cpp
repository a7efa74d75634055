#include "render/CShape2DTexturedShapeRenderer.h"

#include "images/CFrame.h"
#include "render/CShape2D.h"
#include "render/FrameViews.h"
#include "render/PixelBlenders.h"
#include "render/ShapeDraw.h"

#include <agg_conv_transform.h>
#include <agg_image_accessors.h>
#include <agg_pixfmt_rgba.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_scanline_p.h>
#include <agg_span_allocator.h>
#include <agg_span_pattern_rgba.h>

#include <algorithm>

OMBRISALT_IMPLEMENT_CLASS(CShape2DTexturedShapeRenderer, 1.0)
void CShape2DTexturedShapeRenderer::DeclareProperties(CPropertyDeclarer&) {}

namespace {

struct STexturePipeline {
    agg::path_storage path;
    agg::scanline_p8 scanline;
    agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl> rasteriser;
    agg::span_allocator<agg::rgba8> spans;
};

STexturePipeline& TexturePipeline()
{
    static STexturePipeline* pipeline = new STexturePipeline;
    return *pipeline;
}

template <class Rule, class Wrap>
void Draw(agg::rendering_buffer& target, agg::rendering_buffer& texture, const agg::rect_i& box, uint32_t colour,
          unsigned offsetX, unsigned offsetY)
{
    agg::pixfmt_bgra32 textureFormat(texture);
    using Accessor = agg::image_accessor_wrap<agg::pixfmt_bgra32, Wrap, Wrap>;
    Accessor accessor(textureFormat);
    agg::span_pattern_rgba<Accessor> pattern(accessor, offsetX, offsetY);
    CBlendPixfmt<Rule> format(target, colour);
    agg::renderer_base<CBlendPixfmt<Rule>> renderer(format);
    renderer.clip_box(box.x1, box.y1, box.x2, box.y2);
    STexturePipeline& p = TexturePipeline();
    agg::render_scanlines_aa(p.rasteriser, p.scanline, renderer, p.spans, pattern);
}

template <class Wrap>
void DrawWrapped(uint32_t flags, agg::rendering_buffer& target, agg::rendering_buffer& texture, const agg::rect_i& box,
                 uint32_t colour, unsigned offsetX, unsigned offsetY)
{
    switch (flags & 3) {
    case 3:
        Draw<blend::AdditiveOverAlpha, Wrap>(target, texture, box, colour, offsetX, offsetY);
        break;
    case 2:
        Draw<blend::TintedOverAlpha, Wrap>(target, texture, box, colour, offsetX, offsetY);
        break;
    case 1:
        Draw<blend::Additive, Wrap>(target, texture, box, colour, offsetX, offsetY);
        break;
    default:
        if (colour == 0xFFFFFFFF)
            Draw<blend::Plain, Wrap>(target, texture, box, colour, offsetX, offsetY);
        else
            Draw<blend::Tinted, Wrap>(target, texture, box, colour, offsetX, offsetY);
        break;
    }
}

} // namespace

bool CShape2DTexturedShapeRenderer::Render(CFrameInterface& target)
{
    if (!m_Texture || !m_Shape || m_Shape->GetPoints().IsEmpty())
        return false;
    if (!ConvertFrameTo32(*m_Texture))
        return true;
    STexturePipeline& p = TexturePipeline();
    agg::trans_affine transform = ShapeTransform(1.0f, m_X, m_Y);
    SRasterTarget raster;
    SPixelView texture;
    if (StartShapeDraw(*this, *m_Shape, p.path, transform, 0, BoundsClip::Intersect, target, raster) != DrawStart::Draw
        || !MakePixelView(*m_Texture, texture))
        return true;
    RasterisePath(p.rasteriser, p.path, transform, raster.box);

    agg::rendering_buffer targetBuffer, textureBuffer;
    raster.view.Attach(targetBuffer);
    texture.Attach(textureBuffer);
    // The pattern adds the offsets to the buffer position; unsigned
    // arithmetic wraps negative sums the way the wrap modes expect.
    const unsigned dx = unsigned(target.GetOffsetX()) + unsigned(m_TileOffsetX);
    const unsigned dy = unsigned(target.GetOffsetY()) + unsigned(m_TileOffsetY);
    const uint32_t colour = m_Color.GetColorWord();
    if (m_Flags & kMirrorWrap)
        DrawWrapped<agg::wrap_mode_reflect_auto_pow2>(m_Flags, targetBuffer, textureBuffer, raster.box, colour, dx,
                                                      dy);
    else
        DrawWrapped<agg::wrap_mode_repeat_auto_pow2>(m_Flags, targetBuffer, textureBuffer, raster.box, colour, dx,
                                                     dy);
    return true;
}
