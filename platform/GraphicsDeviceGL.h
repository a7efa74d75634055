#pragma once
// The screen device on a real display: OpenGL 3.3 core on the SDL2 game
// window. Drawing goes straight into the window's back buffer through a
// viewport: windowed, it shows the mode's back buffer whole and centred in a
// window of another size; full screen, it stretches the back buffer over the
// whole window, as a display switched to the mode would show it.
//
// Draw calls are queued: consecutive calls that share texture, sampler,
// blend and primitive go out as one draw from one streamed vertex buffer
// when the state changes, at Present and at ReadBack. Horizontal and
// vertical line segments are queued as the quads of the pixels they light,
// so outlines join the fills around them. A draw that copies texels 1:1 at
// whole pixels samples nearest; others filter linearly between mip levels.
// The window is placed for the mode by the device itself (no SDL
// full-screen state); the size it really got is what the viewport and the
// mouse mapping use. No OpenGL or SDL type appears here.

#include "platform/GraphicsDevice.h"

#include <memory>
#include <string>

namespace plat {

class CWindowSDL;

class CGraphicsDeviceGL final : public CGraphicsDevice {
public:
    // Draws in the window, which must outlive the device.
    explicit CGraphicsDeviceGL(CWindowSDL& window);
    ~CGraphicsDeviceGL() override;
    CGraphicsDeviceGL(const CGraphicsDeviceGL&) = delete;
    CGraphicsDeviceGL& operator=(const CGraphicsDeviceGL&) = delete;

    bool Reset(int32_t backWidth, int32_t backHeight, bool fullScreen) override;
    bool IsCreated() const override;
    int32_t GetBackBufferWidth() const override;
    int32_t GetBackBufferHeight() const override;
    bool IsFullScreen() const override;
    void GetDesktopSize(int32_t& width, int32_t& height) override;
    std::shared_ptr<CScreenTexture> CreateTexture(std::vector<TextureLevel> levels) override;
    size_t GetTextureCount() const override;
    size_t GetTextureBytes() const override;
    bool DrawTriangles(const ScreenVertex* vertices, size_t count, const CScreenTexture* texture,
                       TextureAddress address, ScreenBlend blend) override;
    bool DrawLineStrip(const ScreenVertex* vertices, size_t count, ScreenBlend blend) override;
    void Clear(uint32_t argb) override;
    bool Present() override;
    bool ReadBack(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height) override;
    std::string_view GetLastError() const override;
    void GetClientSize(int32_t& width, int32_t& height) const override;
    void FollowWindow() override;

    // The device closes the window when it goes.
    void AdoptWindow(std::unique_ptr<CWindowSDL> window);
    // OpenGL draws issued between the last two presents.
    size_t GetDrawCallsOfLastFrame() const;

    struct State;

private:
    std::unique_ptr<State> m_State;
};

// A device on its own hidden window under SDL's off-screen video driver
// (OpenGL without a display, through EGL). Null with the reason when no
// OpenGL 3.3 context can be had.
std::unique_ptr<CGraphicsDevice> CreateOffscreenGLGraphicsDevice(int32_t width, int32_t height, std::string& reason);

} // namespace plat
