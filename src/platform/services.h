#pragma once

#include <string>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/folder_dialog.h"
#include "platform/registry.h"

namespace vantrel::platform {

// The platform services a window object works with, owned by whoever starts
// the program (or the test) and handed in by reference.
struct Services {
    FileSystem& files;
    const Clock& clock;
    std::string programFolder;
    // Where the window keeps its settings; none for a front end that keeps
    // none (the terminal).
    RegistryApi* registry = nullptr;
    // The folder chooser behind the browse buttons; none without a screen.
    FolderDialog* folderDialog = nullptr;
};

}  // namespace vantrel::platform
