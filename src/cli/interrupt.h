#pragma once

namespace vantrel::cli {

// Ctrl-C (SIGINT) and SIGTERM ask the running job to stop, as Exit does in the
// window. A second signal ends the program at once.
void installInterruptHandler();
bool interruptRequested();
// The signal that asked the job to stop; 0 when none did.
int interruptSignal();

// Ends the program by `signalNumber` itself, once the job has wound down: a
// shell then sees 128 + the signal's number and, for Ctrl-C, knows that the
// user stopped it (a script stops too, instead of going on to its next line).
[[noreturn]] void endBySignal(int signalNumber);

}  // namespace vantrel::cli
