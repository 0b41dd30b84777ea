#include "cli/verify_report.h"

#include "cli/options.h"

namespace vantrel::cli {

std::string tallyText(const verify::CheckTally& tally) {
    std::string text = std::to_string(tally.packsMatched) + " of " +
                       counted(tally.vobus, "VOBU", "VOBUs") + " in the copy";
    std::string counts;
    const auto add = [&](std::int64_t count, const std::string& what) {
        if (count > 0) counts += (counts.empty() ? "" : ", ") + what;
    };
    add(tally.missing, std::to_string(tally.missing) + " missing");
    add(tally.outOfOrder, std::to_string(tally.outOfOrder) + " out of order");
    add(tally.damaged, std::to_string(tally.damaged) + " damaged");
    add(tally.foreign, counted(tally.foreign, "sector the scanner would not keep",
                               "sectors the scanner would not keep"));
    add(tally.problems,
        counted(tally.problems, "problem with a map or file", "problems with maps or files"));
    add(tally.strays, counted(tally.strays, "note", "notes") + " (" +
                          counted(tally.chanceMatches, "chance match", "chance matches") + ")");
    return counts.empty() ? text : text + ": " + counts;
}

std::string verdictText(const verify::CopyCheck& check) {
    if (!check.discVideo.empty()) return "the folder is a disc's own video, NOT a reduced copy";
    const char* what =
        check.againstSource ? "complete, in order and as the source" : "complete and in order";
    return std::string(check.passed() ? "the copy is " : "the copy is NOT ") + what;
}

void printCopyCheck(std::FILE* out, const std::string& folder, const verify::CopyCheck& check) {
    const char* kind = !check.discVideo.empty()                   ? ""
                       : check.kind() == verify::CopyKind::Sparse ? ", a sparse copy,"
                                                                  : ", a packed copy,";
    std::fprintf(out, "Check of '%s'%s against the VOBU maps of its IFOs%s:\n",
                 printable(folder).c_str(), kind,
                 check.againstSource ? ", each NV_PCK against the source's sector" : "");
    if (!check.discVideo.empty())
        std::fprintf(out,
                     "  This folder holds a disc's own video, not a reduced copy: %s has sectors "
                     "the scanner would not keep; they are counted below, not listed.\n",
                     printable(check.discVideo).c_str());
    for (const verify::VobSetCheck& set : check.sets) {
        std::fprintf(out, "  %s (%s): %s\n", set.name.c_str(), printable(set.ifo).c_str(),
                     tallyText(set.tally).c_str());
        for (const verify::Finding& finding : set.findings)
            std::fprintf(out, "    %s%s\n", verify::isNote(finding.kind) ? "note: " : "",
                         printable(finding.text).c_str());
    }
    std::fprintf(out, "  Total, %s: %s; %s\n",
                 counted(std::int64_t(check.sets.size()), "VOB set", "VOB sets").c_str(),
                 tallyText(check.total()).c_str(), verdictText(check).c_str());
}

void showCheck(const verify::CopyCheck& check, const std::string& folder, bool quiet,
               ProgressDisplay& display) {
    if (!quiet) {
        printCopyCheck(stdout, folder, check);
    } else if (!check.passed()) {
        display.message(std::string(kProgramName) + ": in '" + folder + "' " + verdictText(check) +
                        ": " + tallyText(check.total()));
    }
}

}  // namespace vantrel::cli
