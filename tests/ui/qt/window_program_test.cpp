// The window's program as a careless caller may start it (without standard
// streams, under a file-size limit) and as a service manager ends it.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "support/process_runner.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"

namespace vantrel::testing {
namespace {

// The signals the process ignores ("SigIgn:") or catches ("SigCgt:"), from
// its status in /proc.
unsigned long long signalSet(ProcessId process, const std::string& which) {
    std::ifstream status("/proc/" + std::to_string(process) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(which, 0) == 0) return std::stoull(line.substr(which.size()), nullptr, 16);
    }
    return 0;
}

unsigned long long ignoredSignals(ProcessId process) { return signalSet(process, "SigIgn:"); }

std::string descriptorTarget(ProcessId process, int fd) {
    std::error_code error;
    return std::filesystem::read_symlink(
               "/proc/" + std::to_string(process) + "/fd/" + std::to_string(fd), error)
        .string();
}

TEST(WindowProgram, StartsWithItsStandardStreamsOnTheNullDeviceAndFailedWritesAsFailures) {
    TempFolder temp;  // its settings and log, away from the user's
    const ScopedEnv config("XDG_CONFIG_HOME", (temp / "config").c_str());
    const ScopedEnv state("XDG_STATE_HOME", (temp / "state").c_str());
    ChildSetup careless;
    careless.closeStandardStreams = true;
    careless.fileSizeLimit = 1 << 20;
    const ProcessId window = startProgram(VANTREL_WINDOW_PATH, {}, careless);
    // Its first act: until then the three numbers are free and the signals not ignored.
    const unsigned long long wanted = 1ull << (SIGPIPE - 1) | 1ull << (SIGXFSZ - 1);
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int status = 0;
    while ((ignoredSignals(window) & wanted) != wanted &&
           ::waitpid(window, &status, WNOHANG) == 0 && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(ignoredSignals(window) & wanted, wanted) << "SIGPIPE and SIGXFSZ";
    for (int fd = 0; fd <= 2; ++fd) EXPECT_EQ(descriptorTarget(window, fd), "/dev/null") << fd;
    ::kill(window, SIGKILL);
    ::waitpid(window, &status, 0);
}

// As a service manager or `kill` ends it: as by the close button, the
// settings saved and the program ending well.
TEST(WindowProgram, SigtermClosesTheWindowAsItsCloseButtonDoes) {
    TempFolder temp;
    const ScopedEnv config("XDG_CONFIG_HOME", (temp / "config").c_str());
    const ScopedEnv state("XDG_STATE_HOME", (temp / "state").c_str());
    const ProcessId window = startProgram(VANTREL_WINDOW_PATH, {}, {});
    const unsigned long long sigterm = 1ull << (SIGTERM - 1);
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int status = 0;
    while ((signalSet(window, "SigCgt:") & sigterm) == 0 &&
           ::waitpid(window, &status, WNOHANG) == 0 && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ::kill(window, SIGTERM);
    ::waitpid(window, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    const std::string settings = temp / "config/vantrel/registry.reg";
    ASSERT_TRUE(exists(settings)) << "the settings were not saved";
    EXPECT_NE(readText(settings).find("\"DESTPATH\"=\"/\""), std::string::npos)
        << readText(settings);
}

}  // namespace
}  // namespace vantrel::testing
