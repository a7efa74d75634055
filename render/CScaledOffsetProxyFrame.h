#pragma once
// Proxies that map every point drawn through them by a float transform:
// the scaled-offset proxy scales about a centre and moves; the
// offset-rotate-scale proxy rotates about a pivot, scales on two axes,
// moves and may tint. Both turn a Blit into a transformed blit of what the
// plain blit would draw (the part of the source it names, or the rectangle a
// tiling type fills), so the pixels themselves are scaled and rotated, and
// adapt each kind of renderable before passing it on.
//
// Scaled-offset:        p' = (p - centre - offset) * scale + centre
// Offset-rotate-scale:  d = p - pivot, rotated by the angle (table sine),
//                       then scaled per axis; p' = d + pivot + offset
// Each step is rounded to a 32-bit float.

#include "foundation/CFPoint.h"
#include "render/CProxyFrame.h"

class CScaledOffsetProxyFrame : public CProxyFrame {
    OMBRISALT_REFLECTED(CScaledOffsetProxyFrame, CProxyFrame)
public:
    CScaledOffsetProxyFrame();
    // The centre becomes the middle of the source.
    explicit CScaledOffsetProxyFrame(CFrameInterface* source);
    ~CScaledOffsetProxyFrame() override;

    void Set(float scale, float offsetX, float offsetY);
    void SetCentre(float x, float y) { m_CentreX = x, m_CentreY = y; }
    // Also moves the centre to the middle of the new source.
    void SetFrame(CFrameInterface* source) override;
    CFPoint Map(float x, float y) const;

    bool Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType) override;
    bool Render(CRenderableObject& renderable) override;
    // The mapped corners, widened outward to whole pixels.
    void FillRect(const CRect& rect, CColor& colour) override;
    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CColor& colour) override;
    void DrawLineFloat(float x1, float y1, float x2, float y2, CColor& colour, float width) override;
    void SetPixel(int32_t x, int32_t y, CColor& colour) override;

private:
    float m_OffsetX = 0.0f;
    float m_OffsetY = 0.0f;
    float m_CentreX = 0.0f;
    float m_CentreY = 0.0f;
    float m_Scale = 1.0f;
};

class COffsetRotateScaleProxyFrame : public CProxyFrame {
    OMBRISALT_REFLECTED(COffsetRotateScaleProxyFrame, CProxyFrame)
public:
    COffsetRotateScaleProxyFrame();
    ~COffsetRotateScaleProxyFrame() override;

    void SetRotation(float radians) { m_Rotation = radians; }
    void SetRotationDegrees(float degrees);
    void SetOffset(const CFPoint& offset) { m_OffsetX = offset.x, m_OffsetY = offset.y; }
    void SetScale(const CFPoint& scale) { m_ScaleX = scale.x, m_ScaleY = scale.y; }
    void SetUniformScale(float scale) { m_ScaleX = m_ScaleY = scale; }
    void SetPivot(const CFPoint& pivot) { m_PivotX = pivot.x, m_PivotY = pivot.y; }
    // Enables tinting by the colour.
    void SetColor(const CColor& colour);
    // Enables tinting and sets only the tint's alpha, to trunc(a * 255).
    void SetOpacity(float opacity);
    CFPoint MapPoint(float x, float y) const;
    // Each channel becomes drawn * tint / 255, rounded down, when tinting.
    void ModulateColor(CColor& colour) const;

    bool Blit(CFrameInterface& source, CRect s, CRect d, CBlitType& blitType) override;
    bool Render(CRenderableObject& renderable) override;
    // Unrotated: the mapped corners rounded to nearest. Rotated: a filled
    // four-point polygon through the source's Render.
    void FillRect(const CRect& rect, CColor& colour) override;
    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, CColor& colour) override;
    void DrawLineFloat(float x1, float y1, float x2, float y2, CColor& colour, float width) override;
    void SetPixel(int32_t x, int32_t y, CColor& colour) override;

private:
    float m_Rotation = 0.0f;
    float m_OffsetX = 0.0f;
    float m_OffsetY = 0.0f;
    float m_ScaleX = 1.0f;
    float m_ScaleY = 1.0f;
    float m_PivotX = 0.0f;
    float m_PivotY = 0.0f;
    bool m_ColorEnabled = false;
    CColor m_Color{255, 255, 255, 255};
};
