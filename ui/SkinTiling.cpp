#include "ui/SkinTiling.h"

#include "blit/CBlitTypeList.h"
#include "blit/CBlitWrap.h"
#include "blit/CFrameInterface.h"
#include "images/CFrame.h"

#include <algorithm>

namespace {

bool IsPowerOfTwoFrame(const CFrameInterface& frame)
{
    return frame.GetWidth() == (1u << frame.GetWidthLog2()) && frame.GetHeight() == (1u << frame.GetHeightLog2());
}

int32_t FloorDiv(int32_t a, int32_t b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

} // namespace

int32_t ClampSkinValue(int32_t value)
{
    return std::clamp(value, -65535, 65535);
}

CRect PixelRect(const CFrameInterface& frame)
{
    return CRect{0, 0, int32_t(frame.GetWidth()), int32_t(frame.GetHeight())};
}

CRect PlacedBounds(const CFrameInterface& frame, int32_t x, int32_t y)
{
    CRect b;
    frame.GetBounds(b);
    return CRect{b.left + x, b.top + y, b.right + x, b.bottom + y};
}

void TileTexture(CFrameInterface& target, CFrameInterface& texture, const CRect& d)
{
    if (d.right <= d.left || d.bottom <= d.top || texture.GetWidth() == 0 || texture.GetHeight() == 0
        || (texture.GetFlags() & kFrameRunLengthMask))
        return;
    // The wrapping blit reads outside the source rectangle it is given, which
    // only frames with pixels in memory allow; the screen draws whole
    // textures, so it gets the texture tile by tile.
    const CFrameInterface* real = target.GetRealFrame();
    if (IsPowerOfTwoFrame(texture) && real && real->IsKindOf(CFrame::SGetClassInfo()) && real->GetPixels()) {
        const int32_t ox = texture.GetOffsetX(), oy = texture.GetOffsetY();
        target.Blit(texture, CRect{d.left + ox, d.top + oy, d.right + ox, d.bottom + oy}, d, GetWrapPow2BlitType());
        return;
    }
    TilePiece(target, texture, PixelRect(texture), d, 0, 0, GetNormalBlitType());
}

void TilePiece(CFrameInterface& target, CFrameInterface& piece, const CRect& s, const CRect& area, int32_t originX,
               int32_t originY, CBlitType& blit)
{
    const int32_t tileW = s.right - s.left, tileH = s.bottom - s.top;
    CRect bounds{};
    target.GetBounds(bounds);
    const CRect d{std::max(area.left, bounds.left), std::max(area.top, bounds.top), std::min(area.right, bounds.right),
                  std::min(area.bottom, bounds.bottom)};
    if (tileW <= 0 || tileH <= 0 || d.right <= d.left || d.bottom <= d.top)
        return;
    const int32_t ox = piece.GetOffsetX(), oy = piece.GetOffsetY();
    const int32_t firstX = originX + FloorDiv(d.left - originX, tileW) * tileW;
    const int32_t firstY = originY + FloorDiv(d.top - originY, tileH) * tileH;
    for (int32_t y = firstY; y < d.bottom; y += tileH)
        for (int32_t x = firstX; x < d.right; x += tileW) {
            const CRect to{std::max(x, d.left), std::max(y, d.top), std::min(x + tileW, d.right),
                           std::min(y + tileH, d.bottom)};
            const CRect from{s.left + (to.left - x) + ox, s.top + (to.top - y) + oy, s.left + (to.right - x) + ox,
                             s.top + (to.bottom - y) + oy};
            target.Blit(piece, from, to, blit);
        }
}
