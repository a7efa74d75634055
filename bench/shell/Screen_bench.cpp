// A representative frame on the screen devices: 500 textured 64x64 quads,
// 50 fills and 50 outlines and a line of text (a hundred small fills, as the
// frame-rate font draws), presented, through the in-memory device (drawing,
// as tests do when they read the pixels) and through OpenGL (Mesa's software
// renderer under SDL's off-screen driver). The peer is SDL2's own renderer
// drawing the same scene in the same process, "opengl" with linear and with
// nearest sampling and "software". Times are real time, each frame finished
// (glFinish) before the next, so frames per second are the items per second.
// And the texture a 256x256 frame gets on its first draw: conversion, mip
// chain and upload.

#include "blit/CBlitTypeList.h"
#include "blit/CColor.h"
#include "images/CFrame.h"
#include "images/CFrameAsMipMapTexture.h"
#include "platform/GraphicsDeviceGL.h"
#include "platform/GraphicsDeviceHeadless.h"
#include "shell/CScreenDevice.h"
#include "shell/CScreenFrame.h"

#include "../BenchSupport.h"

#include <SDL.h>
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

// Waits until the current OpenGL context has drawn everything asked of it.
void FinishOpenGL()
{
    using Finish = void (*)();
    static const auto finish = reinterpret_cast<Finish>(SDL_GL_GetProcAddress("glFinish"));
    if (finish && SDL_GL_GetCurrentContext())
        finish();
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

void RepresentativeFrame(benchmark::State& state, plat::CGraphicsDevice& device, bool openGL)
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
        if (openGL)
            FinishOpenGL();
        else
            benchmark::DoNotOptimize(static_cast<plat::CGraphicsDeviceHeadless&>(device).GetPresented().data());
    }
    state.SetItemsProcessed(state.iterations());
    CScreenDevice::SGetInstance().SetDeviceForTesting(nullptr);
}

void BM_ScreenFrameInMemory(benchmark::State& state)
{
    plat::CGraphicsDeviceHeadless device;
    device.SetRecording(false);
    device.SetDesktopSize(1920, 1080);
    RepresentativeFrame(state, device, false);
}
BENCHMARK(BM_ScreenFrameInMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ScreenFrameOpenGL(benchmark::State& state)
{
    std::string reason;
    plat::CGraphicsDevice* device = OpenGL(reason);
    if (!device) {
        state.SkipWithError(("no OpenGL: " + reason).c_str());
        return;
    }
    RepresentativeFrame(state, *device, true);
    if (auto* gl = dynamic_cast<plat::CGraphicsDeviceGL*>(device))
        state.counters["draw_calls"] = double(gl->GetDrawCallsOfLastFrame());
}
BENCHMARK(BM_ScreenFrameOpenGL)->Unit(benchmark::kMillisecond)->UseRealTime();

// SDL2's renderer of the driver on a hidden window of its own, the tile as a
// blended texture with the scale mode.
struct SSdlPeer {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* tile = nullptr;
};

SSdlPeer* SdlPeer(const char* driver, SDL_ScaleMode scale, std::string& reason)
{
    // Our device first: it starts SDL's video under the off-screen driver.
    if (!OpenGL(reason))
        return nullptr;
    RegisterImagesClasses();
    SSdlPeer peer;
    const bool gl = std::string(driver) == "opengl";
    peer.window = SDL_CreateWindow("peer", 0, 0, 1024, 768, SDL_WINDOW_HIDDEN | (gl ? SDL_WINDOW_OPENGL : 0));
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, driver);
    peer.renderer = peer.window ? SDL_CreateRenderer(peer.window, -1, gl ? SDL_RENDERER_ACCELERATED : 0) : nullptr;
    SDL_RendererInfo info{};
    if (!peer.renderer || SDL_GetRendererInfo(peer.renderer, &info) != 0 || std::string(info.name) != driver) {
        reason = std::string("no SDL renderer \"") + driver + "\": " + SDL_GetError();
        return nullptr;
    }
    auto frame = Tile(64);
    peer.tile = SDL_CreateTexture(peer.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, 64, 64);
    if (!peer.tile) {
        reason = SDL_GetError();
        return nullptr;
    }
    SDL_UpdateTexture(peer.tile, nullptr, frame->Row(0), int(frame->Row(1) - frame->Row(0)));
    SDL_SetTextureBlendMode(peer.tile, SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(peer.tile, scale);
    SDL_SetRenderDrawBlendMode(peer.renderer, SDL_BLENDMODE_BLEND);
    return new SSdlPeer(peer);
}

void SdlRepresentativeFrame(benchmark::State& state, SSdlPeer* peer, const std::string& reason)
{
    if (!peer) {
        state.SkipWithError(reason.c_str());
        return;
    }
    SDL_Renderer* r = peer->renderer;
    for (auto _ : state) {
        SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
        SDL_RenderClear(r);
        for (int i = 0; i < 500; ++i) {
            const SDL_Rect d{(i * 37) % 960, (i * 53) % 704, 64, 64};
            SDL_RenderCopy(r, peer->tile, nullptr, &d);
        }
        for (int i = 0; i < 50; ++i) {
            const SDL_Rect d{(i * 91) % 900, (i * 67) % 700, 100, 50};
            SDL_SetRenderDrawColor(r, 40, 120, 200, 160);
            SDL_RenderFillRect(r, &d);
            SDL_SetRenderDrawColor(r, 255, 255, 255, 255);
            SDL_RenderDrawRect(r, &d);
        }
        SDL_SetRenderDrawColor(r, 250, 250, 250, 255);
        for (int i = 0; i < 100; ++i) {
            const SDL_Rect d{300 + i * 4, 20 + (i % 5) * 2, 2, 2};
            SDL_RenderFillRect(r, &d);
        }
        SDL_RenderPresent(r);
        FinishOpenGL();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_SdlRendererOpenGLLinear(benchmark::State& state)
{
    std::string reason;
    static SSdlPeer* const peer = SdlPeer("opengl", SDL_ScaleModeLinear, reason);
    SdlRepresentativeFrame(state, peer, reason.empty() ? "no SDL renderer" : reason);
}
BENCHMARK(BM_SdlRendererOpenGLLinear)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SdlRendererOpenGLNearest(benchmark::State& state)
{
    std::string reason;
    static SSdlPeer* const peer = SdlPeer("opengl", SDL_ScaleModeNearest, reason);
    SdlRepresentativeFrame(state, peer, reason.empty() ? "no SDL renderer" : reason);
}
BENCHMARK(BM_SdlRendererOpenGLNearest)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SdlRendererSoftware(benchmark::State& state)
{
    std::string reason;
    static SSdlPeer* const peer = SdlPeer("software", SDL_ScaleModeNearest, reason);
    SdlRepresentativeFrame(state, peer, reason.empty() ? "no SDL renderer" : reason);
}
BENCHMARK(BM_SdlRendererSoftware)->Unit(benchmark::kMillisecond)->UseRealTime();

// The OpenGL frame against SDL's: at most 1.0 against linear sampling.
[[maybe_unused]] const bool g_SdlPeers = bench::AddPeer("BM_ScreenFrameOpenGL", "BM_SdlRendererOpenGLLinear")
    && bench::AddPeer("BM_ScreenFrameOpenGL", "BM_SdlRendererOpenGLNearest")
    && bench::AddPeer("BM_ScreenFrameOpenGL", "BM_SdlRendererSoftware");

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
