#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace vantrel::cli {

// Progress on stderr: a line redrawn in place on a terminal, one plain line per
// file otherwise, nothing at all when quiet. Messages always get through.
class ProgressDisplay {
  public:
    enum class Mode { Terminal, Plain, Quiet };

    ProgressDisplay(std::FILE* out, Mode mode) : m_out(out), m_mode(mode) {}

    void fileStarted(int fileNumber, int fileTotal, const std::string& name);
    // The current file's share done (0..1) and all bytes done so far.
    void progress(double fileShare, std::int64_t bytesDone);
    // A line that must be seen (an error, an echoed log entry), on its own line.
    void message(const std::string& text);
    void finish();

    std::chrono::steady_clock::time_point started() const { return m_started; }

  private:
    void clearLine();

    std::FILE* m_out;
    Mode m_mode;
    std::chrono::steady_clock::time_point m_started = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point m_lastDraw{};
    int m_fileNumber = 0, m_fileTotal = 0;
    std::string m_name;
    bool m_lineShown = false;
};

// "1.23 GB", "512 kB", "17 B".
std::string humanBytes(double bytes);

}  // namespace vantrel::cli
