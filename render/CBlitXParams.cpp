#include "render/CBlitXParams.h"

#include "blit/CBlitTrans.h"
#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "blit/KernelTable.h"
#include "foundation/CFPoint.h"
#include "foundation/MathHelpers.h"
#include "images/CFrame.h"
#include "render/BilinearBlend.h"
#include "render/CBlurRenderer.h"
#include "render/CFrameEffect.h"
#include "render/CShape2DRenderers.h"
#include "render/CShape2DTexturedShapeRenderer.h"
#include "render/FrameViews.h"
#include "render/PixelBlenders.h"
#include "render/ShapeDraw.h"

#include <agg_conv_transform.h>
#include <agg_image_accessors.h>
#include <agg_image_filters.h>
#include <agg_path_storage.h>
#include <agg_pixfmt_rgba.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_scanline_u.h>
#include <agg_span_allocator.h>
#include <agg_span_image_filter_rgba.h>
#include <agg_span_interpolator_linear.h>
#include <agg_trans_affine.h>

#include <algorithm>
#include <cmath>
#include <utility>

OMBRISALT_IMPLEMENT_CLASS(CBlitXParams, 1.0)
void CBlitXParams::DeclareProperties(CPropertyDeclarer&) {}

namespace {

bool g_Smoothing = true;
EBilinearSpans g_BilinearSpans = EBilinearSpans::Direct;
uint32_t g_TintColor = 0xFFFFFFFF;

// Shared by every transformed blit; made on first use and kept to exit
// (never destroyed, so late draws during exit find it intact).
struct SPipeline {
    agg::path_storage path;
    BlitRasteriser rasteriser;
    agg::scanline_u8 scanline;
    agg::span_allocator<agg::rgba8> spans;
};

SPipeline& Pipeline()
{
    static SPipeline* pipeline = new SPipeline;
    return *pipeline;
}

agg::image_filter_lut& BlackmanFilter()
{
    static agg::image_filter_lut* lut = new agg::image_filter_lut(agg::image_filter_blackman(4.0), true);
    return *lut;
}

// The fast path's tinted types, shared by every transformed blit.
CBlitTransBlendMultColor& TintedType()
{
    static CBlitTransBlendMultColor* type = new CBlitTransBlendMultColor;
    return *type;
}

CBlitTransBlendAddColor& AdditiveType()
{
    static CBlitTransBlendAddColor* type = new CBlitTransBlendAddColor;
    return *type;
}

// The largest alpha of a 32-bit frame; 255 for other formats.
uint32_t MaxAlpha(const CFrameInterface& frame)
{
    if (frame.GetBitDepth() != 32)
        return 255;
    SPixelView view;
    if (!MakePixelView(frame, view))
        return 0;
    uint32_t best = 0;
    for (uint32_t y = 0; y < view.height; ++y) {
        const uint8_t* p = view.Row(y) + 3;
        for (uint32_t x = 0; x < view.width; ++x, p += 4)
            best = std::max<uint32_t>(best, *p);
        if (best == 255)
            break;
    }
    return best;
}

template <class Rule, class SpanGenerator>
void RunChain(agg::rendering_buffer& buffer, uint32_t colour, const agg::rect_i& clip, SpanGenerator& generator)
{
    CBlendPixfmt<Rule> format(buffer, colour);
    agg::renderer_base<CBlendPixfmt<Rule>> renderer(format);
    renderer.clip_box(clip.x1, clip.y1, clip.x2, clip.y2);
    SPipeline& p = Pipeline();
    agg::render_scanlines_aa(p.rasteriser, p.scanline, renderer, p.spans, generator);
}

using Interpolator = agg::span_interpolator_linear<agg::trans_affine>;

// Premultiplied, tinted copy for the filtered chains.
std::unique_ptr<CFrame> PremultipliedCopy(const SPixelView& source, uint32_t colour)
{
    std::unique_ptr<CFrame> copy = CFrame::MakeOwned(source.width, source.height, 32);
    if (!copy)
        return nullptr;
    const uint32_t tb = colour & 255, tg = (colour >> 8) & 255, tr = (colour >> 16) & 255, ta = colour >> 24;
    const bool white = colour == 0xFFFFFFFF;
    for (uint32_t y = 0; y < source.height; ++y) {
        const uint8_t* s = source.Row(y);
        uint8_t* d = copy->Row(y);
        for (uint32_t x = 0; x < source.width; ++x, s += 4, d += 4) {
            const uint32_t a = s[3];
            if (white) {
                d[0] = uint8_t((s[0] * a + 255) >> 8);
                d[1] = uint8_t((s[1] * a + 255) >> 8);
                d[2] = uint8_t((s[2] * a + 255) >> 8);
                d[3] = uint8_t(a);
            } else {
                const uint32_t a2 = (ta * a + 255) >> 8;
                d[0] = uint8_t((s[0] * a2 * tb + 65535) >> 16);
                d[1] = uint8_t((s[1] * a2 * tg + 65535) >> 16);
                d[2] = uint8_t((s[2] * a2 * tr + 65535) >> 16);
                d[3] = uint8_t(a2);
            }
        }
    }
    return copy;
}

bool IsWholeNumber(float v)
{
    return std::isfinite(v) && std::nearbyint(v) == v;
}

} // namespace

bool SetBlitXSmoothing(bool on)
{
    return std::exchange(g_Smoothing, on);
}
bool GetBlitXSmoothing()
{
    return g_Smoothing;
}
EBilinearSpans SetBlitXBilinearSpans(EBilinearSpans spans)
{
    return std::exchange(g_BilinearSpans, spans);
}
uint32_t GetBlitXTintColor()
{
    return g_TintColor;
}

CBlitXParams::CBlitXParams(CFrameInterface* source, float x, float y, float angle, float scaleX, float scaleY,
                           const CColor& colour, uint32_t flags, float hotSpotX, float hotSpotY, bool drawEnabled)
    : m_Source(source)
    , m_Angle(angle)
    , m_ScaleX(scaleX)
    , m_ScaleY(scaleY)
    , m_HotSpotX(hotSpotX)
    , m_HotSpotY(hotSpotY)
{
    m_X = x;
    m_Y = y;
    m_Color = colour;
    m_Flags = flags;
    m_DrawEnabled = drawEnabled;
}

bool CBlitXParams::Render(CFrameInterface& target)
{
    m_DrawnBounds = {};
    if (!m_Source)
        return false;
    CFrameInterface* source = m_Source;

    // Below 2304 (alpha product rounded down to a multiple of 256 at most
    // 2048) no pixel can pass any blend threshold.
    if (((m_Color.GetAlpha() * MaxAlpha(*source)) & ~255u) <= 2048)
        return true;
    if (source == &target || !(m_ScaleX > 0.0f) || !(m_ScaleY > 0.0f))
        return false;
    if (source->GetBitDepth() != 32) {
        CFrame* frame = dynamic_cast<CFrame*>(source);
        if (!frame || !ConvertFrameTo32(*frame))
            return false;
    }
    const uint32_t colour = m_Color.GetColorWord();
    g_TintColor = colour;

    const bool scaled = !(m_ScaleX == 1.0f && m_ScaleY == 1.0f);
    const bool rotated = std::fabs(m_Angle) > 0.5f;
    const bool mirrored = (m_Flags & (kMirrorX | kMirrorY)) != 0;
    const bool composeAlpha = (m_Flags & kRespectDestinationAlpha) != 0;

    if (!scaled && !rotated && !mirrored && !composeAlpha && IsWholeNumber(m_X) && IsWholeNumber(m_Y)) {
        const bool white = (colour & 0xFFFFFF) == 0xFFFFFF;
        CBlitTransTinted* tinted = nullptr;
        if (m_Flags & kAdditive)
            tinted = &AdditiveType();
        else if (!white)
            tinted = &TintedType();
        CBlitType& type = tinted ? static_cast<CBlitType&>(*tinted) : GetTransparentMaskBlitType();
        if (tinted)
            tinted->SetTintColor(colour);
        const float px = std::nearbyint(m_X - m_HotSpotX);
        const float py = std::nearbyint(m_Y - m_HotSpotY);
        if (std::fabs(px) < 1e9f && std::fabs(py) < 1e9f) {
            CRect s;
            source->GetBounds(s);
            const int32_t dx = int32_t(px), dy = int32_t(py);
            CRect d{s.left + dx, s.top + dy, s.right + dx, s.bottom + dy};
            if (!m_DrawEnabled) {
                m_DrawnBounds = d;
                return false;
            }
            if (m_ClipEnabled && !ClipRectPair(m_ClipRect, s, d))
                return false;
            m_DrawnBounds = d;
            if (tinted)
                return target.Blit(*source, s, d, type);
            // The colour's alpha fades this one blit; the caller's opacity
            // (a faded control, say) is what the type keeps afterwards.
            const CScopedBlitOpacity faded(type, float(m_Color.GetAlpha()) / 255.0f);
            return target.Blit(*source, s, d, type);
        }
    }

    // Culling by the scaled diagonal: farther than it from the destination,
    // no corner of the image can reach it.
    const float w = float(source->GetWidth()) * m_ScaleX;
    const float h = float(source->GetHeight()) * m_ScaleY;
    const float diagonal = w * w + h * h;
    const float dx = m_X - float(target.GetOffsetX());
    const float dy = m_Y - float(target.GetOffsetY());
    const float tw = float(target.GetWidth()), th = float(target.GetHeight());
    if (!std::isfinite(dx) || !std::isfinite(dy) || !std::isfinite(diagonal) || (dx < 0 && dx * dx > diagonal)
        || (dx > tw && (dx - tw) * (dx - tw) > diagonal) || (dy < 0 && dy * dy > diagonal)
        || (dy > th && (dy - th) * (dy - th) > diagonal))
        return true;

    const float sx = (m_Flags & kMirrorX) ? -m_ScaleX : m_ScaleX;
    const float sy = (m_Flags & kMirrorY) ? -m_ScaleY : m_ScaleY;
    const float originX = m_HotSpotX - float(source->GetOffsetX());
    const float originY = m_HotSpotY - float(source->GetOffsetY());
    BuildBlitPipeline({.destination = target,
                       .source = *source,
                       .x = m_X,
                       .y = m_Y,
                       .originX = originX,
                       .originY = originY,
                       .scaleX = sx,
                       .scaleY = sy,
                       .angle = double(m_Angle) * 0.01745329238474369,
                       .colour = colour,
                       .params = *this});
    if (m_ClipEnabled) {
        CRect clipped;
        if (IntersectRects(clipped, m_DrawnBounds, m_ClipRect))
            m_DrawnBounds = clipped;
        else
            m_DrawnBounds = {};
    }
    return true;
}

namespace {

// The rasteriser path's steps, in the order BuildBlitPipeline takes them.

agg::trans_affine SourceToWorld(const SBlitPipelineArgs& args)
{
    agg::trans_affine transform;
    if (args.originX != 0.0f || args.originY != 0.0f)
        transform *= agg::trans_affine_translation(-args.originX, -args.originY);
    if (args.scaleX != 1.0f || args.scaleY != 1.0f)
        transform *= agg::trans_affine_scaling(args.scaleX, args.scaleY);
    if (args.angle != 0.0)
        transform *= agg::trans_affine_rotation(args.angle);
    if (args.x != 0.0f || args.y != 0.0f)
        transform *= agg::trans_affine_translation(args.x, args.y);
    return transform;
}

// The whole pixels around the transformed source rectangle (corners taken
// in single precision).
CRect TransformedBounds(const agg::trans_affine& transform, double width, double height)
{
    float left = 0, top = 0, right = 0, bottom = 0;
    const double corners[4][2] = {{0, 0}, {width, 0}, {width, height}, {0, height}};
    for (int i = 0; i < 4; ++i) {
        double cx = corners[i][0], cy = corners[i][1];
        transform.transform(&cx, &cy);
        const float fx = float(cx), fy = float(cy);
        if (i == 0 || fx < left)
            left = fx;
        if (i == 0 || fx > right)
            right = fx;
        if (i == 0 || fy < top)
            top = fy;
        if (i == 0 || fy > bottom)
            bottom = fy;
    }
    return {FloorToInt(left), FloorToInt(top), CeilToInt(right), CeilToInt(bottom)};
}

// Adds the source rectangle, through the transform, to the shared rasteriser.
void RasteriseSource(agg::trans_affine& toTarget, double width, double height, const agg::rect_i& clip)
{
    SPipeline& p = Pipeline();
    p.path.remove_all();
    p.path.move_to(0, 0);
    p.path.line_to(width, 0);
    p.path.line_to(width, height);
    p.path.line_to(0, height);
    p.path.close_polygon();
    RasterisePath(p.rasteriser, p.path, toTarget, clip);
}

const agg::rgba8 kOutside(0, 0, 0, 0);

// Blackman filter over a premultiplied, tinted copy of the source.
void FillFiltered(const SBilinearBlit& blit, bool composeAlpha)
{
    std::unique_ptr<CFrame> copy = PremultipliedCopy(blit.source, blit.tint);
    if (!copy)
        return;
    SPixelView copyView;
    MakePixelView(*copy, copyView);
    agg::rendering_buffer sourceBuffer, targetBuffer;
    copyView.Attach(sourceBuffer);
    blit.target.Attach(targetBuffer);
    agg::trans_affine inverse = blit.inverse;
    Interpolator interpolator(inverse);
    agg::pixfmt_bgra32_pre sourceFormat(sourceBuffer);
    agg::image_accessor_clip<agg::pixfmt_bgra32_pre> accessor(sourceFormat, kOutside);
    agg::span_image_filter_rgba<decltype(accessor), Interpolator> generator(accessor, interpolator, BlackmanFilter());
    if (composeAlpha)
        RunChain<blend::PremultipliedOverAlpha>(targetBuffer, blit.tint, blit.clip, generator);
    else
        RunChain<blend::Premultiplied>(targetBuffer, blit.tint, blit.clip, generator);
}

// Bilinear taps blended straight into the target rows.
void FillBilinearDirect(const SBilinearBlit& blit, bool additive, bool composeAlpha)
{
    EBilinearRule rule = EBilinearRule::Tinted;
    if (composeAlpha && additive)
        rule = EBilinearRule::AdditiveOverAlpha;
    else if (composeAlpha)
        rule = EBilinearRule::TintedOverAlpha;
    else if (additive)
        rule = EBilinearRule::Additive;
    else if (blit.tint == 0xFFFFFFFF)
        rule = EBilinearRule::Plain;
    const EBilinearKernel kernel
        = ChosenKernelSet() == KernelSet::Sse2 ? EBilinearKernel::Sse2 : EBilinearKernel::Plain;
    SPipeline& p = Pipeline();
    RenderBilinear(rule, kernel, blit, p.rasteriser, p.scanline);
}

// Blends an image chain's spans into the target by the rule the flags and
// the colour choose.
template <class SpanGenerator>
void RunImageChain(const SBilinearBlit& blit, bool additive, bool composeAlpha, SpanGenerator& generator)
{
    agg::rendering_buffer target;
    blit.target.Attach(target);
    if (composeAlpha && additive)
        RunChain<blend::AdditiveOverAlpha>(target, blit.tint, blit.clip, generator);
    else if (composeAlpha)
        RunChain<blend::TintedOverAlpha>(target, blit.tint, blit.clip, generator);
    else if (additive)
        RunChain<blend::Additive>(target, blit.tint, blit.clip, generator);
    else if (blit.tint == 0xFFFFFFFF)
        RunChain<blend::Plain>(target, blit.tint, blit.clip, generator);
    else
        RunChain<blend::Tinted>(target, blit.tint, blit.clip, generator);
}

// Bilinear taps through AGG's span generator and a span buffer.
void FillBilinearSpans(const SBilinearBlit& blit, bool additive, bool composeAlpha)
{
    agg::rendering_buffer sourceBuffer;
    blit.source.Attach(sourceBuffer);
    agg::trans_affine inverse = blit.inverse;
    Interpolator interpolator(inverse);
    agg::pixfmt_bgra32 sourceFormat(sourceBuffer);
    agg::span_image_filter_rgba_bilinear_clip<agg::pixfmt_bgra32, Interpolator> generator(sourceFormat, kOutside,
                                                                                          interpolator);
    RunImageChain(blit, additive, composeAlpha, generator);
}

// The nearest source pixel; the nearest chains never compose destination
// alpha.
void FillNearest(const SBilinearBlit& blit, bool additive)
{
    agg::rendering_buffer sourceBuffer;
    blit.source.Attach(sourceBuffer);
    agg::trans_affine inverse = blit.inverse;
    Interpolator interpolator(inverse);
    agg::pixfmt_bgra32 sourceFormat(sourceBuffer);
    agg::image_accessor_clip<agg::pixfmt_bgra32> accessor(sourceFormat, kOutside);
    agg::span_image_filter_rgba_nn<decltype(accessor), Interpolator> generator(accessor, interpolator);
    RunImageChain(blit, additive, false, generator);
}

// Fills the rasterised polygon through the chain the flags and the
// process-wide sampling switches choose.
void FillSpans(const SBilinearBlit& blit, uint32_t flags)
{
    const bool additive = (flags & CBlitXParams::kAdditive) != 0;
    const bool composeAlpha = (flags & CRenderableObject::kRespectDestinationAlpha) != 0;
    if ((flags & CBlitXParams::kFiltered) && !additive)
        FillFiltered(blit, composeAlpha);
    else if (g_Smoothing && g_BilinearSpans == EBilinearSpans::Direct)
        FillBilinearDirect(blit, additive, composeAlpha);
    else if (g_Smoothing)
        FillBilinearSpans(blit, additive, composeAlpha);
    else
        FillNearest(blit, additive);
}

} // namespace

void BuildBlitPipeline(const SBlitPipelineArgs& args)
{
    CBlitXParams& params = args.params;
    agg::trans_affine transform = SourceToWorld(args);
    const double width = args.source.GetWidth(), height = args.source.GetHeight();
    params.m_DrawnBounds = TransformedBounds(transform, width, height);
    if (!params.m_DrawEnabled)
        return;

    SRasterTarget target;
    SBilinearBlit blit;
    if (StartRasterDraw(params, args.destination, transform, target) != DrawStart::Draw
        || !MakePixelView(args.source, blit.source))
        return;
    blit.target = target.view;
    blit.clip = target.box;
    RasteriseSource(transform, width, height, blit.clip);
    blit.inverse = transform;
    blit.inverse.invert();
    blit.tint = args.colour;
    FillSpans(blit, params.m_Flags);
}

void CBlitXParams::MapToSource(float x, float y, float& sourceX, float& sourceY) const
{
    CFPoint p{x - m_X, y - m_Y};
    p.Rotate(-(m_Angle * (kPi / 180.0f)));
    if (m_Flags & kMirrorX)
        p.x = -p.x;
    if (m_Flags & kMirrorY)
        p.y = -p.y;
    sourceX = p.x / m_ScaleX + m_HotSpotX;
    sourceY = p.y / m_ScaleY + m_HotSpotY;
}

bool CBlitXParams::HitTest(int32_t x, int32_t y, CColor* out) const
{
    CColor colour;
    if (m_Source) {
        float sx = 0, sy = 0;
        MapToSource(float(x), float(y), sx, sy);
        if (std::fabs(sx) < 1e9f && std::fabs(sy) < 1e9f)
            m_Source->GetPixel(int32_t(std::nearbyint(sx)), int32_t(std::nearbyint(sy)), colour);
    }
    if (out)
        *out = colour;
    return colour.GetAlpha() > 0;
}

void RegisterShapeAndBlitClasses()
{
    RegisterImagesClasses();
    CBlitXParams::SGetClassInfo();
    CShape2DFillRenderer::SGetClassInfo();
    CShape2DOutlineRenderer::SGetClassInfo();
    CBlurRenderer::SGetClassInfo();
    CShape2DTexturedShapeRenderer::SGetClassInfo();
    RegisterFrameEffectClasses();
}
