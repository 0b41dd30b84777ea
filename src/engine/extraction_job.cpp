// cmdGo_Click and cmdExit_Click: one extraction job and its cancel handshake.

#include <limits>

#include "engine/frmMain.h"
#include "engine/job_files.h"
#include "log/error_entries.h"
#include "log/log_file.h"
#include "platform/failure.h"

namespace vantrel::engine {
namespace {

// The log's size limit as the user reads it.
const std::string kLogSizeLimitText = "51,200";
static_assert(log::kLogSizeLimit == 51'200);

}  // namespace

void frmMain::cmdGo_Click() {
    m_tally = {};
    m_alertShown.clear();
    JobEnd end;
    end.outcome = JobOutcome::Failed;
    try {
        end = runJob();
    } catch (const std::exception& failure) {
        log(EntryKind::JobFailure, log::cmdGoClickEntry(timestamp(), failure.what()));
        returnToIdle();
    }
    completed(end);
    end.alert = m_alertShown;
    m_destinationLock.release();
    m_source.reset();
    m_jobFolders.reset();
    m_outputs.clear();
    m_readBuffer.release();
    m_writeBuffer.release();
    tell([&](JobObserver& observer) { observer.jobEnded(end); });
    // Exit during the job asked for the window to close once the job was over.
    if (m_closeWhenJobEnds) {
        m_closeWhenJobEnds = false;
        m_window.closeWindow();
    }
}

// What every end of a job tells, however it came: the folders it used (or
// was given), what it did, where its entries went.
void frmMain::completed(JobEnd& end) {
    try {
        end.source = folder(TextBox::txtVobDir);
        end.destination = folder(TextBox::txtDest);
        end.copy = m_copyKind;
        end.tally = m_tally;
        end.logFile = m_log.path();
    } catch (...) {
        // A window that cannot give its texts any more: the rest is told.
    }
}

std::optional<JobEnd> frmMain::takeFolders() {
    if (ValDir() == kFalse) return JobEnd{JobOutcome::Refused, m_refusal, false};
    ResolvedSource source = std::move(*m_source);
    // A file that is no disc image holds no DVD file, and the box says why.
    if (const auto& unreadable = source.unreadable())
        return refuseWithoutDvdFiles(unreadable->what(), unreadable->reason());
    m_jobFolders.emplace(JobFolders{std::move(source), text(TextBox::txtDest)});
    return std::nullopt;
}

JobEnd frmMain::runJob() {
    if (auto refused = takeFolders()) return *refused;
    const std::int32_t fileTotal = CountFiles();
    if (fileTotal == 0) return refuseWithoutDvdFiles();
    startJob(fileTotal);
    CopyFiles();
    scanVobs();
    flushDestination();
    const bool cancelled = bCancel != kFalse;  // the wind-down clears the request
    windDown();
    return {cancelled ? JobOutcome::Cancelled : JobOutcome::Done, std::nullopt, false};
}

JobEnd frmMain::refuseWithoutDvdFiles(const std::string& explanation, const std::string& reason) {
    const std::string message = "No files (*.vob) for processing found!";
    m_window.messageBox(explanation.empty() ? message : message + "\n" + explanation,
                        MessageIcon::Critical, "Error");
    return {JobOutcome::Refused,
            FolderRefusal{TextBox::txtVobDir, folder(TextBox::txtVobDir), reason}, true};
}

JobEnd frmMain::checkJob() {
    // The lock goes however the checks end, a failure of theirs included.
    const struct LetGo {
        frmMain& form;
        ~LetGo() {
            form.m_destinationLock.release();
            form.m_source.reset();
            form.m_jobFolders.reset();
        }
    } letGo{*this};
    JobEnd end;
    if (auto refused = takeFolders()) {
        end = *refused;
    } else if (CountFiles() == 0) {
        end = refuseWithoutDvdFiles();
    }
    completed(end);
    return end;
}

void frmMain::startJob(std::int32_t fileTotal) {
    m_window.setEnabled(Input::txtDest, false);
    m_window.setEnabled(Input::txtVobDir, false);
    m_window.setEnabled(Input::cmdGo, false);
    m_window.setMousePointer(MousePointer::Hourglass);
    m_window.setPanelText(2, std::to_string(fileTotal));
    bCancel = kFalse;
    bBusy = kTrue;
    m_outputs.clear();
    m_window.setMin(Bar::Prog, 0);
    m_window.setValue(Bar::Prog, 0);
    m_window.setMax(Bar::Prog, static_cast<float>(fileTotal));
    m_window.setVisible(Bar::Prog, true);
    m_window.setMin(Bar::ProgFile, 0);
    m_window.setVisible(Bar::ProgFile, true);
    if (m_observer != nullptr) {
        // The census (a listing and every file measured) in one call off the
        // window's thread, not in one call per file.
        JobStart start{fileTotal};
        try {
            platform::FileSystem& files = m_services.files;
            start = m_sourceCalls.run<JobStart>(
                [&files, source = folder(TextBox::txtVobDir), fileTotal] {
                    return measuredJob(files, source, fileTotal);
                });
        } catch (const platform::CallAbandoned&) {
            // Exit while the source did not answer: the job winds down unmeasured.
        }
        tell([&](JobObserver& observer) { observer.jobStarted(start); });
    }
}

void frmMain::scanVobs() {
    try {
        m_window.setFileListPath(folder(TextBox::txtVobDir));
    } catch (const platform::CallAbandoned&) {
        return;  // Exit while the source folder did not answer: no VOB is scanned
    }
    std::string name = m_window.fileListCount() > 0 ? m_window.fileListItem(0) : std::string();
    std::int16_t counter = 0;
    while (!name.empty() && bCancel == kFalse) {
        m_window.pumpEvents();
        if (counter == std::numeric_limits<std::int16_t>::max())
            throw platform::Failure("Overflow: more than 32767 VOB files in one job");
        ++counter;
        m_window.setPanelText(3, name);
        Process(name);
        name = counter == m_window.fileListCount() ? std::string() : m_window.fileListItem(counter);
        advance(Bar::Prog, 1);
    }
}

// "Done" means on disk: what the job wrote reaches the device before the
// window says so. A flush that fails is a problem like a failed write, and the
// wind-down goes on.
void frmMain::flushDestination() {
    try {
        m_destinationLock.flush();
    } catch (const std::exception& failure) {
        log(EntryKind::FileFailure, log::cmdGoClickEntry(timestamp(), failure.what()));
    }
}

void frmMain::windDown() {
    m_window.setPanelText(1, barValueText(m_window.value(Bar::Prog)));
    m_window.setVisible(Bar::Prog, false);
    m_window.setVisible(Bar::ProgFile, false);
    m_window.setMousePointer(MousePointer::Default);
    m_window.setEnabled(Input::cmdGo, true);
    m_window.setEnabled(Input::txtDest, true);
    m_window.setEnabled(Input::txtVobDir, true);
    // The files are complete: another job may have the folder while the alert waits.
    m_destinationLock.release();
    if (m_window.alertValue() == kChecked) alertDone();
    for (int panel = 1; panel <= 3; ++panel) m_window.setPanelText(panel, "");
    bBusy = kFalse;
    bCancel = kFalse;
}

// The beep and "Done": when the job logged problems, a second line says how
// many and where to read them, so that a job with failures does not pass for a
// clean one.
void frmMain::alertDone() {
    m_window.beep();
    const bool clean = m_tally.problems.entries() == 0;
    m_alertShown =
        clean ? "Done with coping!" : "Done with coping!\n" + problemsReport(m_tally.problems);
    m_window.messageBox(m_alertShown, clean ? MessageIcon::Information : MessageIcon::Exclamation,
                        "Done");
}

std::string problemsReport(const log::LogTally& problems) {
    const auto counted = [](int count) {
        return std::to_string(count) + (count == 1 ? " problem" : " problems");
    };
    const int written = problems.entries() - problems.unwritten;
    std::string report;
    if (problems.written.size() == 1) {
        report = counted(written) + (written == 1 ? " was" : " were") + " written to " +
                 problems.written[0].file;
    } else if (!problems.written.empty()) {
        report = counted(written) + " were written:";
        for (const log::LogFileTally& file : problems.written)
            report += (report.back() == ':' ? " " : ", ") + std::to_string(file.entries) + " to " +
                      file.file;
    }
    // The log starts afresh once it passes its limit: the entries before are gone.
    for (const log::LogFileTally& file : problems.written) {
        if (file.held == file.entries) continue;
        report += "; " + (problems.written.size() == 1 ? std::string("it") : file.file) +
                  " was restarted when it passed " + kLogSizeLimitText +
                  " bytes and holds the last " + std::to_string(file.held);
    }
    if (!report.empty()) report += ".";
    if (problems.unwritten > 0) {
        if (!report.empty()) report += " ";
        report += counted(problems.unwritten) + " could not be written to the log (" +
                  problems.lastRefusal.file + ": " + problems.lastRefusal.problem + ").";
    }
    return report;
}

// After a failure of the job itself: the window is made usable again, without
// the alert. Each step is tried on its own so that one refusal does not leave
// the rest undone.
void frmMain::returnToIdle() noexcept {
    const auto attempt = [](auto&& step) {
        try {
            step();
        } catch (...) {
        }
    };
    attempt([&] { m_window.setVisible(Bar::Prog, false); });
    attempt([&] { m_window.setVisible(Bar::ProgFile, false); });
    for (int panel = 1; panel <= 3; ++panel) attempt([&] { m_window.setPanelText(panel, ""); });
    attempt([&] { m_window.setMousePointer(MousePointer::Default); });
    attempt([&] { m_window.setEnabled(Input::cmdGo, true); });
    attempt([&] { m_window.setEnabled(Input::txtDest, true); });
    attempt([&] { m_window.setEnabled(Input::txtVobDir, true); });
    bBusy = kFalse;
    bCancel = kFalse;
}

void frmMain::cmdExit_Click() {
    if (bBusy != kFalse) {
        // The job runs below this handler, inside its own pump: ask it to stop
        // and let it close the window when it has wound down.
        bCancel = kTrue;
        m_closeWhenJobEnds = true;
        return;
    }
    m_window.closeWindow();
}

}  // namespace vantrel::engine
