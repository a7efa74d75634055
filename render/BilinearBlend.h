#pragma once
// Bilinear sampling of a 32-bit image blended straight into the destination
// rows (private to render/): the transformed blit's smooth chains without a
// span buffer.
//
// The bytes are exactly those of AGG's span_image_filter_rgba_bilinear_clip
// (transparent background) feeding CBlendPixfmt<Rule> through renderer_base:
//   - every span of the scanline restarts AGG's span_interpolator_linear at
//     the span's first pixel centre over the span's full length, so the
//     8-bit subpixel stepping is AGG's own;
//   - the sample point is moved back half a pixel, split into whole pixel
//     and 8-bit fraction; the four taps weigh (256 - fx)(256 - fy) and so
//     on, summed exactly and shifted down 16 bits; taps outside the image
//     count as transparent black;
//   - spans are clipped as renderer_base does (the interpolator still steps
//     over the pixels cut on the left) and every pixel goes through the
//     rule's coverage form with the scanline's cover.
// A sample of alpha 0 leaves the destination alone under every image rule
// drawn here, so it is neither finished nor blended.

#include "render/FrameViews.h"

#include <agg_rasterizer_scanline_aa.h>
#include <agg_scanline_u.h>
#include <agg_trans_affine.h>

#include <cstdint>

// The blend rules the bilinear chains use (PixelBlenders.h).
enum class EBilinearRule : uint8_t { Plain, Tinted, Additive, TintedOverAlpha, AdditiveOverAlpha };

// Whether the taps are weighed four channels at a time (SSE2) or one by one;
// both give the same bytes.
enum class EBilinearKernel : uint8_t { Plain, Sse2 };

using BlitRasteriser = agg::rasterizer_scanline_aa<agg::rasterizer_sl_clip_dbl>;

struct SBilinearBlit {
    SPixelView target;
    SPixelView source;
    agg::rect_i clip;          // inclusive, inside the target
    agg::trans_affine inverse; // target pixel -> source pixel
    uint32_t tint = 0xFFFFFFFF;
};

// Sweeps the polygon already added to rasteriser and draws it.
void RenderBilinear(EBilinearRule rule, EBilinearKernel kernel, const SBilinearBlit& blit, BlitRasteriser& rasteriser,
                    agg::scanline_u8& scanline);
