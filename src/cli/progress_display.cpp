#include "cli/progress_display.h"

namespace vantrel::cli {
namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

// File names may hold any byte but "/" and NUL: control characters are shown
// as "?" so that they cannot move the cursor or fake a line.
std::string printable(const std::string& text, bool keepLineBreaks) {
    std::string shown = text;
    for (char& c : shown) {
        const bool control = static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
        if (control && !(keepLineBreaks && c == '\n')) c = '?';
    }
    return shown;
}

}  // namespace

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

void ProgressDisplay::fileStarted(int fileNumber, int fileTotal, const std::string& name) {
    m_fileNumber = fileNumber;
    m_fileTotal = fileTotal;
    m_name = printable(name, false);
    if (m_mode == Mode::Plain) {
        std::fprintf(m_out, "[%d/%d] %s\n", fileNumber, fileTotal, m_name.c_str());
        std::fflush(m_out);
    }
    m_lastDraw = {};
}

void ProgressDisplay::progress(double fileShare, std::int64_t bytesDone) {
    if (m_mode != Mode::Terminal) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastDraw < kRedrawInterval) return;
    m_lastDraw = now;
    const double seconds = std::chrono::duration<double>(now - m_started).count();
    const double rate = seconds > 0 ? double(bytesDone) / seconds : 0;
    std::fprintf(m_out, "\r\033[K[%d/%d] %s  %3.0f%%  %s/s", m_fileNumber, m_fileTotal,
                 m_name.c_str(), fileShare * 100, humanBytes(rate).c_str());
    std::fflush(m_out);
    m_lineShown = true;
}

void ProgressDisplay::message(const std::string& text) {
    clearLine();
    std::fprintf(m_out, "%s\n", printable(text, true).c_str());
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
