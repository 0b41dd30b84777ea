#pragma once

#include <cstdint>
#include <string>

#include "platform/folder_dialog.h"

namespace vantrel::testing {

// A folder chooser that counts how often it was opened; each time the user
// cancels it.
struct CountingChooser final : platform::FolderDialog {
    int opened = 0;
    std::string PickFolder(const std::string&, std::uint32_t) override {
        ++opened;
        return "";
    }
};

}  // namespace vantrel::testing
