#include "registry/locked_file_update.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string_view>

#include "platform/posix_descriptor.h"
#include "registry/registry_constants.h"

namespace vantrel::registry {
namespace {

namespace fs = std::filesystem;
using platform::ScopedDescriptor;

// Links followed before a store counts as unreachable, as the kernel's own limit.
constexpr int kMostLinks = 40;

std::int32_t codeOf(int err) {
    switch (err) {
        case ENOSPC:
        case EDQUOT:
            return ERROR_DISK_FULL;
        case ENOMEM:
            return ERROR_OUTOFMEMORY;
        default:
            return ERROR_ACCESS_DENIED;
    }
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0 && errno != EINTR) return false;
        if (written > 0) data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The file a path leads to through any symbolic links, which need not exist
// yet: a link may lead to a store not written so far.
std::int32_t followLinks(const std::string& path, std::string& target) {
    fs::path file = path;
    for (int links = 0; links < kMostLinks; ++links) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(file, error))) {
            target = file.string();
            return ERROR_SUCCESS;
        }
        const fs::path next = fs::read_symlink(file, error);
        if (error) return codeOf(error.value());
        file = next.is_absolute() ? next : file.parent_path() / next;
    }
    return codeOf(ELOOP);
}

// Writes `text` to "<store>.tmp", flushes it to the disk and renames it over
// the store, which keeps its permissions.
std::int32_t replaceStore(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".tmp";
    struct stat old {};
    const bool hadStore = ::stat(path.c_str(), &old) == 0;
    ScopedDescriptor file(
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666));
    if (file.get() < 0) return codeOf(errno);
    int err = 0;
    if ((hadStore && ::fchmod(file.get(), old.st_mode & 07777) != 0) ||
        !writeAll(file.get(), text) || ::fsync(file.get()) != 0 || ::close(file.release()) != 0 ||
        ::rename(temporary.c_str(), path.c_str()) != 0) {
        err = errno;
    }
    if (err != 0) {
        ::unlink(temporary.c_str());
        return codeOf(err);
    }
    const std::string folder = fs::path(path).parent_path().string();
    const ScopedDescriptor dir(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY));
    if (dir.get() >= 0) ::fsync(dir.get());  // the rename itself reaches the disk
    return ERROR_SUCCESS;
}

}  // namespace

std::int32_t readStoreFile(const std::string& path, std::string& text) {
    text.clear();
    const ScopedDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) return errno == ENOENT || errno == ENOTDIR ? ERROR_SUCCESS : codeOf(errno);
    char buffer[65536];
    while (true) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got == 0) return ERROR_SUCCESS;
        if (got > 0) {
            text.append(buffer, static_cast<std::size_t>(got));
        } else if (errno != EINTR) {
            return codeOf(errno);
        }
    }
}

std::int32_t changeStoreFile(const std::string& path,
                             const std::function<bool(std::string& text)>& change) {
    const fs::path folder = fs::path(path).parent_path();
    std::error_code error;
    if (!folder.empty()) fs::create_directories(folder, error);
    if (error) return codeOf(error.value());
    // The lock file is never removed: a process waiting on a removed one would
    // hold a lock nobody else sees. It stays beside the path the program
    // knows, not beside a link's target (a dotfile repository, say).
    const ScopedDescriptor lock(
        ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
    if (lock.get() < 0) return codeOf(errno);
    while (::flock(lock.get(), LOCK_EX) != 0) {
        if (errno != EINTR) return codeOf(errno);
    }
    std::string target;
    std::string text;
    std::int32_t status = followLinks(path, target);
    if (status == ERROR_SUCCESS) status = readStoreFile(target, text);
    if (status != ERROR_SUCCESS || !change(text)) return status;
    return replaceStore(target, text);
}

}  // namespace vantrel::registry
