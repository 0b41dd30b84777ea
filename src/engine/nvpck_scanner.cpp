// Process and CopySector: the scan of one VOB for its navigation packs.

#include <array>

#include "engine/dvd_format.h"
#include "engine/frmMain.h"
#include "log/error_entries.h"

namespace vantrel::engine {

std::uint16_t frmMain::readWord(platform::BinaryFile& file, std::int64_t position) {
    std::array<unsigned char, 2> bytes{};
    // A word that runs past the end of the file can never match a start code.
    if (file.readAt(position, bytes.data(), bytes.size()) < bytes.size()) return 0;
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

void frmMain::Process(const std::string& Fil) {
    platform::BinaryFile source(m_services.files);
    platform::BinaryFile output(m_services.files);
    m_tally.currentFile = Fil;
    try {
        const std::int64_t length = m_services.files.fileLength(pathIn(TextBox::txtVobDir, Fil));
        source.openForReading(pathIn(TextBox::txtVobDir, Fil));
        output.openForWriting(pathIn(TextBox::txtDest, Fil), &source);
        m_window.setValue(Bar::ProgFile, 0);
        m_window.setMax(Bar::ProgFile, static_cast<float>(length + dvd::kSectorSize));

        // p is the 1-based position of byte 2 of each sector in turn.
        for (std::int64_t p = 1 + dvd::kPackStartOffset; p < length; p += dvd::kSectorSize) {
            m_window.pumpEvents();
            if (bCancel != kFalse) break;
            if (readWord(source, p) == dvd::kPackStartWord &&
                readWord(source, p + dvd::kPrivateStream2Offset - dvd::kPackStartOffset) ==
                    dvd::kPrivateStream2Word) {
                if (CopySector(source, p - dvd::kPackStartOffset, output) == kFalse)
                    log(log::processSectorFileLine(Fil));
            }
            advance(Bar::ProgFile, static_cast<float>(dvd::kSectorSize));
        }
        source.close();
        output.close();
        ++m_tally.vobsScanned;
        m_tally.bytesRead += length;
    } catch (const std::exception& failure) {
        log(log::processEntry(timestamp(), Fil, failure.what()));
        source.closeQuietly();
        output.closeQuietly();  // keeps what was found before the failure
    }
}

VbBool frmMain::CopySector(platform::BinaryFile& fp, std::int64_t pos, platform::BinaryFile& out) {
    try {
        // A sector cut short by the end of the file is completed with zeros.
        std::array<unsigned char, dvd::kSectorSize> sector{};
        fp.readAt(pos, sector.data(), sector.size());
        out.write(sector.data(), sector.size());
        ++m_tally.navPacksWritten;
        m_tally.bytesWritten += dvd::kSectorSize;
        return kTrue;
    } catch (const std::exception& failure) {
        log(log::copySectorEntry(timestamp(), pos, failure.what()));
        return kFalse;
    }
}

}  // namespace vantrel::engine
