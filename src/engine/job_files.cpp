#include "engine/job_files.h"

#include <algorithm>

#include "dvd/nav_pack.h"
#include "engine/vob_file_list.h"
#include "platform/binary_file.h"
#include "platform/dir_listing.h"
#include "platform/paths.h"

namespace vantrel::engine {
namespace {

// The first sectors of a VOB tell a disc's video from a copy.
constexpr std::int64_t kSectorsExamined = dvd::kSectorsTellingDiscVideo;

bool hasDvdEnding(const std::string& name) {
    return platform::matchesWildcard(name, "*ifo") || platform::matchesWildcard(name, "*vob") ||
           platform::matchesWildcard(name, "*bup");
}

PlannedFile measured(platform::FileSystem& files, const std::string& folder,
                     const std::string& name, FileKind kind) {
    PlannedFile file{name, kind, std::nullopt, ""};
    try {
        file.size = files.fileLength(platform::joinPath(folder, name));
    } catch (const std::exception& failure) {
        file.problem = failure.what();
    }
    return file;
}

}  // namespace

// A path ending in the separator lists the folder itself.
std::int32_t countDvdFiles(platform::FileSystem& files, const std::string& folder) {
    const bool listsFolder = folder.empty() || platform::isPathSeparator(folder.back());
    std::int32_t count = 0;
    platform::DirListing listing(files);
    for (std::string name = listing.first(listsFolder ? folder : folder + platform::kPathSeparator,
                                          platform::ListWhat::PlainFiles);
         !name.empty(); name = listing.next()) {
        if (hasDvdEnding(name)) ++count;
    }
    return count;
}

std::vector<StaleFile> staleFiles(platform::FileSystem& files,
                                  const std::string& destinationFolder) {
    std::vector<StaleFile> stale;
    for (const char* pattern : kStalePatterns) {
        platform::DirListing listing(files);
        for (std::string name = listing.first(platform::joinPath(destinationFolder, pattern),
                                              platform::ListWhat::FilesAndLinks);
             !name.empty(); name = listing.next()) {
            const std::string path = platform::joinPath(destinationFolder, name);
            StaleFile file{name};
            try {
                const auto entry = files.lookUp(path);
                file.link = entry && entry->link;
                if (!file.link) file.size = files.fileLength(path);
            } catch (const std::exception&) {
                // Listed, but gone or unreadable since: its size is unknown.
            }
            stale.push_back(file);
        }
    }
    return stale;
}

std::optional<ForeignVob> foreignVob(platform::FileSystem& files,
                                     const std::string& destinationFolder) {
    platform::IoBuffer buffer(std::size_t(kSectorsExamined * dvd::kSectorSize));
    std::vector<unsigned char> sectors(buffer.size());
    platform::DirListing listing(files);
    for (std::string name = listing.first(platform::joinPath(destinationFolder, "*.vob"),
                                          platform::ListWhat::PlainFiles);
         !name.empty(); name = listing.next()) {
        const std::string path = platform::joinPath(destinationFolder, name);
        if (const auto entry = files.lookUp(path); !entry || entry->link) continue;
        const std::int64_t size = files.fileLength(path);
        const std::int64_t examined = std::min(kSectorsExamined, size / dvd::kSectorSize);
        if (examined == 0) continue;
        platform::BinaryFile file(files, buffer);
        file.openForReading(path);
        const std::size_t got =
            file.readAt(1, sectors.data(), std::size_t(examined * dvd::kSectorSize));
        file.close();
        for (std::size_t at = 0; at + dvd::kSectorSize <= got; at += dvd::kSectorSize) {
            if (!dvd::keptByScannerRule(sectors.data() + at) && !dvd::isHole(sectors.data() + at))
                return ForeignVob{name, size};
        }
    }
    return std::nullopt;
}

JobStart measuredJob(platform::FileSystem& files, const std::string& sourceFolder,
                     std::int32_t fileTotal) {
    JobStart start{fileTotal};
    try {
        for (const PlannedFile& file : jobFiles(files, sourceFolder))
            (file.kind == FileKind::Vob ? start.vobBytes : start.sideFileBytes) +=
                file.size.value_or(0);
    } catch (const std::exception&) {
        // A folder that cannot be listed now is the job's to meet and log.
    }
    return start;
}

std::optional<std::string> sparseCopyRefusal(platform::FileSystem& files,
                                             const std::string& destinationFolder,
                                             const std::string& sourceFolder) {
    if (!files.fillsHoles(destinationFolder)) return std::nullopt;
    const JobStart sizes = measuredJob(files, sourceFolder, 0);
    return "its file system gives holes space, as FAT and exFAT do: a sparse copy would take " +
           std::to_string(sizes.sideFileBytes + sizes.vobBytes) +
           " bytes there, the whole length of its files";
}

std::vector<PlannedFile> jobFiles(platform::FileSystem& files, const std::string& sourceFolder) {
    std::vector<PlannedFile> planned;
    for (const char* pattern : kSideFilePatterns) {
        platform::DirListing listing(files);
        for (std::string name = listing.first(platform::joinPath(sourceFolder, pattern),
                                              platform::ListWhat::PlainFiles);
             !name.empty(); name = listing.next())
            planned.push_back(measured(files, sourceFolder, name, FileKind::SideFile));
    }
    VobFileList vobs(files);
    vobs.setPath(sourceFolder);
    for (const std::string& name : vobs.names())
        planned.push_back(measured(files, sourceFolder, name, FileKind::Vob));
    return planned;
}

}  // namespace vantrel::engine
