#include <pthread.h>
#include <windows.h>

#include "platform/call_worker.h"

namespace vantrel::platform {

void CallWorker::startThread() {
    m_thread = std::thread([this] { work(); });
}

// The read (or open, or listing) the worker waits for ends at once with
// ERROR_OPERATION_ABORTED, and the worker goes on to what waits behind it.
// Nothing to cancel (the call is not in the system) is no failure.
void CallWorker::cancelPendingIo() {
    ::CancelSynchronousIo(static_cast<HANDLE>(::pthread_gethandle(m_thread.native_handle())));
}

}  // namespace vantrel::platform
