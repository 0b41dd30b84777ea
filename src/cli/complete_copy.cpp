#include "cli/complete_copy.h"

#include <cstring>
#include <vector>

#include "engine/job_files.h"
#include "platform/binary_file.h"
#include "platform/paths.h"

namespace vantrel::cli {
namespace {

// Whether the two files hold the same bytes; a side file is small.
bool sameBytes(platform::FileSystem& aFiles, const std::string& a, platform::FileSystem& bFiles,
               const std::string& b) {
    const std::int64_t length = aFiles.fileLength(a);
    if (bFiles.fileLength(b) != length) return false;
    platform::BinaryFile aFile(aFiles), bFile(bFiles);
    aFile.openForReading(a);
    bFile.openForReading(b);
    std::vector<unsigned char> aBytes(std::size_t{64} << 10), bBytes(aBytes.size());
    for (std::int64_t at = 0; at < length; at += std::int64_t(aBytes.size())) {
        const std::size_t got = aFile.readAt(at + 1, aBytes.data(), aBytes.size());
        if (bFile.readAt(at + 1, bBytes.data(), got) != got ||
            std::memcmp(aBytes.data(), bBytes.data(), got) != 0)
            return false;
    }
    return true;
}

}  // namespace

std::optional<verify::CopyCheck> completeCopy(platform::FileSystem& system,
                                              platform::FileSystem& sourceFiles,
                                              const std::string& sourceFolder,
                                              const std::string& destination) {
    try {
        for (const engine::PlannedFile& file : engine::jobFiles(sourceFiles, sourceFolder)) {
            const std::string copied = platform::joinPath(destination, file.name);
            if (file.kind == engine::FileKind::Vob
                    ? !system.kindOf(copied)
                    : !sameBytes(sourceFiles, platform::joinPath(sourceFolder, file.name), system,
                                 copied))
                return std::nullopt;
        }
        const verify::SourceFolder source{sourceFiles, sourceFolder};
        verify::CopyCheck check = verify::verifyCopy(system, destination, &source);
        if (check.sets.empty() || !check.passed()) return std::nullopt;
        return check;
    } catch (const std::exception&) {
        return std::nullopt;  // not read whole: not known to be complete
    }
}

}  // namespace vantrel::cli
