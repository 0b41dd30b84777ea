#include "throughput.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace vantrel::bench {

std::int64_t writeVobLikeFile(const std::string& path, std::int64_t bytes, std::uint64_t seed) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::uint64_t state = seed * 0x9E3779B97F4A7C15ull + 1;
    const auto random = [&] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    constexpr std::size_t kSector = 2048, kSectorsPerChunk = 512;
    std::vector<std::uint64_t> chunk(kSector * kSectorsPerChunk / 8);
    std::int64_t navPacks = 0, untilNav = 0;
    for (std::int64_t written = 0; written < bytes;) {
        for (auto& word : chunk) word = random();
        auto* sectors = reinterpret_cast<unsigned char*>(chunk.data());
        for (std::size_t s = 0; s < kSectorsPerChunk; ++s) {
            unsigned char* sector = sectors + s * kSector;
            sector[0] = 0x00, sector[1] = 0x00, sector[2] = 0x01, sector[3] = 0xBA;
            if (untilNav-- == 0) {
                sector[38] = 0x00, sector[39] = 0x00, sector[40] = 0x01, sector[41] = 0xBF;
                untilNav = 150 + std::int64_t(random() % 251);
                ++navPacks;
            } else if (sector[40] == 0x01) {
                sector[40] = 0x00;
            }
        }
        const auto size =
            std::min<std::int64_t>(bytes - written, std::int64_t(kSector * kSectorsPerChunk));
        out.write(reinterpret_cast<const char*>(sectors), size);
        written += size;
    }
    if (!out) throw std::runtime_error("cannot write " + path);
    return navPacks;
}

DvdLikeFolder writeDvdLikeFolder(const std::string& parent) {
    DvdLikeFolder dvd{parent + "/DVD", parent + "/out", {}, 0};
    std::filesystem::create_directories(dvd.source);
    std::filesystem::create_directories(dvd.destination);
    for (const char* name : {"VTS_01_1.VOB", "VTS_01_2.VOB"}) {
        dvd.files.push_back(dvd.source + "/" + name);
        writeVobLikeFile(dvd.files.back(), std::int64_t{1} << 30, dvd.files.size());
    }
    for (const char* name : {"VIDEO_TS.IFO", "VIDEO_TS.BUP", "VTS_01_0.IFO", "VTS_01_0.BUP"}) {
        dvd.files.push_back(dvd.source + "/" + name);
        std::ofstream(dvd.files.back(), std::ios::binary) << std::string(64 * 2048, 'i');
    }
    for (const auto& file : dvd.files) dvd.bytes += std::int64_t(std::filesystem::file_size(file));
    ::sync();  // no write-back of the new files during the measurements
    return dvd;
}

double secondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void catToNull(const std::vector<std::string>& files) {
    std::string command = "cat";
    for (const auto& file : files) command += " '" + file + "'";
    command += " > /dev/null";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("cat failed");
}

Comparison alternate(const std::function<void()>& baseline, const std::function<void()>& candidate,
                     int rounds) {
    baseline();
    candidate();
    Comparison best{1e30, 1e30};
    for (int round = 0; round < rounds; ++round) {
        best.baselineSeconds = std::min(best.baselineSeconds, secondsOf(baseline));
        best.candidateSeconds = std::min(best.candidateSeconds, secondsOf(candidate));
    }
    return best;
}

void report(const std::string& what, std::int64_t bytes, const Comparison& comparison,
            const std::string& baselineName, double goal) {
    const double gb = double(bytes) / 1e9;
    std::printf("%-34s %7.2f GB/s   %-10s %7.2f GB/s   ratio %.2f (goal %.2f)\n", what.c_str(),
                gb / comparison.candidateSeconds, baselineName.c_str(),
                gb / comparison.baselineSeconds, comparison.ratio(), goal);
    std::fflush(stdout);
}

}  // namespace vantrel::bench
