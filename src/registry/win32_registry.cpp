// The registry calls handed to advapi32's wide-character functions. Our
// handles are 32-bit numbers, the system's are pointers: open keys are kept in
// a table under numbers of our own, and the predefined roots map onto the
// system's. Text values travel as UTF-8 here and are stored as UTF-16, as
// every Windows program stores them, so regedit and the 8-bit calls of other
// programs read them correctly. The roots, types and error codes are
// <windows.h>'s own, of the same values as registry_constants.h gives them.

#include "registry/win32_registry.h"

#include <windows.h>

#include <vector>

#include "platform/wide_text.h"
#include "registry/key_table.h"

namespace vantrel::registry {
namespace {

using Key = registry::HKEY;
using platform::toUtf8;
using platform::toWide;

bool isText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// The whole value, as stored; its type in `type`.
LONG readValue(::HKEY handle, const std::wstring& name, DWORD& type, std::vector<BYTE>& bytes) {
    DWORD size = 0;
    LONG status = ::RegQueryValueExW(handle, name.c_str(), nullptr, &type, nullptr, &size);
    for (int attempt = 0; status == ERROR_SUCCESS && attempt < 4; ++attempt) {
        bytes.resize(size);
        status = ::RegQueryValueExW(handle, name.c_str(), nullptr, &type, bytes.data(), &size);
        if (status == ERROR_SUCCESS) {
            bytes.resize(size);
            return status;
        }
        if (status == ERROR_MORE_DATA) status = ERROR_SUCCESS;  // it grew: size it again
    }
    return status;
}

// A stored text's UTF-16 units as UTF-8 bytes, NULs included.
std::vector<BYTE> textAsUtf8(const std::vector<BYTE>& stored) {
    std::wstring units(stored.size() / 2, L'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = wchar_t(stored[2 * i] | (stored[2 * i + 1] << 8));
    const std::string utf8 = toUtf8(units);
    return std::vector<BYTE>(utf8.begin(), utf8.end());
}

class Win32Registry final : public RegistryApi {
  public:
    Win32Registry() = default;
    Win32Registry(const Win32Registry&) = delete;
    Win32Registry& operator=(const Win32Registry&) = delete;
    ~Win32Registry() override {
        for (const auto& entry : m_keys) ::RegCloseKey(entry.second);
    }

    std::int32_t RegOpenKeyA(Key root, const std::string& subKey, Key& result) override {
        ::HKEY parent = native(root);
        if (parent == nullptr) return ERROR_INVALID_HANDLE;
        ::HKEY opened = nullptr;
        const LONG status =
            ::RegOpenKeyExW(parent, toWide(subKey).c_str(), 0, MAXIMUM_ALLOWED, &opened);
        if (status == ERROR_SUCCESS) result = adopt(opened);
        return status;
    }

    std::int32_t RegCreateKeyA(Key root, const std::string& subKey, Key& result) override {
        ::HKEY parent = native(root);
        if (parent == nullptr) return ERROR_INVALID_HANDLE;
        ::HKEY created = nullptr;
        const LONG status = ::RegCreateKeyExW(parent, toWide(subKey).c_str(), 0, nullptr, 0,
                                              MAXIMUM_ALLOWED, nullptr, &created, nullptr);
        if (status == ERROR_SUCCESS) result = adopt(created);
        return status;
    }

    std::int32_t RegQueryValueExA(Key key, const std::string& valueName, std::uint32_t* type,
                                  unsigned char* data, std::uint32_t* size) override {
        ::HKEY handle = native(key);
        if (handle == nullptr) return ERROR_INVALID_HANDLE;
        DWORD valueType = REG_NONE;
        std::vector<BYTE> bytes;
        const LONG status = readValue(handle, toWide(valueName), valueType, bytes);
        if (status != ERROR_SUCCESS) return status;
        if (isText(valueType)) bytes = textAsUtf8(bytes);
        if (type != nullptr) *type = valueType;
        if (size == nullptr) return data == nullptr ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
        const std::uint32_t room = *size;
        *size = std::uint32_t(bytes.size());
        if (data == nullptr) return ERROR_SUCCESS;
        if (room < bytes.size()) return ERROR_MORE_DATA;
        std::copy(bytes.begin(), bytes.end(), data);
        return ERROR_SUCCESS;
    }

    std::int32_t RegSetValueExA(Key key, const std::string& valueName, std::uint32_t type,
                                const unsigned char* data, std::uint32_t size) override {
        ::HKEY handle = native(key);
        if (handle == nullptr) return ERROR_INVALID_HANDLE;
        const std::wstring name = toWide(valueName);
        if (!isText(type)) return ::RegSetValueExW(handle, name.c_str(), 0, type, data, size);
        const std::wstring text = toWide(std::string(reinterpret_cast<const char*>(data), size));
        return ::RegSetValueExW(handle, name.c_str(), 0, type,
                                reinterpret_cast<const BYTE*>(text.data()),
                                DWORD(text.size() * sizeof(wchar_t)));
    }

    std::int32_t RegCloseKey(Key key) override {
        if (isRootKey(key)) return ERROR_SUCCESS;
        const std::optional<::HKEY> handle = m_keys.take(key);
        if (!handle) return ERROR_INVALID_HANDLE;
        return ::RegCloseKey(*handle);
    }

  private:
    ::HKEY native(Key key) const {
        if (isRootKey(key)) {
            return reinterpret_cast<::HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(key)));
        }
        const ::HKEY* handle = m_keys.find(key);
        return handle == nullptr ? nullptr : *handle;
    }

    Key adopt(::HKEY handle) { return m_keys.add(handle); }

    KeyTable<::HKEY> m_keys;
};

}  // namespace

std::unique_ptr<RegistryApi> win32Registry() { return std::make_unique<Win32Registry>(); }

}  // namespace vantrel::registry
