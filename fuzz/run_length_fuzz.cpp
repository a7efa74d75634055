// Run-length forms from outside: the validator decides whether a frame takes
// them; whatever it accepts is drawn, whole and clipped, into every depth and
// read back, so a block that slips through shows as an out-of-bounds access.
//
// Input: depth selector, width, height, kind selector, then for each of the
// five blocks (main, extra 1 to 4) a presence byte and, when present, a u16
// byte count, the bytes, and one u16 row offset per row.
#include "blit/CBlitType.h"
#include "blit/CBlitTypeList.h"
#include "blit/CColor.h"
#include "images/CFrame.h"
#include "program/RegisterAllClasses.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace {

struct SReader {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    bool Byte(uint8_t& v)
    {
        if (at >= size)
            return false;
        v = data[at++];
        return true;
    }
    bool U16(uint32_t& v)
    {
        uint8_t lo, hi;
        if (!Byte(lo) || !Byte(hi))
            return false;
        v = uint32_t(lo) | uint32_t(hi) << 8;
        return true;
    }
};

bool ReadBlock(SReader& in, uint32_t height, SRunLengthBlock& block)
{
    uint8_t present;
    if (!in.Byte(present))
        return false;
    if (!(present & 1))
        return true;
    uint32_t bytes;
    if (!in.U16(bytes) || in.size - in.at < bytes)
        return false;
    block.size = bytes;
    block.data = std::make_unique<uint8_t[]>(bytes);
    if (bytes)
        std::memcpy(block.data.get(), in.data + in.at, bytes);
    in.at += bytes;
    block.rows = std::make_unique<uint32_t[]>(height);
    for (uint32_t y = 0; y < height; ++y)
        if (!in.U16(block.rows[y]))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool registered = (RegisterAllClasses(), true);
    (void)registered;
    SReader in{data, size};
    uint8_t depthSelector, width, height, kindSelector;
    if (!in.Byte(depthSelector) || !in.Byte(width) || !in.Byte(height) || !in.Byte(kindSelector))
        return 0;
    constexpr uint32_t kDepths[] = {8, 16, 24, 32};
    const uint32_t depth = kDepths[depthSelector & 3];
    const uint32_t kind = (kindSelector & 1) ? kFrameTwoBands : kFrameFiveBands;
    SRunLengthBlock main;
    std::array<SRunLengthBlock, 4> extra;
    if (!ReadBlock(in, height, main))
        return 0;
    for (SRunLengthBlock& block : extra)
        if (!ReadBlock(in, height, block))
            return 0;
    auto frame = CFrame::MakeOwned(width, height, depth);
    if (!frame || !frame->TakeRunLengthForm(kind, std::move(main), std::move(extra)))
        return 0;

    CBlitType* types[] = {&GetNormalBlitType(), &GetTransparentMaskBlitType()};
    const int32_t w = width, h = height;
    const CRect rects[] = {{0, 0, w, h}, {w / 3, h / 4, w - w / 4, h}, {1, 0, w, h / 2 + 1}};
    for (const uint32_t destinationDepth : kDepths) {
        auto destination = CFrame::MakeOwned(uint32_t(w + 2), uint32_t(h + 2), destinationDepth);
        for (CBlitType* type : types)
            for (const float opacity : {1.0f, 0.5f}) {
                type->SetOpacity(opacity);
                for (const CRect& r : rects)
                    destination->Blit(*frame, r, {r.left + 1, r.top + 1, r.right + 1, r.bottom + 1}, *type);
                type->SetOpacity(1.0f);
            }
    }
    CColor colour;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            frame->GetPixel(x, y, colour);
            (void)frame->HitTest(x, y);
        }
    return 0;
}
