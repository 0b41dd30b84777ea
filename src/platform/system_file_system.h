#pragma once

// The file system of the system the program is built for.

#ifdef _WIN32
#include "platform/file_system_win32.h"
#else
#include "platform/disc_image_file_system.h"
#include "platform/file_system_posix.h"
#endif

namespace vantrel::platform {

#ifdef _WIN32
using SystemFileSystem = Win32FileSystem;
#else
namespace detail {
// Made before the file system over it: a base class that comes first.
struct PosixFiles {
    PosixFileSystem posix;
};
}  // namespace detail

// The system's files, and on Linux the disc images and drives read through
// libudfread.
class SystemFileSystem final : private detail::PosixFiles, public DiscImageFileSystem {
  public:
    SystemFileSystem() : DiscImageFileSystem(posix) {}
};
#endif

}  // namespace vantrel::platform
