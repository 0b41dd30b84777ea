#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::ui {

// What the window takes from its command line: --help and --version, which
// print and end the program, and nothing else of its own (Qt's options such
// as -platform reach Qt). Gives the status to exit with when the program is
// to end now.
std::optional<int> handleCommandLine(int argc, char** argv);

// From its making until done() (or its end), a screen that Qt cannot open ends
// the program with one line that says so and status 1, instead of Qt's abort
// and its advice to reinstall; Qt's other messages of that time are held and
// passed on at done().
class DisplayCheck {
  public:
    DisplayCheck();
    ~DisplayCheck() { done(); }
    DisplayCheck(const DisplayCheck&) = delete;
    DisplayCheck& operator=(const DisplayCheck&) = delete;

    void done();

  private:
    static void hold(QtMsgType type, const QMessageLogContext& context, const QString& message);

    QtMessageHandler m_previous;
    bool m_done = false;
};

}  // namespace vantrel::ui
