#include "cli/log_echo.h"

#include <algorithm>

namespace vantrel::cli {
namespace {

// Every line of an entry ends in CR LF, and a whole entry in a blank line.
constexpr const char* kEndOfEntry = "\r\n\r\n";

// The header, a space, then the entry's other lines joined by "; ".
std::string oneLine(const std::string& entry) {
    std::string joined;
    int lines = 0;
    for (std::size_t start = 0; start < entry.size();) {
        const std::size_t end = std::min(entry.find_first_of("\r\n", start), entry.size());
        if (end > start) {
            joined += lines == 0 ? "" : lines == 1 ? " " : "; ";
            joined.append(entry, start, end - start);
            ++lines;
        }
        start = end + 1;
    }
    return joined;
}

}  // namespace

std::optional<std::string> LogEcho::add(const std::string& text) {
    m_pending += text;
    const std::string ending = kEndOfEntry;
    if (m_pending.size() < ending.size() ||
        m_pending.compare(m_pending.size() - ending.size(), ending.size(), ending) != 0)
        return std::nullopt;
    return flush();
}

std::optional<std::string> LogEcho::flush() {
    std::string line = oneLine(m_pending);
    m_pending.clear();
    if (line.empty()) return std::nullopt;
    return line;
}

}  // namespace vantrel::cli
