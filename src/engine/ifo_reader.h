#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace vantrel::engine {

// The VOB sets whose VOBU address maps the IFOs hold.
enum class VobuMapKind {
    VideoManagerMenu,  // in VIDEO_TS.IFO, for VIDEO_TS.VOB
    TitleSetMenu,      // in VTS_nn_0.IFO, for VTS_nn_0.VOB
    Titles,            // in VTS_nn_0.IFO, for VTS_nn_1.VOB .. VTS_nn_9.VOB
};

// Where each video object unit of a VOB set begins (and its NV_PCK with it),
// in sectors from the start of the VOB set, in the IFO's order.
using VobuMap = std::vector<std::uint32_t>;

// The VOBU address map of one VOB set, read from the IFO at `ifoPath`; nothing
// when the IFO lists no such map (a disc without menus). Reads only the IFO's
// header and the map, so that it serves a folder and a disc image alike.
// Throws Failure with a line naming the file and what is wrong: it cannot be
// opened or read, it is too short or not an IFO of the kind the map belongs
// to, the map lies or ends past the end of the file, or its end address comes
// before the end of its own header. Hostile input gets that line, nothing worse.
std::optional<VobuMap> readVobuMap(platform::FileSystem& files, const std::string& ifoPath,
                                   VobuMapKind kind);

// The number of title sets that VIDEO_TS.IFO at `path` lists. Throws as readVobuMap.
int readTitleSetCount(platform::FileSystem& files, const std::string& path);

}  // namespace vantrel::engine
