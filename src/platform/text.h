#pragma once

#include <string>

namespace vantrel::platform {

// True when `text` holds nothing but spaces (or nothing at all).
bool isBlank(const std::string& text);

// `c` lower-cased when it is an ASCII letter; other bytes unchanged, so UTF-8
// passes through.
inline char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// The number of characters (not bytes) of a UTF-8 text.
int characterCount(const std::string& text);

}  // namespace vantrel::platform
