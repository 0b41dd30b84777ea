#include "platform/registry_file_store.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/text.h"

namespace vantrel::platform {
namespace {

using KeyPath = RegistryFileStore::KeyPath;
using Names = std::vector<std::string>;
using Bytes = std::vector<unsigned char>;

// ---------------------------------------------------------------- names

struct Root {
    HKEY handle;
    std::string_view name;
};
constexpr Root kRoots[] = {
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},         {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},       {HKEY_USERS, "HKEY_USERS"},
    {HKEY_PERFORMANCE_DATA, "HKEY_PERFORMANCE_DATA"}, {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"},
};

bool isRoot(HKEY key) {
    return std::any_of(std::begin(kRoots), std::end(kRoots),
                       [key](const Root& root) { return root.handle == key; });
}

std::string_view rootName(HKEY key) {
    for (const Root& root : kRoots) {
        if (root.handle == key) return root.name;
    }
    return {};
}

// Names compare as Windows compares them, without regard to (ASCII) case.
bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiLower(x) == asciiLower(y);
           });
}

bool samePath(const Names& a, const Names& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](const auto& x, const auto& y) { return sameName(x, y); });
}

std::optional<HKEY> rootNamed(std::string_view name) {
    for (const Root& root : kRoots) {
        if (sameName(root.name, name)) return root.handle;
    }
    return std::nullopt;
}

// The part of a name the Windows calls see: up to its first NUL.
std::string_view cName(const std::string& name) { return std::string_view(name.c_str()); }

// A name the file can hold: a line break would end its line.
bool storable(std::string_view name) {
    return name.find_first_of("\r\n") == std::string_view::npos;
}

// "SOFTWARE\TORVELLANCE\Vantrel" as its names; empty names (doubled or
// trailing separators) are passed over.
Names splitKeyPath(std::string_view path) {
    Names names;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start) names.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

// ---------------------------------------------------------------- the file's content

struct Value {
    std::string name;  // empty for the key's default value
    std::uint32_t type = REG_NONE;
    Bytes data;
};

// A line of a section: a value, or a line that could not be read, kept as it was.
struct Line {
    std::optional<Value> value;
    std::string text;
};

// A section whose header could not be read has no key; its lines are kept but
// never read.
struct Section {
    std::optional<KeyPath> key;
    std::string header;
    std::vector<Line> lines;
};

struct Document {
    std::vector<std::string> preamble;  // unreadable lines before the first section
    std::vector<Section> sections;
};

// ---------------------------------------------------------------- reading the file

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimLeft(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    return s;
}

std::string_view trimRight(std::string_view s) {
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view trim(std::string_view s) { return trimLeft(trimRight(s)); }

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

// "01,02,ff": one or two hex digits per byte; nothing at all is no bytes.
std::optional<Bytes> readHexList(std::string_view list) {
    Bytes bytes;
    if (trim(list).empty()) return bytes;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = list.find(',', start);
        const auto byte = readHexNumber(trim(list.substr(start, comma - start)), 2);
        if (!byte) return std::nullopt;
        bytes.push_back(static_cast<unsigned char>(*byte));
        if (comma == std::string_view::npos) return bytes;
        start = comma + 1;
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

std::optional<Value> readValueLine(std::string_view line) {
    auto name = readName(line);
    if (!name) return std::nullopt;
    auto value = readData(line);
    if (value) value->name = std::move(*name);
    return value;
}

// A hex value may go on in the following lines: each but the last ends in "\".
bool continues(std::string_view line) {
    const std::string_view trimmed = trimRight(line);
    if (trimmed.empty() || trimmed.back() != '\\') return false;
    return readName(line) && startsWithNoCase(line, "hex");
}

bool isContinuation(std::string_view line) {
    const std::string_view trimmed = trimLeft(line);
    return !trimmed.empty() && hexDigit(trimmed[0]) >= 0;
}

// "[HKEY_LOCAL_MACHINE\SOFTWARE\TORVELLANCE]".
std::optional<KeyPath> readHeader(std::string_view line) {
    line = trim(line);
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
    Names names = splitKeyPath(line.substr(1, line.size() - 2));
    const auto root = names.empty() ? std::nullopt : rootNamed(names.front());
    if (!root) return std::nullopt;
    names.erase(names.begin());
    return KeyPath{*root, std::move(names)};
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

bool isFileHeader(std::string_view line) {
    return line == "REGEDIT4" || line == "Windows Registry Editor Version 5.00";
}

Document readDocument(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const std::vector<std::string_view> lines = splitLines(text);
    Document doc;
    bool first = true;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view trimmed = trim(lines[i]);
        if (trimmed.empty()) continue;
        if (std::exchange(first, false) && isFileHeader(trimmed)) continue;
        if (trimmed[0] == '[') {
            doc.sections.push_back(Section{readHeader(trimmed), std::string(lines[i]), {}});
            continue;
        }
        std::string kept(lines[i]);
        std::string logical(lines[i]);
        while (continues(logical) && i + 1 < lines.size() && isContinuation(lines[i + 1])) {
            ++i;
            (kept += '\n') += lines[i];
            logical.resize(trimRight(logical).size() - 1);
            logical += trimLeft(lines[i]);
        }
        if (doc.sections.empty()) {
            doc.preamble.push_back(std::move(kept));
            continue;
        }
        Section& section = doc.sections.back();
        std::optional<Value> value = section.key ? readValueLine(logical) : std::nullopt;
        section.lines.push_back(Line{std::move(value), std::move(kept)});
    }
    return doc;
}

// ---------------------------------------------------------------- writing the file

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
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02x", bytes[i]);
        if (i > 0) out += ',';
        out += digits;
    }
    return out;
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

std::string headerLine(const KeyPath& key) {
    std::string line(1, '[');
    line += rootName(key.root);
    for (const std::string& name : key.names) (line += '\\') += name;
    return line + ']';
}

std::string writeDocument(const Document& doc) {
    std::string out = "REGEDIT4\n\n";
    for (const std::string& line : doc.preamble) out += line + '\n';
    if (!doc.preamble.empty()) out += '\n';
    for (const Section& section : doc.sections) {
        out += (section.key ? headerLine(*section.key) : section.header) + '\n';
        for (const Line& line : section.lines) {
            out += (line.value ? valueLine(*line.value) : line.text) + '\n';
        }
        out += '\n';
    }
    return out;
}

// ---------------------------------------------------------------- keys and values

bool holds(const Section& section, const KeyPath& key) {
    return section.key && section.key->root == key.root && samePath(section.key->names, key.names);
}

bool keyExists(const Document& doc, const KeyPath& key) {
    return key.names.empty() || std::any_of(doc.sections.begin(), doc.sections.end(),
                                            [&](const Section& s) { return holds(s, key); });
}

Section* lastSection(Document& doc, const KeyPath& key) {
    for (auto section = doc.sections.rbegin(); section != doc.sections.rend(); ++section) {
        if (holds(*section, key)) return &*section;
    }
    return nullptr;
}

// A value named twice reads as its last occurrence, as an import would leave it.
const Value* findValue(const Document& doc, const KeyPath& key, std::string_view name) {
    const Value* found = nullptr;
    for (const Section& section : doc.sections) {
        if (!holds(section, key)) continue;
        for (const Line& line : section.lines) {
            if (line.value && sameName(line.value->name, name)) found = &*line.value;
        }
    }
    return found;
}

Value* findValue(Document& doc, const KeyPath& key, std::string_view name) {
    return const_cast<Value*>(findValue(std::as_const(doc), key, name));
}

// The key's section, made when missing together with the sections of the keys
// above it. A root needs a section only to hold values of its own.
Section& makeKey(Document& doc, const KeyPath& key) {
    KeyPath level{key.root, {}};
    Section* section = nullptr;
    for (std::size_t depth = key.names.empty() ? 0 : 1; depth <= key.names.size(); ++depth) {
        if (depth > 0) level.names.push_back(key.names[depth - 1]);
        section = lastSection(doc, level);
        if (section) {
            level.names = section->key->names;  // the spelling stored before stays
        } else {
            section = &doc.sections.emplace_back(Section{level, {}, {}});
        }
    }
    return *section;
}

void storeValue(Document& doc, const KeyPath& key, Value value) {
    if (Value* stored = findValue(doc, key, value.name)) {
        // The last occurrence takes the value under the name it was stored
        // with; earlier ones go.
        const std::string name = stored->name;
        value.name = name;
        *stored = std::move(value);
        for (Section& section : doc.sections) {
            if (!holds(section, key)) continue;
            std::erase_if(section.lines, [&](const Line& line) {
                return line.value && &*line.value != stored && sameName(line.value->name, name);
            });
        }
        return;
    }
    Section* section = lastSection(doc, key);
    if (section == nullptr) section = &makeKey(doc, key);
    section->lines.push_back(Line{std::move(value), {}});
}

std::int32_t loadDocument(const std::string& path, Document& doc) {
    std::string text;
    const std::int32_t status = RegistryFileStore::readStoreFile(path, text);
    if (status == ERROR_SUCCESS) doc = readDocument(text);
    return status;
}

// Changes the store under its lock, on a fresh read of it.
std::int32_t updateStore(const std::string& path, const std::function<bool(Document&)>& change) {
    return RegistryFileStore::changeStoreFile(path, [&](std::string& text) {
        Document doc = readDocument(text);
        if (!change(doc)) return false;
        text = writeDocument(doc);
        return true;
    });
}

// The store never throws: running out of memory is an error code like any other.
template <typename Call>
std::int32_t guarded(const Call& call) noexcept {
    try {
        return call();
    } catch (...) {
        return ERROR_OUTOFMEMORY;
    }
}

}  // namespace

RegistryFileStore::RegistryFileStore(std::string storePath) : m_storePath(std::move(storePath)) {}

std::int32_t RegistryFileStore::RegOpenKeyA(HKEY root, const std::string& subKey, HKEY& result) {
    return guarded([&] { return openKey(root, subKey, result); });
}

std::int32_t RegistryFileStore::RegCreateKeyA(HKEY root, const std::string& subKey, HKEY& result) {
    return guarded([&] { return createKey(root, subKey, result); });
}

std::int32_t RegistryFileStore::RegQueryValueExA(HKEY key, const std::string& valueName,
                                                 std::uint32_t* type, unsigned char* data,
                                                 std::uint32_t* size) {
    return guarded([&] { return queryValue(key, valueName, type, data, size); });
}

std::int32_t RegistryFileStore::RegSetValueExA(HKEY key, const std::string& valueName,
                                               std::uint32_t type, const unsigned char* data,
                                               std::uint32_t size) {
    return guarded([&] { return setValue(key, valueName, type, data, size); });
}

std::int32_t RegistryFileStore::RegCloseKey(HKEY key) {
    if (isRoot(key)) return ERROR_SUCCESS;
    return m_handles.erase(key) > 0 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

std::int32_t RegistryFileStore::keyOf(HKEY key, KeyPath& path) const {
    if (isRoot(key)) {
        path = KeyPath{key, {}};
        return ERROR_SUCCESS;
    }
    const auto handle = m_handles.find(key);
    if (handle == m_handles.end()) return ERROR_INVALID_HANDLE;
    path = handle->second;
    return ERROR_SUCCESS;
}

std::int32_t RegistryFileStore::below(HKEY key, const std::string& subKey, KeyPath& path) const {
    const std::int32_t status = keyOf(key, path);
    if (status != ERROR_SUCCESS) return status;
    for (std::string& name : splitKeyPath(cName(subKey))) path.names.push_back(std::move(name));
    return ERROR_SUCCESS;
}

HKEY RegistryFileStore::handOut(KeyPath path) {
    do {
        ++m_lastHandle;
    } while (m_lastHandle == kNullKey || isRoot(m_lastHandle) || m_handles.count(m_lastHandle));
    m_handles.emplace(m_lastHandle, std::move(path));
    return m_lastHandle;
}

std::int32_t RegistryFileStore::openKey(HKEY root, const std::string& subKey, HKEY& result) {
    KeyPath path;
    std::int32_t status = below(root, subKey, path);
    if (status != ERROR_SUCCESS) return status;
    if (!path.names.empty()) {
        Document doc;
        status = loadDocument(m_storePath, doc);
        if (status != ERROR_SUCCESS) return status;
        if (!keyExists(doc, path)) return ERROR_FILE_NOT_FOUND;
    }
    result = handOut(std::move(path));
    return ERROR_SUCCESS;
}

std::int32_t RegistryFileStore::createKey(HKEY root, const std::string& subKey, HKEY& result) {
    KeyPath path;
    std::int32_t status = below(root, subKey, path);
    if (status != ERROR_SUCCESS) return status;
    if (!std::all_of(path.names.begin(), path.names.end(),
                     [](const std::string& name) { return storable(name); })) {
        return ERROR_INVALID_PARAMETER;
    }
    Document doc;
    if (!path.names.empty() &&
        (loadDocument(m_storePath, doc) != ERROR_SUCCESS || !keyExists(doc, path))) {
        status = updateStore(m_storePath, [&](Document& fresh) {
            if (keyExists(fresh, path)) return false;
            makeKey(fresh, path);
            return true;
        });
        if (status != ERROR_SUCCESS) return status;
    }
    result = handOut(std::move(path));
    return ERROR_SUCCESS;
}

std::int32_t RegistryFileStore::queryValue(HKEY key, const std::string& valueName,
                                           std::uint32_t* type, unsigned char* data,
                                           std::uint32_t* size) const {
    KeyPath path;
    std::int32_t status = keyOf(key, path);
    if (status != ERROR_SUCCESS) return status;
    if (data != nullptr && size == nullptr) return ERROR_INVALID_PARAMETER;
    Document doc;
    status = loadDocument(m_storePath, doc);
    if (status != ERROR_SUCCESS) return status;
    const Value* value = findValue(std::as_const(doc), path, cName(valueName));
    if (value == nullptr) return ERROR_FILE_NOT_FOUND;
    if (type != nullptr) *type = value->type;
    const auto needed = static_cast<std::uint32_t>(value->data.size());
    if (data != nullptr) {
        if (*size < needed) {
            *size = needed;
            return ERROR_MORE_DATA;
        }
        std::copy(value->data.begin(), value->data.end(), data);
    }
    if (size != nullptr) *size = needed;
    return ERROR_SUCCESS;
}

std::int32_t RegistryFileStore::setValue(HKEY key, const std::string& valueName, std::uint32_t type,
                                         const unsigned char* data, std::uint32_t size) {
    KeyPath path;
    const std::int32_t status = keyOf(key, path);
    if (status != ERROR_SUCCESS) return status;
    const std::string_view name = cName(valueName);
    if ((data == nullptr && size > 0) || !storable(name)) return ERROR_INVALID_PARAMETER;
    Value value{std::string(name), type, size > 0 ? Bytes(data, data + size) : Bytes()};
    return updateStore(m_storePath, [&](Document& doc) {
        storeValue(doc, path, value);
        return true;
    });
}

}  // namespace vantrel::platform
