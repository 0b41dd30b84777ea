#pragma once

#include <cstdint>

#include "throughput.h"

namespace vantrel::bench {

// A look-up in a 5 MB settings store against a plain read of its file;
// `bytes` is set to the store's size.
Comparison settingsStoreLookUp(int rounds, std::int64_t& bytes);

}  // namespace vantrel::bench
