#pragma once
// The one fatal path. Data and programming errors the program cannot go on
// from show a message box with a caption and a long explanation, then end the
// process with exit status 255 (-1). Tests and fuzz builds replace the
// terminator so that a fatal report ends a test case or an input instead.

#include <cstdint>
#include <string>

// Shows the fatal message box and returns (texts are 8-bit engine text): the
// arrow cursor, the desktop brought forward so that a full-screen window does
// not hide the box, the box, then the cursor cleared.
void ShowDataCrashExplanation(const char* caption, const char* message);

// The box's answer to a plain notice: always OK.
inline constexpr int kMessageBoxOk = 1;
// A non-fatal notice with an OK button, shown with the arrow cursor.
int ShowMessage(const char* caption, const char* text);

// Shows the box, then ends through the terminator; never returns.
[[noreturn]] void FatalDataError(const char* caption, const char* message);
// The same, ending the program with exitStatus instead of 255.
[[noreturn]] void FatalDataError(const char* caption, const char* message, int exitStatus);

// The same for a report that names a path on disk: the message is UTF-8
// (the path's own bytes), shown as it is; the caption is 8-bit engine text.
[[noreturn]] void FatalDataErrorUtf8(const char* caption, const std::string& message);

// The font library's report: "<message>\n  error = 0x<code, at least four
// lower-case hex digits>\n" under "FATAL ERROR", exit status 1.
[[noreturn]] void FontFatalError(const char* message, uint32_t code);

// A terminator must not return; if it does, the process exits with 255.
using FatalTerminator = void (*)(const char* caption, const char* message);
FatalTerminator SetFatalTerminator(FatalTerminator terminator);

// Thrown by ThrowingFatalTerminator, for tests and fuzz targets.
struct CFatalErrorException {
    std::string caption;
    std::string message;
};
[[noreturn]] void ThrowingFatalTerminator(const char* caption, const char* message);
