// PosixFileSystem::fillsHoles: whether holes take space where a file is made.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/file_system_posix.h"
#include "platform/posix_descriptor.h"

namespace vantrel::platform {
namespace {

// A probe nobody else sees: a file without a name where the file system has
// them (O_TMPFILE: ext4, xfs, btrfs, tmpfs), otherwise a hidden one whose
// name goes as soon as it is open (FAT, exFAT, FUSE).
int openProbe(int folder) {
    const int unnamed = ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (unnamed >= 0) return unnamed;
    const std::string name = ".vantrel-hole-probe-" + std::to_string(::getpid());
    const int named = ::openat(folder, name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (named >= 0) ::unlinkat(folder, name.c_str(), 0);
    return named;
}

}  // namespace

// The probe is given its length by ftruncate, which on a file system without
// holes gives the new bytes space and zeros; one that cannot even do that
// cannot hold a sparse file at all.
bool PosixFileSystem::fillsHoles(const std::string& folder) {
    const Place place = placeOf(folder);
    const ScopedDescriptor opened(
        ::openat(place.folder, place.name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!opened.valid()) return false;
    const ScopedDescriptor probe(openProbe(opened.get()));
    if (!probe.valid()) return false;
    if (::ftruncate(probe.get(), kHoleProbeLength) != 0) return true;
    struct stat info {};
    return ::fstat(probe.get(), &info) == 0 &&
           std::int64_t{info.st_blocks} * 512 >= kHoleProbeLength;
}

}  // namespace vantrel::platform
