#include <memory>

#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/registry_file_store.h"

namespace vantrel::platform {

std::unique_ptr<RegistryApi> systemRegistry() {
    return std::make_unique<RegistryFileStore>(RegistryFileStore::defaultStorePath());
}

std::string RegistryFileStore::defaultStorePath() {
    return joinPath(userConfigFolder(), "registry.reg");
}

}  // namespace vantrel::platform
