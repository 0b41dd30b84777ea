#include "platform/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <initializer_list>
#include <vector>

namespace vantrel::platform {

std::string systemRoot() { return std::string(1, kPathSeparator); }

bool isDriveRoot(const std::string&) { return false; }

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

bool isSystemProgramFolder(const std::string& folder) {
    for (const std::string top : {"/usr", "/opt", "/bin", "/sbin"}) {
        if (folder == top || folder.rfind(top + kPathSeparator, 0) == 0) return true;
    }
    return false;
}

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
    if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr)
        return user->pw_dir;
    return ".";
}

namespace {

// $`variable`/vantrel when it holds an absolute path, else ~/`fallback`/vantrel.
std::string xdgFolder(const char* variable, const char* fallback) {
    const char* base = std::getenv(variable);
    return joinPath(base != nullptr && base[0] == '/' ? base : joinPath(homeFolder(), fallback),
                    "vantrel");
}

}  // namespace

std::string userConfigFolder() { return xdgFolder("XDG_CONFIG_HOME", ".config"); }

std::string userStateFolder() { return xdgFolder("XDG_STATE_HOME", ".local/state"); }

}  // namespace vantrel::platform
