// Renderables drawn onto the screen against the same renderables drawn into a
// frame in memory: the screen's textured quads, fills and line strips must
// give the software renderer's pixels, within the tolerance the two screen
// devices are held to (at most 1% of the pixels more than 3 apart in a
// channel: the edge pixels of the shapes).

#include "shell/CScreenDevice.h"
#include "shell/CScreenFrame.h"

#include "support/TestSupport.h"

#include "blit/CColor.h"
#include "blit/ColorTables.h"
#include "platform/GraphicsDeviceGL.h"
#include "platform/GraphicsDeviceHeadless.h"
#include "render/CBlitXParams.h"
#include "render/CCircleRenderer.h"
#include "render/CShape2D.h"
#include "render/CShape2DRenderers.h"
#include "render/RegisterRenderClasses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace {

using CallKind = plat::ScreenCall::Kind;

constexpr uint32_t kWidth = 256;
constexpr uint32_t kHeight = 192;
constexpr uint32_t kBackground = 0xFF102030u;

// A picture with hard edges, a gradient and an alpha edge, so that sampling
// and blending errors show; its hot spot is its centre.
std::unique_ptr<CFrame> Tile()
{
    auto frame = CFrame::MakeOwned(32, 32, 32);
    for (uint32_t y = 0; y < 32; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(frame->Row(y));
        for (uint32_t x = 0; x < 32; ++x) {
            const uint32_t on = ((x / 8) + (y / 8)) % 2;
            const uint32_t alpha = y < 24 ? 255 : 128;
            row[x] = alpha << 24 | (on ? 230u : 40u) << 16 | (x * 8) << 8 | (y * 8);
        }
    }
    frame->SetOffset(-16, -16);
    return frame;
}

enum class Compare {
    // At most 1% of the pixels more than 3 apart in a channel.
    Pixels,
    // The software additive blend weighs by alpha x alpha x coverage in 8-bit
    // steps and keeps up to 2% less of a bright texel: 6 apart.
    AdditivePixels,
    // One-pixel lines against anti-aliased ones: the same places, each lit
    // pixel of either picture within one pixel of a lit one of the other.
    LinePlaces
};

struct Scene {
    const char* name;
    // Draws onto the target with the tile.
    std::function<void(CFrameInterface&, CFrame&)> draw;
    Compare compare = Compare::Pixels;
};

CBlitXParams Placed(CFrame& tile, float x, float y, float angle, float scale, const CColor& colour, uint32_t flags)
{
    return CBlitXParams(&tile, x, y, angle, scale, scale, colour, flags, 0.0f, 0.0f, true);
}

void Blit(CFrameInterface& target, CBlitXParams params)
{
    target.Render(params);
}

void Hexagon(Ombrisalt::CShape2D& shape)
{
    for (int i = 0; i < 6; ++i) {
        const float a = float(i) * 3.14159265f / 3.0f;
        if (i == 0)
            shape.MoveTo(40.0f * std::cos(a), 30.0f * std::sin(a));
        else
            shape.LineTo(40.0f * std::cos(a), 30.0f * std::sin(a));
    }
    shape.ClosePath();
}

const CColor kWhite(255, 255, 255, 255);

const Scene kScenes[] = {
    {"BlitOneToOne", [](CFrameInterface& t, CFrame& tile) { Blit(t, Placed(tile, 64, 64, 0, 1, kWhite, 0)); }},
    {"BlitRotatedAndScaled",
     [](CFrameInterface& t, CFrame& tile) { Blit(t, Placed(tile, 128, 96, 30, 2.5f, kWhite, 0)); }},
    {"BlitTintedAndFaded",
     [](CFrameInterface& t, CFrame& tile) { Blit(t, Placed(tile, 100, 90, 0, 3, CColor(255, 160, 80, 200), 0)); }},
    {"BlitAdditive",
     [](CFrameInterface& t, CFrame& tile) { Blit(t, Placed(tile, 120, 100, 45, 2, kWhite, CBlitXParams::kAdditive)); },
     Compare::AdditivePixels},
    {"BlitMirrored",
     [](CFrameInterface& t, CFrame& tile) {
         Blit(t, Placed(tile, 90, 80, -20, 2, kWhite, CBlitXParams::kMirrorX | CBlitXParams::kMirrorY));
     }},
    {"BlitClipped",
     [](CFrameInterface& t, CFrame& tile) {
         CBlitXParams params = Placed(tile, 128, 96, 15, 3, kWhite, 0);
         params.m_ClipEnabled = true;
         params.m_ClipRect = CRect{100, 70, 170, 120};
         t.Render(params);
     }},
    {"ConvexFill",
     [](CFrameInterface& t, CFrame&) {
         Ombrisalt::CShape2D shape(1, 10);
         Hexagon(shape);
         CShape2DFillRenderer fill;
         fill.m_Shape = &shape;
         fill.m_Scale = 1.5f;
         fill.m_X = 128;
         fill.m_Y = 96;
         fill.m_Color = CColor(80, 220, 120, 180);
         t.Render(fill);
     }},
    {"OutlineAndCircle",
     [](CFrameInterface& t, CFrame&) {
         Ombrisalt::CShape2D shape(1, 10);
         Hexagon(shape);
         CShape2DOutlineRenderer outline;
         outline.m_Shape = &shape;
         outline.m_X = 80;
         outline.m_Y = 60;
         outline.m_Color = CColor(255, 200, 200, 255);
         t.Render(outline);
         CCircleRenderer circle;
         circle.SetRadius(40.0f);
         circle.m_X = 170;
         circle.m_Y = 110;
         circle.m_Color = CColor(255, 255, 0, 255);
         t.Render(circle);
     },
     Compare::LinePlaces},
};

class ScreenRenderTest : public CTempFolderTest {
protected:
    void SetUp() override
    {
        CTempFolderTest::SetUp();
        RegisterRenderClasses();
        InitBlitTables();
        m_Device.SetDesktopSize(1920, 1080);
        CScreenDevice::SGetInstance().SetDeviceForTesting(&m_Device);
        ASSERT_TRUE(CScreenFrame::SGetInstance().SetScreenMode(false));
        CScreenFrame::SGetInstance().SetBlendMode(plat::ScreenBlend::Normal);
    }
    void TearDown() override
    {
        CScreenDevice::SGetInstance().SetDeviceForTesting(nullptr);
        CTempFolderTest::TearDown();
    }
    plat::CGraphicsDeviceHeadless m_Device;
};

class ScreenRenderables : public ScreenRenderTest, public testing::WithParamInterface<Scene> {};

int ChannelDistance(uint32_t a, uint32_t b)
{
    int largest = 0;
    for (int shift = 0; shift < 24; shift += 8)
        largest = std::max(largest, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return largest;
}

// Pixels of a lit at least by threshold with no pixel of b lit at all (more
// than 3) in their 3x3 neighbourhood.
size_t CountStrayLinePixels(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int threshold)
{
    size_t stray = 0;
    for (uint32_t y = 0; y < kHeight; ++y)
        for (uint32_t x = 0; x < kWidth; ++x) {
            if (ChannelDistance(a[y * kWidth + x], kBackground) < threshold)
                continue;
            bool near = false;
            for (uint32_t ny = y ? y - 1 : 0; ny <= std::min(y + 1, kHeight - 1) && !near; ++ny)
                for (uint32_t nx = x ? x - 1 : 0; nx <= std::min(x + 1, kWidth - 1) && !near; ++nx)
                    near = ChannelDistance(b[ny * kWidth + nx], kBackground) > 3;
            stray += !near;
        }
    return stray;
}

// Pixels more than tolerance apart in a channel (red, green, blue).
size_t CountDifferences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int tolerance, int& worst)
{
    size_t differing = 0;
    worst = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const int largest = ChannelDistance(a[i], b[i]);
        worst = std::max(worst, largest);
        differing += largest > tolerance;
    }
    return differing;
}

TEST_P(ScreenRenderables, DrawWhatAFrameInMemoryShows)
{
    auto tile = Tile();
    auto memory = CFrame::MakeOwned(kWidth, kHeight, 32);
    std::vector<uint32_t> expected;
    for (uint32_t y = 0; y < kHeight; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(memory->Row(y));
        std::fill(row, row + kWidth, kBackground);
    }
    GetParam().draw(*memory, *tile);
    for (uint32_t y = 0; y < kHeight; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(memory->Row(y));
        expected.insert(expected.end(), row, row + kWidth);
    }

    m_Device.Clear(kBackground);
    m_Device.TakeCalls();
    GetParam().draw(CScreenFrame::SGetInstance(), *tile);
    EXPECT_FALSE(m_Device.TakeCalls().empty()) << "nothing reached the device";
    std::vector<uint32_t> back;
    int32_t w = 0, h = 0;
    ASSERT_TRUE(m_Device.ReadBack(back, w, h));
    std::vector<uint32_t> actual;
    for (uint32_t y = 0; y < kHeight; ++y)
        actual.insert(actual.end(), back.begin() + y * size_t(w), back.begin() + y * size_t(w) + kWidth);
    // Nothing outside the compared corner.
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = y < int32_t(kHeight) ? int32_t(kWidth) : 0; x < w; ++x)
            ASSERT_EQ(back[size_t(y) * size_t(w) + size_t(x)] | 0xFF000000u, kBackground) << x << "," << y;

    if (GetParam().compare == Compare::LinePlaces) {
        // Half the lines' contrast against the background counts as lit in
        // the anti-aliased picture.
        EXPECT_EQ(CountStrayLinePixels(actual, expected, 4), 0u) << "screen pixels off the memory lines";
        EXPECT_EQ(CountStrayLinePixels(expected, actual, 110), 0u) << "memory line pixels the screen missed";
        return;
    }
    int worst = 0;
    const int tolerance = GetParam().compare == Compare::AdditivePixels ? 6 : 3;
    const size_t differing = CountDifferences(expected, actual, tolerance, worst);
    EXPECT_LE(differing, expected.size() / 100) << "worst channel difference " << worst;
}

// The window is made at the mode's size: the off-screen driver's surface
// keeps the size it was made with.
plat::CGraphicsDevice* SharedGL(int32_t width, int32_t height, std::string& reason)
{
    // Kept to the end of the process: closing it unloads the driver, whose
    // kept blocks could then no longer be told from ours.
    static std::string why;
    static plat::CGraphicsDevice* const device = plat::CreateOffscreenGLGraphicsDevice(width, height, why).release();
    reason = why;
    return device;
}

// The same scene through both screen devices, in the same mode: the
// batched OpenGL device shows what the memory device draws.
TEST_P(ScreenRenderables, OpenGLShowsWhatTheMemoryDeviceDraws)
{
    auto draw = [](plat::CGraphicsDevice& device, int32_t& w, int32_t& h) {
        // A tile per device: a frame's texture belongs to the device that made it.
        auto tile = Tile();
        CScreenDevice::SGetInstance().SetDeviceForTesting(&device);
        EXPECT_TRUE(CScreenFrame::SGetInstance().SetScreenMode(false));
        device.Clear(kBackground);
        GetParam().draw(CScreenFrame::SGetInstance(), *tile);
        std::vector<uint32_t> pixels;
        EXPECT_TRUE(device.ReadBack(pixels, w, h));
        return pixels;
    };
    // The off-screen driver's desktop decides the windowed mode's size.
    m_Device.SetDesktopSize(1024, 768);
    int32_t w = 0, h = 0, glWidth = 0, glHeight = 0;
    const auto expected = draw(m_Device, w, h);
    std::string reason;
    plat::CGraphicsDevice* gl = SharedGL(w, h, reason);
    if (!gl)
        GTEST_SKIP() << "no OpenGL 3.3 context: " << reason;
    int32_t desktopWidth = 0, desktopHeight = 0;
    gl->GetDesktopSize(desktopWidth, desktopHeight);
    ASSERT_EQ(desktopWidth, 1024);
    ASSERT_EQ(desktopHeight, 768);
    const auto actual = draw(*gl, glWidth, glHeight);
    ASSERT_EQ(glWidth, w);
    ASSERT_EQ(glHeight, h);
    int worst = 0;
    const int tolerance = GetParam().compare == Compare::AdditivePixels ? 6 : 3;
    EXPECT_LE(CountDifferences(expected, actual, tolerance, worst), expected.size() / 100)
        << "worst channel difference " << worst;
}

// Callers (proxies, dirty rectangles) read the answer and the drawn bounds
// alike from either surface.
TEST_F(ScreenRenderTest, AnswerAndBoundsAsOnAFrameAndMeasuringDrawsNothing)
{
    auto tile = Tile();
    auto memory = CFrame::MakeOwned(kWidth, kHeight, 32);
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    CBlitXParams onFrame = Placed(*tile, 100, 80, 30, 2, kWhite, 0);
    CBlitXParams onScreen = onFrame;
    EXPECT_EQ(screen.Render(onScreen), memory->Render(onFrame));
    EXPECT_EQ(onScreen.m_DrawnBounds, onFrame.m_DrawnBounds);

    Ombrisalt::CShape2D shape(1, 10);
    Hexagon(shape);
    CShape2DFillRenderer fill;
    fill.m_Shape = &shape;
    fill.m_X = 50;
    fill.m_Y = 40;
    CShape2DFillRenderer fillOnScreen = fill;
    EXPECT_EQ(screen.Render(fillOnScreen), memory->Render(fill));
    EXPECT_EQ(fillOnScreen.m_DrawnBounds, fill.m_DrawnBounds);

    m_Device.TakeCalls();
    onScreen.m_DrawEnabled = false;
    fillOnScreen.m_DrawEnabled = false;
    screen.Render(onScreen);
    screen.Render(fillOnScreen);
    EXPECT_TRUE(m_Device.TakeCalls().empty());
    EXPECT_EQ(fillOnScreen.m_DrawnBounds, fill.m_DrawnBounds);
}

TEST_F(ScreenRenderTest, SkippedTransformedBlitsAreMeasuredButNotDrawn)
{
    auto tile = Tile();
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    CBlitXParams drawn = Placed(*tile, 64, 64, 0, 1, kWhite, 0);
    m_Device.TakeCalls();
    screen.Render(drawn);
    EXPECT_FALSE(m_Device.TakeCalls().empty());

    CBlitXParams skipped = Placed(*tile, 64, 64, 0, 1, kWhite, 0);
    screen.SetSkipBlitXDrawing(true);
    screen.Render(skipped);
    screen.SetSkipBlitXDrawing(false);
    EXPECT_TRUE(m_Device.TakeCalls().empty());
    EXPECT_EQ(skipped.m_DrawnBounds, drawn.m_DrawnBounds);
}

INSTANTIATE_TEST_SUITE_P(Scenes, ScreenRenderables, testing::ValuesIn(kScenes),
                         [](const testing::TestParamInfo<Scene>& scene) { return std::string(scene.param.name); });

} // namespace
