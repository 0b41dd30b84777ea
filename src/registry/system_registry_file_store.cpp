#include "registry/system_registry.h"

#include "registry/registry_file_store.h"

namespace vantrel::registry {

// Where there is no system registry (Linux), the user's registry file stands for it.
std::unique_ptr<RegistryApi> systemRegistry() {
    return std::make_unique<RegistryFileStore>(RegistryFileStore::defaultStorePath());
}

}  // namespace vantrel::registry
