#include "foundation/PlatformWrappers.h"

#include "foundation/ShellServices.h"
#include "foundation/TextEncoding.h"
#include "platform/Clock.h"
#include "platform/Debug.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Copies length characters and a terminator when they fit; otherwise
// leaves an empty buffer and answers false.
bool CopyIfFits(char* buffer, size_t size, const char* text, size_t length)
{
    if (!buffer || size == 0)
        return false;
    buffer[0] = 0;
    if (length == 0 || length >= size)
        return false;
    std::memcpy(buffer, text, length);
    buffer[length] = 0;
    return true;
}

CJString ProgramPath()
{
    return GetModuleFilePath(GetProgramModule());
}

// The length of the program's folder part, separator included; 0 when the
// path has no separator.
size_t FolderLength(const char* path)
{
    const char* cut = std::strrchr(path, '\\');
    if (!cut)
        cut = std::strrchr(path, '/');
    return cut ? size_t(cut - path) + 1 : 0;
}

} // namespace

bool GetModulePath(char* buffer, size_t size)
{
    const CJString path = ProgramPath();
    return CopyIfFits(buffer, size, path.GetString(), size_t(path.GetLength()));
}

bool GetModuleBaseName(char* buffer, size_t size)
{
    if (!buffer || size == 0)
        return false;
    buffer[0] = 0;
    const CJString path = ProgramPath();
    if (path.IsEmpty())
        return false;
    const char* name = path.GetString();
    for (const char separator : {'\\', '/'})
        if (const char* last = std::strrchr(name, separator))
            name = last + 1;
    size_t length = std::strcspn(name, ". ");
    if (length > size - 1)
        length = size - 1;
    std::memcpy(buffer, name, length);
    buffer[length] = 0;
    return true;
}

bool GetProgramFolder(char* buffer, size_t size)
{
    const CJString path = ProgramPath();
    return CopyIfFits(buffer, size, path.GetString(), FolderLength(path.GetString()));
}

std::string GetProgramDiskFolder()
{
    const std::string path = GetProgramDiskPath();
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool SetWorkingFolderToProgram()
{
    const std::string folder = GetProgramDiskFolder();
    return plat::SetCurrentFolderAsGiven(folder);
}

bool RunProgram(const char* program, const char* arguments, ToolWindow, ProgramHandle* process,
                const char* workingFolder, ToolArguments quoting)
{
    if (process)
        process->id = 0;
    if (!program || !*program)
        return false;
    std::string line = std::string("\"") + program + "\"";
    if (arguments) {
        line += ' ';
        if (quoting == ToolArguments::Quoted)
            line += std::string("\"") + arguments + "\"";
        else
            line += arguments;
    }
    plat::ProcessHandle handle;
    // Without a handle nobody polls the tool, so the platform must reap it.
    const bool started = plat::StartProcess(
        Windows1252ToUtf8(line), workingFolder ? Windows1252ToUtf8(workingFolder) : "", process ? &handle : nullptr);
    if (process)
        process->id = handle.id;
    return started;
}

bool IsProgramRunning(ProgramHandle process)
{
    return process.id != 0 && plat::IsProcessRunning(plat::ProcessHandle{process.id});
}

void DebugPrint(const char* text)
{
    if (text)
        plat::DebugOutput(Windows1252ToUtf8(text));
}

void SleepMilliseconds(uint32_t milliseconds)
{
    plat::SleepMs(milliseconds);
}

uint32_t GetTickCount24()
{
    return plat::GetMillisecondTick() & 0xFFFFFF;
}
