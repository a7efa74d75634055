#include "ShellTestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
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
    bool Start(const std::string& errorFile)
    {
        m_Number = 100 + int(::getpid() % 800);
        const std::string display = ":" + std::to_string(m_Number);
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(m_Number);
        char* const argv[] = {const_cast<char*>(kXvfb), const_cast<char*>(display.c_str()),
                              const_cast<char*>("-screen"), const_cast<char*>("0"),
                              const_cast<char*>("1280x1024x24"), const_cast<char*>("-nolisten"),
                              const_cast<char*>("tcp"), nullptr};
        m_Pid = ::fork();
        if (m_Pid == 0) {
            std::freopen(errorFile.c_str(), "w", stderr);
            ::execv(kXvfb, argv);
            std::_Exit(127);
        }
        // The server is ready once its socket exists; it may fail instead.
        for (int tries = 0; tries < 20000; ++tries) {
            if (::access(socket.c_str(), F_OK) == 0)
                return true;
            if (::waitpid(m_Pid, nullptr, WNOHANG) == m_Pid) {
                m_Pid = 0;
                return false;
            }
            ::usleep(1000);
        }
        return false;
    }
    std::string Display() const { return ":" + std::to_string(m_Number); }

private:
    int m_Pid = 0;
    int m_Number = 0;
};

class RealWindow : public CTempFolderTest {};

TEST_F(RealWindow, OpensUnderXvfbAndEndsInOrderOnAQuitEvent)
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
    const int pid = SpawnProgram({"/DataFolder", Folder()}, environment, {"OMBRISALT_HEADLESS", "CI", "WAYLAND_DISPLAY"},
                                 PathOf("program.err"));
    ASSERT_GT(pid, 0);
    // The settings file is written once the window is open and the game set up.
    for (int tries = 0; tries < 60000 && !DiskHas(PathOf("Ombrisalt.CFG")); ++tries) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            FAIL() << "the program ended early: " << ReadBytes(PathOf("program.err"));
        ::usleep(1000);
    }
    ASSERT_TRUE(DiskHas(PathOf("Ombrisalt.CFG")));
    // SDL turns the termination signal into its quit event, which the pump
    // takes like a closed window.
    ::kill(pid, SIGTERM);
    EXPECT_EQ(WaitForExitStatus(pid), 0);
    EXPECT_EQ(ReadBytes(PathOf("program.err")), "");
}

} // namespace
