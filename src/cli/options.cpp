#include "cli/options.h"

#include <getopt.h>

namespace vantrel::cli {
namespace {

const char* const kUsage =
    "Usage: vantrel-cli [OPTION]... SOURCE DEST\n"
    "  or:  vantrel-cli [OPTION]... SOURCE... DIRECTORY\n"
    "  or:  vantrel-cli [OPTION]... --verify DEST\n"
    "Write a reduced copy of the DVD-Video folder SOURCE into DEST: every .IFO and\n"
    ".BUP file copied byte for byte, every .VOB replaced by a file of the same name\n"
    "holding only its navigation packs (NV_PCK). With several sources, each gets a\n"
    "folder in DIRECTORY named after it: an image's name without its extension, a\n"
    "disc root's name, a VIDEO_TS folder's parent's name.\n"
    "\n"
    "%s"
    "\n"
    "DEST loses its old .IFO, .BUP and .VOB files (and symbolic links with those\n"
    "endings) before anything is copied. Failures are echoed here and appended to\n"
    "  %s\n"
    "\n"
    "  -n, --dry-run        check the folders as the job would, list what it would\n"
    "                       delete and write, and change nothing\n"
    "      --json           end with one JSON document on stdout instead of the\n"
    "                       summary; one line per disc with several sources\n"
    "      --verify         check the copy in DEST against the VOBU maps of its IFOs\n"
    "                       and, after a job, each NV_PCK against the source's\n"
    "                       sector; report per VOB set; with DEST alone, check an\n"
    "                       existing copy\n"
    "  -p, --parents        make the missing folders above DEST or DIRECTORY\n"
    "  -S, --sparse         write each VOB's NV_PCK sectors at their own offsets in a\n"
    "                       file of the VOB's length, holes elsewhere: a copy that\n"
    "                       DVD tools read by the IFOs' sector addresses (not on\n"
    "                       FAT or exFAT, which give holes space)\n"
    "      --skip-complete  skip a SOURCE whose DEST already passes --verify's check\n"
    "                       against it, its side files the source's byte for byte\n"
    "  -q, --quiet          print nothing but errors\n"
    "  -a, --alert          ring the bell and say \"Done with coping!\" at the end\n"
    "  -h, --help           display this help and exit\n"
    "  -V, --version        output version information and exit\n"
    "\n"
    "Exit status (with several sources, the worst disc's, in the order 1, 3, 2, 0):\n"
    "  0    done (with --verify: and no NV_PCK lost), or skipped as complete\n"
    "  1    the job failed, or standard output could not be written\n"
    "  2    a usage error, an invalid folder or disc image, or no DVD files\n"
    "  3    done, but some files failed (see the log), or --verify found an NV_PCK\n"
    "       missing, out of order or damaged, or a sector the scanner would not\n"
    "       keep, or could not read a map; a failed job keeps 1\n";

// Where disc images are read, how a job is stopped, and where the manual is,
// on each system.
#ifdef _WIN32
const char* const kSourceUsage =
    "A SOURCE that holds no DVD file but a VIDEO_TS folder (in any letter case),\n"
    "a disc's root folder (E:\\), stands for that folder. Disc images are read on\n"
    "Linux only: mount one first (Explorer's Mount; on Windows 7, a tool that\n"
    "mounts images). DEST is made when it does not exist but the folder above it\n"
    "does (with --parents, the missing folders above it too). A drive's folder in\n"
    "DIRECTORY is named after its volume label.\n";
const char* const kSystemUsage =
    "  130  stopped by Ctrl-C or Ctrl-Break\n"
    "\n"
    "Full documentation: README.txt beside vantrel-cli.exe\n";
#else
const char* const kSourceUsage =
    "A SOURCE that holds no DVD file but a VIDEO_TS folder (in any letter case),\n"
    "a disc's root folder, stands for that folder. SOURCE may also be a disc image\n"
    "(.iso) or a drive (/dev/sr0), read without mounting it. DEST is made when it\n"
    "does not exist but the folder above it does (with --parents, the missing\n"
    "folders above it too).\n";
const char* const kSystemUsage =
    "  130  stopped by Ctrl-C (SIGINT)\n"
    "  143  stopped by SIGTERM\n"
    "\n"
    "Full documentation: man vantrel-cli\n";
#endif

// Long options without a short one.
enum : int { kJsonOption = 0x100, kVerifyOption, kSkipCompleteOption };

const option kLongOptions[] = {
    {"dry-run", no_argument, nullptr, 'n'},
    {"json", no_argument, nullptr, kJsonOption},
    {"verify", no_argument, nullptr, kVerifyOption},
    {"parents", no_argument, nullptr, 'p'},
    {"skip-complete", no_argument, nullptr, kSkipCompleteOption},
    {"sparse", no_argument, nullptr, 'S'},
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
    const std::string name = given.substr(0, given.find('='));
    if (optopt != 0) return "option '" + name + "' doesn't allow an argument";
    std::string possibilities;
    for (const option* known = kLongOptions; known->name != nullptr; ++known) {
        if (std::string("--").append(known->name).rfind(name, 0) == 0)
            possibilities += std::string(" '--") + known->name + "'";
    }
    if (possibilities.find("' '") != std::string::npos)
        return "option '" + name + "' is ambiguous; possibilities:" + possibilities;
    return "unrecognized option '" + given + "'";
}

// SOURCE... and DEST, or DEST alone after --verify.
std::optional<int> takeOperands(int operands, char** operand, Options& options) {
    if (options.dryRun && options.verify)
        return usageError("--dry-run cannot be combined with --verify");
    if (operands == 0)
        return usageError(options.verify ? "missing DEST folder operand"
                                         : "missing SOURCE and DEST folder operands");
    if (operands == 1 && options.verify) {
        options.destination = operand[0];
        return std::nullopt;
    }
    if (operands == 1)
        return usageError(std::string("missing DEST folder operand after '") + operand[0] + "'");
    options.sources.assign(operand, operand + operands - 1);
    options.source = options.sources.front();
    options.destination = operand[operands - 1];
    return std::nullopt;
}

}  // namespace

int usageError(const std::string& message) {
    if (!message.empty()) std::fprintf(stderr, "%s: %s\n", kProgramName, message.c_str());
    std::fprintf(stderr, "Try '%s --help' for more information.\n", kProgramName);
    return kRefused;
}

void printUsage(std::FILE* out, const std::string& logFile) {
    std::fprintf(out, kUsage, kSourceUsage, logFile.c_str());
    std::fputs(kSystemUsage, out);
}

std::optional<int> parseOptions(int argc, char** argv, Options& options) {
    opterr = 0;  // the messages are ours (optionError)
    for (int option; (option = getopt_long(argc, argv, "npSqahV", kLongOptions, nullptr)) != -1;) {
        switch (option) {
            case 'n':
                options.dryRun = true;
                break;
            case kJsonOption:
                options.json = true;
                break;
            case kVerifyOption:
                options.verify = true;
                break;
            case 'p':
                options.parents = true;
                break;
            case kSkipCompleteOption:
                options.skipComplete = true;
                break;
            case 'S':
                options.sparse = true;
                break;
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
    return takeOperands(argc - optind, argv + optind, options);
}

}  // namespace vantrel::cli
