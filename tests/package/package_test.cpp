// The Debian package as `make package` leaves it: what it holds, and what
// Debian's own checkers say of it. Each check needs its tool and says so when
// the tool is missing (scripts/install-deps.sh installs them all).

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

#include "support/process_runner.h"
#include "support/temp_folder.h"

namespace vantrel::testing {
namespace {

// The program `name` as the shell would find it on PATH; empty when missing.
std::string findProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "/usr/bin:/bin");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const std::string candidate = folder + "/" + name;
        if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return "";
}

class PackageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!exists(package))
            GTEST_SKIP() << "no package to check at " << package << ": `make package` builds it";
        dpkgDeb = findProgram("dpkg-deb");
        if (dpkgDeb.empty()) GTEST_SKIP() << "dpkg-deb is not installed";
        const auto unpacked = runProgram(dpkgDeb, {"--extract", package, root()});
        ASSERT_EQ(unpacked.exitStatus, 0) << unpacked.err;
    }
    std::string root() const { return temp / "root"; }
    std::string field(const std::string& name) {
        return runProgram(dpkgDeb, {"--field", package, name}).out;
    }

    const std::string package = VANTREL_PACKAGE_FILE;
    std::string dpkgDeb;
    TempFolder temp;
};

TEST_F(PackageTest, HoldsBothProgramsTheirManualPagesDesktopFilesAndCopyright) {
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root())) {
        if (entry.is_regular_file())
            files.insert(std::filesystem::relative(entry.path(), root()).string());
    }
    const std::set<std::string> expected = {
        "usr/bin/vantrel",
        "usr/bin/vantrel-cli",
        "usr/share/applications/io.github.vantrel.Vantrel.desktop",
        "usr/share/bash-completion/completions/vantrel-cli",
        "usr/share/doc/vantrel/changelog.gz",
        "usr/share/doc/vantrel/copyright",
        "usr/share/icons/hicolor/16x16/apps/vantrel.png",
        "usr/share/icons/hicolor/32x32/apps/vantrel.png",
        "usr/share/icons/hicolor/64x64/apps/vantrel.png",
        "usr/share/icons/hicolor/scalable/apps/vantrel.svg",
        "usr/share/man/man1/vantrel-cli.1.gz",
        "usr/share/man/man1/vantrel.1.gz",
        "usr/share/metainfo/io.github.vantrel.Vantrel.metainfo.xml",
    };
    EXPECT_EQ(files, expected);

    EXPECT_EQ(field("Package"), "vantrel\n");
    EXPECT_EQ(field("Version"), VANTREL_VERSION "\n");
    EXPECT_EQ(field("Section"), "video\n");
    const std::string depends = field("Depends");
    EXPECT_NE(depends.find("libc6 "), std::string::npos) << "read off the programs: " << depends;
    EXPECT_NE(depends.find("libqt6widgets6 "), std::string::npos) << depends;
    const auto version = runProgram(root() + "/usr/bin/vantrel-cli", {"--version"});
    EXPECT_EQ(version.out, "vantrel-cli (Vantrel Extractor) " VANTREL_VERSION "\n")
        << "the package is older than the sources: `make package` again";
}

TEST_F(PackageTest, LintianFindsNoErrors) {
    const std::string lintian = findProgram("lintian");
    if (lintian.empty()) GTEST_SKIP() << "lintian is not installed: the package went unchecked";
    const auto result = runProgram(lintian, {"--fail-on", "error", package});
    EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
    EXPECT_EQ(result.out.find("E: "), std::string::npos) << result.out;
}

TEST_F(PackageTest, DesktopEntryAndAppStreamMetadataValidate) {
    const std::string desktopValidate = findProgram("desktop-file-validate");
    const std::string appstream = findProgram("appstreamcli");
    if (desktopValidate.empty() || appstream.empty())
        GTEST_SKIP() << "desktop-file-validate (desktop-file-utils) or appstreamcli (appstream) "
                        "is not installed: the desktop files went unchecked";
    const auto desktop = runProgram(
        desktopValidate, {root() + "/usr/share/applications/io.github.vantrel.Vantrel.desktop"});
    EXPECT_EQ(desktop.exitStatus, 0);
    EXPECT_EQ(desktop.out + desktop.err, "") << "not even a hint";
    // The whole tree: the metadata's launchable must be a desktop entry beside it.
    const auto metadata = runProgram(appstream, {"validate-tree", "--no-net", root()});
    EXPECT_EQ(metadata.exitStatus, 0) << metadata.out << metadata.err;
}

// The time a package was stamped with: the date field of its first member's
// header in the ar archive, seconds since 1970.
std::string stampOf(const Bytes& package) {
    const std::size_t dateAt = 8 + 16, dateLength = 12;  // after "!<arch>\n" and the name
    if (package.size() < dateAt + dateLength) return "";
    std::string date(package.begin() + dateAt, package.begin() + dateAt + dateLength);
    date.erase(date.find_last_not_of(' ') + 1);
    return date;
}

// Made again from the same build, the package is the same byte for byte:
// every time stamp in it is one fixed time, a commit's date (`make package`
// sets SOURCE_DATE_EPOCH), not the time it was made.
TEST_F(PackageTest, IsMadeAgainByteForByteWithTheCommitsDate) {
    const std::string cpack = findProgram("cpack");
    if (cpack.empty()) GTEST_SKIP() << "cpack is not installed";
    const Bytes made = readFile(package);
    const std::string stamp = stampOf(made);
    const char* given = std::getenv("SOURCE_DATE_EPOCH");
    const std::string git = findProgram("git");
    if (!git.empty() && (given == nullptr || stamp != given)) {
        const auto dates = runProgram(git, {"-C", VANTREL_SOURCE_DIR, "log", "--format=%ct"});
        if (dates.exitStatus == 0) {
            EXPECT_NE(("\n" + dates.out).find("\n" + stamp + "\n"), std::string::npos)
                << "the package's time, " << stamp << ", is no commit's date";
        }
    }
    const std::string again = temp / "again";
    const auto result =
        runProgram(findProgram("env"),
                   {"SOURCE_DATE_EPOCH=" + stamp, cpack, "--config", VANTREL_PACKAGE_CONFIG, "-B",
                    again, "-D", "CPACK_OUTPUT_FILE_PREFIX=" + again});
    ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
    const std::string name = std::filesystem::path(package).filename();
    EXPECT_TRUE(readFile(again + "/" + name) == made)
        << "made again, the package differs (or build/release is newer than it: make package)";
}

}  // namespace
}  // namespace vantrel::testing
