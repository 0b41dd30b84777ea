#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_system.h"

// The rules of a log file: its name, where the default one is, the size past
// which it starts afresh, and how a text is appended to one.
namespace vantrel::log {

inline constexpr const char* kLogFileName = "Vantrel.log";
// A log larger than this is started afresh by the next append.
inline constexpr std::int64_t kLogSizeLimit = 50 * 1024;

// Where one entry went: the file it reached, or the file that refused it and why.
struct AppendOutcome {
    bool written = false;
    std::string file;
    std::string problem;  // why it was not written ("Permission denied")
    // The file had grown past the limit and was started afresh with this entry.
    bool restarted = false;
};

// Where entries go when no log file is named: "Vantrel.log" in the program
// folder when the user may write there (a portable copy, a build folder);
// otherwise in the user's state folder, so that an installed program, whose
// folder only the administrator may write, never loses its entries. A program
// installed in a system folder (/usr/bin) always logs to the state folder, so
// that running it as root leaves no stray file there.
std::string defaultLogFile(platform::FileSystem& files, const std::string& programFolder);

// Appends `text` unchanged to the log file `file`; an empty or blank `file`
// means `defaultLog`, whose folder is made when missing, and is set to that
// path. Each step is tried in turn and a failing one is passed over: this
// never throws.
AppendOutcome appendToLog(platform::FileSystem& files, const std::string& defaultLog,
                          const std::string& text, std::string& file) noexcept;

}  // namespace vantrel::log
