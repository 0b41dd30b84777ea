#include <sys/stat.h>

#include "cli/disc_image_source.h"

namespace vantrel::cli {

// Anything else that is no folder (a pipe, a terminal) could block a read.
bool mayBeDiscImage(platform::FileSystem&, const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && (S_ISREG(info.st_mode) || S_ISBLK(info.st_mode));
}

}  // namespace vantrel::cli
