#include "throughput.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "dvd/dvd_format.h"
#include "platform/paths.h"

extern char** environ;

namespace vantrel::bench {
namespace {

constexpr auto kSector = static_cast<std::size_t>(dvd::kSectorSize);

// Random packs that begin 00 00 01 BA; the ones marked navigation get the PCI
// start code at bytes 38-41, the others never have 01 at byte 40.
class PackMaker {
  public:
    explicit PackMaker(std::uint64_t seed) : m_state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint64_t random() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return m_state;
    }
    void fill(unsigned char* sector, bool navigation) {
        for (std::size_t i = 0; i < kSector; i += 8) {
            const std::uint64_t word = random();
            std::copy_n(reinterpret_cast<const unsigned char*>(&word), 8, sector + i);
        }
        sector[0] = 0x00, sector[1] = 0x00, sector[2] = 0x01, sector[3] = 0xBA;
        if (navigation) {
            sector[38] = 0x00, sector[39] = 0x00, sector[40] = 0x01, sector[41] = 0xBF;
        } else if (sector[40] == 0x01) {
            sector[40] = 0x00;
        }
    }

  private:
    std::uint64_t m_state;
};

void writeBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

std::int64_t writeVobLikeFile(const std::string& path, std::int64_t bytes, std::uint64_t seed) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    PackMaker packs(seed);
    constexpr std::size_t kSectorsPerChunk = 512;
    std::vector<unsigned char> chunk(kSector * kSectorsPerChunk);
    std::int64_t navPacks = 0, untilNav = 0;
    for (std::int64_t written = 0; written < bytes;) {
        for (std::size_t s = 0; s < kSectorsPerChunk; ++s) {
            const bool navigation = untilNav-- == 0;
            packs.fill(chunk.data() + s * kSector, navigation);
            if (navigation) {
                untilNav = 150 + std::int64_t(packs.random() % 251);
                ++navPacks;
            }
        }
        const auto size = std::min<std::int64_t>(bytes - written, std::int64_t(chunk.size()));
        out.write(reinterpret_cast<const char*>(chunk.data()), size);
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
        dvd.navPacks += writeVobLikeFile(dvd.files.back(), std::int64_t{1} << 30, dvd.files.size());
    }
    for (const char* name : {"VIDEO_TS.IFO", "VIDEO_TS.BUP", "VTS_01_0.IFO", "VTS_01_0.BUP"}) {
        dvd.files.push_back(dvd.source + "/" + name);
        writeBytes(dvd.files.back(), std::vector<unsigned char>(64 * kSector, 'i'));
    }
    for (const auto& file : dvd.files) dvd.bytes += std::int64_t(std::filesystem::file_size(file));
    ::sync();  // no write-back of the new files during the measurements
    return dvd;
}

DvdLikeFolder writeManySmallVobs(const std::string& parent, int vobs) {
    DvdLikeFolder dvd{parent + "/many", {}, {}, 0};
    std::filesystem::create_directories(dvd.source);
    PackMaker packs(7);
    std::vector<unsigned char> vob(16 * kSector);
    for (std::size_t s = 0; s < 16; ++s) packs.fill(vob.data() + s * kSector, s == 0);
    const std::vector<unsigned char> sideFile(20 * kSector, 'i');
    char name[32];
    for (int i = 0; i < vobs; ++i) {
        const int titleSet = i / 9 + 1;
        std::snprintf(name, sizeof name, "/VTS_%02d_%d.VOB", titleSet, i % 9 + 1);
        dvd.files.push_back(dvd.source + name);
        writeBytes(dvd.files.back(), vob);
        ++dvd.navPacks;
        if (i % 9 != 0) continue;
        for (const char* ending : {"IFO", "BUP"}) {
            std::snprintf(name, sizeof name, "/VTS_%02d_0.%s", titleSet, ending);
            dvd.files.push_back(dvd.source + name);
            writeBytes(dvd.files.back(), sideFile);
        }
    }
    for (const auto& file : dvd.files) dvd.bytes += std::int64_t(std::filesystem::file_size(file));
    ::sync();
    return dvd;
}

double secondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

Timed timing(std::function<void()> work) {
    return [work = std::move(work)] { return secondsOf(work); };
}

void runProgram(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = ::posix_spawnp(&child, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot start " + argv[0]);
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(argv[0] + " failed");
}

long peakMemoryKib(const std::vector<std::string>& argv) {
    std::string command(1, '\'');
    command += platform::programFolder();
    command += "/vantrel-bench-peak-memory'";
    for (const auto& arg : argv) {
        command += " '";
        command += arg;
        command += '\'';
    }
    std::FILE* output = ::popen(command.c_str(), "r");
    long kib = -1;
    if (output == nullptr || std::fscanf(output, "%ld", &kib) != 1 || ::pclose(output) != 0 ||
        kib <= 0)
        throw std::runtime_error("cannot measure the memory of " + argv[0]);
    return kib;
}

std::vector<std::string> cliCommand(const std::string& source, const std::string& destination) {
    return {platform::programFolder() + "/vantrel-cli", "--quiet", source, destination};
}

void catToNull(const std::vector<std::string>& files) {
    std::vector<std::string> argv{"cat"};
    argv.insert(argv.end(), files.begin(), files.end());
    runProgram(argv);
}

void dropFromCache(const std::vector<std::string>& files) {
    ::sync();
    for (const auto& file : files) {
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) != 0)
            throw std::runtime_error("cannot drop " + file + " from the page cache");
        ::close(fd);
    }
}

Comparison alternate(const Timed& baseline, const Timed& candidate, int rounds,
                     const std::function<void()>& prepare) {
    const auto timed = [&](const Timed& work) {
        if (prepare) prepare();
        return work();
    };
    timed(baseline);
    timed(candidate);
    Comparison best{1e30, 1e30};
    // Each side goes first every other round: whatever one run leaves behind
    // for the next (memory to give back, write-back) falls on both alike.
    for (int round = 0; round < rounds; ++round) {
        const auto runBaseline = [&] {
            best.baselineSeconds = std::min(best.baselineSeconds, timed(baseline));
        };
        const auto runCandidate = [&] {
            best.candidateSeconds = std::min(best.candidateSeconds, timed(candidate));
        };
        if (round % 2 == 0) {
            runCandidate();
            runBaseline();
        } else {
            runBaseline();
            runCandidate();
        }
    }
    return best;
}

void report(const std::string& what, std::int64_t bytes, const Comparison& comparison,
            const std::string& baselineName, double goal) {
    const double gb = double(bytes) / 1e9;
    std::printf("%-36s %7.2f GB/s   %-10s %7.2f GB/s   ratio %.2f (goal >= %.2f)\n", what.c_str(),
                gb / comparison.candidateSeconds, baselineName.c_str(),
                gb / comparison.baselineSeconds, comparison.ratio(), goal);
    std::fflush(stdout);
}

}  // namespace vantrel::bench
