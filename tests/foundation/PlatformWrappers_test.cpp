#include "foundation/PlatformWrappers.h"

#include "foundation/ShellServices.h"
#include "platform/FileSystem.h"
#include "support/ScopedHooks.h"
#include "support/TestSupport.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace {

class ModulePaths : public ::testing::Test {
protected:
    CScopedProgramModulePath m_Module{nullptr};
};

TEST_F(ModulePaths, NameAndFolderComeFromTheModulePath)
{
    SetProgramModulePath("/opt/Big Game/Game.v2.bin");
    char buffer[64];
    ASSERT_TRUE(GetModulePath(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "/opt/Big Game/Game.v2.bin");
    ASSERT_TRUE(GetModuleBaseName(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "Game") << "cut at the first dot";
    ASSERT_TRUE(GetProgramFolder(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "/opt/Big Game/");

    SetProgramModulePath("C:\\Games/Big Game.exe");
    ASSERT_TRUE(GetModuleBaseName(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "Big") << "and at the first space";
    ASSERT_TRUE(GetProgramFolder(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "C:\\") << "the last backslash wins over a later slash";
    ASSERT_TRUE(GetModuleBaseName(buffer, 3));
    EXPECT_STREQ(buffer, "Bi");

    char small[8] = "old";
    EXPECT_FALSE(GetModulePath(small, sizeof small)) << "a cut path would name another file";
    EXPECT_STREQ(small, "");
    SetProgramModulePath("");
    EXPECT_FALSE(GetProgramFolder(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "");
    EXPECT_FALSE(GetModuleBaseName(buffer, sizeof buffer));

    SetProgramModulePath(nullptr);
    ASSERT_TRUE(GetModulePath(buffer, sizeof buffer) || plat::GetProgramPath().size() >= sizeof buffer);
    EXPECT_STREQ(GetModuleFilePath(GetProgramModule()).GetString(), plat::GetProgramPath().c_str());
    EXPECT_TRUE(GetModuleFilePath(nullptr).IsEmpty());
}

using ProgramFolder = CTempFolderTest;

TEST_F(ProgramFolder, BecomesTheWorkingFolder)
{
    std::filesystem::create_directory("Program");
    const std::string program = Folder() + "/Program/Game";
    bool changed = false;
    std::string now;
    {
        const CScopedProgramModulePath module(program.c_str());
        changed = SetWorkingFolderToProgram();
        now = plat::GetCurrentFolder();
    }
    ASSERT_TRUE(changed);
    EXPECT_EQ(std::filesystem::canonical(now), std::filesystem::canonical(Folder() + "/Program"));
}

// The child half of the tool test below: leaves a mark in its working
// folder that names its arguments.
TEST(ChildProcess, LeavesAMark)
{
    if (!std::getenv("OMBRISALT_TOOL_CHILD"))
        GTEST_SKIP() << "runs only as the child of ProgramFolder.RunsToolsInTheirFolder";
    WriteBytes("mark.txt", ::testing::GTEST_FLAG(filter));
}

TEST_F(ProgramFolder, RunsToolsInTheirFolder)
{
    std::filesystem::create_directory("Work");
    ASSERT_EQ(::setenv("OMBRISALT_TOOL_CHILD", "1", 1), 0);
    ProgramHandle tool;
    const bool started = RunProgram(plat::GetProgramPath().c_str(), "--gtest_filter=ChildProcess.LeavesAMark",
                                    ToolWindow::Hidden, &tool, "Work", ToolArguments::Plain);
    ::unsetenv("OMBRISALT_TOOL_CHILD");
    ASSERT_TRUE(started);
    EXPECT_NE(tool.id, 0);
    ASSERT_TRUE(WaitForExit(tool.id));
    EXPECT_FALSE(IsProgramRunning(tool));
    EXPECT_EQ(ReadBytes("Work/mark.txt"), "ChildProcess.LeavesAMark");

    EXPECT_FALSE(RunProgram("Missing/Tool", nullptr, ToolWindow::Shown, &tool, nullptr, ToolArguments::Quoted));
    EXPECT_EQ(tool.id, 0);
    EXPECT_FALSE(IsProgramRunning(tool));
}

// A tool run without asking for its handle is never polled; it must not stay
// a child of this process, where it would linger as a zombie. Checked in a
// fresh child process, which has no other children.
TEST(RunProgram, ToolRunWithoutAHandleIsNotLeftAsAChild)
{
    EXPECT_EXIT(
        {
            const bool started
                = RunProgram("/bin/sh", "-c true", ToolWindow::Hidden, nullptr, nullptr, ToolArguments::Plain);
            siginfo_t info{};
            const int result = ::waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT);
            std::_Exit(started && result == -1 && errno == ECHILD ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
