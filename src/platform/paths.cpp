#include "platform/paths.h"

namespace vantrel::platform {

namespace {

// Windows keeps the window's first defaults wherever the program is installed.
bool offersHomeFolder(const std::string& programFolder) {
#ifdef _WIN32
    (void)programFolder;
    return false;
#else
    return isSystemProgramFolder(programFolder);
#endif
}

}  // namespace

std::string defaultSourceFolder(const std::string& programFolder) {
    return offersHomeFolder(programFolder) ? homeFolder() : programFolder;
}

std::string defaultDestinationFolder(const std::string& programFolder) {
    return offersHomeFolder(programFolder) ? homeFolder() : systemRoot();
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || isPathSeparator(folder.back())) return folder + name;
    return folder + kPathSeparator + name;
}

}  // namespace vantrel::platform
