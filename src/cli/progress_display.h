#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

namespace vantrel::cli {

// Progress on stderr: on a terminal one line redrawn in place, with the
// current file, the whole job's position and the time left; one plain line per
// file otherwise; nothing at all when quiet. Messages always get through.
class ProgressDisplay {
  public:
    enum class Mode { Terminal, Plain, Quiet };

    ProgressDisplay(std::FILE* out, Mode mode) : m_out(out), m_mode(mode) {}

    // What the redrawn line begins with: "disc 2/3  " on a shelf.
    void setPrefix(std::string prefix) { m_prefix = std::move(prefix); }
    // The job's size: how many files, and how many bytes its VOBs hold.
    void jobStarted(int fileTotal, std::int64_t vobBytesTotal);
    void fileStarted(int fileNumber, const std::string& name);
    // The current file's share done (0..1) and the VOB bytes scanned so far.
    void progress(double fileShare, std::int64_t vobBytesDone);
    // A line that must be seen (an error, an echoed log entry), on its own
    // line: a line break in it is shown as any other control character.
    void message(const std::string& text);
    void finish();

    std::chrono::steady_clock::time_point started() const { return m_started; }

  private:
    std::string overallPosition(std::int64_t vobBytesDone,
                                std::chrono::steady_clock::time_point now) const;
    void clearLine();

    std::FILE* m_out;
    Mode m_mode;
    std::chrono::steady_clock::time_point m_started = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point m_lastDraw{};
    int m_fileNumber = 0, m_fileTotal = 0;
    std::int64_t m_vobBytesTotal = 0;
    std::string m_name;
    std::string m_prefix;
    bool m_lineShown = false;
};

// Quiet, or as stderr is a terminal or not.
ProgressDisplay::Mode displayMode(bool quiet);

// File names may hold any byte but "/" and NUL, and those in a disc image any
// character: control characters (C0, DEL and C1) are shown as "?" so that
// they cannot move the cursor or fake a line.
std::string printable(const std::string& text);
// "1 VOB", "2 VOBs".
std::string counted(long long count, const char* one, const char* many);
// "1.23 GB", "512 kB", "17 B".
std::string humanBytes(double bytes);
// "0:42", "12:05", "1:02:03".
std::string clockTime(double seconds);

}  // namespace vantrel::cli
