#pragma once

#include "cli/options.h"

namespace vantrel::cli {

// A job from SOURCE into DEST as the options ask for it (or its dry run), and
// with --verify the check of its copy; the exit status to end with. A job
// that a signal stopped winds down, says so (with --json, in its document)
// and ends the program by the signal, without waiting for a read that the
// source still keeps; stopped before the job began, it returns, and the
// caller ends the program by the signal.
int runJob(const Options& options);

// --verify DEST alone: the check of an existing copy.
int runVerify(const Options& options);

}  // namespace vantrel::cli
