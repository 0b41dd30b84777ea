#pragma once

#include <QObject>

class QSocketNotifier;

namespace vantrel::ui {

// SIGTERM and SIGHUP (a service manager, the end of a desktop session, `kill`)
// as requests to end the window, in its event loop. install() sets the
// handlers, as early as the program can: from then on such a signal only
// writes a byte to a socket, where it waits, should it come before the event
// loop runs, until a TerminationRequests object reads it and emits
// requested(). A signal the starting process set to ignore stays ignored.
class TerminationRequests final : public QObject {
    Q_OBJECT

  public:
    static void install();

    explicit TerminationRequests(QObject* parent = nullptr);

  signals:
    void requested();

  private:
    void take();

    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace vantrel::ui
