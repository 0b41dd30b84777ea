#include "registry/system_registry.h"

#include "registry/registry_file_store.h"

namespace vantrel::registry {

std::unique_ptr<RegistryApi> systemRegistry() {
    return std::make_unique<RegistryFileStore>(RegistryFileStore::defaultStorePath());
}

}  // namespace vantrel::registry
