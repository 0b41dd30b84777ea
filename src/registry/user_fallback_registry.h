#pragma once

#include <memory>
#include <string>

#include "registry/key_table.h"
#include "registry/registry_api.h"

namespace vantrel::registry {

// The registry with one repair for keys under HKEY_LOCAL_MACHINE. A program
// run by a standard user may not write there, and a 64-bit one gets no
// registry virtualisation to redirect the writes quietly, so every save would
// be lost. So:
// - where creating or writing a key under HKEY_LOCAL_MACHINE is refused, the
//   same key under HKEY_CURRENT_USER is created and written instead;
// - reads look in HKEY_CURRENT_USER first and take a value missing there from
//   HKEY_LOCAL_MACHINE;
// - once the user has the key, writes go there too, so that what is saved is
//   what the next read finds.
// Keys under the other roots pass through unchanged.
class UserFallbackRegistry final : public RegistryApi {
  public:
    explicit UserFallbackRegistry(std::unique_ptr<RegistryApi> inner);
    ~UserFallbackRegistry() override;
    UserFallbackRegistry(const UserFallbackRegistry&) = delete;
    UserFallbackRegistry& operator=(const UserFallbackRegistry&) = delete;

    std::int32_t RegOpenKeyA(HKEY root, const std::string& subKey, HKEY& result) override;
    std::int32_t RegCreateKeyA(HKEY root, const std::string& subKey, HKEY& result) override;
    std::int32_t RegQueryValueExA(HKEY key, const std::string& valueName, std::uint32_t* type,
                                  unsigned char* data, std::uint32_t* size) override;
    std::int32_t RegSetValueExA(HKEY key, const std::string& valueName, std::uint32_t type,
                                const unsigned char* data, std::uint32_t size) override;
    std::int32_t RegCloseKey(HKEY key) override;

  private:
    // One handed-out key: the inner registry's handles to it under each root
    // (null where it is not open there).
    struct Key {
        std::string subKey;
        HKEY machine = kNullKey;  // or the key itself, under another root
        HKEY user = kNullKey;
        bool underMachine = false;  // a key under HKEY_LOCAL_MACHINE, with the fallback
        bool writesToUser = false;
    };

    std::int32_t writeToUser(Key& key);

    std::unique_ptr<RegistryApi> m_inner;
    KeyTable<Key> m_keys;
};

}  // namespace vantrel::registry
