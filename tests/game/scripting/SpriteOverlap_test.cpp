#include "game/scripting/SpriteOverlap.h"

#include "SpriteFixture.h"
#include "blit/GamePalette.h"
#include "images/CFilterRLEColor0.h"
#include "images/CFrame.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

// A 4 x 4 frame of the depth with one pixel set, to a value whose bytes are
// all non-zero except at 32 bits, where only alpha is set.
std::unique_ptr<CFrame> OnePixel(uint32_t depth, uint32_t x, uint32_t y)
{
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(4, 4, depth);
    const uint32_t bytes = depth / 8;
    uint8_t* pixel = frame->Row(y) + x * bytes;
    if (depth == 32)
        pixel[3] = 0x80;
    else
        pixel[bytes - 1] = 0x11; // the last byte only: a kernel reading too little misses it
    return frame;
}

// The same pixels in run-length form (8-bit: five bands; 16-bit: two).
std::unique_ptr<CFrame> RunLength(const CFrame& plain)
{
    const uint32_t depth = plain.GetBitDepth();
    SRunLengthBlock block = EncodeRunLengthBlock(plain, RunLengthEquality::Identical);
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(plain.GetWidth(), plain.GetHeight(), depth);
    EXPECT_TRUE(frame->TakeRunLengthForm(depth == 8 ? kFrameFiveBands : kFrameTwoBands, std::move(block), {}));
    EXPECT_TRUE(frame->IsCompressed());
    return frame;
}

class Overlap : public SpriteFixture {
protected:
    void TearDown() override
    {
        ReleaseOverlapScratch();
        SpriteFixture::TearDown();
    }
};

TEST_F(Overlap, EveryPairOfPixelFormatsIsReadEachInItsOwnFormat)
{
    for (uint32_t firstDepth : {8u, 16u, 24u, 32u}) {
        for (uint32_t secondDepth : {8u, 16u, 24u, 32u}) {
            SCOPED_TRACE(testing::Message() << firstDepth << " with " << secondDepth);
            auto first = OnePixel(firstDepth, 3, 3);
            auto second = OnePixel(secondDepth, 0, 0);
            EXPECT_TRUE(FramesOverlap(*first, 10, 10, *second, 13, 13));
            EXPECT_TRUE(FramesOverlap(*second, 13, 13, *first, 10, 10));
            // The rectangles meet, the set pixels do not.
            EXPECT_FALSE(FramesOverlap(*first, 10, 10, *second, 12, 12));
            EXPECT_FALSE(FramesOverlap(*first, 10, 10, *second, 14, 13)) << "rectangles apart";
        }
    }
}

TEST_F(Overlap, RunLengthFramesAreComparedThroughTheirScratchFrames)
{
    // Index 0x11 must draw as a colour.
    uint8_t palette[768] = {};
    palette[3 * 0x11] = 200;
    palette[3 * 0x11 + 1] = 100;
    palette[3 * 0x11 + 2] = 50;
    SetGamePalette(palette);
    // Run-length frames exist at 8 bits for 8-bit builds, at 16 for the others.
    const uint32_t builds[][2] = {{8, 8}, {16, 16}, {32, 16}};
    for (const auto& build : builds) {
        const uint32_t buildDepth = build[0], depth = build[1];
        CFrame::SetGlobalBitDepth(buildDepth);
        {
            SCOPED_TRACE(testing::Message() << depth << "-bit run-length at build depth " << buildDepth);
            auto plainFirst = OnePixel(depth, 3, 3);
            auto plainSecond = OnePixel(depth, 0, 0);
            auto first = RunLength(*plainFirst);
            auto second = RunLength(*plainSecond);
            EXPECT_TRUE(FramesOverlap(*first, 0, 0, *second, 3, 3));
            EXPECT_FALSE(FramesOverlap(*first, 0, 0, *second, 2, 3));
            auto plain32 = OnePixel(32, 0, 0);
            EXPECT_TRUE(FramesOverlap(*first, 0, 0, *plain32, 3, 3)) << "one side in scratch, one plain";
            EXPECT_TRUE(FramesOverlap(*plain32, 3, 3, *first, 0, 0));
            EXPECT_FALSE(FramesOverlap(*plain32, 2, 3, *first, 0, 0));
        }
    }
    // The scratch grows for a larger frame and still reads it right.
    CFrame::SetGlobalBitDepth(32);
    auto big = CFrame::MakeOwned(40, 30, 16);
    big->Row(29)[2 * 39 + 1] = 0x22;
    auto bigRunLength = RunLength(*big);
    auto dot = OnePixel(16, 0, 0);
    EXPECT_TRUE(FramesOverlap(*bigRunLength, 0, 0, *dot, 39, 29));
    EXPECT_FALSE(FramesOverlap(*bigRunLength, 0, 0, *dot, 38, 29));
}

TEST_F(Overlap, HotSpotsPlaceTheFrames)
{
    auto first = OnePixel(32, 0, 0);
    first->SetOffset(-2, -2); // pixel (0, 0) lies two up and left of the hot spot
    auto second = OnePixel(32, 0, 0);
    EXPECT_TRUE(FramesOverlap(*first, 5, 5, *second, 3, 3));
    EXPECT_FALSE(FramesOverlap(*first, 5, 5, *second, 5, 5));
}

} // namespace
