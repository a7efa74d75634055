#include "render/CFrameEffect.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "blit/CColorProperty.h"
#include "foundation/CRandomGenerator.h"
#include "foundation/MathHelpers.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "objects/CBoolProperty.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CPObjectProperty.h"
#include "objects/CPointProperty.h"
#include "objects/CPropertyDeclarer.h"
#include "render/CBlitXParams.h"
#include "render/CBlurRenderer.h"
#include "render/CShape2D.h"
#include "render/CShape2DTexturedShapeRenderer.h"
#include "render/FrameViews.h"

#include <algorithm>
#include <cmath>
#include <utility>

OMBRISALT_IMPLEMENT_ABSTRACT_CLASS(CFrameEffect, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CFrameEffectBlit, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CFrameEffectBlur, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CFrameEffectExpand, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CFrameEffectTexturize, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CFrameEffectLayer, 1.0)
OMBRISALT_IMPLEMENT_ABSTRACT_CLASS(CFrameEffectTextureMapPolicy, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CFrameEffectTileTexture, 1.0)
OMBRISALT_IMPLEMENT_CLASS(CFrameEffectStretchTexture, 1.0)

namespace {

FrameEffectTextureLookup g_TextureLookup = nullptr;

const CColor kOpaqueWhite(255, 255, 255, 255);

// Every copy an effect makes: a transformed blit composing the target's
// alpha, sampled bilinearly (the smoothing switch is put back afterwards).
void BlitComposing(CFrameInterface& source, CFrameInterface& target, float x, float y, float scaleX, float scaleY,
                   const CColor& colour)
{
    CBlitXParams blit(&source, x, y, 0.0f, scaleX, scaleY, colour, CRenderableObject::kRespectDestinationAlpha, 0.0f,
                      0.0f, true);
    const bool smoothing = GetBlitXSmoothing();
    SetBlitXSmoothing(true);
    target.Render(blit);
    SetBlitXSmoothing(smoothing);
}

CRect OffsetBounds(const CRect& in, const CFPoint& offset)
{
    return {FloorToInt(float(in.left) + offset.x), FloorToInt(float(in.top) + offset.y),
            CeilToInt(float(in.right) + offset.x), CeilToInt(float(in.bottom) + offset.y)};
}

// A font's "Frame Effect" is held as a plain object below this layer; one
// that is not an effect leaves the glyph as it is.
std::unique_ptr<CFrame> ApplyGlyphEffect(CObject& effect, CFrame& glyph)
{
    auto* frameEffect = dynamic_cast<CFrameEffect*>(&effect);
    return frameEffect ? frameEffect->ApplyToNewFrame(glyph) : nullptr;
}

} // namespace

FrameEffectTextureLookup SetFrameEffectTextureLookup(FrameEffectTextureLookup lookup)
{
    return std::exchange(g_TextureLookup, lookup);
}

void CFrameEffect::DeclareProperties(CPropertyDeclarer&) {}

CRect& CFrameEffect::CalcBounds(CRect& out, const CRect& in)
{
    out = in;
    return out;
}

std::unique_ptr<CFrame> CFrameEffect::ApplyToNewFrame(CFrameInterface& source)
{
    const CFrame* frame = dynamic_cast<const CFrame*>(&source);
    if (!frame)
        return nullptr;
    CRect opaque;
    frame->GetOpaqueBounds(opaque);
    CRect r = opaque;
    CalcBounds(r, opaque);
    // An empty result still makes a frame of at least one pixel each way.
    if (r.GetWidth() <= 0 && r.GetHeight() <= 0)
        r = {r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
    if (r.GetWidth() <= 0)
        r.right = r.left + 1;
    if (r.GetHeight() <= 0)
        r.bottom = r.top + 1;
    if (r.GetWidth() > 65535 || r.GetHeight() > 65535 || r.left < INT16_MIN || r.left > INT16_MAX || r.top < INT16_MIN
        || r.top > INT16_MAX)
        return nullptr;
    std::unique_ptr<CFrame> result = CFrame::MakeOwned(uint32_t(r.GetWidth()), uint32_t(r.GetHeight()), 32);
    if (!result)
        return nullptr;
    result->SetOffset(int16_t(r.left), int16_t(r.top));
    Apply(source, *result);
    return result;
}

void CFrameEffectBlit::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CFrameEffectBlit::m_Offset, "Offset", CFPoint{0.0f, 0.0f});
    d.Add(&CFrameEffectBlit::m_BlitColor, "Blit Color", kOpaqueWhite).WithAlpha();
}
CFrameEffectBlit::CFrameEffectBlit()
{
    InitDeclaredProperties();
}
CFrameEffectBlit::~CFrameEffectBlit()
{
    DestroyDeclaredProperties();
}

CRect& CFrameEffectBlit::CalcBounds(CRect& out, const CRect& in)
{
    out = OffsetBounds(in, m_Offset);
    return out;
}

void CFrameEffectBlit::Apply(CFrameInterface& source, CFrameInterface& target)
{
    BlitComposing(source, target, m_Offset.x, m_Offset.y, 1.0f, 1.0f, m_BlitColor);
}

void CFrameEffectBlur::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CFrameEffectBlur::m_BlurSize, "Blur Size", 2u).Units("pixels");
}
CFrameEffectBlur::CFrameEffectBlur()
{
    InitDeclaredProperties();
}
CFrameEffectBlur::~CFrameEffectBlur()
{
    DestroyDeclaredProperties();
}

CRect& CFrameEffectBlur::CalcBounds(CRect& out, const CRect& in)
{
    const int32_t grow = int32_t(std::min<uint32_t>(m_BlurSize, 0x40000000));
    const CRect grown{in.left - grow, in.top - grow, in.right + grow, in.bottom + grow};
    out = OffsetBounds(grown, m_Offset);
    return out;
}

void CFrameEffectBlur::Apply(CFrameInterface& source, CFrameInterface& target)
{
    CFrame temporary;
    temporary.CopyFrom(&target);
    if (temporary.GetBitDepth() != 32 && !ConvertFrameTo32(temporary))
        return;
    CRect bounds;
    source.GetBounds(bounds);
    temporary.Blit(source, bounds, bounds, GetNormalBlitType());
    CBlurRenderer blur(float(m_BlurSize), CRenderableObject::kRespectDestinationAlpha);
    temporary.Render(blur);
    CFrameEffectBlit::Apply(temporary, target);
}

void CFrameEffectExpand::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CFrameEffectExpand::m_Radius, "Radius", CFPoint{2.25f, 2.25f});
    d.Add(&CFrameEffectExpand::m_BlitColor, "Blit Color", kOpaqueWhite).WithAlpha();
}
CFrameEffectExpand::CFrameEffectExpand()
{
    InitDeclaredProperties();
}
CFrameEffectExpand::~CFrameEffectExpand()
{
    DestroyDeclaredProperties();
}

CRect& CFrameEffectExpand::CalcBounds(CRect& out, const CRect& in)
{
    out = {FloorToInt(float(in.left) - m_Radius.x), FloorToInt(float(in.top) - m_Radius.y),
           CeilToInt(float(in.right) + m_Radius.x), CeilToInt(float(in.bottom) + m_Radius.y)};
    return out;
}

void CFrameEffectExpand::Apply(CFrameInterface& source, CFrameInterface& target)
{
    // Radii beyond a frame's reach would only stamp off the target.
    if (!(m_Radius.x > 0.0f) || !(m_Radius.y > 0.0f) || m_Radius.x > 65536.0f || m_Radius.y > 65536.0f)
        return;
    const float rx = m_Radius.x, ry = m_Radius.y;
    for (int32_t dy = FloorToInt(-ry); dy <= CeilToInt(ry); ++dy)
        for (int32_t dx = FloorToInt(-rx); dx <= CeilToInt(rx); ++dx) {
            const float sy = float(dy) * rx / ry;
            if (sy * sy + float(dx * dx) <= rx * rx)
                BlitComposing(source, target, float(dx), float(dy), 1.0f, 1.0f, m_BlitColor);
        }
}

void CFrameEffectTextureMapPolicy::DeclareProperties(CPropertyDeclarer&) {}

void CFrameEffectTileTexture::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CFrameEffectTileTexture::m_Randomize, "Randomize Tile Offset", true);
}
CFrameEffectTileTexture::CFrameEffectTileTexture()
{
    InitDeclaredProperties();
}
CFrameEffectTileTexture::~CFrameEffectTileTexture()
{
    DestroyDeclaredProperties();
}

void CFrameEffectTileTexture::MapTexture(CFrameInterface&, CFrame& texture, CFrameInterface& destination)
{
    CRect b;
    destination.GetBounds(b);
    Ombrisalt::CShape2D shape(1, 10);
    shape.MoveTo(float(b.left), float(b.top));
    shape.LineTo(float(b.right), float(b.top));
    shape.LineTo(float(b.right), float(b.bottom));
    shape.LineTo(float(b.left), float(b.bottom));
    shape.ClosePath();
    CShape2DTexturedShapeRenderer renderer;
    renderer.m_Texture = &texture;
    renderer.m_Shape = &shape;
    renderer.m_Flags = CRenderableObject::kRespectDestinationAlpha;
    if (m_Randomize) {
        CRandomGenerator& random = CRandomGenerator::Global();
        renderer.m_TileOffsetY = int32_t(random.Next(texture.GetHeight()));
        renderer.m_TileOffsetX = int32_t(random.Next(texture.GetWidth()));
    }
    destination.Render(renderer);
}

void CFrameEffectStretchTexture::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CFrameEffectStretchTexture::m_StretchToSourceSize, "Stretch To Original Size", false);
}
CFrameEffectStretchTexture::CFrameEffectStretchTexture()
{
    InitDeclaredProperties();
}
CFrameEffectStretchTexture::~CFrameEffectStretchTexture()
{
    DestroyDeclaredProperties();
}

void CFrameEffectStretchTexture::MapTexture(CFrameInterface& source, CFrame& texture, CFrameInterface& destination)
{
    CFrameInterface& reference = m_StretchToSourceSize ? source : destination;
    const float rw = float(reference.GetWidth()), rh = float(reference.GetHeight());
    const float tw = float(texture.GetWidth()), th = float(texture.GetHeight());
    // The texture spans from its first to its last pixel centre.
    const float sx = rw / std::max(tw - 1.0f, 0.001f);
    const float sy = rh / std::max(th - 1.0f, 0.001f);
    const float x = float(reference.GetOffsetX()) - (tw * sx - rw) / 2.0f;
    const float y = float(reference.GetOffsetY()) - (th * sy - rh) / 2.0f;
    BlitComposing(texture, destination, x, y, sx, sy, kOpaqueWhite);
}

void CFrameEffectTexturize::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CFrameEffectTexturize::m_TextureFrameIndex, "Texture Frame Index", 0u);
    d.AddOwned(&CFrameEffectTexturize::m_Policy, "Policy").DefaultClass(CFrameEffectStretchTexture::SGetClassInfo());
    d.Add(&CFrameEffectTexturize::m_BlitColor, "Blit Color", kOpaqueWhite).WithAlpha();
}
CFrameEffectTexturize::CFrameEffectTexturize()
{
    InitDeclaredProperties();
}
CFrameEffectTexturize::~CFrameEffectTexturize()
{
    DestroyDeclaredProperties();
}

CRect& CFrameEffectTexturize::CalcBounds(CRect& out, const CRect& in)
{
    out = in;
    return out;
}

void CFrameEffectTexturize::Apply(CFrameInterface& source, CFrameInterface& target)
{
    const CFrame* frame = dynamic_cast<const CFrame*>(&source);
    CFrame* texture = g_TextureLookup ? g_TextureLookup(m_TextureFrameIndex) : nullptr;
    if (!frame || !texture || !m_Policy)
        return;
    CRect r;
    frame->GetOpaqueBounds(r);
    r = {r.left + source.GetOffsetX(), r.top + source.GetOffsetY(), r.right + source.GetOffsetX(),
         r.bottom + source.GetOffsetY()};
    if (r.GetWidth() <= 0 || r.GetHeight() <= 0)
        return;
    // Always 32-bit: the multiplication and the blenders write 4-byte pixels.
    std::unique_ptr<CFrame> temporary = CFrame::MakeOwned(uint32_t(r.GetWidth()), uint32_t(r.GetHeight()), 32);
    if (!temporary)
        return;
    temporary->SetOffset(int16_t(r.left), int16_t(r.top));
    m_Policy->MapTexture(source, *texture, *temporary);
    MultiplyBySource(source, *temporary);
    BlitComposing(*temporary, target, 0.0f, 0.0f, 1.0f, 1.0f, m_BlitColor);
}

void CFrameEffectTexturize::MultiplyBySource(CFrameInterface& source, CFrameInterface& texture)
{
    SPixelView s, t;
    if (source.GetBitDepth() != 32 || texture.GetBitDepth() != 32 || !MakePixelView(source, s)
        || !MakePixelView(texture, t))
        return;
    CRect a, b, both;
    source.GetBounds(a);
    texture.GetBounds(b);
    if (!IntersectRects(both, a, b))
        return;
    for (int32_t y = both.top; y < both.bottom; ++y) {
        const uint8_t* sp = s.Row(uint32_t(y - source.GetOffsetY())) + 4 * (both.left - source.GetOffsetX());
        uint8_t* tp = t.Row(uint32_t(y - texture.GetOffsetY())) + 4 * (both.left - texture.GetOffsetX());
        for (int32_t n = 4 * both.GetWidth(); n > 0; --n, ++sp, ++tp)
            *tp = uint8_t((*tp * *sp + 255) >> 8);
    }
}

void CFrameEffectLayer::DeclareProperties(CPropertyDeclarer& d)
{
    d.AddOwned(&CFrameEffectLayer::m_ApplyBefore, "Apply Before Layering");
    d.AddArray<CTypedPObjectProperty<CFrameEffect>>(&CFrameEffectLayer::m_LayeredEffects, "Layered Effects List",
                                                    "Layered Effects", nullptr);
}
CFrameEffectLayer::CFrameEffectLayer()
{
    InitDeclaredProperties();
}
CFrameEffectLayer::~CFrameEffectLayer()
{
    DestroyDeclaredProperties();
}

CRect& CFrameEffectLayer::CalcBounds(CRect& out, const CRect& in)
{
    CRect base = in;
    if (m_ApplyBefore)
        m_ApplyBefore->CalcBounds(base, in);
    bool any = false;
    for (uint32_t i = 0; i < m_LayeredEffects.GetCount(); ++i) {
        CFrameEffect* effect = m_LayeredEffects[i];
        if (!effect)
            continue;
        CRect r = base;
        effect->CalcBounds(r, base);
        if (!any)
            out = r;
        else
            out = {std::min(out.left, r.left), std::min(out.top, r.top), std::max(out.right, r.right),
                   std::max(out.bottom, r.bottom)};
        any = true;
    }
    return out;
}

void CFrameEffectLayer::Apply(CFrameInterface& source, CFrameInterface& target)
{
    std::unique_ptr<CFrame> before;
    if (m_ApplyBefore) {
        before = m_ApplyBefore->ApplyToNewFrame(source);
        if (!before)
            return;
    }
    CFrameInterface& layered = before ? static_cast<CFrameInterface&>(*before) : source;
    for (uint32_t i = 0; i < m_LayeredEffects.GetCount(); ++i)
        if (CFrameEffect* effect = m_LayeredEffects[i])
            effect->Apply(layered, target);
}

void CFrameEffectLayer::AddLayeredEffect(CFrameEffect* effect)
{
    auto* list = static_cast<CPropertyArrayProperty*>(GetClassInfo()->FindProperty("Layered Effects List"));
    const uint32_t count = m_LayeredEffects.GetCount();
    list->ArrayProperty_SetCount(this, count + 1);
    m_LayeredEffects[count] = effect;
}

void RegisterFrameEffectClasses()
{
    CFrameEffect::SGetClassInfo();
    CFrameEffectBlit::SGetClassInfo();
    CFrameEffectBlur::SGetClassInfo();
    CFrameEffectExpand::SGetClassInfo();
    CFrameEffectTexturize::SGetClassInfo();
    CFrameEffectLayer::SGetClassInfo();
    CFrameEffectTextureMapPolicy::SGetClassInfo();
    CFrameEffectTileTexture::SGetClassInfo();
    CFrameEffectStretchTexture::SGetClassInfo();
    SetGlyphEffectApplier(&ApplyGlyphEffect);
}
