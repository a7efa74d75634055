#pragma once
// The record of one transformed blit: a source frame drawn with its hot spot
// at (x, y), rotated by an angle in degrees, scaled and tinted by the colour.
// The renderable fields (flags, colour, position, draw and clip switches,
// drawn bounds) are CRenderableObject's.
//
// Drawing goes through the installed transformed-blit renderer, which the
// pipeline layer provides; without one a draw reports nothing drawn and
// empty bounds.

#include "blit/CFrameInterface.h"

#include <cstdint>

class CBlitType;

class CBlitXParams : public CRenderableObject {
    OMBRISALT_REFLECTED(CBlitXParams, CRenderableObject)
public:
    CBlitXParams();
    CBlitXParams(CFrameInterface* source, float x, float y, float angle, float scaleX, float scaleY,
                 const CColor& colour, uint32_t flags, float hotSpotX, float hotSpotY, bool drawEnabled);
    CBlitXParams(const CBlitXParams& other);
    ~CBlitXParams() override;

    bool Render(CFrameInterface& target) override;

    CFrameInterface* GetSource() const { return m_Source; }
    void SetSource(CFrameInterface* source) { m_Source = source; }
    float GetAngle() const { return m_Angle; } // degrees
    void SetAngle(float degrees) { m_Angle = degrees; }
    float GetScaleX() const { return m_ScaleX; }
    float GetScaleY() const { return m_ScaleY; }
    void SetScale(float x, float y) { m_ScaleX = x, m_ScaleY = y; }
    float GetHotSpotX() const { return m_HotSpotX; }
    float GetHotSpotY() const { return m_HotSpotY; }
    void SetHotSpot(float x, float y) { m_HotSpotX = x, m_HotSpotY = y; }

private:
    CFrameInterface* m_Source = nullptr;
    float m_Angle = 0.0f;
    float m_ScaleX = 1.0f;
    float m_ScaleY = 1.0f;
    float m_HotSpotX = 0.0f;
    float m_HotSpotY = 0.0f;
};

// Draws a transformed blit onto target and writes its drawn bounds.
using TransformedBlitRenderer = bool (*)(CBlitXParams& params, CFrameInterface& target);
// Installs the renderer; answers the one it replaces.
TransformedBlitRenderer SetTransformedBlitRenderer(TransformedBlitRenderer renderer);

// The record a proxy turns a plain blit into: the whole source with its
// origin at (d.left - s.left, d.top - s.top), unrotated, unscaled, opaque
// white, flags 0. Through the global "Transparent Mask" type the colour
// takes that type's 0-255 opacity as its alpha; other types are ignored.
CBlitXParams MakeProxyBlit(CFrameInterface& source, const CRect& s, const CRect& d, CBlitType& blitType);
