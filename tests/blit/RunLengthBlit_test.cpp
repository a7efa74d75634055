// The run-length whole-frame blitters, driven through CFrame::Blit.
#include "blit/RunLengthBlit.h"

#include "blit/CBlitTypeList.h"
#include "blit/ColorTables.h"
#include "blit/GamePalette.h"
#include "images/CFilterChangeBitDepth.h"
#include "images/CFilterRLEColor0.h"
#include "images/CFrame.h"
#include "platform/Cpu.h"
#include "support/KernelSetGuard.h"
#include "support/ScopedHooks.h"
#include "support/TestSupport.h"

#include "support/RunLengthBlock.h"
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

class RunLengthBlitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterImagesClasses();
        InitBlitTables();
        // A[x * 256 + y] = x + 2y, B[x * 256 + y] = 3x + y: each level's
        // kernel gives its own value over a destination of 1.
        for (auto* table : {&BlendTable8A, &BlendTable8B}) {
            table->RemoveAll();
            for (uint32_t x = 0; x < 256; ++x)
                for (uint32_t y = 0; y < 256; ++y)
                    table->Append(uint8_t(table == &BlendTable8A ? x + 2 * y : 3 * x + y));
        }
    }
    void TearDown() override
    {
        BlendTable8A.Free();
        BlendTable8B.Free();
        ClearGamePalette();
        GetTransparentMaskBlitType().SetOpacity(1.0f);
        GetNormalBlitType().SetOpacity(1.0f);
    }
};

// Plane k holds index 10 + k at column k of a 5 x 1 frame.
std::unique_ptr<CFrame> FivePlanes()
{
    auto frame = CFrame::MakeOwned(5, 1, 8);
    const auto plane = [](uint8_t k) {
        std::vector<uint8_t> row;
        if (k)
            row.push_back(uint8_t(0x80 + k));
        row.push_back(0x41);
        row.push_back(uint8_t(10 + k));
        if (k < 4)
            row.push_back(uint8_t(0x80 + 4 - k));
        return Block({row});
    };
    std::array<SRunLengthBlock, 4> extra = {plane(4), plane(3), plane(2), plane(1)};
    EXPECT_TRUE(frame->TakeRunLengthForm(kFrameFiveBands, plane(0), std::move(extra)));
    return frame;
}

struct SLevelCase {
    const char* name;
    float opacity;
    std::vector<uint8_t> expected;
};
class FiveBandLevels : public RunLengthBlitTest, public ::testing::WithParamInterface<SLevelCase> {};

TEST_P(FiveBandLevels, PlanesShiftByTheBlendLevel)
{
    auto frame = FivePlanes();
    auto destination = CFrame::MakeOwned(5, 1, 8);
    std::memset(destination->Row(0), 1, 5);
    CBlitType& type = GetTransparentMaskBlitType();
    type.SetOpacity(GetParam().opacity);
    EXPECT_TRUE(destination->Blit(*frame, {0, 0, 5, 1}, {0, 0, 5, 1}, type));
    EXPECT_EQ(std::vector<uint8_t>(destination->Row(0), destination->Row(0) + 5), GetParam().expected);
}

const SLevelCase kLevelCases[] = {
    // Level k draws plane k: copy, then 1 + 2s, 3 + s, 3s + 1, s + 2.
    {"Opaque", 1.0f, {10, 23, 15, 40, 16}},
    // Level 2: plane 0 at level 2, 1 at 3, 2 at 4; planes 3 and 4 dropped.
    {"LevelTwo", 0.5f, {13, 34, 14, 1, 1}},
    {"LevelFiveDrawsNothing", 0.1f, {1, 1, 1, 1, 1}},
};
INSTANTIATE_TEST_SUITE_P(RunLengthBlit, FiveBandLevels, ::testing::ValuesIn(kLevelCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(RunLengthBlitTest, FiveBandsIntoSixteenBitsDropTheFaintestPlanes)
{
    std::vector<uint8_t> palette(768, 0);
    for (uint32_t i = 0; i < 256; ++i)
        palette[3 * i + 2] = uint8_t(i * 8); // red only
    SetGamePalette(palette.data());
    auto frame = FivePlanes();
    auto destination = CFrame::MakeOwned(5, 1, 16);
    CBlitType& type = GetTransparentMaskBlitType();
    type.SetOpacity(0.75f); // level 1
    ASSERT_EQ(type.GetBlendLevel(), 1u);
    EXPECT_TRUE(destination->Blit(*frame, {0, 0, 5, 1}, {0, 0, 5, 1}, type));
    for (uint32_t k = 0; k < 5; ++k) {
        const uint16_t pixel = uint16_t(destination->Row(0)[2 * k] | destination->Row(0)[2 * k + 1] << 8);
        EXPECT_EQ(pixel, k < 4 ? PackColor565(uint8_t((10 + k) * 8), 0, 0) : 0) << k;
    }
}

// A 16-bit two-band frame 4 x 2: row 0 opaque (a red copy, then a green
// fill of 3), row 1 a translucent blue pair (alpha 128) after one skip.
std::unique_ptr<CFrame> TwoBands(bool withAlphaPlane)
{
    auto frame = CFrame::MakeOwned(4, 2, 16);
    std::array<SRunLengthBlock, 4> extra;
    if (withAlphaPlane) {
        extra[3] = Block({{0x84}, {0x81, 0x02, 0x1F, 0x00, 0x81}});
        extra[2] = Block({{}, {128}});
    }
    EXPECT_TRUE(frame->TakeRunLengthForm(kFrameTwoBands, Block({{0x41, 0x00, 0xF8, 0x03, 0xE0, 0x07}, {0x84}}),
                                         std::move(extra)));
    return frame;
}

std::string Pixels(const CFrame& frame)
{
    std::string all;
    for (uint32_t y = 0; y < frame.GetHeight(); ++y)
        all += Hex(frame.Row(y), size_t(frame.GetWidth()) * frame.GetBytesPerPixel()) + "/";
    return all;
}

TEST_F(RunLengthBlitTest, TwoBandsIntoThirtyTwoBitsIgnoreTheOpacity)
{
    auto frame = TwoBands(true);
    CBlitType& type = GetTransparentMaskBlitType();
    auto full = CFrame::MakeOwned(4, 2, 32);
    EXPECT_TRUE(full->Blit(*frame, {0, 0, 4, 2}, {0, 0, 4, 2}, type));
    EXPECT_EQ(Pixels(*full), "0000FFFF00FF00FF00FF00FF00FF00FF/00000000FF000080FF00008000000000/");
    type.SetOpacity(0.5f);
    auto half = CFrame::MakeOwned(4, 2, 32);
    EXPECT_TRUE(half->Blit(*frame, {0, 0, 4, 2}, {0, 0, 4, 2}, type));
    EXPECT_EQ(Pixels(*half), Pixels(*full));
}

TEST_F(RunLengthBlitTest, ClippedDrawsMatchTheWholeDraw)
{
    auto frame = TwoBands(true);
    for (const uint32_t depth : {16u, 24u, 32u}) {
        CBlitType& type = depth == 24 ? GetNormalBlitType() : GetTransparentMaskBlitType();
        auto whole = CFrame::MakeOwned(4, 2, depth);
        EXPECT_TRUE(whole->Blit(*frame, {0, 0, 4, 2}, {0, 0, 4, 2}, type));
        auto pieces = CFrame::MakeOwned(4, 2, depth);
        EXPECT_TRUE(pieces->Blit(*frame, {0, 0, 2, 2}, {0, 0, 2, 2}, type)); // starts at 0, ends early
        EXPECT_TRUE(pieces->Blit(*frame, {2, 1, 4, 2}, {2, 1, 4, 2}, type));
        EXPECT_TRUE(pieces->Blit(*frame, {2, 0, 4, 1}, {2, 0, 4, 1}, type));
        EXPECT_EQ(Pixels(*pieces), Pixels(*whole)) << depth;
    }
}

TEST_F(RunLengthBlitTest, AnEmptyAlphaPlaneDrawsOnlyTheOpaquePlane)
{
    auto frame = TwoBands(false);
    auto destination = CFrame::MakeOwned(4, 2, 16);
    EXPECT_TRUE(destination->Blit(*frame, {0, 0, 4, 2}, {0, 0, 4, 2}, GetTransparentMaskBlitType()));
    EXPECT_EQ(Pixels(*destination), "00F8E007E007E007/0000000000000000/");
}

// A disc with a soft edge in a transparent surround, encoded in two bands
// at 16 bits: runs of every length, rows of different shapes.
std::unique_ptr<CFrame> EncodedDisc(uint32_t width, uint32_t height)
{
    auto frame = CFrame::MakeOwned(width, height, 32);
    std::mt19937 random(3);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const double r = std::hypot((double(x) - width / 2.0) / width, (double(y) - height / 2.0) / height) * 80;
            uint8_t* p = frame->Row(y) + 4 * x;
            p[0] = uint8_t(x * 5);
            p[1] = uint8_t(random() % 4 ? y * 9 : random());
            p[2] = uint8_t(x / 9 * 40);
            p[3] = r < 30 ? 255 : r < 38 ? uint8_t(255 * (38 - r) / 8) : 0;
        }
    const CScopedRunLengthEncoding encoding(true);
    CFrameFilter chain;
    chain.InsertFilter(std::make_unique<CFilterRLEColor0>(CFilterRLEColor0::Mode::TwoBands));
    chain.InsertFilter(std::make_unique<CFilterChangeBitDepth>(Dither::Off, 16));
    chain.ApplyAll(*frame);
    return frame;
}

// A 24-bit two-band frame 4 x 2: row 0 opaque (a literal pair, then a pair
// repeated), row 1 a translucent pair (alpha 128 and 64) after one skip.
std::unique_ptr<CFrame> TwoBands24()
{
    auto frame = CFrame::MakeOwned(4, 2, 24);
    std::array<SRunLengthBlock, 4> extra;
    extra[3] = Block({{0x84}, {0x81, 0x42, 10, 20, 30, 40, 50, 60, 0x81}});
    extra[2] = Block({{}, {128, 64}});
    EXPECT_TRUE(frame->TakeRunLengthForm(kFrameTwoBands, Block({{0x42, 1, 2, 3, 4, 5, 6, 0x02, 7, 8, 9}, {0x84}}),
                                         std::move(extra)));
    return frame;
}

CBlitType& Named(const char* name)
{
    CBlitTypeList& list = CBlitTypeList::SGetInstance();
    return *list.GetBlitType(list.Find(name));
}

// A pattern under the drawing, so that a blend shows.
std::unique_ptr<CFrame> Under(uint32_t width, uint32_t height, uint32_t depth)
{
    auto frame = CFrame::MakeOwned(width, height, depth);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width * depth / 8; ++x)
            frame->Row(y)[x] = uint8_t(x * 29 + y * 71 + 3);
    return frame;
}

// The blend types draw two-band frames (a black-biased light loaded at 16 or
// 24 bits with run-length encoding on) as "Transparent Mask" draws them.
TEST_F(RunLengthBlitTest, BlendTypesDrawTwoBandFramesAsTransparentMask)
{
    const std::unique_ptr<CFrame> frames[] = {TwoBands(true), TwoBands24(), EncodedDisc(23, 9)};
    for (const char* name : {"Blend Black Bias", "Blend Test Light", "Blend Amplify Light"})
        for (const auto& frame : frames) {
            const uint32_t depth = frame->GetBitDepth();
            if (depth == 16 && std::string(name) == "Blend Amplify Light")
                continue; // its own arithmetic
            for (const float opacity : {1.0f, 0.5f}) {
                const uint32_t w = frame->GetWidth(), h = frame->GetHeight();
                CBlitType& type = Named(name);
                type.SetOpacity(opacity);
                GetTransparentMaskBlitType().SetOpacity(opacity);
                auto drawn = Under(w, h, depth), expected = Under(w, h, depth);
                const std::string under = Pixels(*drawn);
                EXPECT_TRUE(drawn->Blit(*frame, {0, 0, int32_t(w), int32_t(h)}, {0, 0, int32_t(w), int32_t(h)}, type));
                expected->Blit(*frame, {0, 0, int32_t(w), int32_t(h)}, {0, 0, int32_t(w), int32_t(h)},
                               GetTransparentMaskBlitType());
                EXPECT_EQ(Pixels(*drawn), Pixels(*expected)) << name << " " << depth << " at " << opacity;
                EXPECT_NE(Pixels(*drawn), under) << name << " " << depth << " at " << opacity;
                type.SetOpacity(1.0f);
            }
        }
}

// "Normal" unpacks run-length frames for plain copies, 24-bit ones too.
TEST_F(RunLengthBlitTest, PlainCopiesOfTwentyFourBitTwoBandFramesKeepTheirPixels)
{
    auto frame = TwoBands24();
    CFrame copy;
    copy.CopyFrom(frame.get());
    ASSERT_FALSE(copy.IsCompressed());
    ASSERT_EQ(copy.GetBitDepth(), 24u);
    EXPECT_EQ(Hex(copy.Row(0), 12), "010203040506070809070809");
    auto wide = CFrame::MakeOwned(4, 2, 32);
    EXPECT_TRUE(wide->Blit(*frame, {0, 0, 4, 2}, {0, 0, 4, 2}, GetNormalBlitType()));
    EXPECT_EQ(Hex(wide->Row(0), 16), "01020300040506000708090007080900");
}

// Five-band frames blend through the type's own table, plane k at level
// k + L from the row of its index faded to that level: with a grey palette
// index i at level k fades to (i * (5 - k) + 2) / 5. Table entry (x, y) is
// 2x + y over a destination of 1.
TEST_F(RunLengthBlitTest, BlendTypesDrawFiveBandFramesThroughTheirTableFadedByLevel)
{
    std::vector<uint8_t> grey(768);
    for (uint32_t i = 0; i < 768; ++i)
        grey[i] = uint8_t(i / 3);
    SetGamePalette(grey.data());
    auto frame = FivePlanes();
    for (const char* name : {"Blend Black Bias", "Blend Test Light", "Blend Amplify Light"}) {
        CBlitType& type = Named(name);
        CArrayPOD<uint8_t>& table = *type.GetLookupTable();
        for (uint32_t x = 0; x < 256; ++x)
            for (uint32_t y = 0; y < 256; ++y)
                table.Append(uint8_t(2 * x + y));
        const std::pair<float, std::vector<uint8_t>> cases[] = {
            {1.0f, {21, 19, 15, 11, 7}}, // indices 10, 9, 7, 5, 3
            {0.5f, {13, 9, 5, 1, 1}},    // level 2: planes 0-2 at levels 2-4
            {0.1f, {1, 1, 1, 1, 1}},     // level 5: nothing
        };
        for (const auto& [opacity, expected] : cases) {
            type.SetOpacity(opacity);
            auto destination = CFrame::MakeOwned(5, 1, 8);
            std::memset(destination->Row(0), 1, 5);
            EXPECT_TRUE(destination->Blit(*frame, {0, 0, 5, 1}, {0, 0, 5, 1}, type));
            EXPECT_EQ(std::vector<uint8_t>(destination->Row(0), destination->Row(0) + 5), expected)
                << name << " at " << opacity;
        }
        type.SetOpacity(1.0f);
        table.Free();
    }
}

// The SSE2 widening draws the bytes of the plain kernels over whole frames,
// clipped on every side, at every destination offset.
TEST_F(RunLengthBlitTest, Sse2AndPlainKernelsDrawTheSameFrames)
{
    if (!plat::HasSse2())
        GTEST_SKIP() << "no SSE2";
    auto frame = EncodedDisc(77, 19);
    ASSERT_TRUE(frame->IsCompressed());
    CBlitType& type = GetTransparentMaskBlitType();
    const CRect clips[] = {{0, 0, 77, 19}, {5, 2, 70, 17}, {0, 3, 40, 19}, {38, 0, 77, 9}, {11, 4, 12, 5}};
    for (const CRect& s : clips)
        for (int32_t dx = 0; dx < 3; ++dx) {
            const CRect d{dx + 1, 2, dx + 1 + s.right - s.left, 2 + s.bottom - s.top};
            std::string drawn[2];
            for (int set = 0; set < 2; ++set) {
                const CKernelSetGuard guard(set == 0 ? KernelForce::Plain : KernelForce::Sse2);
                auto destination = CFrame::MakeOwned(82, 24, 32);
                for (uint32_t y = 0; y < 24; ++y)
                    std::memset(destination->Row(y), int(0x5A + y), 82 * 4);
                EXPECT_TRUE(destination->Blit(*frame, s, d, type));
                drawn[set] = Pixels(*destination);
            }
            EXPECT_EQ(drawn[1], drawn[0]) << "clip " << s.left << "," << s.top << " offset " << dx;
        }
}

} // namespace
