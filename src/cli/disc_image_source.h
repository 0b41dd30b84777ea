#pragma once

#include <string>

#include "platform/file_system.h"

namespace vantrel::cli {

// True when `path` names what can only be meant as a disc image: a plain
// file or, on Linux, a block device (a drive). The system's file system
// reads it (engine::ResolvedSource), or on Windows says how to mount it.
bool mayBeDiscImage(platform::FileSystem& system, const std::string& path);

}  // namespace vantrel::cli
