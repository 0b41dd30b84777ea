// The sparse copy's costs against the packed copy's, both measured in this
// run: a job's speed (the scan is the same; only where each kept sector is
// written differs) and the space on disk, where a kept sector takes a whole
// block of its own instead of half of one.

#include "sparse_copy.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "dvd/dvd_format.h"

namespace vantrel::bench {
namespace {

struct Space {
    std::int64_t length = 0;  // of the files, as a listing shows it
    std::int64_t onDisk = 0;  // the blocks they take
    std::int64_t vobBytes = 0;
};

Space spaceOf(const std::string& folder) {
    ::sync();  // blocks given on write-back count too
    Space space;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        struct stat status {};
        if (::stat(entry.path().c_str(), &status) != 0)
            throw std::runtime_error("cannot measure " + entry.path().string());
        space.length += status.st_size;
        space.onDisk += std::int64_t{status.st_blocks} * 512;
        if (entry.path().extension() == ".VOB") space.vobBytes += status.st_size;
    }
    return space;
}

std::int64_t blockSize(const std::string& folder) {
    struct statvfs info {};
    if (::statvfs(folder.c_str(), &info) != 0)
        throw std::runtime_error("cannot measure the blocks of " + folder);
    return std::int64_t(info.f_bsize);
}

double mib(std::int64_t bytes) { return double(bytes) / double(1 << 20); }

}  // namespace

void benchSparseCopy(const DvdLikeFolder& dvd, int rounds,
                     const std::function<void()>& emptyDestination) {
    auto sparse = cliCommand(dvd.source, dvd.destination);
    sparse.insert(sparse.begin() + 1, "--sparse");
    const Timed packedJob = timing([&] { runProgram(cliCommand(dvd.source, dvd.destination)); });
    const Timed sparseJob = timing([&] { runProgram(sparse); });
    report("vantrel-cli --sparse, 2 GiB, warm", dvd.bytes,
           alternate(packedJob, sparseJob, rounds, emptyDestination), "packed", 1.0);
    report("vantrel-cli --sparse, 2 GiB, cold", dvd.bytes,
           alternate(packedJob, sparseJob, rounds,
                     [&] {
                         emptyDestination();
                         dropFromCache(dvd.files);
                     }),
           "packed", 1.0);

    emptyDestination();
    runProgram(cliCommand(dvd.source, dvd.destination));
    const Space packed = spaceOf(dvd.destination);
    emptyDestination();
    runProgram(sparse);
    const Space holes = spaceOf(dvd.destination);
    // Each kept sector in a block of its own: the rounding the file system's blocks make.
    const std::int64_t block = blockSize(dvd.destination);
    const std::int64_t kept = packed.vobBytes / dvd::kSectorSize;
    const std::int64_t goal = packed.onDisk + kept * std::max<std::int64_t>(0, block - 2048);
    std::printf(
        "%-36s %7.2f MiB on disk, %.0f MiB long; packed %.2f MiB on disk "
        "(goal <= %.2f MiB: %lld sectors, %lld-byte blocks)\n",
        "sparse copy of the 2 GiB folder", mib(holes.onDisk), mib(holes.length), mib(packed.onDisk),
        mib(goal), static_cast<long long>(kept), static_cast<long long>(block));
    std::fflush(stdout);
}

}  // namespace vantrel::bench
