#include "platform/binary_file.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "platform/failure.h"

namespace vantrel::platform {
namespace {

// Reads start at a sector boundary so that a scan's buffer holds whole sectors.
constexpr std::int64_t kAlignment = 2048;

}  // namespace

BinaryFile::BinaryFile(FileSystem& files) : m_files(files) {}

BinaryFile::~BinaryFile() { abandon(); }

void BinaryFile::openForReading(const std::string& path) {
    close();
    m_writeFailure.clear();
    m_fd = m_files.openForReading(path);
    m_path = path;
    m_writing = false;
}

void BinaryFile::openForWriting(const std::string& path, const BinaryFile* source) {
    close();
    m_writeFailure.clear();
    m_fd = m_files.openForWriting(path, source != nullptr ? source->m_fd : -1);
    m_path = path;
    m_writing = true;
}

std::size_t BinaryFile::readAtSlowly(std::int64_t offset, void* destination, std::size_t count) {
    if (offset < 0) throw Failure("cannot read '" + m_path + "': bad position");
    const bool filled = count <= kBufferSize / 2 && fillBuffer(offset - offset % kAlignment);
    const std::int64_t end = offset + std::int64_t(count);
    if (!filled && end > m_bufferStart + m_bufferLength) {
        // A large read, or the read-ahead met a bad spot: read just what is
        // asked for, so that a failure is reported where it lies.
        return readDirectly(offset, destination, count);
    }
    const std::int64_t available =
        std::max<std::int64_t>(0, m_bufferStart + m_bufferLength - offset);
    const auto copied =
        static_cast<std::size_t>(std::min<std::int64_t>(available, std::int64_t(count)));
    if (copied > 0) std::memcpy(destination, m_buffer.get() + (offset - m_bufferStart), copied);
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
    if (!m_buffer) m_buffer = std::make_unique<std::byte[]>(kBufferSize);
    m_bufferStart = offset;
    m_bufferLength = 0;
    while (m_bufferLength < std::int64_t(kBufferSize)) {
        const std::int64_t got =
            m_files.readAt(m_fd, m_buffer.get() + m_bufferLength,
                           kBufferSize - std::size_t(m_bufferLength), offset + m_bufferLength);
        if (got < 0) return false;  // the buffer holds what lies before the failure
        if (got == 0) break;
        m_bufferLength += got;
    }
    return true;
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
    if (!m_buffer) m_buffer = std::make_unique<std::byte[]>(kBufferSize);
    if (m_bufferLength + std::int64_t(count) > std::int64_t(kBufferSize)) flush();
    if (count >= kBufferSize) {
        const auto* bytes = static_cast<const std::byte*>(source);
        for (std::size_t done = 0; done < count;) {
            const std::int64_t put = m_files.write(m_fd, bytes + done, count - done);
            if (put < 0) failWriting(put);
            done += static_cast<std::size_t>(put);
        }
        return;
    }
    std::memcpy(m_buffer.get() + m_bufferLength, source, count);
    m_bufferLength += std::int64_t(count);
}

void BinaryFile::flush() {
    if (!m_writeFailure.empty()) throw Failure(m_writeFailure);
    std::int64_t done = 0;
    while (done < m_bufferLength) {
        const std::int64_t put =
            m_files.write(m_fd, m_buffer.get() + done, std::size_t(m_bufferLength - done));
        if (put < 0) failWriting(put);
        done += put;
    }
    m_bufferLength = 0;
}

void BinaryFile::close() {
    if (m_fd < 0) return;
    std::exception_ptr failure;
    if (m_writing) {
        try {
            flush();
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
// land after a gap or a fragment, and each later write reports its own failure.
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
