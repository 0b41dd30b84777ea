#pragma once

#include <string>
#include <vector>

#include "platform/file_system.h"

namespace vantrel::cli {

// The name of the folder that a shelf of discs gives SOURCE in DIRECTORY: a
// disc image's or drive's name without its extension ("holiday.iso" and
// "/dev/sr0" give "holiday" and "sr0"); a VIDEO_TS folder's parent's name;
// any other folder's own name (a disc's root folder, a DVD folder); a drive's
// root its volume label (Windows). Empty when SOURCE gives none: "/", a
// Windows drive without a label.
std::string discFolderName(platform::FileSystem& system, const std::string& operand);

// A drive's volume label ("HOLIDAY" for E:\ on Windows); empty where there is
// none, and on Linux, whose drives are read as devices or mounted folders.
std::string volumeLabel(const std::string& root);

// One disc of a shelf: its SOURCE and the DEST it gets.
struct ShelfDisc {
    std::string source, destination;
};

// Each SOURCE with its folder in `directory`, in their order. Throws Failure
// with the line of the usage error (without the program's name) when a
// SOURCE gives no name, or two give one name: names are compared without
// regard to letter case, as DIRECTORY may be on a file system that ignores it.
std::vector<ShelfDisc> shelfDiscs(platform::FileSystem& system,
                                  const std::vector<std::string>& sources,
                                  const std::string& directory);

}  // namespace vantrel::cli
