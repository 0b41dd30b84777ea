#pragma once

#include <filesystem>
#include <string>

namespace vantrel::cli {

// The program's names are UTF-8 on every system; std::filesystem takes and
// gives them so only as u8 strings (elsewhere in the system's own encoding).
inline std::filesystem::path pathOf(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string textOf(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace vantrel::cli
