#pragma once
// Termination signals (SIGTERM, SIGINT, SIGHUP) as a request the main loop
// takes, so that a logout or a kill ends the program in its orderly shutdown
// instead of in the middle of a write.

#include <functional>

namespace plat {

// Installs the handlers once; later calls do nothing.
void InstallTerminationHandlers();
// True once after a signal arrived; clears the request.
bool TakeTerminationRequest();
// True while a signal's request waits to be taken.
bool IsTerminationRequested();

// Runs a call that blocks until child processes it starts have ended (a
// message box that SDL shows from a process of its own, and waits for
// whatever signals arrive). A termination signal that comes meanwhile ends
// the children the call started, so that it returns, and is then raised
// again for the handler in place before (SDL's turns it into its quit
// event). The children end with this process, a kill included. True when
// such a signal came.
bool RunEndingChildrenOnSignal(const std::function<void()>& call);

} // namespace plat
