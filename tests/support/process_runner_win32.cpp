#include <windows.h>

#include <stdexcept>
#include <thread>

#include "platform/wide_text.h"
#include "support/process_runner.h"

namespace vantrel::testing {
namespace {

// One argument as the C runtime's command-line parser reads it back.
std::wstring quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
    std::wstring result = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        result.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        result += c;
    }
    result.append(2 * backslashes, L'\\');
    return result + L"\"";
}

void drain(HANDLE pipe, std::string& into, const std::function<void()>& grown) {
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        into.append(buffer, got);
        if (grown) grown();
    }
}

}  // namespace

ProcessResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::function<void(ProcessId, const std::string&)>& watch,
                         const ChildSetup& setup) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE outRead, outWrite, errRead, errWrite;
    if (!::CreatePipe(&outRead, &outWrite, &inherited, 0) ||
        !::CreatePipe(&errRead, &errWrite, &inherited, 0))
        throw std::runtime_error("CreatePipe failed");
    ::SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    HANDLE nul = ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                               OPEN_EXISTING, 0, nullptr);

    std::wstring commandLine = quoted(platform::toWide(program));
    for (const auto& argument : arguments) commandLine += L" " + quoted(platform::toWide(argument));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = setup.closeStandardStreams ? nullptr : nul;
    startup.hStdOutput = setup.closeStandardStreams ? nullptr : outWrite;
    startup.hStdError = setup.closeStandardStreams ? nullptr : errWrite;
    PROCESS_INFORMATION child{};
    const BOOL started =
        ::CreateProcessW(platform::toWide(program).c_str(), commandLine.data(), nullptr, nullptr,
                         TRUE, 0, nullptr, nullptr, &startup, &child);
    ::CloseHandle(outWrite);
    ::CloseHandle(errWrite);
    ::CloseHandle(nul);
    if (!started) {
        ::CloseHandle(outRead);
        ::CloseHandle(errRead);
        throw std::runtime_error("cannot start " + program);
    }

    ProcessResult result;
    std::thread outReader([&] { drain(outRead, result.out, {}); });
    drain(errRead, result.err, [&] {
        if (watch) watch(child.dwProcessId, result.err);
    });
    outReader.join();
    ::WaitForSingleObject(child.hProcess, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(child.hProcess, &code);
    result.exitStatus = int(code);
    for (HANDLE handle : {outRead, errRead, child.hProcess, child.hThread}) ::CloseHandle(handle);
    return result;
}

}  // namespace vantrel::testing
