#include "cli/json_document.h"

#include <nlohmann/json.hpp>

// The names the manual gives the job's outcomes and the check's findings, for nlohmann::json.
namespace vantrel::engine {

NLOHMANN_JSON_SERIALIZE_ENUM(JobOutcome, {{JobOutcome::Done, "done"},
                                          {JobOutcome::Cancelled, "cancelled"},
                                          {JobOutcome::Failed, "failed"},
                                          {JobOutcome::Refused, "refused"}})
NLOHMANN_JSON_SERIALIZE_ENUM(CopyKind, {{CopyKind::Packed, "packed"}, {CopyKind::Sparse, "sparse"}})
NLOHMANN_JSON_SERIALIZE_ENUM(FileOutcome, {{FileOutcome::Done, "done"},
                                           {FileOutcome::Stopped, "cancelled"},
                                           {FileOutcome::Failed, "failed"}})

}  // namespace vantrel::engine

namespace vantrel::verify {

NLOHMANN_JSON_SERIALIZE_ENUM(CopyKind,
                             {{CopyKind::Packed, "packed"}, {CopyKind::Sparse, "sparse"}})
NLOHMANN_JSON_SERIALIZE_ENUM(FindingKind, {{FindingKind::MissingPack, "missing_pack"},
                                           {FindingKind::PackOutOfOrder, "pack_out_of_order"},
                                           {FindingKind::StrayPack, "stray_pack"},
                                           {FindingKind::DamagedMap, "damaged_map"},
                                           {FindingKind::DamagedCopy, "damaged_copy"},
                                           {FindingKind::DamagedPack, "damaged_pack"},
                                           {FindingKind::ForeignSector, "foreign_sector"}})

}  // namespace vantrel::verify

namespace vantrel::cli {
namespace {

// Keys keep the order they are written in, as the manual lists them.
using json = nlohmann::ordered_json;

json refusalObject(const std::optional<engine::FolderRefusal>& refusal) {
    if (!refusal) return nullptr;
    return {{"role", refusal->box == engine::TextBox::txtVobDir ? "source" : "destination"},
            {"folder", refusal->folder},
            {"reason", refusal->reason}};
}

json fileObject(const FileRecord& record) {
    const engine::FileEnd& end = record.end;
    const bool vob = end.kind == engine::FileKind::Vob;
    return {{"name", end.name},
            {"kind", vob ? "vob" : "side_file"},
            {"size", end.size ? json(*end.size) : json(nullptr)},
            {"bytes_read", end.bytesRead},
            {"nv_pck_sectors", vob ? json(end.navPacksWritten) : json(nullptr)},
            {"status", end.outcome},
            {"log_entries", record.entries}};
}

json logObject(const std::string& logFile, const log::LogTally& problems) {
    json written = json::array();
    for (const log::LogFileTally& file : problems.written)
        written.push_back({{"file", file.file}, {"entries", file.entries}, {"held", file.held}});
    return {{"path", logFile},
            {"written", written},
            {"unwritten", problems.unwritten},
            {"unwritten_reason", problems.unwritten > 0 ? json(problems.lastRefusal.file + ": " +
                                                               problems.lastRefusal.problem)
                                                        : json(nullptr)}};
}

json tallyObject(const verify::CheckTally& tally) {
    return {{"vobus", tally.vobus},
            {"packs_matched", tally.packsMatched},
            {"missing", tally.missing},
            {"out_of_order", tally.outOfOrder},
            {"strays", tally.strays},
            {"problems", tally.problems},
            {"chance_matches", tally.chanceMatches},
            {"damaged", tally.damaged},
            {"foreign", tally.foreign}};
}

json checkObject(const verify::CopyCheck* check) {
    if (check == nullptr) return nullptr;
    json sets = json::array();
    for (const verify::VobSetCheck& set : check->sets) {
        json findings = json::array();
        for (const verify::Finding& finding : set.findings)
            findings.push_back({{"kind", finding.kind},
                                {"count", finding.count},
                                {"text", finding.text},
                                {"note", verify::isNote(finding.kind)}});
        sets.push_back({{"name", set.name},
                        {"ifo", set.ifo},
                        {"files", set.files},
                        {"counts", tallyObject(set.tally)},
                        {"findings", findings},
                        {"copy", set.kind}});
    }
    return {{"complete_and_exact", check->completeAndExact()},
            {"total", tallyObject(check->total())},
            {"vob_sets", sets},
            {"passed", check->passed()},
            {"compared_with_source", check->againstSource},
            {"disc_video", check->discVideo.empty() ? json(nullptr) : json(check->discVideo)},
            {"copy", check->kind()}};
}

json plannedObject(const engine::PlannedFile& file) {
    return {{"name", file.name},
            {"kind", file.kind == engine::FileKind::Vob ? "vob" : "side_file"},
            {"size", file.size ? json(*file.size) : json(nullptr)},
            {"problem", file.size ? json(nullptr) : json(file.problem)}};
}

json deletedObject(const engine::StaleFile& file) {
    return {{"name", file.name},
            {"link", file.link},
            {"size", file.size ? json(*file.size) : json(nullptr)}};
}

std::string text(const json& document, bool oneLine) {
    return document.dump(oneLine ? -1 : 2, ' ', false, json::error_handler_t::replace) + "\n";
}

json withDisc(json document, const DiscFacts& disc) {
    document["operand"] = disc.operand;
    document["exit_status"] = disc.exitStatus;
    return document;
}

}  // namespace

std::string jobDocument(const JobFacts& facts) {
    const engine::JobEnd end = facts.report.end().value_or(engine::JobEnd{});
    json files = json::array();
    for (const FileRecord& record : facts.report.files()) files.push_back(fileObject(record));
    const engine::JobTally& tally = end.tally;
    json document = {{"source", end.source},
                     {"destination", end.destination},
                     {"outcome", facts.skipped ? json("skipped") : json(end.outcome)},
                     {"refusal", refusalObject(end.refusal)},
                     {"elapsed_seconds", facts.seconds},
                     {"bytes_read", tally.bytesRead},
                     {"bytes_written", tally.bytesWritten},
                     {"side_files_copied", tally.sideFilesCopied},
                     {"vobs_scanned", tally.vobsScanned},
                     {"nv_pck_sectors_written", tally.navPacksWritten},
                     {"files", files},
                     {"job_log_entries", facts.report.jobEntries()},
                     {"problems", tally.problems.entries()},
                     {"log", logObject(end.logFile, tally.problems)},
                     {"verify", checkObject(facts.check)},
                     {"dry_run", facts.dryRun}};
    document = withDisc(std::move(document), facts.disc);
    document["copy"] = end.copy;
    return text(document, facts.disc.oneLine);
}

std::string planDocument(const JobPlan& plan, const DiscFacts& disc) {
    json deleted = json::array(), files = json::array();
    for (const engine::StaleFile& file : plan.deleted) deleted.push_back(deletedObject(file));
    for (const engine::PlannedFile& file : plan.files) files.push_back(plannedObject(file));
    json document = {{"source", plan.source},    {"destination", plan.destination},
                     {"outcome", "planned"},     {"refusal", nullptr},
                     {"files", files},           {"dry_run", true},
                     {"make", plan.foldersMade}, {"delete", deleted}};
    document = withDisc(std::move(document), disc);
    document["copy"] = plan.sparse ? engine::CopyKind::Sparse : engine::CopyKind::Packed;
    document["bytes_on_disk"] = plan.sparse ? json(plan.sparseBytesOnDisk()) : json(nullptr);
    return text(document, disc.oneLine);
}

std::string verifyDocument(const std::string& destination, const verify::CopyCheck* check,
                           const std::optional<engine::FolderRefusal>& refusal, int exitStatus) {
    return text({{"destination", destination},
                 {"refusal", refusalObject(refusal)},
                 {"verify", checkObject(check)},
                 {"exit_status", exitStatus}},
                false);
}

}  // namespace vantrel::cli
