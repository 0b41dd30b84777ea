#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/paths.h"

namespace vantrel::testing {

using Bytes = std::vector<unsigned char>;

// The platform's separator as text, for paths a test spells out.
inline const std::string kSep(1, platform::kPathSeparator);

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Without a trailing separator.
    const std::string& path() const { return m_path; }
    // `path()`, the separator, `relative`.
    std::string operator/(const std::string& relative) const { return m_path + kSep + relative; }

  private:
    std::string m_path;
};

// A UTF-8 path as the standard library takes it (wide on Windows).
std::filesystem::path nativePath(const std::string& path);

void writeFile(const std::string& path, const Bytes& content);
void writeFile(const std::string& path, const std::string& content);
Bytes readFile(const std::string& path);
std::string readText(const std::string& path);
bool exists(const std::string& path);
// The names in a folder, sorted.
std::vector<std::string> namesIn(const std::string& folder);
// Empty when the folders hold the same names with the same contents; the
// first difference otherwise.
std::string folderDifference(const std::string& a, const std::string& b);
void makeFolder(const std::string& path);
#ifdef _WIN32
// Gives an entry the hidden attribute, and the system one when asked.
void hide(const std::string& path, bool system = false);
#endif
// Bytes that depend only on `seed` and their index.
Bytes patternBytes(std::size_t count, std::uint32_t seed);

}  // namespace vantrel::testing
