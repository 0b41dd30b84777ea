#include "log/log_file.h"

#include <gtest/gtest.h>

#include "support/faulty_file_system.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"

namespace vantrel::testing {
namespace {

class LogFileTest : public ::testing::Test {
  protected:
    std::string append(const std::string& text, std::string file = "") {
        log::appendToLog(files, logPath(), text, file);
        return file;
    }
    std::string logPath() const { return temp / "Vantrel.log"; }

    TempFolder temp;
    FaultyFileSystem files;
};

TEST_F(LogFileTest, TheLogStaysBesideTheProgramUnlessThatFolderIsTheAdministrators) {
#ifdef _WIN32
    const char* const kSystemProgramFolder = "C:\\Program Files\\Vantrel";
    const ScopedEnv localAppData("LOCALAPPDATA", (temp / "local").c_str());
    const std::string userLog = temp / "local\\Vantrel\\Vantrel.log";
#else
    const char* const kSystemProgramFolder = "/usr/bin";
    const ScopedEnv home("HOME", (temp / "home").c_str());
    const ScopedEnv relative("XDG_STATE_HOME", "relative/state");  // ignored: not absolute
    const std::string userLog = temp / "home/.local/state/vantrel/Vantrel.log";
#endif
    EXPECT_EQ(log::defaultLogFile(files, temp.path()), logPath());
    writeFile(logPath(), "an old log this user may not write to");
    files.refuseWriting = "Vantrel.log";
    EXPECT_EQ(log::defaultLogFile(files, temp.path()), userLog);

    files.refuseWriting = "";
    EXPECT_EQ(log::defaultLogFile(files, kSystemProgramFolder), userLog)
        << "a system folder is left alone even by an administrator, who may write to it";

    files.refuseWriting = temp.path();  // the program folder itself
    EXPECT_EQ(log::defaultLogFile(files, temp.path()), userLog);
    std::string file;
    log::appendToLog(files, userLog, "[X]\r\n", file);
    EXPECT_EQ(file, userLog);
    EXPECT_EQ(readText(userLog), "[X]\r\n") << "its folders are made as needed";
#ifndef _WIN32
    const ScopedEnv state("XDG_STATE_HOME", (temp / "state").c_str());
    EXPECT_EQ(log::defaultLogFile(files, temp.path()), temp / "state/vantrel/Vantrel.log");
#endif
}

TEST_F(LogFileTest, TheFirstEntryCreatesTheLogInTheProgramFolder) {
    EXPECT_EQ(append("[X]\r\n"), logPath());
    EXPECT_EQ(append("more\r\n", "   "), logPath()) << "a blank path means the default log";
    EXPECT_EQ(readText(logPath()), "[X]\r\nmore\r\n");
}

TEST_F(LogFileTest, AGivenPathIsUsedAndKept) {
    EXPECT_EQ(append("a", temp / "other.log"), temp / "other.log");
    EXPECT_EQ(readText(temp / "other.log"), "a");
    EXPECT_FALSE(exists(logPath()));
}

TEST_F(LogFileTest, ALogAtTheLimitGrowsAndOnePastItStartsAfresh) {
    writeFile(logPath(), std::string(51200, 'x'));
    append("entry\r\n");
    EXPECT_EQ(readText(logPath()).size(), 51200u + 7u) << "exactly at the limit: kept";
    append("next\r\n");
    EXPECT_EQ(readText(logPath()), "next\r\n") << "past the limit: deleted first";

    writeFile(logPath(), std::string(51201, 'x'));
    append("fresh\r\n");
    EXPECT_EQ(readText(logPath()), "fresh\r\n");
}

TEST_F(LogFileTest, AnUnwritableLogIsSilent) {
    writeFile(temp / "plain", "a file, not a folder");
    std::string file = temp / "plain/Vantrel.log";
    EXPECT_NO_THROW(log::appendToLog(files, logPath(), "lost", file));
    std::string underAFile;
    EXPECT_NO_THROW(log::appendToLog(files, temp / "plain/state/Vantrel.log", "lost", underAFile));
    makeFolder(logPath());  // a folder where the log should be
    EXPECT_NO_THROW(append("lost"));
    files.failWrite = "Vantrel.log";
    EXPECT_NO_THROW(append("lost"));
}

TEST_F(LogFileTest, ARefusedDeletionAppendsToTheOldLog) {
    writeFile(logPath(), std::string(51201, 'x'));
    files.failRemove = "Vantrel.log";
    append("kept\r\n");
    EXPECT_EQ(readText(logPath()).size(), 51201u + 6u);
}

}  // namespace
}  // namespace vantrel::testing
