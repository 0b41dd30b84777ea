#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::cli {

// The program's name in every message, whatever path it was started by.
inline constexpr const char* kProgramName = "vantrel-cli";

// Exit statuses; a signal that stops the job ends the program with 128 + its
// number. kFilesFailed also stands for a copy in which --verify found a loss.
// A shelf of discs ends with the worst of its discs' (see worstStatus).
enum ExitStatus { kDone = 0, kJobFailed = 1, kRefused = 2, kFilesFailed = 3 };

struct Options {
    bool dryRun = false;  // check and list, change nothing
    bool json = false;    // one JSON document on stdout at the end
    bool verify = false;  // check DEST's copy against the IFOs' VOBU maps
    bool quiet = false;
    bool alert = false;
    bool help = false;          // show the usage and do nothing else
    bool version = false;       // show the version and do nothing else
    bool parents = false;       // make the missing folders above DEST
    bool skipComplete = false;  // skip a disc whose copy passes the check
    bool sparse = false;        // each kept sector at its own offset: a sparse copy
    // SOURCE...: none for --verify DEST alone, several for a shelf of discs.
    std::vector<std::string> sources;
    // The job's one SOURCE: the first of `sources`, or a shelf's disc's.
    std::string source;
    // DEST, or with several sources the DIRECTORY that gets a folder for each.
    std::string destination;

    bool verifyOnly() const { return verify && sources.empty(); }
    bool shelf() const { return sources.size() > 1; }
};

// "vantrel-cli: MESSAGE" and a pointer to --help on stderr; the status to end
// with, kRefused.
int usageError(const std::string& message);

// Reads the command line the way GNU tools do: bundled short options (-qa),
// unambiguous abbreviations of long ones (--qui), options anywhere, "--" ends
// them. A usage error takes one line on stderr and a pointer to --help, and
// gives the status to exit with; nothing when the command line is good.
std::optional<int> parseOptions(int argc, char** argv, Options& options);

// The whole usage text; `logFile` is where entries go.
void printUsage(std::FILE* out, const std::string& logFile);

}  // namespace vantrel::cli
