#include "platform/dir_listing.h"

#include <algorithm>

#include "platform/paths.h"
#include "platform/text.h"

namespace vantrel::platform {
namespace {

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

bool lessIgnoringCase(const std::string& a, const std::string& b) {
    const auto byLowered = [](char x, char y) { return asciiLower(x) < asciiLower(y); };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), byLowered))
        return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), byLowered))
        return false;
    return a < b;
}

bool hasWildcard(const std::string& text) { return text.find_first_of("*?") != std::string::npos; }

struct SplitPath {
    std::string folder;  // with its trailing separator, or empty for the current folder
    std::string last;    // the last component, possibly empty
};

SplitPath splitPath(const std::string& path) {
    const auto separator = std::find_if(path.rbegin(), path.rend(), isPathSeparator);
    if (separator == path.rend()) return {"", path};
    const auto last = std::size_t(path.rend() - separator);
    return {path.substr(0, last), path.substr(last)};
}

bool wanted(EntryKind kind, ListWhat what) {
    return kind == EntryKind::PlainFile ||
           (kind == EntryKind::Folder && what == ListWhat::FilesAndFolders);
}

bool wanted(const FolderEntry& entry, ListWhat what) {
    return wanted(entry.kind, what) || (entry.link && what == ListWhat::FilesAndLinks);
}

}  // namespace

bool matchesWildcard(const std::string& name, const std::string& pattern) {
    std::size_t n = 0, p = 0;
    std::size_t starAt = std::string::npos, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || asciiLower(pattern[p]) == asciiLower(name[n]))) {
            const bool wholeCharacter = pattern[p] == '?';
            ++p;
            ++n;
            while (wholeCharacter && n < name.size() && isContinuationByte(name[n])) ++n;
        } else if (starAt != std::string::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::string DirListing::first(const std::string& path, ListWhat what) {
    m_names.clear();
    m_next = 0;
    const SplitPath split = splitPath(path);
    if (!split.last.empty() && !hasWildcard(split.last)) {
        const auto entry = m_files.lookUp(path);
        if (entry && !entry->hidden && wanted(entry->kind, what)) m_names.push_back(entry->name);
        return next();
    }
    const std::string pattern = split.last.empty() ? "*" : split.last;
    const auto entries = m_files.readFolder(split.folder.empty() ? "." : split.folder);
    if (!entries) return next();
    for (const FolderEntry& entry : *entries) {
        if (!entry.hidden && wanted(entry, what) && matchesWildcard(entry.name, pattern))
            m_names.push_back(entry.name);
    }
    std::sort(m_names.begin(), m_names.end(), lessIgnoringCase);
    // A drive root has no "." and ".." of its own.
    if (what == ListWhat::FilesAndFolders && !isDriveRoot(split.folder)) {
        for (const char* dots : {"..", "."}) {
            if (matchesWildcard(dots, pattern)) m_names.insert(m_names.begin(), dots);
        }
    }
    return next();
}

std::string DirListing::next() { return m_next < m_names.size() ? m_names[m_next++] : ""; }

std::size_t deleteFiles(FileSystem& files, const std::string& path) {
    const std::string folder = splitPath(path).folder;
    DirListing listing(files);
    std::size_t deleted = 0;
    for (std::string name = listing.first(path, ListWhat::FilesAndLinks); !name.empty();
         name = listing.next()) {
        files.removeFile(folder + name);
        ++deleted;
    }
    return deleted;
}

}  // namespace vantrel::platform
