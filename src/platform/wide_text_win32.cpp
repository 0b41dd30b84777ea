#include <windows.h>

#include <algorithm>
#include <string_view>

#include "platform/wide_text.h"

namespace vantrel::platform {
namespace {

// Below this many characters every file call takes a plain path (folders are
// the strictest: MAX_PATH less room for an 8.3 file name).
constexpr std::size_t kShortPathLimit = MAX_PATH - 12;

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";

}  // namespace

std::wstring toWide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(std::size_t(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), length);
    return wide;
}

std::string toUtf8(const wchar_t* wide, std::size_t length) {
    if (length == 0) return {};
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, wide, int(length), nullptr, 0, nullptr, nullptr);
    std::string utf8(std::size_t(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, int(length), utf8.data(), size, nullptr, nullptr);
    return utf8;
}

std::wstring fullPath(const std::wstring& path) {
    std::wstring full(std::max<std::size_t>(path.size() + MAX_PATH, 1), L'\0');
    for (;;) {
        const DWORD length =
            ::GetFullPathNameW(path.c_str(), DWORD(full.size()), full.data(), nullptr);
        if (length == 0) return path;
        if (length < full.size()) {
            full.resize(length);
            return withoutLongPrefix(full);
        }
        full.resize(length);
    }
}

std::wstring widePath(const std::string& path) {
    std::wstring wide = toWide(path);
    if (wide.size() < kShortPathLimit || wide.rfind(kLongPrefix, 0) == 0) return wide;
    const std::wstring full = fullPath(wide);
    if (full.rfind(L"\\\\.\\", 0) == 0) return full;  // a device
    if (full.rfind(L"\\\\", 0) == 0) return std::wstring(kLongUncPrefix) + full.substr(2);
    return std::wstring(kLongPrefix) + full;
}

std::wstring withoutLongPrefix(const std::wstring& path) {
    if (path.rfind(kLongUncPrefix, 0) == 0) return L"\\\\" + path.substr(kLongUncPrefix.size());
    if (path.rfind(kLongPrefix, 0) == 0) return path.substr(kLongPrefix.size());
    return path;
}

}  // namespace vantrel::platform
