#pragma once
// Draws a 16-bit two-band run-length frame (an opaque plane in the main
// block; an alpha plane of colours in extra block 4 and alpha bytes in extra
// block 3) with kernels a blit type chooses per plane, for the types whose
// arithmetic is their own (shadow, amplify light). Every opaque row is drawn
// before any alpha row; source rows s.top to s.bottom - 1 land on d.top
// onward, clipped to the destination rectangle's columns.

#include "blit/BlitArgs.h"
#include "blit/RunLengthRows.h"
#include "foundation/CRect.h"

class CBlitType;
class CFrameInterface;

// args supplies the tables the kernels read; its row fields are set here.
// Returns whether any literal run of the alpha plane was drawn.
bool BlitTwoBands16(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                    SBlitArgs args, const SPlaneKernels& opaque, const SPlaneKernels& alpha);
