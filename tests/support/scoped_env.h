#pragma once

#include <optional>
#include <string>

namespace vantrel::testing {

// The process's environment, where the program reads it (on Windows its own
// block, in UTF-8 here). A null value removes the variable.
std::optional<std::string> environmentValue(const char* name);
void setEnvironmentValue(const char* name, const char* value);

// Sets an environment variable (or removes it, for a null value) until the
// end of the scope.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : m_name(name), m_old(environmentValue(name)) {
        setEnvironmentValue(name, value);
    }
    ~ScopedEnv() { setEnvironmentValue(m_name, m_old ? m_old->c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* m_name;
    std::optional<std::string> m_old;
};

}  // namespace vantrel::testing
