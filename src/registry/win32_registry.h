#pragma once

// Windows only.

#include <memory>

#include "registry/registry_api.h"

namespace vantrel::registry {

// The real registry's calls as they are, without the user's fallback.
std::unique_ptr<RegistryApi> win32Registry();

}  // namespace vantrel::registry
