#pragma once
// Tiling for skins: textures repeat from the destination's own coordinates
// (so neighbouring fills line up seamlessly), frame pieces repeat from the
// start of the run they fill. Everything goes through the target's Blit, so
// proxies clip, move and fade it.

#include "foundation/CRect.h"

#include <cstdint>

class CBlitType;
class CFrameInterface;

// Fills d with the texture, its pixel (0, 0) at the target's (0, 0) and
// repeated in both directions. Power-of-two textures drawn into frames in
// memory take the wrapping blit; everything else is tiled piece by piece;
// run-length textures draw nothing.
void TileTexture(CFrameInterface& target, CFrameInterface& texture, const CRect& d);

// Repeats the pixel rectangle s of piece over d (clipped to d and to the
// target's bounds), the first tile's top-left at (originX, originY); every
// tile through blit.
void TilePiece(CFrameInterface& target, CFrameInterface& piece, const CRect& s, const CRect& d, int32_t originX,
               int32_t originY, CBlitType& blit);

// Sizes and offsets from theme files, held where no frame reaches (sides are
// at most 65535 pixels), so rectangles built from them cannot overflow.
int32_t ClampSkinValue(int32_t value);

// The pixel rectangle of a whole frame: (0, 0, width, height).
CRect PixelRect(const CFrameInterface& frame);
// The frame's bounds drawn with its hot spot at (x, y).
CRect PlacedBounds(const CFrameInterface& frame, int32_t x, int32_t y);
