#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "registry/registry_api.h"
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

    registry::RegistryApi& api() { return *m_registry; }
    // The key path the test keeps its values under.
    const std::string& key() const { return m_key; }

#ifdef _WIN32
    // A text value under HKEY_LOCAL_MACHINE as other programs read it: its
    // UTF-16 units as stored, and its type.
    std::wstring storedText(const std::string& name, std::uint32_t& type) const;
    // Stores a text value there as other programs do, with its NUL; 0 or the
    // system's error code.
    std::int32_t storeText(const std::string& name, std::uint32_t type,
                           const std::wstring& text) const;
#endif

  private:
    TempFolder m_folder;
    std::unique_ptr<registry::RegistryApi> m_registry;
    std::string m_key;
};

}  // namespace vantrel::testing
