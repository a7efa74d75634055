#pragma once
// Termination signals (SIGTERM, SIGINT, SIGHUP) as a request the main loop
// takes, so that a logout or a kill ends the program in its orderly shutdown
// instead of in the middle of a write.

namespace plat {

// Installs the handlers once; later calls do nothing.
void InstallTerminationHandlers();
// True once after a signal arrived; clears the request.
bool TakeTerminationRequest();

} // namespace plat
