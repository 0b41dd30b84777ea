#include "cli/interrupt.h"

#include <csignal>

namespace vantrel::cli {
namespace {

// A signal handler can only hand over a flag: this is the one global of the program.
volatile std::sig_atomic_t g_interrupted = 0;

void onInterrupt(int signalNumber) {
    g_interrupted = 1;
    std::signal(signalNumber, SIG_DFL);
}

}  // namespace

void installInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool interruptRequested() { return g_interrupted != 0; }

}  // namespace vantrel::cli
