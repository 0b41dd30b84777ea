#pragma once

// Windows only.

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace vantrel::platform {

// The real thing, on the wide-character Windows API. Paths longer than
// MAX_PATH work; descriptors are numbers of its own for the system's handles.
class Win32FileSystem final : public FileSystem {
  public:
    Win32FileSystem() = default;
    ~Win32FileSystem() override;
    Win32FileSystem(const Win32FileSystem&) = delete;
    Win32FileSystem& operator=(const Win32FileSystem&) = delete;

    int openForReading(const std::string& path) override;
    int openForWriting(const std::string& path) override;
    int openForAppending(const std::string& path) override;
    std::int64_t readAt(int fd, void* buffer, std::size_t count, std::int64_t offset) override;
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
    bool fillsHoles(const std::string& folder) override;  // hole_probe_win32.cpp
    bool isSameEntry(const std::string& a, const std::string& b) override;
    // Windows mounts an image itself: a plain file is refused with how to.
    std::shared_ptr<const OpenedDiscImage> openDiscImage(const std::string& path) override;

  private:
    int adopt(void* handle);
    void* handleOf(int fd) const;

    // By descriptor, null where free. Guarded: the job's reads open and close
    // source files from a thread of their own.
    mutable std::mutex m_handlesMutex;
    std::vector<void*> m_handles;
};

}  // namespace vantrel::platform
