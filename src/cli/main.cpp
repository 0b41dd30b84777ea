// vantrel-cli: the extraction job for scripts, servers and machines without a
// desktop. The same window object runs it, through a terminal's controls.

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/interrupt.h"
#include "cli/progress_display.h"
#include "cli/terminal_window.h"
#include "engine/frmMain.h"
#include "log/log_file.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/paths.h"

using namespace vantrel;

namespace {

enum ExitStatus { kDone = 0, kJobFailed = 1, kRefused = 2, kFilesFailed = 3, kInterrupted = 130 };

const char* const kUsage =
    "Usage: vantrel-cli [options] SOURCE DEST\n"
    "\n"
    "Writes a reduced copy of the DVD-Video folder SOURCE into DEST: every .IFO\n"
    "and .BUP file copied byte for byte, every .VOB replaced by a file of the same\n"
    "name holding only its navigation packs (NV_PCK). DEST's old .IFO, .BUP and\n"
    ".VOB files are deleted first. Failures are echoed here and appended to\n"
    "  %s\n"
    "\n"
    "Options:\n"
    "  -q, --quiet    print nothing but errors\n"
    "  -a, --alert    ring the bell and say \"Done with coping!\" at the end\n"
    "  -h, --help     show this help\n"
    "  -V, --version  show the version\n"
    "\n"
    "Exit status: 0 done, 1 the job failed, 2 an invalid folder or no DVD files,\n"
    "3 done, but some files failed (see the log), 130 stopped by Ctrl-C.\n";

void printUsage(std::FILE* out) {
    platform::PosixFileSystem files;
    std::fprintf(out, kUsage, log::defaultLogFile(files, platform::programFolder()).c_str());
}

struct Options {
    bool quiet = false;
    bool alert = false;
    std::vector<std::string> folders;
};

// Nothing when the program should end at once with `status`.
bool parse(int argc, char** argv, Options& options, int& status) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            options.folders.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-q" || arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "-a" || arg == "--alert") {
            options.alert = true;
        } else if (arg == "-h" || arg == "--help") {
            printUsage(stdout);
            status = kDone;
            return false;
        } else if (arg == "-V" || arg == "--version") {
            std::printf("vantrel-cli %s\n", VANTREL_VERSION);
            status = kDone;
            return false;
        } else {
            std::fprintf(stderr, "vantrel-cli: unknown option '%s'\n", arg.c_str());
            printUsage(stderr);
            status = kRefused;
            return false;
        }
    }
    if (options.folders.size() != 2) {
        std::fputs("vantrel-cli: give a SOURCE and a DEST folder\n", stderr);
        printUsage(stderr);
        status = kRefused;
        return false;
    }
    return true;
}

// Log entries as lines for the terminal: CR LF becomes LF, the blank line goes.
std::string asLines(std::string entry) {
    std::string lines;
    for (char c : entry) {
        if (c != '\r') lines += c;
    }
    while (!lines.empty() && lines.back() == '\n') lines.pop_back();
    return lines;
}

void printSummary(const engine::frmMain& form, double seconds) {
    const engine::JobTally& tally = form.tally();
    std::printf(
        "%d side files copied, %d VOBs scanned, %lld NV_PCK sectors written\n"
        "%s read, %s written in %.2f s (%s/s)\n",
        tally.sideFilesCopied, tally.vobsScanned, static_cast<long long>(tally.navPacksWritten),
        cli::humanBytes(double(tally.bytesRead)).c_str(),
        cli::humanBytes(double(tally.bytesWritten)).c_str(), seconds,
        cli::humanBytes(seconds > 0 ? double(tally.bytesRead) / seconds : 0).c_str());
    if (tally.problemsLogged > 0)
        std::printf("%s\n", engine::problemsReport(tally.problemsLogged, form.logFile()).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    int status = kDone;
    if (!parse(argc, argv, options, status)) return status;

    cli::installInterruptHandler();
    // A reader of our output that goes away (| head) must not end the job.
    std::signal(SIGPIPE, SIG_IGN);
    const auto mode = options.quiet             ? cli::ProgressDisplay::Mode::Quiet
                      : ::isatty(STDERR_FILENO) ? cli::ProgressDisplay::Mode::Terminal
                                                : cli::ProgressDisplay::Mode::Plain;
    cli::ProgressDisplay display(stderr, mode);
    platform::PosixFileSystem files;
    platform::SystemClock clock;
    platform::Services services{files, clock, platform::programFolder()};
    cli::TerminalWindow window(files, display, options.alert);
    engine::frmMain form(window, services);
    window.attach(form);

    bool jobFailed = false, filesFailed = false;
    form.setLogListener([&](const std::string& entry) {
        jobFailed |= entry.rfind("[cmdGo_Click]", 0) == 0;
        filesFailed = true;
        display.message(asLines(entry));
    });
    window.setText(engine::TextBox::txtVobDir, options.folders[0]);
    window.setText(engine::TextBox::txtDest, options.folders[1]);
    form.cmdGo_Click();
    display.finish();

    if (window.refused()) return kRefused;
    if (!options.quiet) {
        const auto elapsed = std::chrono::steady_clock::now() - display.started();
        printSummary(form, std::chrono::duration<double>(elapsed).count());
    } else if (form.tally().problemsLogged > 0) {
        display.message(engine::problemsReport(form.tally().problemsLogged, form.logFile()));
    }
    if (jobFailed) return kJobFailed;
    if (window.exitPressed() || cli::interruptRequested()) return kInterrupted;
    // Outputs are missing or incomplete: a script must not take that for success.
    return filesFailed ? kFilesFailed : kDone;
}
