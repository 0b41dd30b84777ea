#pragma once

#include <functional>
#include <string>

#include "cli/options.h"

namespace vantrel::cli {

// What one disc came to: the status to exit with for it, and the word a
// shelf's summary gives it ("done", "skipped", "refused", ...).
struct DiscEnd {
    int status = kDone;
    std::string outcome;
};

// Where a disc stands on a shelf: the second of three. One alone is 1 of 1.
struct ShelfPlace {
    int disc = 1, discs = 1;
    bool onShelf() const { return discs > 1; }
    // Said before a signal ends the program in the midst of this disc (the
    // shelf's summary), given what the disc came to.
    std::function<void(const DiscEnd&)> stoppedBySignal;
};

// A job from options.source into options.destination as the options ask for
// it (or its dry run), and with --verify the check of its copy. A job that a
// signal stopped winds down, says so (with --json, in its document), has the
// place's stoppedBySignal said, and ends the program by the signal, without
// waiting for a read the source still keeps; stopped before the job began,
// it returns, and the caller ends the program by the signal.
DiscEnd runDisc(const Options& options, ShelfPlace place = {});

// One disc; the exit status to end with.
inline int runJob(const Options& options) { return runDisc(options).status; }

}  // namespace vantrel::cli
