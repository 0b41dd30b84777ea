#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace vantrel::testing {

struct ProcessResult {
    int exitStatus = -1;  // the exit status, or 128 + the signal that ended it
    std::string out, err;
};

// Runs `program` with `arguments`, stdin closed, stdout and stderr captured.
// `watch` is called whenever stderr has grown, with the child's pid and all of
// stderr so far: a test can send a signal when the output shows the moment.
ProcessResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::function<void(pid_t, const std::string&)>& watch = {});

}  // namespace vantrel::testing
