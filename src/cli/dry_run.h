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
    bool sparse = false;
    // The NV_PCK sectors a sparse copy would hold, by the VOBU maps of the
    // source's IFOs (maps that cannot be read count none).
    std::int64_t vobus = 0;

    // The bytes of the side files and of the VOBs, as measured.
    std::int64_t bytesOf(engine::FileKind kind) const;
    // What a sparse copy would take on disk: the side files, and a block for
    // each NV_PCK sector, in the block most file systems that keep holes have.
    std::int64_t sparseBytesOnDisk() const;
};

// The block in which most file systems that keep holes give a sector of data
// its space: ext4, xfs, btrfs, tmpfs, NTFS.
inline constexpr std::int64_t kUsualBlock = 4096;

// The plan of a job whose destination exists when `foldersMade` is empty, of
// a sparse copy with `sparse`. Throws Failure when a folder cannot be listed.
JobPlan planJob(platform::FileSystem& files, const std::string& source,
                const std::string& destination, std::vector<std::string> foldersMade,
                bool sparse = false);

// The plan one line per step, each with its size; then a line that adds them
// up, and for a sparse copy one with the space it would take.
void printDryRun(std::FILE* out, const JobPlan& plan);

}  // namespace vantrel::cli
