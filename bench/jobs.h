#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "throughput.h"

namespace vantrel::bench {

// One extraction of `dvd` by the window object in this process, on the
// terminal's controls (quiet): the seconds from Extract to the job's return.
double extractInProcess(const DvdLikeFolder& dvd);

// `dvd`'s files as the VIDEO_TS folder of a UDF image at `image`, made with genisoimage.
void writeUdfImage(const DvdLikeFolder& dvd, const std::string& image);

// One extraction of the image's VIDEO_TS folder into `dvd`'s destination, in
// this process on the terminal's controls (quiet): the seconds from opening
// the image to the job's return.
double extractFromImage(const DvdLikeFolder& dvd, const std::string& image);

// The same through the main window on the offscreen platform (alert off).
double extractThroughWindow(const DvdLikeFolder& dvd);

// Exit pressed by a timer while a VOB of `dvd` is being scanned, `tries`
// times: for each, the seconds from the moment the timer was due to the
// job's return (the wait for the window's next look at its events included).
std::vector<double> exitAnswerTimes(const DvdLikeFolder& dvd, int tries);

// A job through the main window (offscreen, alert off) whose first read of
// its first VOB takes `stall` (none: the same job without a stall), and Exit
// pressed two thirds into the stall (a tenth of a second into the scans):
// the longest time between two real pumps of the window up to the one that
// answered Exit, and the seconds from Exit to the job's return.
struct StallAnswer {
    double longestPumpGap = 0;
    double exitToEnd = 0;
};
StallAnswer stalledSourceAnswer(const DvdLikeFolder& dvd, std::chrono::milliseconds stall);

}  // namespace vantrel::bench
