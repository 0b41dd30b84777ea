#include "registry/regedit_document.h"

#include <algorithm>
#include <utility>

namespace vantrel::registry::regedit {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);
// A line break is kept as its length in 31 bits.
constexpr std::uint32_t kLongestBreak = (std::uint32_t{1} << 31) - 1;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// One physical line of a text: its content, then its line break.
struct Span {
    std::size_t begin, contentEnd, end;
};

Span nextSpan(std::string_view text, std::size_t begin) {
    const std::size_t feed = text.find('\n', begin);
    if (feed == std::string_view::npos) return {begin, text.size(), text.size()};
    // A line break is kept as its length; carriage returns beyond what that
    // holds stay in the line (they count as spaces).
    std::size_t contentEnd = feed;
    while (contentEnd > begin && text[contentEnd - 1] == '\r' &&
           feed + 1 - contentEnd < kLongestBreak)
        --contentEnd;
    return {begin, contentEnd, feed + 1};
}

std::string_view contentOf(std::string_view text, const Span& span) {
    std::string_view content = text.substr(span.begin, span.contentEnd - span.begin);
    if (span.begin == 0 && content.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        content.remove_prefix(kByteOrderMark.size());
    }
    return content;
}

}  // namespace

Document::Document(std::string_view text) : m_read(text) {
    const std::string_view read = m_read;
    m_lines.reserve(static_cast<std::size_t>(std::count(read.begin(), read.end(), '\n')) + 1);
    bool inReadableSection = false;
    std::size_t position = 0;
    while (position < read.size()) {
        Span span = nextSpan(read, position);
        const std::string_view first = contentOf(read, span);
        Line line;
        if (opensSection(first)) {
            line.opensSection = 1;
            std::optional<KeyPath> key = readHeader(first);
            inReadableSection = key.has_value();
            if (key) {
                line.entry = static_cast<std::uint32_t>(m_keys.size());
                m_keys.push_back(std::move(*key));
            }
        } else if (inReadableSection || startsContinuedValue(first)) {
            std::optional<Value> value;
            if (startsContinuedValue(first)) {
                std::string logical(first);
                while (endsInBackslash(contentOf(read, span)) && span.end < read.size()) {
                    const Span next = nextSpan(read, span.end);
                    if (!continuesValue(contentOf(read, next))) break;
                    joinContinuation(logical, contentOf(read, next));
                    span = next;
                }
                if (inReadableSection) value = readValue(logical);
            } else {
                value = readValue(first);
            }
            if (value) {
                line.entry = static_cast<std::uint32_t>(m_values.size());
                m_values.push_back(std::move(*value));
            }
        }
        line.text = read.substr(position, span.contentEnd - position);
        line.endingLength = static_cast<std::uint32_t>(span.end - span.contentEnd) & kLongestBreak;
        if (line.opensSection || line.entry != kNothing) m_entries.push_back(m_lines.size());
        m_lines.push_back(line);
        position = span.end;
    }
}

std::string Document::text() const {
    std::size_t size = 0;
    for (const Line& line : m_lines) size += line.text.size() + line.endingLength;
    std::string text;
    text.reserve(size);
    for (const Line& line : m_lines) {
        text += line.text;
        if (line.endingLength > 0) (text.append(line.endingLength - 1, '\r')) += '\n';
    }
    return text;
}

bool Document::hasKey(const KeyPath& key) const {
    return key.names.empty() || lastHeaderOf(key) != kNone;
}

const Value* Document::find(const KeyPath& key, std::string_view name) const {
    const std::size_t at = lineOf(key, name);
    return at == kNone ? nullptr : valueOf(m_lines[at]);
}

void Document::makeKey(const KeyPath& key) {
    if (!hasKey(key)) sectionOf(key);
}

void Document::set(const KeyPath& key, Value value) {
    if (const std::size_t at = lineOf(key, value.name); at != kNone) {
        Value& stored = m_values[m_lines[at].entry];
        value.name = stored.name;
        stored = std::move(value);
        m_lines[at].text = ownLine(valueLine(stored)).text;
        return;
    }
    // After the section's last line that is not blank, so that the blank line
    // that parts it from the next section stays below.
    const std::size_t header = sectionOf(key);
    std::size_t end = header + 1;
    while (end < m_lines.size() && !m_lines[end].opensSection) ++end;
    while (end > header + 1 && isBlank(m_lines[end - 1])) --end;
    Line line = ownLine(valueLine(value));
    line.entry = static_cast<std::uint32_t>(m_values.size());
    m_values.push_back(std::move(value));
    insert(end, line);
}

void Document::forEach(
    const std::function<void(const KeyPath& key, const Value* value)>& visit) const {
    const KeyPath* section = nullptr;
    for (const Line& line : m_lines) {
        if (line.opensSection) {
            section = keyOf(line);
            if (section != nullptr) visit(*section, nullptr);
        } else if (const Value* value = valueOf(line); value != nullptr && section != nullptr) {
            visit(*section, value);
        }
    }
}

bool Document::isBlank(const Line& line) { return trim(line.text).empty(); }

const KeyPath* Document::keyOf(const Line& line) const {
    return line.opensSection && line.entry != kNothing ? &m_keys[line.entry] : nullptr;
}

const Value* Document::valueOf(const Line& line) const {
    return !line.opensSection && line.entry != kNothing ? &m_values[line.entry] : nullptr;
}

std::size_t Document::lastHeaderOf(const KeyPath& key) const {
    for (auto entry = m_entries.rbegin(); entry != m_entries.rend(); ++entry) {
        const KeyPath* header = keyOf(m_lines[*entry]);
        if (header != nullptr && sameKey(*header, key)) return *entry;
    }
    return kNone;
}

std::size_t Document::lineOf(const KeyPath& key, std::string_view name) const {
    std::size_t found = kNone;
    bool inKey = false;
    for (const std::size_t i : m_entries) {
        const Line& line = m_lines[i];
        if (line.opensSection) {
            const KeyPath* header = keyOf(line);
            inKey = header != nullptr && sameKey(*header, key);
        } else if (const Value* value = valueOf(line);
                   inKey && value != nullptr && sameName(value->name, name)) {
            found = i;
        }
    }
    return found;
}

// The key's last section header, made when missing; keys above it that exist
// keep the spelling they were stored with.
std::size_t Document::sectionOf(const KeyPath& key) {
    std::size_t header = lastHeaderOf(key);
    if (header != kNone) return header;
    KeyPath level{key.root, {}};
    for (std::size_t depth = key.names.empty() ? 0 : 1; depth <= key.names.size(); ++depth) {
        if (depth > 0) level.names.push_back(key.names[depth - 1]);
        header = lastHeaderOf(level);
        if (header != kNone) {
            level.names = keyOf(m_lines[header])->names;
        } else {
            header = appendSection(level);
        }
    }
    return header;
}

// "[KEY]" and a blank line at the end, below a blank line; a text that was
// empty first gets the file's own header.
std::size_t Document::appendSection(const KeyPath& key) {
    if (m_lines.empty()) insert(0, ownLine("REGEDIT4"));
    if (!isBlank(m_lines.back())) insert(m_lines.size(), Line{});
    const std::size_t header = m_lines.size();
    Line line = ownLine(headerLine(key));
    line.opensSection = 1;
    line.entry = static_cast<std::uint32_t>(m_keys.size());
    m_keys.push_back(key);
    insert(header, line);
    insert(m_lines.size(), Line{});
    return header;
}

Document::Line Document::ownLine(std::string text) {
    Line line;
    line.text = m_written.emplace_back(std::move(text));
    return line;
}

// A line added below a last line that had no line break gives it one.
void Document::insert(std::size_t at, Line line) {
    line.endingLength = newline() & kLongestBreak;
    if (at == m_lines.size() && at > 0 && m_lines.back().endingLength == 0) {
        m_lines.back().endingLength = line.endingLength;
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), line);
    auto entry = std::lower_bound(m_entries.begin(), m_entries.end(), at);
    for (auto later = entry; later != m_entries.end(); ++later) ++*later;
    if (line.opensSection || line.entry != kNothing) m_entries.insert(entry, at);
}

// The text's own kind of line break for the lines added to it: CR LF when its
// first one holds a carriage return, else LF.
std::uint32_t Document::newline() const {
    for (const Line& line : m_lines) {
        if (line.endingLength > 0) return line.endingLength > 1 ? 2 : 1;
    }
    return 1;
}

}  // namespace vantrel::registry::regedit
