#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace vantrel::cli {

// The program's name in every message, whatever path it was started by.
inline constexpr const char* kProgramName = "vantrel-cli";

// Exit statuses; a signal that stops the job ends the program with 128 + its
// number. kFilesFailed also stands for a copy that --verify found incomplete
// or inexact.
enum ExitStatus { kDone = 0, kJobFailed = 1, kRefused = 2, kFilesFailed = 3 };

struct Options {
    bool dryRun = false;  // check and list, change nothing
    bool json = false;    // one JSON document on stdout at the end
    bool verify = false;  // check DEST's copy against the IFOs' VOBU maps
    bool quiet = false;
    bool alert = false;
    bool sparse = false;              // each kept sector at its own offset: a sparse copy
    bool help = false;                // show the usage and do nothing else
    bool version = false;             // show the version and do nothing else
    std::string source, destination;  // no source: --verify DEST alone

    bool verifyOnly() const { return verify && source.empty(); }
};

// Reads the command line the way GNU tools do: bundled short options (-qa),
// unambiguous abbreviations of long ones (--qui), options anywhere, "--" ends
// them. A usage error takes one line on stderr and a pointer to --help, and
// gives the status to exit with; nothing when the command line is good.
std::optional<int> parseOptions(int argc, char** argv, Options& options);

// The whole usage text; `logFile` is where entries go.
void printUsage(std::FILE* out, const std::string& logFile);

}  // namespace vantrel::cli
