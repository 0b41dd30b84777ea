#pragma once

#include <string>

namespace vantrel::platform {

struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// What the user's locale puts between the parts of a date and of a time.
struct DateTimeSeparators {
    std::string date = "/";
    std::string time = ":";
};

class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalTime now() const = 0;
    virtual const DateTimeSeparators& separators() const = 0;
};

// The local time of the machine and the separators of the user's locale
// (LC_TIME, LC_ALL, LANG; on Windows the regional settings), read once.
class SystemClock final : public Clock {
  public:
    SystemClock();
    LocalTime now() const override;
    const DateTimeSeparators& separators() const override { return m_separators; }

  private:
    DateTimeSeparators m_separators;
};

// The text between the first two conversions of a strftime format ("/" in
// "%d/%m/%Y") when it is one punctuation character or a space; otherwise
// `fallback`.
std::string separatorOfFormat(const std::string& format, const std::string& fallback);

}  // namespace vantrel::platform
