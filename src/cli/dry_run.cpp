#include "cli/dry_run.h"

#include <algorithm>

#include "cli/progress_display.h"
#include "engine/job_files.h"

namespace vantrel::cli {
namespace {

void printStep(std::FILE* out, const char* verb, const std::string& name, int nameWidth,
               const std::string& after) {
    std::fprintf(out, "%-7s %-*s%s\n", verb, nameWidth, printable(name).c_str(), after.c_str());
}

// "  1048576 bytes", right-aligned in `digits`.
std::string sizeText(std::int64_t size, int digits) {
    const std::string number = std::to_string(size);
    return "  " + std::string(std::size_t(std::max(0, digits - int(number.size()))), ' ') + number +
           " bytes";
}

// The size of a file to copy or scan, or why it cannot be measured.
std::string sizeText(const engine::PlannedFile& file, int digits) {
    if (!file.size) return "  (cannot be measured: " + file.problem + ")";
    return sizeText(*file.size, digits);
}

// The size of a file to delete; a link is deleted, not what it leads to.
std::string sizeText(const engine::StaleFile& file) {
    if (file.link) return "  (a symbolic link)";
    return file.size ? sizeText(*file.size, 0) : "";
}

}  // namespace

JobPlan planJob(platform::FileSystem& files, const std::string& source,
                const std::string& destination, std::vector<std::string> foldersMade) {
    JobPlan plan{source, destination, std::move(foldersMade), {}, {}};
    if (plan.foldersMade.empty()) plan.deleted = engine::staleFiles(files, destination);
    plan.files = engine::jobFiles(files, source);
    return plan;
}

void printDryRun(std::FILE* out, const JobPlan& plan) {
    int nameWidth = 0, digits = 0;
    for (const engine::PlannedFile& file : plan.files) {
        nameWidth = std::max(nameWidth, int(printable(file.name).size()));
        if (file.size) digits = std::max(digits, int(std::to_string(*file.size).size()));
    }

    for (const std::string& folder : plan.foldersMade) printStep(out, "make", folder, 0, "");
    int staleWidth = 0;
    for (const engine::StaleFile& file : plan.deleted)
        staleWidth = std::max(staleWidth, int(printable(file.name).size()));
    for (const engine::StaleFile& file : plan.deleted)
        printStep(out, "delete", file.name, staleWidth, sizeText(file));
    long long sideFiles = 0, vobs = 0;
    std::int64_t sideBytes = 0, vobBytes = 0;
    for (const engine::PlannedFile& file : plan.files) {
        const bool vob = file.kind == engine::FileKind::Vob;
        printStep(out, vob ? "scan" : "copy", file.name, nameWidth, sizeText(file, digits));
        ++(vob ? vobs : sideFiles);
        (vob ? vobBytes : sideBytes) += file.size.value_or(0);
    }
    const std::string shown = printable(plan.destination);
    if (!plan.foldersMade.empty()) {
        std::fprintf(out, "Dry run, nothing changed: '%s' would be made, ", shown.c_str());
    } else {
        std::fprintf(
            out, "Dry run, nothing changed: %s would be deleted from '%s', ",
            counted(static_cast<long long>(plan.deleted.size()), "old file", "old files").c_str(),
            shown.c_str());
    }
    std::fprintf(out, "%s (%s) copied and %s (%s) scanned for their NV_PCK sectors.\n",
                 counted(sideFiles, "side file", "side files").c_str(),
                 humanBytes(double(sideBytes)).c_str(), counted(vobs, "VOB", "VOBs").c_str(),
                 humanBytes(double(vobBytes)).c_str());
}

}  // namespace vantrel::cli
