#pragma once

#include <cstdio>
#include <string>

#include "verify/copy_verification.h"

namespace vantrel::cli {

// "250 of 251 VOBUs: 1 missing, 1 stray sector", the counts that are not 0.
std::string tallyText(const verify::CheckTally& tally);

// The check of the copy in `folder` for a reader: a line per VOB set with its
// findings below it, then the total and whether the copy is complete and exact.
void printCopyCheck(std::FILE* out, const std::string& folder, const verify::CopyCheck& check);

}  // namespace vantrel::cli
