#pragma once
// "Normal": copies raw pixels, converting between formats, with no
// transparent colour; 32-bit sources are copied without blending. Only 8 to
// 8 (through BlendTable8A), 16 to 16 and 32 to 24 follow the opacity.

#include "blit/CBlitType.h"

class CFrameInterface;
struct CRect;

class CBlitNormal : public CBlitType {
public:
    CBlitNormal();
};

// 16 onto 16: copied at opacity 1, else every pixel by BlendPixel565 at the
// 0-255 opacity.
void NormalBlit16To16(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                      CBlitType& type);
