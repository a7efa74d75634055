#include "platform/Process.h"

#include "support/TestSupport.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct SplitCase {
    const char* label;
    const char* commandLine;
    std::vector<std::string> arguments;
};

class CommandLineSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(CommandLineSplit, KeepsQuotedStretchesTogether)
{
    EXPECT_EQ(plat::SplitCommandLine(GetParam().commandLine), GetParam().arguments);
}

const SplitCase kSplitCases[] = {
    {"QuotedProgramThenArguments",
     "\"Utilities\\Image Tools\\convert.exe\" -quality 90",
     {"Utilities\\Image Tools\\convert.exe", "-quality", "90"}},
    {"QuotedArgumentWithSpaces", "\"tool\" \"a b\"  c", {"tool", "a b", "c"}},
    {"QuoteInsideAWord", "tool --out=\"My File.avi\"", {"tool", "--out=My File.avi"}},
    {"EmptyQuotedArgument", "tool \"\" x", {"tool", "", "x"}},
    {"BackslashesAreOrdinary", "tool a\\\"b c\"", {"tool", "a\\b c"}},
    {"TabsAndTrailingBlanks", "  tool\tx  ", {"tool", "x"}},
    {"UnclosedQuoteRunsToTheEnd", "tool \"a b", {"tool", "a b"}},
    {"Blank", "   ", {}},
};

INSTANTIATE_TEST_SUITE_P(Cases, CommandLineSplit, ::testing::ValuesIn(kSplitCases),
                         [](const ::testing::TestParamInfo<SplitCase>& caseInfo) {
                             return std::string(caseInfo.param.label);
                         });

using Process = CTempFolderTest;

TEST_F(Process, ShellThatExitsAtOnceEndsAndIsReaped)
{
    plat::ProcessHandle handle;
    ASSERT_TRUE(plat::StartProcess("\"/bin/sh\" -c \"exit 0\"", "", &handle));
    EXPECT_GT(handle.id, 0);
    ASSERT_TRUE(WaitForExit(handle.id));
    EXPECT_FALSE(plat::IsProcessRunning(handle));
    EXPECT_FALSE(plat::IsProcessRunning(handle)) << "still false once reaped";
}

TEST_F(Process, RunsWhileBlockedAndStopsRunningWhenDone)
{
    // The child cannot finish before the test opens the gate, so "running"
    // is certain without any timing.
    ASSERT_EQ(::mkfifo("gate", 0600), 0);
    plat::ProcessHandle handle;
    ASSERT_TRUE(plat::StartProcess("/bin/sh -c \"read line < gate; sleep 0.1\"", "", &handle));
    EXPECT_TRUE(plat::IsProcessRunning(handle));
    EXPECT_TRUE(plat::IsProcessRunning(handle));

    const int gate = ::open("gate", O_WRONLY);
    ASSERT_GE(gate, 0);
    ASSERT_EQ(::write(gate, "go\n", 3), 3);
    ::close(gate);

    int polls = 0;
    while (plat::IsProcessRunning(handle) && polls < 1000) {
        ASSERT_TRUE(WaitForExit(handle.id));
        ++polls;
    }
    EXPECT_FALSE(plat::IsProcessRunning(handle));
}

TEST_F(Process, ResolvesTheProgramCaseBlindAndRunsInTheWorkingFolder)
{
    WriteBytes("Tools/Args.sh", "#!/bin/sh\npwd > where.txt\nprintf '%s|' \"$@\" > args.txt\n");
    ASSERT_EQ(::chmod("Tools/Args.sh", 0755), 0);
    WriteBytes("Out/x", "");
    plat::ProcessHandle handle;
    ASSERT_TRUE(plat::StartProcess("\"tools\\ARGS.SH\" \"a b\" c", "OUT", &handle));
    ASSERT_TRUE(WaitForExit(handle.id));
    EXPECT_FALSE(plat::IsProcessRunning(handle));
    EXPECT_EQ(ReadBytes("Out/where.txt"), Folder() + "/Out\n");
    EXPECT_EQ(ReadBytes("Out/args.txt"), "a b|c|");
}

// A tool started without a handle is never polled, so it must not stay this
// process's child (an unreaped child lingers as a zombie until exit). Checked
// in a fresh child process, which has no other children.
TEST_F(Process, ToolStartedWithoutAHandleIsNotLeftAsAChild)
{
    EXPECT_EXIT(
        {
            const bool started = plat::StartProcess("/bin/sh -c \"exit 0\"", "", nullptr);
            const bool failed = plat::StartProcess("no-such-program-anywhere", "", nullptr);
            siginfo_t info{};
            const int result = ::waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT);
            std::_Exit(started && !failed && result == -1 && errno == ECHILD ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(Process, ReportsWhatCannotBeStarted)
{
    plat::ProcessHandle handle{123};
    EXPECT_FALSE(plat::StartProcess("\"Missing\\tool.exe\" x", "", &handle));
    EXPECT_EQ(handle.id, 0);
    EXPECT_FALSE(plat::StartProcess("no-such-program-anywhere", "", &handle));
    EXPECT_FALSE(plat::StartProcess("/bin/sh -c true", "no/such/folder", &handle));
    EXPECT_FALSE(plat::StartProcess("  ", "", &handle));
    EXPECT_FALSE(plat::IsProcessRunning(plat::ProcessHandle{}));
}

} // namespace
