#pragma once

#include <cstdio>
#include <string>

#include "cli/progress_display.h"
#include "verify/copy_verification.h"

namespace vantrel::cli {

// "250 of 251 VOBUs in the copy: 1 missing, 2 notes (2 chance matches)", the
// counts that are not 0.
std::string tallyText(const verify::CheckTally& tally);

// "the copy is complete and in order", or "complete, in order and as the
// source" when each NV_PCK was compared with the source; "NOT" when a loss
// was found; what the folder is when it is a disc's own video.
std::string verdictText(const verify::CopyCheck& check);

// The check of the copy in `folder` for a reader: what it is, when it is a
// disc's own video, a line per VOB set with its findings (a note marked as
// one) below it, then the total and the verdict.
void printCopyCheck(std::FILE* out, const std::string& folder, const verify::CopyCheck& check);

// The check for the reader on stdout, or when `quiet` a line on the display
// when a loss was found.
void showCheck(const verify::CopyCheck& check, const std::string& folder, bool quiet,
               ProgressDisplay& display);

}  // namespace vantrel::cli
