#include "platform/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace vantrel::platform {

std::string systemRoot() { return std::string(1, kPathSeparator); }

std::string programFolder() {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return systemRoot();
        if (std::size_t(length) < buffer.size()) {
            const std::string program(buffer.data(), std::size_t(length));
            const auto slash = program.rfind(kPathSeparator);
            if (slash == std::string::npos || slash == 0) return systemRoot();
            return program.substr(0, slash);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
    if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr)
        return user->pw_dir;
    return ".";
}

std::string userStateFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    const std::string base =
        state != nullptr && state[0] == '/' ? state : joinPath(homeFolder(), ".local/state");
    return joinPath(base, "vantrel");
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == kPathSeparator) return folder + name;
    return folder + kPathSeparator + name;
}

}  // namespace vantrel::platform
