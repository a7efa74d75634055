#pragma once
// CBlitXParams: one transformed blit, the renderable that draws a source
// frame onto a 32-bit destination moved, rotated, scaled, mirrored, tinted
// and faded, with anti-aliased edges. Callers fill one in and hand it to the
// destination's Render.
//
// Render chooses one of three ways:
//   - nothing: the colour's alpha times the source's largest alpha cannot
//     show, or the source cannot reach the destination (true, empty bounds);
//   - the fast path: a pure whole-pixel move with no mirror and no
//     destination-alpha composing becomes an ordinary blit through a blit
//     type (its result is returned);
//   - the rasteriser path: the source rectangle becomes a transformed
//     polygon, rasterised with AGG and filled from an image span generator
//     (bilinear, nearest pixel, or a Blackman filter on a premultiplied
//     copy) through one of the blend rules of PixelBlenders.h.
// m_DrawnBounds always receives the destination rectangle covered (world
// coordinates); with m_DrawEnabled clear the blit only measures.
//
// Drawing shares process-wide pipeline objects: not reentrant, main thread.

#include "blit/CFrameInterface.h"

#include <cstdint>

class CBlitType;

class CBlitXParams : public CRenderableObject {
    OMBRISALT_REFLECTED(CBlitXParams, CRenderableObject)
public:
    // Flag bits (with kRespectDestinationAlpha = 2, compose destination alpha).
    static constexpr uint32_t kAdditive = 1;
    static constexpr uint32_t kMirrorX = 4;
    static constexpr uint32_t kMirrorY = 8;
    static constexpr uint32_t kFiltered = 16; // ignored with kAdditive

    CBlitXParams() = default;
    CBlitXParams(CFrameInterface* source, float x, float y, float angle, float scaleX, float scaleY,
                 const CColor& colour, uint32_t flags, float hotSpotX, float hotSpotY, bool drawEnabled);

    bool Render(CFrameInterface& target) override;

    // The source world point that a destination world point shows.
    void MapToSource(float x, float y, float& sourceX, float& sourceY) const;
    // Whether the source pixel under destination point (x, y) has alpha;
    // its colour goes to out when given (transparent black outside).
    bool HitTest(int32_t x, int32_t y, CColor* out) const override;

    CFrameInterface* m_Source = nullptr; // not owned
    float m_Angle = 0.0f;                // degrees; positive turns x toward y
    float m_ScaleX = 1.0f;
    float m_ScaleY = 1.0f;
    float m_HotSpotX = 0.0f; // source world point placed at (m_X, m_Y)
    float m_HotSpotY = 0.0f;
};

// The rasteriser path proper: draws source (32-bit) with the transform
// source pixel -> translate(-origin) scale rotate(radians) translate(x, y),
// writes params.m_DrawnBounds and returns whether anything could be drawn.
void BuildBlitPipeline(CFrameInterface& destination, CFrameInterface& source, float x, float y, float originX,
                       float originY, float scaleX, float scaleY, double angle, uint32_t colour, CBlitXParams& params);

// Bilinear (on, the default) or nearest-pixel sampling for every
// unfiltered transformed blit.
void SetBlitXSmoothing(bool on);
bool GetBlitXSmoothing();

// Test hook: the bilinear chains draw straight into the destination rows
// (Direct, the default) or through AGG's span generator and a span buffer;
// both give the same bytes.
enum class EBilinearSpans : uint8_t { Direct, AggGenerator };
void SetBlitXBilinearSpans(EBilinearSpans spans);

// The colour of the transformed blit being drawn, for the tinting blit types.
uint32_t GetBlitXTintColor();

// Registers the transformed-blit, shape, blur and effect classes, in a fixed
// order; idempotent.
void RegisterShapeAndBlitClasses();
