#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "platform/io_buffer.h"

namespace vantrel::platform {

// A file opened in binary mode for reading or for writing. Positions are
// 1-based, as the engine counts them; lengths and positions are 64-bit.
//
// Reading goes through a sector-aligned read-ahead buffer, so that the many
// small reads of a scan cost a memory copy and no system call; it asks for
// nothing past the length the file had when it was opened, where a read
// would only find the end (a read that starts past it reads on). A read-ahead
// that meets a bad spot narrows it down to the sector that cannot be read and
// from then on reads around it: a bad spot costs a few failed reads, not one
// per request. Writing is buffered and flushed when the buffer fills and at
// close, or written through at once (see WriteMode). Every failure throws
// Failure with a description naming the file and the cause.
//
// The buffer is the file's own, or one lent for a job's files in turn (never
// to two open files at once). Read through an OffThreadFileSystem, a refill
// given up throws CallAbandoned and leaves its memory to the read that goes
// on: the buffer takes new memory for the next one.
class BinaryFile {
  public:
    // Small enough that what a read copies in is still in the processor's
    // cache when the scan looks at it; the device works ahead independently,
    // through the kernel's read-ahead.
    static constexpr std::size_t kBufferSize = std::size_t{256} << 10;

    enum class WriteMode {
        Buffered,
        // Each write reaches the file before it returns, whole or not at all:
        // a write that fails leaves the file as it was before it.
        Unbuffered,
    };

    // Why an output must not be the file `identity` (one a job must keep), as a
    // refusal says it; empty when it may be.
    using Refusal = std::function<std::string(const FileIdentity& identity)>;

    explicit BinaryFile(FileSystem& files);
    BinaryFile(FileSystem& files, IoBuffer& buffer);
    ~BinaryFile();
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;

    void openForReading(const std::string& path);
    // Created when missing, truncated when present. A file for which `refusal`
    // gives a reason is refused as it is, untouched.
    void openForWriting(const std::string& path, const Refusal& refusal = {},
                        WriteMode mode = WriteMode::Buffered);
    bool isOpen() const { return m_fd >= 0; }
    const std::string& path() const { return m_path; }
    // Which file is open, as it was when it was opened.
    const FileIdentity& identity() const { return m_identity; }

    // Reads up to `count` bytes starting at the 1-based `position`; returns how
    // many there were (fewer only at the end of the file).
    std::size_t readAt(std::int64_t position, void* destination, std::size_t count) {
        const std::int64_t offset = position - 1;
        if (offset >= m_bufferStart &&
            offset + static_cast<std::int64_t>(count) <= m_bufferStart + m_bufferLength) {
            std::memcpy(destination, m_bytes + (offset - m_bufferStart), count);
            return count;
        }
        return readAtSlowly(offset, destination, count);
    }
    // Reads exactly `count` bytes from the current position onwards; a file that
    // ends sooner is a failure.
    void read(void* destination, std::size_t count);
    // Writes `count` bytes after the ones written before.
    void write(const void* source, std::size_t count);
    // Makes the file, open for writing and still empty, `length` bytes of
    // holes (FileSystem::makeSparse) for writeAt to fill in.
    void makeSparse(std::int64_t length);
    // Writes `count` bytes at the 1-based `position`, through to the file
    // before it returns: whole, or as a hole reads (a failed write leaves
    // zeros where it put part of them). A failure fails every later write
    // too, as write's does.
    void writeAt(std::int64_t position, const void* source, std::size_t count);
    // True once a write has failed: nothing written later could land without a gap.
    bool writeFailed() const { return !m_writeFailure.empty(); }
    // Flushes (a file written to, down to the device as far as the system
    // flushes file by file: see FileSystem::flushFile) and closes. Harmless
    // when the file is closed or was never opened; a write that failed before
    // was reported then and is not reported again.
    void close();
    // Closes, flushing what it can, and reports nothing: for failure paths.
    void closeQuietly() noexcept;

  private:
    // Takes `fd`, just opened on `path`, and its status before anything else
    // happens to the file.
    FileStatus adopt(int fd, const std::string& path);
    std::size_t readAtSlowly(std::int64_t offset, void* destination, std::size_t count);
    std::size_t readDirectly(std::int64_t offset, void* destination, std::size_t count);
    // Fills the buffer from `offset`, never reading into a known bad region.
    // False when it stopped short of the buffer's end before the end of the
    // file: the rest lies in or beyond a bad region.
    bool fillBuffer(std::int64_t offset);
    // After a failed read-ahead: the rest of the buffer read sector by sector
    // until the one that fails, which is remembered as bad.
    bool fillUpToBadSector(std::int64_t end);
    // The buffer is full, or reaches the file's length when it was opened.
    bool filledToTheEnd() const;
    bool touchesBadRegion(std::int64_t offset, std::int64_t end) const;
    std::int64_t nextBadRegion(std::int64_t offset) const;
    void writeThrough(const void* source, std::size_t count);
    void flush();
    [[noreturn]] void failWriting(std::int64_t negativeErrno);
    // Closes without flushing.
    void abandon() noexcept;
    void forgetBuffer() noexcept;
    [[noreturn]] void fail(const char* action, std::int64_t negativeErrno) const;

    FileSystem& m_files;
    IoBuffer m_ownBuffer{kBufferSize};  // allocated only when no buffer is lent
    IoBuffer& m_buffer;
    std::byte* m_bytes = nullptr;  // m_buffer's memory, once it holds anything
    std::string m_path;
    FileIdentity m_identity;
    std::int64_t m_openedLength = 0;  // the file's length when it was opened
    int m_fd = -1;
    bool m_writing = false;
    WriteMode m_writeMode = WriteMode::Buffered;
    std::int64_t m_written = 0;  // bytes that reached the file (writing)
    // Regions [first, second) of the open file that could not be read.
    std::vector<std::pair<std::int64_t, std::int64_t>> m_badRegions;
    std::int64_t m_bufferStart = 0;   // file offset of the buffer's first byte (reading)
    std::int64_t m_bufferLength = 0;  // bytes held in the buffer
    std::int64_t m_readOffset = 0;    // next offset of sequential reads
    std::string m_writeFailure;       // set by a failed write: every later one fails
};

}  // namespace vantrel::platform
