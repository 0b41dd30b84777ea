#pragma once

#include <string>
#include <vector>

#include "platform/file_system.h"

namespace vantrel::cli {

// DEST before a job: a folder the job may work in, or one to be made first
// (it does not exist, but the folder above it does, and may be written to),
// as rsync makes the last folder of its destination. With `parents`, the
// folders above it that do not exist are made too, as `mkdir -p` makes them.
enum class Destination { Exists, ToBeMade };

// Throws Failure when DEST can be neither: its what() is the line to show
// ("vantrel-cli: invalid destination folder ..."), its reason() the reason
// (for a folder above it that does not exist, without `parents`, that
// folder's name). Whether another job holds it, or it is the source, is the
// job's to find.
Destination checkDestination(platform::FileSystem& files, const std::string& folder,
                             bool parents = false);

// The folders of `folder`'s path that do not exist, the outermost first,
// `folder` last; none when it exists.
std::vector<std::string> missingFolders(platform::FileSystem& files, const std::string& folder);

// The folder that holds `folder`: "." for a relative name of one folder.
std::string folderAbove(const std::string& folder);

// Makes the folder checkDestination found to be made (and with `parents` the
// folders above it), with the permissions the user's umask gives; throws
// Failure as checkDestination does, also when anything is there by now.
void makeDestination(const std::string& folder, bool parents = false);

}  // namespace vantrel::cli
