#pragma once
// CBlurRenderer blurs the 32-bit frame it is rendered onto, in place.
// Colour is averaged with alpha as a weight, so fully transparent pixels
// never bleed their colour (or black) into their neighbours; alpha itself is
// averaged plainly. Two blurs:
//   - the stack blur (default): integer radius r = trunc(radius + 0.5),
//     capped at 254, a triangular kernel 1, 2, .., r + 1, .., 2, 1 along
//     rows then columns, edges clamped to the first and last pixel; the
//     cost per pixel does not depend on r;
//   - the recursive blur (flag kRecursive): AGG's recursive (IIR) blur with
//     a fractional radius, below 0.62 or on sides under 3 pixels nothing.
// Frames of other depths are left alone. Working buffers are shared and
// kept: not reentrant, main thread.

#include "blit/CFrameInterface.h"

#include <cstddef>
#include <cstdint>

class CBlurRenderer : public CRenderableObject {
    OMBRISALT_REFLECTED(CBlurRenderer, CRenderableObject)
public:
    static constexpr uint32_t kRecursive = 4;

    CBlurRenderer() = default;
    CBlurRenderer(float radius, uint32_t flags);

    // Always true.
    bool Render(CFrameInterface& target) override;

    float m_Radius = 0.0f; // pixels; 0 or less: no blur
};

// One stack pass over lines of count pixels: pixel i of line l at
// first + l * lineStep + i * pixelStep (4 bytes blue, green, red, alpha).
void StackBlurPass(uint8_t* first, uint32_t count, uint32_t lines, ptrdiff_t pixelStep, ptrdiff_t lineStep,
                   uint32_t radius);
