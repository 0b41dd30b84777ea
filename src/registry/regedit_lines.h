#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "registry/registry_constants.h"

// One line of a REGEDIT4 registry export, read or written on its own: a section
// header "[HKEY_LOCAL_MACHINE\SOFTWARE\TORVELLANCE\Vantrel]" or a value line
// ("VOBPATH"="/dvd/", "ALERT"=hex:01, @="default"). The texts handed in are a
// line without its line break; a hex value continued over several lines is
// handed in as one logical line (see startsContinuedValue).
namespace vantrel::registry::regedit {

using Bytes = std::vector<unsigned char>;

// A key: a root and the names below it.
struct KeyPath {
    HKEY root = kNullKey;
    std::vector<std::string> names;
};

struct Value {
    std::string name;  // empty for the key's default value
    std::uint32_t type = REG_NONE;
    Bytes data;
};

// Names compare as Windows compares them, without regard to (ASCII) case.
bool sameName(std::string_view a, std::string_view b);
bool sameKey(const KeyPath& a, const KeyPath& b);

// "SOFTWARE\TORVELLANCE\Vantrel" as its names; empty names (doubled or
// trailing separators) are passed over.
std::vector<std::string> splitKeyPath(std::string_view path);

// A name a line can hold: a line break would end it.
bool storable(std::string_view name);

// Spaces, tabs and carriage returns around the parts of a line do not count.
std::string_view trim(std::string_view s);

// A line that opens a section, whether or not its key can be read.
bool opensSection(std::string_view line);
std::optional<KeyPath> readHeader(std::string_view line);
std::optional<Value> readValue(std::string_view line);

// A hex value ("NAME"=hex...) whose line ends in "\" goes on in the lines that
// follow, as long as each begins with a hex digit and all but the last end in
// "\". Whether a value continues is settled by its first line alone.
bool startsContinuedValue(std::string_view firstLine);
bool endsInBackslash(std::string_view line);
bool continuesValue(std::string_view line);
// `logical` with the next line of a continued value joined on.
void joinContinuation(std::string& logical, std::string_view line);

std::string headerLine(const KeyPath& key);
// The value on one line: quoted text for REG_SZ (hex(1) when it holds a NUL or
// a line break), dword: for four-byte REG_DWORD, hex: for REG_BINARY, hex(N):
// for the rest. Such a line never ends in "\" and never begins with a hex digit.
std::string valueLine(const Value& value);

}  // namespace vantrel::registry::regedit
