#include "support/faulty_file_system.h"

#include "platform/dir_listing.h"
#include "platform/failure.h"
#include "platform/paths.h"

namespace vantrel::testing {
namespace {

bool hits(const std::string& rule, const std::string& path) {
    return !rule.empty() && path.find(rule) != std::string::npos;
}

}  // namespace

int FaultyFileSystem::remember(int fd, const std::string& path) {
    m_paths[fd] = path;
    return fd;
}

int FaultyFileSystem::callFails(const char* operation, const std::string& path) {
    if (++calls != failCall) return 0;
    failedCall = Call{operation, path};
    const auto error = callErrors.find(operation);
    return error != callErrors.end() ? error->second : kIoError;
}

void FaultyFileSystem::holdIfFirst(const std::string& rule, const std::string& path) {
    std::unique_lock lock(m_holdMutex);
    if (!hits(rule, path) || m_hold != Hold::None) return;
    m_hold = Hold::Waiting;
    m_holdEnded.wait_for(lock, holdLimit, [this] { return m_released; });
    m_hold = Hold::Over;
}

bool FaultyFileSystem::holding() const {
    const std::lock_guard lock(m_holdMutex);
    return m_hold == Hold::Waiting;
}

void FaultyFileSystem::release() {
    const std::lock_guard lock(m_holdMutex);
    m_released = true;
    m_holdEnded.notify_all();
}

int FaultyFileSystem::openForReading(const std::string& path) {
    holdIfFirst(holdOpen, path);
    if (const int error = callFails("openForReading", path))
        platform::throwSystemFailure("cannot open", path, error);
    if (hits(failOpenForReading, path)) platform::throwSystemFailure("cannot open", path, kIoError);
    return remember(m_real.openForReading(path), path);
}

int FaultyFileSystem::openForWriting(const std::string& path) {
    if (const int error = callFails("openForWriting", path))
        platform::throwSystemFailure("cannot create", path, error);
    if (hits(failOpenForWriting, path))
        platform::throwSystemFailure("cannot create", path, kReadOnly);
    return remember(m_real.openForWriting(hits(ignoreCase, path) ? spellingOnDisk(path) : path),
                    path);
}

std::string FaultyFileSystem::spellingOnDisk(const std::string& path) {
    const std::string folder = path.substr(0, path.rfind(platform::kPathSeparator) + 1);
    const std::string name = path.substr(folder.size());
    for (const auto& entry :
         m_real.readFolder(folder).value_or(std::vector<platform::FolderEntry>())) {
        if (platform::matchesWildcard(entry.name, name)) return folder + entry.name;
    }
    return path;
}

int FaultyFileSystem::openForAppending(const std::string& path) {
    if (const int error = callFails("openForAppending", path))
        platform::throwSystemFailure("cannot open", path, error);
    if (hits(failOpenForWriting, path))
        platform::throwSystemFailure("cannot open", path, kReadOnly);
    return remember(m_real.openForAppending(path), path);
}

std::int64_t FaultyFileSystem::readAt(int fd, void* buffer, std::size_t count,
                                      std::int64_t offset) {
    if (const auto file = m_paths.find(fd); file != m_paths.end() && offset >= holdReadFrom)
        holdIfFirst(holdRead, file->second);
    if (const int error = callFails("readAt", m_paths[fd])) {
        // A bad spot stays bad: the bytes asked for fail again.
        failRead = m_paths[fd];
        failReadFrom = offset;
        failReadTo = offset + std::int64_t(count);
        return -error;
    }
    const bool reachesBadRegion =
        offset + std::int64_t(count) > failReadFrom && (failReadTo < 0 || offset < failReadTo);
    if (hits(failRead, m_paths[fd]) && reachesBadRegion) {
        ++badRegionReads;
        return -kIoError;
    }
    return m_real.readAt(fd, buffer, count, offset);
}

std::int64_t FaultyFileSystem::write(int fd, const void* buffer, std::size_t count) {
    if (const int error = callFails("write", m_paths[fd])) return -error;
    if (hits(failWrite, m_paths[fd]) && m_writes++ >= writesBeforeFailure) return -kDiskFull;
    return m_real.write(fd, buffer, count);
}

std::int64_t FaultyFileSystem::writeAt(int fd, const void* buffer, std::size_t count,
                                       std::int64_t offset) {
    if (const int error = callFails("writeAt", m_paths[fd])) return -error;
    if (hits(failWrite, m_paths[fd]) && m_writes++ >= writesBeforeFailure) return -kDiskFull;
    return m_real.writeAt(fd, buffer, count, offset);
}

int FaultyFileSystem::truncate(int fd, std::int64_t length) {
    if (const int error = callFails("truncate", m_paths[fd])) return -error;
    return m_real.truncate(fd, length);
}

int FaultyFileSystem::makeSparse(int fd, std::int64_t length) {
    if (const int error = callFails("makeSparse", m_paths[fd])) return -error;
    return m_real.makeSparse(fd, length);
}

int FaultyFileSystem::statusOf(int fd, platform::FileStatus& status) {
    if (const int error = callFails("statusOf", m_paths[fd])) return -error;
    return m_real.statusOf(fd, status);
}

// As on POSIX, a close that fails has closed the descriptor all the same.
int FaultyFileSystem::close(int fd) {
    const int error = callFails("close", m_paths[fd]);
    m_paths.erase(fd);
    const int result = m_real.close(fd);
    return error != 0 ? -error : result;
}

int FaultyFileSystem::flushFile(int fd) {
    flushes.push_back(m_paths[fd]);
    if (const int error = callFails("flushFile", m_paths[fd])) return -error;
    if (hits(failFlush, m_paths[fd])) return -kIoError;
    return m_real.flushFile(fd);
}

int FaultyFileSystem::flushFolder(int fd) {
    flushes.push_back(m_paths[fd]);
    if (const int error = callFails("flushFolder", m_paths[fd])) return -error;
    if (failFolderFlush) return -kIoError;
    // The system's own call (syncfs on POSIX) flushes the whole disk, dozens
    // of times a second in the fault loop: every vantrel-cli test makes it.
    return 0;
}

std::optional<int> FaultyFileSystem::lockFolder(const std::string& folder) {
    if (hits(failLock, folder)) platform::throwSystemFailure("cannot lock", folder, kAccessDenied);
    if (const int error = callFails("lockFolder", folder))
        platform::throwSystemFailure("cannot lock", folder, error);
    const std::optional<int> fd = m_real.lockFolder(folder);
    if (!fd) return std::nullopt;
    return remember(*fd, folder);
}

std::int64_t FaultyFileSystem::fileLength(const std::string& path) {
    if (const int error = callFails("fileLength", path))
        platform::throwSystemFailure("cannot measure", path, error);
    if (hits(failLength, path)) platform::throwSystemFailure("cannot measure", path, kIoError);
    return m_real.fileLength(path);
}

std::optional<platform::EntryKind> FaultyFileSystem::kindOf(const std::string& path) {
    if (const int error = callFails("kindOf", path))
        platform::throwSystemFailure("cannot look up", path, error);
    if (hits(failLookUp, path)) platform::throwSystemFailure("cannot look up", path, kIoError);
    return m_real.kindOf(path);
}

std::optional<std::vector<platform::FolderEntry>> FaultyFileSystem::readFolder(
    const std::string& folder) {
    if (const int error = callFails("readFolder", folder))
        platform::throwSystemFailure("cannot list", folder, error);
    if (hits(failListing, folder)) platform::throwSystemFailure("cannot list", folder, kIoError);
    return m_real.readFolder(folder);
}

std::optional<platform::FolderEntry> FaultyFileSystem::lookUp(const std::string& path) {
    if (const int error = callFails("lookUp", path))
        platform::throwSystemFailure("cannot look up", path, error);
    if (hits(failLookUp, path)) platform::throwSystemFailure("cannot look up", path, kIoError);
    return m_real.lookUp(path);
}

void FaultyFileSystem::removeFile(const std::string& path) {
    if (const int error = callFails("removeFile", path))
        platform::throwSystemFailure("cannot delete", path, error);
    if (hits(failRemove, path)) platform::throwSystemFailure("cannot delete", path, kBusy);
    m_real.removeFile(path);
}

void FaultyFileSystem::createFolders(const std::string& folder) {
    if (const int error = callFails("createFolders", folder))
        platform::throwSystemFailure("cannot create", folder, error);
    m_real.createFolders(folder);
}

bool FaultyFileSystem::isWritable(const std::string& path) {
    if (callFails("isWritable", path) != 0) return false;
    return !hits(refuseWriting, path) && m_real.isWritable(path);
}

// A probe that fails tells nothing.
bool FaultyFileSystem::fillsHoles(const std::string& folder) {
    if (callFails("fillsHoles", folder) != 0) return false;
    return m_real.fillsHoles(folder);
}

int FaultyFileSystem::folderError(const std::string& path) {
    if (const int error = callFails("folderError", path)) return error;
    return hits(failListing, path) ? kIoError : m_real.folderError(path);
}

bool FaultyFileSystem::isSameEntry(const std::string& a, const std::string& b) {
    if (callFails("isSameEntry", a) != 0) return false;
    return m_real.isSameEntry(a, b);
}

}  // namespace vantrel::testing
