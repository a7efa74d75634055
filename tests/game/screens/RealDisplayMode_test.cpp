// Under a virtual X display, the display options window takes the real SDL
// window to full screen and back, each switch on the update after its click:
// the window's placement (full screen: no frame, covering the display) and
// the back buffer the OpenGL device draws follow the choice. Xvfb runs no
// window manager: the program places its full-screen window itself.
#include "support/VirtualDisplay.h"

#include "game/screens/CGameOptionsWindows.h"
#include "platform/CPlatform.h"
#include "platform/Clock.h"
#include "platform/GraphicsDevice.h"
#include "platform/WindowDevice.h"
#include "shell/CScreenDevice.h"
#include "shell/CScreenFrame.h"
#include "shell/GameWindow.h"
#include "ui/CJCheckBox.h"
#include "ui/RealWindowSupport.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr char kTitle[] = "Ombrisalt display options";
constexpr char kChildTest[] = "ChildProcess.DisplayOptionsSwitchTheRealWindow";

class RealDisplayMode : public CRealWindowTest {};

TEST_F(RealDisplayMode, TheDisplayWindowSwitchesToFullScreenAndBack)
{
    if (!CVirtualDisplay::IsInstalled())
        GTEST_SKIP() << "no Xvfb";
    // A desktop larger than the game: the window fits it whole, and the
    // desktop's resolution differs from the stretched 1024 x 768.
    CVirtualDisplay display("1280x1024x24");
    ASSERT_TRUE(display.Start(PathOf("xvfb.err"))) << ReadBytes(PathOf("xvfb.err"));
    ASSERT_EQ(RunChildOnDisplay(display, Folder(), kChildTest, PathOf("child.out")), 0) << ChildOutput();
    EXPECT_EQ(ReadBytes(PathOf("events.txt")), "windowed 1024x768 in 1024x768\n"
                                               "full screen 1024x768 in 1280x1024\n"
                                               "full screen 1280x1024 in 1280x1024\n"
                                               "windowed 1024x768 in 1024x768\n")
        << ChildOutput();
}

// What the window shows once it has the mode: full screen or windowed, the
// back buffer's size and the window's it is shown in.
std::string WaitForMode(SDL_Window* window, bool fullScreen)
{
    bool full = !fullScreen;
    for (int pass = 0; pass < 300 && full != fullScreen; ++pass) {
        RunMessageLoop();
        int x = -1, y = -1;
        SDL_GetWindowPosition(window, &x, &y);
        full = (SDL_GetWindowFlags(window) & SDL_WINDOW_BORDERLESS) != 0 && x == 0 && y == 0;
        if (full != fullScreen)
            plat::SleepMs(10);
    }
    if (full != CScreenFrame::SGetInstance().IsFullScreen())
        return "the window and the screen disagree";
    const plat::CGraphicsDevice& device = plat::GetPlatform().GetGraphicsDevice();
    int width = 0, height = 0;
    SDL_GetWindowSize(window, &width, &height);
    return std::string(full ? "full screen " : "windowed ") + std::to_string(device.GetBackBufferWidth()) + "x" +
        std::to_string(device.GetBackBufferHeight()) + " in " + std::to_string(width) + "x" + std::to_string(height);
}

// The second run: the real window with the screen device on it, and the
// display window's buttons clicked as the player would.
TEST(ChildProcess, DisplayOptionsSwitchTheRealWindow)
{
    if (plat::ChoosePlatformKind() != plat::PlatformKind::SDL)
        GTEST_SKIP() << "no display";
    std::vector<std::string> log;
    plat::CWindowDevice& device = plat::GetPlatform().GetWindow();
    ASSERT_TRUE(device.Create(kTitle, 1024, 768)) << device.GetLastError();
    SetScreenDeviceReady(true);
    CScreenFrame& screen = CScreenFrame::SGetInstance();
    ASSERT_TRUE(screen.SetScreenMode(false)) << GetScreenLastError().GetString();
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    ASSERT_NE(window, nullptr);
    auto* options = new CGameVideoOptions(nullptr);
    log.push_back(WaitForMode(window, false));
    const auto choose = [&](CJRadioButton* button, bool fullScreen) {
        button->Click();
        // Not inside the click.
        EXPECT_NE(screen.IsFullScreen(), fullScreen);
        options->Update(1.0f / 60.0f);
        log.push_back(WaitForMode(window, fullScreen));
    };
    choose(options->GetFullScreenButton(), true);
    options->GetDesktopButton()->Click();
    options->Update(1.0f / 60.0f);
    log.push_back(WaitForMode(window, true));
    choose(options->GetWindowedButton(), false);
    options->Destroy();
    SetScreenDeviceReady(false);
    WriteLog(log, "events.txt");
    device.Destroy();
}

} // namespace
