// The raster's SSE2 spans against its plain loop: the same scenes, byte for
// byte, over every kind of draw the screen makes.
#include "platform/Cpu.h"
#include "platform/ScreenRaster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

using plat::ScreenBlend;
using plat::ScreenVertex;
using plat::TextureAddress;
using plat::TextureLevel;

class CRandom {
public:
    explicit CRandom(uint32_t seed)
        : m_State(seed)
    {
    }
    uint32_t Next()
    {
        m_State = m_State * 1664525u + 1013904223u;
        return m_State >> 8;
    }
    float Range(float low, float high) { return low + (high - low) * float(Next() & 0xFFFF) / 65535.0f; }
    // Alpha 0 and 255 often, as sprite pictures have them.
    uint32_t Alpha()
    {
        const uint32_t pick = Next() % 4;
        return pick == 0 ? 0u : pick == 1 ? 255u : Next() & 0xFF;
    }

private:
    uint32_t m_State;
};

// A texture of size x size with its mip chain (each level half the one
// above, rounded down), random colours and alphas.
std::vector<TextureLevel> Texture(CRandom& random, uint32_t size)
{
    std::vector<TextureLevel> levels;
    for (uint32_t s = size; s > 0; s /= 2) {
        // Blocks of one texel among noise, as drawn pictures have flat areas.
        std::vector<uint32_t> blocks;
        for (uint32_t i = 0; i < (s / 4 + 1) * (s / 4 + 1); ++i)
            blocks.push_back(random.Alpha() << 24 | (random.Next() & 0xFFFFFF));
        TextureLevel level{s, s, {}};
        for (uint32_t i = 0; i < s * s; ++i)
            level.pixels.push_back(random.Next() % 3 ? blocks[(i / s / 4) * (s / 4 + 1) + i % s / 4]
                                                     : random.Alpha() << 24 | (random.Next() & 0xFFFFFF));
        levels.push_back(level);
    }
    return levels;
}

struct SScene {
    std::vector<TextureLevel> texture;
    std::vector<ScreenVertex> vertices; // triangles
    std::vector<bool> textured;         // per triangle
    std::vector<TextureAddress> addresses;
    std::vector<ScreenBlend> blends;
};

// Quads at whole pixels copying texels 1:1, and turned, scaled or
// half-pixel-placed triangles; one colour (white or not) or three.
SScene MakeScene(uint32_t seed)
{
    CRandom random(seed);
    SScene scene;
    // Every third scene wraps in a size that is not a power of two.
    scene.texture = Texture(random, seed % 3 == 0 ? 12 : 16);
    for (int i = 0; i < 60; ++i) {
        const int kind = int(random.Next() % 4);
        const uint32_t colour
            = random.Next() % 3 == 0 ? 0xFFFFFFFFu : random.Alpha() << 24 | (random.Next() & 0xFFFFFF);
        ScreenVertex v[4];
        if (kind == 0) {
            // A 1:1 copy, its texels offset by whole steps (wrapping shows past the edge).
            const float x = float(int(random.Next() % 60) - 8), y = float(int(random.Next() % 40) - 8);
            const float w = float(4 + random.Next() % 30), h = float(4 + random.Next() % 30);
            const float size = float(scene.texture[0].width);
            const float u0 = float(random.Next() % 16) / size, v0 = float(random.Next() % 16) / size;
            v[0] = {x, y, colour, u0, v0};
            v[1] = {x + w, y, colour, u0 + w / size, v0};
            v[2] = {x + w, y + h, colour, u0 + w / size, v0 + h / size};
            v[3] = {x, y + h, colour, u0, v0 + h / size};
        } else {
            for (ScreenVertex& p : v)
                p = {random.Range(-10.0f, 74.0f), random.Range(-10.0f, 58.0f), colour, random.Range(-1.0f, 2.0f),
                     random.Range(-1.0f, 2.0f)};
            if (kind == 3)
                for (ScreenVertex& p : v)
                    p.argb = random.Alpha() << 24 | (random.Next() & 0xFFFFFF);
        }
        const bool textured = random.Next() % 4 != 0;
        const TextureAddress address = random.Next() % 2 ? TextureAddress::Wrap : TextureAddress::Clamp;
        const ScreenBlend blend = random.Next() % 3 ? ScreenBlend::Normal : ScreenBlend::Additive;
        const int corners[2][3] = {{0, 1, 2}, {0, 2, 3}};
        for (const auto& triangle : corners) {
            for (int corner : triangle)
                scene.vertices.push_back(v[corner]);
            scene.textured.push_back(textured);
            scene.addresses.push_back(address);
            scene.blends.push_back(blend);
        }
    }
    return scene;
}

std::vector<uint32_t> Render(const SScene& scene, bool plain)
{
    const bool before = plat::SetPlainScreenRaster(plain);
    plat::CScreenRaster raster;
    raster.Resize(64, 48);
    raster.Clear(0xFF204060u);
    for (size_t t = 0; t < scene.textured.size(); ++t) {
        const ScreenVertex* v = &scene.vertices[t * 3];
        raster.DrawTriangle(v[0], v[1], v[2], scene.textured[t] ? &scene.texture : nullptr, scene.addresses[t],
                            scene.blends[t]);
    }
    plat::SetPlainScreenRaster(before);
    return raster.GetPixels();
}

TEST(ScreenRaster, SpansGiveThePlainLoopsBytes)
{
    if (!plat::HasSse2() || plat::PlainKernelsRequested())
        GTEST_SKIP() << "only the plain loop runs here";
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        const SScene scene = MakeScene(seed);
        const std::vector<uint32_t> plain = Render(scene, true);
        const std::vector<uint32_t> spans = Render(scene, false);
        ASSERT_EQ(plain.size(), spans.size());
        for (size_t i = 0; i < plain.size(); ++i)
            ASSERT_EQ(spans[i], plain[i]) << "scene " << seed << " pixel " << i % 64 << "," << i / 64;
    }
}

// The scene's draws leave opaque, blended and untouched pixels alike: a
// comparison of two blank pictures would prove nothing.
TEST(ScreenRaster, ComparedScenesCoverEveryOutcome)
{
    const SScene scene = MakeScene(7);
    const std::vector<uint32_t> pixels = Render(scene, true);
    size_t background = 0, other = 0;
    for (uint32_t p : pixels)
        (p == 0xFF204060u ? background : other)++;
    EXPECT_GT(background, 0u);
    EXPECT_GT(other, pixels.size() / 2);
}

} // namespace
