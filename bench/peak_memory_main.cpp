// vantrel-bench-peak-memory PROGRAM [ARGS...]: runs PROGRAM with stdout on
// /dev/null and prints the peak resident memory it reached, in KiB. A program
// started straight from a big process would report that process's memory as
// its own (the peak carries over when a forked child executes a program), so
// the benchmark measures through this small one.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: vantrel-bench-peak-memory PROGRAM [ARGS...]\n", stderr);
        return 2;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        const int devNull = ::open("/dev/null", O_WRONLY);
        ::dup2(devNull, STDOUT_FILENO);
        ::execvp(argv[1], argv + 1);
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "vantrel-bench-peak-memory: %s failed\n", argv[1]);
        return 1;
    }
    std::printf("%ld\n", usage.ru_maxrss);
    return 0;
}
