#include "ShellTestSupport.h"
#include "support/VirtualDisplay.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <ostream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

enum class XvfbEndBy { WindowClosed, Sigterm };

struct XvfbEndCase {
    const char* name;
    XvfbEndBy by;
};

void PrintTo(const XvfbEndCase& c, std::ostream* out)
{
    *out << c.name;
}

class RealWindow : public CTempFolderTest, public ::testing::WithParamInterface<XvfbEndCase> {};

TEST_P(RealWindow, OpensUnderXvfbAndEndsInOrder)
{
    if (!CVirtualDisplay::IsInstalled())
        GTEST_SKIP() << "no Xvfb";
    CVirtualDisplay display("1280x1024x24");
    ASSERT_TRUE(display.Start(PathOf("xvfb.err"))) << ReadBytes(PathOf("xvfb.err"));
    const int pid = SpawnProgram({"/DataFolder", Folder()}, DisplayEnvironment(display, Folder()),
                                 VariablesOffTheDisplay(), PathOf("program.err"));
    ASSERT_GT(pid, 0);
    // A failed check must not leave the program running.
    const CEndsWithTest guard(pid);
    // The settings file is written once the window is open and the game set up.
    ASSERT_TRUE(WaitUntilReady(pid, [&] { return DiskHas(PathOf("Ombrisalt.CFG")); }))
        << "the program ended early or was not ready within a minute: " << ReadBytes(PathOf("program.err"));
    if (GetParam().by == XvfbEndBy::WindowClosed) {
        // The close button of a window manager: a delete request from the X server.
        // A request that reaches the window before it takes delete requests
        // is dropped by the X server, as a user's early click would be: the
        // request is sent again while the program still runs.
        const std::string command = "(python3 '" + XtestScript() + "' " + display.Display() + " Ombrisalt close 2>>'"
            + PathOf("close.err") + "')";
        for (int attempt = 0; attempt < 6 && ::kill(pid, 0) == 0; ++attempt) {
            ASSERT_EQ(RunCommand(command), 0)
                << "attempt " << attempt << ", the program "
                << (::waitpid(pid, nullptr, WNOHANG) == 0 ? "still runs" : "has ended") << "\n"
                << ReadBytes(PathOf("close.err")) << ReadBytes(PathOf("program.err"));
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
                         ::testing::Values(XvfbEndCase{"WindowClosed", XvfbEndBy::WindowClosed},
                                           XvfbEndCase{"Sigterm", XvfbEndBy::Sigterm}),
                         [](const ::testing::TestParamInfo<XvfbEndCase>& param) { return param.param.name; });

} // namespace
