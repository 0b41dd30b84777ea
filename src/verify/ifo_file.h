#pragma once

#include <optional>
#include <string>

#include "dvd/ifo_reader.h"
#include "platform/file_system.h"

// The IFO reader (dvd/ifo_reader.h) on the IFO file at `path` of a folder or
// a disc image. Both throw Failure when the file cannot be opened or read, and
// dvd::IfoError when it is not a sound IFO of its kind.
namespace vantrel::verify {

std::optional<dvd::VobuMap> readVobuMap(platform::FileSystem& files, const std::string& path,
                                        dvd::VobuMapKind kind);

int readTitleSetCount(platform::FileSystem& files, const std::string& path);

}  // namespace vantrel::verify
