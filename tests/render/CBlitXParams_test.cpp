#include "render/CBlitXParams.h"

#include "RenderTestSupport.h"
#include "blit/ColorTables.h"
#include "images/CFrame.h"
#include "render/PixelBlenders.h"
#include "support/ScopedHooks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>

namespace {

class BlitXTest : public testing::Test {
protected:
    void SetUp() override
    {
        RegisterShapeAndBlitClasses();
        InitBlitTables();
    }

    CScopedBlitXSmoothing m_Smoothing{true};
};

uint8_t* Px(CFrame& f, int x, int y)
{
    return f.Row(uint32_t(y)) + 4 * x;
}

void FillFrame(CFrame& f, uint8_t b, uint8_t g, uint8_t r, uint8_t a)
{
    for (uint32_t y = 0; y < f.GetHeight(); ++y)
        for (uint32_t x = 0; x < f.GetWidth(); ++x) {
            uint8_t* p = Px(f, int(x), int(y));
            p[0] = b, p[1] = g, p[2] = r, p[3] = a;
        }
}

// A source whose pixels all differ, with a transparent and a half-alpha one.
std::unique_ptr<CFrame> Pattern(uint32_t w, uint32_t h)
{
    std::unique_ptr<CFrame> f = CFrame::MakeOwned(w, h, 32);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            uint8_t* p = Px(*f, int(x), int(y));
            p[0] = uint8_t(20 + 30 * x), p[1] = uint8_t(40 + 50 * y), p[2] = uint8_t(7 * x * y), p[3] = 255;
        }
    Px(*f, 1, 0)[3] = 0;
    Px(*f, 2, 1)[3] = 128;
    return f;
}

struct ExactCase {
    const char* name;
    float angle;
    uint32_t flags;
    float scale;
    bool smooth;
    // Where source pixel (i, j) lands, relative to (8, 8): x = xi * i + xj * j + x0, likewise y.
    int xi, xj, x0, yi, yj, y0;
};

class BlitXExactTest : public BlitXTest, public testing::WithParamInterface<ExactCase> {};

// Whole-pixel transforms land every source pixel on exactly one destination
// pixel with full coverage and an exact sample, so each destination pixel is
// the plain rule applied to its source pixel and nothing else changes.
TEST_P(BlitXExactTest, MatchesThePermutedSourcePixelForPixel)
{
    const ExactCase& k = GetParam();
    SetBlitXSmoothing(k.smooth);
    const int w = 4, h = 3;
    std::unique_ptr<CFrame> source = Pattern(w, h);
    std::unique_ptr<CFrame> target = CFrame::MakeOwned(20, 20, 32);
    FillFrame(*target, 100, 100, 100, 255);
    std::unique_ptr<CFrame> expected = CFrame::MakeOwned(20, 20, 32);
    FillFrame(*expected, 100, 100, 100, 255);
    const int s = int(k.scale);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            for (int dy = 0; dy < s; ++dy)
                for (int dx = 0; dx < s; ++dx)
                    blend::Plain::Pixel(Px(*expected, 8 + (k.xi * i + k.xj * j + k.x0) * s + dx,
                                           8 + (k.yi * i + k.yj * j + k.y0) * s + dy),
                                        Px(*source, i, j), nullptr, 255);

    CBlitXParams blit(source.get(), 8.0f, 8.0f, k.angle, k.scale, k.scale, CColor(255, 255, 255, 255), k.flags, 0.0f,
                      0.0f, true);
    EXPECT_TRUE(target->Render(blit));
    EXPECT_EQ(Pixels(*target), Pixels(*expected));
}

const ExactCase kExactCases[] = {
    {"Rotate90", 90.0f, 0, 1.0f, true, 0, -1, -1, 1, 0, 0},
    {"Rotate180", 180.0f, 0, 1.0f, true, -1, 0, -1, 0, -1, -1},
    {"Rotate270", 270.0f, 0, 1.0f, true, 0, 1, 0, -1, 0, -1},
    {"RotateMinus90", -90.0f, 0, 1.0f, true, 0, 1, 0, -1, 0, -1},
    {"MirrorX", 0.0f, CBlitXParams::kMirrorX, 1.0f, true, -1, 0, -1, 0, 1, 0},
    {"MirrorY", 0.0f, CBlitXParams::kMirrorY, 1.0f, true, 1, 0, 0, 0, -1, -1},
    {"MirrorBothIsRotate180", 0.0f, CBlitXParams::kMirrorX | CBlitXParams::kMirrorY, 1.0f, true, -1, 0, -1, 0, -1, -1},
    {"Scale2Nearest", 0.0f, 0, 2.0f, false, 1, 0, 0, 0, 1, 0},
    {"Rotate90Scale2Nearest", 90.0f, 0, 2.0f, false, 0, -1, -1, 1, 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Transforms, BlitXExactTest, testing::ValuesIn(kExactCases),
                         [](const testing::TestParamInfo<ExactCase>& p) { return std::string(p.param.name); });

// Bilinear sampling of a plain double-precision reference at the centre of
// each destination pixel that the source covers fully.
double Bilinear(const CFrame& f, double u, double v, int channel)
{
    u -= 0.5, v -= 0.5;
    const int x0 = int(std::floor(u)), y0 = int(std::floor(v));
    const double fx = u - x0, fy = v - y0;
    auto at = [&](int x, int y) { return double(f.Row(uint32_t(y))[4 * x + channel]); };
    return (at(x0, y0) * (1 - fx) + at(x0 + 1, y0) * fx) * (1 - fy)
        + (at(x0, y0 + 1) * (1 - fx) + at(x0 + 1, y0 + 1) * fx) * fy;
}

struct FreeCase {
    const char* name;
    float angle, scaleX, scaleY;
};

class BlitXBilinearTest : public BlitXTest, public testing::WithParamInterface<FreeCase> {};

TEST_P(BlitXBilinearTest, InteriorMatchesAReferenceSamplerWithinTwoSteps)
{
    const FreeCase& k = GetParam();
    std::unique_ptr<CFrame> source = CFrame::MakeOwned(16, 16, 32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            uint8_t* p = Px(*source, x, y);
            p[0] = uint8_t(x * 16), p[1] = uint8_t(y * 16), p[2] = uint8_t((x * 37 + y * 91) & 255), p[3] = 255;
        }
    std::unique_ptr<CFrame> target = CFrame::MakeOwned(64, 64, 32);
    CBlitXParams blit(source.get(), 32.0f, 32.0f, k.angle, k.scaleX, k.scaleY, CColor(255, 255, 255, 255), 0, 8.0f,
                      8.0f, true);
    ASSERT_TRUE(target->Render(blit));
    int checked = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            // The inverse transform in double precision.
            const double a = -double(k.angle) * 3.14159265358979323846 / 180.0;
            const double px = x + 0.5 - 32.0, py = y + 0.5 - 32.0;
            const double u = (px * std::cos(a) - py * std::sin(a)) / k.scaleX + 8.0;
            const double v = (px * std::sin(a) + py * std::cos(a)) / k.scaleY + 8.0;
            if (u < 1.6 || v < 1.6 || u > 14.4 || v > 14.4)
                continue;
            ++checked;
            for (int c = 0; c < 3; ++c)
                ASSERT_NEAR(Px(*target, x, y)[c], Bilinear(*source, u, v, c), 2.0)
                    << "pixel " << x << "," << y << " channel " << c;
        }
    EXPECT_GT(checked, 50);
}

const FreeCase kFreeCases[] = {
    {"Rotate30", 30.0f, 1.0f, 1.0f},
    {"Rotate217Scale1_7", 217.0f, 1.7f, 1.7f},
    {"UnevenScale", 0.0f, 2.3f, 1.4f},
    {"Rotate45Shrink", 45.0f, 0.8f, 0.9f},
};

INSTANTIATE_TEST_SUITE_P(Transforms, BlitXBilinearTest, testing::ValuesIn(kFreeCases),
                         [](const testing::TestParamInfo<FreeCase>& p) { return std::string(p.param.name); });

TEST_F(BlitXTest, VisibilityNeedsAnAlphaProductOf2304)
{
    std::unique_ptr<CFrame> source = Pattern(4, 3);
    std::unique_ptr<CFrame> target = CFrame::MakeOwned(20, 20, 32);
    FillFrame(*target, 100, 100, 100, 255);
    std::unique_ptr<CFrame> before = CFrame::MakeOwned(20, 20, 32);
    FillFrame(*before, 100, 100, 100, 255);

    CBlitXParams faint(source.get(), 8.0f, 8.0f, 30.0f, 1.0f, 1.0f, CColor(255, 255, 255, 9), 0, 0, 0, true);
    EXPECT_TRUE(target->Render(faint));
    EXPECT_TRUE(faint.m_DrawnBounds.IsAllZero());
    EXPECT_EQ(Pixels(*target), Pixels(*before));

    CBlitXParams visible = faint;
    visible.m_Color = CColor(255, 255, 255, 10);
    EXPECT_TRUE(target->Render(visible));
    EXPECT_FALSE(visible.m_DrawnBounds.IsAllZero());
    EXPECT_NE(Pixels(*target), Pixels(*before));

    // A fully transparent source shows nothing at any colour.
    FillFrame(*source, 255, 255, 255, 0);
    CBlitXParams empty(source.get(), 8.0f, 8.0f, 30.0f, 1.0f, 1.0f, CColor(255, 255, 255, 255), 0, 0, 0, true);
    EXPECT_TRUE(target->Render(empty));
    EXPECT_TRUE(empty.m_DrawnBounds.IsAllZero());
}

TEST_F(BlitXTest, RefusesZeroScalesAndDrawingIntoItself)
{
    std::unique_ptr<CFrame> source = Pattern(4, 3);
    std::unique_ptr<CFrame> target = CFrame::MakeOwned(20, 20, 32);
    for (float sx : {0.0f, -1.0f, NAN}) {
        CBlitXParams blit(source.get(), 8.0f, 8.0f, 0.0f, sx, 1.0f, CColor(255, 255, 255, 255), 0, 0, 0, true);
        EXPECT_FALSE(target->Render(blit));
        EXPECT_TRUE(blit.m_DrawnBounds.IsAllZero());
    }
    CBlitXParams self(source.get(), 1.0f, 1.0f, 30.0f, 1.0f, 1.0f, CColor(255, 255, 255, 255), 0, 0, 0, true);
    EXPECT_FALSE(source->Render(self));
}

// Measuring (draw disabled) tells the paths apart: the fast path reports
// false with the moved source bounds, the rasteriser path true with the
// floor and ceiling of the transformed corners.
TEST_F(BlitXTest, PathChoiceAndMeasuredBounds)
{
    std::unique_ptr<CFrame> source = Pattern(10, 20);
    source->SetOffset(-2, -3);
    std::unique_ptr<CFrame> target = CFrame::MakeOwned(64, 64, 32);
    CBlitXParams blit(source.get(), 10.0f, 20.0f, 0.4f, 1.0f, 1.0f, CColor(255, 255, 255, 255), 0, 0, 0, false);
    EXPECT_FALSE(target->Render(blit));
    EXPECT_EQ(blit.m_DrawnBounds, (CRect{8, 17, 18, 37}));

    blit.m_Angle = 0.6f;
    EXPECT_TRUE(target->Render(blit));

    blit.m_Angle = 0.0f;
    blit.m_X = 10.5f;
    EXPECT_TRUE(target->Render(blit));
    EXPECT_EQ(blit.m_DrawnBounds, (CRect{8, 17, 19, 37}));

    blit.m_X = 10.0f;
    blit.m_Flags = CBlitXParams::kMirrorY;
    EXPECT_TRUE(target->Render(blit));

    blit.m_Flags = 0;
    blit.m_ScaleX = blit.m_ScaleY = 2.0f;
    blit.m_X = 5.5f, blit.m_Y = 3.0f;
    EXPECT_TRUE(target->Render(blit));
    EXPECT_EQ(blit.m_DrawnBounds, (CRect{1, -3, 22, 37}));

    // Clipped to a rectangle it does not meet: all zero.
    blit.m_ClipEnabled = true;
    blit.m_ClipRect = {40, 40, 50, 50};
    EXPECT_TRUE(target->Render(blit));
    EXPECT_TRUE(blit.m_DrawnBounds.IsAllZero());
    blit.m_ClipRect = {0, 0, 10, 10};
    EXPECT_TRUE(target->Render(blit));
    EXPECT_EQ(blit.m_DrawnBounds, (CRect{1, 0, 10, 10}));
}

TEST_F(BlitXTest, FarAwayImagesAreCulledAndHugeCoordinatesAreSafe)
{
    std::unique_ptr<CFrame> source = Pattern(4, 3);
    std::unique_ptr<CFrame> target = CFrame::MakeOwned(20, 20, 32);
    for (float x : {-100.0f, 200.0f, 3e9f, -3e38f, INFINITY}) {
        CBlitXParams blit(source.get(), x, 5.0f, 30.0f, 1.0f, 1.0f, CColor(255, 255, 255, 255), 0, 0, 0, true);
        EXPECT_TRUE(target->Render(blit));
        EXPECT_TRUE(blit.m_DrawnBounds.IsAllZero());
    }
    // Huge scales reach the destination; the rasteriser clips in doubles.
    CBlitXParams huge(source.get(), 5.0f, 5.0f, 10.0f, 1e7f, 1e7f, CColor(255, 255, 255, 255), 0, 1.5f, 1.5f, true);
    EXPECT_TRUE(target->Render(huge));
    EXPECT_EQ(Px(*target, 0, 0)[3], 255);
}

TEST_F(BlitXTest, ComposingOntoTransparentFramesKeepsColourAndAlpha)
{
    std::unique_ptr<CFrame> source = Pattern(4, 3);
    std::unique_ptr<CFrame> target = CFrame::MakeOwned(20, 20, 32);
    CBlitXParams blit(source.get(), 8.0f, 8.0f, 90.0f, 1.0f, 1.0f, CColor(255, 255, 255, 255),
                      CRenderableObject::kRespectDestinationAlpha, 0, 0, true);
    EXPECT_TRUE(target->Render(blit));
    // Source (0, 0) lands at (7, 8); (2, 1) with alpha 128 at (6, 10).
    EXPECT_EQ(std::memcmp(Px(*target, 7, 8), Px(*source, 0, 0), 4), 0);
    EXPECT_EQ(Px(*target, 6, 10)[3], 128);
    EXPECT_EQ(Px(*target, 6, 10)[0], Px(*source, 2, 1)[0]);
    // The transparent source pixel (1, 0) leaves (7, 9) transparent black.
    EXPECT_EQ(Px(*target, 7, 9)[3], 0);
}

TEST_F(BlitXTest, HotSpotLandsOnThePositionAndHitTestReadsTheSource)
{
    std::unique_ptr<CFrame> source = Pattern(4, 3);
    for (uint32_t flags : {0u, CBlitXParams::kMirrorX, CBlitXParams::kMirrorY}) {
        CBlitXParams blit(source.get(), 30.0f, 40.0f, 33.0f, 2.0f, 3.0f, CColor(255, 255, 255, 255), flags, 2.5f, 1.5f,
                          true);
        float u = 0, v = 0;
        blit.MapToSource(30.0f, 40.0f, u, v);
        EXPECT_NEAR(u, 2.5f, 1e-5f);
        EXPECT_NEAR(v, 1.5f, 1e-5f);
        CColor colour;
        // The hot spot rounds (to even) to source pixel (2, 2).
        EXPECT_TRUE(blit.HitTest(30, 40, &colour));
        EXPECT_EQ(colour.GetBlue(), Px(*source, 2, 2)[0]);
        EXPECT_FALSE(blit.HitTest(300, 400, nullptr));
    }
}

TEST_F(BlitXTest, TintedAndAdditiveChainsFollowTheirRules)
{
    std::unique_ptr<CFrame> source = Pattern(4, 3);
    const CColor tint(200, 100, 50, 255);
    for (uint32_t flags : {0u, CBlitXParams::kAdditive}) {
        std::unique_ptr<CFrame> target = CFrame::MakeOwned(20, 20, 32);
        FillFrame(*target, 10, 20, 30, 255);
        CBlitXParams blit(source.get(), 8.0f, 8.0f, 180.0f, 1.0f, 1.0f, tint, flags, 0, 0, true);
        EXPECT_TRUE(target->Render(blit));
        uint8_t expected[4] = {10, 20, 30, 255};
        const uint8_t t[4] = {50, 100, 200, 255};
        if (flags)
            blend::Additive::Pixel(expected, Px(*source, 3, 2), t, 255);
        else
            blend::Tinted::Pixel(expected, Px(*source, 3, 2), t, 255);
        // Source (3, 2) lands at (4, 5).
        EXPECT_EQ(std::memcmp(Px(*target, 4, 5), expected, 4), 0) << flags;
    }
}

TEST_F(BlitXTest, SixteenBitSourcesBecomeThirtyTwoBitsOnce)
{
    std::unique_ptr<CFrame> source = CFrame::MakeOwned(4, 4, 16);
    source->SetOffset(3, -2);
    std::unique_ptr<CFrame> target = CFrame::MakeOwned(20, 20, 32);
    CBlitXParams blit(source.get(), 8.0f, 8.0f, 45.0f, 1.0f, 1.0f, CColor(255, 255, 255, 255), 0, 0, 0, true);
    target->Render(blit);
    EXPECT_EQ(source->GetBitDepth(), 32u);
    EXPECT_EQ(source->GetOffsetX(), 3);
    EXPECT_EQ(source->GetOffsetY(), -2);
}

// The fast path is an ordinary blit; a whole turn takes the rasteriser path
// over the same pixels, and both agree on sources of opaque and empty pixels.
TEST_F(BlitXTest, WholeTurnThroughTheRasteriserMatchesTheFastPath)
{
    std::unique_ptr<CFrame> source = Pattern(5, 4);
    Px(*source, 2, 1)[3] = 255;
    source->SetOffset(-1, 2);
    for (int32_t x : {8, 3, 11}) {
        std::unique_ptr<CFrame> fast = CFrame::MakeOwned(20, 20, 32);
        std::unique_ptr<CFrame> turned = CFrame::MakeOwned(20, 20, 32);
        FillFrame(*fast, 90, 80, 70, 255);
        FillFrame(*turned, 90, 80, 70, 255);
        CBlitXParams blit(source.get(), float(x), 7.0f, 0.0f, 1.0f, 1.0f, CColor(255, 255, 255, 255), 0, 1.0f, 2.0f,
                          true);
        EXPECT_TRUE(fast->Render(blit));
        EXPECT_EQ(blit.m_DrawnBounds, (CRect{x - 2, 7, x + 3, 11}));
        blit.m_Angle = 360.0f;
        EXPECT_TRUE(turned->Render(blit));
        EXPECT_EQ(Pixels(*fast), Pixels(*turned)) << x;
    }
}

} // namespace
