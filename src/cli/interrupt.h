#pragma once

namespace vantrel::cli {

// Ctrl-C (SIGINT) and SIGTERM, on Windows Ctrl-C and Ctrl-Break, ask the
// running job to stop, as Exit does in the window. A second one ends the
// program at once.
void installInterruptHandler();
bool interruptRequested();
// The signal that asked the job to stop; 0 when none did.
int interruptSignal();

// Ends the program by `signalNumber` itself, once the job has wound down: a
// shell then sees 128 + the signal's number and, for Ctrl-C, knows that the
// user stopped it (a script stops too, instead of going on to its next line).
// Windows has no such signals: Ctrl-C and Ctrl-Break count as SIGINT there,
// and the program ends with the same status, 130.
[[noreturn]] void endBySignal(int signalNumber);

}  // namespace vantrel::cli
