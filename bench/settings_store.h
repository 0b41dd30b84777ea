#pragma once

#include "throughput.h"

namespace vantrel::bench {

enum class StoreShape { LongContinuedValue, ManyBlankLines };

// A window's load of a 5 MB settings store of that shape against a plain read
// of its file.
Comparison settingsStoreLoad(StoreShape shape, int rounds);

}  // namespace vantrel::bench
