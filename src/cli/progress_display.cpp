#include "cli/progress_display.h"

#include <algorithm>
#include <cmath>

#include "cli/console.h"

namespace vantrel::cli {
namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
// The time left is guessed only from this much of the job: its start says little.
constexpr double kSecondsBeforeEstimate = 2.0;

// Cuts `line` to `width` characters, counting each UTF-8 sequence as one.
std::string fitted(const std::string& line, std::size_t width) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if ((static_cast<unsigned char>(line[i]) & 0xC0) == 0x80) continue;
        if (++characters > width) return line.substr(0, i);
    }
    return line;
}

}  // namespace

ProgressDisplay::Mode displayMode(bool quiet) {
    if (quiet) return ProgressDisplay::Mode::Quiet;
    return isTerminal(stderr) ? ProgressDisplay::Mode::Terminal : ProgressDisplay::Mode::Plain;
}

std::string printable(const std::string& text) {
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool c1 = byte == 0xC2 && i + 1 < text.size() &&
                        static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (c1) ++i;  // U+0080 to U+009F in UTF-8, two bytes
        shown += byte < 0x20 || byte == 0x7F || c1 ? '?' : text[i];
    }
    return shown;
}

std::string counted(long long count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string humanBytes(double bytes) {
    const char* units[] = {"B", "kB", "MB", "GB", "TB"};
    int unit = 0;
    while (bytes >= 1000 && unit < 4) {
        bytes /= 1000;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : "%.2f %s", bytes, units[unit]);
    return text;
}

std::string clockTime(double seconds) {
    const long total = std::lround(std::max(0.0, seconds));
    char text[32];
    if (total >= 3600) {
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60,
                      total % 60);
    } else {
        std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    }
    return text;
}

void ProgressDisplay::jobStarted(int fileTotal, std::int64_t vobBytesTotal) {
    m_fileTotal = fileTotal;
    m_vobBytesTotal = vobBytesTotal;
    m_started = std::chrono::steady_clock::now();
}

void ProgressDisplay::fileStarted(int fileNumber, const std::string& name) {
    m_fileNumber = fileNumber;
    m_name = printable(name);
    if (m_mode == Mode::Plain) {
        std::fprintf(m_out, "[%d/%d] %s\n", fileNumber, m_fileTotal, m_name.c_str());
        std::fflush(m_out);
    }
    m_lastDraw = {};
}

void ProgressDisplay::progress(double fileShare, std::int64_t vobBytesDone) {
    if (m_mode != Mode::Terminal) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastDraw < kRedrawInterval) return;
    m_lastDraw = now;
    char file[64];
    std::snprintf(file, sizeof file, "[%d/%d] ", m_fileNumber, m_fileTotal);
    char share[16];
    std::snprintf(share, sizeof share, "  %3.0f%%", fileShare * 100);
    const std::string line =
        m_prefix + file + m_name + share + "  |  " + overallPosition(vobBytesDone, now);
    std::fprintf(m_out, "\r\033[K%s", fitted(line, terminalWidth(m_out)).c_str());
    std::fflush(m_out);
    m_lineShown = true;
}

// "1.23 GB of 4.10 GB (30%), 150.00 MB/s, 0:19 left": the VOBs are the job's bulk.
std::string ProgressDisplay::overallPosition(std::int64_t vobBytesDone,
                                             std::chrono::steady_clock::time_point now) const {
    const double seconds = std::chrono::duration<double>(now - m_started).count();
    const double rate = seconds > 0 ? double(vobBytesDone) / seconds : 0;
    const double share = m_vobBytesTotal > 0 ? double(vobBytesDone) / double(m_vobBytesTotal) : 0;
    char percent[16];
    std::snprintf(percent, sizeof percent, " (%.0f%%)", share * 100);
    std::string position = humanBytes(double(vobBytesDone)) + " of " +
                           humanBytes(double(m_vobBytesTotal)) + percent + ", " + humanBytes(rate) +
                           "/s, ";
    if (seconds < kSecondsBeforeEstimate || rate <= 0) return position + "--:-- left";
    return position + clockTime(double(m_vobBytesTotal - vobBytesDone) / rate) + " left";
}

void ProgressDisplay::message(const std::string& text) {
    clearLine();
    std::fprintf(m_out, "%s\n", printable(text).c_str());
    std::fflush(m_out);
}

void ProgressDisplay::finish() { clearLine(); }

void ProgressDisplay::clearLine() {
    if (!m_lineShown) return;
    std::fprintf(m_out, "\r\033[K");
    m_lineShown = false;
    m_lastDraw = {};
}

}  // namespace vantrel::cli
