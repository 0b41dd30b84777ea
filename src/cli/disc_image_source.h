#pragma once

#include <memory>
#include <string>

#include "platform/file_system.h"

namespace vantrel::cli {

// A disc image file or a drive as a job's source (Linux): the image, read
// without mounting it, and the file system that leads into it.
class DiscImageSource {
  public:
    virtual ~DiscImageSource() = default;
    // The system's files, and the image's behind paths that begin with it.
    virtual platform::FileSystem& files() = 0;
    // The image's VIDEO_TS folder as a source folder text: "film.iso:VIDEO_TS/".
    virtual std::string videoTsFolder() const = 0;
};

// True when `path` names what can only be meant as a disc image: a plain
// file or, on Linux, a block device (a drive).
bool mayBeDiscImage(platform::FileSystem& system, const std::string& path);

// Opens the image or drive at `path`. Throws Failure with one line when it
// cannot be read as a DVD-Video disc (the system's reason where it has one);
// on Windows, always, with how to mount an image instead.
std::unique_ptr<DiscImageSource> openDiscImage(platform::FileSystem& system,
                                               const std::string& path);

}  // namespace vantrel::cli
