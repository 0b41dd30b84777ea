#include "support/dvd_generator.h"

#include <algorithm>
#include <cstdio>

namespace vantrel::testing {

Bytes makePack(Pack kind, std::uint32_t seed) {
    Bytes pack = patternBytes(kSector, seed);
    const unsigned char packStart[] = {0x00, 0x00, 0x01, 0xBA};
    std::copy(std::begin(packStart), std::end(packStart), pack.begin());
    if (kind == Pack::Navigation) {
        const unsigned char systemHeader[] = {0x00, 0x00, 0x01, 0xBB};
        const unsigned char pci[] = {0x00, 0x00, 0x01, 0xBF};
        std::copy(std::begin(systemHeader), std::end(systemHeader), pack.begin() + 14);
        std::copy(std::begin(pci), std::end(pci), pack.begin() + 38);
    } else {
        const unsigned char pes[] = {0x00, 0x00, 0x01,
                                     static_cast<unsigned char>(kind == Pack::Video ? 0xE0 : 0xC0)};
        std::copy(std::begin(pes), std::end(pes), pack.begin() + 14);
        // Keep bytes 40-41 from looking like a PCI packet by chance.
        pack[40] = 0x00;
    }
    return pack;
}

Bytes makeNavPack(std::uint32_t lbn) {
    Bytes pack = makePack(Pack::Navigation, lbn);
    const unsigned char pci[] = {0x03,
                                 0xD4,
                                 0x00,
                                 static_cast<unsigned char>(lbn >> 24),
                                 static_cast<unsigned char>(lbn >> 16),
                                 static_cast<unsigned char>(lbn >> 8),
                                 static_cast<unsigned char>(lbn)};
    const unsigned char dsi[] = {0x00, 0x00, 0x01, 0xBF, 0x03, 0xFA, 0x01};
    std::copy(std::begin(pci), std::end(pci), pack.begin() + 42);
    std::copy(std::begin(dsi), std::end(dsi), pack.begin() + 1024);
    return pack;
}

Bytes makeVob(std::size_t packs, std::size_t navEvery, std::uint32_t seed) {
    Bytes vob;
    vob.reserve(packs * kSector);
    for (std::size_t i = 0; i < packs; ++i) {
        const Pack kind =
            i % navEvery == 0 ? Pack::Navigation : (i % 3 ? Pack::Video : Pack::Audio);
        const Bytes pack = makePack(kind, seed * 100003u + std::uint32_t(i));
        vob.insert(vob.end(), pack.begin(), pack.end());
    }
    return vob;
}

Bytes sectors(const Bytes& vob, std::size_t first, std::size_t count) {
    return Bytes(vob.begin() + std::ptrdiff_t(first * kSector),
                 vob.begin() + std::ptrdiff_t((first + count) * kSector));
}

Bytes expectedNavPacks(const Bytes& vob) {
    Bytes result;
    for (std::size_t start = 0; start + 3 < vob.size(); start += kSector) {
        const auto at = [&](std::size_t offset) {
            return start + offset < vob.size() ? int(vob[start + offset]) : -1;
        };
        if (at(2) == 0x01 && at(3) == 0xBA && at(40) == 0x01 && at(41) == 0xBF) {
            Bytes sector(kSector, 0);
            const std::size_t available = std::min(kSector, vob.size() - start);
            std::copy_n(vob.begin() + std::ptrdiff_t(start), available, sector.begin());
            result.insert(result.end(), sector.begin(), sector.end());
        }
    }
    return result;
}

void makeDvdFolder(const std::string& folder, int titleVobs, std::size_t packsPerVob,
                   int titleSets) {
    makeFolder(folder);
    makeDvdFolder([](const std::string& path, const Bytes& content) { writeFile(path, content); },
                  folder, titleVobs, packsPerVob, titleSets);
}

void makeDvdFolder(const FileWriter& write, const std::string& folder, int titleVobs,
                   std::size_t packsPerVob, int titleSets) {
    write(folder + "/VIDEO_TS.IFO", patternBytes(12 * kSector, 1));
    write(folder + "/VIDEO_TS.BUP", patternBytes(12 * kSector, 1));
    write(folder + "/VIDEO_TS.VOB", makeVob(packsPerVob, 7, 2));
    for (int set = 1; set <= titleSets; ++set) {
        char name[32];
        const auto seed = std::uint32_t(set - 1) * 100;
        std::snprintf(name, sizeof name, "/VTS_%02d_0.", set);
        write(folder + name + "IFO", patternBytes(20 * kSector, 3 + seed));
        write(folder + name + "BUP", patternBytes(20 * kSector, 3 + seed));
        for (int i = 1; i <= titleVobs; ++i) {
            std::snprintf(name, sizeof name, "/VTS_%02d_%d.VOB", set, i);
            write(folder + name,
                  makeVob(packsPerVob, 5 + std::size_t(i), 10 + std::uint32_t(i) + seed));
        }
    }
}

}  // namespace vantrel::testing
