#pragma once
// What the foundation needs of the application shell, held here until the
// shell exists and fills it in at start-up: the stored command line, the main
// window and the program module as process-wide values, the cursor calls that
// surround a message box, and the close request.

#include "foundation/CJString.h"
#include "foundation/UpwardHook.h"

#include <string>

// The program's command line as stored at start; empty before that.
const CJString& GetCommandLineText();
void StoreCommandLine(const char* text);

// Opaque handle of the game window; null until the shell creates it.
using WindowHandle = void*;
WindowHandle GetMainWindow();
void SetMainWindow(WindowHandle window);

// Opaque handle of a loaded module. The program module stands for the
// program's own file.
struct SModule;
using ModuleHandle = const SModule*;
ModuleHandle GetProgramModule();
// The module's file as 8-bit text (for texts: characters it cannot hold
// are "?"); empty when it cannot be had.
CJString GetModuleFilePath(ModuleHandle module);
// The program's file as the system names it (its bytes kept): what the
// working folder and the program's archives are found by.
std::string GetProgramDiskPath();
// Makes the program module stand for another file, given as a disk path
// (null: the running program again), for tests and for a shell that runs
// from a copy.
void SetProgramModulePath(const char* path);

// Cursor and window services around message boxes. The shell installs its
// own; until then each call does nothing.
class CShellHooks {
public:
    virtual ~CShellHooks() = default;
    // The arrow cursor, made visible.
    virtual void ShowArrowCursor() {}
    virtual void ClearCursor() {}
    // Gets a box out from behind a full-screen window.
    virtual void BringDesktopToFront() {}
};
// Installs hooks (null: none); returns the previous ones. The caller keeps
// ownership.
CShellHooks* SetShellHooks(CShellHooks* hooks);
OMBRISALT_UPWARD_HOOK(SetShellHooks);

void ShowArrowCursor();
void ClearCursor();
void BringDesktopToFront();

// Asks the main window to close. The shell's loop takes the request with
// TakeCloseRequest, which also clears it.
void RequestClose();
bool TakeCloseRequest();
