#pragma once
// Proxies that change how things are blended rather than where: one fades
// everything drawn through it, one draws everything respecting the
// destination's alpha.

#include "render/CProxyFrame.h"

// Scales the opacity of every drawing by a (0 to 1). Nothing is drawn at
// a <= 0. Fills, lines and pixels take alpha rounded to nearest (ties to
// even); renderables take it truncated, as the renderable path always has.
class COpacityProxyFrame : public CProxyFrame {
    OMBRISALT_REFLECTED(COpacityProxyFrame, CProxyFrame)
public:
    COpacityProxyFrame();
    COpacityProxyFrame(CFrameInterface* source, float opacity);
    ~COpacityProxyFrame() override;

    void SetOpacity(float opacity) { m_Opacity = opacity; }
    float GetOpacity() const { return m_Opacity; }

    // The blit type's opacity is scaled for the call and set back after.
    bool Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType) override;
    bool Render(CRenderableObject& renderable) override;
    void Fill(CColor& colour) override;
    void FillRect(const CRect& rect, CColor& colour) override;
    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CColor& colour) override;
    void DrawLineFloat(float x1, float y1, float x2, float y2, CColor& colour, float width) override;
    void SetPixel(int32_t x, int32_t y, CColor& colour) override;

private:
    CColor Faded(const CColor& colour) const;

    float m_Opacity = 1.0f;
};

// Renderables drawn through it compose the destination's alpha, and a blit
// becomes a transformed blit of the whole source frame doing the same.
class CRespectDestAlphaProxyFrame : public CProxyFrame {
    OMBRISALT_REFLECTED(CRespectDestAlphaProxyFrame, CProxyFrame)
public:
    CRespectDestAlphaProxyFrame();
    ~CRespectDestAlphaProxyFrame() override;

    // The rectangles' sizes are not used: the whole source is drawn with
    // its origin at (d.left - s.left, d.top - s.top), clipped to this
    // proxy's bounds.
    bool Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType) override;
    bool Render(CRenderableObject& renderable) override;
};
