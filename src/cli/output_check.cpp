#include "cli/output_check.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/options.h"

namespace vantrel::cli {

int withOutputChecked(int status) {
    errno = 0;
    if (fileno(stdout) < 0) return status;
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) return status;
    const int error = errno;
    if (error == EPIPE) return status;
    std::fprintf(stderr, "%s: write error%s%s\n", kProgramName, error != 0 ? ": " : "",
                 error != 0 ? std::strerror(error) : "");
    return kJobFailed;
}

}  // namespace vantrel::cli
