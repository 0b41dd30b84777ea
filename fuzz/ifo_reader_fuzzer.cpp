// The IFO reader and the check against the disc's map: the input's first byte
// says which IFO the rest is (VIDEO_TS.IFO or VTS_01_0.IFO), and a reduced copy
// beside it holds NV_PCKs for the first VOBUs of each map the reader finds in
// it, and one chance match. Every damage must end as a finding or an IfoError
// of the reader, never as a crash, and the check's counts must add up.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/file_system_posix.h"
#include "support/dvd_generator.h"
#include "support/temp_folder.h"
#include "verify/copy_verification.h"
#include "verify/ifo_file.h"
#include "verify/vobu_map_comparison.h"

namespace {

using namespace vantrel;
using testing::Bytes;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "ifo reader: %s\n", what.c_str());
    std::abort();
}

// The first VOBUs' NV_PCKs of the map in `ifo`, or of none when it has none.
Bytes copyOfVobSet(platform::FileSystem& files, const std::string& ifo, dvd::VobuMapKind kind) {
    Bytes vob = testing::makePack(testing::Pack::Video, 1);
    vob[40] = 0x01;  // a chance match of the scanner's signature
    vob[41] = 0xBF;
    try {
        const auto map = verify::readVobuMap(files, ifo, kind);
        if (!map) return vob;
        if ((std::int64_t(map->size()) + 1) * 4 > files.fileLength(ifo))
            fail("a map with more entries than its file has room for");
        for (std::size_t i = 0; i < map->size() && i < 8; ++i) {
            const Bytes pack = testing::makeNavPack((*map)[i]);
            vob.insert(vob.end(), pack.begin(), pack.end());
        }
    } catch (const dvd::IfoError&) {
        // Reported by the check too.
    }
    return vob;
}

void expectCountsAddUp(const verify::CopyCheck& check) {
    for (const auto& set : check.sets) {
        if (set.tally.packsMatched + set.tally.damaged + set.tally.missing != set.tally.vobus)
            fail(set.name + ": matched, damaged and missing VOBUs do not add up to the map's");
        if (set.findings.size() > std::size_t{7} * (verify::FindingList::kListedPerKind + 1u))
            fail(set.name + ": more findings listed than the list keeps");
    }
    // A disc's own video is said once, its sectors counted and not listed.
    bool none = check.discVideo.empty();
    for (const auto& set : check.sets) none = none && set.findings.empty();
    if (check.completeAndExact() != none) fail("complete and exact, yet with findings");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static testing::TempFolder temp;
    platform::PosixFileSystem files;
    const std::string folder = temp / "copy";
    std::filesystem::remove_all(folder);
    testing::makeFolder(folder);

    const bool manager = data[0] % 2 == 0;
    const std::string ifo = folder + (manager ? "/VIDEO_TS.IFO" : "/VTS_01_0.IFO");
    testing::writeFile(ifo, Bytes(data + 1, data + size));
    using Kind = dvd::VobuMapKind;
    if (manager) {
        testing::writeFile(folder + "/VIDEO_TS.VOB",
                           copyOfVobSet(files, ifo, Kind::VideoManagerMenu));
    } else {
        testing::writeFile(folder + "/VTS_01_0.VOB", copyOfVobSet(files, ifo, Kind::TitleSetMenu));
        testing::writeFile(folder + "/VTS_01_1.VOB", copyOfVobSet(files, ifo, Kind::Titles));
    }
    try {
        expectCountsAddUp(verify::verifyCopy(files, folder));
    } catch (const std::exception& failure) {
        fail(std::string("the check failed: ") + failure.what());
    }
    return 0;
}
