#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vantrel::bench {

// Writes a VOB-like file of `bytes` bytes: random packs that begin 00 00 01 BA,
// with a navigation pack every 150 to 400 packs. Returns the number of
// navigation packs.
std::int64_t writeVobLikeFile(const std::string& path, std::int64_t bytes, std::uint64_t seed);

struct DvdLikeFolder {
    std::string source, destination;
    std::vector<std::string> files;
    std::int64_t bytes = 0;
    std::int64_t navPacks = 0;
};

// `parent`/DVD with two 1 GiB VOBs and four side files, and an empty
// `parent`/out, flushed to disk. The first two files are the VOBs.
DvdLikeFolder writeDvdLikeFolder(const std::string& parent);

// `parent`/many with `vobs` VOBs of 16 sectors holding one navigation pack
// each, an .IFO and a .BUP per title set of 9 VOBs, flushed to disk; no
// destination.
DvdLikeFolder writeManySmallVobs(const std::string& parent, int vobs);

double secondsOf(const std::function<void()>& work);

// A piece of work that says how long its measured part took, in seconds.
using Timed = std::function<double()>;
// The whole of `work`, timed.
Timed timing(std::function<void()> work);

// Runs a program (no shell) with stdout on /dev/null and waits for it; throws
// unless it exits with 0.
void runProgram(const std::vector<std::string>& argv);

// The peak resident memory of a run of `argv`, in KiB.
long peakMemoryKib(const std::vector<std::string>& argv);

// vantrel-cli --quiet SOURCE DEST, from the folder of this benchmark.
std::vector<std::string> cliCommand(const std::string& source, const std::string& destination);

// `cat FILES > /dev/null`: one plain sequential read of the files.
void catToNull(const std::vector<std::string>& files);

// Flushes everything written, then drops `files` from the page cache: the next
// read of them comes from the device.
void dropFromCache(const std::vector<std::string>& files);

struct Comparison {
    double baselineSeconds = 0;   // best of the rounds
    double candidateSeconds = 0;  // best of the rounds
    double ratio() const { return baselineSeconds / candidateSeconds; }
};

// Runs baseline and candidate alternately, `rounds` times each, after one
// warming run of each, and keeps the best time of each. Each goes first every
// other round. `prepare`, when given,
// runs untimed before every run of either.
Comparison alternate(const Timed& baseline, const Timed& candidate, int rounds,
                     const std::function<void()>& prepare = {});

// One line: the candidate's and the baseline's rates and their ratio, with its goal.
void report(const std::string& what, std::int64_t bytes, const Comparison& comparison,
            const std::string& baselineName, double goal);

}  // namespace vantrel::bench
