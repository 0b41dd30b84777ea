#include <sys/ioctl.h>
#include <unistd.h>

#include "cli/console.h"

namespace vantrel::cli {

Arguments::Arguments(int argc, char** argv) : m_texts(argv, argv + argc) {
    for (std::string& text : m_texts) m_pointers.push_back(text.data());
    m_pointers.push_back(nullptr);
}

// Bytes pass unchanged already; a reader that goes away is the start-up's care
// (platform::prepareProcess).
void prepareStandardStreams() {}

bool isTerminal(std::FILE* stream) { return ::isatty(::fileno(stream)) != 0; }

std::size_t terminalWidth(std::FILE* stream) {
    winsize size{};
    if (::ioctl(::fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 1)
        return size.ws_col - 1u;
    return 79;
}

}  // namespace vantrel::cli
