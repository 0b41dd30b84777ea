#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string_view>
#include <utility>

#include "platform/registry.h"
#include "platform/registry_file_store.h"

namespace vantrel::platform {
namespace {

class Descriptor {
  public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

  private:
    int m_fd;
};

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

std::int32_t readWhole(const std::string& path, std::string& text) {
    text.clear();
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
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

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0 && errno != EINTR) return false;
        if (written > 0) data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Writes `text` to "<store>.tmp", flushes it to the disk and renames it over
// the store, which keeps its permissions.
std::int32_t replaceStore(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".tmp";
    struct stat old {};
    const bool hadStore = ::stat(path.c_str(), &old) == 0;
    Descriptor file(
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
    const std::string folder = std::filesystem::path(path).parent_path().string();
    const Descriptor dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY));
    if (dir.get() >= 0) ::fsync(dir.get());  // the rename itself reaches the disk
    return ERROR_SUCCESS;
}

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
    if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr) {
        return user->pw_dir;
    }
    return ".";
}

}  // namespace

std::unique_ptr<RegistryApi> systemRegistry() {
    return std::make_unique<RegistryFileStore>(RegistryFileStore::defaultStorePath());
}

std::string RegistryFileStore::defaultStorePath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder = config != nullptr && config[0] == '/' ? config : homeFolder() + "/.config";
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder + (folder == "/" ? "" : "/") + "vantrel/registry.reg";
}

std::int32_t RegistryFileStore::readStoreFile(const std::string& path, std::string& text) {
    return readWhole(path, text);
}

std::int32_t RegistryFileStore::changeStoreFile(
    const std::string& path, const std::function<bool(std::string& text)>& change) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code error;
    if (!folder.empty()) std::filesystem::create_directories(folder, error);
    if (error) return codeOf(error.value());
    // The lock file is never removed: a process waiting on a removed one would
    // hold a lock nobody else sees.
    const Descriptor lock(::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
    if (lock.get() < 0) return codeOf(errno);
    while (::flock(lock.get(), LOCK_EX) != 0) {
        if (errno != EINTR) return codeOf(errno);
    }
    std::string text;
    const std::int32_t status = readWhole(path, text);
    if (status != ERROR_SUCCESS || !change(text)) return status;
    return replaceStore(path, text);
}

}  // namespace vantrel::platform
