#include "blit/CBlitAmplifyLight.h"

#include "blit/BlitRows.h"
#include "blit/GamePalette.h"
#include "blit/KernelTable.h"
#include "blit/TwoBandKernelBlit.h"

#include <algorithm>

const SAmplifyTables& GetAmplifyTables()
{
    static const SAmplifyTables tables = [] {
        SAmplifyTables t{};
        for (uint32_t d = 0; d < 32; ++d)
            for (uint32_t s = 0; s < 32; ++s) {
                const double v = double(s) * double(d) / 31.0 + double(d) + 0.5;
                const uint32_t field = std::min<uint32_t>(31, uint32_t(v));
                t.red[d * 32 + s] = uint16_t(field << 11);
                t.green[d * 32 + s] = uint16_t(field << 6);
                t.blue[d * 32 + s] = uint16_t(field);
            }
        return t;
    }();
    return tables;
}

uint16_t AmplifyPixel565(uint16_t d, uint16_t s)
{
    const SAmplifyTables& t = GetAmplifyTables();
    const uint32_t red = (uint32_t(d >> 11) << 5) | uint32_t(s >> 11);
    const uint32_t green = (uint32_t((d >> 6) & 31) << 5) | uint32_t((s >> 6) & 31);
    const uint32_t blue = (uint32_t(d & 31) << 5) | uint32_t(s & 31);
    return uint16_t(t.red[red] | t.green[green] | t.blue[blue]);
}

void AmplifyRun16(const SBlitArgs&, const SRun& run, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i)
        StorePixel16(run.dst + 2 * i, AmplifyPixel565(LoadPixel16(run.dst + 2 * i), LoadPixel16(run.src + 2 * i)));
}

void AmplifyRun16Fill(const SBlitArgs&, const SRun& run, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i)
        StorePixel16(run.dst + 2 * i, AmplifyPixel565(LoadPixel16(run.dst + 2 * i), uint16_t(run.value)));
}

void WhiteRun16(const SBlitArgs&, const SRun& run, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i)
        StorePixel16(run.dst + 2 * i, 0xFFFF);
}

namespace {

void CopyRoutine(CBlitType& to, const CBlitType& from, uint32_t sourceDepth, uint32_t sourceRle,
                 uint32_t destinationDepth)
{
    for (const CBlitFuncInfo& info : from.GetBlitFunctions())
        if (info.sourceDepth == sourceDepth && info.sourceRle == sourceRle && info.destinationDepth == destinationDepth
            && info.destinationRle == 0) {
            to.AddBlitFunction(sourceDepth, sourceRle, destinationDepth, 0, info.function);
            return;
        }
}

// The four-pixel group rows: the same bytes with either kernel set.
void OpacityRun16(const SBlitArgs& args, const SRun& run, uint32_t count)
{
    GetKernel(KernelRow::OpacityBlend16Group, count)(args, run, count);
}

void OpacityRun16Fill(const SBlitArgs& args, const SRun& run, uint32_t count)
{
    GetKernel(KernelRow::OpacityBlend16GroupFill, count)(args, run, count);
}

// At opacity 1 the opaque plane amplifies; otherwise it is blended like an
// opaque image at the opacity. The alpha plane turns white either way.
void AmplifyRunLength16(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                        CBlitType& type)
{
    SBlitArgs args;
    args.tables = MakeBlitTables(type.GetOpacity255());
    args.blitType = &type;
    const SPlaneKernels opaque = type.GetOpacity() == 1.0f ? SPlaneKernels{AmplifyRun16, AmplifyRun16Fill}
                                                           : SPlaneKernels{OpacityRun16, OpacityRun16Fill};
    BlitTwoBands16(source, s, destination, d, args, opaque, {WhiteRun16, WhiteRun16});
}

} // namespace

CBlitAmplifyLight::CBlitAmplifyLight(const CBlitType& blackBias, const CBlitType& transparentMask)
{
    // The shared routines read the blit type they are called with, so the
    // 8-bit ones blend through this type's own lookup table.
    CopyRoutine(*this, blackBias, 8, 0, 8);
    CopyRoutine(*this, blackBias, 16, 0, 16);
    CopyRoutine(*this, transparentMask, 24, 0, 24);
    CopyRoutine(*this, transparentMask, 32, 0, 24);
    CopyRoutine(*this, blackBias, 32, 0, 32);
    CopyRoutine(*this, blackBias, 8, 2, 8);
    CopyRoutine(*this, transparentMask, 24, 4, 24);
    AddBlitFunction(16, 4, 16, 0, AmplifyRunLength16);
}
