#pragma once

#include <optional>
#include <string>

#include "platform/file_system.h"
#include "verify/copy_verification.h"

namespace vantrel::cli {

// The check of the copy in `destination` (of `system`) against the DVD folder
// `sourceFolder` (of `sourceFiles`) it would be made from, when the copy is
// complete: each of the source's side files is in it byte for byte, so its
// maps are the source's; each VOB has its output; and the check against the
// source finds no loss. Nothing when it is not, or cannot be read.
std::optional<verify::CopyCheck> completeCopy(platform::FileSystem& system,
                                              platform::FileSystem& sourceFiles,
                                              const std::string& sourceFolder,
                                              const std::string& destination);

}  // namespace vantrel::cli
