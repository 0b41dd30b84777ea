#include "log/error_entries.h"

#include <cstdio>

#include "dvd/dvd_format.h"

namespace vantrel::log {
namespace {

constexpr const char* kEndOfLine = "\r\n";

std::string twoDigits(int value) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02d", value);
    return digits;
}

}  // namespace

std::string escaped(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            result += c;
            continue;
        }
        char code[8];
        std::snprintf(code, sizeof code, "\\x%02X", unsigned{byte});
        result += code;
    }
    return result;
}

std::string oneLine(const std::string& description) {
    std::string result = description;
    for (char& c : result) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return escaped(result);
}

std::string formatTimestamp(const platform::LocalTime& time,
                            const platform::DateTimeSeparators& separators) {
    return twoDigits(time.day) + separators.date + twoDigits(time.month) + separators.date +
           std::to_string(time.year) + " " + twoDigits(time.hour) + separators.time +
           twoDigits(time.minute) + separators.time + twoDigits(time.second);
}

std::string Entry::text() const {
    std::string text = step.empty() ? "" : "[" + step + "]" + kEndOfLine;
    for (const std::string& line : lines) (text += line) += kEndOfLine;
    if (complete) text += kEndOfLine;
    return text;
}

Entry copyFileEntry(const std::string& timestamp, const std::string& fileName,
                    const std::string& description) {
    return {"CopyFile", {timestamp, "File: " + escaped(fileName), oneLine(description)}};
}

Entry copyFilesEntry(const std::string& timestamp, const std::string& lastListedName,
                     const std::string& description) {
    return {"CopyFiles", {timestamp, "File: " + escaped(lastListedName), oneLine(description)}};
}

Entry copySectorEntry(const std::string& timestamp, std::int64_t position,
                      const std::string& description) {
    return {"CopySector",
            {timestamp,
             "Sector: " + std::to_string(position / dvd::kSectorSize) +
                 " Position: " + std::to_string(position),
             oneLine(description)},
            false};
}

Entry processSectorFileLine(const std::string& fileName) {
    return {"", {"File: " + escaped(fileName)}};
}

Entry processEntry(const std::string& timestamp, const std::string& fileName,
                   const std::string& description) {
    return {"Process", {timestamp, "File: " + escaped(fileName), oneLine(description)}};
}

Entry cmdGoClickEntry(const std::string& timestamp, const std::string& description) {
    return {"cmdGo_Click", {timestamp, oneLine(description)}};
}

Entry formLoadEntry(const std::string& timestamp, const std::string& description,
                    const std::string& settingName) {
    return {"Form_Load", {timestamp, oneLine(description), settingName}};
}

Entry formUnloadEntry(const std::string& timestamp, const std::string& description) {
    return {"Form_UnLoad", {timestamp, oneLine(description)}};
}

}  // namespace vantrel::log
