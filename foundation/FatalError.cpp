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

FatalTerminator gTerminator = ExitTerminator;

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
    if (gTerminator != ThrowingFatalTerminator)
        ShowDataCrashExplanation(caption, message);
    gTerminator(caption, message);
    std::exit(-1);
}

FatalTerminator SetFatalTerminator(FatalTerminator terminator)
{
    FatalTerminator previous = gTerminator;
    gTerminator = terminator ? terminator : ExitTerminator;
    return previous;
}

void ThrowingFatalTerminator(const char* caption, const char* message)
{
    throw CFatalErrorException{caption ? caption : "", message ? message : ""};
}
