// vantrel-cli.exe under Windows' own means: the console's Ctrl-C, the wide
// command line, a program kept in a drive root, the regional settings.

#include <windows.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli/cli_fixture.h"
#include "platform/wide_text.h"
#include "support/dvd_generator.h"
#include "support/faulty_file_system.h"
#include "support/program_file.h"
#include "support/scratch_drive.h"

namespace vantrel::testing {
namespace {

BOOL WINAPI ignoreConsoleEvent(DWORD) { return TRUE; }

bool hasConsole() {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

// ctest runs this test a second time under script(1), whose terminal gives
// Wine's programs a console.
TEST_F(CliTest, CtrlCOnTheConsoleClosesTheOutputWithWhatItHolds) {
    if (!hasConsole()) GTEST_SKIP() << "needs a console to send Ctrl-C on";
    const std::string vob = source() + "\\VTS_01_1.VOB";
    const Bytes start = makeVob(600, 3, 1);
    writeFile(vob, start);
    std::filesystem::resize_file(nativePath(vob), std::uintmax_t{16} << 30);  // 16 GiB
    ::SetConsoleCtrlHandler(ignoreConsoleEvent, TRUE);  // the event reaches every process on it
    bool sent = false;
    const auto result =
        runProgram(program(), {source(), destination()}, [&](ProcessId, const std::string& err) {
            if (!sent && err.find("VTS_01_1.VOB") != std::string::npos) {
                ::Sleep(200);
                sent = ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) != 0;
            }
        });
    ::SetConsoleCtrlHandler(ignoreConsoleEvent, FALSE);
    EXPECT_TRUE(sent);
    EXPECT_EQ(result.exitStatus, 130) << result.err;
    EXPECT_EQ(readFile(destination() + "\\VTS_01_1.VOB"), expectedNavPacks(start));
    EXPECT_NE(result.err.find("stopping: the current file is closed"), std::string::npos);
    EXPECT_EQ(log(), "");
}

// Windows mounts an image itself: the program says how, and touches nothing.
TEST_F(CliTest, ADiscImageIsRefusedWithHowToMountOne) {
    const std::string image = temp / "film.iso";
    writeFile(image, patternBytes(64 * 1024, 5));
    const auto result = run({"--json", image, temp / "unmade"});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.err, "vantrel-cli: '" + image +
                              "' is a file, not a folder: disc images are read on Linux only; "
                              "mount it (Mount in its menu in Explorer, or "
                              "Mount-DiskImage in PowerShell; on Windows 7, which has neither, "
                              "any tool that mounts images as drives) and give the VIDEO_TS "
                              "folder of its drive\n");
    const auto document = nlohmann::json::parse(result.out);
    EXPECT_EQ(document["outcome"], "refused");
    EXPECT_EQ(document["refusal"]["reason"], "disc images are read on Linux only");
    EXPECT_FALSE(exists(temp / "unmade"));
}

// Explorer's properties show what the program is; the loader runs it with the
// user's own rights, and no window needs the common controls.
TEST(CliProgramFileTest, HoldsItsManifestAndItsVersion) {
    const std::string manifest = programResource(VANTREL_CLI_PATH, RT_MANIFEST);
    EXPECT_NE(manifest.find(R"(level="asInvoker")"), std::string::npos) << manifest;
    EXPECT_EQ(manifest.find("Common-Controls"), std::string::npos) << manifest;
    EXPECT_EQ(versionText(VANTREL_CLI_PATH, "ProductName"), "Vantrel Extractor");
    EXPECT_EQ(versionText(VANTREL_CLI_PATH, "ProductVersion"), VANTREL_VERSION);
    EXPECT_EQ(versionText(VANTREL_CLI_PATH, "CompanyName"), "The Vantrel Extractor authors");
    EXPECT_EQ(versionText(VANTREL_CLI_PATH, "OriginalFilename"), "vantrel-cli.exe");
}

TEST_F(CliTest, HelpDescribesWindows) {
    const std::string help = run({"--help"}).out;
    EXPECT_NE(help.find("\n  130  stopped by Ctrl-C or Ctrl-Break\n"), std::string::npos) << help;
    EXPECT_EQ(help.find("SIGTERM"), std::string::npos) << "no signals on Windows";
    EXPECT_NE(help.find("\nFull documentation: README.txt beside vantrel-cli.exe\n"),
              std::string::npos)
        << help;
}

// The progress line on a console screen of its own, read back as the user
// would see it: redrawn in place where the console obeys escape sequences,
// plain lines where it only claims to (Wine's), never the sequences as text.
TEST_F(CliTest, ProgressOnTheConsoleShowsNoEscapeSequences) {
    if (!hasConsole()) GTEST_SKIP() << "needs a console to make a screen on";
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const HANDLE screen = ::CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE,
                                                      FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                      &inherited, CONSOLE_TEXTMODE_BUFFER, nullptr);
    ASSERT_NE(screen, INVALID_HANDLE_VALUE);
    makeDvdFolder(source(), 2, 400);
    std::wstring commandLine = L"vantrel-cli.exe \"" + platform::toWide(source()) + L"\" \"" +
                               platform::toWide(destination()) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = screen;
    PROCESS_INFORMATION child{};
    ASSERT_TRUE(::CreateProcessW(platform::toWide(program()).c_str(), commandLine.data(), nullptr,
                                 nullptr, TRUE, 0, nullptr, nullptr, &startup, &child));
    ::WaitForSingleObject(child.hProcess, INFINITE);
    DWORD status = 0;
    ::GetExitCodeProcess(child.hProcess, &status);
    EXPECT_EQ(status, 0u);

    CONSOLE_SCREEN_BUFFER_INFO info{};
    ASSERT_TRUE(::GetConsoleScreenBufferInfo(screen, &info));
    std::wstring shown(std::size_t(info.dwSize.X) * std::size_t(info.dwCursorPosition.Y + 1), L' ');
    DWORD read = 0;
    ::ReadConsoleOutputCharacterW(screen, shown.data(), DWORD(shown.size()), {0, 0}, &read);
    for (HANDLE handle : {child.hProcess, child.hThread, screen}) ::CloseHandle(handle);
    const std::string text = platform::toUtf8(shown.substr(0, read));
    EXPECT_EQ(text.find('\x1b'), std::string::npos) << text;
    EXPECT_EQ(text.find("[K"), std::string::npos) << text;
    EXPECT_NE(text.find(" VOBs scanned, "), std::string::npos) << "the summary shows: " << text;
}

TEST_F(CliTest, NamesOutsideTheCodePageArriveWholeFromTheCommandLine) {
    const std::string greek = temp / "\xCE\x94\xCE\xAF\xCF\x83\xCE\xBA\xCE\xBF\xCF\x82";
    makeDvdFolder(greek, 1, 20);
    const std::string out = temp / "\xE5\x87\xBA\xE5\x8A\x9B";
    makeFolder(out);
    auto result = run({greek, out});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(readFile(out + "\\VTS_01_1.VOB"),
              expectedNavPacks(readFile(greek + "\\VTS_01_1.VOB")));
    result = run({greek + "-\xE5\x90\x8D", out});
    EXPECT_EQ(result.err, "vantrel-cli: invalid source folder '" + greek +
                              "-\xE5\x90\x8D': " + described(kNoSuchFolder) + "\n")
        << "UTF-8 out as it came in";
}

TEST_F(CliTest, AProgramKeptInADriveRootLogsThere) {
    const ScratchDrive drive;
    if (!drive.root()) GTEST_SKIP() << kNoScratchDrive;
    std::filesystem::copy_file(nativePath(program()), L"T:\\vantrel-cli.exe");
    const auto help = runProgram("T:\\vantrel-cli.exe", {"--help"});
    EXPECT_NE(help.out.find("\n  T:\\Vantrel.log\n"), std::string::npos) << help.out;
    makeDvdFolder(source(), 1, 4);
    makeFolder(destination() + "\\VTS_01_0.IFO");  // one failure to log
    const auto result = runProgram("T:\\vantrel-cli.exe", {"-q", source(), destination()});
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_EQ(readText("T:\\Vantrel.log").rfind("[CopyFile]\r\n", 0), 0u);
    EXPECT_NE(result.err.find("1 problem was written to T:\\Vantrel.log."), std::string::npos)
        << result.err;
}

// ctest runs this test a second time with Finnish regional settings (under
// Wine, LC_ALL), whose separators are "." and ".".
TEST_F(CliTest, TheLogUsesTheRegionalDateAndTimeSeparators) {
    wchar_t date[8] = {}, time[8] = {};
    ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDATE, date, 8);
    ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STIME, time, 8);
    makeDvdFolder(source(), 1, 4);
    makeFolder(destination() + "\\VTS_01_0.IFO");  // one failure to log
    EXPECT_EQ(run({"-q", source(), destination()}).exitStatus, 3);
    const std::string stamp = log().substr(log().find("\r\n") + 2, 19);  // dd/mm/yyyy hh:MM:ss
    const std::string separators =
        platform::toUtf8(std::wstring(2, date[0]) + std::wstring(2, time[0]));
    EXPECT_EQ(stamp.substr(2, 1) + stamp.substr(5, 1) + stamp.substr(13, 1) + stamp.substr(16, 1),
              separators)
        << stamp;
}

}  // namespace
}  // namespace vantrel::testing
