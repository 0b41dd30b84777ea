#include "support/scratch_registry.h"

#include <windows.h>

#include "platform/wide_text.h"
#include "registry/win32_registry.h"

namespace vantrel::testing {

ScratchRegistry::ScratchRegistry()
    : m_registry(registry::win32Registry()),
      m_key("SOFTWARE\\TORVELLANCE\\VantrelTest-" + std::to_string(::GetCurrentProcessId())) {}

ScratchRegistry::~ScratchRegistry() {
    m_registry.reset();
    const std::wstring key = platform::toWide(m_key);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
}

std::wstring ScratchRegistry::storedText(const std::string& name, std::uint32_t& type) const {
    HKEY handle = nullptr;
    wchar_t text[256] = {};
    DWORD size = sizeof text;
    DWORD stored = 0;
    ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, platform::toWide(m_key).c_str(), 0, KEY_READ, &handle);
    ::RegQueryValueExW(handle, platform::toWide(name).c_str(), nullptr, &stored,
                       reinterpret_cast<BYTE*>(text), &size);
    ::RegCloseKey(handle);
    type = stored;
    return std::wstring(text, size / sizeof(wchar_t));
}

std::int32_t ScratchRegistry::storeText(const std::string& name, std::uint32_t type,
                                        const std::wstring& text) const {
    HKEY key = nullptr;
    const LONG status = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, platform::toWide(m_key).c_str(), 0,
                                          nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) return status;
    ::RegSetValueExW(key, platform::toWide(name).c_str(), 0, type,
                     reinterpret_cast<const BYTE*>(text.c_str()),
                     DWORD((text.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return ERROR_SUCCESS;
}

}  // namespace vantrel::testing
