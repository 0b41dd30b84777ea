#include "engine/resolved_source.h"

#include <exception>
#include <optional>
#include <vector>

#include "engine/job_files.h"
#include "platform/dir_listing.h"
#include "platform/paths.h"

namespace vantrel::engine {
namespace {

// The name of the VIDEO_TS folder in `folder`, in any letter case; the one
// spelt in capitals when there are several.
std::optional<std::string> videoTsFolderIn(platform::FileSystem& files, const std::string& folder) {
    std::optional<std::string> found;
    for (const platform::FolderEntry& entry :
         files.readFolder(folder).value_or(std::vector<platform::FolderEntry>{})) {
        if (entry.kind != platform::EntryKind::Folder || entry.hidden ||
            !platform::matchesWildcard(entry.name, "VIDEO_TS"))
            continue;
        if (!found || entry.name == "VIDEO_TS") found = entry.name;
    }
    return found;
}

// The VIDEO_TS folder of `folder` when it is a disc's root folder. A folder
// that cannot be listed is no disc root: the job meets it, and says why.
std::optional<std::string> videoTsOfDiscRoot(platform::FileSystem& files,
                                             const std::string& folder) {
    try {
        if (countDvdFiles(files, folder) > 0) return std::nullopt;
        return videoTsFolderIn(files, folder);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace

ResolvedSource::ResolvedSource(platform::FileSystem& files, const std::string& source)
    : m_files(&files), m_named(source), m_folder(source) {
    try {
        m_image = files.openDiscImage(source);
    } catch (const platform::Failure& failure) {
        m_unreadable = failure;
        return;
    }
    if (m_image) {
        m_folder = m_image->videoTsFolder();
    } else if (const auto videoTs = videoTsOfDiscRoot(files, source)) {
        m_folder = platform::joinPath(source, *videoTs) + platform::kPathSeparator;
        m_discRoot = source;
    }
}

bool ResolvedSource::isSourceFolder(const std::string& destination) const {
    return m_files->isSameEntry(m_named, destination) ||
           (m_folder != m_named && m_files->isSameEntry(m_folder, destination));
}

}  // namespace vantrel::engine
