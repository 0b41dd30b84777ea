#pragma once

#include <functional>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/types.h>
#endif

namespace vantrel::testing {

#ifdef _WIN32
using ProcessId = unsigned long;
#else
using ProcessId = pid_t;
#endif

struct ProcessResult {
    // The exit status, or 128 + the signal that ended it (on Windows the
    // process's exit code).
    int exitStatus = -1;
    std::string out, err;
};

// Runs `program` with `arguments`, stdin closed, stdout and stderr captured.
// `watch` is called whenever stderr has grown, with the child's id and all of
// stderr so far: a test can interrupt the child when the output shows the moment.
ProcessResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::function<void(ProcessId, const std::string&)>& watch = {});

}  // namespace vantrel::testing
