#include "platform/off_thread_file_system.h"

#include <cstring>
#include <utility>

namespace vantrel::platform {

// Whoever opens a file asks what it opened next (BinaryFile): the status
// comes in the same hand-over.
int OffThreadFileSystem::openForReading(const std::string& path) {
    FileSystem& inner = m_inner;
    const Opened opened = m_worker.run<Opened>(
        [&inner, path] {
            Opened file{inner.openForReading(path), 0, {}};
            file.error = inner.statusOf(file.fd, file.status);
            return file;
        },
        [&inner](Opened& file) { inner.close(file.fd); });
    m_opened = opened;
    return opened.fd;
}

// The caller's memory may be gone by the time a read given up returns: a
// read that waits fills memory of its own, copied over once it is back.
std::int64_t OffThreadFileSystem::readAt(int fd, void* buffer, std::size_t count,
                                         std::int64_t offset) {
    if (const std::int64_t got = m_inner.readAtWithoutWaiting(fd, buffer, count, offset); got >= 0)
        return got;
    const std::shared_ptr<std::byte[]> memory(new std::byte[count]);
    const std::int64_t got = readIntoShared(fd, memory, 0, count, offset);
    if (got > 0) std::memcpy(buffer, memory.get(), std::size_t(got));
    return got;
}

std::int64_t OffThreadFileSystem::readIntoShared(int fd, const std::shared_ptr<std::byte[]>& memory,
                                                 std::size_t at, std::size_t count,
                                                 std::int64_t offset) {
    if (const std::int64_t got = m_inner.readAtWithoutWaiting(fd, memory.get() + at, count, offset);
        got >= 0)
        return got;
    return onDescriptor(
        fd, [=](FileSystem& inner) { return inner.readAt(fd, memory.get() + at, count, offset); });
}

int OffThreadFileSystem::statusOf(int fd, FileStatus& status) {
    if (m_opened && m_opened->fd == fd) {
        const Opened opened = *std::exchange(m_opened, std::nullopt);
        if (opened.error == 0) status = opened.status;
        return opened.error;
    }
    const auto [error, read] = onDescriptor(fd, [fd](FileSystem& inner) {
        FileStatus answer;
        return std::pair{inner.statusOf(fd, answer), answer};
    });
    if (error == 0) status = read;
    return error;
}

// Closing a file opened for reading asks nothing of the device: it is done
// here, unless a call on the descriptor was given up, whose close must wait
// behind it on the worker.
int OffThreadFileSystem::close(int fd) {
    if (m_opened && m_opened->fd == fd) m_opened.reset();
    if (m_givenUp.erase(fd) == 0) return m_inner.close(fd);
    try {
        return offThread([fd](FileSystem& inner) { return inner.close(fd); });
    } catch (...) {
        return 0;
    }
}

std::int64_t OffThreadFileSystem::fileLength(const std::string& path) {
    return offThread([path](FileSystem& inner) { return inner.fileLength(path); });
}

std::optional<EntryKind> OffThreadFileSystem::kindOf(const std::string& path) {
    return offThread([path](FileSystem& inner) { return inner.kindOf(path); });
}

std::optional<std::vector<FolderEntry>> OffThreadFileSystem::readFolder(const std::string& folder) {
    return offThread([folder](FileSystem& inner) { return inner.readFolder(folder); });
}

int OffThreadFileSystem::folderError(const std::string& path) {
    return offThread([path](FileSystem& inner) { return inner.folderError(path); });
}

std::optional<FolderEntry> OffThreadFileSystem::lookUp(const std::string& path) {
    return offThread([path](FileSystem& inner) { return inner.lookUp(path); });
}

bool OffThreadFileSystem::isWritable(const std::string& path) {
    return offThread([path](FileSystem& inner) { return inner.isWritable(path); });
}

bool OffThreadFileSystem::isSameEntry(const std::string& a, const std::string& b) {
    return offThread([a, b](FileSystem& inner) { return inner.isSameEntry(a, b); });
}

std::string OffThreadFileSystem::backingFile(const std::string& path) {
    return offThread([path](FileSystem& inner) { return inner.backingFile(path); });
}

}  // namespace vantrel::platform
