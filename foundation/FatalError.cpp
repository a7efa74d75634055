#include "foundation/FatalError.h"

#include "foundation/ShellServices.h"
#include "foundation/TextEncoding.h"
#include "platform/MessageBox.h"

#include <cstdlib>

namespace {

[[noreturn]] void ExitTerminator(const char*, const char*)
{
    std::exit(-1);
}

FatalTerminator g_Terminator = ExitTerminator;

} // namespace

void ShowDataCrashExplanation(const char* caption, const char* message)
{
    ShowArrowCursor();
    BringDesktopToFront();
    plat::ShowMessageBox(Windows1252ToUtf8(caption ? caption : ""), Windows1252ToUtf8(message ? message : ""));
    ClearCursor();
}

int ShowMessage(const char* caption, const char* text)
{
    ShowArrowCursor();
    plat::ShowMessageBox(Windows1252ToUtf8(caption ? caption : ""), Windows1252ToUtf8(text ? text : ""));
    return kMessageBoxOk;
}

void FatalDataError(const char* caption, const char* message)
{
    // Tests and fuzz inputs that expect the report need no box on stderr.
    if (g_Terminator != ThrowingFatalTerminator)
        ShowDataCrashExplanation(caption, message);
    g_Terminator(caption, message);
    std::exit(-1);
}

FatalTerminator SetFatalTerminator(FatalTerminator terminator)
{
    FatalTerminator previous = g_Terminator;
    g_Terminator = terminator ? terminator : ExitTerminator;
    return previous;
}

void ThrowingFatalTerminator(const char* caption, const char* message)
{
    throw CFatalErrorException{caption ? caption : "", message ? message : ""};
}
