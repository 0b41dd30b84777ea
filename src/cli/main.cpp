// vantrel-cli: the extraction job for scripts, servers and machines without a
// desktop. The same window object runs it, through a terminal's controls.

#include <cstdio>
#include <string>

#include "cli/console.h"
#include "cli/interrupt.h"
#include "cli/job_report.h"
#include "cli/options.h"
#include "cli/progress_display.h"
#include "cli/terminal_window.h"
#include "engine/frmMain.h"
#include "log/log_file.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/startup.h"
#include "platform/system_file_system.h"

using namespace vantrel;

namespace {

// "1 VOB", "2 VOBs".
std::string counted(long long count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

void printSummary(const engine::frmMain& form, double seconds) {
    const engine::JobTally& tally = form.tally();
    std::printf("%s copied, %s scanned, %s written\n%s read, %s written in %.2f s (%s/s)\n",
                counted(tally.sideFilesCopied, "side file", "side files").c_str(),
                counted(tally.vobsScanned, "VOB", "VOBs").c_str(),
                counted(tally.navPacksWritten, "NV_PCK sector", "NV_PCK sectors").c_str(),
                cli::humanBytes(double(tally.bytesRead)).c_str(),
                cli::humanBytes(double(tally.bytesWritten)).c_str(), seconds,
                cli::humanBytes(seconds > 0 ? double(tally.bytesRead) / seconds : 0).c_str());
    if (tally.problems.entries() > 0)
        std::printf("%s\n", engine::problemsReport(tally.problems).c_str());
}

// The window lets a plain file pass for a folder, and a destination that
// cannot be written fails file by file; a script gets a clear refusal
// instead, before anything is touched.
bool foldersUsable(platform::FileSystem& files, const cli::Options& options) {
    for (const auto& [box, folder] : {std::pair{engine::TextBox::txtVobDir, options.source},
                                      std::pair{engine::TextBox::txtDest, options.destination}}) {
        std::string problem = engine::folderProblem(files, folder);
        if (problem.empty() && box == engine::TextBox::txtDest && !files.isWritable(folder))
            problem = "it cannot be written to";
        if (problem.empty()) continue;
        std::fprintf(stderr, "%s\n", cli::invalidFolderMessage(box, folder, problem).c_str());
        return false;
    }
    return true;
}

cli::ProgressDisplay::Mode displayMode(const cli::Options& options) {
    if (options.quiet) return cli::ProgressDisplay::Mode::Quiet;
    return cli::isTerminal(stderr) ? cli::ProgressDisplay::Mode::Terminal
                                   : cli::ProgressDisplay::Mode::Plain;
}

}  // namespace

int main(int argc, char** argv) {
    platform::prepareProcess();
    cli::Arguments arguments(argc, argv);
    argc = arguments.count();
    argv = arguments.values();
    cli::prepareStandardStreams();
    cli::Options options;
    if (const auto status = cli::parseOptions(argc, argv, options)) return *status;
    platform::SystemFileSystem files;
    if (options.help) {
        cli::printUsage(stdout, log::defaultLogFile(files, platform::programFolder()));
        return cli::kDone;
    }
    if (options.version) {
        std::printf("%s (Vantrel Extractor) %s\n", cli::kProgramName, VANTREL_VERSION);
        return cli::kDone;
    }
    if (!foldersUsable(files, options)) return cli::kRefused;

    cli::installInterruptHandler();
    cli::ProgressDisplay display(stderr, displayMode(options));
    platform::SystemClock clock;
    engine::Services services{files, clock, platform::programFolder()};
    cli::TerminalWindow window(files, display, options.alert);
    engine::frmMain form(window, services);
    cli::JobReport report(files, display, options.source);
    window.attach(form, report);
    form.setObserver(&report);
    window.setText(engine::TextBox::txtVobDir, options.source);
    window.setText(engine::TextBox::txtDest, options.destination);
    form.cmdGo_Click();
    display.finish();

    if (report.end() && report.end()->outcome == engine::JobOutcome::Refused) return cli::kRefused;
    const log::LogTally& problems = form.tally().problems;
    if (!options.quiet) {
        const auto elapsed = std::chrono::steady_clock::now() - display.started();
        printSummary(form, std::chrono::duration<double>(elapsed).count());
    } else if (problems.entries() > 0) {
        display.message(std::string(cli::kProgramName) + ": " + engine::problemsReport(problems));
    }
    if (cli::interruptRequested()) cli::endBySignal(cli::interruptSignal());
    if (report.jobFailed()) return cli::kJobFailed;
    // Outputs are missing or incomplete: a script must not take that for success.
    return report.filesFailed() ? cli::kFilesFailed : cli::kDone;
}
