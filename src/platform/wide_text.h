#pragma once

// Windows only: text is UTF-8 inside the program and UTF-16 at the Windows API.

#include <cstddef>
#include <string>

namespace vantrel::platform {

std::wstring toWide(const std::string& utf8);
std::string toUtf8(const wchar_t* wide, std::size_t length);
inline std::string toUtf8(const std::wstring& wide) { return toUtf8(wide.data(), wide.size()); }

// `path` as Windows resolves it: absolute, "/" turned into "\", "." and ".."
// segments and repeated separators removed; without a \\?\ prefix.
std::wstring fullPath(const std::wstring& path);

// `path` for the wide file calls: as typed while it is short, so that it means
// what it means everywhere else on Windows; a longer one made absolute and
// given the \\?\ prefix, which lifts the MAX_PATH limit.
std::wstring widePath(const std::string& path);

// `path` without its long-path prefix (\\?\ or \\?\UNC\), for showing.
std::wstring withoutLongPrefix(const std::wstring& path);

}  // namespace vantrel::platform
