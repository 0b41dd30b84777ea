#pragma once

#include <sys/types.h>

#include <string>

#include "platform/posix_descriptor.h"

namespace vantrel::platform {

// libudfread 1.1 tells what it finds wrong with a file system only on stderr
// ("udfread ERROR: ...", "ecma: ..."), and goes on without what it could not
// read: an entry whose name it cannot decode, or the rest of a folder it
// cannot parse, is left out of a listing without another sign. For the life
// of this object stderr goes to a memory file instead (the program runs in
// one thread), where the reader of an image looks for such complaints; the
// reason an image is refused is the program's own to give, in one line.
class LibraryComplaints {
  public:
    LibraryComplaints();
    ~LibraryComplaints();
    LibraryComplaints(const LibraryComplaints&) = delete;
    LibraryComplaints& operator=(const LibraryComplaints&) = delete;

    // The first complaint made since the last call, without its prefix; empty when none.
    std::string take();

  private:
    const ScopedDescriptor m_saved;
    const ScopedDescriptor m_file;
    off_t m_read = 0;
};

}  // namespace vantrel::platform
