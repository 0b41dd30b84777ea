// Process and CopySector: the scan of one VOB for its navigation packs.

#include <algorithm>
#include <array>

#include "dvd/dvd_format.h"
#include "engine/frmMain.h"
#include "log/error_entries.h"
#include "platform/failure.h"

namespace vantrel::engine {
namespace {

// A word that could not be read whole: 0, which no start code matches, when it
// runs past the length the file had when its scan began; inside that length it
// must be there, and a file cut short under the scan ends it. Kept out of line,
// away from the scan's every-sector path.
[[gnu::noinline, gnu::cold]] std::uint16_t shortWord(const platform::BinaryFile& file,
                                                     std::int64_t position, std::int64_t length) {
    if (position + 1 <= length)
        throw platform::Failure("cannot read '" + file.path() + "': the file ends before the " +
                                std::to_string(length) + " bytes it had when its scan began");
    return 0;
}

}  // namespace

// The little-endian word at `position` (see shortWord for one that is not all there).
std::uint16_t frmMain::readWord(platform::BinaryFile& file, std::int64_t position,
                                std::int64_t length) {
    unsigned char bytes[2];
    if (file.readAt(position, bytes, sizeof bytes) < sizeof bytes)
        return shortWord(file, position, length);
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

void frmMain::Process(const std::string& Fil) {
    platform::BinaryFile source(m_sourceFiles, m_readBuffer);
    platform::BinaryFile output(m_services.files);  // unbuffered: needs no buffer
    std::int64_t length = 0;
    // p is the 1-based position of byte 2 of each sector in turn: the sectors
    // before the one it stands in have been examined.
    std::int64_t p = 1 + dvd::kPackStartOffset;
    bool toTheEnd = false;
    bool sectorFailed = false;
    FileEnd end{Fil, FileKind::Vob, std::nullopt, 0, 0, FileOutcome::Failed};
    const std::int64_t packsBefore = m_tally.navPacksWritten;
    try {
        try {
            length = startFile(Fil, FileKind::Vob, end);
            source.openForReading(pathIn(TextBox::txtVobDir, Fil));
            // Each packet reaches the disk as it is found: a failure is reported at
            // its own sector, and a killed program loses nothing it found.
            openOutput(output, Fil, source, platform::BinaryFile::WriteMode::Unbuffered);
            // A sparse output has its source's length before its first sector:
            // the sectors it gets lie inside it, where no file system allocates
            // ahead, and a scan cut short leaves every later file of the VOB set
            // at its own addresses.
            if (m_copyKind == CopyKind::Sparse) output.makeSparse(length);
            // Only this scan sets the per-file bar: its value is kept here too,
            // rather than asked of the window at every sector.
            float progress = 0;
            m_window.setValue(Bar::ProgFile, progress);
            m_window.setMax(Bar::ProgFile, static_cast<float>(length + dvd::kSectorSize));

            for (; p < length; p += dvd::kSectorSize) {
                m_window.pumpEvents();
                if (bCancel != kFalse) break;
                if (readWord(source, p, length) == dvd::kPackStartWord &&
                    readWord(source, p + dvd::kPrivateStream2Offset - dvd::kPackStartOffset,
                             length) == dvd::kPrivateStream2Word &&
                    CopySector(source, p - dvd::kPackStartOffset, output) == kFalse) {
                    sectorFailed = true;
                    logContinuation(log::processSectorFileLine(Fil), Fil);
                    // Nothing found later could land in the output without a gap.
                    if (output.writeFailed()) break;
                }
                progress += static_cast<float>(dvd::kSectorSize);
                m_window.setValue(Bar::ProgFile, progress);
                const std::int64_t examined =
                    std::min(length, p + dvd::kSectorSize - 1 - dvd::kPackStartOffset);
                tell([&](JobObserver& observer) { observer.bytesScanned(examined); });
            }
            toTheEnd = p >= length;
        } catch (const platform::CallAbandoned&) {
            // Exit while the source did not answer: the scan stops before the
            // sector it was reading, as a cancel stops it there.
        }
        source.close();
        output.close();
        if (toTheEnd) ++m_tally.vobsScanned;
        if (!sectorFailed) end.outcome = toTheEnd ? FileOutcome::Done : FileOutcome::Stopped;
    } catch (const std::exception& failure) {
        log(EntryKind::FileFailure, log::processEntry(timestamp(), Fil, failure.what()), Fil);
        source.closeQuietly();
        output.closeQuietly();  // keeps what was found before the failure
    }
    end.bytesRead = toTheEnd ? length : p - 1 - dvd::kPackStartOffset;
    end.navPacksWritten = m_tally.navPacksWritten - packsBefore;
    m_tally.bytesRead += end.bytesRead;
    tell([&](JobObserver& observer) { observer.fileEnded(end); });
}

VbBool frmMain::CopySector(platform::BinaryFile& fp, std::int64_t pos, platform::BinaryFile& out) {
    try {
        // A sector cut short by the end of the file is completed with zeros.
        std::array<unsigned char, dvd::kSectorSize> sector{};
        fp.readAt(pos, sector.data(), sector.size());
        writeKeptSector(out, pos, sector.data());
        ++m_tally.navPacksWritten;
        m_tally.bytesWritten += dvd::kSectorSize;
        return kTrue;
    } catch (const std::exception& failure) {
        log(EntryKind::FileFailure, log::copySectorEntry(timestamp(), pos, failure.what()));
        return kFalse;
    }
}

// After the sectors kept before it, or in a sparse copy at its own offset,
// where DVD readers look for it by the addresses in the IFOs.
void frmMain::writeKeptSector(platform::BinaryFile& out, std::int64_t pos,
                              const unsigned char* sector) {
    if (m_copyKind == CopyKind::Sparse) {
        out.writeAt(pos, sector, std::size_t{dvd::kSectorSize});
    } else {
        out.write(sector, std::size_t{dvd::kSectorSize});
    }
}

}  // namespace vantrel::engine
