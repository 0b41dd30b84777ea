#include "ui/qt/termination_requests.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace vantrel::ui {
namespace {

// The socket pair's ends: a signal handler may write to a descriptor and do
// little else, and it reaches only what is global.
int g_signalled = -1;  // written by the handler
int g_toRead = -1;     // watched in the event loop

void onTermination(int signalNumber) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    // A full socket already holds a request: one more adds nothing.
    [[maybe_unused]] const ssize_t written = ::write(g_signalled, &byte, 1);
    errno = savedErrno;
}

}  // namespace

void TerminationRequests::install() {
    if (g_signalled >= 0) return;
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends) != 0) return;
    g_toRead = ends[0];
    g_signalled = ends[1];
    struct sigaction action {};
    action.sa_handler = onTermination;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : {SIGTERM, SIGHUP}) {
        struct sigaction previous {};
        if (::sigaction(signalNumber, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        ::sigaction(signalNumber, &action, nullptr);
    }
}

TerminationRequests::TerminationRequests(QObject* parent) : QObject(parent) {
    if (g_toRead < 0) return;
    m_notifier = new QSocketNotifier(g_toRead, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationRequests::take);
}

// Every signal waiting is one request.
void TerminationRequests::take() {
    char bytes[64];
    bool any = false;
    while (::read(g_toRead, bytes, sizeof bytes) > 0) any = true;
    if (any) emit requested();
}

}  // namespace vantrel::ui
