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
};

// `parent`/DVD with two 1 GiB VOBs and four side files, and an empty
// `parent`/out, flushed to disk.
DvdLikeFolder writeDvdLikeFolder(const std::string& parent);

// One extraction of `dvd` through the main window (alert off).
void extractThroughWindow(const DvdLikeFolder& dvd);

double secondsOf(const std::function<void()>& work);

// `cat FILES > /dev/null`: one plain sequential read of the files.
void catToNull(const std::vector<std::string>& files);

struct Comparison {
    double baselineSeconds = 0;   // best of the rounds
    double candidateSeconds = 0;  // best of the rounds
    double ratio() const { return baselineSeconds / candidateSeconds; }
};

// Runs baseline and candidate alternately, `rounds` times each, after one
// warming run of each, and keeps the best time of each.
Comparison alternate(const std::function<void()>& baseline, const std::function<void()>& candidate,
                     int rounds);

void report(const std::string& what, std::int64_t bytes, const Comparison& comparison,
            const std::string& baselineName, double goal);

}  // namespace vantrel::bench
