#pragma once

#include <optional>
#include <string>

#include "cli/dry_run.h"
#include "cli/job_report.h"
#include "engine/frmMain.h"
#include "verify/copy_verification.h"

namespace vantrel::cli {

// What every document about one disc ends with, and how it is laid out:
// pretty-printed for one disc, on one line for each disc of a shelf (JSON
// Lines). Every document ends in a line break.
struct DiscFacts {
    std::string operand;  // SOURCE as it was given
    int exitStatus = 0;   // the disc's own
    bool oneLine = false;
};

// What the JSON document of a job is made of: the job as its report heard
// it, ended. Its keys are described in the manual page (JSON OUTPUT) and never
// change meaning.
struct JobFacts {
    double seconds = 0;
    const JobReport& report;
    // The check of the copy, with --verify or --skip-complete; none without
    // them, or when the job did not come to it.
    const verify::CopyCheck* check = nullptr;
    DiscFacts disc = {};
    bool skipped = false;  // --skip-complete found the copy complete: no job ran
    bool dryRun = false;
};

// The job's document: one JSON object. Names that are not UTF-8 have their
// stray bytes replaced by U+FFFD.
std::string jobDocument(const JobFacts& facts);

// A dry run's document: what the job would make, delete, copy and scan.
std::string planDocument(const JobPlan& plan, const DiscFacts& disc);

// The document of --verify DEST alone: the destination and its check, or
// why it could not be checked.
std::string verifyDocument(const std::string& destination, const verify::CopyCheck* check,
                           const std::optional<engine::FolderRefusal>& refusal, int exitStatus);

}  // namespace vantrel::cli
