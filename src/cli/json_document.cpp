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

NLOHMANN_JSON_SERIALIZE_ENUM(CopyKind, {{CopyKind::Packed, "packed"}, {CopyKind::Sparse, "sparse"}})
NLOHMANN_JSON_SERIALIZE_ENUM(FindingKind, {{FindingKind::MissingPack, "missing_pack"},
                                           {FindingKind::PackOutOfOrder, "pack_out_of_order"},
                                           {FindingKind::StrayPack, "stray_pack"},
                                           {FindingKind::DamagedMap, "damaged_map"},
                                           {FindingKind::DamagedCopy, "damaged_copy"}})

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
    return {{"vobus", tally.vobus},     {"packs_matched", tally.packsMatched},
            {"missing", tally.missing}, {"out_of_order", tally.outOfOrder},
            {"strays", tally.strays},   {"problems", tally.problems}};
}

json checkObject(const verify::CopyCheck* check) {
    if (check == nullptr) return nullptr;
    json sets = json::array();
    for (const verify::VobSetCheck& set : check->sets) {
        json findings = json::array();
        for (const verify::Finding& finding : set.findings)
            findings.push_back(
                {{"kind", finding.kind}, {"count", finding.count}, {"text", finding.text}});
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
            {"copy", check->kind()}};
}

std::string text(const json& document) {
    return document.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace

std::string jobDocument(const JobFacts& facts) {
    const engine::JobEnd end = facts.report.end().value_or(engine::JobEnd{});
    json files = json::array();
    for (const FileRecord& record : facts.report.files()) files.push_back(fileObject(record));
    const engine::JobTally& tally = end.tally;
    return text({{"source", end.source},
                 {"destination", end.destination},
                 {"outcome", end.outcome},
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
                 {"copy", end.copy}});
}

std::string verifyDocument(const std::string& destination, const verify::CopyCheck* check,
                           const std::optional<engine::FolderRefusal>& refusal) {
    return text({{"destination", destination},
                 {"refusal", refusalObject(refusal)},
                 {"verify", checkObject(check)}});
}

}  // namespace vantrel::cli
