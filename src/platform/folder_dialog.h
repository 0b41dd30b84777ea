#pragma once

#include <cstdint>
#include <string>

namespace vantrel::platform {

// Flags of the folder browser, as the window passes them.
inline constexpr std::uint32_t BIF_RETURNONLYFSDIRS = 0x0001;  // only file-system folders
inline constexpr std::uint32_t BIF_DONTGOBELOWDOMAIN =
    0x0002;                                                  // no network folders below the domain
inline constexpr std::uint32_t BIF_NEWDIALOGSTYLE = 0x0040;  // resizable, offers a new folder

// A modal chooser of one folder, opened with a start folder selected.
class FolderDialog {
  public:
    virtual ~FolderDialog() = default;
    // The chosen folder's path (a root with its separator, any other folder
    // without a trailing one), or "" when the user cancelled.
    virtual std::string PickFolder(const std::string& start, std::uint32_t flags) = 0;
};

}  // namespace vantrel::platform
