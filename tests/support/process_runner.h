#pragma once

#include <cstdint>
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

// How a child is started, beyond its arguments.
struct ChildSetup {
    // With no standard streams at all (on POSIX descriptors 0-2 closed, on
    // Windows no handles given), as a careless caller may start a program;
    // nothing is captured then.
    bool closeStandardStreams = false;
    // POSIX: RLIMIT_FSIZE in bytes (none when negative), with SIGXFSZ's default
    // action, which would end the program at the limit.
    std::int64_t fileSizeLimit = -1;
    // POSIX: every flock call fails with this errno (when not 0), as on a file
    // system without locks; a seccomp filter the program keeps across exec.
    int flockError = 0;
};

// Runs `program` with `arguments`, stdin on the null device, stdout and stderr
// captured. `watch` is called whenever stderr has grown, with the child's id
// and all of stderr so far: a test can interrupt the child when the output
// shows the moment.
ProcessResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::function<void(ProcessId, const std::string&)>& watch = {},
                         const ChildSetup& setup = {});

#ifndef _WIN32
// Starts `program` as runProgram does, without waiting for it or capturing
// anything: the caller waits for it with waitpid.
ProcessId startProgram(const std::string& program, const std::vector<std::string>& arguments,
                       const ChildSetup& setup);
#endif

}  // namespace vantrel::testing
