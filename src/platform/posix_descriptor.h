#pragma once

// POSIX only: a file descriptor closed when it goes out of scope.

#include <unistd.h>

#include <utility>

namespace vantrel::platform {

class ScopedDescriptor {
  public:
    explicit ScopedDescriptor(int fd) : m_fd(fd) {}
    ~ScopedDescriptor() {
        if (valid()) ::close(m_fd);
    }
    ScopedDescriptor(const ScopedDescriptor&) = delete;
    ScopedDescriptor& operator=(const ScopedDescriptor&) = delete;

    bool valid() const { return m_fd >= 0; }
    int get() const { return m_fd; }
    // The descriptor, no longer closed here.
    int release() { return std::exchange(m_fd, -1); }

  private:
    int m_fd;
};

}  // namespace vantrel::platform
