// Throughput of the extraction against a plain read of the same files, both
// measured in the same run: the machines are shared, so only ratios count.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/paths.h"
#include "platform/registry_file_store.h"
#include "platform/registry_store_file.h"
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

std::string cliCommand(const std::string& source, const std::string& destination) {
    std::string command(1, '\'');
    command += platform::programFolder();
    command += "/vantrel-cli' --quiet '" + source + "' '" + destination + "'";
    return command;
}

void runCommand(const std::string& command) {
    if (std::system(command.c_str()) != 0) throw std::runtime_error(command + " failed");
}

// A whole vantrel-cli extraction of a DVD-like folder, against cat of its files.
void benchCli(const bench::DvdLikeFolder& dvd) {
    const auto comparison =
        bench::alternate([&] { bench::catToNull(dvd.files); },
                         [&] { runCommand(cliCommand(dvd.source, dvd.destination)); }, rounds());
    bench::report("vantrel-cli (2 GiB DVD folder)", dvd.bytes, comparison, "cat", 0.9);
}

// One look-up in a 5 MB settings store made of a value with a long name that
// goes on over many continuation lines, against reading the file alone.
void benchRegistryStore() {
    testing::TempFolder temp;
    const std::string path = temp / "registry.reg";
    std::string text =
        "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\V]\n\"" + std::string(100000, 'N') + "\"=hex:";
    while (text.size() < 5000000) text += "00,01,02,03,\\\n  ";
    text += "ff\n\"ALERT\"=hex:01\n";
    testing::writeFile(path, text);
    platform::RegistryFileStore store(path);
    platform::HKEY key = platform::kNullKey;
    std::uint32_t size = 0;
    store.RegOpenKeyA(platform::HKEY_LOCAL_MACHINE, "V", key);
    const auto comparison = bench::alternate(
        [&] {
            std::string read;
            platform::readStoreFile(path, read);
        },
        [&] {
            if (store.RegQueryValueExA(key, "ALERT", nullptr, nullptr, &size) !=
                platform::ERROR_SUCCESS)
                throw std::runtime_error("the store did not find its value");
        },
        rounds());
    bench::report("registry store look-up (5 MB)", std::int64_t(text.size()), comparison, "read",
                  0.1);
}

#ifdef VANTREL_BENCH_WINDOW
// The same extraction through the real window on the offscreen platform,
// against vantrel-cli.
void benchWindow(const bench::DvdLikeFolder& dvd) {
    const auto comparison =
        bench::alternate([&] { runCommand(cliCommand(dvd.source, dvd.destination)); },
                         [&] { bench::extractThroughWindow(dvd); }, rounds());
    bench::report("window (2 GiB DVD folder)", dvd.bytes, comparison, "cli", 0.95);
}
#endif

}  // namespace

int main() {
    try {
        std::printf("Throughput, best of %d alternating rounds, warm cache\n", rounds());
        benchRegistryStore();
        benchScanner();
        testing::TempFolder temp;
        const bench::DvdLikeFolder dvd = bench::writeDvdLikeFolder(temp.path());
        benchCli(dvd);
#ifdef VANTREL_BENCH_WINDOW
        benchWindow(dvd);
#endif
        return 0;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "vantrel-bench: %s\n", failure.what());
        return 1;
    }
}
