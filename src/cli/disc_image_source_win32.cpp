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

}  // namespace vantrel::cli
