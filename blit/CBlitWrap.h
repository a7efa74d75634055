#pragma once
// The wrapping blit types fill a destination rectangle with their source
// repeated as a texture. The source rectangle's left and top (srcX, srcY)
// say which source point lands on the destination rectangle's top-left
// corner; the size drawn is the destination rectangle's. They are shared
// objects code holds directly, not in the registry by name.
//
//   WrapPow2   source (srcX + j) & wMask, (srcY + i) & hMask, where the masks
//              are 2^floor(log2 size) - 1: a 100-pixel side samples 64.
//              32-bit at an opacity other than 1 blends by alpha x opacity.
//   WrapXPow2  columns wrap by mask, rows srcY + i do not.
//   WrapYPow2  rows wrap by mask, each row copied from its start.
//   WrapAny    any size: tiles drawn through "Transparent Mask" at this
//              type's opacity.
//
// Where a row or column would come from outside the source (the unwrapped
// side of WrapX/WrapY, which callers must size to fit), it is not drawn.
// 24-bit sources into 32-bit destinations write alpha 255.

#include "blit/CBlitType.h"
#include "foundation/CRect.h"

class CBlitNormalWrapPow2 : public CBlitType {
public:
    CBlitNormalWrapPow2();
    bool DrawsAtSourceSize() const override { return false; }
};

class CBlitNormalWrapXPow2 : public CBlitType {
public:
    CBlitNormalWrapXPow2();
    bool DrawsAtSourceSize() const override { return false; }
};

class CBlitNormalWrapYPow2 : public CBlitType {
public:
    CBlitNormalWrapYPow2();
    bool DrawsAtSourceSize() const override { return false; }
};

class CBlitNormalWrapAny : public CBlitType {
public:
    CBlitNormalWrapAny();
    bool DrawsAtSourceSize() const override { return false; }
};

CBlitType& GetWrapPow2BlitType();
CBlitType& GetWrapXPow2BlitType();
CBlitType& GetWrapYPow2BlitType();
CBlitType& GetWrapAnyBlitType();

// WrapAny's tiling with tiles drawn through tileType (at wrapType's opacity,
// restored afterwards). The tiles start at srcX and srcY taken modulo the
// source's size, so a negative or oversized start tiles the same way.
void TileByBlits(CFrameInterface& source, const CRect& s, CFrameInterface& destination, const CRect& d,
                 const CBlitType& wrapType, CBlitType& tileType);
