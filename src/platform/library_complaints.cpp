#include "platform/library_complaints.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace vantrel::platform {

LibraryComplaints::LibraryComplaints()
    : m_saved(::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3)),
      m_file(::memfd_create("libudfread-complaints", MFD_CLOEXEC)) {
    std::fflush(stderr);
    if (m_saved.valid() && m_file.valid()) ::dup2(m_file.get(), STDERR_FILENO);
}

LibraryComplaints::~LibraryComplaints() {
    std::fflush(stderr);
    if (m_saved.valid() && m_file.valid()) ::dup2(m_saved.get(), STDERR_FILENO);
}

std::string LibraryComplaints::take() {
    std::fflush(stderr);
    std::string text;
    char buffer[512];
    for (ssize_t got; (got = ::pread(m_file.get(), buffer, sizeof buffer, m_read)) > 0;) {
        text.append(buffer, std::size_t(got));
        m_read += got;
    }
    text = text.substr(0, text.find('\n'));
    for (const char* prefix : {"udfread ERROR: ", "ecma: "}) {
        if (text.rfind(prefix, 0) == 0) return text.substr(std::strlen(prefix));
    }
    return text;
}

}  // namespace vantrel::platform
