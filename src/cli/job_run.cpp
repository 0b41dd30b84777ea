#include "cli/job_run.h"

#include <chrono>
#include <cstdio>
#include <optional>

#include "cli/complete_copy.h"
#include "cli/dry_run.h"
#include "cli/interrupt.h"
#include "cli/job_destination.h"
#include "cli/job_report.h"
#include "cli/job_source.h"
#include "cli/json_document.h"
#include "cli/output_check.h"
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

// The check of a copy (against its source, when given), or nothing when its
// folder cannot be listed: then the line that says why has been shown.
std::optional<verify::CopyCheck> checkCopy(platform::FileSystem& files, const std::string& folder,
                                           const verify::SourceFolder* source,
                                           ProgressDisplay& display) {
    try {
        return verify::verifyCopy(files, folder, source);
    } catch (const std::exception& failure) {
        display.message(std::string(kProgramName) + ": cannot verify the copy: " + failure.what());
        return std::nullopt;
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

// The status a document gives: a job that a signal stopped ends the program
// by that signal.
// The word a shelf's summary gives a job's outcome.
DiscEnd ended(engine::JobOutcome outcome, int status) {
    if (outcome == engine::JobOutcome::Refused) return {status, "refused"};
    if (outcome == engine::JobOutcome::Failed) return {status, "failed"};
    if (outcome == engine::JobOutcome::Cancelled) return {status, "cancelled"};
    return {status, status == kDone ? "done" : "incomplete"};
}

int documentedStatus(int status) { return interruptRequested() ? 128 + interruptSignal() : status; }

// Whether a job from `source` would pass its census. A listing that fails is
// the job's to meet, and log.
bool holdsDvdFiles(JobSource& source) {
    try {
        return engine::countDvdFiles(source.files(), source.folder()) > 0;
    } catch (const std::exception&) {
        return true;
    }
}

// One disc's job, from its checks to what it came to.
class JobRun {
  public:
    JobRun(const Options& options, ShelfPlace place)
        : m_options(options), m_place(place), m_display(stderr, displayMode(options.quiet)) {
        if (place.onShelf())
            m_display.setPrefix("disc " + std::to_string(place.disc) + "/" +
                                std::to_string(place.discs) + "  ");
    }
    DiscEnd run();

  private:
    // The window object and its terminal over the source's files, the folders
    // in their boxes as given: the job resolves SOURCE as the window does.
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
    DiscEnd refuse(engine::JobEnd end, const std::string& line = "");
    DiscEnd stopBeforeJob();
    // The refusal of a sparse copy into folders still to be made (`foldersMade`,
    // the outermost first), as the job would refuse DEST itself, by the folder
    // they would be made in; nothing for a packed copy.
    std::optional<engine::JobEnd> sparseCopyRefusal(JobSource& source,
                                                    const std::vector<std::string>& foldersMade);
    // The folders, the copy and the log of a job that never began.
    engine::JobEnd withoutJob(engine::JobEnd end);
    // With --skip-complete, a disc whose copy is complete is skipped, and says so.
    std::optional<DiscEnd> skipIfComplete(JobSource& source);
    DiscEnd dryRun(JobSource& source, std::vector<std::string> foldersMade);
    DiscEnd job(JobSource& source);
    static int statusOf(const JobReport& report, bool copyWhole);
    DiscFacts disc(int status) const {
        return {m_options.source, documentedStatus(status), m_place.onShelf()};
    }
    double seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_started).count();
    }

    const Options& m_options;
    ShelfPlace m_place;
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
    window.setText(TextBox::txtVobDir, run.m_options.source);
    window.setText(TextBox::txtDest, run.m_options.destination);
}

DiscEnd JobRun::run() {
    if (m_place.onShelf() && !m_options.quiet)
        m_display.message(std::string(kProgramName) + ": disc " + std::to_string(m_place.disc) +
                          " of " + std::to_string(m_place.discs) + ": '" + m_options.source +
                          "' into '" + m_options.destination + "'");
    std::optional<JobSource> source;
    Destination destination = Destination::Exists;
    try {
        source.emplace(m_system, m_options.source);
    } catch (const platform::Failure& failure) {
        if (interruptRequested()) return stopBeforeJob();  // an open the signal cut short
        return refuse(refusal(TextBox::txtVobDir, m_options.source, failure), failure.what());
    }
    try {
        destination = checkDestination(m_system, m_options.destination, m_options.parents);
    } catch (const platform::Failure& failure) {
        return refuse(refusal(TextBox::txtDest, m_options.destination, failure), failure.what());
    }
    if (interruptRequested()) return stopBeforeJob();
    if (!source->note().empty() && !m_options.quiet)
        m_display.message(std::string(kProgramName) + ": " + source->note());
    std::vector<std::string> foldersMade;
    if (destination == Destination::ToBeMade) {
        // A folder is made for a job only: the census comes first, as the job's would.
        if (!holdsDvdFiles(*source)) return refuse(withoutDvdFiles(source->folder()));
        foldersMade = missingFolders(m_system, m_options.destination);
        if (const auto refused = sparseCopyRefusal(*source, foldersMade)) return refuse(*refused);
        try {
            if (!m_options.dryRun) makeDestination(m_options.destination, m_options.parents);
        } catch (const platform::Failure& failure) {
            return refuse(refusal(TextBox::txtDest, m_options.destination, failure),
                          failure.what());
        }
    } else if (m_options.skipComplete) {
        if (auto skipped = skipIfComplete(*source)) return *skipped;
    }
    return m_options.dryRun ? dryRun(*source, foldersMade) : job(*source);
}

// Refused before the job, or by its checks: nothing was touched.
DiscEnd JobRun::refuse(engine::JobEnd end, const std::string& line) {
    JobReport report(m_display);
    report.refuse(withoutJob(std::move(end)), line);
    if (m_options.json)
        std::fputs(
            jobDocument({seconds(), report, nullptr, disc(kRefused), false, m_options.dryRun})
                .c_str(),
            stdout);
    return {kRefused, "refused"};
}

// Stopped by a signal while the folders were checked (a disc image takes a
// while to open): the job never began, and the program ends by the signal.
DiscEnd JobRun::stopBeforeJob() {
    JobReport report(m_display);
    report.jobEnded(withoutJob({engine::JobOutcome::Cancelled, std::nullopt, false}));
    m_display.message(std::string(kProgramName) + ": stopped before the job began");
    if (m_options.json)
        std::fputs(jobDocument({seconds(), report, nullptr, disc(kDone)}).c_str(), stdout);
    return {kDone, "cancelled"};
}

std::optional<engine::JobEnd> JobRun::sparseCopyRefusal(
    JobSource& source, const std::vector<std::string>& foldersMade) {
    if (!m_options.sparse || foldersMade.empty()) return std::nullopt;
    const auto reason = engine::sparseCopyRefusal(source.files(), folderAbove(foldersMade.front()),
                                                  source.folder());
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

std::optional<DiscEnd> JobRun::skipIfComplete(JobSource& source) {
    const auto check =
        completeCopy(m_system, source.files(), source.folder(), m_options.destination);
    // A copy of the other kind is not the copy asked for: it is made again.
    if (!check || (check->kind() == verify::CopyKind::Sparse) != m_options.sparse)
        return std::nullopt;
    if (!m_options.quiet)
        m_display.message(std::string(kProgramName) + ": '" + m_options.destination +
                          "' already holds a complete copy of '" + m_options.source + "': skipped");
    if (m_options.json) {
        JobReport report(m_display);
        report.jobEnded(withoutJob({engine::JobOutcome::Done, std::nullopt, false, source.folder(),
                                    m_options.destination}));
        std::fputs(
            jobDocument({seconds(), report, &*check, disc(kDone), true, m_options.dryRun}).c_str(),
            stdout);
    } else if (m_options.verify && !m_options.quiet) {
        printCopyCheck(stdout, m_options.destination, *check);
    }
    return DiscEnd{kDone, "skipped"};
}

// The job's checks and listings without the job: nothing is changed.
DiscEnd JobRun::dryRun(JobSource& source, std::vector<std::string> foldersMade) {
    Form form(source, *this);
    try {
        // A folder still to be made has nothing to check or clear.
        engine::JobEnd checked{engine::JobOutcome::Done, std::nullopt, false, source.folder(),
                               m_options.destination};
        if (foldersMade.empty()) checked = form.form.checkJob();
        if (checked.outcome == engine::JobOutcome::Refused) return refuse(checked);
        const JobPlan plan = planJob(source.files(), checked.source, checked.destination,
                                     std::move(foldersMade), m_options.sparse);
        if (m_options.json)
            std::fputs(planDocument(plan, disc(kDone)).c_str(), stdout);
        else
            printDryRun(stdout, plan);
    } catch (const std::exception& failure) {
        m_display.message(std::string(kProgramName) + ": dry run: " + failure.what());
        return {kJobFailed, "failed"};
    }
    return {kDone, "planned"};
}

DiscEnd JobRun::job(JobSource& source) {
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
    // The source is at hand: each NV_PCK is compared with its sector there.
    const verify::SourceFolder from{source.files(), source.folder()};
    if (checked) check = checkCopy(m_system, destination, &from, m_display);
    const int status = statusOf(report, !checked || (check && check->passed()));

    const engine::JobTally& tally = report.end()->tally;
    if (m_options.json) {
        std::fputs(
            jobDocument({seconds(), report, check ? &*check : nullptr, disc(status)}).c_str(),
            stdout);
    } else if (outcome != engine::JobOutcome::Refused) {
        if (!m_options.quiet) printSummary(tally, report.end()->copy, seconds());
        if (m_options.quiet && tally.problems.entries() > 0)
            m_display.message(std::string(kProgramName) + ": " +
                              engine::problemsReport(tally.problems));
        if (check) showCheck(*check, destination, m_options.quiet, m_display);
    }
    // A read the source still keeps (one the kernel cannot give up) holds the
    // window object's worker, and the window object's end would wait for it:
    // a job stopped by a signal ends the program by it now, its report out.
    if (interruptRequested()) {
        if (m_place.stoppedBySignal) m_place.stoppedBySignal(ended(outcome, status));
        withOutputChecked(status);
        endBySignal(interruptSignal());
    }
    return ended(outcome, status);
}

// A refusal first, then the job's own failure, then its files' failures and
// a copy in which the check found a loss (or that it could not check) alike.
int JobRun::statusOf(const JobReport& report, bool copyWhole) {
    if (report.end()->outcome == engine::JobOutcome::Refused) return kRefused;
    if (report.jobFailed()) return kJobFailed;
    if (report.filesFailed() || !copyWhole) return kFilesFailed;
    return kDone;
}

}  // namespace

DiscEnd runDisc(const Options& options, ShelfPlace place) { return JobRun(options, place).run(); }

}  // namespace vantrel::cli
