#pragma once

#include "cli/options.h"

namespace vantrel::cli {

// A job from SOURCE into DEST as the options ask for it (or its dry run), and
// with --verify the check of its copy; the exit status to end with. Ends the
// program by the signal that stopped the job, once it has wound down.
int runJob(const Options& options);

// --verify DEST alone: the check of an existing copy.
int runVerify(const Options& options);

}  // namespace vantrel::cli
