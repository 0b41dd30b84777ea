#include "cli/interrupt.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

namespace vantrel::cli {
namespace {

// A signal handler can hand over nothing but a flag, and only in a global.
volatile std::sig_atomic_t g_signal = 0;

void onInterrupt(int signalNumber) {
    g_signal = signalNumber;
    std::signal(signalNumber, SIG_DFL);
}

}  // namespace

// A signal ignored by whoever started us (a background job of a script, nohup)
// stays ignored.
void installInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : {SIGINT, SIGTERM}) {
        struct sigaction previous {};
        if (sigaction(signalNumber, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        sigaction(signalNumber, &action, nullptr);
    }
}

bool interruptRequested() { return g_signal != 0; }

int interruptSignal() { return g_signal; }

void endBySignal(int signalNumber) {
    std::fflush(nullptr);
    std::signal(signalNumber, SIG_DFL);
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, signalNumber);
    sigprocmask(SIG_UNBLOCK, &signals, nullptr);
    std::raise(signalNumber);
    std::_Exit(128 + signalNumber);  // should the signal not have ended us
}

}  // namespace vantrel::cli
