#pragma once

#include <optional>
#include <string>

#include "cli/job_report.h"
#include "engine/frmMain.h"
#include "verify/copy_verification.h"

namespace vantrel::cli {

// What the JSON document of a job is made of: the job as its report heard
// it, ended. Its keys are described in the manual page (JSON OUTPUT) and never
// change meaning.
struct JobFacts {
    double seconds = 0;
    const JobReport& report;
    // The check of the copy, with --verify; none without it, or when the job
    // did not come to it.
    const verify::CopyCheck* check = nullptr;
};

// The job's document: one JSON object, pretty-printed, ending in a line break.
// Names that are not UTF-8 have their stray bytes replaced by U+FFFD.
std::string jobDocument(const JobFacts& facts);

// The document of --verify DEST alone: the destination and its check, or
// why it could not be checked.
std::string verifyDocument(const std::string& destination, const verify::CopyCheck* check,
                           const std::optional<engine::FolderRefusal>& refusal);

}  // namespace vantrel::cli
