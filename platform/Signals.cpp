#include "platform/Signals.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <sys/types.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace plat {

namespace {

volatile std::sig_atomic_t g_Requested = 0;
std::atomic<bool> g_Installed{false};

constexpr int kTerminationSignals[] = {SIGTERM, SIGINT, SIGHUP};

// While RunEndingChildrenOnSignal waits: the signal taken and the pipe that
// wakes its watcher.
volatile std::sig_atomic_t g_WatchedSignal = 0;
volatile std::sig_atomic_t g_WakeFd = -1;

// Once the call's children are being ended, the watcher looks again this
// often: SDL tries its next kind of box when one fails.
constexpr int kEndingPollMs = 20;

// While RunEndingChildrenOnSignal runs its call: this process, whose end
// ends the children the call starts.
volatile pid_t g_ChildrenEndWith = 0;

// A child left behind by a kill would keep its box on screen with nobody
// to answer to. SIGKILL: the child inherits the handlers of this process.
void EndWithTheParentInChild()
{
    const pid_t parent = g_ChildrenEndWith;
    g_ChildrenEndWith = 0;
    if (parent == 0)
        return;
    (void)::prctl(PR_SET_PDEATHSIG, SIGKILL);
    // The parent may have gone before the request was made.
    if (::getppid() != parent)
        ::_exit(0);
}

extern "C" void OnTerminationSignal(int)
{
    g_Requested = 1;
}

extern "C" void OnSignalWhileWatching(int signal)
{
    g_WatchedSignal = signal;
    const int saved = errno;
    const char byte = 1;
    if (::write(g_WakeFd, &byte, 1) < 0) {
        // The pipe is full: the watcher is awake already.
    }
    errno = saved;
}

// The processes whose parent is this one, from /proc.
std::vector<pid_t> ChildProcesses()
{
    std::vector<pid_t> children;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return children;
    const long self = long(::getpid());
    while (const dirent* entry = ::readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0')
            continue;
        char path[64];
        std::snprintf(path, sizeof path, "/proc/%ld/stat", pid);
        FILE* file = std::fopen(path, "re");
        if (!file)
            continue;
        char line[512];
        const size_t length = std::fread(line, 1, sizeof line - 1, file);
        std::fclose(file);
        line[length] = '\0';
        // "pid (name) state ppid ...": the name may hold spaces and brackets.
        const char* name = std::strrchr(line, ')');
        char state = 0;
        long parent = 0;
        if (name && std::sscanf(name + 1, " %c %ld", &state, &parent) == 2 && parent == self)
            children.push_back(pid_t(pid));
    }
    ::closedir(proc);
    return children;
}

} // namespace

void InstallTerminationHandlers()
{
    if (g_Installed.exchange(true))
        return;
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : kTerminationSignals)
        sigaction(signal, &action, nullptr);
}

bool TakeTerminationRequest()
{
    if (!g_Requested)
        return false;
    g_Requested = 0;
    return true;
}

bool IsTerminationRequested()
{
    return g_Requested != 0;
}

bool RunEndingChildrenOnSignal(const std::function<void()>& call)
{
    int wake[2];
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        call();
        return false;
    }
    static const bool registered = ::pthread_atfork(nullptr, nullptr, EndWithTheParentInChild) == 0;
    (void)registered;
    const std::vector<pid_t> before = ChildProcesses();
    g_WatchedSignal = 0;
    g_WakeFd = wake[1];
    struct sigaction watching {};
    watching.sa_handler = OnSignalWhileWatching;
    sigemptyset(&watching.sa_mask);
    struct sigaction previous[std::size(kTerminationSignals)] {};
    for (size_t i = 0; i < std::size(kTerminationSignals); ++i)
        sigaction(kTerminationSignals[i], &watching, &previous[i]);

    std::atomic<bool> done{false};
    std::thread watcher([&] {
        pollfd readable{wake[0], POLLIN, 0};
        while (!done) {
            (void)::poll(&readable, 1, g_WatchedSignal ? kEndingPollMs : -1);
            char drained[16];
            while (::read(wake[0], drained, sizeof drained) > 0) {
            }
            if (done || !g_WatchedSignal)
                continue;
            for (const pid_t child : ChildProcesses())
                if (std::find(before.begin(), before.end(), child) == before.end())
                    ::kill(child, SIGKILL);
        }
    });
    g_ChildrenEndWith = ::getpid();
    call();
    g_ChildrenEndWith = 0;
    done = true;
    const char byte = 0;
    (void)!::write(wake[1], &byte, 1);
    watcher.join();

    for (size_t i = 0; i < std::size(kTerminationSignals); ++i)
        sigaction(kTerminationSignals[i], &previous[i], nullptr);
    g_WakeFd = -1;
    ::close(wake[0]);
    ::close(wake[1]);
    const int signal = g_WatchedSignal;
    g_WatchedSignal = 0;
    if (signal != 0)
        std::raise(signal);
    return signal != 0;
}

} // namespace plat
