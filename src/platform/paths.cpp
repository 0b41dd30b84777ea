#include "platform/paths.h"

namespace vantrel::platform {

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || isPathSeparator(folder.back())) return folder + name;
    return folder + kPathSeparator + name;
}

}  // namespace vantrel::platform
