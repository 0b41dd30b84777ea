#include "platform/regedit_document.h"

#include <utility>

namespace vantrel::platform::regedit {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// One physical line of a text: its content, then its line break.
struct Span {
    std::size_t begin, contentEnd, end;
};

Span nextSpan(std::string_view text, std::size_t begin) {
    const std::size_t feed = text.find('\n', begin);
    if (feed == std::string_view::npos) return {begin, text.size(), text.size()};
    std::size_t contentEnd = feed;
    while (contentEnd > begin && text[contentEnd - 1] == '\r') --contentEnd;
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

Document::Document(std::string_view text) {
    bool inReadableSection = false;
    std::size_t position = 0;
    while (position < text.size()) {
        Span span = nextSpan(text, position);
        const std::string_view first = contentOf(text, span);
        Line line;
        if (opensSection(first)) {
            line.opensSection = true;
            line.key = readHeader(first);
            inReadableSection = line.key.has_value();
        } else if (startsContinuedValue(first)) {
            std::string logical(first);
            while (endsInBackslash(contentOf(text, span)) && span.end < text.size()) {
                const Span next = nextSpan(text, span.end);
                if (!continuesValue(contentOf(text, next))) break;
                joinContinuation(logical, contentOf(text, next));
                span = next;
            }
            if (inReadableSection) line.value = readValue(logical);
        } else if (inReadableSection) {
            line.value = readValue(first);
        }
        line.text = text.substr(position, span.contentEnd - position);
        line.ending = text.substr(span.contentEnd, span.end - span.contentEnd);
        m_lines.push_back(std::move(line));
        position = span.end;
    }
}

std::string Document::text() const {
    std::size_t size = 0;
    for (const Line& line : m_lines) size += line.text.size() + line.ending.size();
    std::string text;
    text.reserve(size);
    for (const Line& line : m_lines) (text += line.text) += line.ending;
    return text;
}

bool Document::hasKey(const KeyPath& key) const {
    return key.names.empty() || lastHeaderOf(key) != kNone;
}

const Value* Document::find(const KeyPath& key, std::string_view name) const {
    const std::size_t at = lineOf(key, name);
    return at == kNone ? nullptr : &*m_lines[at].value;
}

void Document::makeKey(const KeyPath& key) {
    if (!hasKey(key)) sectionOf(key);
}

void Document::set(const KeyPath& key, Value value) {
    if (const std::size_t at = lineOf(key, value.name); at != kNone) {
        Line& line = m_lines[at];
        value.name = line.value->name;
        line.text = valueLine(value);
        line.value = std::move(value);
        return;
    }
    // After the section's last line that is not blank, so that the blank line
    // that parts it from the next section stays below.
    const std::size_t header = sectionOf(key);
    std::size_t end = header + 1;
    while (end < m_lines.size() && !m_lines[end].opensSection) ++end;
    while (end > header + 1 && isBlank(m_lines[end - 1])) --end;
    Line line;
    line.text = valueLine(value);
    line.value = std::move(value);
    insert(end, std::move(line));
}

void Document::forEach(
    const std::function<void(const KeyPath& key, const Value* value)>& visit) const {
    const KeyPath* section = nullptr;
    for (const Line& line : m_lines) {
        if (line.opensSection) {
            section = line.key ? &*line.key : nullptr;
            if (section != nullptr) visit(*section, nullptr);
        } else if (line.value && section != nullptr) {
            visit(*section, &*line.value);
        }
    }
}

bool Document::isBlank(const Line& line) { return trim(line.text).empty(); }

std::size_t Document::lastHeaderOf(const KeyPath& key) const {
    for (std::size_t i = m_lines.size(); i-- > 0;) {
        if (m_lines[i].key && sameKey(*m_lines[i].key, key)) return i;
    }
    return kNone;
}

std::size_t Document::lineOf(const KeyPath& key, std::string_view name) const {
    std::size_t found = kNone;
    bool inKey = false;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        if (line.opensSection) {
            inKey = line.key && sameKey(*line.key, key);
        } else if (inKey && line.value && sameName(line.value->name, name)) {
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
            level.names = m_lines[header].key->names;
        } else {
            header = appendSection(level);
        }
    }
    return header;
}

// "[KEY]" and a blank line at the end, below a blank line; a text that was
// empty first gets the file's own header.
std::size_t Document::appendSection(const KeyPath& key) {
    if (m_lines.empty()) insert(0, Line{"REGEDIT4", {}, false, {}, {}});
    if (!isBlank(m_lines.back())) insert(m_lines.size(), Line{});
    const std::size_t header = m_lines.size();
    insert(header, Line{headerLine(key), {}, true, key, {}});
    insert(m_lines.size(), Line{});
    return header;
}

// A line added below a last line that had no line break gives it one.
void Document::insert(std::size_t at, Line line) {
    line.ending = newline();
    if (at == m_lines.size() && at > 0 && m_lines.back().ending.empty()) {
        m_lines.back().ending = line.ending;
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

// The text's own kind of line break for the lines added to it: CR LF when its
// first one holds a carriage return, else LF.
std::string Document::newline() const {
    for (const Line& line : m_lines) {
        if (!line.ending.empty()) return line.ending.size() > 1 ? "\r\n" : "\n";
    }
    return "\n";
}

}  // namespace vantrel::platform::regedit
