#pragma once

namespace vantrel::platform {

// The care each program takes first, before it opens any file, whatever state
// it was started in.
//
// POSIX: a standard descriptor (0, 1 or 2) that is closed is opened on
// /dev/null; otherwise the first file the program opens would take its number,
// and what the program or a library writes to stdout or stderr would land in
// an output. SIGPIPE and SIGXFSZ are ignored: a reader that went away and a
// file-size limit (ulimit -f) then make a write fail like a full disk, with an
// entry for it, instead of ending the program.
//
// Windows: a standard handle that is not valid (none is given to a window
// program, and a caller may pass one it closed) is replaced by one on NUL, in
// the system's table and in the C runtime's, so that nothing written to it can
// reach a file whose handle happens to take the same value.
void prepareProcess() noexcept;

}  // namespace vantrel::platform
