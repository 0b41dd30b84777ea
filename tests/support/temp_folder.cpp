#include "support/temp_folder.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <stdexcept>

namespace vantrel::testing {
namespace {

std::string utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

std::filesystem::path nativePath(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

TempFolder::TempFolder() {
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    std::random_device random;
    for (;;) {
        const auto folder = base / ("vantrel-test-" + std::to_string(random() % 1000000000u));
        if (std::filesystem::create_directory(folder)) {
            m_path = utf8Of(folder);
            return;
        }
    }
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(nativePath(m_path), ignored);
}

void writeFile(const std::string& path, const Bytes& content) {
    std::ofstream out(nativePath(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(content.data()), std::streamsize(content.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

void writeFile(const std::string& path, const std::string& content) {
    writeFile(path, Bytes(content.begin(), content.end()));
}

Bytes readFile(const std::string& path) {
    std::ifstream in(nativePath(path), std::ios::binary | std::ios::ate);
    if (!in) throw std::runtime_error("cannot read " + path);
    Bytes bytes(static_cast<std::size_t>(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!in) throw std::runtime_error("cannot read " + path);
    return bytes;
}

std::string readText(const std::string& path) {
    const Bytes bytes = readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

bool exists(const std::string& path) { return std::filesystem::exists(nativePath(path)); }

void makeFolder(const std::string& path) { std::filesystem::create_directories(nativePath(path)); }

Bytes patternBytes(std::size_t count, std::uint32_t seed) {
    Bytes bytes(count);
    std::uint32_t state = seed * 2654435761u + 1;
    for (auto& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<unsigned char>(state);
    }
    return bytes;
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(nativePath(folder)))
        names.push_back(utf8Of(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

std::string folderDifference(const std::string& a, const std::string& b) {
    const std::vector<std::string> names = namesIn(a);
    if (names != namesIn(b)) return "'" + a + "' and '" + b + "' hold other names";
    for (const std::string& name : names) {
        if (readFile(a + kSep + name) != readFile(b + kSep + name)) return name + " differs";
    }
    return "";
}

}  // namespace vantrel::testing
