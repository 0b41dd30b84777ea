#include "support/authored_disc.h"

#include <filesystem>
#include <stdexcept>

#include "support/dvd_generator.h"
#include "support/process_runner.h"

namespace vantrel::testing {
namespace {

AuthoredDisc author() {
    const std::string root = VANTREL_AUTHORED_DVD_WITH_MENUS;
    const ProcessResult result = runProgram(VANTREL_AUTHOR_DVD_SCRIPT, {root, "--title-set-menus"});
    if (result.exitStatus == 77) return {"", "", result.err};
    if (result.exitStatus != 0)
        throw std::runtime_error("scripts/author-dvd.sh failed: " + result.err);
    return {root, root + "/VIDEO_TS", ""};
}

}  // namespace

const AuthoredDisc& authoredDisc() {
    static const AuthoredDisc disc = author();
    return disc;
}

namespace {

bool isNavPack(const Bytes& vob, std::size_t start) {
    const auto has = [&](std::size_t offset, unsigned char last) {
        return vob[start + offset] == 0 && vob[start + offset + 1] == 0 &&
               vob[start + offset + 2] == 1 && vob[start + offset + 3] == last;
    };
    return has(14, 0xBB) && has(38, 0xBF);
}

Bytes navPacks(const Bytes& vob) {
    Bytes packs;
    for (std::size_t start = 0; start + kSector <= vob.size(); start += kSector) {
        if (isNavPack(vob, start))
            packs.insert(packs.end(), vob.begin() + std::ptrdiff_t(start),
                         vob.begin() + std::ptrdiff_t(start + kSector));
    }
    return packs;
}

}  // namespace

void writeReducedCopy(const std::string& from, const std::string& to, Reduction reduction) {
    for (const auto& entry : std::filesystem::directory_iterator(from)) {
        const std::string name = entry.path().filename().string();
        const Bytes content = readFile(entry.path().string());
        if (entry.path().extension() != ".VOB")
            writeFile(to + "/" + name, content);
        else
            writeFile(to + "/" + name, reduction == Reduction::ScannerRule
                                           ? expectedNavPacks(content)
                                           : navPacks(content));
    }
}

Bytes withLostPackAndChanceMatch(const Bytes& packs, const Bytes& vob) {
    Bytes chanceMatch = sectors(vob, 1, 1);
    chanceMatch[40] = 0x01;
    chanceMatch[41] = 0xBF;
    Bytes damaged = sectors(packs, 0, 2);
    for (const Bytes& part :
         {sectors(packs, 3, 1), chanceMatch, sectors(packs, 4, packs.size() / kSector - 4)})
        damaged.insert(damaged.end(), part.begin(), part.end());
    return damaged;
}

std::size_t chanceMatches(const Bytes& vob) {
    return (expectedNavPacks(vob).size() - navPacks(vob).size()) / kSector;
}

}  // namespace vantrel::testing
