#include <pthread.h>
#include <signal.h>

#include "platform/call_worker.h"

namespace vantrel::platform {

// The worker takes no signal: Ctrl-C and SIGTERM reach the thread that asked
// for the call, which handles them, and never cut a call on a device short
// (EINTR). Signals of the worker's own faults are left to it. It is born
// with the mask, so that no signal can come before it is set.
void CallWorker::startThread() {
    sigset_t blocked, previous;
    ::sigfillset(&blocked);
    for (const int fault : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS})
        ::sigdelset(&blocked, fault);
    ::pthread_sigmask(SIG_BLOCK, &blocked, &previous);
    try {
        m_thread = std::thread([this] { work(); });
    } catch (...) {
        ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        throw;
    }
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

// A read in the kernel goes on until the device answers: the call is left to it.
void CallWorker::cancelPendingIo() {}

}  // namespace vantrel::platform
