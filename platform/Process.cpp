#include "platform/Process.h"

#include "platform/FileSystem.h"

#include <cerrno>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace plat {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// posix_spawn's file actions, released on every path out.
class CSpawnActions {
public:
    CSpawnActions() { m_Valid = ::posix_spawn_file_actions_init(&m_Actions) == 0; }
    ~CSpawnActions()
    {
        if (m_Valid)
            ::posix_spawn_file_actions_destroy(&m_Actions);
    }
    CSpawnActions(const CSpawnActions&) = delete;
    CSpawnActions& operator=(const CSpawnActions&) = delete;

    bool IsValid() const { return m_Valid; }
    posix_spawn_file_actions_t* Get() { return &m_Actions; }

private:
    posix_spawn_file_actions_t m_Actions;
    bool m_Valid = false;
};

} // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine)
{
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false; // "" is an empty argument, so track this apart from current
    bool inQuotes = false;
    for (const char c : commandLine) {
        if (c == '"') {
            inQuotes = !inQuotes;
            inArgument = true;
        } else if (IsBlank(c) && !inQuotes) {
            if (inArgument)
                arguments.push_back(std::move(current));
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments.push_back(std::move(current));
    return arguments;
}

bool StartProcess(std::string_view commandLine, std::string_view workingFolder, ProcessHandle* handle)
{
    if (handle)
        handle->id = 0;
    std::vector<std::string> arguments = SplitCommandLine(commandLine);
    if (arguments.empty() || arguments.front().empty())
        return false;

    const bool searchPath = arguments.front().find_first_of("/\\") == std::string::npos;
    if (!searchPath) {
        // Relative to the caller's folder, not the child's new one.
        arguments.front() = ResolvePath(arguments.front());
        if (arguments.front().front() != '/')
            arguments.front() = GetCurrentFolder() + "/" + arguments.front();
    }

    CSpawnActions actions;
    if (!actions.IsValid())
        return false;
    if (!workingFolder.empty()
        && ::posix_spawn_file_actions_addchdir_np(actions.Get(), ResolvePath(workingFolder).c_str()) != 0)
        return false;
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    if (::posix_spawn_file_actions_addclosefrom_np(actions.Get(), 3) != 0)
        return false;
#endif

    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    const auto spawn = [&] {
        return searchPath ? ::posix_spawnp(&pid, argv[0], actions.Get(), nullptr, argv.data(), environ)
                          : ::posix_spawn(&pid, argv[0], actions.Get(), nullptr, argv.data(), environ);
    };
    if (!handle) {
        // Nobody will poll this tool, so nobody would reap it: start it from a
        // short-lived middle process, reaped here, and the tool passes to init.
        const pid_t middle = ::fork();
        if (middle < 0)
            return false;
        if (middle == 0)
            ::_exit(spawn() == 0 ? 0 : 127);
        int status = 0;
        pid_t reaped;
        do {
            reaped = ::waitpid(middle, &status, 0);
        } while (reaped < 0 && errno == EINTR);
        return reaped == middle && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    if (spawn() != 0)
        return false;
    handle->id = std::int32_t(pid);
    return true;
}

bool IsProcessRunning(ProcessHandle handle)
{
    if (handle.id <= 0)
        return false;
    int status = 0;
    pid_t result;
    do {
        result = ::waitpid(pid_t(handle.id), &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    return result == 0;
}

} // namespace plat
