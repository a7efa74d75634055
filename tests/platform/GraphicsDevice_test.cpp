// The two screen devices against each other: the same calls must give the
// same pixels from OpenGL (Mesa under SDL's off-screen driver) and from the
// in-memory rasteriser, within a stated tolerance.

#include "platform/GraphicsDeviceGL.h"
#include "platform/GraphicsDeviceHeadless.h"
#include "platform/WindowSDL.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace {

using plat::CGraphicsDevice;
using plat::ScreenBlend;
using plat::ScreenVertex;
using plat::TextureAddress;
using plat::TextureLevel;

constexpr int32_t kWidth = 96;
constexpr int32_t kHeight = 64;

// A picture with hard edges and a gradient, so filtering errors show.
std::vector<TextureLevel> Checker(uint32_t size)
{
    std::vector<TextureLevel> levels;
    TextureLevel level{size, size, {}};
    for (uint32_t y = 0; y < size; ++y)
        for (uint32_t x = 0; x < size; ++x) {
            const uint32_t on = ((x / 4) + (y / 4)) % 2;
            const uint32_t red = on ? 240 : 20;
            const uint32_t green = x * 255 / size;
            const uint32_t blue = y * 255 / size;
            const uint32_t alpha = x < size / 2 ? 255 : 160;
            level.pixels.push_back(alpha << 24 | red << 16 | green << 8 | blue);
        }
    levels.push_back(level);
    // A plain 2x2 average: these tests compare devices, not mip filters.
    while (levels.back().width > 1) {
        const TextureLevel& up = levels.back();
        TextureLevel down{up.width / 2, up.height / 2, {}};
        for (uint32_t y = 0; y < down.height; ++y)
            for (uint32_t x = 0; x < down.width; ++x) {
                uint32_t out = 0;
                for (int shift = 0; shift < 32; shift += 8) {
                    uint32_t sum = 0;
                    for (uint32_t dy = 0; dy < 2; ++dy)
                        for (uint32_t dx = 0; dx < 2; ++dx)
                            sum += (up.pixels[(2 * y + dy) * up.width + 2 * x + dx] >> shift) & 0xFF;
                    out |= ((sum + 2) / 4) << shift;
                }
                down.pixels.push_back(out);
            }
        levels.push_back(std::move(down));
    }
    return levels;
}

void Quad(CGraphicsDevice& device, float left, float top, float right, float bottom, float u1, float v1,
          const plat::CScreenTexture* texture, uint32_t argb = 0xFFFFFFFFu,
          TextureAddress address = TextureAddress::Clamp, ScreenBlend blend = ScreenBlend::Normal)
{
    const ScreenVertex lt{left, top, argb, 0, 0}, rt{right, top, argb, u1, 0}, rb{right, bottom, argb, u1, v1},
        lb{left, bottom, argb, 0, v1};
    const ScreenVertex triangles[] = {lt, rt, rb, lt, rb, lb};
    ASSERT_TRUE(device.DrawTriangles(triangles, 6, texture, address, blend));
}

struct Scene {
    const char* name;
    std::function<void(CGraphicsDevice&, const plat::CScreenTexture*)> draw;
};

const Scene kScenes[] = {
    {"QuadOneToOne", [](CGraphicsDevice& d, const plat::CScreenTexture* t) { Quad(d, 8, 8, 40, 40, 1, 1, t); }},
    {"QuadScaledUp", [](CGraphicsDevice& d, const plat::CScreenTexture* t) { Quad(d, 3, 2, 83, 58, 1, 1, t); }},
    {"QuadScaledDown", [](CGraphicsDevice& d, const plat::CScreenTexture* t) { Quad(d, 10, 10, 26, 26, 1, 1, t); }},
    {"QuadTinted",
     [](CGraphicsDevice& d, const plat::CScreenTexture* t) { Quad(d, 20, 4, 52, 36, 1, 1, t, 0x80FF8040u); }},
    {"Additive",
     [](CGraphicsDevice& d, const plat::CScreenTexture* t) {
         Quad(d, 0, 0, 96, 64, 1, 1, nullptr, 0xFF203040u);
         Quad(d, 30, 10, 62, 42, 1, 1, t, 0xC0FFFFFFu, TextureAddress::Clamp, ScreenBlend::Additive);
     }},
    {"Wrapped",
     [](CGraphicsDevice& d, const plat::CScreenTexture* t) {
         Quad(d, 0, 0, 96, 64, 3, 2, t, 0xFFFFFFFFu, TextureAddress::Wrap);
     }},
    {"VertexColourFill",
     [](CGraphicsDevice& d, const plat::CScreenTexture*) {
         const ScreenVertex v[] = {{5, 5, 0xFFFF0000u, 0, 0}, {90, 12, 0xFF00FF00u, 0, 0}, {40, 60, 0xFF0000FFu, 0, 0}};
         ASSERT_TRUE(d.DrawTriangles(v, 3, nullptr, TextureAddress::Clamp, ScreenBlend::Normal));
     }},
    {"Lines",
     [](CGraphicsDevice& d, const plat::CScreenTexture*) {
         const ScreenVertex box[] = {{10.5f, 10.5f, 0xFFFFFFFFu, 0, 0},
                                     {80.5f, 10.5f, 0xFFFFFFFFu, 0, 0},
                                     {80.5f, 50.5f, 0xFFFFFFFFu, 0, 0},
                                     {10.5f, 50.5f, 0xFFFFFFFFu, 0, 0},
                                     {10.5f, 10.5f, 0xFFFFFFFFu, 0, 0}};
         ASSERT_TRUE(d.DrawLineStrip(box, 5, ScreenBlend::Normal));
         const ScreenVertex slope[] = {{2.5f, 60.5f, 0xFFFFC8C8u, 0, 0}, {90.5f, 3.5f, 0xFFFFC8C8u, 0, 0}};
         ASSERT_TRUE(d.DrawLineStrip(slope, 2, ScreenBlend::Normal));
     }},
    {"FadeOverlay",
     [](CGraphicsDevice& d, const plat::CScreenTexture* t) {
         Quad(d, 8, 8, 40, 40, 1, 1, t);
         Quad(d, 0, 0, 96, 64, 1, 1, nullptr, 0x80000000u);
         Quad(d, 0, 0, 96, 64, 1, 1, nullptr, 0x33FFFFFFu);
     }},
};

CGraphicsDevice* SharedGL(std::string& reason)
{
    // Kept to the end of the process: closing it unloads the driver, whose
    // kept blocks could then no longer be told from ours.
    static std::string why;
    static CGraphicsDevice* const device = plat::CreateOffscreenGLGraphicsDevice(kWidth, kHeight, why).release();
    reason = why;
    return device;
}

std::vector<uint32_t> Render(CGraphicsDevice& device, const Scene& scene)
{
    device.Clear(0xFF102030u);
    auto texture = device.CreateTexture(Checker(32));
    EXPECT_TRUE(texture);
    scene.draw(device, texture.get());
    std::vector<uint32_t> pixels;
    int32_t w = 0, h = 0;
    EXPECT_TRUE(device.ReadBack(pixels, w, h));
    EXPECT_EQ(w, kWidth);
    EXPECT_EQ(h, kHeight);
    return pixels;
}

// Pixels differing by more than 3 in a channel; edge pixels may round the
// other way on either side of a coverage decision.
size_t CountDifferences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int& worst)
{
    size_t differing = 0;
    worst = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        int largest = 0;
        for (int shift = 0; shift < 24; shift += 8)
            largest = std::max(largest, std::abs(int((a[i] >> shift) & 0xFF) - int((b[i] >> shift) & 0xFF)));
        worst = std::max(worst, largest);
        differing += largest > 3;
    }
    return differing;
}

class GraphicsDevices : public testing::TestWithParam<Scene> {};

TEST_P(GraphicsDevices, OpenGLAndMemoryDrawTheSamePixels)
{
    std::string reason;
    CGraphicsDevice* gl = SharedGL(reason);
    if (!gl)
        GTEST_SKIP() << "no OpenGL 3.3 context: " << reason;
    plat::CGraphicsDeviceHeadless memory;
    ASSERT_TRUE(memory.Reset(kWidth, kHeight, false));
    const auto expected = Render(memory, GetParam());
    const auto actual = Render(*gl, GetParam());
    int worst = 0;
    const size_t differing = CountDifferences(expected, actual, worst);
    // At most 1% of the picture, the edge pixels of a few shapes.
    EXPECT_LE(differing, expected.size() / 100) << "worst channel difference " << worst;
}

INSTANTIATE_TEST_SUITE_P(Scenes, GraphicsDevices, testing::ValuesIn(kScenes),
                         [](const testing::TestParamInfo<Scene>& scene) { return std::string(scene.param.name); });

TEST(GraphicsDevice, OpenGLResetRebuildsTexturesFromTheirPixels)
{
    std::string reason;
    CGraphicsDevice* gl = SharedGL(reason);
    if (!gl)
        GTEST_SKIP() << "no OpenGL 3.3 context: " << reason;
    const auto before = Render(*gl, kScenes[0]);
    auto texture = gl->CreateTexture(Checker(32));
    ASSERT_TRUE(gl->Reset(kWidth, kHeight, false));
    gl->Clear(0xFF102030u);
    Quad(*gl, 8, 8, 40, 40, 1, 1, texture.get());
    std::vector<uint32_t> after;
    int32_t w = 0, h = 0;
    ASSERT_TRUE(gl->ReadBack(after, w, h));
    EXPECT_EQ(before, after);
}

TEST(GraphicsDevice, ClosingTheWindowEndsTheContextAndTheNextWindowGetsTheTexturesBack)
{
    std::string reason;
    // The shared device keeps the driver loaded while this one comes and goes.
    if (!SharedGL(reason))
        GTEST_SKIP() << "no OpenGL 3.3 context: " << reason;
    plat::CWindowSDL window;
    window.SetHidden(true);
    ASSERT_TRUE(window.Create("second", kWidth, kHeight));
    plat::CGraphicsDeviceGL device(window);
    ASSERT_TRUE(device.Reset(kWidth, kHeight, false));
    auto texture = device.CreateTexture(Checker(32));
    auto draw = [&] {
        device.Clear(0xFF102030u);
        Quad(device, 8, 8, 40, 40, 1, 1, texture.get());
        std::vector<uint32_t> pixels;
        int32_t w = 0, h = 0;
        EXPECT_TRUE(device.ReadBack(pixels, w, h));
        return pixels;
    };
    const auto before = draw();
    window.Destroy();
    EXPECT_FALSE(device.IsCreated());
    ASSERT_TRUE(window.Create("second", kWidth, kHeight));
    ASSERT_TRUE(device.Reset(kWidth, kHeight, false));
    EXPECT_EQ(draw(), before);
}

// The calls the shell makes for a representative frame: 500 blits of one
// 64x64 texture, 50 filled rectangles each with its outline, a line of text
// as 100 small fills, then the letterbox fills of Present.
void RepresentativeFrame(CGraphicsDevice& device, const plat::CScreenTexture* tile)
{
    device.Clear(0xFF000000u);
    const float u = 64.0f / float(tile->GetWidth());
    for (int i = 0; i < 500; ++i) {
        const float x = float((i * 37) % 300), y = float((i * 53) % 200);
        Quad(device, x, y, x + 64, y + 64, u, u, tile);
    }
    for (int i = 0; i < 50; ++i) {
        const float x = float((i * 91) % 300), y = float((i * 67) % 200);
        Quad(device, x, y, x + 50, y + 25, 0, 0, nullptr, 0xA02878C8u);
        const ScreenVertex box[] = {{x + 0.5f, y + 0.5f, 0xFFFFFFFFu, 0, 0},
                                    {x + 50.5f, y + 0.5f, 0xFFFFFFFFu, 0, 0},
                                    {x + 50.5f, y + 25.5f, 0xFFFFFFFFu, 0, 0},
                                    {x + 0.5f, y + 25.5f, 0xFFFFFFFFu, 0, 0},
                                    {x + 0.5f, y + 0.5f, 0xFFFFFFFFu, 0, 0}};
        ASSERT_TRUE(device.DrawLineStrip(box, 5, ScreenBlend::Normal));
    }
    for (int i = 0; i < 100; ++i) {
        const float x = float(30 + i * 2), y = float(20 + (i % 5) * 2);
        Quad(device, x, y, x + 2, y + 2, 0, 0, nullptr, 0xFFFAFAFAu);
    }
    Quad(device, 320, -10000, 10320, 10240, 0, 0, nullptr, 0xFF000000u);
    Quad(device, -10000, 240, 320, 10240, 0, 0, nullptr, 0xFF000000u);
}

// Consecutive draws sharing texture and blend go out together: the frame
// takes a handful of OpenGL draws, and still shows what the memory device
// draws.
TEST(GraphicsDevice, OpenGLBatchesTheRepresentativeFrameIntoFewDraws)
{
    plat::CWindowSDL window;
    std::string reason;
    if (!SharedGL(reason))
        GTEST_SKIP() << "no OpenGL 3.3 context: " << reason;
    window.SetHidden(true);
    ASSERT_TRUE(window.Create("batches", 320, 240));
    plat::CGraphicsDeviceGL gl(window);
    ASSERT_TRUE(gl.Reset(320, 240, false));
    plat::CGraphicsDeviceHeadless memory;
    ASSERT_TRUE(memory.Reset(320, 240, false));
    auto glTile = gl.CreateTexture(Checker(64));
    auto memoryTile = memory.CreateTexture(Checker(64));
    RepresentativeFrame(gl, glTile.get());
    RepresentativeFrame(memory, memoryTile.get());
    std::vector<uint32_t> expected, actual;
    int32_t w = 0, h = 0;
    ASSERT_TRUE(memory.ReadBack(expected, w, h));
    ASSERT_TRUE(gl.ReadBack(actual, w, h));
    ASSERT_TRUE(gl.Present());
    EXPECT_LT(gl.GetDrawCallsOfLastFrame(), 30u);
    EXPECT_GE(gl.GetDrawCallsOfLastFrame(), 1u);
    int worst = 0;
    EXPECT_LE(CountDifferences(expected, actual, worst), expected.size() / 100) << "worst " << worst;
}

// Full screen covers the display and stretches the back buffer over it,
// each axis on its own; windowed, the window takes the back buffer's size.
// Reading back gives the back buffer's own size either way.
TEST(GraphicsDevice, OpenGLStretchesOverTheFullScreenAndReadsBackTheBackBuffer)
{
    std::string reason;
    if (!SharedGL(reason))
        GTEST_SKIP() << "no OpenGL 3.3 context: " << reason;
    SDL_Rect display{};
    ASSERT_EQ(SDL_GetDisplayBounds(0, &display), 0) << SDL_GetError();
    plat::CWindowSDL window;
    window.SetHidden(true);
    // Already the display's size: the off-screen driver's surface keeps the
    // size it was made with.
    ASSERT_TRUE(window.Create("stretch", display.w, display.h));
    plat::CGraphicsDeviceGL gl(window);
    for (const bool fullScreen : {true, false}) {
        ASSERT_TRUE(gl.Reset(kWidth, kHeight, fullScreen));
        const plat::ShownArea area = gl.GetShownArea();
        const std::string shown = std::to_string(area.left) + "," + std::to_string(area.top) + " "
            + std::to_string(area.width) + "x" + std::to_string(area.height);
        EXPECT_EQ(shown, fullScreen ? "0,0 " + std::to_string(display.w) + "x" + std::to_string(display.h)
                                    : "0,0 " + std::to_string(kWidth) + "x" + std::to_string(kHeight));
        gl.Clear(0xFF102030u);
        Quad(gl, 0, 0, kWidth / 2.0f, float(kHeight), 0, 0, nullptr, 0xFFFFFFFFu);
        std::vector<uint32_t> pixels;
        int32_t w = 0, h = 0;
        ASSERT_TRUE(gl.ReadBack(pixels, w, h));
        ASSERT_EQ(w, kWidth);
        ASSERT_EQ(h, kHeight);
        // Well inside each half, up to the corners: exact colours.
        EXPECT_EQ(pixels[size_t(kHeight / 2) * kWidth + 4], 0xFFFFFFFFu);
        EXPECT_EQ(pixels[size_t(kHeight / 2) * kWidth + kWidth - 4], 0xFF102030u);
        EXPECT_EQ(pixels[size_t(kHeight - 2) * kWidth + kWidth - 2], 0xFF102030u);
        EXPECT_EQ(pixels[size_t(1) * kWidth + 1], 0xFFFFFFFFu);
    }
}

TEST(ScreenRaster, SpansCoverExactlyThePixelsWhoseCentresLieInside)
{
    // The rule checked pixel by pixel, as the reference.
    auto edge = [](float ax, float ay, float bx, float by, float px, float py) {
        return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
    };
    auto topLeft = [](float ax, float ay, float bx, float by, bool clockwise) {
        const float dx = bx - ax, dy = by - ay;
        return clockwise ? (dy == 0.0f && dx > 0.0f) || dy < 0.0f : (dy == 0.0f && dx < 0.0f) || dy > 0.0f;
    };
    uint32_t seed = 12345;
    auto next = [&seed](float range) {
        seed = seed * 1664525u + 1013904223u;
        return float(seed >> 8) / float(1u << 24) * range - 4.0f;
    };
    for (int round = 0; round < 300; ++round) {
        // Quarter-pixel corners half the time, so centres land on edges.
        const bool snapped = round % 2 == 0;
        ScreenVertex v[3];
        for (ScreenVertex& p : v) {
            p = {next(40.0f), next(30.0f), 0xFF010101u, 0, 0};
            if (snapped)
                p.x = std::round(p.x * 4) / 4, p.y = std::round(p.y * 4) / 4;
        }
        plat::CScreenRaster raster;
        raster.Resize(32, 24);
        raster.Clear(0);
        raster.DrawTriangle(v[0], v[1], v[2], nullptr, TextureAddress::Clamp, ScreenBlend::Additive);
        const float area = edge(v[0].x, v[0].y, v[1].x, v[1].y, v[2].x, v[2].y);
        const bool cw = area > 0;
        const float sign = cw ? 1.0f : -1.0f;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 32; ++x) {
                const float px = x + 0.5f, py = y + 0.5f;
                const float w0 = edge(v[1].x, v[1].y, v[2].x, v[2].y, px, py) * sign;
                const float w1 = edge(v[2].x, v[2].y, v[0].x, v[0].y, px, py) * sign;
                const float w2 = edge(v[0].x, v[0].y, v[1].x, v[1].y, px, py) * sign;
                bool inside = area != 0.0f && w0 >= 0 && w1 >= 0 && w2 >= 0;
                inside = inside && !(w0 == 0 && !topLeft(v[1].x, v[1].y, v[2].x, v[2].y, cw));
                inside = inside && !(w1 == 0 && !topLeft(v[2].x, v[2].y, v[0].x, v[0].y, cw));
                inside = inside && !(w2 == 0 && !topLeft(v[0].x, v[0].y, v[1].x, v[1].y, cw));
                ASSERT_EQ(raster.GetPixels()[size_t(y) * 32 + size_t(x)] & 0xFF, inside ? 1u : 0u)
                    << "round " << round << " pixel " << x << "," << y;
            }
    }
}

// Nothing is rasterised until pixels are read; a clear drops what it would
// cover; a texture that goes before the read still shows.
TEST(GraphicsDevice, MemoryDeviceRasterisesOnlyWhatIsRead)
{
    plat::CGraphicsDeviceHeadless device;
    ASSERT_TRUE(device.Reset(kWidth, kHeight, false));
    auto texture = device.CreateTexture(Checker(32));
    Quad(device, 0, 0, 96, 64, 1, 1, nullptr, 0xFFFF0000u);
    device.Clear(0xFF102030u);
    Quad(device, 8, 8, 40, 40, 1, 1, texture.get());
    ASSERT_TRUE(device.Present());
    device.Clear(0xFF000000u);
    Quad(device, 0, 0, 96, 64, 1, 1, nullptr, 0xFF00FF00u);
    EXPECT_EQ(device.GetRasterisedPrimitives(), 0u);
    texture.reset();
    // The presented picture is made as its texture goes: two triangles.
    EXPECT_EQ(device.GetRasterisedPrimitives(), 2u);
    plat::CGraphicsDeviceHeadless reference;
    ASSERT_TRUE(reference.Reset(kWidth, kHeight, false));
    EXPECT_EQ(device.GetPresented(), Render(reference, kScenes[0]));
    std::vector<uint32_t> pixels;
    int32_t w = 0, h = 0;
    ASSERT_TRUE(device.ReadBack(pixels, w, h));
    EXPECT_EQ(pixels[0], 0xFF00FF00u);
    EXPECT_EQ(device.GetRasterisedPrimitives(), 4u);
}

// Each read of the presented picture shows the latest present and nothing
// of the ones before, read or not.
TEST(GraphicsDevice, MemoryDeviceShowsEachPresentedPictureInTurn)
{
    plat::CGraphicsDeviceHeadless device;
    ASSERT_TRUE(device.Reset(kWidth, kHeight, false));
    const uint32_t colours[] = {0xFF102030u, 0xFF405060u, 0xFF708090u, 0xFFA0B0C0u};
    for (int frame = 0; frame < 4; ++frame) {
        device.Clear(colours[frame]);
        if (frame % 2 == 0)
            Quad(device, 8, 8, 40, 40, 1, 1, nullptr, 0xFFFF0000u);
        ASSERT_TRUE(device.Present());
        if (frame == 2)
            continue;
        const std::vector<uint32_t>& shown = device.GetPresented();
        ASSERT_EQ(shown.size(), size_t(kWidth) * size_t(kHeight));
        EXPECT_EQ(shown[0], colours[frame]) << "frame " << frame;
        EXPECT_EQ(shown[size_t(20) * kWidth + 20], frame % 2 == 0 ? 0xFFFF0000u : colours[frame]) << "frame " << frame;
    }
}

TEST(GraphicsDevice, MemoryDeviceKeepsABoundedRecordOfTheLatestCalls)
{
    plat::CGraphicsDeviceHeadless device;
    ASSERT_TRUE(device.Reset(16, 16, false));
    device.SetRecordLimit(100);
    for (uint32_t i = 0; i < 1000; ++i) {
        device.Clear(0xFF000000u | i);
        ASSERT_TRUE(device.Present());
    }
    const auto calls = device.TakeCalls();
    ASSERT_EQ(calls.size(), 100u);
    EXPECT_EQ(calls[calls.size() - 2].kind, plat::ScreenCall::Kind::Clear);
    EXPECT_EQ(calls[calls.size() - 2].argb, 0xFF000000u | 999u);
    EXPECT_TRUE(device.TakeCalls().empty());
}

TEST(GraphicsDevice, TextureMemoryGoesWithTheLastHandle)
{
    plat::CGraphicsDeviceHeadless device;
    ASSERT_TRUE(device.Reset(16, 16, false));
    auto texture = device.CreateTexture(Checker(8));
    ASSERT_TRUE(texture);
    EXPECT_EQ(device.GetTextureCount(), 1u);
    EXPECT_EQ(device.GetTextureBytes(), (64u + 16u + 4u + 1u) * 4u);
    ASSERT_TRUE(device.Reset(32, 16, true));
    EXPECT_EQ(device.GetRebuiltTextures(), 1u);
    texture.reset();
    EXPECT_EQ(device.GetTextureCount(), 0u);
    EXPECT_EQ(device.GetTextureBytes(), 0u);
}

TEST(GraphicsDevice, RefusesLevelsOfTheWrongSizes)
{
    plat::CGraphicsDeviceHeadless device;
    ASSERT_TRUE(device.Reset(16, 16, false));
    auto levels = Checker(8);
    levels[1].width = 3;
    EXPECT_EQ(device.CreateTexture(levels), nullptr);
    EXPECT_EQ(device.CreateTexture({}), nullptr);
    EXPECT_EQ(device.CreateTexture({TextureLevel{2, 2, {1, 2, 3}}}), nullptr);
}

TEST(ScreenRaster, TwoTrianglesOfAQuadCoverEachPixelOnce)
{
    plat::CScreenRaster raster;
    raster.Resize(12, 9);
    raster.Clear(0);
    // Additive grey of 40: a pixel drawn twice would read 80.
    const ScreenVertex a{0.3f, 0.7f, 0xFF282828u, 0, 0}, b{11.2f, 1.4f, 0xFF282828u, 0, 0},
        c{10.6f, 8.1f, 0xFF282828u, 0, 0}, d{1.1f, 7.9f, 0xFF282828u, 0, 0};
    raster.DrawTriangle(a, b, c, nullptr, TextureAddress::Clamp, ScreenBlend::Additive);
    raster.DrawTriangle(a, c, d, nullptr, TextureAddress::Clamp, ScreenBlend::Additive);
    for (uint32_t pixel : raster.GetPixels())
        EXPECT_TRUE((pixel & 0xFF) == 0 || (pixel & 0xFF) == 40) << std::hex << pixel;
}

TEST(ScreenRaster, ATriangleWithCornersPastTheIntRangeFillsTheScreenItCovers)
{
    plat::CScreenRaster raster;
    raster.Resize(12, 9);
    raster.Clear(0);
    const ScreenVertex a{-3e9f, -1.0f, 0xFF282828u, 0, 0}, b{3e9f, -1.0f, 0xFF282828u, 0, 0},
        c{6.0f, 3e9f, 0xFF282828u, 0, 0};
    raster.DrawTriangle(a, b, c, nullptr, TextureAddress::Clamp, ScreenBlend::Additive);
    EXPECT_EQ(raster.GetPixels()[4 * 12 + 6] & 0xFF, 40u);
}

TEST(ScreenRaster, OneToOneTextureCopiesTexelsExactly)
{
    plat::CGraphicsDeviceHeadless device;
    ASSERT_TRUE(device.Reset(32, 32, false));
    auto levels = Checker(32);
    for (uint32_t& p : levels[0].pixels)
        p |= 0xFF000000u;
    auto texture = device.CreateTexture(levels);
    Quad(device, 0, 0, 32, 32, 1, 1, texture.get());
    std::vector<uint32_t> pixels;
    int32_t w = 0, h = 0;
    ASSERT_TRUE(device.ReadBack(pixels, w, h));
    EXPECT_EQ(pixels, levels[0].pixels);
}

} // namespace
