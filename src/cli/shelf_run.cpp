#include "cli/shelf_run.h"

#include <cstdio>

#include "cli/disc_folder_name.h"
#include "cli/interrupt.h"
#include "cli/progress_display.h"
#include "platform/failure.h"
#include "platform/system_file_system.h"

namespace vantrel::cli {
namespace {

int severity(int status) {
    switch (status) {
        case kJobFailed:
            return 3;
        case kFilesFailed:
            return 2;
        case kRefused:
            return 1;
        default:
            return 0;
    }
}

// "Shelf of 3 discs into 'out': 1 done, 1 skipped, 1 refused; exit status 2",
// each disc on a line of its own before.
void printSummary(const Options& options, const std::vector<ShelfDisc>& discs,
                  const std::vector<DiscEnd>& ends) {
    std::printf("Shelf of %s into '%s':\n",
                counted(static_cast<long long>(discs.size()), "disc", "discs").c_str(),
                printable(options.destination).c_str());
    for (std::size_t i = 0; i < discs.size(); ++i) {
        const std::string outcome = i < ends.size() ? ends[i].outcome : "not begun";
        std::printf("  %-10s '%s' into '%s'\n", outcome.c_str(), printable(discs[i].source).c_str(),
                    printable(discs[i].destination).c_str());
    }
}

}  // namespace

int worstStatus(const std::vector<DiscEnd>& ends) {
    int worst = kDone;
    for (const DiscEnd& end : ends) {
        if (severity(end.status) > severity(worst)) worst = end.status;
    }
    return worst;
}

namespace {

// The summary (none with --json or --quiet), and the status to end with.
int finish(const Options& options, const std::vector<ShelfDisc>& discs,
           const std::vector<DiscEnd>& ends) {
    const int status = worstStatus(ends);
    if (!options.json && !options.quiet) {
        printSummary(options, discs, ends);
        if (interruptRequested())
            std::printf("Stopped by a signal (exit status %d).\n", 128 + interruptSignal());
        else
            std::printf("Exit status %d, the worst disc's.\n", status);
    }
    return status;
}

}  // namespace

int runShelf(const Options& options) {
    std::vector<ShelfDisc> discs;
    try {
        platform::SystemFileSystem system;
        discs = shelfDiscs(system, options.sources, options.destination);
    } catch (const platform::Failure& failure) {
        return usageError(failure.what());
    }
    std::vector<DiscEnd> ends;
    for (std::size_t i = 0; i < discs.size() && !interruptRequested(); ++i) {
        Options disc = options;
        disc.source = discs[i].source;
        disc.destination = discs[i].destination;
        ShelfPlace place{int(i) + 1, int(discs.size()), [&](const DiscEnd& stopped) {
                             ends.push_back(stopped);
                             finish(options, discs, ends);
                         }};
        ends.push_back(runDisc(disc, std::move(place)));
    }
    return finish(options, discs, ends);
}

}  // namespace vantrel::cli
