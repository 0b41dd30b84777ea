#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vantrel::dvd {

// The VOB sets whose VOBU address maps the IFOs hold.
enum class VobuMapKind {
    VideoManagerMenu,  // in VIDEO_TS.IFO, for VIDEO_TS.VOB
    TitleSetMenu,      // in VTS_nn_0.IFO, for VTS_nn_0.VOB
    Titles,            // in VTS_nn_0.IFO, for VTS_nn_1.VOB .. VTS_nn_9.VOB
};

// Where each video object unit of a VOB set begins (and its NV_PCK with it),
// in sectors from the start of the VOB set, in the IFO's order.
using VobuMap = std::vector<std::uint32_t>;

// An IFO's bytes, read a few at a time where the reader asks for them: a file
// of a folder or of a disc image, or bytes in memory.
class IfoSource {
  public:
    virtual ~IfoSource() = default;
    virtual std::int64_t length() = 0;
    // Reads `count` bytes from `offset` (0 is the first byte) into
    // `destination`; returns how many it read, fewer only where the IFO ends.
    virtual std::size_t read(std::int64_t offset, unsigned char* destination,
                             std::size_t count) = 0;
};

// What the reader throws for an IFO that is not what it should be: a line
// naming the IFO and what is wrong with it.
class IfoError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The VOBU address map of one VOB set, read from the IFO `ifo` that failures
// call `name`; nothing when the IFO lists no such map (a disc without menus).
// Reads only the IFO's header and the map, so that a file of any length costs
// no more than those. Throws IfoError when the IFO is too short or not of the
// kind the map belongs to, the map lies or ends past the end of the file, or
// its end address comes before the end of its own header; the source's own
// failures pass through. Hostile input gets that line, nothing worse.
std::optional<VobuMap> readVobuMap(IfoSource& ifo, const std::string& name, VobuMapKind kind);

// The number of title sets that the video manager's IFO (VIDEO_TS.IFO) lists.
// Throws as readVobuMap.
int readTitleSetCount(IfoSource& ifo, const std::string& name);

}  // namespace vantrel::dvd
