#include "VirtualDisplay.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr char kXvfb[] = "/usr/bin/Xvfb";

int WaitWithGuard(int pid, int seconds)
{
    for (int waited = 0; waited < seconds * 1000; waited += 10) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        ::usleep(10000);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return -1;
}

} // namespace

CVirtualDisplay::~CVirtualDisplay()
{
    if (m_Pid > 0) {
        ::kill(m_Pid, SIGTERM);
        ::waitpid(m_Pid, nullptr, 0);
    }
}

bool CVirtualDisplay::IsInstalled()
{
    if (::access(kXvfb, X_OK) == 0)
        return true;
    std::printf("Xvfb is not installed (scripts/setup installs it): the real window is not tried.\n");
    return false;
}

bool CVirtualDisplay::Start(const std::string& errorFile)
{
    // Xvfb picks a free display and writes its number to a pipe once it
    // accepts clients.
    int ends[2];
    if (::pipe(ends) != 0)
        return false;
    char* const argv[] = {const_cast<char*>(kXvfb),       const_cast<char*>("-displayfd"), const_cast<char*>("3"),
                          const_cast<char*>("-screen"),   const_cast<char*>("0"),          const_cast<char*>(m_Screen),
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

std::map<std::string, std::string> DisplayEnvironment(const CVirtualDisplay& display, const std::string& folder)
{
    // System libraries keep some memory to the end; only the program's own
    // errors count.
    return {{"DISPLAY", display.Display()}, {"XDG_RUNTIME_DIR", folder}, {"ASAN_OPTIONS", "detect_leaks=0"}};
}

const std::vector<std::string>& VariablesOffTheDisplay()
{
    static const std::vector<std::string> names{"OMBRISALT_HEADLESS", "CI", "WAYLAND_DISPLAY"};
    return names;
}

std::string XtestScript()
{
    // ctest's environment may lack the source folder; the build knows it.
    if (const char* source = std::getenv("OMBRISALT_TEST_SOURCE"))
        return std::string(source) + "/tests/support/xtest-input.py";
    return std::string(OMBRISALT_TEST_SUPPORT_DIR) + "/xtest-input.py";
}

int RunChildOnDisplay(const CVirtualDisplay& display, const std::string& folder, const char* childTest,
                      const std::string& outputFile, int seconds)
{
    const std::string script = XtestScript();
    const int pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        for (const auto& [name, value] : DisplayEnvironment(display, folder))
            ::setenv(name.c_str(), value.c_str(), 1);
        ::setenv("OMBRISALT_XTEST_SCRIPT", script.c_str(), 1);
        for (const std::string& name : VariablesOffTheDisplay())
            ::unsetenv(name.c_str());
        std::freopen(outputFile.c_str(), "w", stdout);
        ::dup2(::fileno(stdout), 2);
        const std::string filter = std::string("--gtest_filter=") + childTest;
        char* const argv[] = {const_cast<char*>("/proc/self/exe"), const_cast<char*>(filter.c_str()), nullptr};
        ::execv("/proc/self/exe", argv);
        std::_Exit(127);
    }
    return WaitWithGuard(pid, seconds);
}

bool PlayInputInBackground(const std::string& title, const std::string& steps)
{
    const char* script = std::getenv("OMBRISALT_XTEST_SCRIPT");
    const char* display = std::getenv("DISPLAY");
    if (!script || !display)
        return false;
    const std::string command
        = std::string("python3 '") + script + "' '" + display + "' '" + title + "' " + steps + " &";
    return std::system(command.c_str()) == 0;
}

bool CRealWindowTest::RunChildOnOwnDisplay(const char* childTest)
{
    if (!CVirtualDisplay::IsInstalled()) {
        [] { GTEST_SKIP() << "no Xvfb"; }();
        return false;
    }
    CVirtualDisplay display;
    if (!display.Start(PathOf("xvfb.err"))) {
        ADD_FAILURE() << ReadBytes(PathOf("xvfb.err"));
        return false;
    }
    EXPECT_EQ(RunChildOnDisplay(display, Folder(), childTest, PathOf("child.out")), 0) << ChildOutput();
    return true;
}
