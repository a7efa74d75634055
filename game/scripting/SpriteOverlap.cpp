#include "game/scripting/SpriteOverlap.h"

#include "blit/CBlitTypeList.h"
#include "foundation/CRect.h"
#include "images/CFrame.h"
#include "render/SurfaceHelpers.h"

#include <algorithm>
#include <memory>

namespace {

std::unique_ptr<CFrame> g_OverlapScratch[2];

// Where a frame's pixels are read: the frame itself, or its scratch copy.
struct SPixelSource {
    const CFrame* frame = nullptr;
    uint32_t bytesPerPixel = 0;
};

// The frame, or for a run-length frame its side's scratch holding it drawn
// at (0, 0); null frame when it cannot be read.
SPixelSource ReadableForm(CFrame& frame, int side)
{
    if (!frame.IsCompressed())
        return {&frame, frame.GetBytesPerPixel()};
    const uint32_t width = frame.GetWidth(), height = frame.GetHeight();
    std::unique_ptr<CFrame>& scratch = g_OverlapScratch[side];
    const uint32_t depth = CFrame::SGetBitDepth();
    if (!scratch || scratch->GetBitDepth() != depth || scratch->GetWidth() < width || scratch->GetHeight() < height) {
        const uint32_t oldWidth = scratch && scratch->GetBitDepth() == depth ? scratch->GetWidth() : 0;
        const uint32_t oldHeight = scratch && scratch->GetBitDepth() == depth ? scratch->GetHeight() : 0;
        scratch = CFrame::MakeOwned(std::max(width, oldWidth), std::max(height, oldHeight), depth);
        if (!scratch)
            return {};
    }
    scratch->ClearRect({0, 0, int32_t(width), int32_t(height)});
    CRect bounds;
    frame.GetBounds(bounds);
    BlitAt(*scratch, frame, -bounds.left, -bounds.top, GetNormalBlitType());
    return {scratch.get(), scratch->GetBytesPerPixel()};
}

bool PixelSet(const uint8_t* p, uint32_t bytesPerPixel)
{
    switch (bytesPerPixel) {
    case 1:
        return p[0] != 0;
    case 2:
        return (p[0] | p[1]) != 0;
    case 3:
        return (p[0] | p[1] | p[2]) != 0;
    case 4:
        return (p[0] | p[1] | p[2] | p[3]) != 0;
    default:
        return false;
    }
}

} // namespace

bool FramesOverlap(CFrame& first, int32_t firstX, int32_t firstY, CFrame& second, int32_t secondX, int32_t secondY)
{
    CRect a, b;
    first.GetBounds(a);
    second.GetBounds(b);
    a = {a.left + firstX, a.top + firstY, a.right + firstX, a.bottom + firstY};
    b = {b.left + secondX, b.top + secondY, b.right + secondX, b.bottom + secondY};
    const CRect common
        = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (common.left >= common.right || common.top >= common.bottom)
        return false;
    const SPixelSource one = ReadableForm(first, 0);
    const SPixelSource two = ReadableForm(second, 1);
    if (!one.frame || !two.frame || one.bytesPerPixel == 0 || two.bytesPerPixel == 0)
        return false;
    for (int32_t y = common.top; y < common.bottom; ++y) {
        const uint8_t* rowOne = one.frame->Row(uint32_t(y - a.top));
        const uint8_t* rowTwo = two.frame->Row(uint32_t(y - b.top));
        if (!rowOne || !rowTwo)
            return false;
        for (int32_t x = common.left; x < common.right; ++x) {
            if (PixelSet(rowOne + uint32_t(x - a.left) * one.bytesPerPixel, one.bytesPerPixel)
                && PixelSet(rowTwo + uint32_t(x - b.left) * two.bytesPerPixel, two.bytesPerPixel))
                return true;
        }
    }
    return false;
}

void ReleaseOverlapScratch()
{
    g_OverlapScratch[0].reset();
    g_OverlapScratch[1].reset();
}
