#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/job_events.h"
#include "platform/file_system.h"

// The files a job counts, clears, copies and scans, by the rules it works by,
// and the same files listed for a job that is only described (a dry run).
namespace vantrel::engine {

// What the clearing step deletes from the destination, in this order: plain
// files and symbolic links (the links themselves) that match.
inline constexpr std::array<const char*, 3> kStalePatterns = {"*.ifo", "*.bup", "*.vob"};
// The side files a job copies whole, group after group.
inline constexpr std::array<const char*, 2> kSideFilePatterns = {"*.ifo", "*.bup"};

// The census of CountFiles: the plain files directly in `folder` that are DVD
// files, known by the last three letters of their names (ifo, bup, vob, in any
// letter case), whatever precedes them.
std::int32_t countDvdFiles(platform::FileSystem& files, const std::string& folder);

// The census of a job from `sourceFolder` that counted `fileTotal` DVD files,
// with the bytes of its side files and VOBs measured now; files that cannot
// be measured, or listed, count nothing (the job meets them and says so).
JobStart measuredJob(platform::FileSystem& files, const std::string& sourceFolder,
                     std::int32_t fileTotal);

// One file a job would copy or scan.
struct PlannedFile {
    std::string name;
    FileKind kind;
    std::optional<std::int64_t> size;  // none when it cannot be measured
    std::string problem;               // why not, then
};

// An entry the clearing step would delete.
struct StaleFile {
    std::string name;
    bool link = false;                      // the link goes, not what it leads to
    std::optional<std::int64_t> size = {};  // a plain file's; none when it cannot be measured
};

// The entries of `destinationFolder` that the clearing step would delete, in
// the order it would delete them.
std::vector<StaleFile> staleFiles(platform::FileSystem& files,
                                  const std::string& destinationFolder);

// A .vob of `destinationFolder` that this tool cannot have written: one of its
// first sectors is neither one the scanner keeps nor a sparse copy's hole (a
// sector of zeros), as a disc's own video and a disc image's volume
// descriptors are not.
// Links are left out (the clearing step deletes the link alone), and so are
// files shorter than a sector, which hold nothing of a disc. Nothing when
// every .vob there may be an earlier output. Throws when one cannot be read.
struct ForeignVob {
    std::string name;
    std::int64_t size = 0;
};
std::optional<ForeignVob> foreignVob(platform::FileSystem& files,
                                     const std::string& destinationFolder);

// Why a sparse copy from `sourceFolder` must not go to `destinationFolder`:
// holes take space there (FileSystem::fillsHoles), and the copy would take
// the whole length of its files, which the reason says. Nothing when it may.
std::optional<std::string> sparseCopyRefusal(platform::FileSystem& files,
                                             const std::string& destinationFolder,
                                             const std::string& sourceFolder);

// The files a job from `sourceFolder` would copy (the side files, group after
// group) and scan (the VOB list), in the job's order, measured now.
std::vector<PlannedFile> jobFiles(platform::FileSystem& files, const std::string& sourceFolder);

}  // namespace vantrel::engine
