#pragma once
// "Transparent Mask" and its two tinted relatives. "Transparent Mask" draws a
// frame so that its empty pixels leave the destination alone: index 0 of
// 8-bit sources, pixel 0 of RGB565 sources drawn into 16 or 24 bits, the
// alpha of 32-bit sources. The tinted types draw 32-bit sources multiplied
// by a colour, blended over or added, for the transformed blit.

#include "blit/CBlitType.h"

#include <cstdint>

class CFrameInterface;
struct CRect;

class CBlitTrans : public CBlitType {
public:
    CBlitTrans();
};

// The two tinted types share the tint colour the caller sets before drawing.
class CBlitTransTinted : public CBlitType {
public:
    // Blue, green, red and alpha multipliers in bytes 0-3 (255 keeps a channel).
    void SetTintColor(uint32_t bgra) { m_TintColor = bgra; }
    uint32_t GetTintColor() const { return m_TintColor; }

private:
    uint32_t m_TintColor = 0xFFFFFFFF;
};

// 32 onto 32: at opacity 1 the tinted source blended over (RowArgbTintedOver32);
// at any other opacity a plain blend by the opacity (RowArgbOver32Scaled).
class CBlitTransBlendMultColor : public CBlitTransTinted {
public:
    CBlitTransBlendMultColor();
};

// 32 onto 32: at opacity 1 the tinted source added (RowArgbTintedAdd32);
// otherwise as CBlitTransBlendMultColor.
class CBlitTransBlendAddColor : public CBlitTransTinted {
public:
    CBlitTransBlendAddColor();
};

// The raw routines of "Transparent Mask", by (source, destination) depth,
// which other blit types register for the same pairs.
void TransBlit8To8(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                   CBlitType& type);
void TransBlit8To16(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                    CBlitType& type);
void TransBlit8To24(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                    CBlitType& type);
void TransBlit8To32(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                    CBlitType& type);
void TransBlit16To16(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                     CBlitType& type);
void TransBlit16To24(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                     CBlitType& type);
void TransBlit16To32(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                     CBlitType& type);
void TransBlit24To24(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                     CBlitType& type);
void TransBlit24To32(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                     CBlitType& type);
void TransBlit32To16(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                     CBlitType& type);
void TransBlit32To24(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                     CBlitType& type);
void TransBlit32To32(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                     CBlitType& type);
