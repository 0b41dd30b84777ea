#include "log/error_entries.h"

#include <gtest/gtest.h>

namespace vantrel::log {
namespace {

const std::string ts = "07/12/2026 09:05:03";

TEST(ErrorEntries, EachWriterHasItsExactLayout) {
    EXPECT_EQ(copyFileEntry(ts, "VIDEO_TS.IFO", "cannot open 'x': Input/output error").text(),
              "[CopyFile]\r\n07/12/2026 09:05:03\r\nFile: VIDEO_TS.IFO\r\n"
              "cannot open 'x': Input/output error\r\n\r\n");
    EXPECT_EQ(copyFilesEntry(ts, "", "cannot delete 'y': busy").text(),
              "[CopyFiles]\r\n07/12/2026 09:05:03\r\nFile: \r\ncannot delete 'y': busy\r\n\r\n");
    EXPECT_EQ(
        copySectorEntry(ts, 2048 * 7 + 1, "cannot write").text(),
        "[CopySector]\r\n07/12/2026 09:05:03\r\nSector: 7 Position: 14337\r\ncannot write\r\n");
    EXPECT_EQ(processSectorFileLine("VTS_01_1.VOB").text(), "File: VTS_01_1.VOB\r\n\r\n");
    EXPECT_EQ(processEntry(ts, "VTS_01_1.VOB", "d").text(),
              "[Process]\r\n07/12/2026 09:05:03\r\nFile: VTS_01_1.VOB\r\nd\r\n\r\n");
    EXPECT_EQ(cmdGoClickEntry(ts, "d").text(), "[cmdGo_Click]\r\n07/12/2026 09:05:03\r\nd\r\n\r\n");
    EXPECT_EQ(formLoadEntry(ts, "d", "ALERT").text(),
              "[Form_Load]\r\n07/12/2026 09:05:03\r\nd\r\nALERT\r\n\r\n");
    EXPECT_EQ(formLoadEntry(ts, "d", "").text(),
              "[Form_Load]\r\n07/12/2026 09:05:03\r\nd\r\n\r\n\r\n");
    EXPECT_EQ(formUnloadEntry(ts, "d").text(), "[Form_UnLoad]\r\n07/12/2026 09:05:03\r\nd\r\n\r\n");
}

TEST(ErrorEntries, SectorNumbersAreSixtyFourBit) {
    const std::int64_t position = 2048LL * 3'000'000 + 1;  // beyond 4 GiB
    EXPECT_EQ(copySectorEntry(ts, position, "d").text(),
              "[CopySector]\r\n" + ts + "\r\nSector: 3000000 Position: 6144000001\r\nd\r\n");
}

// Names may hold any byte: the log's CR LF lines hold whatever they say.
TEST(ErrorEntries, NamesAndDescriptionsStayOnOneLine) {
    EXPECT_EQ(cmdGoClickEntry(ts, "cannot open 'a\nb\x1B': x").text(),
              "[cmdGo_Click]\r\n" + ts + "\r\ncannot open 'a b\\x1B': x\r\n\r\n");
    EXPECT_EQ(copyFileEntry(ts, "a\r\nb.IFO", "d").text(),
              "[CopyFile]\r\n" + ts + "\r\nFile: a\\x0D\\x0Ab.IFO\r\nd\r\n\r\n");
    EXPECT_EQ(processSectorFileLine("x\ty\x7F.VOB").text(), "File: x\\x09y\\x7F.VOB\r\n\r\n");
    EXPECT_EQ(processEntry(ts, "VTS_01_1.VOB", "d").text(),
              "[Process]\r\n" + ts + "\r\nFile: VTS_01_1.VOB\r\nd\r\n\r\n");
}

TEST(ErrorEntries, TimestampsUseTheLocaleSeparatorsAndTwoDigitFields) {
    EXPECT_EQ(formatTimestamp({2027, 1, 2, 3, 4, 5}, {}), "02/01/2027 03:04:05");
    EXPECT_EQ(formatTimestamp({2026, 12, 31, 23, 59, 58}, {".", "."}), "31.12.2026 23.59.58");
}

}  // namespace
}  // namespace vantrel::log
