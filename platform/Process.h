#pragma once
// Starting external tools and polling them.
//
// A command line is split into arguments the way tool command lines are
// written: white space separates arguments; a double quote starts or ends a
// quoted stretch in which white space is kept; the quotes themselves are
// dropped; backslashes are ordinary characters (they are path separators).
// The first argument is the program: an engine name when it holds a
// separator (resolved as in FileSystem.h), otherwise looked up on PATH.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// A started process: its id, 0 for none.
struct ProcessHandle {
    std::int32_t id = 0;
};

std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// Starts the program with the environment of the caller, in the given
// working folder (empty: the caller's). The child inherits no open files
// but standard input, output and error. False when it cannot be started.
// Without a handle the tool is not this process's child once started, so it
// is reaped by the system and never lingers as a zombie.
[[nodiscard]] bool StartProcess(std::string_view commandLine, std::string_view workingFolder, ProcessHandle* handle);

// True while the process runs; once it has ended it is reaped and every
// later call answers false.
bool IsProcessRunning(ProcessHandle handle);

} // namespace plat
