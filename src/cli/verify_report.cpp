#include "cli/verify_report.h"

#include "cli/progress_display.h"

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
    add(tally.strays, counted(tally.strays, "stray sector", "stray sectors"));
    add(tally.problems,
        counted(tally.problems, "problem with a map or file", "problems with maps or files"));
    return counts.empty() ? text : text + ": " + counts;
}

void printCopyCheck(std::FILE* out, const std::string& folder, const verify::CopyCheck& check) {
    std::fprintf(out, "Check of '%s', a %s copy, against the VOBU maps of its IFOs:\n",
                 printable(folder).c_str(),
                 check.kind() == verify::CopyKind::Sparse ? "sparse" : "packed");
    for (const verify::VobSetCheck& set : check.sets) {
        std::fprintf(out, "  %s (%s): %s\n", set.name.c_str(), printable(set.ifo).c_str(),
                     tallyText(set.tally).c_str());
        for (const verify::Finding& finding : set.findings)
            std::fprintf(out, "    %s\n", printable(finding.text).c_str());
    }
    std::fprintf(out, "  Total, %s: %s; %s\n",
                 counted(std::int64_t(check.sets.size()), "VOB set", "VOB sets").c_str(),
                 tallyText(check.total()).c_str(),
                 check.completeAndExact() ? "the copy is complete and exact"
                                          : "the copy is NOT complete and exact");
}

}  // namespace vantrel::cli
