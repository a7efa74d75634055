#pragma once
// "Blend Black Bias" and "Blend Test Light": two independent instances of one
// class, each with its own opacity. Black-biased images are prepared when
// they load (dark pixels cleared or given a low alpha), so most pairs are the
// ordinary alpha or opacity blends; 8-bit pairs blend through the type's own
// 256 x 256 lookup table and draw nothing while it is empty. Run-length
// frames draw as "Transparent Mask" draws them, but for 8-bit five-band
// frames, which blend through the table too.

#include "blit/CBlitType.h"

class CFrameInterface;
struct CRect;

class CBlitBlackBias : public CBlitType {
public:
    CBlitBlackBias();
};

// The own raw routines, which other blit types register too.
// 8 onto 8: dst = table[src * 256 + dst] through the type's lookup table.
void BlackBiasBlit8To8(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                       CBlitType& type);
// 16 onto 16: copied at opacity 1, else groups of four by the rounded blend
// and the last count % 4 pixels by BlendPixel565, at the 0-255 opacity.
void BlackBiasBlit16To16(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                         CBlitType& type);
// 8-bit five-band frames onto 8: the planes shift by the blend level as
// "Transparent Mask" shifts them (nothing at level 5), each pixel drawn
// through the type's table from the row of its index faded to its level.
void BlackBiasRunLength8To8(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                            CBlitType& type);
// 32 onto 32: every byte copied, at every opacity.
void StraightBlit32To32(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                        CBlitType& type);
