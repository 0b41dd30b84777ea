#include <windows.h>

#include "platform/clock.h"
#include "platform/wide_text.h"

namespace vantrel::platform {
namespace {

// One of the user's locale settings, or `fallback` when it cannot be had.
std::string userLocaleText(LCTYPE setting, const char* fallback) {
    wchar_t text[16] = {};
    const int length = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, setting, text, 16);
    if (length <= 1) return fallback;
    return toUtf8(text, std::size_t(length - 1));
}

}  // namespace

// The date and time separators of the user's regional settings, read once.
SystemClock::SystemClock() {
    m_separators.date = userLocaleText(LOCALE_SDATE, "/");
    m_separators.time = userLocaleText(LOCALE_STIME, ":");
}

LocalTime SystemClock::now() const {
    SYSTEMTIME time{};
    ::GetLocalTime(&time);
    return {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}

}  // namespace vantrel::platform
