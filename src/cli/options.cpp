#include "cli/options.h"

#include <getopt.h>

namespace vantrel::cli {
namespace {

const char* const kUsage =
    "Usage: vantrel-cli [OPTION]... SOURCE DEST\n"
    "Write a reduced copy of the DVD-Video folder SOURCE into DEST: every .IFO and\n"
    ".BUP file copied byte for byte, every .VOB replaced by a file of the same name\n"
    "holding only its navigation packs (NV_PCK).\n"
    "\n"
    "DEST loses its old .IFO, .BUP and .VOB files (and symbolic links with those\n"
    "endings) before anything is copied. Failures are echoed here and appended to\n"
    "  %s\n"
    "\n"
    "  -q, --quiet    print nothing but errors\n"
    "  -a, --alert    ring the bell and say \"Done with coping!\" at the end\n"
    "  -h, --help     display this help and exit\n"
    "  -V, --version  output version information and exit\n"
    "\n"
    "Exit status:\n"
    "  0    done\n"
    "  1    the job failed\n"
    "  2    a usage error, an invalid folder or no DVD files\n"
    "  3    done, but some files failed (see the log)\n";

// How a job is stopped, and where the manual is, on each system.
#ifdef _WIN32
const char* const kSystemUsage =
    "  130  stopped by Ctrl-C or Ctrl-Break\n"
    "\n"
    "Full documentation: README.txt beside vantrel-cli.exe\n";
#else
const char* const kSystemUsage =
    "  130  stopped by Ctrl-C (SIGINT)\n"
    "  143  stopped by SIGTERM\n"
    "\n"
    "Full documentation: man vantrel-cli\n";
#endif

const option kLongOptions[] = {
    {"quiet", no_argument, nullptr, 'q'},
    {"alert", no_argument, nullptr, 'a'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};

// What was wrong with the option getopt_long refused, in GNU getopt's words:
// every system's getopt has words of its own, and names the program its way.
std::string optionError(char** argv) {
    const std::string given = argv[optind - 1];
    if (given.rfind("--", 0) != 0) return std::string("invalid option -- '") + char(optopt) + "'";
    if (optopt != 0)
        return "option '" + given.substr(0, given.find('=')) + "' doesn't allow an argument";
    return "unrecognized option '" + given + "'";
}

int usageError(const std::string& message) {
    if (!message.empty()) std::fprintf(stderr, "%s: %s\n", kProgramName, message.c_str());
    std::fprintf(stderr, "Try '%s --help' for more information.\n", kProgramName);
    return kRefused;
}

}  // namespace

void printUsage(std::FILE* out, const std::string& logFile) {
    std::fprintf(out, kUsage, logFile.c_str());
    std::fputs(kSystemUsage, out);
}

std::optional<int> parseOptions(int argc, char** argv, Options& options) {
    opterr = 0;  // the messages are ours (optionError)
    for (int option; (option = getopt_long(argc, argv, "qahV", kLongOptions, nullptr)) != -1;) {
        switch (option) {
            case 'q':
                options.quiet = true;
                break;
            case 'a':
                options.alert = true;
                break;
            case 'h':
                options.help = true;
                break;
            case 'V':
                options.version = true;
                break;
            default:
                return usageError(optionError(argv));
        }
    }
    if (options.help || options.version) return std::nullopt;
    const int operands = argc - optind;
    if (operands == 0) return usageError("missing SOURCE and DEST folder operands");
    if (operands == 1)
        return usageError(std::string("missing DEST folder operand after '") + argv[optind] + "'");
    if (operands > 2) return usageError(std::string("extra operand '") + argv[optind + 2] + "'");
    options.source = argv[optind];
    options.destination = argv[optind + 1];
    return std::nullopt;
}

}  // namespace vantrel::cli
