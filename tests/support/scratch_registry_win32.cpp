// Before <windows.h>: it turns several of the registry header's names into macros.
#include "support/scratch_registry.h"

#include <windows.h>

#include "platform/wide_text.h"

namespace vantrel::testing {

ScratchRegistry::ScratchRegistry()
    : m_registry(platform::win32Registry()),
      m_key("SOFTWARE\\TORVELLANCE\\VantrelTest-" + std::to_string(::GetCurrentProcessId())) {}

ScratchRegistry::~ScratchRegistry() {
    m_registry.reset();
    const std::wstring key = platform::toWide(m_key);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
}

}  // namespace vantrel::testing
