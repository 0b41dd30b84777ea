#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "support/temp_folder.h"

namespace vantrel::testing {

// A file system in memory, for the engine's logic tests: folders and plain
// files with their bytes and identities, descriptors and folder locks, with
// the system's answers and error codes, and no disk. Paths are made of the
// system's separators (on Windows either one, and letter case is ignored as
// there); "." and ".." are resolved by name; names beginning with a dot are
// hidden on POSIX. There are no links.
class MemoryFileSystem final : public platform::FileSystem {
  public:
    // The test's side: folders are made with the folders above them.
    void makeFolder(const std::string& path);
    void writeFile(const std::string& path, const Bytes& content);
    void writeFile(const std::string& path, const std::string& content);
    // Throws when there is no such file.
    Bytes readFile(const std::string& path) const;
    std::string readText(const std::string& path) const;
    // True when the file at `path` holds `content`, without copying it.
    bool holds(const std::string& path, const Bytes& content) const;
    bool exists(const std::string& path) const;
    // The names in a folder, sorted.
    std::vector<std::string> namesIn(const std::string& folder) const;
    platform::FileSystem& fileSystem() { return *this; }
    // What fillsHoles answers for every folder: true stands for FAT or exFAT.
    bool holesTakeSpace = false;

    int openForReading(const std::string& path) override;
    int openForWriting(const std::string& path) override;
    int openForAppending(const std::string& path) override;
    std::int64_t readAt(int fd, void* buffer, std::size_t count, std::int64_t offset) override;
    std::int64_t write(int fd, const void* buffer, std::size_t count) override;
    std::int64_t writeAt(int fd, const void* buffer, std::size_t count,
                         std::int64_t offset) override;
    int truncate(int fd, std::int64_t length) override;
    int makeSparse(int fd, std::int64_t length) override;
    int statusOf(int fd, platform::FileStatus& status) override;
    int close(int fd) override;
    int flushFile(int fd) override;
    int flushFolder(int fd) override;
    std::optional<int> lockFolder(const std::string& folder) override;
    std::int64_t fileLength(const std::string& path) override;
    std::optional<platform::EntryKind> kindOf(const std::string& path) override;
    std::optional<std::vector<platform::FolderEntry>> readFolder(
        const std::string& folder) override;
    int folderError(const std::string& path) override;
    std::optional<platform::FolderEntry> lookUp(const std::string& path) override;
    void removeFile(const std::string& path) override;
    void createFolders(const std::string& folder) override;
    bool isWritable(const std::string& path) override;
    bool fillsHoles(const std::string& folder) override;
    bool isSameEntry(const std::string& a, const std::string& b) override;

  private:
    struct Entry {
        std::string name;  // as it was spelt when made
        bool folder = false;
        std::uint64_t identity = 0;
        std::shared_ptr<Bytes> bytes;  // a file's: open descriptors keep it
    };
    struct Open {
        std::uint64_t identity = 0;
        std::shared_ptr<Bytes> bytes;  // none for a folder's lock
        bool appending = false;
        std::int64_t position = 0;
    };

    // The components of a path as spelt, "." and ".." resolved by name.
    static std::vector<std::string> componentsOf(const std::string& path);
    // The key of a path: its components joined by "/" (on Windows
    // lower-cased); "" is the root.
    static std::string keyOf(const std::string& path);
    static std::string parentOf(const std::string& key);
    const Entry* find(const std::string& path) const;
    // Why `path`'s folder cannot hold a new entry; 0 when it can.
    int parentError(const std::string& path) const;
    int openFile(const std::string& path, bool appending);
    Open* descriptor(int fd);
    int adopt(Open open);

    std::map<std::string, Entry> m_entries{{"", Entry{"", true, 1, nullptr}}};
    std::vector<std::optional<Open>> m_open;
    std::set<std::uint64_t> m_locked;  // folders a descriptor holds locked
    std::uint64_t m_nextIdentity = 2;
};

}  // namespace vantrel::testing
