#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/binary_file.h"
#include "platform/file_system.h"
#include "platform/io_buffer.h"

namespace vantrel::verify {

// One VOB set of the disc a copy was made from, its files read as the one run
// of sectors its map counts in: VTS_01_2.VOB's first sector follows
// VTS_01_1.VOB's last. Read where the check asks, a sector at a time.
class SourceVobSet {
  public:
    // `names` are the set's files in the folder `folder` of `files`, in their
    // order; a missing file must be left out. Throws Failure when one cannot
    // be measured.
    SourceVobSet(platform::FileSystem& files, const std::string& folder,
                 const std::vector<std::string>& names);

    // Reads sector `sector` of the set into `destination` (a sector's room);
    // returns how many bytes of it the source has: fewer where its file ends,
    // 0 past the set's end. Throws Failure when the file cannot be read.
    std::size_t read(std::int64_t sector, unsigned char* destination);
    // "sector 1057 of VTS_01_1.VOB"; the set's sector number past its end.
    std::string where(std::int64_t sector) const;

  private:
    struct Part {
        std::string name, path;
        std::int64_t first = 0;   // the set's sector that opens it
        std::int64_t length = 0;  // in bytes
    };
    // The part that holds `sector`; nothing before the first.
    const Part* partOf(std::int64_t sector) const;

    platform::FileSystem& m_files;
    std::vector<Part> m_parts;
    // Small: the check reads a sector here and a few there, not a run.
    platform::IoBuffer m_buffer{std::size_t{16} << 10};
    platform::BinaryFile m_file{m_files, m_buffer};
    const Part* m_open = nullptr;  // the part m_file has open
};

}  // namespace vantrel::verify
