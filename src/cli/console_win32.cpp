#include <fcntl.h>
#include <io.h>
#include <windows.h>

// After <windows.h>, whose types it uses.
#include <shellapi.h>

#include <cstdlib>
#include <iterator>

#include "cli/console.h"
#include "platform/wide_text.h"

namespace vantrel::cli {
namespace {

UINT g_consoleCodePage = 0;  // the console's own, given back at exit

HANDLE handleOf(std::FILE* stream) {
    return reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
}

void restoreConsoleCodePage() { ::SetConsoleOutputCP(g_consoleCodePage); }

// True when the console obeys the escape sequences it was asked to: some
// (Wine's) take the mode and then print the sequences as text. A harmless
// one, "reset the colours", moves the cursor only where it is printed; the
// printed one is then wiped out again.
bool obeysEscapeSequences(HANDLE console) {
    CONSOLE_SCREEN_BUFFER_INFO before{}, after{};
    const wchar_t probe[] = L"\x1b[m";
    const DWORD length = DWORD(std::size(probe) - 1);
    DWORD written = 0;
    if (!::GetConsoleScreenBufferInfo(console, &before) ||
        !::WriteConsoleW(console, probe, length, &written, nullptr) ||
        !::GetConsoleScreenBufferInfo(console, &after))
        return false;
    const COORD start = before.dwCursorPosition, end = after.dwCursorPosition;
    if (start.X == end.X && start.Y == end.Y) return true;
    ::SetConsoleCursorPosition(console, start);
    ::FillConsoleOutputCharacterW(console, L' ', written, start, &written);
    return false;
}

// Lets `console` redraw a line in place, where it truly can.
void enableVirtualTerminal(HANDLE console) {
    DWORD mode = 0;
    if (!::GetConsoleMode(console, &mode) || (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0)
        return;
    if (::SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) &&
        !obeysEscapeSequences(console))
        ::SetConsoleMode(console, mode);
}

}  // namespace

Arguments::Arguments(int, char**) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    for (int i = 0; wide != nullptr && i < count; ++i) m_texts.push_back(platform::toUtf8(wide[i]));
    ::LocalFree(wide);
    for (std::string& text : m_texts) m_pointers.push_back(text.data());
    m_pointers.push_back(nullptr);
}

void prepareStandardStreams() {
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    for (std::FILE* stream : {stdout, stderr}) enableVirtualTerminal(handleOf(stream));
    DWORD mode = 0;
    if (::GetConsoleMode(handleOf(stderr), &mode) || ::GetConsoleMode(handleOf(stdout), &mode)) {
        g_consoleCodePage = ::GetConsoleOutputCP();
        if (g_consoleCodePage != CP_UTF8 && ::SetConsoleOutputCP(CP_UTF8))
            std::atexit(restoreConsoleCodePage);
    }
}

std::size_t terminalWidth(std::FILE* stream) {
    CONSOLE_SCREEN_BUFFER_INFO screen{};
    if (!::GetConsoleScreenBufferInfo(handleOf(stream), &screen)) return 79;
    const int width = screen.srWindow.Right - screen.srWindow.Left + 1;
    return width > 1 ? std::size_t(width - 1) : 79;
}

// A console without the redraw sequences (before Windows 10, or one that only
// claims them) gets plain lines.
bool isTerminal(std::FILE* stream) {
    DWORD mode = 0;
    return ::GetConsoleMode(handleOf(stream), &mode) &&
           (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

}  // namespace vantrel::cli
