#pragma once

#include "cli/options.h"

namespace vantrel::cli {

// --verify DEST alone: the check of an existing copy, against its IFOs' maps;
// the exit status to end with.
int runVerify(const Options& options);

}  // namespace vantrel::cli
