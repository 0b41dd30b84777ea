#pragma once

#include <cstdio>
#include <string>

#include "platform/file_system.h"

namespace vantrel::cli {

// What a job from `source` into `destination` would do, one line per step, by
// the engine's own listings: the destination made (when `destinationToBeMade`)
// or its old DVD files deleted, the side files copied and the VOBs scanned,
// each with its size; then a line that adds them up, and for a `sparse` copy
// one with the space it would take. Throws Failure when a folder cannot be
// listed.
void printDryRun(std::FILE* out, platform::FileSystem& files, const std::string& source,
                 const std::string& destination, bool destinationToBeMade, bool sparse);

}  // namespace vantrel::cli
