#pragma once

// The file system of the system the program is built for.

#ifdef _WIN32
#include "platform/file_system_win32.h"
#else
#include "platform/file_system_posix.h"
#endif

namespace vantrel::platform {

#ifdef _WIN32
using SystemFileSystem = Win32FileSystem;
#else
using SystemFileSystem = PosixFileSystem;
#endif

}  // namespace vantrel::platform
