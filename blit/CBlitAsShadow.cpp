#include "blit/CBlitAsShadow.h"

#include "blit/FrameBlit.h"
#include "blit/GamePalette.h"
#include "blit/KernelTable.h"
#include "blit/TwoBandKernelBlit.h"

void ShadowPixel32(uint8_t* d, uint32_t alpha)
{
    if (alpha < 8)
        return;
    // k = 255 - ((A * 100) >> 8); each colour byte c becomes (c * k) >> 8.
    const uint32_t k = 255 - ((alpha * kShadowStrength) >> 8);
    d[0] = uint8_t((d[0] * k) >> 8);
    d[1] = uint8_t((d[1] * k) >> 8);
    d[2] = uint8_t((d[2] * k) >> 8);
    d[3] = 0;
}

namespace {

void ShadowRow32(const SBlitArgs& args, uint8_t* dst, const uint8_t* src, uint32_t count)
{
    const uint32_t* opacityRow = IsOpaque(*args.blitType) ? nullptr : args.tables.opacityRow;
    for (uint32_t x = 0; x < count; ++x) {
        const uint32_t alpha = src[4 * x + 3];
        ShadowPixel32(dst + 4 * x, opacityRow ? opacityRow[alpha] : alpha);
    }
}

// The run-length kernels below blend toward black through the four-pixel
// group rows, whose plain and SSE2 forms give the same bytes.

// Opaque pixels, literal or repeated, darken at the full strength.
void ShadowOpaque16(const SBlitArgs& args, const SRun& run, uint32_t count)
{
    SRun black;
    black.dst = run.dst;
    black.alphaValue = kShadowStrength;
    GetKernel(KernelRow::AlphaBlend16GroupFill, count)(args, black, count);
}

// Literal alpha pixels blend from a black row by opacityRow[A], the row of
// the strength: floor(A * 100 / 255).
void ShadowAlphaLiteral16(const SBlitArgs& args, const SRun& run, uint32_t count)
{
    static constexpr uint8_t kBlack[2 * kRunMaxCount] = {};
    SRun black = run;
    black.src = kBlack;
    GetKernel(KernelRow::ScaledAlphaBlend16Group, count)(args, black, count);
}

// A repeated alpha pixel darkens at (A * 100) >> 8.
void ShadowAlphaRepeat16(const SBlitArgs& args, const SRun& run, uint32_t count)
{
    SRun black;
    black.dst = run.dst;
    black.alphaValue = (run.alphaValue * kShadowStrength) >> 8;
    GetKernel(KernelRow::AlphaBlend16GroupFill, count)(args, black, count);
}

// Every opacity draws as opacity 1: only the darkening has kernels.
void ShadowRunLength16(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                       CBlitType& type)
{
    SBlitArgs args;
    args.tables = MakeBlitTables(kShadowStrength);
    args.blitType = &type;
    const bool literalAlpha = BlitTwoBands16(source, s, destination, d, args, {ShadowOpaque16, ShadowOpaque16},
                                             {ShadowAlphaLiteral16, ShadowAlphaRepeat16});
    // The literal alpha kernels borrow the type's opacity for their row and
    // leave it at 1.
    if (literalAlpha)
        type.SetOpacity(1.0f);
}

} // namespace

CBlitAsShadow::CBlitAsShadow()
{
    AddBlitFunction(16, 4, 16, 0, ShadowRunLength16);
    AddBlitFunction(32, 0, 32, 0, RawBlit<ShadowRow32>);
}
