#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

#include "platform/registry.h"
#include "platform/registry_file_store.h"

namespace vantrel::platform {
namespace {

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
    if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr) {
        return user->pw_dir;
    }
    return ".";
}

}  // namespace

std::unique_ptr<RegistryApi> systemRegistry() {
    return std::make_unique<RegistryFileStore>(RegistryFileStore::defaultStorePath());
}

std::string RegistryFileStore::defaultStorePath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder = config != nullptr && config[0] == '/' ? config : homeFolder() + "/.config";
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder + (folder == "/" ? "" : "/") + "vantrel/registry.reg";
}

}  // namespace vantrel::platform
