#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace vantrel::cli {

// The program's arguments in UTF-8, as main takes them. On Windows they come
// from the wide command line, so that names outside the ANSI code page
// arrive whole; elsewhere they are main's own.
class Arguments {
  public:
    Arguments(int argc, char** argv);
    int count() const { return int(m_texts.size()); }
    char** values() { return m_pointers.data(); }

  private:
    std::vector<std::string> m_texts;
    std::vector<char*> m_pointers;
};

// Readies stdout and stderr for what the program writes: UTF-8 bytes and "\n"
// passed on unchanged, so that a pipe or file gets what it gets on every
// system; a console shows UTF-8 and redraws a line in place.
void prepareStandardStreams();

// True when `stream` is a terminal (on Windows a console) that can redraw a line.
bool isTerminal(std::FILE* stream);

// How many characters a line on the terminal `stream` may have: one less than
// its width, since a line as long as the terminal would wrap and "\r" could not
// take it back; 79 when the width cannot be had.
std::size_t terminalWidth(std::FILE* stream);

}  // namespace vantrel::cli
