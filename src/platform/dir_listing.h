#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace vantrel::platform {

enum class ListWhat {
    PlainFiles,
    FilesAndFolders,
    // Plain files, and symbolic links whatever they lead to (even nowhere):
    // what a folder is cleared of. Wildcard listings only.
    FilesAndLinks,
};

// A first-name / next-name listing of the entries that match a path:
// - a path ending in a separator lists that folder ("." and ".." first when
//   folders are listed, except in a drive root);
// - a last component with `*` or `?` lists the folder's entries that match it,
//   letter case ignored;
// - any other path matches the entry it names, if there is one.
// Hidden entries (names beginning with a dot; on Windows, those with the hidden
// or system attribute) are left out; so are entries that are neither plain
// files nor folders. Names come sorted without regard to letter case. Each
// listing is an object of its own, so listings never disturb each other.
class DirListing {
  public:
    explicit DirListing(FileSystem& files) : m_files(files) {}

    // The first matching name (without folder), or "" when nothing matches.
    std::string first(const std::string& path, ListWhat what);
    // The next name of the same listing, or "" after the last.
    std::string next();

  private:
    FileSystem& m_files;
    std::vector<std::string> m_names;
    std::size_t m_next = 0;
};

// True when `name` matches the wildcard `pattern` (`*`, `?`), letter case ignored.
bool matchesWildcard(const std::string& name, const std::string& pattern);

// Deletes every plain file and every symbolic link (the link, never what it
// leads to) that matches the wildcard `path` as a listing would; returns how
// many. Folders and other entries are never deleted.
std::size_t deleteFiles(FileSystem& files, const std::string& path);

}  // namespace vantrel::platform
