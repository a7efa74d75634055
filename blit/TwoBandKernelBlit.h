#pragma once
// Draws a 16-bit two-band run-length frame (an opaque plane in the main
// block; an alpha plane of colours in extra block 4 and alpha bytes in extra
// block 3) with kernels a blit type chooses per plane, for the types whose
// arithmetic is their own (shadow, amplify light). Every opaque row is drawn
// before any alpha row. Row streams are packets (0x80 + n skip; 0x40 + n
// then n pixels; n then one pixel repeated), clipped to the destination
// rectangle's columns; source rows s.top to s.bottom - 1 land on d.top
// onward. A stream that would run past its block ends its row there.

#include "blit/BlitArgs.h"
#include "foundation/CRect.h"

class CBlitType;
class CFrameInterface;

inline constexpr uint32_t kRunLengthMaxRun = 63;

struct SPlaneKernels {
    RunKernel literal = nullptr; // reads SRun::src (and SRun::alpha)
    RunKernel repeat = nullptr;  // reads SRun::value (and SRun::alphaValue)
};

// args supplies the tables the kernels read; its row fields are set here.
// Returns whether any literal run of the alpha plane was drawn.
bool BlitTwoBands16(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                    SBlitArgs args, const SPlaneKernels& opaque, const SPlaneKernels& alpha);
