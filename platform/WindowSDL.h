#pragma once
// The window on a real display, through SDL2. No SDL type appears here.
// SDL's own handlers turn SIGINT and SIGTERM into a Quit event, and only
// they: a closed window sends a Close alone.

#include "platform/WindowDevice.h"

#include <deque>
#include <functional>
#include <string>

struct SDL_Window;

namespace plat {

class CWindowSDL final : public CWindowDevice {
public:
    CWindowSDL() = default;
    ~CWindowSDL() override;
    CWindowSDL(const CWindowSDL&) = delete;
    CWindowSDL& operator=(const CWindowSDL&) = delete;

    bool Create(std::string_view title, int32_t width, int32_t height) override;
    bool IsCreated() const override { return m_Window != nullptr; }
    void Destroy() override;
    void SetClientSize(int32_t width, int32_t height) override;
    bool PollEvent(WindowEvent& event) override;
    bool HasFocus() const override;
    bool IsMinimised() const override;
    bool Present(const PictureView& picture) override;
    void ShowSystemCursor(bool show) override;
    void WarpCursor(int32_t x, int32_t y) override;
    std::string_view GetLastError() const override { return m_LastError; }

    // For the screen device, inside the platform layer only.
    ::SDL_Window* GetSDLWindow() const { return m_Window; }
    // Full screen: no frame, above other windows, covering the whole display
    // (the size only when the display's is unknown). Windowed: framed, the
    // client size, centred.
    // Returns once the window system has answered (or has let a moment
    // pass): the size asked is not always the size given.
    void PlaceForMode(bool fullScreen, int32_t width, int32_t height);
    // The client area as the window system reports it now.
    void GetClientPlacement(int32_t& x, int32_t& y, int32_t& width, int32_t& height) const;
    void MoveTo(int32_t x, int32_t y);
    // A window that is never shown (off-screen drawing).
    void SetHidden(bool hidden) { m_Hidden = hidden; }
    // Runs before the window and the display connection go: an OpenGL context
    // still alive when the display closes can hang the driver.
    void SetBeforeDestroy(std::function<void()> call) { m_BeforeDestroy = std::move(call); }

protected:
    bool IsTerminationWaiting() const override;

private:
    void TranslatePending();

    ::SDL_Window* m_Window = nullptr;
    std::deque<WindowEvent> m_Pending;
    std::string m_LastError;
    std::function<void()> m_BeforeDestroy;
    bool m_VideoStarted = false;
    bool m_Hidden = false;
};

} // namespace plat
