#include "render/CShape2DRenderers.h"

#include "foundation/MathHelpers.h"
#include "render/CShape2D.h"
#include "render/FrameViews.h"
#include "render/PixelBlenders.h"
#include "render/ShapePath.h"

#include <agg_conv_transform.h>
#include <agg_rasterizer_outline_aa.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_outline_aa.h>
#include <agg_renderer_scanline.h>
#include <agg_scanline_u.h>

#include <algorithm>

OMBRISALT_IMPLEMENT_CLASS(CShape2DFillRenderer, 1.0)
void CShape2DFillRenderer::DeclareProperties(CPropertyDeclarer&) {}
OMBRISALT_IMPLEMENT_CLASS(CShape2DOutlineRenderer, 1.0)
void CShape2DOutlineRenderer::DeclareProperties(CPropertyDeclarer&) {}

namespace {

struct SFillPipeline {
    agg::path_storage path;
    agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl> rasteriser;
    agg::scanline_u8 scanline;
};

SFillPipeline& FillPipeline()
{
    static SFillPipeline* pipeline = new SFillPipeline;
    return *pipeline;
}

struct SOutlinePipeline {
    agg::path_storage path;
    agg::line_profile_aa profile;
    double profileWidth = -1.0;
    uint32_t profileBuilds = 0;
};

SOutlinePipeline& OutlinePipeline()
{
    static SOutlinePipeline* pipeline = [] {
        auto* p = new SOutlinePipeline;
        p->profile.gamma(agg::gamma_none());
        p->profile.smoother_width(1.0);
        return p;
    }();
    return *pipeline;
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

// The renderer clip box in pixels (inclusive); false when nothing is left.
bool ClipBox(const CRenderableObject& r, const SPixelView& view, int32_t offX, int32_t offY, agg::rect_i& box)
{
    box = agg::rect_i(0, 0, int(view.width) - 1, int(view.height) - 1);
    if (r.m_ClipEnabled) {
        box.x1 = std::max(box.x1, r.m_ClipRect.left - offX);
        box.y1 = std::max(box.y1, r.m_ClipRect.top - offY);
        box.x2 = std::min(box.x2, r.m_ClipRect.right - offX - 1);
        box.y2 = std::min(box.y2, r.m_ClipRect.bottom - offY - 1);
    }
    return box.x1 <= box.x2 && box.y1 <= box.y2;
}

agg::rgba8 SolidColor(const CColor& c)
{
    return agg::rgba8(c.GetRed(), c.GetGreen(), c.GetBlue(), c.GetAlpha());
}

template <class Rule>
void FillWith(agg::rendering_buffer& buffer, const agg::rect_i& box, const CColor& colour)
{
    CBlendPixfmt<Rule> format(buffer, colour.GetColorWord());
    agg::renderer_base<CBlendPixfmt<Rule>> renderer(format);
    renderer.clip_box(box.x1, box.y1, box.x2, box.y2);
    SFillPipeline& p = FillPipeline();
    agg::render_scanlines_aa_solid(p.rasteriser, p.scanline, renderer, SolidColor(colour));
}

template <class Rule>
void StrokeWith(agg::rendering_buffer& buffer, const agg::rect_i& box, const CColor& colour,
                agg::trans_affine transform)
{
    using Base = agg::renderer_base<CBlendPixfmt<Rule>>;
    CBlendPixfmt<Rule> format(buffer, colour.GetColorWord());
    Base base(format);
    base.clip_box(box.x1, box.y1, box.x2, box.y2);
    SOutlinePipeline& p = OutlinePipeline();
    agg::renderer_outline_aa<Base> renderer(base, p.profile);
    renderer.color(SolidColor(colour));
    // Lines are cut to a margin round the box before they are stepped, so
    // far-away coordinates cost nothing.
    const double margin = p.profileWidth + 2.0;
    renderer.clip_box(box.x1 - margin, box.y1 - margin, box.x2 + margin, box.y2 + margin);
    agg::rasterizer_outline_aa<agg::renderer_outline_aa<Base>, agg::line_coord_sat> rasteriser(renderer);
    rasteriser.line_join(agg::outline_miter_accurate_join);
    rasteriser.round_cap(false);
    agg::conv_transform<agg::path_storage> transformed(p.path, transform);
    rasteriser.add_path(transformed);
}

} // namespace

bool CShape2DFillRenderer::Render(CFrameInterface& target)
{
    if (!m_Shape || m_Shape->GetCommands().IsEmpty())
        return false;
    SFillPipeline& p = FillPipeline();
    p.path.remove_all();
    AppendShapePath(p.path, *m_Shape);
    agg::trans_affine transform = ShapeTransform(m_Scale, m_X, m_Y);
    CRect bounds{};
    const bool drawable = GetPathBounds(p.path, transform, bounds);
    m_DrawnBounds = bounds;
    if (m_ClipEnabled)
        ClipRect(m_ClipRect, m_DrawnBounds);
    if (!m_DrawEnabled || !drawable)
        return true;

    SPixelView view;
    if (!MakePixelView(target, view) || target.GetBitDepth() != 32)
        return false;
    const int32_t offX = target.GetOffsetX(), offY = target.GetOffsetY();
    agg::rect_i box;
    if (!ClipBox(*this, view, offX, offY, box))
        return true;
    if (offX != 0 || offY != 0)
        transform *= agg::trans_affine_translation(-offX, -offY);
    p.rasteriser.reset();
    p.rasteriser.clip_box(box.x1, box.y1, box.x2 + 1.0, box.y2 + 1.0);
    agg::conv_transform<agg::path_storage> transformed(p.path, transform);
    p.rasteriser.add_path(transformed);

    agg::rendering_buffer buffer;
    view.Attach(buffer);
    switch (m_Flags & 3) {
    case 0:
        FillWith<blend::Solid>(buffer, box, m_Color);
        break;
    case 1:
        FillWith<blend::SolidAdditive>(buffer, box, m_Color);
        break;
    case 2:
        FillWith<blend::SolidOverAlpha>(buffer, box, m_Color);
        break;
    default:
        FillWith<blend::SolidAdditiveOverAlpha>(buffer, box, m_Color);
        break;
    }
    return true;
}

bool CShape2DOutlineRenderer::Render(CFrameInterface& target)
{
    if (!(m_LineWidth > 0.0f) || !m_Shape || m_Shape->GetPoints().IsEmpty())
        return false;
    SOutlinePipeline& p = OutlinePipeline();
    if (double(m_LineWidth) != p.profileWidth) {
        p.profile.width(m_LineWidth);
        p.profileWidth = m_LineWidth;
        ++p.profileBuilds;
    }
    p.path.remove_all();
    AppendShapePath(p.path, *m_Shape);
    agg::trans_affine transform = ShapeTransform(m_Scale, m_X, m_Y);
    CRect bounds{};
    const bool drawable = GetPathBounds(p.path, transform, bounds);
    const int32_t grow = CeilToInt(m_LineWidth);
    if (drawable && grow > 0 && grow < 0x10000000)
        bounds = {bounds.left - grow, bounds.top - grow, bounds.right + grow, bounds.bottom + grow};
    m_DrawnBounds = bounds;
    if (m_ClipEnabled)
        ClipRect(m_ClipRect, m_DrawnBounds);
    if (!m_DrawEnabled || !drawable)
        return true;

    SPixelView view;
    if (!MakePixelView(target, view) || target.GetBitDepth() != 32)
        return false;
    const int32_t offX = target.GetOffsetX(), offY = target.GetOffsetY();
    agg::rect_i box;
    if (!ClipBox(*this, view, offX, offY, box))
        return true;
    if (offX != 0 || offY != 0)
        transform *= agg::trans_affine_translation(-offX, -offY);
    agg::rendering_buffer buffer;
    view.Attach(buffer);
    switch (m_Flags & 3) {
    case 0:
        StrokeWith<blend::Solid>(buffer, box, m_Color, transform);
        break;
    case 1:
        StrokeWith<blend::SolidAdditive>(buffer, box, m_Color, transform);
        break;
    case 2:
        StrokeWith<blend::SolidOverAlpha>(buffer, box, m_Color, transform);
        break;
    default:
        StrokeWith<blend::SolidAdditiveOverAlpha>(buffer, box, m_Color, transform);
        break;
    }
    return true;
}

uint32_t GetLineProfileBuildCount()
{
    return OutlinePipeline().profileBuilds;
}
