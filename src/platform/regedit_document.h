#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/regedit_lines.h"

namespace vantrel::platform::regedit {

// A whole REGEDIT4 text, read in one pass and kept line by line with the bytes
// it was read from, so that writing it back changes only the lines that were
// set or added: blank lines, comments, sections and lines that cannot be read,
// line breaks of every kind, a byte order mark and a missing last line break
// all come back as they were (the last line gets a line break only when a line
// is added below it). Added lines take the text's own kind of line break.
//
// A line ends at a line feed; the carriage returns before it belong to its
// line break (CR LF, CR CR LF). Values belong to the section above them; a
// section whose header cannot be read holds nothing readable, nor do lines
// above the first section. A key exists when one of its sections does. When a
// value name occurs more than once in a key (in one section or in several of
// the same key), the last occurrence is the value, as an import that applies
// the lines in order would leave it; a change replaces that occurrence and
// leaves the earlier ones as they are.
class Document {
  public:
    explicit Document(std::string_view text);

    std::string text() const;

    bool hasKey(const KeyPath& key) const;
    // The key's value `name` (empty: the default value); null when missing.
    const Value* find(const KeyPath& key, std::string_view name) const;

    // Adds the key's section when it has none, with those of the keys above
    // it; a root gets a section only to hold values. Names must be storable.
    void makeKey(const KeyPath& key);
    // Replaces the value or adds it at the end of the key's last section (made
    // when missing); a replaced value keeps the spelling of its name. Its name
    // must be storable.
    void set(const KeyPath& key, Value value);

    // Every section header and every value that can be read, in the order of
    // the text; `value` is null for a header.
    void forEach(const std::function<void(const KeyPath& key, const Value* value)>& visit) const;

  private:
    struct Line {
        std::string text;    // as read, with the lines a value continued over
        std::string ending;  // its line break; empty for a last line without one
        bool opensSection = false;
        std::optional<KeyPath> key;  // of a section header that can be read
        std::optional<Value> value;  // of a value line that can be read
    };
    static bool isBlank(const Line& line);

    std::size_t lastHeaderOf(const KeyPath& key) const;
    std::size_t lineOf(const KeyPath& key, std::string_view name) const;
    std::size_t sectionOf(const KeyPath& key);
    std::size_t appendSection(const KeyPath& key);
    void insert(std::size_t at, Line line);
    std::string newline() const;

    std::vector<Line> m_lines;
};

}  // namespace vantrel::platform::regedit
