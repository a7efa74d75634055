#pragma once
// Frame effects: small reflected objects that draw one frame (the source)
// onto another (the target) in a decorated way, stored as data (a font's
// "Frame Effect" runs one on every glyph it builds). Every effect answers two
// questions: which rectangle of the target it may touch given the source's
// rectangle (CalcBounds), and how to draw (Apply). ApplyToNewFrame does both
// into a new 32-bit frame.
//
// Effects draw through the renderables: transformed blits with flags 2
// (compose destination alpha) and smoothing on, the blur renderer and the
// textured shape renderer. Temporary frames are always 32-bit.

#include "blit/CColor.h"
#include "blit/CFrameInterface.h"
#include "foundation/CFPoint.h"
#include "foundation/UpwardHook.h"
#include "objects/CPropertyArrayProperty.h"

#include <memory>

class CFrame;

class CFrameEffect : public CObject {
    OMBRISALT_REFLECTED(CFrameEffect, CObject)
public:
    // The target rectangle Apply may change when the source covers in.
    virtual CRect& CalcBounds(CRect& out, const CRect& in);
    virtual void Apply(CFrameInterface& source, CFrameInterface& target) = 0;

    // A new 32-bit frame, cleared, covering the effect's bounds of the
    // source's opaque pixels, with the effect applied; null for a source
    // that is not a frame.
    std::unique_ptr<CFrame> ApplyToNewFrame(CFrameInterface& source);
};

class CFrameEffectBlit : public CFrameEffect {
    OMBRISALT_REFLECTED(CFrameEffectBlit, CFrameEffect)
public:
    CFrameEffectBlit();
    ~CFrameEffectBlit() override;
    CRect& CalcBounds(CRect& out, const CRect& in) override;
    void Apply(CFrameInterface& source, CFrameInterface& target) override;

    CFPoint m_Offset;
    CColor m_BlitColor;
};

class CFrameEffectBlur : public CFrameEffectBlit {
    OMBRISALT_REFLECTED(CFrameEffectBlur, CFrameEffectBlit)
public:
    CFrameEffectBlur();
    ~CFrameEffectBlur() override;
    CRect& CalcBounds(CRect& out, const CRect& in) override;
    void Apply(CFrameInterface& source, CFrameInterface& target) override;

    uint32_t m_BlurSize;
};

class CFrameEffectExpand : public CFrameEffect {
    OMBRISALT_REFLECTED(CFrameEffectExpand, CFrameEffect)
public:
    CFrameEffectExpand();
    ~CFrameEffectExpand() override;
    CRect& CalcBounds(CRect& out, const CRect& in) override;
    // Stamps the source at every whole-pixel offset inside the ellipse of
    // the radius, rows from the top, each row left to right.
    void Apply(CFrameInterface& source, CFrameInterface& target) override;

    CFPoint m_Radius;
    CColor m_BlitColor;
};

class CFrameEffectTextureMapPolicy : public CObject {
    OMBRISALT_REFLECTED(CFrameEffectTextureMapPolicy, CObject)
public:
    // Draws the texture over the destination.
    virtual void MapTexture(CFrameInterface& source, CFrame& texture, CFrameInterface& destination) = 0;
};

class CFrameEffectTileTexture : public CFrameEffectTextureMapPolicy {
    OMBRISALT_REFLECTED(CFrameEffectTileTexture, CFrameEffectTextureMapPolicy)
public:
    CFrameEffectTileTexture();
    ~CFrameEffectTileTexture() override;
    void MapTexture(CFrameInterface& source, CFrame& texture, CFrameInterface& destination) override;

    bool m_Randomize;
};

class CFrameEffectStretchTexture : public CFrameEffectTextureMapPolicy {
    OMBRISALT_REFLECTED(CFrameEffectStretchTexture, CFrameEffectTextureMapPolicy)
public:
    CFrameEffectStretchTexture();
    ~CFrameEffectStretchTexture() override;
    void MapTexture(CFrameInterface& source, CFrame& texture, CFrameInterface& destination) override;

    bool m_StretchToSourceSize;
};

class CFrameEffectTexturize : public CFrameEffect {
    OMBRISALT_REFLECTED(CFrameEffectTexturize, CFrameEffect)
public:
    CFrameEffectTexturize();
    ~CFrameEffectTexturize() override;
    CRect& CalcBounds(CRect& out, const CRect& in) override;
    void Apply(CFrameInterface& source, CFrameInterface& target) override;
    // Each byte of every texture pixel over the source becomes
    // (t * s + 255) >> 8 with the source's byte; both must be 32-bit.
    void MultiplyBySource(CFrameInterface& source, CFrameInterface& texture);

    uint32_t m_TextureFrameIndex;
    CFrameEffectTextureMapPolicy* m_Policy; // owned
    CColor m_BlitColor;
};

class CFrameEffectLayer : public CFrameEffect {
    OMBRISALT_REFLECTED(CFrameEffectLayer, CFrameEffect)
public:
    CFrameEffectLayer();
    ~CFrameEffectLayer() override;
    // The union of the layered effects' bounds of the apply-before bounds;
    // out is left as passed when no layered effect exists.
    CRect& CalcBounds(CRect& out, const CRect& in) override;
    void Apply(CFrameInterface& source, CFrameInterface& target) override;
    // Appends an effect the layer then owns.
    void AddLayeredEffect(CFrameEffect* effect);

    CFrameEffect* m_ApplyBefore;                    // owned, may be null
    CPropertyArray<CFrameEffect*> m_LayeredEffects; // owned, entries may be null
};

// The frames "Texture Frame Index" chooses from; null for an index with no
// frame. Set by the owner of the global frame list.
using FrameEffectTextureLookup = CFrame* (*)(uint32_t index);
FrameEffectTextureLookup SetFrameEffectTextureLookup(FrameEffectTextureLookup lookup);
OMBRISALT_UPWARD_HOOK(SetFrameEffectTextureLookup);

// Registers the effect classes and makes fonts run their "Frame Effect" on
// every glyph they build; idempotent.
void RegisterFrameEffectClasses();
