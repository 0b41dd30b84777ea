// Throughput of the extraction against a plain read of the same files, both
// measured in the same run: the machines are shared, so only ratios count.

#include <cstdio>
#include <cstdlib>
#include <string>

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
    const auto comparison = bench::alternate([&] { bench::catToNull({vob}); },
                                             [&] { bed.form.Process("VTS_01_1.VOB"); }, rounds());
    if (bed.form.tally().navPacksWritten == 0 || !bed.logText().empty() ||
        testing::readFile(bed.destination() + "/VTS_01_1.VOB").size() !=
            std::size_t(navPacks) * 2048)
        throw std::runtime_error("the scan did not produce the expected output");
    bench::report("scanner (Process, 1 GiB VOB)", kGiB, comparison, "cat", 0.9);
}

}  // namespace

int main() {
    try {
        std::printf("Throughput, best of %d alternating rounds, warm cache\n", rounds());
        benchScanner();
        return 0;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "vantrel-bench: %s\n", failure.what());
        return 1;
    }
}
