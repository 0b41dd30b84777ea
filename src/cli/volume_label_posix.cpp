#include "cli/disc_folder_name.h"

namespace vantrel::cli {

// A Linux drive is a device with a name of its own, or a folder it is mounted on.
std::string volumeLabel(const std::string&) { return ""; }

}  // namespace vantrel::cli
