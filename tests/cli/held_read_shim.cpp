// Loaded into vantrel-cli with LD_PRELOAD: the first read of one file from
// one offset on is held for 20 s, as a drive retrying a bad spot holds a
// read in the kernel: no signal ends the wait, only the process's end does,
// and the page cache never has those bytes (preadv2 with RWF_NOWAIT finds
// none). VANTREL_HOLD_READ names the file, VANTREL_HOLD_FROM the offset; the
// hold says on stderr when it begins and when it lets the read go.

#include <dlfcn.h>
#include <sys/uio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

std::atomic<bool> g_held = false;

bool isHeld(int fd, off_t offset) {
    const char* file = std::getenv("VANTREL_HOLD_READ");
    const char* from = std::getenv("VANTREL_HOLD_FROM");
    if (file == nullptr || offset < (from != nullptr ? std::atoll(from) : 0)) return false;
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char path[4096];
    const ssize_t length = ::readlink(link, path, sizeof path - 1);
    if (length < 0) return false;
    path[length] = '\0';
    return std::strcmp(path, file) == 0;
}

void say(const char* line) {
    const ssize_t written = ::write(STDERR_FILENO, line, std::strlen(line));
    static_cast<void>(written);
}

void holdFirst(int fd, off_t offset) {
    if (!isHeld(fd, offset) || g_held.exchange(true)) return;
    say("held read: holding\n");
    timespec end{};
    ::clock_gettime(CLOCK_MONOTONIC, &end);
    end.tv_sec += 20;
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &end, nullptr) == EINTR) {
    }
    say("held read: let go\n");
}

template <typename Function>
Function* next(const char* name) {
    return reinterpret_cast<Function*>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" ssize_t pread(int fd, void* buffer, size_t count, off_t offset) {
    holdFirst(fd, offset);
    static auto* const real = next<ssize_t(int, void*, size_t, off_t)>("pread");
    return real(fd, buffer, count, offset);
}

extern "C" ssize_t pread64(int fd, void* buffer, size_t count, off_t offset) {
    holdFirst(fd, offset);
    static auto* const real = next<ssize_t(int, void*, size_t, off_t)>("pread64");
    return real(fd, buffer, count, offset);
}

extern "C" ssize_t preadv2(int fd, const iovec* parts, int count, off_t offset, int flags) {
    if ((flags & RWF_NOWAIT) != 0 && isHeld(fd, offset)) {
        errno = EAGAIN;
        return -1;
    }
    static auto* const real = next<ssize_t(int, const iovec*, int, off_t, int)>("preadv2");
    return real(fd, parts, count, offset, flags);
}
