#pragma once

#include <functional>

#include "throughput.h"

namespace vantrel::bench {

// vantrel-cli --sparse against the packed job on `dvd`, each run after
// `emptyDestination`: the speed of the whole job, warm and cold, then the
// space each copy takes on disk against the goal its file system's blocks
// set. Prints them.
void benchSparseCopy(const DvdLikeFolder& dvd, int rounds,
                     const std::function<void()>& emptyDestination);

}  // namespace vantrel::bench
