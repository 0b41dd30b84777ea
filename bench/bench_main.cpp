// The extraction's costs against plain tools doing the same reading and
// writing, each measured in the same run: the machines are shared, so only
// ratios count. Every figure is printed with its goal; the program fails only
// when a figure cannot be measured.

#include <linux/magic.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "dvd/dvd_format.h"
#include "jobs.h"
#include "platform/binary_file.h"
#include "platform/file_system_posix.h"
#include "settings_store.h"
#include "sparse_copy.h"
#include "support/temp_folder.h"
#include "throughput.h"

using namespace vantrel;

namespace {

constexpr std::int64_t kGiB = std::int64_t{1} << 30;

int rounds() {
    const char* text = std::getenv("VANTREL_BENCH_ROUNDS");
    return text != nullptr ? std::max(1, std::atoi(text)) : 5;
}

bench::Timed cli(const bench::DvdLikeFolder& dvd) {
    return bench::timing(
        [&] { bench::runProgram(bench::cliCommand(dvd.source, dvd.destination)); });
}

bench::Timed cat(const bench::DvdLikeFolder& dvd) {
    return bench::timing([&] { bench::catToNull(dvd.files); });
}

// Each run of either side starts with an empty destination and nothing left to
// write back: deleting the last run's outputs while they are still being
// written back is no part of reading the files.
void emptyDestination(const bench::DvdLikeFolder& dvd) {
    for (const auto& entry : std::filesystem::directory_iterator(dvd.destination))
        std::filesystem::remove(entry.path());
    ::sync();
}

bench::Comparison benchCliWarm(const bench::DvdLikeFolder& dvd) {
    const auto comparison =
        bench::alternate(cat(dvd), cli(dvd), rounds(), [&] { emptyDestination(dvd); });
    bench::report("vantrel-cli, 2 GiB DVD folder, warm", dvd.bytes, comparison, "cat", 1.0);
    return comparison;
}

void benchCliCold(const bench::DvdLikeFolder& dvd) {
    const auto comparison = bench::alternate(cat(dvd), cli(dvd), rounds(), [&] {
        emptyDestination(dvd);
        bench::dropFromCache(dvd.files);
    });
    bench::report("vantrel-cli, 2 GiB DVD folder, cold", dvd.bytes, comparison, "cat", 1.0);
}

// A job from a UDF image of the same folder, against one plain read of the
// image file: reading an image must cost no more than reading the image.
void benchImage(const bench::DvdLikeFolder& dvd, const std::string& parent) {
    const std::string image = parent + "/dvd.iso";
    bench::writeUdfImage(dvd, image);
    const auto comparison = bench::alternate(
        bench::timing([&] { bench::catToNull({image}); }),
        [&] { return bench::extractFromImage(dvd, image); }, rounds(),
        [&] { emptyDestination(dvd); });
    bench::report("job from a UDF image, 2 GiB, warm", dvd.bytes, comparison, "cat image", 1.0);
    std::filesystem::remove(image);
}

// Where the small files go: a memory file system when there is one. On ext4
// without a journal (this machine's disk), creating a file looks past every
// inode freed in the last minute or more, so that a few thousand files deleted
// by an earlier run (or by anyone) make either side's time a matter of
// chance, from a fifth to seven times the other's.
std::string smallFilesFolder(const std::string& fallback) {
    struct statfs info {};
    std::string pattern = "/dev/shm/vantrel-bench-XXXXXX";
    if (::statfs("/dev/shm", &info) == 0 && info.f_type == TMPFS_MAGIC &&
        ::mkdtemp(pattern.data()) != nullptr)
        return pattern;
    return fallback + "/small";
}

// Both read every file, create every file in a fresh folder and see it reach
// the device (the job flushes its destination before it says it is done).
void benchManySmallFiles(const std::string& fallback) {
    const std::string parent = smallFilesFolder(fallback);
    const struct RemovedAtTheEnd {
        std::string path;
        ~RemovedAtTheEnd() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    } cleanUp{parent};
    const bool inMemory = parent.rfind("/dev/shm/", 0) == 0;
    const bench::DvdLikeFolder many = bench::writeManySmallVobs(parent, 2000);
    int run = 0;
    const auto target = [&] { return parent + "/copy-" + std::to_string(run); };
    const auto fresh = [&] {
        if (inMemory) std::filesystem::remove_all(target());  // harmless there
        ++run;
        std::filesystem::create_directories(target());
        ::sync();
    };
    const auto comparison = bench::alternate(
        bench::timing([&] {
            bench::runProgram({"cp", "-r", many.source, target() + "/copy"});
            bench::runProgram({"sync", "-f", target()});
        }),
        bench::timing([&] { bench::runProgram(bench::cliCommand(many.source, target())); }),
        rounds(), fresh);
    bench::report(inMemory ? "vantrel-cli, 2000 small VOBs, tmpfs" : "vantrel-cli, 2000 small VOBs",
                  many.bytes, comparison, "cp -r; sync -f", 0.8);
}

#ifdef VANTREL_BENCH_WINDOW
// The window's own cost: the same job in this process, on the terminal's
// controls, against the real window (offscreen); neither pays for starting a
// program.
void benchWindow(const bench::DvdLikeFolder& dvd) {
    const auto comparison = bench::alternate([&] { return bench::extractInProcess(dvd); },
                                             [&] { return bench::extractThroughWindow(dvd); },
                                             rounds(), [&] { emptyDestination(dvd); });
    bench::report("window, 2 GiB DVD folder, warm", dvd.bytes, comparison, "no window", 0.95);
}

void benchExitAnswer(const bench::DvdLikeFolder& dvd) {
    std::vector<double> times = bench::exitAnswerTimes(dvd, 20);
    std::sort(times.begin(), times.end());
    const double median = (times[9] + times[10]) / 2;
    std::printf("%-36s median %5.1f ms, worst %5.1f ms (goal <= 20 ms)\n",
                "Exit answered during a scan, 20x", median * 1e3, times.back() * 1e3);
}

// A read that the source keeps for 3 s, as a drive retrying a bad spot does:
// the window must go on pumping meanwhile, and answer Exit at once.
void benchStalledSource(const bench::DvdLikeFolder& dvd) {
    const bench::StallAnswer stalled = bench::stalledSourceAnswer(dvd, std::chrono::seconds(3));
    const bench::StallAnswer steady = bench::stalledSourceAnswer(dvd, {});
    std::printf(
        "%-36s longest pump gap %6.1f ms (goal <= 100 ms), Exit to the end %6.1f ms "
        "(goal <= 110 ms)\n",
        "window, a read stalled for 3 s", stalled.longestPumpGap * 1e3, stalled.exitToEnd * 1e3);
    std::printf("%-36s longest pump gap %6.1f ms, Exit to the end %6.1f ms\n",
                "  the same job without a stall", steady.longestPumpGap * 1e3,
                steady.exitToEnd * 1e3);
}
#endif

// The peak resident memory of whole vantrel-cli jobs: a DVD folder, and one
// VOB bigger than any buffer could hold.
void benchPeakMemory(const bench::DvdLikeFolder& dvd, const std::string& parent) {
    const long dvdKib = bench::peakMemoryKib(bench::cliCommand(dvd.source, dvd.destination));
    const std::string sparse = parent + "/sparse", out = parent + "/sparse-out";
    std::filesystem::create_directories(sparse);
    std::filesystem::create_directories(out);
    const std::string vob = sparse + "/VTS_01_1.VOB";
    std::ofstream{vob};
    if (::truncate(vob.c_str(), 8 * kGiB) != 0) throw std::runtime_error("cannot make " + vob);
    const long sparseKib = bench::peakMemoryKib(bench::cliCommand(sparse, out));
    bench::dropFromCache({vob});
    std::printf(
        "%-36s %5.1f MiB (2 GiB folder), %5.1f MiB (8 GiB sparse VOB) "
        "(goal < 16 MiB, the same for both)\n",
        "peak memory of vantrel-cli", double(dvdKib) / 1024.0, double(sparseKib) / 1024.0);
}

// What writing each navigation pack as it is found costs a whole job.
void benchWriteThrough(const bench::DvdLikeFolder& dvd, double jobSeconds) {
    platform::PosixFileSystem files;
    const std::vector<unsigned char> sector(std::size_t(dvd::kSectorSize), 0x5A);
    double best = 1e30;
    for (int round = 0; round < 3; ++round) {
        platform::BinaryFile output(files);
        output.openForWriting(dvd.destination + "/WRITES.VOB", {},
                              platform::BinaryFile::WriteMode::Unbuffered);
        best = std::min(best, bench::secondsOf([&] {
                            for (std::int64_t i = 0; i < dvd.navPacks; ++i)
                                output.write(sector.data(), sector.size());
                        }));
        output.close();
    }
    std::filesystem::remove(dvd.destination + "/WRITES.VOB");
    std::printf("%-36s %lld writes of 2 KiB, %.1f us each, %.1f ms = %.1f%% of the warm job\n",
                "  of which NV_PCK write-through", static_cast<long long>(dvd.navPacks),
                best / double(dvd.navPacks) * 1e6, best * 1e3, best / jobSeconds * 100);
}

}  // namespace

int main() {
    try {
        std::printf("Best of %d alternating rounds, both sides measured in this run\n", rounds());
        std::fflush(stdout);
        testing::TempFolder temp;
        const bench::DvdLikeFolder dvd = bench::writeDvdLikeFolder(temp.path());
        benchWriteThrough(dvd, benchCliWarm(dvd).candidateSeconds);
        benchCliCold(dvd);
        benchSparseCopy(dvd, rounds(), [&] { emptyDestination(dvd); });
        benchImage(dvd, temp.path());
#ifdef VANTREL_BENCH_WINDOW
        benchWindow(dvd);
        benchExitAnswer(dvd);
        benchStalledSource(dvd);
#endif
        benchPeakMemory(dvd, temp.path());
        for (const auto& [shape, what] :
             {std::pair{bench::StoreShape::LongContinuedValue, "settings load, 5 MB long value"},
              std::pair{bench::StoreShape::ManyBlankLines, "settings load, 5 MB blank lines"}}) {
            const bench::Comparison store = bench::settingsStoreLoad(shape, rounds());
            std::printf("%-36s %6.1f ms, a plain read of it %5.1f ms (goal well under 1 s)\n", what,
                        store.candidateSeconds * 1e3, store.baselineSeconds * 1e3);
        }
        benchManySmallFiles(temp.path());
        return 0;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "vantrel-bench: %s\n", failure.what());
        return 1;
    }
}
