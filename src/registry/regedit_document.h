#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "registry/regedit_lines.h"

namespace vantrel::registry::regedit {

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
//
// The lines are kept as views of the text read (or of the text set for a line
// that changed), and only section headers and values are read into keys and
// values: a store of millions of short lines is read in one pass, with one
// allocation for all its lines.
class Document {
  public:
    explicit Document(std::string_view text);
    // The lines view the document's own texts: it stays where it was made.
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    std::string text() const;

    bool hasKey(const KeyPath& key) const;
    // The key's value `name` (empty: the default value); null when missing.
    // Valid until the next change.
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
    static constexpr std::uint32_t kNothing = static_cast<std::uint32_t>(-1);
    // Small, for there may be millions.
    struct Line {
        std::string_view text;  // as read, with the lines a value continued over
        // Its line break is that many carriage returns and a line feed; none
        // for a last line without one.
        std::uint32_t endingLength : 31;
        std::uint32_t opensSection : 1;
        // A section header's key in m_keys, when it can be read; a value
        // line's value in m_values, when it can be read.
        std::uint32_t entry = kNothing;

        Line() : endingLength(0), opensSection(0) {}
    };
    static bool isBlank(const Line& line);
    const KeyPath* keyOf(const Line& line) const;
    const Value* valueOf(const Line& line) const;

    std::size_t lastHeaderOf(const KeyPath& key) const;
    std::size_t lineOf(const KeyPath& key, std::string_view name) const;
    std::size_t sectionOf(const KeyPath& key);
    std::size_t appendSection(const KeyPath& key);
    // A line of new text, kept by the document.
    Line ownLine(std::string text);
    void insert(std::size_t at, Line line);
    // The length of the text's own kind of line break.
    std::uint32_t newline() const;

    const std::string m_read;           // the text the document was read from
    std::deque<std::string> m_written;  // the texts of lines set or added since
    std::vector<KeyPath> m_keys;
    std::vector<Value> m_values;
    std::vector<Line> m_lines;
    // The lines that open sections or hold values, in order: what look-ups
    // walk, rather than every line.
    std::vector<std::size_t> m_entries;
};

}  // namespace vantrel::registry::regedit
