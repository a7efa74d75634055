#include "render/ProxyBlit.h"

#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"

CBlitXParams MakeProxyBlit(CFrameInterface& source, const CRect& s, const CRect& d, CBlitType& blitType)
{
    CBlitXParams params(&source, float(d.left - s.left), float(d.top - s.top), 0.0f, 1.0f, 1.0f,
                        CColor(255, 255, 255, 255), 0, 0.0f, 0.0f, true);
    if (&blitType == &GetTransparentMaskBlitType())
        params.m_Color = CColor(255, 255, 255, uint8_t(blitType.GetOpacity255()));
    return params;
}
