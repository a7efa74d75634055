#pragma once
// The thin wrappers the engine uses instead of calling the platform: the
// program's path and folder, external tools, debug output, sleeping, the
// 24-bit tick.

#include <cstddef>
#include <cstdint>
#include <string>

// Buffers take size bytes including the terminator. A result that does not
// fit is refused (false, empty buffer) rather than cut: a cut path names
// another file.
bool GetModulePath(char* buffer, size_t size);
// The file-name part of the module path, up to its first "." and its first
// space ("Game.v2.exe" gives "Game"); cut to size - 1 characters.
bool GetModuleBaseName(char* buffer, size_t size);
// The module path up to and including its last separator.
bool GetProgramFolder(char* buffer, size_t size);
// The program's folder as the system names it (its bytes kept, "/" at the
// end, a "\\" part of a name); empty when the path has none.
std::string GetProgramDiskFolder();
// Makes relative names resolve beside the program; false when it cannot.
bool SetWorkingFolderToProgram();

// A started external tool; id 0 for none.
struct ProgramHandle {
    int32_t id = 0;
};
// Tools have no window here; the mode is kept for callers that pass it.
enum class ToolWindow { Shown, Hidden };
enum class ToolArguments { Quoted, Plain };

// Runs "program" with the arguments (null for none), quoted as one argument
// unless plain, in the working folder (null: the caller's). The handle, when
// asked for, is polled with IsProgramRunning.
bool RunProgram(const char* program, const char* arguments, ToolWindow window, ProgramHandle* process,
                const char* workingFolder, ToolArguments quoting);
bool IsProgramRunning(ProgramHandle process);

void DebugPrint(const char* text);
void SleepMilliseconds(uint32_t milliseconds);
// The millisecond tick masked to its low 24 bits.
uint32_t GetTickCount24();
