// The registry calls handed to advapi32. Our handles are 32-bit numbers, the
// system's are pointers: open keys are kept in a table under numbers of our
// own, and the predefined roots map onto the system's.

// Before <windows.h>: it turns several of this header's names into macros.
#include "platform/registry.h"

#include <map>
#include <memory>

#include <windows.h>

namespace vantrel::platform {
namespace {

class Win32Registry final : public RegistryApi {
  public:
    Win32Registry() = default;
    Win32Registry(const Win32Registry&) = delete;
    Win32Registry& operator=(const Win32Registry&) = delete;
    ~Win32Registry() override {
        for (const auto& entry : m_keys) ::RegCloseKey(entry.second);
    }

    std::int32_t RegOpenKeyA(HKEY root, const std::string& subKey, HKEY& result) override {
        ::HKEY parent = native(root);
        if (parent == nullptr) return 6;
        ::HKEY opened = nullptr;
        const LONG status = ::RegOpenKeyExA(parent, subKey.c_str(), 0, MAXIMUM_ALLOWED, &opened);
        if (status == 0) result = adopt(opened);
        return status;
    }

    std::int32_t RegCreateKeyA(HKEY root, const std::string& subKey, HKEY& result) override {
        ::HKEY parent = native(root);
        if (parent == nullptr) return 6;
        ::HKEY created = nullptr;
        const LONG status = ::RegCreateKeyExA(parent, subKey.c_str(), 0, nullptr, 0,
                                              MAXIMUM_ALLOWED, nullptr, &created, nullptr);
        if (status == 0) result = adopt(created);
        return status;
    }

    std::int32_t RegQueryValueExA(HKEY key, const std::string& valueName, std::uint32_t* type,
                                  unsigned char* data, std::uint32_t* size) override {
        ::HKEY handle = native(key);
        if (handle == nullptr) return 6;
        DWORD valueType = 0;
        DWORD valueSize = size != nullptr ? *size : 0;
        const LONG status = ::RegQueryValueExA(handle, valueName.c_str(), nullptr, &valueType, data,
                                               size != nullptr ? &valueSize : nullptr);
        if (type != nullptr) *type = valueType;
        if (size != nullptr) *size = valueSize;
        return status;
    }

    std::int32_t RegSetValueExA(HKEY key, const std::string& valueName, std::uint32_t type,
                                const unsigned char* data, std::uint32_t size) override {
        ::HKEY handle = native(key);
        if (handle == nullptr) return 6;
        return ::RegSetValueExA(handle, valueName.c_str(), 0, type, data, size);
    }

    std::int32_t RegCloseKey(HKEY key) override {
        if (isRoot(key)) return 0;
        const auto entry = m_keys.find(key);
        if (entry == m_keys.end()) return 6;
        const LONG status = ::RegCloseKey(entry->second);
        m_keys.erase(entry);
        return status;
    }

  private:
    static bool isRoot(HKEY key) { return key >= 0x80000000u && key <= 0x80000005u; }

    ::HKEY native(HKEY key) const {
        if (isRoot(key)) {
            return reinterpret_cast<::HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(key)));
        }
        const auto entry = m_keys.find(key);
        return entry == m_keys.end() ? nullptr : entry->second;
    }

    HKEY adopt(::HKEY handle) {
        do {
            ++m_lastKey;
        } while (m_lastKey == 0 || isRoot(m_lastKey) || m_keys.count(m_lastKey) > 0);
        m_keys.emplace(m_lastKey, handle);
        return m_lastKey;
    }

    std::map<HKEY, ::HKEY> m_keys;
    HKEY m_lastKey = 0;
};

}  // namespace

std::unique_ptr<RegistryApi> systemRegistry() { return std::make_unique<Win32Registry>(); }

}  // namespace vantrel::platform
