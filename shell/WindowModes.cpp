#include "shell/WindowModes.h"

#include "foundation/CJString.h"
#include "foundation/FatalError.h"
#include "shell/CGameBase.h"
#include "shell/CScreenDevice.h"
#include "shell/CScreenFrame.h"
#include "shell/GameWindow.h"

#include <string>

namespace {

bool g_FullScreenFailed = false;
bool g_WindowedFailed = false;

[[noreturn]] void NoScreenMode()
{
    std::string text = "No valid screen mode can be initialized\n%s[LastError]\n\nCheck that you have the latest "
                       "video drivers installed.";
    const std::string marker = "%s[LastError]";
    const std::string reason = GetScreenLastError().GetString();
    for (size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at + reason.size()))
        text.replace(at, marker.size(), reason);
    CGameBase::SSetShuttingDown(true);
    // A failure, not the orderly end a zero status would report.
    FatalDataError("Fatal Error!", text.c_str());
}

} // namespace

void SwitchToFullScreen(bool)
{
    if (g_FullScreenFailed) {
        if (g_WindowedFailed)
            NoScreenMode();
        SwitchToWindowed(false);
        return;
    }
    if (!IsScreenDeviceReady())
        return;
    if (CScreenFrame::SGetInstance().SetScreenMode(true))
        return;
    g_FullScreenFailed = true;
    if (g_WindowedFailed)
        NoScreenMode();
    SwitchToWindowed(false);
}

void SwitchToWindowed(bool noFallback)
{
    if (!IsScreenDeviceReady())
        return;
    if (CScreenFrame::SGetInstance().SetScreenMode(false))
        return;
    if (g_FullScreenFailed)
        NoScreenMode();
    if (noFallback)
        return;
    g_WindowedFailed = true;
    SwitchToFullScreen(false);
}

void ToggleWindowModeByKey()
{
    if (!IsScreenDeviceReady())
        return;
    if (CScreenFrame::SGetInstance().IsFullScreen())
        SwitchToWindowed(false);
    else
        SwitchToFullScreen(false);
    if (CMessagePumpClient* client = GetMessagePumpClient())
        client->OnDisplayModeChanged();
}

void ResetWindowModeFailures()
{
    g_FullScreenFailed = false;
    g_WindowedFailed = false;
}
