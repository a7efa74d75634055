// One waiting customer: a 64 x 96 figure with soft edges, its balloon and
// nine hearts, headless at 1024 x 768. Measured: the grab test of one point
// (a pixel of the figure, and a clear pixel beside it under the balloon),
// against the sprite's own hit test of the same point, and one draw.
#include "bench/BenchSupport.h"
#include "foundation/FilePaths.h"
#include "game/business/CCustomer.h"
#include "game/scripting/CSprite.h"
#include "game/world/CGeneralObjects.h"
#include "images/CFrame.h"
#include "program/RegisterAllClasses.h"
#include "sequences/CSequenceList.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

// A 32-bit TGA, rows top to bottom, of RGBA bytes.
void WriteTga(const std::filesystem::path& path, const std::vector<uint8_t>& rgba, uint32_t w, uint32_t h)
{
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = char(w & 0xFF), bytes[13] = char(w >> 8);
    bytes[14] = char(h & 0xFF), bytes[15] = char(h >> 8);
    bytes[16] = 32;
    bytes[17] = 0x28;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        bytes += char(rgba[i + 2]);
        bytes += char(rgba[i + 1]);
        bytes += char(rgba[i]);
        bytes += char(rgba[i + 3]);
    }
    std::ofstream(path, std::ios::binary) << bytes;
}

// An ellipse filling the box, edges faded over two pixels.
std::vector<uint8_t> Figure(uint32_t w, uint32_t h, uint8_t red, uint8_t green, uint8_t blue)
{
    std::vector<uint8_t> rgba(size_t(w) * h * 4);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            const float dx = (float(x) + 0.5f - float(w) / 2.0f) / (float(w) / 2.0f);
            const float dy = (float(y) + 0.5f - float(h) / 2.0f) / (float(h) / 2.0f);
            const float inside = (1.0f - std::sqrt(dx * dx + dy * dy)) * float(std::min(w, h)) / 4.0f;
            uint8_t* p = &rgba[(size_t(y) * w + x) * 4];
            p[0] = red, p[1] = green, p[2] = blue;
            p[3] = uint8_t(std::clamp(inside, 0.0f, 1.0f) * 255.0f);
        }
    return rgba;
}

struct Scene {
    Scene()
    {
        const std::filesystem::path folder = bench::MakeFolder("customer_draw");
        const auto sequence = [&](const char* name, uint32_t w, uint32_t h, uint8_t r, uint8_t g, uint8_t b) {
            const std::filesystem::path images = folder / "Resources/Sequences" / (std::string("-") + name);
            std::filesystem::create_directories(images);
            WriteTga(images / "0001.tga", Figure(w, h, r, g, b), w, h);
        };
        sequence("!None", 4, 4, 0, 0, 0);
        sequence("Customer", 64, 96, 200, 150, 120);
        sequence("Caption", 160, 80, 250, 250, 250);
        sequence("Need Menu", 48, 48, 240, 200, 60);
        sequence("Heart Full", 16, 14, 220, 30, 40);
        sequence("Heart Empty", 16, 14, 90, 90, 90);
        sequence("Heart Empty Warning", 16, 14, 200, 120, 0);
        std::ofstream(folder / "Resources/Customer Options.Object.txt")
            << "CCustomerOptions\r\n{\r\n\tBox Offset=40,-110\r\n\tFirst Heart Offset=-70,60\r\n"
               "\tOffset Between Hearts=16,0\r\n}\r\n";
        std::filesystem::current_path(folder);
        SetDataFolder(".");
        RegisterAllClasses();
        GetSequenceList().SetSource(nullptr, "Resources/Sequences", 0);
        InitGeneralObjects();
        sprite = std::make_unique<CSprite>();
        customer = new CCustomer;
        sprite->AddAI(customer);
        sprite->SetImageSequence(uint32_t(GetSequenceList().Find("Customer")));
        sprite->SetPosition(300.0f, 300.0f);
        canvas = CFrame::MakeOwned(1024, 768, 32);
    }
    std::unique_ptr<CSprite> sprite;
    CCustomer* customer = nullptr;
    std::unique_ptr<CFrame> canvas;
};

Scene& TheScene()
{
    static Scene scene;
    return scene;
}

void BM_CustomerGrabTestHit(benchmark::State& state)
{
    Scene& scene = TheScene();
    bool hit = false;
    for (auto _ : state)
        benchmark::DoNotOptimize(hit = scene.customer->IsOpaqueAt(300, 300));
    if (!hit)
        state.SkipWithError("the figure's centre should be opaque");
}
BENCHMARK(BM_CustomerGrabTestHit);

void BM_CustomerGrabTestMissUnderBalloon(benchmark::State& state)
{
    Scene& scene = TheScene();
    bool hit = true;
    for (auto _ : state)
        benchmark::DoNotOptimize(hit = scene.customer->IsOpaqueAt(340, 190));
    if (hit)
        state.SkipWithError("the balloon must not count as the customer");
}
BENCHMARK(BM_CustomerGrabTestMissUnderBalloon);

void BM_SpriteHitTestSamePoint(benchmark::State& state)
{
    Scene& scene = TheScene();
    for (auto _ : state)
        benchmark::DoNotOptimize(scene.sprite->HitTest(340, 190));
}
BENCHMARK(BM_SpriteHitTestSamePoint);

void BM_WaitingCustomerDraw(benchmark::State& state)
{
    Scene& scene = TheScene();
    for (auto _ : state)
        scene.sprite->DrawAllPasses(*scene.canvas);
}
BENCHMARK(BM_WaitingCustomerDraw);

OMBRISALT_BENCH_PEER(BM_CustomerGrabTestMissUnderBalloon, BM_SpriteHitTestSamePoint);

} // namespace
