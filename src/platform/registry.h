#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace vantrel::platform {

// The registry calls the settings use, with Windows' names, handles, value
// types and error codes. On Windows they are the real advapi32 calls; elsewhere
// a file store keeps the same keys and values.

using HKEY = std::uint32_t;  // 0 is the null handle: every call on it fails
inline constexpr HKEY kNullKey = 0;

// Predefined roots.
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;
inline constexpr HKEY HKEY_PERFORMANCE_DATA = 0x80000004u;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;

constexpr bool isRootKey(HKEY key) {
    return key >= HKEY_CLASSES_ROOT && key <= HKEY_CURRENT_CONFIG;
}

// The number to hand out for a key just opened, after `last`: never null, never
// a root, never one still held in `open` (a map from handed-out numbers).
template <typename OpenKeys>
HKEY nextKeyNumber(HKEY last, const OpenKeys& open) {
    do {
        ++last;
    } while (last == kNullKey || isRootKey(last) || open.count(last) > 0);
    return last;
}

// Value types.
inline constexpr std::uint32_t REG_NONE = 0;
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_EXPAND_SZ = 2;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;
inline constexpr std::uint32_t REG_DWORD_BIG_ENDIAN = 5;
inline constexpr std::uint32_t REG_LINK = 6;
inline constexpr std::uint32_t REG_MULTI_SZ = 7;
inline constexpr std::uint32_t REG_QWORD = 11;

// Error codes.
inline constexpr std::int32_t ERROR_SUCCESS = 0;
inline constexpr std::int32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr std::int32_t ERROR_ACCESS_DENIED = 5;
inline constexpr std::int32_t ERROR_INVALID_HANDLE = 6;
inline constexpr std::int32_t ERROR_OUTOFMEMORY = 14;
inline constexpr std::int32_t ERROR_INVALID_PARAMETER = 87;
inline constexpr std::int32_t ERROR_DISK_FULL = 112;
inline constexpr std::int32_t ERROR_MORE_DATA = 234;

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
    // seeing the changes made before it. A store that reads nothing slowly
    // ignores them; see RegistryBatch.
    virtual void beginBatch() {}
    virtual void endBatch() noexcept {}
};

// A batch of registry calls for as long as it lives.
class RegistryBatch {
  public:
    explicit RegistryBatch(RegistryApi& registry) : m_registry(registry) { registry.beginBatch(); }
    ~RegistryBatch() { m_registry.endBatch(); }
    RegistryBatch(const RegistryBatch&) = delete;
    RegistryBatch& operator=(const RegistryBatch&) = delete;

  private:
    RegistryApi& m_registry;
};

// The registry of the machine the program runs on: the real one on Windows
// (with the user's own key where HKEY_LOCAL_MACHINE cannot be written, see
// UserFallbackRegistry), elsewhere the user's registry file (RegistryFileStore).
std::unique_ptr<RegistryApi> systemRegistry();

#ifdef _WIN32
// The real registry's calls as they are, without the user's fallback.
std::unique_ptr<RegistryApi> win32Registry();
#endif

}  // namespace vantrel::platform
