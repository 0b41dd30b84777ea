#pragma once

#include <memory>
#include <string>

#include "platform/registry.h"
#include "support/temp_folder.h"

namespace vantrel::testing {

// A registry a test may write: the Linux store in a temporary folder, or on
// Windows the real registry, where a key of the test's own (under every root)
// is deleted again at the end.
class ScratchRegistry {
  public:
    ScratchRegistry();
    ~ScratchRegistry();
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;

    platform::RegistryApi& api() { return *m_registry; }
    // The key path the test keeps its values under.
    const std::string& key() const { return m_key; }

  private:
    TempFolder m_folder;
    std::unique_ptr<platform::RegistryApi> m_registry;
    std::string m_key;
};

}  // namespace vantrel::testing
