#include "render/CBlitXParams.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"

OMBRISALT_IMPLEMENT_CLASS(CBlitXParams, 1.0)
void CBlitXParams::DeclareProperties(CPropertyDeclarer&) {}

namespace {

TransformedBlitRenderer g_TransformedBlitRenderer = nullptr;

} // namespace

TransformedBlitRenderer SetTransformedBlitRenderer(TransformedBlitRenderer renderer)
{
    const TransformedBlitRenderer old = g_TransformedBlitRenderer;
    g_TransformedBlitRenderer = renderer;
    return old;
}

CBlitXParams::CBlitXParams()
{
    InitDeclaredProperties();
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
    InitDeclaredProperties();
    SetPosition(x, y);
    SetColor(colour);
    SetRenderFlags(flags);
    SetDrawEnabled(drawEnabled);
}

CBlitXParams::CBlitXParams(const CBlitXParams& other)
    : CRenderableObject(other)
    , m_Source(other.m_Source)
    , m_Angle(other.m_Angle)
    , m_ScaleX(other.m_ScaleX)
    , m_ScaleY(other.m_ScaleY)
    , m_HotSpotX(other.m_HotSpotX)
    , m_HotSpotY(other.m_HotSpotY)
{
    InitDeclaredProperties();
}

CBlitXParams::~CBlitXParams()
{
    DestroyDeclaredProperties();
}

bool CBlitXParams::Render(CFrameInterface& target)
{
    if (!g_TransformedBlitRenderer || !m_Source) {
        SetDrawnBounds({});
        return false;
    }
    return g_TransformedBlitRenderer(*this, target);
}

CBlitXParams MakeProxyBlit(CFrameInterface& source, const CRect& s, const CRect& d, CBlitType& blitType)
{
    CBlitXParams params(&source, float(d.left - s.left), float(d.top - s.top), 0.0f, 1.0f, 1.0f,
                        CColor(255, 255, 255, 255), 0, 0.0f, 0.0f, true);
    if (&blitType == &GetTransparentMaskBlitType())
        params.SetColor(CColor(255, 255, 255, uint8_t(blitType.GetOpacity255())));
    return params;
}
