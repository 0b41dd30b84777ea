#include <langinfo.h>
#include <locale.h>

#include <ctime>

#include "platform/clock.h"

namespace vantrel::platform {

std::string separatorOfFormat(const std::string& format, const std::string& fallback) {
    const auto firstConversion = format.find('%');
    if (firstConversion == std::string::npos || firstConversion + 2 > format.size())
        return fallback;
    const auto start = firstConversion + 2;
    const auto end = format.find('%', start);
    if (end == std::string::npos || end == start) return fallback;
    return format.substr(start, end - start);
}

SystemClock::SystemClock() {
    const locale_t userLocale = ::newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
    if (userLocale == static_cast<locale_t>(nullptr)) return;
    m_separators.date = separatorOfFormat(::nl_langinfo_l(D_FMT, userLocale), "/");
    m_separators.time = separatorOfFormat(::nl_langinfo_l(T_FMT, userLocale), ":");
    ::freelocale(userLocale);
}

LocalTime SystemClock::now() const {
    const std::time_t seconds = std::time(nullptr);
    std::tm parts{};
    ::localtime_r(&seconds, &parts);
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
            parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

}  // namespace vantrel::platform
