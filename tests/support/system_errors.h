#pragma once

#include <cerrno>
#include <string>

#include "platform/failure.h"

namespace vantrel::testing {

// The failures the tests provoke, and their file systems give, in the
// platform's own numbering.
#ifdef _WIN32
inline constexpr int kIoError = 1117;    // ERROR_IO_DEVICE
inline constexpr int kDiskFull = 112;    // ERROR_DISK_FULL
inline constexpr int kReadOnly = 19;     // ERROR_WRITE_PROTECT
inline constexpr int kBusy = 32;         // ERROR_SHARING_VIOLATION
inline constexpr int kNoSuchFile = 2;    // ERROR_FILE_NOT_FOUND
inline constexpr int kNoSuchFolder = 3;  // ERROR_PATH_NOT_FOUND
inline constexpr int kNotAFolder = 267;  // ERROR_DIRECTORY
inline constexpr int kIsAFolder = 5;     // ERROR_ACCESS_DENIED: a folder opened as a file
inline constexpr int kAccessDenied = 5;  // ERROR_ACCESS_DENIED
#else
inline constexpr int kIoError = EIO;
inline constexpr int kDiskFull = ENOSPC;
inline constexpr int kReadOnly = EROFS;
inline constexpr int kBusy = EBUSY;
inline constexpr int kNoSuchFile = ENOENT;
inline constexpr int kNoSuchFolder = ENOENT;
inline constexpr int kNotAFolder = ENOTDIR;
inline constexpr int kIsAFolder = EISDIR;
inline constexpr int kAccessDenied = EACCES;
#endif

// What the platform says for `code`, as a failure's description ends.
inline std::string described(int code) { return platform::systemErrorText(code); }

}  // namespace vantrel::testing
