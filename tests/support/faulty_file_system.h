#pragma once

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/system_file_system.h"
#include "support/system_errors.h"

namespace vantrel::testing {

// A file system (the real one, or one in memory), except for the operations a
// test tells to fail: each rule names a part of a path, and the operation
// fails on every path that contains it (an empty rule fails nothing). For
// failures that root's powers or the kernel make impossible to provoke for real.
class FaultyFileSystem final : public platform::FileSystem {
  public:
    FaultyFileSystem() : m_real(m_system) {}
    explicit FaultyFileSystem(platform::FileSystem& inner) : m_real(inner) {}
    FaultyFileSystem(const FaultyFileSystem&) = delete;
    FaultyFileSystem& operator=(const FaultyFileSystem&) = delete;

    std::string failOpenForReading;
    std::string failOpenForWriting;
    std::string failRead;           // reads of an open file fail with kIoError...
    std::int64_t failReadFrom = 0;  // ...when they reach this offset...
    std::int64_t failReadTo = -1;   // ...and start before this one (-1: the end)
    std::string failWrite;          // writes of an open file fail with kDiskFull (writeAt too)
    std::string failLength;
    std::string failListing;
    std::string failRemove;
    std::string failLookUp;
    std::string failLock;          // the folder cannot be opened to be locked: kAccessDenied
    std::string refuseWriting;     // paths the user may not write to
    std::string failFlush;         // flushes of files fail with kIoError
    bool failFolderFlush = false;  // and so does the flush of a locked folder
    // Opened for writing, a path finds an entry of its folder whose name
    // differs only in letter case, as on a destination on vfat or NTFS.
    std::string ignoreCase;
    // Writes that succeed on a failWrite file before the failures start.
    long writesBeforeFailure = 0;

    // The first read from `holdReadFrom` on of a file whose path contains
    // `holdRead` (or the first opening of one whose path contains `holdOpen`)
    // waits until release(), as a drive retrying a bad spot does, or for
    // `holdLimit` at the most: a test of code that waits for it still ends.
    // Then it goes on as any call. The held call touches nothing of this
    // file system's while it waits, which is the test's thread's meanwhile.
    std::string holdRead;
    std::int64_t holdReadFrom = 0;
    std::string holdOpen;
    std::chrono::milliseconds holdLimit{std::chrono::seconds(20)};
    // True while the held call waits.
    bool holding() const;
    // Ends the wait of the held call, or lets the first one through at once.
    void release();

    // Counted calls, one failing: the call numbered `failCall` (the first
    // after `calls` was set to 0 is 1) fails with `callErrors`' code for its
    // operation ("openForReading", "readAt", ...), as that call fails. A read
    // that fails so makes the bytes it asked for a bad region (failRead).
    struct Call {
        std::string operation;
        std::string path;  // the file's, for a call on a descriptor
    };
    long calls = 0;
    long failCall = 0;
    std::map<std::string, int> callErrors;
    std::optional<Call> failedCall;

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
    std::shared_ptr<const platform::OpenedDiscImage> openDiscImage(
        const std::string& path) override {
        return m_real.openDiscImage(path);
    }

    // Descriptors still open: a test's check that nothing was left open.
    std::size_t openFiles() const { return m_paths.size(); }
    // Reads that reached the failing region of a failRead file.
    long badRegionReads = 0;
    // The files and folders flushed, in order: a file's path, a folder as locked.
    std::vector<std::string> flushes;

  private:
    int remember(int fd, const std::string& path);
    // Counts a call: the error it fails with, 0 when it goes on.
    int callFails(const char* operation, const std::string& path);
    // `path`, or the entry of its folder whose name differs only in letter case.
    std::string spellingOnDisk(const std::string& path);
    // Holds the call when `rule` asks for it and no call was held before.
    void holdIfFirst(const std::string& rule, const std::string& path);

    platform::SystemFileSystem m_system;
    platform::FileSystem& m_real;
    std::map<int, std::string> m_paths;
    long m_writes = 0;
    // The held call's state: it is made on the job's worker thread, and the
    // test looks at it and releases it from its own.
    enum class Hold { None, Waiting, Over };
    mutable std::mutex m_holdMutex;
    std::condition_variable m_holdEnded;
    Hold m_hold = Hold::None;
    bool m_released = false;
};

}  // namespace vantrel::testing
