// vantrel-cli: the extraction job for scripts, servers and machines without a
// desktop. The same window object runs it, through a terminal's controls.

#include <cstdio>
#include <exception>

#include "cli/console.h"
#include "cli/interrupt.h"
#include "cli/job_run.h"
#include "cli/options.h"
#include "cli/output_check.h"
#include "cli/shelf_run.h"
#include "cli/verify_run.h"
#include "log/log_file.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/startup.h"
#include "platform/system_file_system.h"

using namespace vantrel;

namespace {

// What the command line asks for; the status to exit with.
int run(int argc, char** argv) {
    cli::Options options;
    if (const auto status = cli::parseOptions(argc, argv, options)) return *status;
    if (options.help) {
        platform::SystemFileSystem files;
        cli::printUsage(stdout, log::defaultLogFile(files, platform::programFolder()));
        return cli::kDone;
    }
    if (options.version) {
        std::printf("%s (Vantrel Extractor) %s\n", cli::kProgramName, VANTREL_VERSION);
        return cli::kDone;
    }
    if (options.verifyOnly()) return cli::runVerify(options);
    return options.shelf() ? cli::runShelf(options) : cli::runJob(options);
}

}  // namespace

// A failure nothing below caught (memory running out, a file system error of
// the standard library) ends the program as a failed job does, in one line;
// the log is left as it was.
int main(int argc, char** argv) {
    try {
        platform::prepareProcess();
        // Before any work: a signal that comes while a disc image is opened
        // asks the job to stop, as one during the job does.
        cli::installInterruptHandler();
        cli::Arguments arguments(argc, argv);
        cli::prepareStandardStreams();
        const int status = cli::withOutputChecked(run(arguments.count(), arguments.values()));
        if (cli::interruptRequested()) cli::endBySignal(cli::interruptSignal());
        return status;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s: %s\n", cli::kProgramName, failure.what());
    } catch (...) {
        std::fprintf(stderr, "%s: an unknown failure\n", cli::kProgramName);
    }
    return cli::kJobFailed;
}
