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

// The rasteriser path's inputs: source (32-bit) is drawn with the transform
// source pixel -> translate(-origin) scale rotate(angle) translate(x, y).
struct SBlitPipelineArgs {
    CFrameInterface& destination;
    CFrameInterface& source;
    // The destination world point the origin lands on.
    float x;
    float y;
    // The source pixel placed at (x, y).
    float originX;
    float originY;
    // Negative scales mirror.
    float scaleX;
    float scaleY;
    double angle;    // radians
    uint32_t colour; // tint and alpha
    // Its flags, clip rectangle and draw switch are read; it receives
    // m_DrawnBounds.
    CBlitXParams& params;
};

// The rasteriser path proper: measures the transformed source into
// params.m_DrawnBounds, then (when drawing) rasterises it and fills it
// through the chain the flags choose.
void BuildBlitPipeline(const SBlitPipelineArgs& args);

// Bilinear (on, the default) or nearest-pixel sampling for every
// unfiltered transformed blit; answers the previous choice.
bool SetBlitXSmoothing(bool on);
bool GetBlitXSmoothing();

// Test hook: the bilinear chains draw straight into the destination rows
// (Direct, the default) or through AGG's span generator and a span buffer;
// both give the same bytes. Answers the previous choice.
enum class EBilinearSpans : uint8_t { Direct, AggGenerator };
EBilinearSpans SetBlitXBilinearSpans(EBilinearSpans spans);

// The colour of the transformed blit being drawn, for the tinting blit types.
uint32_t GetBlitXTintColor();

// Registers the transformed-blit, shape, blur and effect classes, in a fixed
// order; idempotent.
void RegisterShapeAndBlitClasses();
