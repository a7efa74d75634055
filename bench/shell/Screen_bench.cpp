// A representative frame on the screen devices: 500 textured 64x64 quads,
// 50 fills and 50 outlines and a line of text (a hundred small fills, as the
// frame-rate font draws), presented, through the in-memory device and
// through OpenGL (Mesa's software renderer under SDL's off-screen driver);
// frames per second are the items per second. And the texture a 256x256
// frame gets on its first draw: conversion, mip chain and upload.

#include "blit/CBlitTypeList.h"
#include "blit/CColor.h"
#include "images/CFrame.h"
#include "images/CFrameAsMipMapTexture.h"
#include "platform/GraphicsDeviceGL.h"
#include "platform/GraphicsDeviceHeadless.h"
#include "shell/CScreenDevice.h"
#include "shell/CScreenFrame.h"

#include "../BenchSupport.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

plat::CGraphicsDevice* OpenGL(std::string& reason)
{
    static std::string why;
    static plat::CGraphicsDevice* const device = plat::CreateOffscreenGLGraphicsDevice(1024, 768, why).release();
    reason = why;
    return device;
}

std::unique_ptr<CFrame> Tile(uint32_t size)
{
    auto frame = CFrame::MakeOwned(size, size, 32);
    for (uint32_t y = 0; y < size; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(frame->Row(y));
        for (uint32_t x = 0; x < size; ++x)
            row[x] = ((x ^ y) & 8 ? 0xFFu : 0x80u) << 24 | (x & 0xFF) << 16 | (y & 0xFF) << 8 | 0x40;
    }
    return frame;
}

// The screen in a 1024 by 768 mode on the device.
bool UseDevice(plat::CGraphicsDevice& device)
{
    static const std::filesystem::path folder = [] {
        auto made = bench::MakeFolder("screen");
        std::filesystem::current_path(made);
        return made;
    }();
    RegisterImagesClasses();
    CScreenDevice::SGetInstance().SetDeviceForTesting(&device);
    SetUseDesktopResolution(false);
    return CScreenFrame::SGetInstance().SetScreenMode(true);
}

void RepresentativeFrame(benchmark::State& state, plat::CGraphicsDevice& device)
{
    if (!UseDevice(device)) {
        state.SkipWithError("the mode cannot be set");
        return;
    }
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    auto tile = Tile(64);
    CColor fill(40, 120, 200, 160), outline(255, 255, 255, 255), text(250, 250, 250, 255);
    const CRect whole{0, 0, 64, 64};
    for (auto _ : state) {
        for (int32_t i = 0; i < 500; ++i) {
            const int32_t x = (i * 37) % 960, y = (i * 53) % 704;
            screen.Blit(*tile, whole, CRect{x, y, x + 64, y + 64}, GetNormalBlitType());
        }
        for (int32_t i = 0; i < 50; ++i) {
            const int32_t x = (i * 91) % 900, y = (i * 67) % 700;
            screen.FillRect(CRect{x, y, x + 100, y + 50}, fill);
            screen.DrawRect(CRect{x, y, x + 100, y + 50}, outline);
        }
        for (int32_t i = 0; i < 100; ++i)
            screen.FillRect(CRect{300 + i * 4, 20 + (i % 5) * 2, 302 + i * 4, 22 + (i % 5) * 2}, text);
        screen.Present();
    }
    state.SetItemsProcessed(state.iterations());
    CScreenDevice::SGetInstance().SetDeviceForTesting(nullptr);
}

void BM_ScreenFrameInMemory(benchmark::State& state)
{
    plat::CGraphicsDeviceHeadless device;
    device.SetRecording(false);
    device.SetDesktopSize(1920, 1080);
    RepresentativeFrame(state, device);
}
BENCHMARK(BM_ScreenFrameInMemory)->Unit(benchmark::kMillisecond);

void BM_ScreenFrameOpenGL(benchmark::State& state)
{
    std::string reason;
    plat::CGraphicsDevice* device = OpenGL(reason);
    if (!device) {
        state.SkipWithError(("no OpenGL: " + reason).c_str());
        return;
    }
    RepresentativeFrame(state, *device);
}
BENCHMARK(BM_ScreenFrameOpenGL)->Unit(benchmark::kMillisecond);
OMBRISALT_BENCH_PEER(BM_ScreenFrameOpenGL, BM_ScreenFrameInMemory);

void TextureCreation(benchmark::State& state, plat::CGraphicsDevice& device)
{
    RegisterImagesClasses();
    auto frame = Tile(256);
    for (auto _ : state) {
        CFrameAsMipMapTexture texture;
        benchmark::DoNotOptimize(texture.CreateData(*frame, device));
    }
}

void BM_TextureCreationInMemory(benchmark::State& state)
{
    plat::CGraphicsDeviceHeadless device;
    if (!device.Reset(64, 64, false))
        return;
    TextureCreation(state, device);
}
BENCHMARK(BM_TextureCreationInMemory)->Unit(benchmark::kMicrosecond);

void BM_TextureCreationOpenGL(benchmark::State& state)
{
    std::string reason;
    plat::CGraphicsDevice* device = OpenGL(reason);
    if (!device) {
        state.SkipWithError(("no OpenGL: " + reason).c_str());
        return;
    }
    TextureCreation(state, *device);
}
BENCHMARK(BM_TextureCreationOpenGL)->Unit(benchmark::kMicrosecond);
OMBRISALT_BENCH_PEER(BM_TextureCreationOpenGL, BM_TextureCreationInMemory);

} // namespace
