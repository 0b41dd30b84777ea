#include "cli/terminal_window.h"

#include <algorithm>
#include <cstdio>

#include "cli/interrupt.h"
#include "cli/options.h"

namespace vantrel::cli {
namespace {

// Progress is looked at every so many pumps: the scanner pumps once per sector.
constexpr unsigned kPumpsPerLook = 64;

}  // namespace

TerminalWindow::TerminalWindow(platform::FileSystem& files, ProgressDisplay& display, bool alert)
    : engine::ControlState(files),
      m_display(display),
      m_alert(alert ? engine::kChecked : engine::kUnchecked) {}

void TerminalWindow::beep() {
    std::fputc('\a', stderr);
    std::fflush(stderr);
}

void TerminalWindow::pumpEvents() {
    if (++m_pumps % kPumpsPerLook == 0) pumpEventsWhileWaiting();
}

// Ctrl-C is looked for with the progress: 64 sectors are 128 KiB, read in well
// under a millisecond, and a job waiting on its source looks every 10 ms.
void TerminalWindow::pumpEventsWhileWaiting() {
    if (interruptRequested() && !m_exitPressed && m_form != nullptr) {
        m_exitPressed = true;
        m_display.message(std::string(kProgramName) +
                          ": stopping: the current file is closed with what it holds so far");
        m_form->cmdExit_Click();
    }
    if (m_report != nullptr) m_report->showProgress();
}

}  // namespace vantrel::cli
