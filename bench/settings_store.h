#pragma once

#include "throughput.h"

namespace vantrel::bench {

// A look-up in a 5 MB settings store against a plain read of its file.
Comparison settingsStoreLookUp(int rounds);

}  // namespace vantrel::bench
