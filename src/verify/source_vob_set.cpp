#include "verify/source_vob_set.h"

#include "dvd/dvd_format.h"
#include "platform/paths.h"

namespace vantrel::verify {

SourceVobSet::SourceVobSet(platform::FileSystem& files, const std::string& folder,
                           const std::vector<std::string>& names)
    : m_files(files) {
    std::int64_t first = 0;
    for (const std::string& name : names) {
        const std::string path = platform::joinPath(folder, name);
        const std::int64_t length = files.fileLength(path);
        m_parts.push_back({name, path, first, length});
        // A file cut short within a sector still takes that sector's place.
        first += (length + dvd::kSectorSize - 1) / dvd::kSectorSize;
    }
}

const SourceVobSet::Part* SourceVobSet::partOf(std::int64_t sector) const {
    for (auto part = m_parts.rbegin(); part != m_parts.rend(); ++part) {
        if (sector >= part->first) return &*part;
    }
    return nullptr;
}

std::size_t SourceVobSet::read(std::int64_t sector, unsigned char* destination) {
    const Part* part = partOf(sector);
    if (part == nullptr) return 0;
    const std::int64_t offset = (sector - part->first) * dvd::kSectorSize;
    if (offset >= part->length) return 0;
    if (m_open != part) {
        m_file.closeQuietly();
        m_open = nullptr;
        m_file.openForReading(part->path);
        m_open = part;
    }
    return m_file.readAt(offset + 1, destination, std::size_t(dvd::kSectorSize));
}

std::string SourceVobSet::where(std::int64_t sector) const {
    const Part* part = partOf(sector);
    if (part == nullptr) return "sector " + std::to_string(sector);
    return "sector " + std::to_string(sector - part->first) + " of " + part->name;
}

}  // namespace vantrel::verify
