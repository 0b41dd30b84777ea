#pragma once

namespace vantrel::cli {

// Ctrl-C (SIGINT) and SIGTERM ask the running job to stop, as Exit does in the
// window. A second signal ends the program at once.
void installInterruptHandler();
bool interruptRequested();

}  // namespace vantrel::cli
