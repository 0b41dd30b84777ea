#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "engine/job_files.h"
#include "platform/file_system.h"

namespace vantrel::cli {

// What a job from `source` into `destination` would do, by the engine's own
// listings: the folders it would make, or the old DVD files it would delete
// from the destination, then the side files it would copy and the VOBs it
// would scan, in its order, each measured now.
struct JobPlan {
    std::string source, destination;
    std::vector<std::string> foldersMade;  // the outermost first; DEST last
    std::vector<engine::StaleFile> deleted;
    std::vector<engine::PlannedFile> files;
};

// The plan of a job whose destination exists when `foldersMade` is empty.
// Throws Failure when a folder cannot be listed.
JobPlan planJob(platform::FileSystem& files, const std::string& source,
                const std::string& destination, std::vector<std::string> foldersMade);

// The plan one line per step, each with its size; then a line that adds them up.
void printDryRun(std::FILE* out, const JobPlan& plan);

}  // namespace vantrel::cli
