#include "cli/terminal_window.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "cli/interrupt.h"
#include "cli/options.h"
#include "platform/dir_listing.h"
#include "platform/paths.h"

namespace vantrel::cli {
namespace {

// Progress is looked at every so many pumps: the scanner pumps once per sector.
constexpr unsigned kPumpsPerLook = 64;

}  // namespace

std::string invalidFolderMessage(engine::TextBox box, const std::string& folder,
                                 const std::string& reason) {
    const char* role = box == engine::TextBox::txtVobDir ? "source" : "destination";
    return std::string(kProgramName) + ": invalid " + role + " folder '" + folder + "': " + reason;
}

TerminalWindow::TerminalWindow(platform::FileSystem& files, ProgressDisplay& display, bool alert)
    : engine::WindowControls(files),
      m_files(files),
      m_display(display),
      m_alert(alert ? engine::kChecked : engine::kUnchecked) {}

// The overall bar gets its range when the job starts, the per-file bar when a
// file starts: the moments to tell the display.
void TerminalWindow::setMax(engine::Bar bar, float max) {
    WindowControls::setMax(bar, max);
    if (m_form == nullptr) return;
    if (bar == engine::Bar::Prog) startJob(int(max));
    if (bar == engine::Bar::ProgFile) startFile();
}

// The VOBs are measured once, for the whole job's position and the time left.
void TerminalWindow::startJob(int fileTotal) {
    const std::string folder = m_texts[engine::TextBox::txtVobDir];
    m_vobLengths.clear();
    std::int64_t total = 0;
    try {
        engine::VobFileList vobs(m_files);
        vobs.setPath(folder);
        for (const std::string& name : vobs.names()) {
            const std::int64_t length = m_files.fileLength(platform::joinPath(folder, name));
            m_vobLengths[name] = length;
            total += length;
        }
    } catch (const std::exception&) {
        // The job meets the same failure and logs it; the display does without.
    }
    m_filesStarted = 0;
    m_vobBytesBefore = 0;
    m_currentVobLength = 0;
    m_display.jobStarted(fileTotal, total);
}

void TerminalWindow::startFile() {
    const std::string& name = m_form->tally().currentFile;
    m_vobBytesBefore += m_currentVobLength;
    const auto vob = m_vobLengths.find(name);
    m_currentVobLength =
        vob != m_vobLengths.end() && platform::matchesWildcard(name, "*.vob") ? vob->second : 0;
    m_display.fileStarted(++m_filesStarted, name);
}

void TerminalWindow::messageBox(const std::string& prompt, engine::MessageIcon icon,
                                const std::string& title) {
    if (icon != engine::MessageIcon::Critical) {
        m_display.message(prompt);
        return;
    }
    m_refused = true;
    if (m_form != nullptr && m_form->refusal()) {
        const engine::FolderRefusal& refusal = *m_form->refusal();
        m_display.message(invalidFolderMessage(refusal.box, refusal.folder, refusal.reason));
    } else if (prompt == "No files (*.vob) for processing found!") {
        m_display.message(std::string(kProgramName) +
                          ": no files (*.vob) for processing found in '" +
                          m_texts[engine::TextBox::txtVobDir] + "'");
    } else {
        m_display.message(std::string(kProgramName) + ": " + title + ": " + prompt);
    }
}

void TerminalWindow::beep() {
    std::fputc('\a', stderr);
    std::fflush(stderr);
}

// Ctrl-C is looked for with the progress: 64 sectors are 128 KiB, read in well
// under a millisecond.
void TerminalWindow::pumpEvents() {
    if (++m_pumps % kPumpsPerLook != 0) return;
    if (interruptRequested() && !m_exitPressed && m_form != nullptr) {
        m_exitPressed = true;
        m_display.message(std::string(kProgramName) +
                          ": stopping: the current file is closed with what it holds so far");
        m_form->cmdExit_Click();
    }
    showProgress();
}

void TerminalWindow::showProgress() {
    const BarValues& file = barValues(engine::Bar::ProgFile);
    const double share = file.max > 0 ? double(file.value) / double(file.max) : 1.0;
    // A scan's bar counts bytes; a side file's counts copy blocks, and no VOB bytes.
    const std::int64_t scanned =
        m_currentVobLength > 0 ? std::min(m_currentVobLength, std::int64_t(file.value)) : 0;
    m_display.progress(share, m_vobBytesBefore + scanned);
}

}  // namespace vantrel::cli
