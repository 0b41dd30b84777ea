#include <cstdlib>

#include "support/scoped_env.h"

namespace vantrel::testing {

std::optional<std::string> environmentValue(const char* name) {
    if (const char* value = std::getenv(name)) return value;
    return std::nullopt;
}

void setEnvironmentValue(const char* name, const char* value) {
    if (value != nullptr) {
        ::setenv(name, value, 1);
    } else {
        ::unsetenv(name);
    }
}

}  // namespace vantrel::testing
