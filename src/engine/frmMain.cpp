#include "engine/frmMain.h"

#include <cmath>
#include <cstdio>

#include "log/error_entries.h"
#include "log/log_file.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace vantrel::engine {

frmMain::frmMain(Controls& window, Services& services)
    : m_window(window),
      m_services(services),
      m_sourceCalls(kRealPumpInterval, [this] { return keepWaiting(); }),
      m_sourceFiles(services.files, m_sourceCalls),
      m_log(services.files, services.programFolder),
      m_destinationLock(services.files) {
    m_window.listFilesThrough(m_sourceFiles);
}

void frmMain::WriteLog(const std::string& Msg, std::string& File) noexcept { writeLog(Msg, File); }

log::AppendOutcome frmMain::writeLog(const std::string& Msg, std::string& File) noexcept {
    if (!platform::isBlank(File))
        return log::appendToLog(m_services.files, m_log.path(), Msg, File);
    log::AppendOutcome outcome = m_log.append(Msg);
    File = outcome.file;
    return outcome;
}

void frmMain::cancelJob() {
    if (bBusy != kFalse) bCancel = kTrue;
}

// Handlers run only here and at the job's own pumps: outside a job the call
// is waited for without them.
bool frmMain::keepWaiting() {
    if (bBusy == kFalse) return true;
    m_window.pumpEventsWhileWaiting();
    return bCancel == kFalse;
}

std::string frmMain::folder(TextBox box) {
    if (!m_jobFolders) return text(box);
    return box == TextBox::txtVobDir ? m_jobFolders->source.folder() : m_jobFolders->destination;
}

std::string frmMain::pathIn(TextBox box, const std::string& name) {
    return platform::joinPath(folder(box), name);
}

std::int64_t frmMain::startFile(const std::string& name, FileKind kind, FileEnd& end) {
    std::optional<std::int64_t> length;
    try {
        length = m_sourceFiles.fileLength(pathIn(TextBox::txtVobDir, name));
    } catch (...) {
        tell([&](JobObserver& observer) { observer.fileStarted({name, kind, std::nullopt}); });
        throw;
    }
    end.size = length;
    tell([&](JobObserver& observer) { observer.fileStarted({name, kind, length}); });
    return *length;
}

void frmMain::openOutput(platform::BinaryFile& output, const std::string& Fil,
                         const platform::BinaryFile& source, platform::BinaryFile::WriteMode mode) {
    const auto refusal = [&](const platform::FileIdentity& file) -> std::string {
        if (file == source.identity()) return "it is the source file itself";
        const auto earlier = m_outputs.find(file);
        if (earlier == m_outputs.end()) return "";
        return "it is the same file as the output of " + earlier->second;
    };
    output.openForWriting(pathIn(TextBox::txtDest, Fil), refusal, mode);
    if (bBusy != kFalse) m_outputs.emplace(output.identity(), Fil);
}

std::string frmMain::timestamp() const {
    return log::formatTimestamp(m_services.clock.now(), m_services.clock.separators());
}

void frmMain::log(EntryKind kind, const log::Entry& entry, const std::string& file) noexcept {
    std::string defaultLog;
    const log::AppendOutcome outcome = writeLog(entry.text(), defaultLog);
    try {
        m_tally.problems.record(outcome);
        if (m_observer == nullptr) return;
        LoggedEntry logged{kind, entry, outcome, file};
        if (entry.complete) {
            tell([&](JobObserver& observer) { observer.entryLogged(logged); });
        } else {
            m_openEntry = std::move(logged);
        }
    } catch (...) {
        // Out of memory for a file name: the entry itself went where it went.
    }
}

void frmMain::logContinuation(const log::Entry& line, const std::string& file) noexcept {
    std::string defaultLog;
    const log::AppendOutcome outcome = writeLog(line.text(), defaultLog);
    m_tally.problems.recordContinuation(outcome);
    if (!m_openEntry) return;
    try {
        LoggedEntry completed = std::move(*m_openEntry);
        m_openEntry.reset();
        completed.entry.lines.insert(completed.entry.lines.end(), line.lines.begin(),
                                     line.lines.end());
        completed.entry.complete = line.complete;
        completed.file = file;
        tell([&](JobObserver& observer) { observer.entryLogged(completed); });
    } catch (...) {
        // As above: the log has the line.
    }
}

std::string barValueText(float value) {
    char digits[32];
    if (std::nearbyint(value) == value && std::fabs(value) < 1e15f) {
        std::snprintf(digits, sizeof digits, "%.0f", double(value));
    } else {
        std::snprintf(digits, sizeof digits, "%g", double(value));
    }
    return digits;
}

}  // namespace vantrel::engine
