#include "engine/job_files.h"

#include "engine/vob_file_list.h"
#include "platform/dir_listing.h"
#include "platform/paths.h"

namespace vantrel::engine {
namespace {

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

std::vector<std::string> staleFiles(platform::FileSystem& files,
                                    const std::string& destinationFolder) {
    std::vector<std::string> names;
    for (const char* pattern : kStalePatterns) {
        platform::DirListing listing(files);
        for (std::string name = listing.first(platform::joinPath(destinationFolder, pattern),
                                              platform::ListWhat::FilesAndLinks);
             !name.empty(); name = listing.next())
            names.push_back(name);
    }
    return names;
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
