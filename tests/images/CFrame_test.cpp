#include "images/CFrame.h"

#include "blit/CPalette.h"
#include "images/CPaletteHolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class FrameTest : public testing::Test {
protected:
    void SetUp() override { RegisterImagesClasses(); }
};

struct SCreateCase {
    uint32_t width, height, depth;
    uint8_t widthLog2, heightLog2;
};

class CFrameCreate : public FrameTest, public testing::WithParamInterface<SCreateCase> {};

TEST_P(CFrameCreate, GivesAZeroedPlainFrameWithItsRowTable)
{
    const SCreateCase c = GetParam();
    CFrame frame;
    const uint32_t emptySize = frame.GetMemorySize();
    ASSERT_TRUE(frame.Create(c.width, c.height, c.depth));
    EXPECT_EQ(frame.GetWidth(), c.width);
    EXPECT_EQ(frame.GetHeight(), c.height);
    EXPECT_EQ(frame.GetBitDepth(), c.depth);
    EXPECT_EQ(frame.GetWidthLog2(), c.widthLog2);
    EXPECT_EQ(frame.GetHeightLog2(), c.heightLog2);
    EXPECT_EQ(frame.GetMemorySize() - emptySize, c.width * c.height * c.depth / 8);
    EXPECT_EQ(frame.Row(c.height), nullptr);
    if (c.height != 0) {
        EXPECT_EQ(frame.GetPitch(), c.width);
        for (uint32_t i = 0; i < std::max(c.height, 2u); ++i)
            ASSERT_EQ(frame.GetRowTable()[i], i * c.width);
    }
    for (uint32_t y = 0; y < c.height; ++y)
        for (uint32_t b = 0; b < c.width * c.depth / 8; ++b)
            ASSERT_EQ(frame.Row(y)[b], 0);
    EXPECT_EQ(frame.GetPixels() != nullptr, c.width * c.height != 0);
}

std::vector<SCreateCase> CreateCases()
{
    std::vector<SCreateCase> cases;
    for (uint32_t depth : {8u, 16u, 24u, 32u}) {
        cases.push_back({0, 0, depth, 0, 0});
        cases.push_back({1, 1, depth, 0, 0});
        cases.push_back({3, 2, depth, 1, 1});
        cases.push_back({1, 5, depth, 0, 2});
        cases.push_back({300, 17, depth, 8, 4});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(All, CFrameCreate, testing::ValuesIn(CreateCases()),
                         [](const testing::TestParamInfo<SCreateCase>& param) {
                             return std::to_string(param.param.width) + "x" + std::to_string(param.param.height) + "x"
                                 + std::to_string(param.param.depth);
                         });

TEST_F(FrameTest, RefusedSizesAndDepthsLeaveTheFrameEmpty)
{
    CFrame frame;
    ASSERT_TRUE(frame.Create(4, 4, 32));
    EXPECT_FALSE(frame.Create(65535, 65535, 16)); // 8.6 GB
    EXPECT_EQ(frame.GetPixels(), nullptr);
    EXPECT_EQ(frame.GetBitDepth(), 0u);
    EXPECT_FALSE(frame.Create(65536, 1, 8));
    EXPECT_FALSE(frame.Create(5, 5, 12));
    EXPECT_EQ(frame.GetBitDepth(), 0u);
    EXPECT_EQ(CFrame::MakeOwned(70000, 1, 8), nullptr);
    EXPECT_NE(CFrame::MakeOwned(3, 3, 24), nullptr);
}

// Either way the offset returns to (0, 0).
TEST_F(FrameTest, RecreatingKeepsPixelsOnlyForTheSameSizeAndDepth)
{
    CFrame frame;
    ASSERT_TRUE(frame.Create(3, 3, 16));
    frame.Row(1)[2] = 0x5A;
    frame.SetOffset(-4, 7);
    ASSERT_TRUE(frame.Create(3, 3, 16));
    EXPECT_EQ(frame.Row(1)[2], 0x5A);
    EXPECT_EQ(frame.GetOffsetX(), 0);
    EXPECT_EQ(frame.GetOffsetY(), 0);
    frame.SetOffset(-4, 7);
    ASSERT_TRUE(frame.Create(3, 3, 8));
    EXPECT_EQ(frame.Row(1)[2], 0);
    EXPECT_EQ(frame.GetOffsetX(), 0);
}

TEST_F(FrameTest, BorrowedPixelsAreWrittenInPlaceAndNeverFreed)
{
    std::vector<uint8_t> memory(5 * 4 * 3, 0);
    {
        std::unique_ptr<CFrame> frame = CFrame::MakeBorrowed(memory.data(), 3, 4, 24, 5);
        ASSERT_NE(frame, nullptr);
        EXPECT_TRUE(frame->IsBorrowed());
        EXPECT_EQ(frame->GetPitch(), 5u);
        frame->Row(2)[3] = 0x77;
        frame->Free();
        EXPECT_FALSE(frame->IsBorrowed());
    }
    EXPECT_EQ(memory[2 * 5 * 3 + 3], 0x77);
    EXPECT_EQ(CFrame::MakeBorrowed(memory.data(), 6, 4, 24, 5), nullptr); // pitch below width
    EXPECT_EQ(CFrame::MakeBorrowed(memory.data(), 3, 4, 7, 5), nullptr);
}

TEST_F(FrameTest, RunLengthMemorySizeCountsBlocksAndRowOffsets)
{
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(4, 10, 16);
    const uint32_t base = CFrame().GetMemorySize();
    SRunLengthBlock main;
    main.size = 1000;
    main.data = std::make_unique<uint8_t[]>(1000);
    main.data[0] = 1000 & 0xFF;
    main.data[1] = 1000 >> 8;
    main.data[4] = 0x84; // every row: skip 4
    main.rows = std::make_unique<uint32_t[]>(10);
    for (uint32_t y = 0; y < 10; ++y)
        main.rows[y] = 4;
    ASSERT_TRUE(frame->TakeRunLengthForm(kFrameTwoBands, std::move(main), {}));
    EXPECT_TRUE(frame->IsCompressed());
    EXPECT_EQ(frame->GetBitDepth(), 16u);
    EXPECT_EQ(frame->GetMemorySize(), base + 1040);
    EXPECT_EQ(frame->Row(0), nullptr);

    SRunLengthBlock lying;
    lying.size = 8;
    lying.data = std::make_unique<uint8_t[]>(8);
    lying.data[0] = 200; // claims more than it holds
    lying.rows = std::make_unique<uint32_t[]>(1);
    std::unique_ptr<CFrame> other = CFrame::MakeOwned(1, 1, 8);
    EXPECT_FALSE(other->TakeRunLengthForm(kFrameFiveBands, std::move(lying), {}));
    EXPECT_FALSE(other->IsCompressed());
}

TEST_F(FrameTest, VisiblePixelsAndOpaqueBoundsFollowEachFormat)
{
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(6, 5, 32);
    EXPECT_FALSE(frame->HasVisiblePixels());
    CRect bounds;
    frame->GetOpaqueBounds(bounds);
    EXPECT_EQ(bounds, (CRect{0, 0, 6, 5}));
    frame->SetOffset(-2, -2);
    frame->Row(1)[4 * 2 + 3] = 7; // visible, not opaque
    frame->Row(3)[4 * 4 + 3] = 8;
    frame->Row(2)[4 * 1 + 3] = 200;
    EXPECT_TRUE(frame->HasVisiblePixels());
    frame->GetOpaqueBounds(bounds);
    EXPECT_EQ(bounds, (CRect{1, 2, 5, 4}));

    std::unique_ptr<CFrame> wide = CFrame::MakeOwned(3, 1, 16);
    wide->Row(0)[0] = 1;
    EXPECT_FALSE(wide->HasVisiblePixels());
    wide->GetOpaqueBounds(bounds);
    EXPECT_EQ(bounds, (CRect{0, 0, 1, 1}));
    std::unique_ptr<CFrame> bgr = CFrame::MakeOwned(2, 1, 24);
    bgr->Row(0)[5] = 1;
    EXPECT_TRUE(bgr->HasVisiblePixels());
}

TEST_F(FrameTest, CopyTakesPixelsPaletteAndOffset)
{
    std::unique_ptr<CFrame> source = CFrame::MakeOwned(3, 2, 8);
    for (uint32_t i = 0; i < 3; ++i)
        source->Row(1)[i] = uint8_t(10 + i);
    source->SetOffset(-1, -2);
    CPalette& palette = EnsurePaletteHolder(*source).GetPalette();
    palette.SetType(1);
    palette.GetData()[30] = 99;
    CFrame copy;
    copy.CopyFrom(source.get());
    ASSERT_EQ(copy.GetWidth(), 3u);
    EXPECT_EQ(copy.GetBitDepth(), 8u);
    EXPECT_EQ(copy.Row(1)[2], 12);
    EXPECT_EQ(copy.GetOffsetX(), -1);
    EXPECT_EQ(copy.GetOffsetY(), -2);
    ASSERT_NE(copy.GetPalette(), nullptr);
    EXPECT_NE(copy.GetPalette(), source->GetPalette());
    EXPECT_EQ(copy.GetPalette()->GetData()[30], 99);
}

TEST_F(FrameTest, PaletteHolderIsMadeOnceAndDroppedWithDerivedData)
{
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(2, 2, 8);
    CPaletteHolder& first = EnsurePaletteHolder(*frame);
    EXPECT_EQ(&EnsurePaletteHolder(*frame), &first);
    EXPECT_EQ(frame->GetPalette(), &first.GetPalette());
    frame->MoveOffset(1, 1);
    EXPECT_EQ(frame->GetPalette(), nullptr);
    EnsurePaletteHolder(*frame); // freed with the frame
}

TEST_F(FrameTest, HalvingAveragesBlocksAndHalvesTheOffset)
{
    std::unique_ptr<CFrame> source = CFrame::MakeOwned(4, 2, 32);
    const uint8_t rows[2][16] = {{0, 10, 255, 1, 3, 20, 255, 2, 7, 7, 7, 7, 9, 9, 9, 9},
                                 {1, 30, 255, 3, 4, 40, 254, 4, 7, 7, 7, 7, 9, 9, 9, 8}};
    std::memcpy(source->Row(0), rows[0], 16);
    std::memcpy(source->Row(1), rows[1], 16);
    source->SetOffset(-3, 5);
    CFrame half;
    ASSERT_TRUE(HalveFrame(half, *source));
    ASSERT_EQ(half.GetWidth(), 2u);
    ASSERT_EQ(half.GetHeight(), 1u);
    const uint8_t expected[8] = {2, 25, 254, 2, 8, 8, 8, 7};
    EXPECT_EQ(std::vector<uint8_t>(half.Row(0), half.Row(0) + 8), std::vector<uint8_t>(expected, expected + 8));
    EXPECT_EQ(half.GetOffsetX(), -1);
    EXPECT_EQ(half.GetOffsetY(), 2);

    std::unique_ptr<CFrame> tooThin = CFrame::MakeOwned(2, 1, 32);
    std::unique_ptr<CFrame> single = CFrame::MakeOwned(1, 1, 24);
    EXPECT_FALSE(HalveFrame(half, *tooThin));
    EXPECT_FALSE(HalveFrame(half, *single));
    std::unique_ptr<CFrame> indexed = CFrame::MakeOwned(2, 2, 8);
    EXPECT_TRUE(HalveFrame(half, *indexed));
    EXPECT_EQ(half.GetPixels(), nullptr);
}

} // namespace
