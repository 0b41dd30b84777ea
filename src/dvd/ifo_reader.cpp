#include "dvd/ifo_reader.h"

#include <array>
#include <cstddef>
#include <string_view>

#include "dvd/big_endian.h"
#include "dvd/dvd_format.h"
#include "dvd/ifo_format.h"

namespace vantrel::dvd {
namespace {

const char* mapName(VobuMapKind kind) {
    return kind == VobuMapKind::Titles ? "the title VOBU address map" : "the menu VOBU address map";
}

// One IFO, its header read and checked: the video manager's for
// VIDEO_TS.IFO, a title set's for the others.
class Ifo {
  public:
    Ifo(IfoSource& source, const std::string& name, bool videoManager)
        : m_source(source), m_name(name), m_length(source.length()) {
        const std::string_view id = videoManager ? ifo::kVideoManagerId : ifo::kTitleSetId;
        if (m_length < ifo::kHeaderLength)
            fail("too short for an IFO (" + std::to_string(m_length) + " bytes)");
        readExactly(0, m_header.data(), m_header.size());
        if (std::string_view(reinterpret_cast<const char*>(m_header.data()), id.size()) != id)
            fail(std::string("not ") + (videoManager ? "the video manager's" : "a title set's") +
                 " IFO: it does not begin with " + std::string(id));
    }

    std::uint32_t headerWord(std::int64_t offset) const {
        return bigEndian32(m_header.data() + offset);
    }
    std::uint16_t headerHalfWord(std::int64_t offset) const {
        return bigEndian16(m_header.data() + offset);
    }

    std::optional<VobuMap> readMap(std::int64_t addressOffset, VobuMapKind kind) {
        const std::uint32_t sector = headerWord(addressOffset);
        if (sector == 0) return std::nullopt;
        const std::int64_t start = std::int64_t{sector} * kSectorSize;
        const std::string name = mapName(kind);
        if (start + ifo::kMapHeaderLength > m_length)
            fail(name + " lies at sector " + std::to_string(sector) +
                 ", past the end of the file (" + std::to_string(m_length) + " bytes)");
        unsigned char header[ifo::kMapHeaderLength];
        readExactly(start, header, sizeof header);
        const std::int64_t length = std::int64_t{bigEndian32(header)} + 1;
        if (length < ifo::kMapHeaderLength)
            fail(name + " has an end address (" + std::to_string(length - 1) +
                 ") that comes before the end of its own header");
        if (start + length > m_length)
            fail(name + " ends at byte " + std::to_string(start + length - 1) +
                 ", past the end of the file (" + std::to_string(m_length) + " bytes)");
        // Bytes after the last whole entry are ignored, as players do.
        const auto count =
            static_cast<std::size_t>((length - ifo::kMapHeaderLength) / ifo::kMapEntryLength);
        std::vector<unsigned char> entries(count * std::size_t{ifo::kMapEntryLength});
        readExactly(start + ifo::kMapHeaderLength, entries.data(), entries.size());
        VobuMap map(count);
        for (std::size_t i = 0; i < count; ++i)
            map[i] = bigEndian32(entries.data() + i * std::size_t{ifo::kMapEntryLength});
        return map;
    }

  private:
    void readExactly(std::int64_t offset, unsigned char* destination, std::size_t count) {
        if (count == 0) return;  // an empty map: there may be no buffer at all
        if (m_source.read(offset, destination, count) < count)
            fail("the file ends unexpectedly at byte " + std::to_string(offset));
    }
    [[noreturn]] void fail(const std::string& what) const {
        throw IfoError("'" + m_name + "': " + what);
    }

    IfoSource& m_source;
    const std::string& m_name;
    std::int64_t m_length;
    std::array<unsigned char, ifo::kHeaderLength> m_header{};
};

}  // namespace

std::optional<VobuMap> readVobuMap(IfoSource& source, const std::string& name, VobuMapKind kind) {
    Ifo ifo(source, name, kind == VobuMapKind::VideoManagerMenu);
    switch (kind) {
        case VobuMapKind::VideoManagerMenu:
            return ifo.readMap(ifo::kVideoManagerMenuMapOffset, kind);
        case VobuMapKind::TitleSetMenu:
            return ifo.readMap(ifo::kTitleSetMenuMapOffset, kind);
        case VobuMapKind::Titles:
            break;
    }
    return ifo.readMap(ifo::kTitlesMapOffset, kind);
}

int readTitleSetCount(IfoSource& source, const std::string& name) {
    const Ifo ifo(source, name, true);
    return ifo.headerHalfWord(ifo::kTitleSetCountOffset);
}

}  // namespace vantrel::dvd
