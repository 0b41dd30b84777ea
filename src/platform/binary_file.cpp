#include "platform/binary_file.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <utility>

#include "dvd/dvd_format.h"
#include "platform/call_worker.h"
#include "platform/failure.h"

namespace vantrel::platform {
namespace {

// Reads start at a DVD sector's boundary, so that a scan's buffer holds whole
// sectors and a read-ahead that fails is narrowed down to the sector that
// cannot be read.
constexpr std::int64_t kAlignment = dvd::kSectorSize;

}  // namespace

BinaryFile::BinaryFile(FileSystem& files) : m_files(files), m_buffer(m_ownBuffer) {}

BinaryFile::BinaryFile(FileSystem& files, IoBuffer& buffer) : m_files(files), m_buffer(buffer) {}

BinaryFile::~BinaryFile() { abandon(); }

void BinaryFile::openForReading(const std::string& path) {
    close();
    m_writeFailure.clear();
    m_badRegions.clear();
    adopt(m_files.openForReading(path), path);
    m_writing = false;
}

void BinaryFile::openForWriting(const std::string& path, const Refusal& refusal, WriteMode mode) {
    close();
    m_writeFailure.clear();
    const FileStatus status = adopt(m_files.openForWriting(path), path);
    if (const std::string reason = refusal ? refusal(status.identity) : ""; !reason.empty()) {
        abandon();
        throw Failure("cannot create '" + path + "': " + reason);
    }
    // A file that is already empty (as every output is, the destination having
    // been cleared) is left alone: truncating it would make the file system
    // flush it to disk at close, as it does for files rewritten in place.
    if (const int error = status.length != 0 ? m_files.truncate(m_fd, 0) : 0; error < 0) {
        abandon();
        fail("cannot truncate", error);
    }
    m_writing = true;
    m_writeMode = mode;
    m_written = 0;
}

FileStatus BinaryFile::adopt(int fd, const std::string& path) {
    m_fd = fd;
    m_path = path;
    FileStatus status;
    if (const int error = m_files.statusOf(fd, status); error < 0) {
        abandon();
        fail("cannot look up", error);
    }
    m_identity = status.identity;
    m_openedLength = status.length;
    return status;
}

std::size_t BinaryFile::readAtSlowly(std::int64_t offset, void* destination, std::size_t count) {
    if (offset < 0) throw Failure("cannot read '" + m_path + "': bad position");
    const std::int64_t end = offset + std::int64_t(count);
    // A large read, or one into a bad region, reads just what is asked for, so
    // that a failure is reported where it lies.
    if (count > m_buffer.size() / 2 || touchesBadRegion(offset, end))
        return readDirectly(offset, destination, count);
    bool toEndOfFile = false;
    try {
        toEndOfFile = fillBuffer(offset - offset % kAlignment);
    } catch (const CallAbandoned&) {
        // The read goes on alone into the buffer's memory, which is its own
        // now: the next refill, of this file or another, takes new memory.
        m_buffer.release();
        m_bytes = nullptr;
        m_bufferLength = 0;
        throw;
    }
    const std::int64_t bufferEnd = m_bufferStart + m_bufferLength;
    if (end > bufferEnd && !toEndOfFile) return readDirectly(offset, destination, count);
    const auto copied = static_cast<std::size_t>(
        std::clamp<std::int64_t>(bufferEnd - offset, 0, std::int64_t(count)));
    if (copied > 0) std::memcpy(destination, m_bytes + (offset - m_bufferStart), copied);
    return copied;
}

std::size_t BinaryFile::readDirectly(std::int64_t offset, void* destination, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const std::int64_t got = m_files.readAt(m_fd, static_cast<std::byte*>(destination) + done,
                                                count - done, offset + std::int64_t(done));
        if (got < 0) fail("cannot read", got);
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

bool BinaryFile::fillBuffer(std::int64_t offset) {
    m_bytes = m_buffer.data();
    m_bufferStart = offset;
    m_bufferLength = 0;
    const auto size = std::int64_t(m_buffer.size());
    std::int64_t end = std::min(offset + size, nextBadRegion(offset));
    // A read from the length the file had when it was opened would only find
    // its end: it is not made (a file that grew since is read on beyond it).
    if (offset < m_openedLength) end = std::min(end, m_openedLength);
    while (m_bufferStart + m_bufferLength < end) {
        const std::int64_t got = m_files.readIntoShared(
            m_fd, m_buffer.shared(), std::size_t(m_bufferLength),
            std::size_t(end - m_bufferStart - m_bufferLength), m_bufferStart + m_bufferLength);
        if (got < 0) return fillUpToBadSector(end);
        if (got == 0) return true;
        m_bufferLength += got;
    }
    return filledToTheEnd();
}

bool BinaryFile::fillUpToBadSector(std::int64_t end) {
    while (m_bufferStart + m_bufferLength < end) {
        const std::int64_t at = m_bufferStart + m_bufferLength;
        const std::int64_t sectorEnd = std::min(end, at - at % kAlignment + kAlignment);
        const std::int64_t got = m_files.readIntoShared(
            m_fd, m_buffer.shared(), std::size_t(m_bufferLength), std::size_t(sectorEnd - at), at);
        if (got < 0) {
            m_badRegions.emplace_back(at, sectorEnd);
            return false;
        }
        if (got == 0) return true;
        m_bufferLength += got;
    }
    return filledToTheEnd();
}

bool BinaryFile::filledToTheEnd() const {
    return m_bufferLength == std::int64_t(m_buffer.size()) ||
           m_bufferStart + m_bufferLength == m_openedLength;
}

bool BinaryFile::touchesBadRegion(std::int64_t offset, std::int64_t end) const {
    return std::any_of(m_badRegions.begin(), m_badRegions.end(),
                       [&](const auto& bad) { return offset < bad.second && bad.first < end; });
}

std::int64_t BinaryFile::nextBadRegion(std::int64_t offset) const {
    std::int64_t next = std::numeric_limits<std::int64_t>::max();
    for (const auto& bad : m_badRegions) {
        if (bad.first >= offset) next = std::min(next, bad.first);
    }
    return next;
}

void BinaryFile::read(void* destination, std::size_t count) {
    if (count == 0) return;
    const std::size_t got = readAt(m_readOffset + 1, destination, count);
    if (got < count) throw Failure("cannot read '" + m_path + "': the file ends unexpectedly");
    m_readOffset += std::int64_t(count);
}

void BinaryFile::write(const void* source, std::size_t count) {
    if (count == 0) return;
    if (!m_writeFailure.empty()) throw Failure(m_writeFailure);
    if (m_writeMode == WriteMode::Unbuffered || count >= m_buffer.size()) {
        flush();
        writeThrough(source, count);
        return;
    }
    m_bytes = m_buffer.data();
    if (m_bufferLength + std::int64_t(count) > std::int64_t(m_buffer.size())) flush();
    std::memcpy(m_bytes + m_bufferLength, source, count);
    m_bufferLength += std::int64_t(count);
}

void BinaryFile::writeThrough(const void* source, std::size_t count) {
    const auto* bytes = static_cast<const std::byte*>(source);
    for (std::size_t done = 0; done < count;) {
        const std::int64_t put = m_files.write(m_fd, bytes + done, count - done);
        if (put < 0) {
            // A fragment of an unbuffered write would pass for data: cut it off.
            if (m_writeMode == WriteMode::Unbuffered && done > 0) m_files.truncate(m_fd, m_written);
            failWriting(put);
        }
        done += static_cast<std::size_t>(put);
    }
    m_written += std::int64_t(count);
}

void BinaryFile::makeSparse(std::int64_t length) {
    if (const int error = m_files.makeSparse(m_fd, length); error < 0)
        fail("cannot make a sparse file of", error);
}

void BinaryFile::writeAt(std::int64_t position, const void* source, std::size_t count) {
    if (!m_writeFailure.empty()) throw Failure(m_writeFailure);
    const auto* bytes = static_cast<const std::byte*>(source);
    const std::int64_t offset = position - 1;
    for (std::size_t done = 0; done < count;) {
        const std::int64_t put =
            m_files.writeAt(m_fd, bytes + done, count - done, offset + std::int64_t(done));
        if (put < 0) {
            // The fragment's bytes have their space already: zeros fit there.
            const std::vector<std::byte> zeros(done);
            if (done > 0) m_files.writeAt(m_fd, zeros.data(), done, offset);
            failWriting(put);
        }
        done += static_cast<std::size_t>(put);
    }
}

void BinaryFile::flush() {
    if (m_bufferLength == 0) return;
    if (!m_writeFailure.empty()) throw Failure(m_writeFailure);
    const std::int64_t length = std::exchange(m_bufferLength, 0);
    writeThrough(m_bytes, std::size_t(length));
}

void BinaryFile::close() {
    if (m_fd < 0) return;
    std::exception_ptr failure;
    if (m_writing) {
        try {
            flush();
            // What the file holds reaches the device before it counts as written.
            if (const int error = m_writeFailure.empty() ? m_files.flushFile(m_fd) : 0; error < 0)
                fail("cannot flush", error);
        } catch (...) {
            failure = std::current_exception();
        }
    }
    const int fd = std::exchange(m_fd, -1);
    forgetBuffer();
    const int result = m_files.close(fd);
    if (failure) std::rethrow_exception(failure);
    if (result < 0 && m_writing) fail("cannot close", result);
}

void BinaryFile::closeQuietly() noexcept {
    try {
        close();
    } catch (...) {
        // The caller is on its failure path and has reported that failure.
    }
}

void BinaryFile::abandon() noexcept {
    if (m_fd >= 0) m_files.close(std::exchange(m_fd, -1));
    forgetBuffer();
}

void BinaryFile::forgetBuffer() noexcept {
    m_bufferStart = 0;
    m_bufferLength = 0;
    m_readOffset = 0;
}

// A write that failed fails every later write too: what follows it must not
// land after a gap or a fragment. Closing does not report it again.
void BinaryFile::failWriting(std::int64_t negativeErrno) {
    m_bufferLength = 0;
    try {
        fail("cannot write", negativeErrno);
    } catch (const Failure& failure) {
        m_writeFailure = failure.what();
        throw;
    }
}

void BinaryFile::fail(const char* action, std::int64_t negativeErrno) const {
    throwSystemFailure(action, m_path, static_cast<int>(-negativeErrno));
}

}  // namespace vantrel::platform
