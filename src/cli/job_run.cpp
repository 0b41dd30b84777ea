#include "cli/job_run.h"

#include <chrono>
#include <cstdio>
#include <optional>

#include "cli/console.h"
#include "cli/dry_run.h"
#include "cli/interrupt.h"
#include "cli/job_destination.h"
#include "cli/job_report.h"
#include "cli/job_source.h"
#include "cli/json_document.h"
#include "cli/progress_display.h"
#include "cli/terminal_window.h"
#include "cli/verify_report.h"
#include "engine/frmMain.h"
#include "engine/job_files.h"
#include "log/log_file.h"
#include "platform/clock.h"
#include "platform/failure.h"
#include "platform/paths.h"
#include "platform/system_file_system.h"
#include "verify/copy_verification.h"

namespace vantrel::cli {
namespace {

using engine::TextBox;

ProgressDisplay::Mode displayMode(const Options& options) {
    if (options.quiet) return ProgressDisplay::Mode::Quiet;
    return isTerminal(stderr) ? ProgressDisplay::Mode::Terminal : ProgressDisplay::Mode::Plain;
}

void printSummary(const engine::JobTally& tally, engine::CopyKind copy, double seconds) {
    std::printf("%s copied, %s scanned, %s written%s\n%s read, %s written in %.2f s (%s/s)\n",
                counted(tally.sideFilesCopied, "side file", "side files").c_str(),
                counted(tally.vobsScanned, "VOB", "VOBs").c_str(),
                counted(tally.navPacksWritten, "NV_PCK sector", "NV_PCK sectors").c_str(),
                copy == engine::CopyKind::Sparse ? " at their own offsets (a sparse copy)" : "",
                humanBytes(double(tally.bytesRead)).c_str(),
                humanBytes(double(tally.bytesWritten)).c_str(), seconds,
                humanBytes(seconds > 0 ? double(tally.bytesRead) / seconds : 0).c_str());
    if (tally.problems.entries() > 0)
        std::printf("%s\n", engine::problemsReport(tally.problems).c_str());
}

// The check of a copy, or nothing when its folder cannot be listed: then the
// line that says why has been shown.
std::optional<verify::CopyCheck> checkCopy(platform::FileSystem& files, const std::string& folder,
                                           ProgressDisplay& display) {
    try {
        return verify::verifyCopy(files, folder);
    } catch (const std::exception& failure) {
        display.message(std::string(kProgramName) + ": cannot verify the copy: " + failure.what());
        return std::nullopt;
    }
}

// The check for the reader, or with --quiet a line when something was found.
void showCheck(const Options& options, const std::string& folder,
               const std::optional<verify::CopyCheck>& check, ProgressDisplay& display) {
    if (!check) return;
    if (!options.quiet) {
        printCopyCheck(stdout, folder, *check);
    } else if (!check->completeAndExact()) {
        display.message(std::string(kProgramName) + ": the copy in '" + folder +
                        "' is not complete and exact: " + tallyText(check->total()));
    }
}

// The refusal of a folder, by the check that threw `failure`.
engine::JobEnd refusal(TextBox box, const std::string& folder, const platform::Failure& failure) {
    return {engine::JobOutcome::Refused, engine::FolderRefusal{box, folder, failure.reason()},
            false};
}

// The refusal of the census, as the job gives it.
engine::JobEnd withoutDvdFiles(std::string folder) {
    if (folder.back() != platform::kPathSeparator) folder += platform::kPathSeparator;
    return {engine::JobOutcome::Refused,
            engine::FolderRefusal{TextBox::txtVobDir, folder, "no DVD files"}, true};
}

// Whether a job from `source` would pass its census. A listing that fails is
// the job's to meet, and log.
bool holdsDvdFiles(JobSource& source) {
    try {
        return engine::countDvdFiles(source.files(), source.folder()) > 0;
    } catch (const std::exception&) {
        return true;
    }
}

// One job, from its checks to what it came to.
class JobRun {
  public:
    explicit JobRun(const Options& options)
        : m_options(options), m_display(stderr, displayMode(options)) {}
    int run();

  private:
    // The window object and its terminal over the source's files, the folders
    // in their boxes.
    struct Form {
        Form(JobSource& source, JobRun& run);
        platform::SystemClock clock;
        engine::Services services;
        TerminalWindow window;
        engine::frmMain form;
        JobReport report;
    };

    // A job refused by `end`, told in `line` or, without one, in the job's
    // own words; the folders and the log are the options' when the job's
    // checks did not come to them.
    int refuse(engine::JobEnd end, const std::string& line = "");
    int stopBeforeJob();
    // The refusal of a sparse copy into the folder DEST is to be made in, as
    // the job would refuse DEST itself; nothing for a packed copy.
    std::optional<engine::JobEnd> sparseCopyRefusal(JobSource& source);
    // The folders, the copy and the log of a job that never began.
    engine::JobEnd withoutJob(engine::JobEnd end);
    int dryRun(JobSource& source, Destination destination);
    int job(JobSource& source);
    static int statusOf(const JobReport& report, bool copyExact);
    double seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_started).count();
    }

    const Options& m_options;
    platform::SystemFileSystem m_system;
    ProgressDisplay m_display;
    std::chrono::steady_clock::time_point m_started = std::chrono::steady_clock::now();
};

JobRun::Form::Form(JobSource& source, JobRun& run)
    : services{source.files(), clock, platform::programFolder()},
      window(source.files(), run.m_display, run.m_options.alert),
      form(window, services),
      report(run.m_display) {
    window.attach(form, report);
    form.setObserver(&report);
    form.setCopyKind(run.m_options.sparse ? engine::CopyKind::Sparse : engine::CopyKind::Packed);
    window.setText(TextBox::txtVobDir, source.folder());
    window.setText(TextBox::txtDest, run.m_options.destination);
}

int JobRun::run() {
    std::optional<JobSource> source;
    Destination destination = Destination::Exists;
    try {
        source.emplace(m_system, m_options.source);
    } catch (const platform::Failure& failure) {
        if (interruptRequested()) return stopBeforeJob();  // an open the signal cut short
        return refuse(refusal(TextBox::txtVobDir, m_options.source, failure), failure.what());
    }
    try {
        destination = checkDestination(m_system, m_options.destination);
        // The copy would land beside VIDEO_TS, and the disc root would read
        // it instead from then on.
        if (!source->discRoot().empty() &&
            m_system.isSameEntry(source->discRoot(), m_options.destination))
            throw platform::Failure(invalidFolderMessage(TextBox::txtDest, m_options.destination,
                                                         "it is the source folder"),
                                    "it is the source folder");
    } catch (const platform::Failure& failure) {
        return refuse(refusal(TextBox::txtDest, m_options.destination, failure), failure.what());
    }
    if (interruptRequested()) return stopBeforeJob();
    if (!source->note().empty() && !m_options.quiet)
        m_display.message(std::string(kProgramName) + ": " + source->note());
    if (destination == Destination::ToBeMade) {
        // A folder is made for a job only: the census comes first, as the job's would.
        if (!holdsDvdFiles(*source)) return refuse(withoutDvdFiles(source->folder()));
        // It would hold its holes as the folder above it does.
        if (const auto refused = sparseCopyRefusal(*source)) return refuse(*refused);
        try {
            if (!m_options.dryRun) makeDestination(m_options.destination);
        } catch (const platform::Failure& failure) {
            return refuse(refusal(TextBox::txtDest, m_options.destination, failure),
                          failure.what());
        }
    }
    return m_options.dryRun ? dryRun(*source, destination) : job(*source);
}

// Refused before the job, or by its checks: nothing was touched.
int JobRun::refuse(engine::JobEnd end, const std::string& line) {
    JobReport report(m_display);
    report.refuse(withoutJob(std::move(end)), line);
    if (m_options.json) std::fputs(jobDocument({seconds(), report, nullptr}).c_str(), stdout);
    return kRefused;
}

// Stopped by a signal while the folders were checked (a disc image takes a
// while to open): the job never began, and the program ends by the signal.
int JobRun::stopBeforeJob() {
    JobReport report(m_display);
    report.jobEnded(withoutJob({engine::JobOutcome::Cancelled, std::nullopt, false}));
    m_display.message(std::string(kProgramName) + ": stopped before the job began");
    if (m_options.json) std::fputs(jobDocument({seconds(), report, nullptr}).c_str(), stdout);
    return kDone;
}

std::optional<engine::JobEnd> JobRun::sparseCopyRefusal(JobSource& source) {
    if (!m_options.sparse) return std::nullopt;
    const auto reason = engine::sparseCopyRefusal(
        source.files(), folderAbove(m_options.destination), source.folder());
    if (!reason) return std::nullopt;
    return engine::JobEnd{engine::JobOutcome::Refused,
                          engine::FolderRefusal{TextBox::txtDest, m_options.destination, *reason},
                          false};
}

engine::JobEnd JobRun::withoutJob(engine::JobEnd end) {
    end.copy = m_options.sparse ? engine::CopyKind::Sparse : engine::CopyKind::Packed;
    if (!end.source.empty() || !end.destination.empty()) return end;
    end.source = m_options.source;
    end.destination = m_options.destination;
    end.logFile = log::defaultLogFile(m_system, platform::programFolder());
    return end;
}

// The job's checks and listings without the job: nothing is changed.
int JobRun::dryRun(JobSource& source, Destination destination) {
    Form form(source, *this);
    try {
        // A folder still to be made has nothing to check or clear.
        engine::JobEnd checked{engine::JobOutcome::Done, std::nullopt, false, source.folder(),
                               m_options.destination};
        if (destination == Destination::Exists) checked = form.form.checkJob();
        if (checked.outcome == engine::JobOutcome::Refused) return refuse(checked);
        printDryRun(stdout, source.files(), checked.source, checked.destination,
                    destination == Destination::ToBeMade, m_options.sparse);
    } catch (const std::exception& failure) {
        m_display.message(std::string(kProgramName) + ": dry run: " + failure.what());
        return kJobFailed;
    }
    return kDone;
}

int JobRun::job(JobSource& source) {
    Form form(source, *this);
    form.form.cmdGo_Click();
    m_display.finish();

    const JobReport& report = form.report;
    const engine::JobOutcome outcome = report.end()->outcome;
    const std::string& destination = report.end()->destination;
    std::optional<verify::CopyCheck> check;
    const bool checked =
        m_options.verify && !interruptRequested() &&
        (outcome == engine::JobOutcome::Done || outcome == engine::JobOutcome::Failed);
    if (checked) check = checkCopy(m_system, destination, m_display);

    const engine::JobTally& tally = report.end()->tally;
    if (m_options.json) {
        std::fputs(jobDocument({seconds(), report, check ? &*check : nullptr}).c_str(), stdout);
    } else if (outcome != engine::JobOutcome::Refused) {
        if (!m_options.quiet) printSummary(tally, report.end()->copy, seconds());
        if (m_options.quiet && tally.problems.entries() > 0)
            m_display.message(std::string(kProgramName) + ": " +
                              engine::problemsReport(tally.problems));
        showCheck(m_options, destination, check, m_display);
    }
    return statusOf(report, !checked || (check && check->completeAndExact()));
}

// A refusal first, then the job's own failure, then its files' failures and
// a copy that the check found wanting (or could not check) alike.
int JobRun::statusOf(const JobReport& report, bool copyExact) {
    if (report.end()->outcome == engine::JobOutcome::Refused) return kRefused;
    if (report.jobFailed()) return kJobFailed;
    if (report.filesFailed() || !copyExact) return kFilesFailed;
    return kDone;
}

}  // namespace

int runJob(const Options& options) { return JobRun(options).run(); }

int runVerify(const Options& options) {
    platform::SystemFileSystem files;
    ProgressDisplay display(stderr, displayMode(options));
    const std::string& folder = options.destination;
    std::optional<engine::FolderRefusal> refusal;
    std::optional<verify::CopyCheck> check;
    try {
        if (const std::string problem = engine::folderProblem(files, folder); !problem.empty())
            throw platform::Failure(problem);
        check = verify::verifyCopy(files, folder);
    } catch (const platform::Failure& failure) {
        refusal = engine::FolderRefusal{TextBox::txtDest, folder, failure.reason()};
        display.message(invalidFolderMessage(TextBox::txtDest, folder, failure.reason()));
    }
    if (options.json) {
        std::fputs(verifyDocument(folder, check ? &*check : nullptr, refusal).c_str(), stdout);
    } else {
        showCheck(options, folder, check, display);
    }
    if (refusal) return kRefused;
    return check->completeAndExact() ? kDone : kFilesFailed;
}

}  // namespace vantrel::cli
