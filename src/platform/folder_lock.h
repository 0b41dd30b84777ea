#pragma once

#include <string>

#include "platform/file_system.h"

namespace vantrel::platform {

// An exclusive advisory lock on a folder, held until released or destroyed:
// two programs that each take it never work in the folder at the same time.
class FolderLock {
  public:
    explicit FolderLock(FileSystem& files) : m_files(files) {}
    ~FolderLock() { release(); }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Takes the lock on `folder`, letting go of any held before; false when
    // another holder has it. Throws when the folder cannot be opened.
    bool acquire(const std::string& folder);
    void release() noexcept;
    // Makes the folder's entries, and on POSIX every file written to its file
    // system, reach the device. Nothing when no lock is held; throws Failure.
    void flush();

  private:
    FileSystem& m_files;
    int m_fd = -1;
    std::string m_folder;
};

}  // namespace vantrel::platform
