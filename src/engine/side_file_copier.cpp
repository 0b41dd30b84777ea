// CopyFiles and CopyFile: the destination cleared, the .ifo and .bup files copied.

#include <array>
#include <cstddef>
#include <vector>

#include "engine/frmMain.h"
#include "engine/job_files.h"
#include "log/error_entries.h"
#include "platform/dir_listing.h"

namespace vantrel::engine {
namespace {

// Side files are copied in blocks of this size, the file's bar moving and the
// window pumped once a block.
constexpr std::size_t kCopyBlockSize = std::size_t{1} << 10;

}  // namespace

void frmMain::CopyFiles() {
    std::string lastListedName;
    try {
        clearDestination();
        for (const char* pattern : kSideFilePatterns) copySideFiles(pattern, lastListedName);
    } catch (const platform::CallAbandoned&) {
        // Exit while the source folder did not answer: nothing more is
        // copied, as after a cancel.
    } catch (const std::exception& failure) {
        log(EntryKind::FileFailure,
            log::copyFilesEntry(timestamp(), lastListedName, failure.what()));
    }
}

// Symbolic links with the DVD endings go too (the links, not what they lead
// to): an output written through one would land outside the destination.
void frmMain::clearDestination() {
    for (const char* pattern : kStalePatterns)
        platform::deleteFiles(m_services.files, pathIn(TextBox::txtDest, pattern));
}

void frmMain::copySideFiles(const char* pattern, std::string& lastListedName) {
    platform::DirListing listing(m_sourceFiles);
    lastListedName =
        listing.first(pathIn(TextBox::txtVobDir, pattern), platform::ListWhat::PlainFiles);
    while (!lastListedName.empty() && bCancel == kFalse) {
        m_window.pumpEvents();
        CopyFile(lastListedName);
        lastListedName = listing.next();
        // The panel shows the count before this file is added.
        m_window.setPanelText(1, barValueText(m_window.value(Bar::Prog)));
        advance(Bar::Prog, 1);
    }
}

void frmMain::CopyFile(const std::string& Fil) {
    platform::BinaryFile source(m_sourceFiles, m_readBuffer);
    platform::BinaryFile output(m_services.files, m_writeBuffer);
    std::int64_t copied = 0;
    FileEnd end{Fil, FileKind::SideFile, std::nullopt, 0, 0, FileOutcome::Failed};
    try {
        bool cancelled = false;
        try {
            const std::int64_t length = startFile(Fil, FileKind::SideFile, end);
            const std::int64_t blocks = length / std::int64_t(kCopyBlockSize);
            m_window.setValue(Bar::ProgFile, 0);
            m_window.setMax(Bar::ProgFile, static_cast<float>(blocks));
            source.openForReading(pathIn(TextBox::txtVobDir, Fil));
            openOutput(output, Fil, source);

            std::array<unsigned char, kCopyBlockSize> block{};
            for (std::int64_t i = 1; i <= blocks && !cancelled; ++i) {
                source.read(block.data(), block.size());
                output.write(block.data(), block.size());
                copied += std::int64_t(block.size());
                tell([&](JobObserver& observer) { observer.bytesScanned(copied); });
                advance(Bar::ProgFile, 1);
                m_window.pumpEvents();
                cancelled = bCancel != kFalse;  // the tail is not copied then
            }
            if (!cancelled) {
                std::vector<unsigned char> tail(std::size_t(length % std::int64_t(kCopyBlockSize)));
                source.read(tail.data(), tail.size());
                output.write(tail.data(), tail.size());
                copied += std::int64_t(tail.size());
            }
        } catch (const platform::CallAbandoned&) {
            // Exit while the source did not answer: the copy stops after the
            // last whole block, as a cancel stops it.
            cancelled = true;
        }
        source.close();
        output.close();
        m_tally.bytesWritten += copied;
        if (!cancelled) ++m_tally.sideFilesCopied;
        end.outcome = cancelled ? FileOutcome::Stopped : FileOutcome::Done;
    } catch (const std::exception& failure) {
        log(EntryKind::FileFailure, log::copyFileEntry(timestamp(), Fil, failure.what()), Fil);
        source.closeQuietly();
        output.closeQuietly();  // keeps what was copied before the failure
    }
    m_tally.bytesRead += copied;
    end.bytesRead = copied;
    tell([&](JobObserver& observer) { observer.fileEnded(end); });
}

}  // namespace vantrel::engine
