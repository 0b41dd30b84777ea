#pragma once

#include <string>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/folder_dialog.h"
#include "registry/registry_api.h"

namespace vantrel::engine {

// The services a window object works with, owned by whoever starts the
// program (or the test) and handed in by reference.
struct Services {
    platform::FileSystem& files;
    const platform::Clock& clock;
    std::string programFolder;
    // Where the window keeps its settings; none for a front end that keeps
    // none (the terminal).
    registry::RegistryApi* registry = nullptr;
    // The folder chooser behind the browse buttons; none without a screen.
    platform::FolderDialog* folderDialog = nullptr;
};

}  // namespace vantrel::engine
