#pragma once
// The program's start-up and main loop. Start-up runs in a fixed order:
// launcher record and command line; one running copy per session; free disk
// space and the window; the working folder; a writable program folder; the
// game set-up (the installed RunGame, which builds the game object). The main
// loop then runs passes until the window is closed or the process is asked
// to end, and the shutdown destroys the game object in order.
//
// The launcher owns the game object: StartUp hands it over, each pass and
// the shutdown are given it, and the shutdown takes it back to destroy it
// between the sounds' stop and the archives' close. The stages stay apart
// so that tests can drive the loop pass by pass.

#include "foundation/UpwardHook.h"

#include <cstdint>
#include <memory>

class CGameBase;

// What the launcher hands over.
struct SLauncherRecord {
    // Windows-1252: the window title and, filtered, the settings file's name.
    const char* gameName = "";
    // The program file whose folder is the program folder, as the system
    // names it (its bytes kept, never the 8-bit form); null for the running
    // program itself.
    const char* programPath = nullptr;
};

// The window's client size at start.
inline constexpr int32_t kDefaultScreenWidth = 1024;
inline constexpr int32_t kDefaultScreenHeight = 768;
// Start-up refuses to run with less free space in the program folder.
inline constexpr uint64_t kRequiredFreeBytes = 200000000;
// The exit status of a refused start.
inline constexpr int32_t kRefusedExitCode = 255;

void SetLauncherRecord(const SLauncherRecord& record);
const SLauncherRecord& GetLauncherRecord();

// Builds the game object, initialises it and gives it its first screen;
// answers it, or null when the set-up made none.
using RunGameFunction = std::unique_ptr<CGameBase> (*)();
RunGameFunction SetRunGame(RunGameFunction run);
OMBRISALT_UPWARD_HOOK(SetRunGame);

// The session-wide lock that keeps a second copy from starting; tests give
// each run its own.
void SetInstanceLockName(const char* name);

// Whether a pass that ran the frame sleeps for the time left until the next
// step, less a millisecond (no count changes), or goes straight on.
enum class IdleWait { Spin, Sleep };
void SetIdleWait(IdleWait wait);

// False, with the exit status, when the program must not go on; the reason
// was shown. Otherwise game receives what the game set-up built (null
// without one). Command line: Windows-1252.
bool StartUp(const SLauncherRecord& record, const char* commandLine, int32_t& exitCode,
             std::unique_ptr<CGameBase>& game);
// One pass of the main loop over the game object (may be null); false once
// the program was asked to end.
bool RunOnePass(CGameBase* game);
// Passes until the end is asked, or until "/Passes n" passes have run.
void RunMainLoop(CGameBase* game);
// The orderly end: every sound stops, the game object is destroyed, archives
// and the window closed. Answers the exit status.
int32_t ShutDown(std::unique_ptr<CGameBase> game);

// The disk check and the window; false when the program must not go on.
bool CreateGameWindow();
// Free bytes for the file system of the folder (a disk path, its bytes as
// the system gave them); exactly the required amount when it cannot be had,
// so that the check passes.
uint64_t CheckFreeDiskSpace(const char* path);
// The arrow cursor and a box with an OK button; texts Windows-1252.
void ShowErrorMessage(const char* title, const char* text);
