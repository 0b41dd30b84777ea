#pragma once

#include <optional>
#include <set>

#include "platform/call_worker.h"
#include "platform/file_system.h"

namespace vantrel::platform {

// A file system whose calls that may wait on a device (opening for reading,
// reading, looking at, measuring, listing) are made on a CallWorker's
// thread: the thread that asks waits for each, doing the worker's waiting
// meanwhile (a window's events), and one it gives up throws CallAbandoned
// there and goes on alone. A file such a call opens is closed when it
// returns; a descriptor it reads stays open until it returns, its close
// queued behind it; it reads into memory it holds a share of.
//
// A hand-over costs some microseconds: a read whose bytes are in memory
// already (readAtWithoutWaiting) is made at once, on the asking thread, as
// is a close; an opening brings the file's status along. Calls that write
// (and lock, flush, delete, create) pass straight to `inner` on the asking
// thread: they go to the destination, not to the source that stalls, and a
// job's wind-down after Exit, which closes its outputs and writes its log,
// must not queue behind a read that the source keeps.
class OffThreadFileSystem final : public FileSystem {
  public:
    OffThreadFileSystem(FileSystem& inner, CallWorker& worker) : m_inner(inner), m_worker(worker) {}

    int openForReading(const std::string& path) override;
    int openForWriting(const std::string& path) override { return m_inner.openForWriting(path); }
    int openForAppending(const std::string& path) override {
        return m_inner.openForAppending(path);
    }
    std::int64_t readAt(int fd, void* buffer, std::size_t count, std::int64_t offset) override;
    std::int64_t readAtWithoutWaiting(int fd, void* buffer, std::size_t count,
                                      std::int64_t offset) override {
        return m_inner.readAtWithoutWaiting(fd, buffer, count, offset);
    }
    std::int64_t readIntoShared(int fd, const std::shared_ptr<std::byte[]>& memory, std::size_t at,
                                std::size_t count, std::int64_t offset) override;
    std::int64_t write(int fd, const void* buffer, std::size_t count) override {
        return m_inner.write(fd, buffer, count);
    }
    std::int64_t writeAt(int fd, const void* buffer, std::size_t count,
                         std::int64_t offset) override {
        return m_inner.writeAt(fd, buffer, count, offset);
    }
    int truncate(int fd, std::int64_t length) override { return m_inner.truncate(fd, length); }
    int makeSparse(int fd, std::int64_t length) override { return m_inner.makeSparse(fd, length); }
    int statusOf(int fd, FileStatus& status) override;
    // A close given up on goes on alone and counts as done.
    int close(int fd) override;
    int flushFile(int fd) override { return m_inner.flushFile(fd); }
    int flushFolder(int fd) override { return m_inner.flushFolder(fd); }
    std::optional<int> lockFolder(const std::string& folder) override {
        return m_inner.lockFolder(folder);
    }
    std::int64_t fileLength(const std::string& path) override;
    std::optional<EntryKind> kindOf(const std::string& path) override;
    std::optional<std::vector<FolderEntry>> readFolder(const std::string& folder) override;
    int folderError(const std::string& path) override;
    std::optional<FolderEntry> lookUp(const std::string& path) override;
    void removeFile(const std::string& path) override { m_inner.removeFile(path); }
    void createFolders(const std::string& folder) override { m_inner.createFolders(folder); }
    bool isWritable(const std::string& path) override;
    bool fillsHoles(const std::string& folder) override { return m_inner.fillsHoles(folder); }
    bool isSameEntry(const std::string& a, const std::string& b) override;
    std::string backingFile(const std::string& path) override;

  private:
    // A file just opened, with its status (or why it has none).
    struct Opened {
        int fd = -1;
        int error = 0;
        FileStatus status;
    };

    // `call` on `inner`, made on the worker's thread.
    template <typename Call>
    auto offThread(Call call) {
        using Result = decltype(call(m_inner));
        return m_worker.run<Result>([&inner = m_inner, call] { return call(inner); });
    }
    // The same for a call on `fd`, which is remembered when it is given up.
    template <typename Call>
    auto onDescriptor(int fd, Call call) {
        try {
            return offThread(std::move(call));
        } catch (const CallAbandoned&) {
            m_givenUp.insert(fd);
            throw;
        }
    }

    FileSystem& m_inner;
    CallWorker& m_worker;
    std::optional<Opened> m_opened;  // the last file opened, until its status is asked for
    std::set<int> m_givenUp;         // descriptors with a call given up
};

}  // namespace vantrel::platform
