#pragma once

#include <memory>

#include "registry/registry_api.h"

namespace vantrel::registry {

// The registry of the machine the program runs on: the real one on Windows
// (with the user's own key where HKEY_LOCAL_MACHINE cannot be written, see
// UserFallbackRegistry), elsewhere the user's registry file (RegistryFileStore).
std::unique_ptr<RegistryApi> systemRegistry();

}  // namespace vantrel::registry
