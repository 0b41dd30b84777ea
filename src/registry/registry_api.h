#pragma once

#include <cstdint>
#include <string>

namespace vantrel::registry {

// The registry calls the settings use, with Windows' names, handles, value
// types and error codes (registry_constants.h names them). On Windows they are
// the real advapi32 calls; elsewhere a file store keeps the same keys and values.

using HKEY = std::uint32_t;  // 0 is the null handle: every call on it fails
inline constexpr HKEY kNullKey = 0;

class RegistryApi {
  public:
    virtual ~RegistryApi() = default;

    // Opens an existing key below `root`; `result` is left untouched on failure.
    virtual std::int32_t RegOpenKeyA(HKEY root, const std::string& subKey, HKEY& result) = 0;
    // Opens the key, creating it and any missing keys above it.
    virtual std::int32_t RegCreateKeyA(HKEY root, const std::string& subKey, HKEY& result) = 0;
    // With `data` null: reports the value's type and size in bytes. With a
    // buffer: fills at most *size bytes (ERROR_MORE_DATA when it is too small)
    // and sets *size to the bytes the value holds. `type` may be null.
    virtual std::int32_t RegQueryValueExA(HKEY key, const std::string& valueName,
                                          std::uint32_t* type, unsigned char* data,
                                          std::uint32_t* size) = 0;
    virtual std::int32_t RegSetValueExA(HKEY key, const std::string& valueName, std::uint32_t type,
                                        const unsigned char* data, std::uint32_t size) = 0;
    virtual std::int32_t RegCloseKey(HKEY key) = 0;

    // Between these two, the calls may be served from one reading of the
    // store and their changes stored together at the end, each read still
    // seeing the changes made before it. A change's status then says that the
    // store took it (as Windows' own calls do before the registry is flushed);
    // endBatch stores them and gives the outcome: 0, or the error code that
    // kept them all from the store. Only the outermost of nested batches
    // stores. A store that reads nothing slowly ignores them; see RegistryBatch.
    virtual void beginBatch() {}
    virtual std::int32_t endBatch() noexcept { return 0; }
};

// A batch of registry calls until end(), or for as long as it lives.
class RegistryBatch {
  public:
    explicit RegistryBatch(RegistryApi& registry) : m_registry(registry) { registry.beginBatch(); }
    // A batch not ended before is ended here, and nobody hears how its changes fared.
    ~RegistryBatch() { end(); }
    RegistryBatch(const RegistryBatch&) = delete;
    RegistryBatch& operator=(const RegistryBatch&) = delete;

    // Ends the batch: 0 when its changes were stored, or the error code that
    // kept them from the store.
    std::int32_t end() noexcept {
        if (m_ended) return 0;
        m_ended = true;
        return m_registry.endBatch();
    }

  private:
    RegistryApi& m_registry;
    bool m_ended = false;
};

}  // namespace vantrel::registry
