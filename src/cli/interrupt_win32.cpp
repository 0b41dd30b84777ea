#include <windows.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "cli/interrupt.h"

namespace vantrel::cli {
namespace {

// The console calls its handlers on a thread of its own: the count is atomic.
std::atomic<int> g_interrupts{0};

// Ctrl-C and Ctrl-Break ask the job to stop; the second press is left to the
// system's own handling, which ends the program at once. Closing the console
// and logging off are left to the system as well.
BOOL WINAPI onConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    return g_interrupts.fetch_add(1) == 0 ? TRUE : FALSE;
}

}  // namespace

void installInterruptHandler() {
    // A program started in a new process group has Ctrl-C switched off.
    ::SetConsoleCtrlHandler(nullptr, FALSE);
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

bool interruptRequested() { return g_interrupts.load() != 0; }

int interruptSignal() { return interruptRequested() ? SIGINT : 0; }

// No signal can end a Windows program: the status says what a shell would see.
void endBySignal(int signalNumber) {
    std::fflush(nullptr);
    std::_Exit(128 + signalNumber);
}

}  // namespace vantrel::cli
