#pragma once
// The display mode: the back buffer's size for a requested mode, the
// desktop and one option, and the one affine mapping between game
// coordinates and back-buffer (window) pixels that drawing, the mouse and the
// safe-zone rectangle share.
//
// Size rules (SetSize): the back buffer is 4:3 from the requested height;
// full screen takes the desktop's size when "Full screen uses Desktop
// Resolution" is on; a window that would not fit on the desktop with its
// frame (30 pixels across, 100 down) shrinks by the smaller ratio.
//
// Full screen is a frameless window covering the display, which is never
// switched to the mode: the back buffer is stretched over the window as a
// display of the mode's size would show it (1024 x 768 over a 1280 x 1024
// desktop, 1.25 across and 4/3 down; a desktop-sized one 1:1). The mode
// counts as set only when the display has at least the back buffer's columns
// and rows and the window got at least that size; otherwise Create fails and
// the window modes fall back.
//
// Mapping (SetTransforms): the game area is scaled to fit the back buffer
// whole and centred; what is left on one axis is the letterbox the screen
// frame covers with black bars. Pixel centres need no half-pixel shift here:
// the device already samples at them.

#include "foundation/CJString.h"
#include "images/CFrameAsMipMapTexture.h"

#include <cstdint>

namespace plat {
class CScreenDevice;
}

class CScreenDevice {
public:
    static CScreenDevice& SGetInstance();

    // Creates or resets the platform's device for the mode; false with the
    // reason in GetScreenLastError.
    bool Create(bool fullScreen, uint32_t width, uint32_t height);
    void SetSize(bool fullScreen, uint32_t width, uint32_t height);
    void SetTransforms(uint32_t frameWidth, uint32_t frameHeight);

    // Back-buffer pixels to game coordinates and back, exact inverses.
    void WindowToGame(float& x, float& y) const;
    void GameToWindow(float& x, float& y) const;
    // Points of the window the user sees (those of mouse events) to game
    // coordinates and back: where the device shows the back buffer in the
    // window (stretched over a full screen, centred in a window of another
    // shape), then the view.
    void ClientToGame(float& x, float& y) const;
    void GameToClient(float& x, float& y) const;
    // The window changed size or place: drawing and the mouse follow its
    // real size (a full-screen window goes back to the desktop's origin).
    void FollowWindow();
    // Nothing to ask: the OpenGL device is not lost to other programs.
    void PollCooperativeLevel() {}

    uint32_t GetBackBufferWidth() const { return m_BackBufferWidth; }
    uint32_t GetBackBufferHeight() const { return m_BackBufferHeight; }
    const SScreenView& GetView() const { return m_View; }
    plat::CGraphicsDevice& GetDevice() const;
    // What texture draws go to: the device and the view.
    SScreenTarget GetTarget() const { return {GetDevice(), m_View}; }

    // Tests: another device (null: the platform's), forgets the desktop size
    // and the picture's mapping.
    void SetDeviceForTesting(plat::CGraphicsDevice* device);

private:
    CScreenDevice() = default;
    bool FullScreenWindowIsUsable() const;

    bool m_SizeSet = false;
    uint32_t m_BackBufferWidth = 10;
    uint32_t m_BackBufferHeight = 10;
    int32_t m_DesktopWidth = 0;
    int32_t m_DesktopHeight = 0;
    bool m_DesktopKnown = false;
    SScreenView m_View;
    plat::CGraphicsDevice* m_Device = nullptr;
};

bool IsScreenDeviceReady();
void SetScreenDeviceReady(bool ready);
bool GetUseDesktopResolution();
void SetUseDesktopResolution(bool use);
// Why the last mode set failed.
const CJString& GetScreenLastError();
