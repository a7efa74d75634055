#include "shell/StartGame.h"

#include "foundation/CFile.h"
#include "foundation/CMountedArchiveTable.h"
#include "foundation/CPerformanceMonitor.h"
#include "foundation/CommandLine.h"
#include "foundation/FatalError.h"
#include "foundation/FileHelpers.h"
#include "foundation/MillisecondClock.h"
#include "foundation/PlatformWrappers.h"
#include "foundation/ShellServices.h"
#include "foundation/TextEncoding.h"
#include "platform/CPlatform.h"
#include "platform/FileSystem.h"
#include "platform/InstanceLock.h"
#include "platform/MessageBox.h"
#include "platform/ReplacementGroup.h"
#include "platform/WindowDevice.h"
#include "shell/CFrameDriver.h"
#include "shell/CGameBase.h"
#include "shell/GameWindow.h"
#include "sound/CSoundDevice.h"

#include <cstdio>
#include <string>

namespace {

SLauncherRecord g_Record;
std::string g_GameName;
std::string g_ProgramPath;
RunGameFunction g_RunGame = nullptr;
std::string g_LockName = "Quenthal Running";
IdleWait g_IdleWait = IdleWait::Spin;

constexpr char kProbeFile[] = "TestDestinationReadibility.txt";

void ShowUnownedBox(const char* caption, const char* text)
{
    plat::ShowMessageBox(Windows1252ToUtf8(caption), Windows1252ToUtf8(text));
}

} // namespace

void SetLauncherRecord(const SLauncherRecord& record)
{
    // The record's texts are kept, so the caller's may go.
    g_GameName = record.gameName ? record.gameName : "";
    g_ProgramPath = record.programPath ? record.programPath : "";
    g_Record.gameName = g_GameName.c_str();
    g_Record.programPath = record.programPath ? g_ProgramPath.c_str() : nullptr;
    SetProgramModulePath(g_Record.programPath);
}

const SLauncherRecord& GetLauncherRecord()
{
    return g_Record;
}

RunGameFunction SetRunGame(RunGameFunction run)
{
    RunGameFunction previous = g_RunGame;
    g_RunGame = run;
    return previous;
}

void SetInstanceLockName(const char* name)
{
    g_LockName = name;
}

void SetIdleWait(IdleWait wait)
{
    g_IdleWait = wait;
}

uint64_t CheckFreeDiskSpace(const char* path)
{
    uint64_t freeBytes = 0;
    if (!plat::GetPlatform().GetFreeDiskSpace(path ? path : "", freeBytes))
        return kRequiredFreeBytes;
    return freeBytes;
}

void ShowErrorMessage(const char* title, const char* text)
{
    ShowSystemCursor();
    plat::ShowMessageBox(Windows1252ToUtf8(title), Windows1252ToUtf8(text));
}

bool CreateGameWindow()
{
    const std::string folder = GetProgramDiskFolder();
    if (!folder.empty()) {
        const uint64_t freeBytes = CheckFreeDiskSpace(folder.c_str());
        if (freeBytes < kRequiredFreeBytes) {
            char baseName[1024];
            if (!GetModuleBaseName(baseName, sizeof baseName))
                baseName[0] = '\0';
            char text[4096];
            std::snprintf(text, sizeof text,
                          "%s requires at least %i MB available hard drive space to run.\nYou only have %i MB "
                          "Available.\nPlease free up more space in order to run %s.",
                          baseName, int(kRequiredFreeBytes / 1000000), int(freeBytes / 1000000), baseName);
            ShowUnownedBox("Insufficient Space", text);
            return false;
        }
    }
    plat::CWindowDevice& window = plat::GetPlatform().GetWindow();
    if (!window.Create(Windows1252ToUtf8(GetLauncherRecord().gameName), kDefaultScreenWidth, kDefaultScreenHeight))
        FatalDataError("FATAL ERROR", "Can't allocate my window");
    SetMainWindow(&window);
    SetWindowState(window.HasFocus(), window.IsMinimised());
    return true;
}

bool StartUp(const SLauncherRecord& record, const char* commandLine, int32_t& exitCode,
             std::unique_ptr<CGameBase>& game)
{
    exitCode = kRefusedExitCode;
    SetLauncherRecord(record);
    StoreCommandLine(commandLine ? commandLine : "");
    ClearShutdownRequest();
    if (!plat::AcquireInstanceLock(g_LockName)) {
        ShowUnownedBox("Program Already Running",
                       "This program is already running.  Switch to its window to use it.");
        return false;
    }
    if (!CreateGameWindow())
        return false;
    SetWorkingFolderToProgram();
    CFile probe;
    if (!probe.Open(kProbeFile, FILE_CREATE | FILE_WRITE | FILE_USER_FOLDER)) {
        std::string folder = DiskPathOf(kProbeFile, FILE_USER_FOLDER);
        folder.erase(folder.rfind('/') == std::string::npos ? 0 : folder.rfind('/'));
        if (folder.empty() || folder[0] != '/')
            folder = plat::GetCurrentFolder() + (folder.empty() ? "" : "/" + folder);
        // The path is UTF-8 already.
        ShowSystemCursor();
        plat::ShowMessageBox("Error", "Executable path is not writable.  If you launched the application directly "
                                      "from the CD, please run the installer to install the application.\n\nThe "
                                      "folder is \"" + folder + "\".");
        plat::GetPlatform().GetWindow().Destroy();
        SetMainWindow(nullptr);
        return false;
    }
    probe.Close();
    DeleteFileByName(kProbeFile, FILE_USER_FOLDER);
    // The runtime folder's lock holds per login; the program folder's own
    // keeps a copy started by another login from finishing this one's saves.
    std::string refusal;
    if (!plat::AcquireFolderLock(plat::GetCurrentFolder(), g_LockName, refusal)) {
        if (refusal.empty())
            ShowUnownedBox("Program Already Running",
                           "This program is already running.  Switch to its window to use it.");
        else
            ShowUnownedBox("Error", refusal.c_str());
        plat::GetPlatform().GetWindow().Destroy();
        SetMainWindow(nullptr);
        return false;
    }
    // Files saved together whose save a kill cut short are finished before
    // anything reads them.
    const std::string recovered = plat::FinishInterruptedReplacements();
    if (!recovered.empty())
        ShowErrorMessage("Error", recovered.c_str());

    SuspendFileOpenNotifications("Setup Game");
    if (g_RunGame)
        game = g_RunGame();
    ResumeFileOpenNotifications();
    exitCode = 0;
    return true;
}

bool RunOnePass(CGameBase* game)
{
    BeginFrameZone();
    RunMessageLoop();
    if (IsShutdownRequested()) {
        EndFrameZone();
        return false;
    }
    const bool active = IsWindowActive() && !IsWindowMinimised();
    if (game)
        game->SetWindowActive(active);
    float timeLeft = 0.0f;
    if (game && (active || game->KeepsRunningInBackground())) {
        const uint64_t started = MillisecondClock();
        timeLeft = game->MeasureFrameTime();
        // The time the steps and the draw took is gone too: a pass that ran
        // past the next step's time does not sleep.
        timeLeft -= float(double(MillisecondClock() - started) / 1000.0);
    }
    EndFrameZone();
    if (g_IdleWait == IdleWait::Sleep)
        if (const uint32_t milliseconds = SleepAfterPassMilliseconds(timeLeft))
            plat::GetPlatform().Sleep(milliseconds);
    return !IsShutdownRequested();
}

int32_t ShutDown(std::unique_ptr<CGameBase> game)
{
    CSoundDevice::SGetInstance().StopAllSounds();
    CGameBase::SSetShuttingDown(true);
    game.reset();
    CMountedArchiveTable::Get().UnmountAll();
    plat::GetPlatform().GetWindow().Destroy();
    SetMainWindow(nullptr);
    ClearShutdownRequest();
    plat::ReleaseFolderLocks();
    return 0;
}

void RunMainLoop(CGameBase* game)
{
    const int32_t passes = GetCommandLineInt("/Passes", 0);
    for (int32_t pass = 0; passes <= 0 || pass < passes; ++pass)
        if (!RunOnePass(game))
            break;
}
