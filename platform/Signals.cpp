#include "platform/Signals.h"

#include <atomic>
#include <csignal>

namespace plat {

namespace {

volatile std::sig_atomic_t g_Requested = 0;
std::atomic<bool> g_Installed{false};

extern "C" void OnTerminationSignal(int)
{
    g_Requested = 1;
}

} // namespace

void InstallTerminationHandlers()
{
    if (g_Installed.exchange(true))
        return;
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

bool TakeTerminationRequest()
{
    if (!g_Requested)
        return false;
    g_Requested = 0;
    return true;
}

} // namespace plat
