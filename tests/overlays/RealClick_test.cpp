// Under a virtual X display, a click played into the real SDL window (XTEST)
// reaches the button that a timeline draws: through the message pump, the
// mouse state and the screen window to the proxy-drawn control. The window
// is opened by a second run of this program (the platform is chosen once
// per process, and this one is headless).
#include "OverlayTestSupport.h"

#include "images/CFrame.h"
#include "overlays/ButtonOverlays.h"
#include "overlays/CFrameOverlayTimeline.h"
#include "platform/CPlatform.h"
#include "platform/Clock.h"
#include "platform/WindowDevice.h"
#include "shell/GameWindow.h"
#include "ui/CJButton.h"
#include "ui/CScreenWindow.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr char kXvfb[] = "/usr/bin/Xvfb";
constexpr char kTitle[] = "Ombrisalt overlay click";
constexpr char kChildTest[] = "ChildProcess.RealClickReachesTheTimelineButton";

// A virtual display of its own for the test's life.
class CVirtualDisplay {
public:
    ~CVirtualDisplay()
    {
        if (m_Pid > 0) {
            ::kill(m_Pid, SIGTERM);
            ::waitpid(m_Pid, nullptr, 0);
        }
    }
    // Xvfb picks a free display and writes its number to a pipe once it
    // accepts clients.
    bool Start(const std::string& errorFile)
    {
        int ends[2];
        if (::pipe(ends) != 0)
            return false;
        char* const argv[]
            = {const_cast<char*>(kXvfb),       const_cast<char*>("-displayfd"), const_cast<char*>("3"),
               const_cast<char*>("-screen"),   const_cast<char*>("0"),          const_cast<char*>("640x480x24"),
               const_cast<char*>("-nolisten"), const_cast<char*>("tcp"),        nullptr};
        m_Pid = ::fork();
        if (m_Pid == 0) {
            std::freopen(errorFile.c_str(), "w", stderr);
            ::dup2(ends[1], 3);
            ::execv(kXvfb, argv);
            std::_Exit(127);
        }
        ::close(ends[1]);
        std::string number;
        pollfd wait{ends[0], POLLIN, 0};
        char c = 0;
        while (::poll(&wait, 1, 60000) == 1 && ::read(ends[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(ends[0]);
        m_Display = ":" + number;
        return !number.empty();
    }
    const std::string& Display() const { return m_Display; }

private:
    int m_Pid = 0;
    std::string m_Display;
};

// The exit status of the child, or -1 when it did not end within a minute
// and a half (it is killed then).
int WaitWithGuard(int pid)
{
    for (int waited = 0; waited < 90000; waited += 10) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        ::usleep(10000);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return -1;
}

class RealClick : public CTempFolderTest {};

TEST_F(RealClick, AClickInTheSdlWindowReachesTheButtonATimelineDraws)
{
    const char* source = OMBRISALT_SOURCE_DIR;
    if (::access(kXvfb, X_OK) != 0) {
        std::printf("Xvfb is not installed (scripts/setup installs it): the real window is not tried.\n");
        GTEST_SKIP() << "no Xvfb";
    }
    CVirtualDisplay display;
    ASSERT_TRUE(display.Start(PathOf("xvfb.err"))) << ReadBytes(PathOf("xvfb.err"));
    // The toolkit's player of XTEST input: a move, a click and a key.
    const std::string script = std::string(source) + "/tests/ui/xtest-input.py";
    const std::string output = PathOf("child.out");
    const int pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::setenv("DISPLAY", display.Display().c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", Folder().c_str(), 1);
        ::setenv("OMBRISALT_XTEST_SCRIPT", script.c_str(), 1);
        // System libraries keep some memory to the end.
        ::setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
        ::unsetenv("OMBRISALT_HEADLESS");
        ::unsetenv("CI");
        ::unsetenv("WAYLAND_DISPLAY");
        std::freopen(output.c_str(), "w", stdout);
        ::dup2(::fileno(stdout), 2);
        const std::string filter = std::string("--gtest_filter=") + kChildTest;
        char* const argv[] = {const_cast<char*>("/proc/self/exe"), const_cast<char*>(filter.c_str()), nullptr};
        ::execv("/proc/self/exe", argv);
        std::_Exit(127);
    }
    const int status = WaitWithGuard(pid);
    EXPECT_EQ(status, 0) << ReadBytes(output);
    EXPECT_EQ(ReadBytes(PathOf("clicks.txt")), "clicked\n") << ReadBytes(output);
}

// The second run: the real window, a screen window over a frame of its
// size, and a set whose timeline (resting by now) draws a button over the
// point the played click lands on; until the click has arrived (or half a
// minute has gone).
TEST(ChildProcess, RealClickReachesTheTimelineButton)
{
    if (plat::ChoosePlatformKind() != plat::PlatformKind::SDL)
        GTEST_SKIP() << "no display";
    const char* script = std::getenv("OMBRISALT_XTEST_SCRIPT");
    ASSERT_TRUE(script);
    plat::CWindowDevice& device = plat::GetPlatform().GetWindow();
    ASSERT_TRUE(device.Create(kTitle, 320, 240)) << device.GetLastError();
    SetWindowState(true, false);

    bool clicked = false;
    {
        auto frame = CFrame::MakeOwned(320, 240, 32);
        CScreenWindow root(frame.get(), nullptr);
        CFrameOverlayOptions set;
        auto* timeline = new CFrameOverlayTimeline;
        auto* button = new CFrameOverlayButton;
        button->m_ID = "Go";
        button->m_Position = CPoint{60, 60};
        button->m_Size = CPoint{80, 40};
        timeline->Append(button);
        set.Append(timeline);
        CJButton* control = set.CreateButtonWindow(CJString("Go"), nullptr);
        ASSERT_NE(control, nullptr);
        root.AddChild(control, 0, nullptr, kDefaultOffset, kDefaultOffset, kPlaceNoGrow);

        const std::string command
            = std::string("python3 '") + script + "' '" + std::getenv("DISPLAY") + "' '" + kTitle + "' 100 80 &";
        ASSERT_EQ(std::system(command.c_str()), 0);
        for (int pass = 0; pass < 6000 && !clicked; ++pass) {
            RunMessageLoop();
            frame->Clear();
            set.DrawOnFrame(*frame, nullptr, false, nullptr);
            root.Update(1.0f / 60.0f);
            clicked = control->ConsumeClicked();
            plat::SleepMs(5);
        }
    }
    std::ofstream("clicks.txt") << (clicked ? "clicked\n" : "not clicked\n");
    device.Destroy();
}

} // namespace
