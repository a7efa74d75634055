#include "foundation/FatalError.h"

#include "foundation/ShellServices.h"
#include "foundation/TextEncoding.h"
#include "platform/MessageBox.h"

#include <cstdio>
#include <cstdlib>

namespace {

int g_ExitStatus = -1;

[[noreturn]] void ExitTerminator(const char*, const char*)
{
    std::exit(g_ExitStatus);
}

FatalTerminator g_Terminator = ExitTerminator;

void ShowUtf8CrashExplanation(const std::string& caption, const std::string& message)
{
    ShowArrowCursor();
    BringDesktopToFront();
    plat::ShowMessageBox(caption, message);
    ClearCursor();
}

[[noreturn]] void EndFatally(const char* caption, const char* message, int exitStatus)
{
    g_ExitStatus = exitStatus;
    g_Terminator(caption, message);
    std::exit(exitStatus);
}

} // namespace

void ShowDataCrashExplanation(const char* caption, const char* message)
{
    ShowUtf8CrashExplanation(Windows1252ToUtf8(caption ? caption : ""), Windows1252ToUtf8(message ? message : ""));
}

int ShowMessage(const char* caption, const char* text)
{
    ShowArrowCursor();
    plat::ShowMessageBox(Windows1252ToUtf8(caption ? caption : ""), Windows1252ToUtf8(text ? text : ""));
    return kMessageBoxOk;
}

void FatalDataError(const char* caption, const char* message)
{
    FatalDataError(caption, message, -1);
}

void FatalDataError(const char* caption, const char* message, int exitStatus)
{
    // Tests and fuzz inputs that expect the report need no box on stderr.
    if (g_Terminator != ThrowingFatalTerminator)
        ShowDataCrashExplanation(caption, message);
    EndFatally(caption, message, exitStatus);
}

void FatalDataErrorUtf8(const char* caption, const std::string& message)
{
    if (g_Terminator != ThrowingFatalTerminator)
        ShowUtf8CrashExplanation(Windows1252ToUtf8(caption ? caption : ""), message);
    EndFatally(caption, message.c_str(), -1);
}

void FontFatalError(const char* message, uint32_t code)
{
    // Measured first: a long font path must not be cut.
    const char* text = message ? message : "";
    const int length = std::snprintf(nullptr, 0, "%s\n  error = 0x%04x\n", text, code);
    std::string report(size_t(length > 0 ? length : 0), '\0');
    std::snprintf(report.data(), report.size() + 1, "%s\n  error = 0x%04x\n", text, code);
    FatalDataError("FATAL ERROR", report.c_str(), 1);
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
