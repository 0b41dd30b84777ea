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
    const ScopedEnv home("HOME", (temp / "home").c_str());
    const ScopedEnv relative("XDG_STATE_HOME", "relative/state");
    EXPECT_EQ(log::defaultLogFile(files, temp.path()), logPath());
    writeFile(logPath(), "an old log this user may not write to");
    files.refuseWriting = "Vantrel.log";
    EXPECT_EQ(log::defaultLogFile(files, temp.path()),
              temp / "home/.local/state/vantrel/Vantrel.log")
        << "a relative XDG_STATE_HOME is ignored";

    files.refuseWriting = "";
    EXPECT_EQ(log::defaultLogFile(files, "/usr/bin"),
              temp / "home/.local/state/vantrel/Vantrel.log")
        << "a system folder is left alone even by root, who may write to it";

    files.refuseWriting = temp.path();
    const ScopedEnv state("XDG_STATE_HOME", (temp / "state").c_str());
    const std::string fallback = log::defaultLogFile(files, temp.path());
    EXPECT_EQ(fallback, temp / "state/vantrel/Vantrel.log");
    std::string file;
    log::appendToLog(files, fallback, "[X]\r\n", file);
    EXPECT_EQ(file, fallback);
    EXPECT_EQ(readText(fallback), "[X]\r\n") << "its folders are made as needed";
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
