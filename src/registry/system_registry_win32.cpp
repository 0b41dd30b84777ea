#include "registry/system_registry.h"

#include "registry/user_fallback_registry.h"
#include "registry/win32_registry.h"

namespace vantrel::registry {

// HKEY_LOCAL_MACHINE as the settings name it, and the user's own copy where
// a standard user may not write there.
std::unique_ptr<RegistryApi> systemRegistry() {
    return std::make_unique<UserFallbackRegistry>(win32Registry());
}

}  // namespace vantrel::registry
