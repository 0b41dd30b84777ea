#include "cli/disc_image_source.h"
#include "platform/failure.h"

namespace vantrel::cli {

// What cannot be looked at is left to the folder checks, which say why.
bool mayBeDiscImage(platform::FileSystem& system, const std::string& path) {
    try {
        return system.kindOf(path) == platform::EntryKind::PlainFile;
    } catch (const platform::Failure&) {
        return false;
    }
}

// Windows mounts an image itself, as a drive whose VIDEO_TS folder is a source;
// Windows 7 does not, but other tools do.
std::unique_ptr<DiscImageSource> openDiscImage(platform::FileSystem&, const std::string& path) {
    throw platform::Failure(
        "'" + path +
            "' is a file, not a folder: disc images are read by vantrel-cli on Linux only; "
            "mount it (Mount in its menu in Explorer, or Mount-DiskImage in PowerShell; on "
            "Windows 7, which has neither, any tool that mounts images as drives) and give the "
            "VIDEO_TS folder of its drive",
        "disc images are read on Linux only");
}

}  // namespace vantrel::cli
