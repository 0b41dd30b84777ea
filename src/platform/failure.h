#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace vantrel::platform {

// The one failure type of the system above the disc's format (whose readers,
// on the standard library alone, throw dvd::IfoError, a std::runtime_error
// too): what() is a one-line description that names what failed and why, e.g.
// "cannot open '/x/VTS_01_1.VOB': No such file or directory".
class Failure : public std::runtime_error {
  public:
    explicit Failure(const std::string& description) : Failure(description, description) {}
    // `reason` is the part of the description that says why ("Permission denied").
    Failure(const std::string& description, std::string reason)
        : std::runtime_error(description), m_reason(std::move(reason)) {}

    const std::string& reason() const noexcept { return m_reason; }

  private:
    std::string m_reason;
};

// The system's own one-line text for an error code: an errno on POSIX, a
// GetLastError code on Windows.
std::string systemErrorText(int code);

// Throws a Failure for a system call that failed with `code` on `path`.
[[noreturn]] void throwSystemFailure(const std::string& action, const std::string& path, int code);

}  // namespace vantrel::platform
