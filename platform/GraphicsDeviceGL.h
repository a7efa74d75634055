#pragma once
// The screen device on a real display: OpenGL 3.3 core on the SDL2 game
// window. Drawing goes into an off-screen back buffer of the mode's size;
// Present scales it into the window, so a full-screen window of another size
// shows the same picture. No OpenGL or SDL type appears here.

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
    ShownArea GetShownArea() const override;

    // The device closes the window when it goes.
    void AdoptWindow(std::unique_ptr<CWindowSDL> window);

    struct State;

private:
    std::unique_ptr<State> m_State;
};

// A device on its own hidden window under SDL's off-screen video driver
// (OpenGL without a display, through EGL). Null with the reason when no
// OpenGL 3.3 context can be had.
std::unique_ptr<CGraphicsDevice> CreateOffscreenGLGraphicsDevice(int32_t width, int32_t height, std::string& reason);

} // namespace plat
