#include <unistd.h>

#include <csignal>

#include "cli/console.h"

namespace vantrel::cli {

Arguments::Arguments(int argc, char** argv) : m_texts(argv, argv + argc) {
    for (std::string& text : m_texts) m_pointers.push_back(text.data());
    m_pointers.push_back(nullptr);
}

void prepareStandardStreams() { std::signal(SIGPIPE, SIG_IGN); }

bool isTerminal(std::FILE* stream) { return ::isatty(::fileno(stream)) != 0; }

}  // namespace vantrel::cli
