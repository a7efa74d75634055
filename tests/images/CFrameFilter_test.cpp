#include "images/CFrameFilter.h"

#include "blit/CPalette.h"
#include "images/CFilterChangeBitDepth.h"
#include "images/CFilterRLEColor0.h"
#include "images/CFrame.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class FilterTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterImagesClasses(); }

    CScopedGlobalBitDepth m_Depth{CFrame::SGetBitDepth()};
};

std::string Kinds(const CFrameFilter& chain)
{
    std::string kinds;
    for (const CFrameFilter* f = chain.GetNext(); f; f = f->GetNext())
        kinds += std::to_string(f->GetKind()) + " ";
    return kinds;
}

TEST_F(FilterTest, ChainsKeepKindOrderAndRefuseDuplicatesAndStrangers)
{
    CFrameFilter chain;
    EXPECT_TRUE(chain.AddFilter(8));
    EXPECT_TRUE(chain.AddFilter(2));
    EXPECT_TRUE(chain.AddFilter(6));
    EXPECT_EQ(Kinds(chain), "2 6 8 ");
    EXPECT_FALSE(chain.AddFilter(6));
    EXPECT_FALSE(chain.AddFilter(9)); // stored as 8
    EXPECT_FALSE(chain.AddFilter(1));
    EXPECT_FALSE(chain.AddFilter(13));
    EXPECT_TRUE(chain.AddFilter(11));
    EXPECT_FALSE(chain.AddFilter(12));
    EXPECT_TRUE(chain.RemoveFilter(11));
    EXPECT_TRUE(chain.AddFilter(12));
    const auto* depth = dynamic_cast<const CFilterChangeBitDepth*>(chain.FindFilter(11));
    ASSERT_NE(depth, nullptr);
    EXPECT_EQ(depth->GetDither(), Dither::On);
    EXPECT_TRUE(chain.RemoveFilter(12)); // either variant goes under 11 or 12

    chain.SetLocked(true);
    EXPECT_FALSE(chain.AddFilter(3));
    EXPECT_FALSE(chain.RemoveFilter(2));
    chain.SetLocked(false);

    CFrameFilter copy;
    copy.AddFilter(2);
    copy.CopyFiltersFrom(chain);
    EXPECT_EQ(Kinds(copy), "2 6 8 ");
    copy.ClearChain();
    EXPECT_EQ(Kinds(copy), "");
}

TEST_F(FilterTest, BlackBiasBringsRemoveBlackBlendingUnlessTheTargetIsEight)
{
    CFrameFilter sixteen;
    sixteen.SetBitDepth(16);
    EXPECT_TRUE(sixteen.AddFilter(4));
    EXPECT_EQ(Kinds(sixteen), "4 7 ");
    CFrameFilter eight;
    eight.SetBitDepth(8);
    EXPECT_TRUE(eight.AddFilter(4));
    EXPECT_EQ(Kinds(eight), "4 ");
    // The bit-depth filter's target wins over the head's depth.
    CFrameFilter chain;
    chain.SetBitDepth(8);
    chain.InsertFilter(std::make_unique<CFilterChangeBitDepth>(Dither::Off, 16));
    EXPECT_EQ(chain.GetTargetBitDepth(), 16u);
    EXPECT_EQ(chain.GetBitDepth(), 8u);
}

TEST_F(FilterTest, DefaultChainFollowsTheBuildDepth)
{
    EXPECT_EQ(Kinds(GetDefaultBuildFilters()), "3 6 7 8 11 ");
    EXPECT_EQ(dynamic_cast<CFilterChangeBitDepth*>(GetDefaultBuildFilters().FindFilter(11))->GetDither(), Dither::Off);
    CFrame::SetGlobalBitDepth(16);
    CFrameFilter& chain = GetDefaultBuildFilters();
    EXPECT_EQ(Kinds(chain), "3 6 7 8 11 ");
    EXPECT_EQ(dynamic_cast<CFilterChangeBitDepth*>(chain.FindFilter(11))->GetDither(), Dither::On);
    EXPECT_EQ(dynamic_cast<CFilterRLEColor0*>(chain.FindFilter(8))->GetMode(), CFilterRLEColor0::Mode::TwoBands);
}

std::unique_ptr<CFrame> Pixel32(uint8_t b, uint8_t g, uint8_t r, uint8_t a)
{
    auto frame = CFrame::MakeOwned(1, 1, 32);
    const uint8_t p[] = {b, g, r, a};
    std::memcpy(frame->Row(0), p, 4);
    return frame;
}

std::vector<uint8_t> FirstPixelBytes(const CFrame& frame)
{
    return {frame.Row(0), frame.Row(0) + 4};
}

struct SPixelCase {
    const char* name;
    int32_t kind;
    uint32_t target;
    std::vector<uint8_t> in, out;
};
class FilterPixelCase : public FilterTest, public ::testing::WithParamInterface<SPixelCase> {};

TEST_P(FilterPixelCase, GivesTheReferencePixel)
{
    const SPixelCase& c = GetParam();
    CFrameFilter chain;
    chain.SetBitDepth(int32_t(c.target));
    ASSERT_TRUE(chain.AddFilter(c.kind));
    auto frame = Pixel32(c.in[0], c.in[1], c.in[2], c.in[3]);
    EXPECT_TRUE(chain.FindFilter(c.kind)->Apply(*frame, {0, 0, 1, 1}));
    EXPECT_EQ(FirstPixelBytes(*frame), c.out);
}

const SPixelCase kPixelCases[] = {
    {"UnblendsBlack", 7, 32, {0, 50, 100, 128}, {0, 100, 199, 128}},
    {"UnblendKeepsOpaque", 7, 32, {1, 2, 3, 255}, {1, 2, 3, 255}},
    {"UnblendKeepsClear", 7, 32, {1, 2, 3, 0}, {1, 2, 3, 0}},
    {"BlackBiasAlphaIsBrightness", 4, 16, {10, 20, 30, 200}, {10, 20, 30, 30}},
    {"BlackBiasKeepsFaintAlpha", 4, 16, {10, 20, 30, 3}, {10, 20, 30, 3}},
    {"BlackBiasClearsDarkAtEight", 4, 8, {10, 20, 39, 200}, {0, 0, 0, 0}},
    {"DeadAlphaCleared", 3, 32, {9, 9, 9, 4}, {9, 9, 9, 0}},
    {"DeadAlphaKeptAtFive", 3, 32, {9, 9, 9, 5}, {9, 9, 9, 5}},
    {"BlackZeroed", 5, 32, {14, 3, 0, 200}, {0, 0, 0, 0}},
};
INSTANTIATE_TEST_SUITE_P(Filters, FilterPixelCase, ::testing::ValuesIn(kPixelCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(FilterTest, FiltersRefuseDepthsTheyCannotHandleButTheChainRunsOn)
{
    CFrameFilter chain;
    chain.AddFilter(2);
    chain.AddFilter(3);
    auto frame = CFrame::MakeOwned(4, 6, 16);
    EXPECT_FALSE(chain.ApplyAll(*frame)); // dead alpha needs 32 bits
    EXPECT_EQ(frame->GetOffsetX(), -2);   // the hot spot was still centred
    EXPECT_EQ(frame->GetOffsetY(), -3);
}

struct SCropCase {
    const char* name;
    int32_t left, width;
    int32_t croppedWidth;
};
class CropCase : public FilterTest, public ::testing::WithParamInterface<SCropCase> {};

TEST_P(CropCase, CropsToVisiblePixelsRoundedUpToFours)
{
    const SCropCase& c = GetParam();
    auto frame = CFrame::MakeOwned(16, 3, 32);
    frame->SetOffset(10, 20);
    for (int32_t x = c.left; x < c.left + c.width; ++x)
        frame->Row(1)[4 * x + 3] = 200;
    CFilterCropColor0 crop;
    EXPECT_TRUE(crop.Apply(*frame, {}));
    if (c.width == 0) {
        // Its bounds are the whole frame: kept as it is, not emptied.
        ASSERT_NE(frame->GetPixels(), nullptr);
        EXPECT_EQ(frame->GetWidth(), 16u);
        EXPECT_EQ(frame->GetHeight(), 3u);
        EXPECT_EQ(frame->GetOffsetX(), 10);
        EXPECT_EQ(frame->GetOffsetY(), 20);
        return;
    }
    EXPECT_EQ(int32_t(frame->GetWidth()), c.croppedWidth);
    EXPECT_EQ(frame->GetHeight(), 1u);
    EXPECT_EQ(frame->GetOffsetX(), 10 + c.left);
    EXPECT_EQ(frame->GetOffsetY(), 21);
    EXPECT_EQ(frame->Row(0)[3], 200);
}

const SCropCase kCropCases[] = {
    {"SevenWideBecomesEight", 3, 7, 8},
    {"ThreeWideStays", 3, 3, 3},
    {"RoundingReachesPastTheEdge", 10, 6, 8},
    {"NothingVisibleKeepsTheFrame", 0, 0, 16},
};
INSTANTIATE_TEST_SUITE_P(Filters, CropCase, ::testing::ValuesIn(kCropCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(FilterTest, BestPaletteGoesToTheFramesOwnPalette)
{
    auto frame = CFrame::MakeOwned(3, 1, 24);
    const uint8_t pixels[] = {255, 0, 0, 0, 255, 0, 0, 0, 255};
    std::memcpy(frame->Row(0), pixels, 9);
    CFilterCreateBestPalette filter;
    EXPECT_TRUE(filter.Apply(*frame, {}));
    ASSERT_NE(frame->GetPalette(), nullptr);
    uint8_t r, g, b;
    frame->GetPalette()->GetColor(255, r, g, b);
    EXPECT_EQ(r + g + b, 765);
    auto eight = CFrame::MakeOwned(3, 1, 8);
    EXPECT_FALSE(filter.Apply(*eight, {}));
}

} // namespace
