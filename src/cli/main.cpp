// vantrel-cli: the extraction job for scripts, servers and machines without a
// desktop. The same window object runs it, through a terminal's controls.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>

#include "cli/console.h"
#include "cli/interrupt.h"
#include "cli/job_run.h"
#include "cli/options.h"
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

// Whatever was written to stdout reached it, or one line says why and the
// status is 1, as coreutils' programs do: a summary or a JSON document cut
// short by a full disk must not pass for a whole one. A reader that went away
// (a pipe into `head`) wanted no more, and leaves nothing cut short behind;
// nor does a caller who gave the program no stdout at all (on Windows the C
// runtime's stream then has no descriptor, and every write to it fails).
int withOutputChecked(int status) {
    errno = 0;
    if (fileno(stdout) < 0) return status;
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) return status;
    const int error = errno;
    if (error == EPIPE) return status;
    std::fprintf(stderr, "%s: write error%s%s\n", cli::kProgramName, error != 0 ? ": " : "",
                 error != 0 ? std::strerror(error) : "");
    return cli::kJobFailed;
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
        const int status = withOutputChecked(run(arguments.count(), arguments.values()));
        if (cli::interruptRequested()) cli::endBySignal(cli::interruptSignal());
        return status;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s: %s\n", cli::kProgramName, failure.what());
    } catch (...) {
        std::fprintf(stderr, "%s: an unknown failure\n", cli::kProgramName);
    }
    return cli::kJobFailed;
}
