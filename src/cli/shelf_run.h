#pragma once

#include <vector>

#include "cli/job_run.h"
#include "cli/options.h"

namespace vantrel::cli {

// The status a shelf ends with: its worst disc's. A failed job (1) is worse
// than a copy with losses (3), which is worse than a refused disc (2): a job
// that broke off says something is wrong beyond one disc, a copy with losses
// looks made and is not whole, and a refused disc touched nothing and left no
// copy to mistake for one.
int worstStatus(const std::vector<DiscEnd>& ends);

// SOURCE... DIRECTORY: each disc in turn into its folder in DIRECTORY, as
// runDisc runs one; a disc refused or failed does not stop the next. A
// signal stops the shelf after the disc it stopped. Ends with a summary of
// every disc's outcome (none with --json or --quiet); the exit status to end
// with.
int runShelf(const Options& options);

}  // namespace vantrel::cli
