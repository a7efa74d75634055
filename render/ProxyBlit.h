#pragma once
// The transformed blit a proxy turns a plain blit into.

#include "render/CBlitXParams.h"

struct CRect;

// The whole source with its origin at (d.left - s.left, d.top - s.top),
// unrotated, unscaled, opaque white, flags 0; the rectangles' sizes are not
// used. Through the global "Transparent Mask" type the colour takes that
// type's 0-255 opacity as its alpha; other types are ignored.
CBlitXParams MakeProxyBlit(CFrameInterface& source, const CRect& s, const CRect& d, CBlitType& blitType);
