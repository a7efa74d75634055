#include "render/CShape2DRenderers.h"

#include "foundation/MathHelpers.h"
#include "render/CShape2D.h"
#include "render/FrameViews.h"
#include "render/PixelBlenders.h"
#include "render/ShapeDraw.h"

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
    agg::trans_affine transform = ShapeTransform(m_Scale, m_X, m_Y);
    SRasterTarget raster;
    const DrawStart start = StartShapeDraw(*this, *m_Shape, p.path, transform, 0, BoundsClip::InPlace, target, raster);
    if (start != DrawStart::Draw)
        return start == DrawStart::Done;
    RasterisePath(p.rasteriser, p.path, transform, raster.box);

    agg::rendering_buffer buffer;
    raster.view.Attach(buffer);
    switch (m_Flags & 3) {
    case 0:
        FillWith<blend::Solid>(buffer, raster.box, m_Color);
        break;
    case 1:
        FillWith<blend::SolidAdditive>(buffer, raster.box, m_Color);
        break;
    case 2:
        FillWith<blend::SolidOverAlpha>(buffer, raster.box, m_Color);
        break;
    default:
        FillWith<blend::SolidAdditiveOverAlpha>(buffer, raster.box, m_Color);
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
    agg::trans_affine transform = ShapeTransform(m_Scale, m_X, m_Y);
    SRasterTarget raster;
    const DrawStart start = StartShapeDraw(*this, *m_Shape, p.path, transform, CeilToInt(m_LineWidth),
                                           BoundsClip::InPlace, target, raster);
    if (start != DrawStart::Draw)
        return start == DrawStart::Done;
    agg::rendering_buffer buffer;
    raster.view.Attach(buffer);
    switch (m_Flags & 3) {
    case 0:
        StrokeWith<blend::Solid>(buffer, raster.box, m_Color, transform);
        break;
    case 1:
        StrokeWith<blend::SolidAdditive>(buffer, raster.box, m_Color, transform);
        break;
    case 2:
        StrokeWith<blend::SolidOverAlpha>(buffer, raster.box, m_Color, transform);
        break;
    default:
        StrokeWith<blend::SolidAdditiveOverAlpha>(buffer, raster.box, m_Color, transform);
        break;
    }
    return true;
}

uint32_t GetLineProfileBuildCount()
{
    return OutlinePipeline().profileBuilds;
}
