#pragma once

#include "cli/options.h"

namespace vantrel::cli {

// A job from SOURCE into DEST as the options ask for it (or its dry run), and
// with --verify the check of its copy; the exit status to end with. A job
// that a signal stopped has wound down and said so (with --json, in its
// document) when it returns; the caller ends the program by the signal.
int runJob(const Options& options);

// --verify DEST alone: the check of an existing copy.
int runVerify(const Options& options);

}  // namespace vantrel::cli
