#include "cli/dry_run.h"

#include <algorithm>

#include "cli/progress_display.h"
#include "engine/job_files.h"
#include "platform/dir_listing.h"
#include "platform/paths.h"
#include "verify/ifo_file.h"

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

// The VOBUs the IFOs among `planned` list, each opened by an NV_PCK that a
// sparse copy keeps; maps that cannot be read count none.
std::int64_t vobusListed(platform::FileSystem& files, const std::string& source,
                         const std::vector<engine::PlannedFile>& planned) {
    std::int64_t vobus = 0;
    const auto count = [&](const std::string& name, dvd::VobuMapKind kind) {
        try {
            const auto map = verify::readVobuMap(files, platform::joinPath(source, name), kind);
            vobus += map ? std::int64_t(map->size()) : 0;
        } catch (const std::exception&) {
        }
    };
    for (const engine::PlannedFile& file : planned) {
        if (platform::matchesWildcard(file.name, "video_ts.ifo")) {
            count(file.name, dvd::VobuMapKind::VideoManagerMenu);
        } else if (platform::matchesWildcard(file.name, "vts_??_0.ifo")) {
            count(file.name, dvd::VobuMapKind::TitleSetMenu);
            count(file.name, dvd::VobuMapKind::Titles);
        }
    }
    return vobus;
}

}  // namespace

std::int64_t JobPlan::bytesOf(engine::FileKind kind) const {
    std::int64_t bytes = 0;
    for (const engine::PlannedFile& file : files) {
        if (file.kind == kind) bytes += file.size.value_or(0);
    }
    return bytes;
}

std::int64_t JobPlan::sparseBytesOnDisk() const {
    return bytesOf(engine::FileKind::SideFile) + vobus * kUsualBlock;
}

JobPlan planJob(platform::FileSystem& files, const std::string& source,
                const std::string& destination, std::vector<std::string> foldersMade, bool sparse) {
    JobPlan plan{source, destination, std::move(foldersMade), {}, {}};
    if (plan.foldersMade.empty()) plan.deleted = engine::staleFiles(files, destination);
    plan.files = engine::jobFiles(files, source);
    plan.sparse = sparse;
    if (sparse) plan.vobus = vobusListed(files, source, plan.files);
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
    // A sparse copy is as long as the disc; on disk it takes a block for each NV_PCK sector.
    if (plan.sparse)
        std::fprintf(out,
                     "Sparse copy: its VOB files %s long, as their sources are; on disk about %s "
                     "with the side files: %s (by the IFOs' VOBU maps), each in a block of its "
                     "own (%lld KiB on most file systems).\n",
                     humanBytes(double(vobBytes)).c_str(),
                     humanBytes(double(plan.sparseBytesOnDisk())).c_str(),
                     counted(plan.vobus, "NV_PCK sector", "NV_PCK sectors").c_str(),
                     static_cast<long long>(kUsualBlock / 1024));
}

}  // namespace vantrel::cli
