#include "ShellTestSupport.h"

#include "foundation/CIniSection.h"
#include "foundation/CPerformanceMonitor.h"
#include "foundation/MillisecondClock.h"
#include "platform/Signals.h"
#include "shell/CFrameRateCounter.h"
#include "shell/GameWindow.h"
#include "sound/CSoundDevice.h"
#include "sound/CSoundList.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

extern char** environ;

CCountingGame::~CCountingGame()
{
    if (saveOnExit)
        GetOptionsSection().SetInt("Saved On Exit", 1);
}

std::unique_ptr<CGameBase> CShellTest::RunCountingGame()
{
    auto game = std::make_unique<CCountingGame>();
    game->Init(nullptr);
    return game;
}

void CShellTest::SetUp()
{
    CTempFolderTest::SetUp();
    ResetMillisecondClock();
    m_Platform.StartManualClock(1000);
    SetInstanceLockName(("OmbrisaltTest-" + std::to_string(::getpid())).c_str());
    ResetAllFrameRateCounters();
    plat::TakeTerminationRequest();
}

void CShellTest::TearDown()
{
    if (m_Started)
        ShutDownStarted();
    m_GameObject.reset();
    // The process's sounds hold buffers of this test's audio output, which
    // goes with its platform.
    CSoundList::SGetGlobal().RemoveAll();
    CSoundDevice::SGetInstance().Shutdown();
    m_Platform.StopManualClock();
    ResetMillisecondClock();
    ResetPerformanceMonitoring();
    CTempFolderTest::TearDown();
}

bool CShellTest::Start(const char* commandLine)
{
    SLauncherRecord record;
    record.gameName = "Ombrisalt";
    const std::string path = ProgramPath();
    record.programPath = path.c_str();
    m_Started = StartUp(record, commandLine, m_ExitCode, m_GameObject);
    return m_Started;
}

bool CShellTest::Pass(uint32_t milliseconds)
{
    m_Platform.AdvanceClock(milliseconds);
    return RunOnePass(m_GameObject.get());
}

int32_t CShellTest::ShutDownStarted()
{
    m_Started = false;
    return ShutDown(std::move(m_GameObject));
}

void CShellTest::Push(plat::WindowEvent::Kind kind)
{
    plat::WindowEvent event;
    event.kind = kind;
    m_Platform.GetHeadlessWindow().PushEvent(event);
}

int SpawnProgram(const std::vector<std::string>& arguments, const std::map<std::string, std::string>& environment,
                 const std::vector<std::string>& unset, const std::string& errorFile)
{
    std::vector<std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        const std::string variable(*entry);
        const std::string name = variable.substr(0, variable.find('='));
        bool dropped = environment.count(name) != 0;
        for (const std::string& gone : unset)
            dropped = dropped || gone == name;
        if (!dropped)
            variables.push_back(variable);
    }
    for (const auto& [name, value] : environment)
        variables.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    std::vector<std::string> argumentCopies = arguments;
    argumentCopies.insert(argumentCopies.begin(), OMBRISALT_PROGRAM);
    std::vector<char*> argv;
    for (std::string& argument : argumentCopies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int result = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return result == 0 ? int(pid) : -1;
}

bool WaitUntilReady(int pid, const std::function<bool()>& ready)
{
    for (int tries = 0; tries < 60000 && !ready(); ++tries) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return false;
        ::usleep(1000);
    }
    return ready();
}

int WaitForExitStatus(int pid)
{
    if (pid <= 0 || !WaitForExit(pid))
        return -1;
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

CEndsWithTest::~CEndsWithTest()
{
    if (m_Pid > 0 && ::waitpid(m_Pid, nullptr, WNOHANG) == 0) {
        // A program that outlived its test is stuck somewhere: where, is the
        // one thing worth keeping from the run.
        const std::string stacks = "command -v gdb >/dev/null && gdb -p " + std::to_string(m_Pid)
            + " -batch -ex 'thread apply all bt' 2>&1 | grep -E '^(Thread|#)'";
        std::printf("The program still runs; its threads:\n");
        std::fflush(stdout);
        static_cast<void>(std::system(stacks.c_str()));
        ::kill(m_Pid, SIGKILL);
        ::waitpid(m_Pid, nullptr, 0);
    }
}
