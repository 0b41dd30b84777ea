#pragma once

#include <cstddef>
#include <string>

namespace vantrel::platform {

// True when `text` holds nothing but spaces (or nothing at all).
bool isBlank(const std::string& text);

// `c` lower-cased when it is an ASCII letter; other bytes unchanged, so UTF-8
// passes through.
inline char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// True when `a` and `b` differ at most in the letter case of ASCII letters.
inline bool sameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    }
    return true;
}

// The number of characters (not bytes) of a UTF-8 text.
int characterCount(const std::string& text);

}  // namespace vantrel::platform
