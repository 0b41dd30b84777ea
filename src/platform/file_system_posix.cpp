#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "platform/failure.h"
#include "platform/file_system_posix.h"
#include "platform/posix_descriptor.h"

namespace vantrel::platform {
namespace {

// A file of a file system held in memory alone.
bool isInMemory(int fd) {
    struct statfs system {};
    return ::fstatfs(fd, &system) == 0 &&
           (system.f_type == TMPFS_MAGIC || system.f_type == RAMFS_MAGIC);
}

constexpr const char* kReplaced = "it was replaced while it was being opened";

EntryKind kindOfMode(mode_t mode) {
    if (S_ISREG(mode)) return EntryKind::PlainFile;
    if (S_ISDIR(mode)) return EntryKind::Folder;
    return EntryKind::Other;
}

// "/x/out/" and "/x/out" name one folder.
std::string withoutTrailingSeparators(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// Opens `name` in `folder` (the path being `path`) and makes sure it is a
// plain file: a folder would fail only at the first read, and a pipe or a
// device could block the job for ever.
int openPlainFileAt(int folder, const std::string& name, const std::string& path, int flags,
                    const char* action, struct stat& info) {
    ScopedDescriptor file(::openat(folder, name.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666));
    if (!file.valid() || ::fstat(file.get(), &info) != 0) throwSystemFailure(action, path, errno);
    if (S_ISDIR(info.st_mode)) throwSystemFailure(action, path, EISDIR);
    if (!S_ISREG(info.st_mode))
        throw Failure(std::string(action) + " '" + path + "': not a plain file");
    // Of the flags F_SETFL sets, only O_APPEND is ever wanted: one call clears
    // O_NONBLOCK without reading the flags first.
    ::fcntl(file.get(), F_SETFL, flags & O_APPEND);
    return file.release();
}

}  // namespace

PosixFileSystem::Place PosixFileSystem::placeOf(const std::string& path) const {
    const std::lock_guard lock(m_lockedMutex);
    if (m_lockedFolders.empty()) return {AT_FDCWD, path};
    if (const auto held = m_lockedFolders.find(withoutTrailingSeparators(path));
        held != m_lockedFolders.end())
        return {held->second, "."};
    const auto slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 == path.size()) return {AT_FDCWD, path};
    const std::string name = path.substr(slash + 1);
    const auto held =
        m_lockedFolders.find(slash == 0 ? "/" : withoutTrailingSeparators(path.substr(0, slash)));
    if (held == m_lockedFolders.end() || name == "." || name == "..") return {AT_FDCWD, path};
    return {held->second, name};
}

int PosixFileSystem::openPlainFile(const std::string& path, int flags, const char* action) {
    const Place place = placeOf(path);
    struct stat info {};
    return openPlainFileAt(place.folder, place.name, path, flags, action, info);
}

int PosixFileSystem::openForReading(const std::string& path) {
    const int fd = openPlainFile(path, O_RDONLY, "cannot open");
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return fd;
}

int PosixFileSystem::openForWriting(const std::string& path) {
    return openPlainFile(path, O_WRONLY | O_CREAT | O_NOFOLLOW, "cannot create");
}

int PosixFileSystem::openForAppending(const std::string& path) {
    return openPlainFile(path, O_WRONLY | O_CREAT | O_APPEND, "cannot open");
}

std::int64_t PosixFileSystem::readAt(int fd, void* buffer, std::size_t count, std::int64_t offset) {
    for (;;) {
        const ssize_t got = ::pread(fd, buffer, count, static_cast<off_t>(offset));
        if (got >= 0) return got;
        if (errno != EINTR) return -errno;
    }
}

// What the page cache holds (RWF_NOWAIT): EAGAIN where the device would be
// asked, EOPNOTSUPP where the file system cannot tell (FUSE).
// tmpfs and ramfs take no RWF_NOWAIT, yet their files are memory: nothing
// there waits for a device.
std::int64_t PosixFileSystem::readAtWithoutWaiting(int fd, void* buffer, std::size_t count,
                                                   std::int64_t offset) {
    iovec part{buffer, count};
    for (;;) {
        const ssize_t got = ::preadv2(fd, &part, 1, static_cast<off_t>(offset), RWF_NOWAIT);
        if (got >= 0) return got;
        if (errno == EOPNOTSUPP && isInMemory(fd)) return readAt(fd, buffer, count, offset);
        if (errno != EINTR) return -errno;
    }
}

std::int64_t PosixFileSystem::write(int fd, const void* buffer, std::size_t count) {
    for (;;) {
        const ssize_t put = ::write(fd, buffer, count);
        if (put >= 0) return put;
        if (errno != EINTR) return -errno;
    }
}

std::int64_t PosixFileSystem::writeAt(int fd, const void* buffer, std::size_t count,
                                      std::int64_t offset) {
    for (;;) {
        const ssize_t put = ::pwrite(fd, buffer, count, static_cast<off_t>(offset));
        if (put >= 0) return put;
        if (errno != EINTR) return -errno;
    }
}

int PosixFileSystem::truncate(int fd, std::int64_t length) {
    for (;;) {
        if (::ftruncate(fd, static_cast<off_t>(length)) == 0) return 0;
        if (errno != EINTR) return -errno;
    }
}

// Where holes take space, ftruncate gives them that space (zeros): the
// job's check of its destination (fillsHoles) keeps sparse files away
// from such file systems.
int PosixFileSystem::makeSparse(int fd, std::int64_t length) { return truncate(fd, length); }

int PosixFileSystem::statusOf(int fd, FileStatus& status) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) return -errno;
    status = {{std::uint64_t(info.st_dev), std::uint64_t(info.st_ino)}, info.st_size};
    return 0;
}

int PosixFileSystem::close(int fd) {
    {
        const std::lock_guard lock(m_lockedMutex);
        std::erase_if(m_lockedFolders, [fd](const auto& held) { return held.second == fd; });
    }
    return ::close(fd) == 0 ? 0 : -errno;
}

int PosixFileSystem::flushFile(int) { return 0; }

int PosixFileSystem::flushFolder(int fd) { return ::syncfs(fd) == 0 ? 0 : -errno; }

// flock on the folder itself: no lock file is left behind, and the lock goes
// with the descriptor, however the holder ends. The folder is opened as the
// path names it, never through a link in its place, and from then on its
// entries are reached through the lock's descriptor: a folder renamed and
// replaced by a link meanwhile leads nowhere else.
std::optional<int> PosixFileSystem::lockFolder(const std::string& folder) {
    const std::string path = withoutTrailingSeparators(folder);
    // A link the user gave leads to the folder locked; once it is locked, its
    // entries are reached through the lock, whatever takes its name's place.
    ScopedDescriptor fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid()) throwSystemFailure("cannot lock", folder, errno);
    // What the path names is what was opened: no folder above it was swapped meanwhile.
    struct stat opened {};
    struct stat named {};
    if (::fstat(fd.get(), &opened) != 0 || ::stat(path.c_str(), &named) != 0 ||
        named.st_dev != opened.st_dev || named.st_ino != opened.st_ino)
        throw Failure("cannot lock '" + folder + "': " + kReplaced, kReplaced);
    int result = 0;
    do {
        result = ::flock(fd.get(), LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0 && errno == EWOULDBLOCK) return std::nullopt;
    // No lock at all (ENOLCK on some network and FUSE file systems) is no lock held.
    if (result != 0) throwSystemFailure("cannot lock", folder, errno);
    const std::lock_guard lock(m_lockedMutex);
    m_lockedFolders.emplace(path, fd.get());
    return fd.release();
}

std::int64_t PosixFileSystem::fileLength(const std::string& path) {
    const Place place = placeOf(path);
    struct stat info {};
    if (::fstatat(place.folder, place.name.c_str(), &info, 0) != 0)
        throwSystemFailure("cannot measure", path, errno);
    return info.st_size;
}

std::optional<EntryKind> PosixFileSystem::kindOf(const std::string& path) {
    const Place place = placeOf(path);
    struct stat info {};
    if (::fstatat(place.folder, place.name.c_str(), &info, 0) == 0) return kindOfMode(info.st_mode);
    if (errno == ENOENT || errno == ENOTDIR || errno == ELOOP) return std::nullopt;
    throwSystemFailure("cannot look up", path, errno);
}

PosixFileSystem::Folder PosixFileSystem::openFolder(const std::string& folder) const {
    const Place place = placeOf(folder.empty() ? "." : folder);
    const int fd =
        ::openat(place.folder, place.name.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
    Folder dir(fd >= 0 ? ::fdopendir(fd) : nullptr);
    if (fd >= 0 && !dir) {
        const int error = errno;
        ::close(fd);
        errno = error;
    }
    return dir;
}

std::optional<std::vector<FolderEntry>> PosixFileSystem::readFolder(const std::string& folder) {
    const Folder dir = openFolder(folder);
    if (!dir) {
        if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
        throwSystemFailure("cannot list", folder, errno);
    }
    std::vector<FolderEntry> entries;
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        EntryKind kind = EntryKind::Other;
        bool link = entry->d_type == DT_LNK;
        if (entry->d_type == DT_REG) {
            kind = EntryKind::PlainFile;
        } else if (entry->d_type == DT_DIR) {
            kind = EntryKind::Folder;
        } else {
            struct stat info {};  // links and file systems without d_type
            if (entry->d_type == DT_UNKNOWN &&
                ::fstatat(::dirfd(dir.get()), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0)
                link = S_ISLNK(info.st_mode);
            if (::fstatat(::dirfd(dir.get()), entry->d_name, &info, 0) == 0)
                kind = kindOfMode(info.st_mode);
        }
        entries.push_back({name, kind, link, name.front() == '.'});
        errno = 0;
    }
    if (errno != 0) throwSystemFailure("cannot list", folder, errno);
    return entries;
}

int PosixFileSystem::folderError(const std::string& path) {
    const Folder dir = openFolder(path);
    return dir ? 0 : errno;
}

std::optional<FolderEntry> PosixFileSystem::lookUp(const std::string& path) {
    const auto kind = kindOf(path);
    if (!kind) return std::nullopt;
    const Place place = placeOf(path);
    struct stat info {};
    const bool link =
        ::fstatat(place.folder, place.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISLNK(info.st_mode);
    const auto slash = path.rfind('/');
    return FolderEntry{slash == std::string::npos ? path : path.substr(slash + 1), *kind, link};
}

bool PosixFileSystem::isSameEntry(const std::string& a, const std::string& b) {
    const Place first = placeOf(a), second = placeOf(b);
    struct stat one {
    }, other{};
    return ::fstatat(first.folder, first.name.c_str(), &one, 0) == 0 &&
           ::fstatat(second.folder, second.name.c_str(), &other, 0) == 0 &&
           one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

void PosixFileSystem::removeFile(const std::string& path) {
    const Place place = placeOf(path);
    if (::unlinkat(place.folder, place.name.c_str(), 0) != 0)
        throwSystemFailure("cannot delete", path, errno);
}

void PosixFileSystem::createFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            throwSystemFailure("cannot create", part, errno);
        if (slash == std::string::npos) return;
    }
}

bool PosixFileSystem::isWritable(const std::string& path) {
    const Place place = placeOf(path);
    return ::faccessat(place.folder, place.name.c_str(), W_OK, AT_EACCESS) == 0;
}

}  // namespace vantrel::platform
