#include "shell/CScreenDevice.h"

#include "foundation/CIniSection.h"
#include "platform/CPlatform.h"
#include "platform/GraphicsDevice.h"

#include <algorithm>
#include <cmath>

namespace {

bool g_ScreenDeviceReady = false;

CJString& LastError()
{
    static CJString* const text = new CJString;
    return *text;
}

} // namespace

CScreenDevice& CScreenDevice::SGetInstance()
{
    static CScreenDevice* const instance = new CScreenDevice;
    return *instance;
}

plat::CGraphicsDevice& CScreenDevice::GetDevice() const
{
    return m_Device ? *m_Device : plat::GetPlatform().GetGraphicsDevice();
}

void CScreenDevice::SetDeviceForTesting(plat::CGraphicsDevice* device)
{
    m_Device = device;
    m_DesktopKnown = false;
    m_SizeSet = false;
    m_BackBufferWidth = m_BackBufferHeight = 10;
    // As a new start has it: a picture letterboxed for one device maps no
    // pointer for the next.
    m_View = SScreenView();
}

void CScreenDevice::SetSize(bool fullScreen, uint32_t width, uint32_t height)
{
    m_SizeSet = true;
    m_BackBufferHeight = height;
    m_BackBufferWidth = uint32_t(float(height) * 1.3333334f);
    const int64_t desktopWidth = m_DesktopWidth;
    const int64_t desktopHeight = m_DesktopHeight;
    if (fullScreen) {
        if ((desktopWidth >= int64_t(width) || desktopHeight >= int64_t(height)) && GetUseDesktopResolution()) {
            m_BackBufferWidth = uint32_t(desktopWidth);
            m_BackBufferHeight = uint32_t(desktopHeight);
        }
        return;
    }
    if (desktopWidth >= int64_t(width) + 30 && desktopHeight >= int64_t(height) + 100)
        return;
    const double factor = std::min(double(desktopWidth) / double(int64_t(width) + 30),
                                   double(desktopHeight) / double(int64_t(height) + 100));
    m_BackBufferWidth = uint32_t(std::lround(double(width) * factor));
    m_BackBufferHeight = uint32_t(std::lround(double(height) * factor));
}

void CScreenDevice::SetTransforms(uint32_t frameWidth, uint32_t frameHeight)
{
    if (frameWidth == 0 || frameHeight == 0 || m_BackBufferWidth == 0 || m_BackBufferHeight == 0)
        return;
    const double w = frameWidth, h = frameHeight;
    const double bw = m_BackBufferWidth, bh = m_BackBufferHeight;
    // The game area fits whole; its centre sits on the back buffer's centre.
    const double scale = h / bh >= w / bw ? bh / h : bw / w;
    m_View.scale = float(scale);
    m_View.offsetX = float(bw / 2.0 - w / 2.0 * scale);
    m_View.offsetY = float(bh / 2.0 - h / 2.0 * scale);
}

void CScreenDevice::WindowToGame(float& x, float& y) const
{
    x = (x - m_View.offsetX) / m_View.scale;
    y = (y - m_View.offsetY) / m_View.scale;
}

void CScreenDevice::GameToWindow(float& x, float& y) const
{
    x = x * m_View.scale + m_View.offsetX;
    y = y * m_View.scale + m_View.offsetY;
}

namespace {

// The shown size over the back buffer's, per axis: exactly how Present
// stretches it.
void ShownScale(const plat::CGraphicsDevice& device, const plat::ShownArea& area, double& scaleX, double& scaleY)
{
    const int32_t width = device.GetBackBufferWidth();
    const int32_t height = device.GetBackBufferHeight();
    scaleX = width > 0 && area.width > 0 ? double(area.width) / width : 1.0;
    scaleY = height > 0 && area.height > 0 ? double(area.height) / height : 1.0;
}

} // namespace

void CScreenDevice::ClientToGame(float& x, float& y) const
{
    const plat::CGraphicsDevice& device = GetDevice();
    const plat::ShownArea area = device.GetShownArea();
    double scaleX = 1.0, scaleY = 1.0;
    ShownScale(device, area, scaleX, scaleY);
    x = float((double(x) - area.left) / scaleX);
    y = float((double(y) - area.top) / scaleY);
    WindowToGame(x, y);
}

void CScreenDevice::GameToClient(float& x, float& y) const
{
    GameToWindow(x, y);
    const plat::CGraphicsDevice& device = GetDevice();
    const plat::ShownArea area = device.GetShownArea();
    double scaleX = 1.0, scaleY = 1.0;
    ShownScale(device, area, scaleX, scaleY);
    x = float(double(x) * scaleX + area.left);
    y = float(double(y) * scaleY + area.top);
}

bool CScreenDevice::Create(bool fullScreen, uint32_t width, uint32_t height)
{
    plat::CGraphicsDevice& device = GetDevice();
    if (!m_DesktopKnown) {
        device.GetDesktopSize(m_DesktopWidth, m_DesktopHeight);
        m_DesktopKnown = true;
    }
    SetSize(fullScreen, width, height);
    if (!device.Reset(int32_t(m_BackBufferWidth), int32_t(m_BackBufferHeight), fullScreen)) {
        const std::string reason(device.GetLastError());
        LastError() = reason.c_str();
        return false;
    }
    if (fullScreen && !FullScreenWindowIsUsable()) {
        int32_t clientWidth = 0, clientHeight = 0;
        device.GetClientSize(clientWidth, clientHeight);
        LastError().Format("The window did not take the full screen mode of %ux%u (it is %dx%d on a %dx%d desktop).",
                           m_BackBufferWidth, m_BackBufferHeight, clientWidth, clientHeight, m_DesktopWidth,
                           m_DesktopHeight);
        return false;
    }
    SetTransforms(width, height);
    device.Clear(0xFF000000u);
    return true;
}

// A display with fewer columns or rows than the back buffer could not have
// been switched to the mode; a window that got less than that size would
// shrink the picture instead of covering the display.
bool CScreenDevice::FullScreenWindowIsUsable() const
{
    int32_t clientWidth = 0, clientHeight = 0;
    GetDevice().GetClientSize(clientWidth, clientHeight);
    const int64_t width = m_BackBufferWidth, height = m_BackBufferHeight;
    const bool windowTookIt = clientWidth >= width && clientHeight >= height;
    const bool desktopShowsIt = m_DesktopWidth <= 0 || m_DesktopHeight <= 0
        || (width <= m_DesktopWidth && height <= m_DesktopHeight);
    return windowTookIt && desktopShowsIt;
}

void CScreenDevice::FollowWindow()
{
    GetDevice().FollowWindow();
}

bool IsScreenDeviceReady()
{
    return g_ScreenDeviceReady;
}

void SetScreenDeviceReady(bool ready)
{
    g_ScreenDeviceReady = ready;
}

bool GetUseDesktopResolution()
{
    return GetOptionsSection().GetInt("Full screen uses Desktop Resolution", 0) != 0;
}

void SetUseDesktopResolution(bool use)
{
    GetOptionsSection().SetInt("Full screen uses Desktop Resolution", use ? 1 : 0);
}

const CJString& GetScreenLastError()
{
    return LastError();
}
