#pragma once

#include <string>

#include "platform/file_system.h"

namespace vantrel::cli {

// DEST before a job: a folder the job may work in, or one to be made first
// (it does not exist, but the folder above it does, and may be written to),
// as rsync makes the last folder of its destination.
enum class Destination { Exists, ToBeMade };

// Throws Failure when DEST can be neither: its what() is the line to show
// ("vantrel-cli: invalid destination folder ..."), its reason() the reason.
// Whether another job holds it, or it is the source, is the job's to find.
Destination checkDestination(platform::FileSystem& files, const std::string& folder);

// The folder that DEST is made in: "out/" and "out" are made in ".".
std::string folderAbove(const std::string& folder);

// Makes the folder checkDestination found to be made, with the permissions
// the user's umask gives; throws Failure as checkDestination does, also when
// anything is there by now.
void makeDestination(const std::string& folder);

}  // namespace vantrel::cli
