#pragma once

#include <string>

#include "platform/clock.h"
#include "platform/file_system.h"

namespace vantrel::platform {

// The platform services a window object works with, owned by whoever starts
// the program (or the test) and handed in by reference.
struct Services {
    FileSystem& files;
    const Clock& clock;
    std::string programFolder;
};

}  // namespace vantrel::platform
