#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vantrel::registry {

// The registry store's file, read whole and changed under a lock in one atomic
// step. Both return 0 or a Windows error code.

// The file's whole text; a file that is not there, nor its folder, is empty.
std::int32_t readStoreFile(const std::string& path, std::string& text);

// Makes the folder, takes the advisory lock on "<path>.lock", reads the text
// afresh and, when `change` says it changed it, writes the new text to a
// temporary file beside the file and renames it over the file, which keeps its
// permissions: no change is lost to a concurrent one and a crash never leaves
// half a file. A store that is a symbolic link stays one: the file it leads to
// is the one replaced.
std::int32_t changeStoreFile(const std::string& path,
                             const std::function<bool(std::string& text)>& change);

}  // namespace vantrel::registry
