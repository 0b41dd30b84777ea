#pragma once

#include <cstdint>
#include <string>

#include "platform/file_system.h"

namespace vantrel::log {

inline constexpr const char* kLogFileName = "Vantrel.log";
// A log larger than this is started afresh by the next append.
inline constexpr std::int64_t kLogSizeLimit = 50 * 1024;

// Appends `text` unchanged to the log file `file`; an empty or blank `file`
// means "Vantrel.log" in `programFolder` and is set to that path. Each step is
// tried in turn and a failing one is passed over: this never throws.
void appendToLog(platform::FileSystem& files, const std::string& programFolder,
                 const std::string& text, std::string& file) noexcept;

}  // namespace vantrel::log
