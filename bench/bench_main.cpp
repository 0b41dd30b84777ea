// Throughput of the extraction against a plain read of the same files, both
// measured in the same run: the machines are shared, so only ratios count.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/paths.h"
#include "support/test_bed.h"
#include "throughput.h"

using namespace vantrel;

namespace {

constexpr std::int64_t kGiB = std::int64_t{1} << 30;

int rounds() {
    const char* text = std::getenv("VANTREL_BENCH_ROUNDS");
    return text != nullptr ? std::max(1, std::atoi(text)) : 3;
}

// Process on one VOB through the headless window, against cat.
void benchScanner() {
    testing::TestBed bed;
    bed.useFolders();
    const std::string vob = bed.source() + "/VTS_01_1.VOB";
    const std::int64_t navPacks = bench::writeVobLikeFile(vob, kGiB, 1);
    ::sync();  // no write-back of the new file during the measurement
    const auto comparison = bench::alternate([&] { bench::catToNull({vob}); },
                                             [&] { bed.form.Process("VTS_01_1.VOB"); }, rounds());
    if (bed.form.tally().navPacksWritten == 0 || !bed.logText().empty() ||
        testing::readFile(bed.destination() + "/VTS_01_1.VOB").size() !=
            std::size_t(navPacks) * 2048)
        throw std::runtime_error("the scan did not produce the expected output");
    bench::report("scanner (Process, 1 GiB VOB)", kGiB, comparison, "cat", 0.9);
}

// A whole vantrel-cli extraction of a DVD-like folder, against cat of its files.
void benchCli() {
    testing::TempFolder temp;
    const std::string source = temp / "DVD", destination = temp / "out";
    testing::makeFolder(source);
    testing::makeFolder(destination);
    std::vector<std::string> files;
    for (const char* name : {"VTS_01_1.VOB", "VTS_01_2.VOB"}) {
        files.push_back(source + "/" + name);
        bench::writeVobLikeFile(files.back(), kGiB, files.size());
    }
    for (const char* name : {"VIDEO_TS.IFO", "VIDEO_TS.BUP", "VTS_01_0.IFO", "VTS_01_0.BUP"}) {
        files.push_back(source + "/" + name);
        testing::writeFile(files.back(), testing::patternBytes(64 * 2048, 7));
    }
    ::sync();
    const std::string command = "'" + platform::programFolder() + "/vantrel-cli' --quiet '" +
                                source + "' '" + destination + "'";
    const auto comparison = bench::alternate([&] { bench::catToNull(files); },
                                             [&] {
                                                 if (std::system(command.c_str()) != 0)
                                                     throw std::runtime_error("vantrel-cli failed");
                                             },
                                             rounds());
    bench::report("vantrel-cli (2 GiB DVD folder)", 2 * kGiB, comparison, "cat", 0.9);
}

}  // namespace

int main() {
    try {
        std::printf("Throughput, best of %d alternating rounds, warm cache\n", rounds());
        benchScanner();
        benchCli();
        return 0;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "vantrel-bench: %s\n", failure.what());
        return 1;
    }
}
