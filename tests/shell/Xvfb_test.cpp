#include "ShellTestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <ostream>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr char kXvfb[] = "/usr/bin/Xvfb";

// A virtual display of its own for the test's life.
class CVirtualDisplay {
public:
    ~CVirtualDisplay()
    {
        if (m_Pid > 0) {
            ::kill(m_Pid, SIGTERM);
            WaitForExitStatus(m_Pid);
        }
    }
    // Xvfb picks a free display itself and writes its number to a pipe once
    // it accepts clients.
    bool Start(const std::string& errorFile)
    {
        int pipeEnds[2];
        if (::pipe(pipeEnds) != 0)
            return false;
        char* const argv[]
            = {const_cast<char*>(kXvfb),       const_cast<char*>("-displayfd"), const_cast<char*>("3"),
               const_cast<char*>("-screen"),   const_cast<char*>("0"),          const_cast<char*>("1280x1024x24"),
               const_cast<char*>("-nolisten"), const_cast<char*>("tcp"),        nullptr};
        m_Pid = ::fork();
        if (m_Pid == 0) {
            std::freopen(errorFile.c_str(), "w", stderr);
            ::dup2(pipeEnds[1], 3);
            ::execv(kXvfb, argv);
            std::_Exit(127);
        }
        ::close(pipeEnds[1]);
        std::string number;
        pollfd wait{pipeEnds[0], POLLIN, 0};
        char c = 0;
        while (::poll(&wait, 1, 60000) == 1 && ::read(pipeEnds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(pipeEnds[0]);
        m_Display = ":" + number;
        return !number.empty();
    }
    const std::string& Display() const { return m_Display; }

private:
    int m_Pid = 0;
    std::string m_Display;
};

enum class EndBy { WindowClosed, Sigterm };

struct EndCase {
    const char* name;
    EndBy by;
};

void PrintTo(const EndCase& c, std::ostream* out)
{
    *out << c.name;
}

class RealWindow : public CTempFolderTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(RealWindow, OpensUnderXvfbAndEndsInOrder)
{
    if (::access(kXvfb, X_OK) != 0) {
        std::printf("Xvfb is not installed (scripts/setup installs it): the real window is not tried.\n");
        GTEST_SKIP() << "no Xvfb";
    }
    CVirtualDisplay display;
    ASSERT_TRUE(display.Start(PathOf("xvfb.err"))) << ReadBytes(PathOf("xvfb.err"));
    // System libraries keep some memory to the end; only the program's own
    // errors count here.
    const std::map<std::string, std::string> environment{
        {"DISPLAY", display.Display()}, {"XDG_RUNTIME_DIR", Folder()}, {"ASAN_OPTIONS", "detect_leaks=0"}};
    const int pid = SpawnProgram({"/DataFolder", Folder()}, environment,
                                 {"OMBRISALT_HEADLESS", "CI", "WAYLAND_DISPLAY"}, PathOf("program.err"));
    ASSERT_GT(pid, 0);
    // A failed check must not leave the program running.
    const CEndsWithTest guard(pid);
    // The settings file is written once the window is open and the game set up.
    for (int tries = 0; tries < 60000 && !DiskHas(PathOf("Ombrisalt.CFG")); ++tries) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            FAIL() << "the program ended early: " << ReadBytes(PathOf("program.err"));
        ::usleep(1000);
    }
    ASSERT_TRUE(DiskHas(PathOf("Ombrisalt.CFG")));
    if (GetParam().by == EndBy::WindowClosed) {
        // The close button of a window manager: a delete request from the X server.
        // A request that reaches the window before it takes delete requests
        // is dropped by the X server, as a user's early click would be: the
        // request is sent again while the program still runs.
        const std::string script = std::string(OMBRISALT_SOURCE_DIR) + "/tests/shell/close-window.py";
        const std::string command
            = "(python3 '" + script + "' " + display.Display() + " Ombrisalt 2>>'" + PathOf("close.err") + "')";
        for (int attempt = 0; attempt < 6 && ::kill(pid, 0) == 0; ++attempt) {
            ASSERT_EQ(RunCommand(command), 0) << "attempt " << attempt << ", the program "
                                              << (::waitpid(pid, nullptr, WNOHANG) == 0 ? "still runs" : "has ended")
                                              << "\n" << ReadBytes(PathOf("close.err")) << ReadBytes(PathOf("program.err"));
            int status = 0;
            for (int waited = 0; waited < 5000 && ::waitpid(pid, &status, WNOHANG) == 0; ++waited)
                ::usleep(1000);
            if (::kill(pid, 0) != 0 || ::waitpid(pid, &status, WNOHANG) == pid) {
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
                EXPECT_EQ(ReadBytes(PathOf("program.err")), "");
                return;
            }
        }
    } else {
        // SDL turns the signal into its quit event.
        ::kill(pid, SIGTERM);
    }
    EXPECT_EQ(WaitForExitStatus(pid), 0);
    EXPECT_EQ(ReadBytes(PathOf("program.err")), "");
}

INSTANTIATE_TEST_SUITE_P(Xvfb, RealWindow,
                         ::testing::Values(EndCase{"WindowClosed", EndBy::WindowClosed},
                                           EndCase{"Sigterm", EndBy::Sigterm}),
                         [](const ::testing::TestParamInfo<EndCase>& param) { return param.param.name; });

} // namespace
