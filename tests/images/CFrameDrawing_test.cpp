#include "images/CFrame.h"

#include "blit/CBlitType.h"
#include "blit/CColor.h"
#include "blit/CPalette.h"
#include "blit/ColorTables.h"
#include "blit/GamePalette.h"
#include "blit/PixelBlends.h"

#include "support/RunLengthBlock.h"
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class DrawingTest : public testing::Test {
protected:
    void SetUp() override
    {
        RegisterImagesClasses();
        InitBlitTables();
    }
    void TearDown() override { ClearGamePalette(); }
};

// A frame's bytes, row by row (pitch equals width here).
std::vector<uint8_t> Bytes(const CFrame& frame)
{
    std::vector<uint8_t> bytes;
    for (uint32_t y = 0; y < frame.GetHeight(); ++y)
        bytes.insert(bytes.end(), frame.Row(y), frame.Row(y) + frame.GetWidth() * frame.GetBytesPerPixel());
    return bytes;
}

std::unique_ptr<CFrame> PatternFrame(uint32_t depth)
{
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(7, 5, depth);
    for (uint32_t y = 0; y < 5; ++y)
        for (uint32_t b = 0; b < 7 * depth / 8; ++b)
            frame->Row(y)[b] = uint8_t(y * 37 + b * 11 + 5);
    frame->SetOffset(-3, 2); // frame coordinates -3..3 by 2..6
    return frame;
}

struct SRectCase {
    const char* name;
    CRect rect;
};

const SRectCase kRects[] = {
    {"Inside", {-2, 3, 1, 5}},      {"AcrossLeft", {-9, 3, 0, 5}},    {"AcrossTop", {-1, -4, 2, 4}},
    {"AcrossRight", {1, 3, 20, 6}}, {"AcrossBottom", {-1, 5, 2, 30}}, {"Covering", {-50, -50, 50, 50}},
    {"Reversed", {1, 5, -2, 3}},    {"LeftOfIt", {-20, 3, -3, 5}},    {"BelowIt", {-2, 7, 1, 9}},
    {"Empty", {0, 3, 0, 5}},
};

// The pixel rectangle a frame-coordinate rectangle covers, clipped.
bool Covers(const CRect& rect, int32_t px, int32_t py)
{
    const int32_t x = px - 3, y = py + 2;
    const int32_t l = std::min(rect.left, rect.right), r = std::max(rect.left, rect.right);
    const int32_t t = std::min(rect.top, rect.bottom), b = std::max(rect.top, rect.bottom);
    return x >= l && x < r && y >= t && y < b;
}

struct SFillCase {
    uint32_t depth;
    uint8_t alpha;
    SRectCase rect;
};

class FillRectAt : public DrawingTest, public testing::WithParamInterface<SFillCase> {};

TEST_P(FillRectAt, ChangesExactlyTheClippedRectangleByTheFormula)
{
    const auto [depth, alpha, rc] = GetParam();
    std::unique_ptr<CFrame> frame = PatternFrame(depth);
    std::vector<uint8_t> expected = Bytes(*frame);
    CColor colour(200, 100, 50, alpha);
    if (depth == 8)
        colour.SetFromPaletteIndex(42);
    const uint32_t size = depth / 8;
    const uint16_t c565 = colour.GetPixel565();
    for (int32_t y = 0; y < 5; ++y) {
        int32_t runStart = -1;
        for (int32_t x = 0; x < 7; ++x) {
            if (!Covers(rc.rect, x, y))
                continue;
            if (runStart < 0)
                runStart = x;
            uint8_t* p = expected.data() + (y * 7 + x) * size;
            if (depth == 8) {
                p[0] = 42;
            } else if (depth == 16) {
                uint16_t d = uint16_t(p[0] | p[1] << 8);
                int32_t runEnd = x;
                while (runEnd < 7 && Covers(rc.rect, runEnd, y))
                    ++runEnd;
                // A row's run blends whole groups of four from its start.
                const bool group = x - runStart < 4 * ((runEnd - runStart) / 4);
                d = alpha == 255 ? c565 : group ? BlendPixel565Rounded(d, c565, alpha) : BlendPixel565(d, c565, alpha);
                p[0] = uint8_t(d);
                p[1] = uint8_t(d >> 8);
            } else if (depth == 24) {
                p[0] = 50, p[1] = 100, p[2] = 200;
            } else if (alpha >= 248) {
                p[0] = 50, p[1] = 100, p[2] = 200, p[3] = alpha;
            } else if (alpha >= 8) {
                const uint8_t s[4] = {50, 100, 200, alpha};
                for (int c = 0; c < 4; ++c)
                    p[c] = uint8_t(p[c] + (((s[c] - p[c]) * (alpha >> 1)) >> 7));
            }
        }
    }
    frame->FillRect(rc.rect, colour);
    EXPECT_EQ(Bytes(*frame), expected);
}

std::vector<SFillCase> FillCases()
{
    std::vector<SFillCase> cases;
    for (const SRectCase& rc : kRects)
        for (uint32_t depth : {8u, 16u, 24u, 32u})
            for (uint8_t alpha : {0, 7, 8, 128, 247, 248, 255})
                if (alpha == 255 || depth == 16 || depth == 32)
                    cases.push_back({depth, alpha, rc});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(All, FillRectAt, testing::ValuesIn(FillCases()),
                         [](const testing::TestParamInfo<SFillCase>& param) {
                             return std::string(param.param.rect.name) + "Depth" + std::to_string(param.param.depth)
                                 + "Alpha" + std::to_string(param.param.alpha);
                         });

// With the game palette installed, a colour set by value fills an 8-bit
// frame with its nearest entry, not the transparent index 0.
TEST_F(DrawingTest, ColoursSetByValueFillEightBitFramesWithTheirNearestEntry)
{
    uint8_t palette[768] = {};
    palette[3 * 7 + 2] = 250;
    palette[3 * 9 + 1] = 200;
    SetGamePalette(palette);
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(3, 2, 8);
    CColor red(255, 0, 0, 255), green(0, 190, 0, 255);
    frame->FillRect({0, 0, 3, 2}, red);
    frame->SetPixel(1, 1, green);
    EXPECT_EQ(Bytes(*frame), std::vector<uint8_t>({7, 7, 7, 7, 9, 7}));
}

TEST_F(DrawingTest, ClearRectZeroesOnlyTheClippedRectangle)
{
    std::unique_ptr<CFrame> frame = PatternFrame(24);
    frame->ClearRect({2, 5, 9, 9}); // pixels x 5..6, y 3..4
    EXPECT_EQ(frame->Row(3)[3 * 4], (5 + 3 * 37 + 12 * 11) & 0xFF);
    EXPECT_EQ(frame->Row(3)[3 * 5], 0);
    EXPECT_EQ(frame->Row(4)[3 * 7 - 1], 0);
}

TEST_F(DrawingTest, PixelsReadBackAsColoursAndHitOnlyWithAlpha)
{
    std::unique_ptr<CFrame> f16 = CFrame::MakeOwned(2, 2, 16);
    f16->SetOffset(10, 10);
    CColor green(0, 255, 0, 255);
    f16->SetPixel(11, 10, green);
    EXPECT_EQ(f16->GetRawPixel(11, 10), 0x07E0u);
    CColor read;
    ASSERT_TRUE(f16->GetPixel(11, 10, read));
    EXPECT_EQ(read, CColor(0, 255, 0, 255));
    EXPECT_FALSE(f16->HitTest(11, 10));
    EXPECT_FALSE(f16->GetPixel(9, 10, read));
    EXPECT_EQ(read, CColor());
    EXPECT_EQ(f16->GetRawPixel(12, 10), 0u);

    std::unique_ptr<CFrame> f32 = CFrame::MakeOwned(2, 1, 32);
    CColor faint(1, 2, 3, 6), fainter(1, 2, 3, 5);
    f32->SetPixel(0, 0, faint);
    f32->SetPixel(1, 0, fainter);
    EXPECT_TRUE(f32->HitTest(0, 0));
    EXPECT_FALSE(f32->HitTest(1, 0));
    ASSERT_TRUE(f32->GetPixel(0, 0, read));
    EXPECT_EQ(read, faint);
    EXPECT_EQ(read.GetAlpha(), 6);

    std::unique_ptr<CFrame> f24 = CFrame::MakeOwned(1, 1, 24);
    CColor c(10, 20, 30, 40);
    f24->SetPixel(0, 0, c);
    EXPECT_EQ(f24->GetRawPixel(0, 0), 0x0A141Eu);
    ASSERT_TRUE(f24->GetPixel(0, 0, read));
    EXPECT_EQ(read.GetAlpha(), 255);

    uint8_t palette[768] = {};
    palette[3 * 5 + 2] = 77;
    SetGamePalette(palette);
    std::unique_ptr<CFrame> f8 = CFrame::MakeOwned(1, 1, 8);
    f8->Row(0)[0] = 5;
    ASSERT_TRUE(f8->GetPixel(0, 0, read));
    EXPECT_EQ(read, CColor(77, 0, 0, 255));
    EXPECT_FALSE(f8->HitTest(0, 0));
}

TEST_F(DrawingTest, LinesStepAlongTheMajorAxisAndIncludeBothEnds)
{
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(8, 4, 8);
    CColor colour;
    colour.SetFromPaletteIndex(1);
    frame->DrawLine(0, 0, 5, 2, colour);
    const char* expected = "11000000"
                           "00110000"
                           "00001100"
                           "00000000";
    std::string got;
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 8; ++x)
            got += char('0' + frame->Row(y)[x]);
    EXPECT_EQ(got, expected);

    frame->Clear();
    frame->DrawLine(2, 3, 2, 3, colour); // a point
    frame->DrawLine(7, 0, 7, 3, colour);
    EXPECT_EQ(frame->Row(3)[2], 1);
    for (uint32_t y = 0; y < 4; ++y)
        EXPECT_EQ(frame->Row(y)[7], 1);

    // Far outside on both sides: clipped, nothing written past the frame.
    frame->Clear();
    frame->DrawLine(-1000, 2, 1000, 2, colour);
    for (uint32_t x = 0; x < 8; ++x)
        EXPECT_EQ(frame->Row(2)[x], 1);
    frame->DrawLine(-5, -5, -1, 20, colour); // wholly left
    EXPECT_EQ(frame->Row(0)[0], 0);
}

TEST_F(DrawingTest, RemapUsesTheTableOrTheBrightnessRatioOfGrey)
{
    uint8_t table[256];
    for (uint32_t i = 0; i < 256; ++i)
        table[i] = uint8_t(255 - i);
    std::unique_ptr<CFrame> f8 = PatternFrame(8);
    std::vector<uint8_t> expected = Bytes(*f8);
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 7; ++x)
            if (Covers({0, 0, 2, 4}, x, y))
                expected[size_t(y * 7 + x)] = uint8_t(255 - expected[size_t(y * 7 + x)]);
    f8->RemapRect({0, 0, 2, 4}, table);
    EXPECT_EQ(Bytes(*f8), expected);

    // Without a blend palette nothing can be measured: nothing changes.
    std::unique_ptr<CFrame> f24 = PatternFrame(24);
    const std::vector<uint8_t> before = Bytes(*f24);
    f24->RemapRect({-3, 2, 4, 7}, table);
    EXPECT_EQ(Bytes(*f24), before);

    // Grey is entry 1 (red 128); the table sends it to entry 2 (red 64).
    uint8_t palette[768] = {};
    for (uint32_t c = 0; c < 3; ++c) {
        palette[3 + c] = 128;
        palette[6 + c] = 64;
    }
    SetGamePalette(palette);
    table[1] = 2;
    f24->RemapRect({-3, 2, 4, 7}, table);
    std::vector<uint8_t> halved = before;
    for (uint8_t& b : halved)
        b = uint8_t(b / 2.0 + 0.5);
    EXPECT_EQ(Bytes(*f24), halved);

    // A grey entry without red gives no ratio: nothing changes.
    uint8_t redless[768] = {};
    for (uint32_t i = 0; i < 256; ++i)
        redless[3 * i] = redless[3 * i + 1] = 128;
    SetGamePalette(redless);
    const std::vector<uint8_t> remapped = Bytes(*f24);
    f24->RemapRect({-3, 2, 4, 7}, table);
    EXPECT_EQ(Bytes(*f24), remapped);
    SetGamePalette(palette);

    std::unique_ptr<CFrame> f16 = CFrame::MakeOwned(4, 1, 16);
    CColor white(255, 255, 255, 255);
    f16->Fill(white);
    f16->RemapRect({0, 0, 1, 1}, table); // black at alpha 127
    EXPECT_EQ(f16->GetRawPixel(0, 0), BlendPixel565(0xFFFF, 0, 127));
    EXPECT_EQ(f16->GetRawPixel(1, 0), 0xFFFFu);
}

int g_Calls = 0;
CRect g_Source, g_Destination;
void Record(CFrameInterface&, const CRect& s, CFrameInterface&, const CRect& d, CBlitType&)
{
    ++g_Calls;
    g_Source = s;
    g_Destination = d;
}

struct SBlitCase {
    const char* name;
    CRect s, d;
    bool drawn;
    CRect expectS, expectD; // pixel coordinates as the routine gets them
};

class BlitClipping : public DrawingTest, public testing::WithParamInterface<SBlitCase> {};

TEST_P(BlitClipping, ClipsBothRectanglesBeforeTheRoutine)
{
    const SBlitCase c = GetParam();
    std::unique_ptr<CFrame> destination = CFrame::MakeOwned(10, 8, 32);
    destination->SetOffset(-5, -4);
    std::unique_ptr<CFrame> source = CFrame::MakeOwned(4, 3, 32);
    source->SetOffset(2, 1);
    CBlitType type;
    type.AddBlitFunction(32, 0, 32, 0, &Record);
    g_Calls = 0;
    EXPECT_EQ(destination->Blit(*source, c.s, c.d, type), c.drawn);
    EXPECT_EQ(g_Calls, c.drawn ? 1 : 0);
    if (c.drawn) {
        EXPECT_EQ(g_Source, c.expectS);
        EXPECT_EQ(g_Destination, c.expectD);
    }
}

INSTANTIATE_TEST_SUITE_P(
    All, BlitClipping,
    testing::Values(SBlitCase{"Inside", {2, 1, 6, 4}, {0, 0, 4, 3}, true, {0, 0, 4, 3}, {5, 4, 9, 7}},
                    SBlitCase{"PastTopLeft", {2, 1, 6, 4}, {-7, -5, -3, -2}, true, {2, 1, 4, 3}, {0, 0, 2, 2}},
                    SBlitCase{"PastBottomRight", {2, 1, 6, 4}, {3, 2, 7, 5}, true, {0, 0, 2, 2}, {8, 6, 10, 8}},
                    SBlitCase{
                        "SourceLargerThanItsFrame", {0, 0, 8, 6}, {0, 0, 8, 6}, true, {0, 0, 3, 3}, {7, 5, 10, 8}},
                    SBlitCase{"WhollyOutside", {2, 1, 6, 4}, {20, 20, 24, 23}, false, {}, {}},
                    SBlitCase{"SourceOutsideItsFrame", {20, 20, 24, 23}, {0, 0, 4, 3}, false, {}, {}}),
    [](const testing::TestParamInfo<SBlitCase>& param) { return std::string(param.param.name); });

TEST_F(DrawingTest, BlitWithoutARoutineDrawsNothing)
{
    std::unique_ptr<CFrame> destination = CFrame::MakeOwned(4, 4, 16);
    std::unique_ptr<CFrame> source = CFrame::MakeOwned(4, 4, 8);
    CBlitType type;
    EXPECT_TRUE(destination->Blit(*source, {0, 0, 4, 4}, {0, 0, 4, 4}, type));
    EXPECT_EQ(Bytes(*destination), std::vector<uint8_t>(32, 0));
    CFrame empty;
    EXPECT_FALSE(empty.Blit(*source, {0, 0, 4, 4}, {0, 0, 4, 4}, type));
}

std::unique_ptr<CFrame> CompressedFrame()
{
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(6, 1, 16);
    std::array<SRunLengthBlock, 4> extra;
    extra[3] = Block({{0x83, 0x02, 0x00, 0xF8, 0x81}});
    extra[2] = Block({{0x80}});
    EXPECT_TRUE(frame->TakeRunLengthForm(kFrameTwoBands, Block({{0x82, 0x41, 0xE0, 0x07, 0x83}}), std::move(extra)));
    return frame;
}

TEST_F(DrawingTest, TwoBandRunLengthFramesAreReadThroughTheirPackets)
{
    std::unique_ptr<CFrame> frame = CompressedFrame();
    CColor read;
    ASSERT_TRUE(frame->GetPixel(2, 0, read));
    EXPECT_EQ(read, CColor(0, 255, 0, 255));
    ASSERT_TRUE(frame->GetPixel(4, 0, read));
    EXPECT_EQ(read, CColor(255, 0, 0, 0x80));
    ASSERT_TRUE(frame->GetPixel(0, 0, read));
    EXPECT_EQ(read, CColor());
    EXPECT_EQ(frame->GetRawPixel(3, 0), 0xFFFFFFFFu);
    EXPECT_EQ(frame->GetRawPixel(5, 0), 0u);
    EXPECT_TRUE(frame->HitTest(2, 0));
    EXPECT_TRUE(frame->HitTest(4, 0));
    EXPECT_FALSE(frame->HitTest(1, 0));
    EXPECT_FALSE(frame->HitTest(6, 0));
}

TEST_F(DrawingTest, FiveBandFramesAnswerTheFirstBandThatDrawsThePoint)
{
    uint8_t palette[768] = {};
    palette[3 * 7 + 2] = 70;
    palette[3 * 9 + 2] = 90;
    SetGamePalette(palette);
    std::unique_ptr<CFrame> frame = CFrame::MakeOwned(6, 1, 8);
    std::array<SRunLengthBlock, 4> extra;
    extra[3] = Block({{0x81, 0x02, 9, 0x83}}); // the second band: pixels 1 and 2
    extra[0] = Block({{0x83, 0x41, 0, 0x82}}); // the faintest: index 0 at pixel 3
    ASSERT_TRUE(frame->TakeRunLengthForm(kFrameFiveBands, Block({{0x41, 7, 0x85}}), std::move(extra)));
    CColor read;
    ASSERT_TRUE(frame->GetPixel(0, 0, read));
    EXPECT_EQ(read, CColor(70, 0, 0, 255));
    ASSERT_TRUE(frame->GetPixel(2, 0, read));
    EXPECT_EQ(read, CColor(90, 0, 0, 255));
    ASSERT_TRUE(frame->GetPixel(3, 0, read)); // drawn, but with index 0
    EXPECT_EQ(read, CColor());
    EXPECT_EQ(frame->GetRawPixel(3, 0), 0xFFFFFFFFu);
    EXPECT_EQ(frame->GetRawPixel(4, 0), 0u);
    EXPECT_TRUE(frame->HitTest(1, 0));
    EXPECT_TRUE(frame->HitTest(3, 0));
    EXPECT_FALSE(frame->HitTest(5, 0));
}

TEST_F(DrawingTest, DrawingIntoACompressedFrameIsFatal)
{
    std::unique_ptr<CFrame> frame = CompressedFrame();
    std::unique_ptr<CFrame> source = CFrame::MakeOwned(2, 1, 16);
    CBlitType type;
    EXPECT_EXIT(frame->Blit(*source, {0, 0, 2, 1}, {0, 0, 2, 1}, type), testing::ExitedWithCode(255),
                "Blitting To A Compressed Frame Error");
    CColor colour(1, 1, 1, 255);
    frame->FillRect({0, 0, 6, 1}, colour); // ignored, not fatal
    frame->SetPixel(0, 0, colour);
    EXPECT_EQ(frame->GetRawPixel(0, 0), 0u);
}

} // namespace
