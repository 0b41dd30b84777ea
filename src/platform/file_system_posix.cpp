#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "platform/failure.h"
#include "platform/file_system_posix.h"
#include "platform/posix_descriptor.h"

namespace vantrel::platform {
namespace {

struct CloseFolder {
    void operator()(DIR* folder) const { ::closedir(folder); }
};
using Folder = std::unique_ptr<DIR, CloseFolder>;

EntryKind kindOfMode(mode_t mode) {
    if (S_ISREG(mode)) return EntryKind::PlainFile;
    if (S_ISDIR(mode)) return EntryKind::Folder;
    return EntryKind::Other;
}

// Opens `path` and makes sure it is a plain file: a folder would fail only at
// the first read, and a pipe or a device could block the job for ever.
int openPlainFile(const std::string& path, int flags, const char* action, struct stat& info) {
    ScopedDescriptor file(::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666));
    if (!file.valid() || ::fstat(file.get(), &info) != 0) throwSystemFailure(action, path, errno);
    if (S_ISDIR(info.st_mode)) throwSystemFailure(action, path, EISDIR);
    if (!S_ISREG(info.st_mode))
        throw Failure(std::string(action) + " '" + path + "': not a plain file");
    // Of the flags F_SETFL sets, only O_APPEND is ever wanted: one call clears
    // O_NONBLOCK without reading the flags first.
    ::fcntl(file.get(), F_SETFL, flags & O_APPEND);
    return file.release();
}

int openPlainFile(const std::string& path, int flags, const char* action) {
    struct stat info {};
    return openPlainFile(path, flags, action, info);
}

}  // namespace

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

std::int64_t PosixFileSystem::write(int fd, const void* buffer, std::size_t count) {
    for (;;) {
        const ssize_t put = ::write(fd, buffer, count);
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

int PosixFileSystem::statusOf(int fd, FileStatus& status) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) return -errno;
    status = {{std::uint64_t(info.st_dev), std::uint64_t(info.st_ino)}, info.st_size};
    return 0;
}

int PosixFileSystem::close(int fd) { return ::close(fd) == 0 ? 0 : -errno; }

int PosixFileSystem::flushFile(int) { return 0; }

int PosixFileSystem::flushFolder(int fd) { return ::syncfs(fd) == 0 ? 0 : -errno; }

// flock on the folder itself: no lock file is left behind, and the lock goes
// with the descriptor, however the holder ends.
std::optional<int> PosixFileSystem::lockFolder(const std::string& folder) {
    ScopedDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid()) throwSystemFailure("cannot lock", folder, errno);
    int result = 0;
    do {
        result = ::flock(fd.get(), LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0 && errno == EWOULDBLOCK) return std::nullopt;
    return fd.release();
}

std::int64_t PosixFileSystem::fileLength(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) throwSystemFailure("cannot measure", path, errno);
    return info.st_size;
}

std::optional<EntryKind> PosixFileSystem::kindOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) return kindOfMode(info.st_mode);
    if (errno == ENOENT || errno == ENOTDIR || errno == ELOOP) return std::nullopt;
    throwSystemFailure("cannot look up", path, errno);
}

std::optional<std::vector<FolderEntry>> PosixFileSystem::readFolder(const std::string& folder) {
    const Folder dir(::opendir(folder.empty() ? "." : folder.c_str()));
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
    const Folder dir(::opendir(path.c_str()));
    return dir ? 0 : errno;
}

std::optional<FolderEntry> PosixFileSystem::lookUp(const std::string& path) {
    const auto kind = kindOf(path);
    if (!kind) return std::nullopt;
    struct stat info {};
    const bool link = ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
    const auto slash = path.rfind('/');
    return FolderEntry{slash == std::string::npos ? path : path.substr(slash + 1), *kind, link};
}

bool PosixFileSystem::isSameEntry(const std::string& a, const std::string& b) {
    struct stat first {
    }, second{};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

void PosixFileSystem::removeFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0) throwSystemFailure("cannot delete", path, errno);
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
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

}  // namespace vantrel::platform
