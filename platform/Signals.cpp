#include "platform/Signals.h"

#include <atomic>
#include <csignal>

namespace plat {

namespace {

volatile std::sig_atomic_t gRequested = 0;
std::atomic<bool> gInstalled{false};

extern "C" void OnTerminationSignal(int)
{
    gRequested = 1;
}

} // namespace

void InstallTerminationHandlers()
{
    if (gInstalled.exchange(true))
        return;
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

bool TakeTerminationRequest()
{
    if (!gRequested)
        return false;
    gRequested = 0;
    return true;
}

} // namespace plat
