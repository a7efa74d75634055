#pragma once
// The transformed blit a proxy turns a plain blit into.

#include "images/CFrame.h"
#include "render/CBlitXParams.h"

#include <memory>

struct CRect;

// The whole source with its origin at (d.left - s.left, d.top - s.top),
// unrotated, unscaled, opaque white, flags 0; the rectangles' sizes are not
// used. Through the global "Transparent Mask" type the colour takes that
// type's 0-255 opacity as its alpha; other types are ignored.
CBlitXParams MakeProxyBlit(CFrameInterface& source, const CRect& s, const CRect& d, CBlitType& blitType);

// A record and the copy of the source part it draws, when it needs one:
// keep both for the Render.
struct SProxyBlit {
    std::unique_ptr<CFrame> part;
    CBlitXParams params;
};

// As MakeProxyBlit, but what a plain blit would draw: only rectangle s of
// the source, its corner at d's (a slice of a skin shows that piece alone),
// or, for a type that does not draw at the source's size (a wrapping or
// scaling one), d filled by that type, at the type's opacity. An s outside
// the source leaves the record without a source (it draws nothing).
SProxyBlit MakeProxyBlitOfPart(CFrameInterface& source, const CRect& s, const CRect& d, CBlitType& blitType);
