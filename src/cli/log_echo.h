#pragma once

#include <optional>
#include <string>

namespace vantrel::cli {

// Turns the texts appended to the log into one terminal line per error entry.
// An entry may reach the log in parts (a [CopySector] entry, then the "File:"
// line that completes it); a line is ready once its entry is complete.
class LogEcho {
  public:
    // The line for the entry that `text` completes, if it completes one:
    // "[CopyFile] 05/03/2026 14:02:11; File: VIDEO_TS.IFO; cannot open ...".
    std::optional<std::string> add(const std::string& text);
    // What is left of an entry that was never completed.
    std::optional<std::string> flush();

  private:
    std::string m_pending;
};

}  // namespace vantrel::cli
