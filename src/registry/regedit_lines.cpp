#include "registry/regedit_lines.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "platform/text.h"

namespace vantrel::registry::regedit {
namespace {

using platform::asciiLower;

struct Root {
    HKEY handle;
    std::string_view name;
};
constexpr Root kRoots[] = {
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},         {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},       {HKEY_USERS, "HKEY_USERS"},
    {HKEY_PERFORMANCE_DATA, "HKEY_PERFORMANCE_DATA"}, {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"},
};

std::string_view rootName(HKEY key) {
    for (const Root& root : kRoots) {
        if (root.handle == key) return root.name;
    }
    return {};
}

std::optional<HKEY> rootNamed(std::string_view name) {
    for (const Root& root : kRoots) {
        if (sameName(root.name, name)) return root.handle;
    }
    return std::nullopt;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view trimLeft(std::string_view s) {
    while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
    return s;
}

std::string_view trimRight(std::string_view s) {
    while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
    return s;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && sameName(s.substr(0, prefix.size()), prefix);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (asciiLower(c) >= 'a' && asciiLower(c) <= 'f') return asciiLower(c) - 'a' + 10;
    return -1;
}

// 1 to `maxDigits` hexadecimal digits.
std::optional<std::uint32_t> readHexNumber(std::string_view digits, std::size_t maxDigits) {
    if (digits.empty() || digits.size() > maxDigits) return std::nullopt;
    std::uint32_t number = 0;
    for (const char c : digits) {
        if (hexDigit(c) < 0) return std::nullopt;
        number = number * 16 + static_cast<std::uint32_t>(hexDigit(c));
    }
    return number;
}

// "01,02,ff": one or two hex digits per byte, blanks around them allowed;
// nothing at all is no bytes. One pass: a value may hold megabytes.
std::optional<Bytes> readHexList(std::string_view list) {
    Bytes bytes;
    list = trim(list);
    if (list.empty()) return bytes;
    bytes.reserve(list.size() / 3 + 1);
    std::size_t i = 0;
    while (true) {
        while (i < list.size() && isSpace(list[i])) ++i;
        int byte = 0;
        std::size_t digits = 0;
        for (; i < list.size() && hexDigit(list[i]) >= 0; ++i, ++digits) {
            if (digits < 2) byte = byte * 16 + hexDigit(list[i]);
        }
        while (i < list.size() && isSpace(list[i])) ++i;
        if (digits == 0 || digits > 2) return std::nullopt;
        bytes.push_back(static_cast<unsigned char>(byte));
        if (i == list.size()) return bytes;
        if (list[i++] != ',') return std::nullopt;
    }
}

// A quoted text from just after its opening quote: \\ and \" stand for \ and ";
// `s` is left after the closing quote.
std::optional<std::string> readQuoted(std::string_view& s) {
    std::string text;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '"') {
            s.remove_prefix(i + 1);
            return text;
        }
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) ++i;
        text += s[i];
    }
    return std::nullopt;
}

// The name at the start of a value line ("NAME" or @ for the default value);
// `s` is left at the data after the equals sign.
std::optional<std::string> readName(std::string_view& s) {
    s = trimLeft(s);
    std::string name;
    if (s.empty() || (s[0] != '@' && s[0] != '"')) return std::nullopt;
    const bool quoted = s[0] == '"';
    s.remove_prefix(1);
    if (quoted) {
        auto text = readQuoted(s);
        if (!text) return std::nullopt;
        name = std::move(*text);
    }
    s = trimLeft(s);
    if (s.empty() || s[0] != '=') return std::nullopt;
    s = trim(s.substr(1));
    return name;
}

std::optional<Value> readData(std::string_view data) {
    if (!data.empty() && data[0] == '"') {
        data.remove_prefix(1);
        const auto text = readQuoted(data);
        if (!text || !trim(data).empty()) return std::nullopt;
        return Value{{}, REG_SZ, Bytes(text->begin(), text->end())};
    }
    if (startsWithNoCase(data, "dword:")) {
        const auto number = readHexNumber(data.substr(6), 8);
        if (!number) return std::nullopt;
        Bytes bytes(4);
        for (std::size_t i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(*number >> 8 * i);
        return Value{{}, REG_DWORD, bytes};
    }
    std::optional<std::uint32_t> type;
    if (startsWithNoCase(data, "hex:")) {
        type = REG_BINARY;
        data.remove_prefix(4);
    } else if (startsWithNoCase(data, "hex(")) {
        const std::size_t close = data.find("):");
        if (close == std::string_view::npos) return std::nullopt;
        type = readHexNumber(data.substr(4, close - 4), 8);
        data.remove_prefix(close + 2);
    }
    auto bytes = type ? readHexList(data) : std::nullopt;
    if (!bytes) return std::nullopt;
    return Value{{}, *type, std::move(*bytes)};
}

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + '"';
}

std::string hexList(const Bytes& bytes) {
    std::string out;
    out.reserve(bytes.size() * 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02x", bytes[i]);
        if (i > 0) out += ',';
        out += digits;
    }
    return out;
}

}  // namespace

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiLower(x) == asciiLower(y);
           });
}

bool sameKey(const KeyPath& a, const KeyPath& b) {
    return a.root == b.root && a.names.size() == b.names.size() &&
           std::equal(a.names.begin(), a.names.end(), b.names.begin(),
                      [](const auto& x, const auto& y) { return sameName(x, y); });
}

std::vector<std::string> splitKeyPath(std::string_view path) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start) names.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

bool storable(std::string_view name) {
    return name.find_first_of("\r\n") == std::string_view::npos;
}

std::string_view trim(std::string_view s) { return trimLeft(trimRight(s)); }

bool opensSection(std::string_view line) {
    line = trimLeft(line);
    return !line.empty() && line[0] == '[';
}

std::optional<KeyPath> readHeader(std::string_view line) {
    line = trim(line);
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
    std::vector<std::string> names = splitKeyPath(line.substr(1, line.size() - 2));
    const auto root = names.empty() ? std::nullopt : rootNamed(names.front());
    if (!root) return std::nullopt;
    names.erase(names.begin());
    return KeyPath{*root, std::move(names)};
}

std::optional<Value> readValue(std::string_view line) {
    auto name = readName(line);
    if (!name) return std::nullopt;
    auto value = readData(line);
    if (value) value->name = std::move(*name);
    return value;
}

bool startsContinuedValue(std::string_view firstLine) {
    return endsInBackslash(firstLine) && readName(firstLine) && startsWithNoCase(firstLine, "hex");
}

bool endsInBackslash(std::string_view line) {
    line = trimRight(line);
    return !line.empty() && line.back() == '\\';
}

bool continuesValue(std::string_view line) {
    line = trimLeft(line);
    return !line.empty() && hexDigit(line[0]) >= 0;
}

void joinContinuation(std::string& logical, std::string_view line) {
    logical.resize(trimRight(logical).size() - 1);  // the "\"
    logical += trimLeft(line);
}

std::string headerLine(const KeyPath& key) {
    std::string line(1, '[');
    line += rootName(key.root);
    for (const std::string& name : key.names) (line += '\\') += name;
    return line + ']';
}

std::string valueLine(const Value& value) {
    std::string line = (value.name.empty() ? std::string("@") : quoted(value.name)) + '=';
    const std::string_view text(reinterpret_cast<const char*>(value.data.data()),
                                value.data.size());
    char prefix[32];
    if (value.type == REG_SZ && text.find_first_of(std::string_view("\0\r\n", 3)) == text.npos) {
        return line + quoted(text);
    } else if (value.type == REG_DWORD && value.data.size() == 4) {
        const auto& b = value.data;
        std::snprintf(prefix, sizeof prefix, "dword:%02x%02x%02x%02x", b[3], b[2], b[1], b[0]);
        return line + prefix;
    } else if (value.type == REG_BINARY) {
        return line + "hex:" + hexList(value.data);
    }
    // Any other type, and text the quotes cannot hold (line breaks, NULs).
    std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(value.type));
    return line + prefix + hexList(value.data);
}

}  // namespace vantrel::registry::regedit
