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

// As MakeProxyBlit, but only pixel rectangle s of the source is drawn, its
// corner at d's, as a plain blit draws it: a slice of a skin or a tile of a
// texture shows that piece alone. An s outside the source leaves the record
// without a source (it draws nothing).
SProxyBlit MakeProxyBlitOfPart(CFrameInterface& source, const CRect& s, const CRect& d, CBlitType& blitType);
