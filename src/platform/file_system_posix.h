#pragma once

#include <dirent.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace vantrel::platform {

// The real thing, on POSIX system calls. The entries of a folder it holds
// locked are opened, listed, measured and deleted through the lock's
// descriptor, by their names in it.
class PosixFileSystem final : public FileSystem {
  public:
    int openForReading(const std::string& path) override;
    int openForWriting(const std::string& path) override;
    int openForAppending(const std::string& path) override;
    std::int64_t readAt(int fd, void* buffer, std::size_t count, std::int64_t offset) override;
    std::int64_t readAtWithoutWaiting(int fd, void* buffer, std::size_t count,
                                      std::int64_t offset) override;
    std::int64_t write(int fd, const void* buffer, std::size_t count) override;
    std::int64_t writeAt(int fd, const void* buffer, std::size_t count,
                         std::int64_t offset) override;
    int truncate(int fd, std::int64_t length) override;
    int makeSparse(int fd, std::int64_t length) override;
    int statusOf(int fd, FileStatus& status) override;
    int close(int fd) override;
    int flushFile(int fd) override;
    int flushFolder(int fd) override;
    std::optional<int> lockFolder(const std::string& folder) override;
    std::int64_t fileLength(const std::string& path) override;
    std::optional<EntryKind> kindOf(const std::string& path) override;
    std::optional<std::vector<FolderEntry>> readFolder(const std::string& folder) override;
    int folderError(const std::string& path) override;
    std::optional<FolderEntry> lookUp(const std::string& path) override;
    void removeFile(const std::string& path) override;
    void createFolders(const std::string& folder) override;
    bool isWritable(const std::string& path) override;
    bool fillsHoles(const std::string& folder) override;  // hole_probe_posix.cpp
    bool isSameEntry(const std::string& a, const std::string& b) override;

  private:
    struct CloseFolder {
        void operator()(DIR* folder) const { ::closedir(folder); }
    };
    using Folder = std::unique_ptr<DIR, CloseFolder>;
    // Where a path leads: a name in a folder held locked (its descriptor), or
    // the path itself (AT_FDCWD).
    struct Place {
        int folder;
        std::string name;
    };
    Place placeOf(const std::string& path) const;
    int openPlainFile(const std::string& path, int flags, const char* action);
    Folder openFolder(const std::string& folder) const;

    // The lock's descriptor of each folder held locked, by its path without a
    // trailing separator. Guarded: the job's source is read from a thread of
    // its own while the window's thread locks and lets go.
    mutable std::mutex m_lockedMutex;
    std::map<std::string, int> m_lockedFolders;
};

}  // namespace vantrel::platform
