#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cctype>
#include <ctime>
#include <string_view>

#include "platform/clock.h"

namespace vantrel::platform {
namespace {

// Where the strftime conversion that starts at format[at] ends: "%d", but
// also "%-d", "%_5H" and "%Ey", with their flags, width and modifier.
std::size_t conversionEnd(const std::string& format, std::size_t at) {
    constexpr std::string_view kFlags = "_-0^#";
    std::size_t end = at + 1;
    while (end < format.size() && kFlags.find(format[end]) != std::string_view::npos) ++end;
    while (end < format.size() && std::isdigit(static_cast<unsigned char>(format[end]))) ++end;
    if (end < format.size() && (format[end] == 'E' || format[end] == 'O')) ++end;
    return std::min(end + 1, format.size());
}

// One punctuation character or a space. What some locales write between the
// parts of a date is a word ("年", "년 ") and no separator.
bool isSeparator(const std::string& text) {
    if (text.size() != 1) return false;
    const auto c = static_cast<unsigned char>(text[0]);
    return c == ' ' || (c < 0x80 && std::ispunct(c));
}

}  // namespace

std::string separatorOfFormat(const std::string& format, const std::string& fallback) {
    const auto firstConversion = format.find('%');
    if (firstConversion == std::string::npos) return fallback;
    const auto start = conversionEnd(format, firstConversion);
    const auto end = format.find('%', start);
    if (end == std::string::npos) return fallback;
    const std::string between = format.substr(start, end - start);
    return isSeparator(between) ? between : fallback;
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
