#include <windows.h>

#include <vector>

#include "platform/wide_text.h"
#include "support/scoped_env.h"

namespace vantrel::testing {

std::optional<std::string> environmentValue(const char* name) {
    std::vector<wchar_t> value(32768);
    const DWORD length = ::GetEnvironmentVariableW(platform::toWide(name).c_str(), value.data(),
                                                   DWORD(value.size()));
    if (length == 0 && ::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return platform::toUtf8(value.data(), length);
}

void setEnvironmentValue(const char* name, const char* value) {
    ::SetEnvironmentVariableW(platform::toWide(name).c_str(),
                              value != nullptr ? platform::toWide(value).c_str() : nullptr);
}

}  // namespace vantrel::testing
