#include "cli/terminal_window.h"

#include <cstdio>
#include <stdexcept>

#include "cli/interrupt.h"
#include "engine/dvd_format.h"
#include "platform/dir_listing.h"

namespace vantrel::cli {
namespace {

// Progress is looked at every so many pumps: the scanner pumps once per sector.
constexpr unsigned kPumpsPerLook = 64;

}  // namespace

TerminalWindow::TerminalWindow(platform::FileSystem& files, ProgressDisplay& display, bool alert)
    : m_display(display),
      m_fileList(files),
      m_alert(alert ? engine::kChecked : engine::kUnchecked) {}

// The per-file bar gets its range when a file starts: the moment to say which.
void TerminalWindow::setMax(engine::Bar bar, float max) {
    state(bar).max = max;
    if (bar != engine::Bar::ProgFile || m_form == nullptr) return;
    const engine::JobTally& tally = m_form->tally();
    m_bytesBeforeFile = tally.bytesRead;
    m_currentIsVob = platform::matchesWildcard(tally.currentFile, "*.vob");
    m_display.fileStarted(++m_filesStarted, int(m_bars[std::size_t(engine::Bar::Prog)].max),
                          tally.currentFile);
}

void TerminalWindow::setAlertValue(int value) {
    if (value < engine::kUnchecked || value > engine::kGrayed)
        throw std::invalid_argument("Invalid property value");
    m_alert = value;
}

void TerminalWindow::messageBox(const std::string& prompt, engine::MessageIcon icon,
                                const std::string& title) {
    if (icon == engine::MessageIcon::Critical) {
        m_refused = true;
        m_display.message(title + ": " + prompt);
        if (m_form != nullptr && m_form->refusal())
            m_display.message("vantrel-cli: '" + m_form->refusal()->folder +
                              "': " + m_form->refusal()->reason);
    } else {
        m_display.message(prompt);
    }
}

void TerminalWindow::beep() {
    std::fputc('\a', stderr);
    std::fflush(stderr);
}

void TerminalWindow::pumpEvents() {
    if (interruptRequested() && !m_exitPressed && m_form != nullptr) {
        m_exitPressed = true;
        m_display.message("Stopping: the current file is closed with what it holds so far.");
        m_form->cmdExit_Click();
    }
    if (++m_pumps % kPumpsPerLook == 0) showProgress();
}

void TerminalWindow::showProgress() {
    const BarState& file = state(engine::Bar::ProgFile);
    const double share = file.max > 0 ? double(file.value) / double(file.max) : 1.0;
    // A scan counts bytes, a side-file copy 1024-byte blocks.
    const double done =
        m_currentIsVob ? double(file.value) : double(file.value) * engine::dvd::kCopyBlockSize;
    m_display.progress(share, m_bytesBeforeFile + std::int64_t(done));
}

}  // namespace vantrel::cli
