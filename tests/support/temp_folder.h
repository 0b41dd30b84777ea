#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel::testing {

using Bytes = std::vector<unsigned char>;

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
    // `path()/relative`.
    std::string operator/(const std::string& relative) const { return m_path + "/" + relative; }

  private:
    std::string m_path;
};

void writeFile(const std::string& path, const Bytes& content);
void writeFile(const std::string& path, const std::string& content);
Bytes readFile(const std::string& path);
std::string readText(const std::string& path);
bool exists(const std::string& path);
void makeFolder(const std::string& path);
// Bytes that depend only on `seed` and their index.
Bytes patternBytes(std::size_t count, std::uint32_t seed);

}  // namespace vantrel::testing
