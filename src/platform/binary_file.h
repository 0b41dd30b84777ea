#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "platform/file_system.h"

namespace vantrel::platform {

// A file opened in binary mode for reading or for writing. Positions are
// 1-based, as the engine counts them; lengths and positions are 64-bit.
//
// Reading goes through a sector-aligned read-ahead buffer, so that the many
// small reads of a scan cost a memory copy and no system call. Writing is
// buffered and flushed when the buffer fills and at close. Every failure throws
// Failure with a description naming the file and the cause.
class BinaryFile {
  public:
    static constexpr std::size_t kBufferSize = std::size_t{1} << 20;

    explicit BinaryFile(FileSystem& files);
    ~BinaryFile();
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;

    void openForReading(const std::string& path);
    // Created when missing, truncated when present. Refuses to open `source`'s
    // own file when it is given.
    void openForWriting(const std::string& path, const BinaryFile* source = nullptr);
    bool isOpen() const { return m_fd >= 0; }
    const std::string& path() const { return m_path; }

    // Reads up to `count` bytes starting at the 1-based `position`; returns how
    // many there were (fewer only at the end of the file).
    std::size_t readAt(std::int64_t position, void* destination, std::size_t count) {
        const std::int64_t offset = position - 1;
        if (offset >= m_bufferStart &&
            offset + static_cast<std::int64_t>(count) <= m_bufferStart + m_bufferLength) {
            std::memcpy(destination, m_buffer.get() + (offset - m_bufferStart), count);
            return count;
        }
        return readAtSlowly(offset, destination, count);
    }
    // Reads exactly `count` bytes from the current position onwards; a file that
    // ends sooner is a failure.
    void read(void* destination, std::size_t count);
    // Writes `count` bytes after the ones written before.
    void write(const void* source, std::size_t count);
    // Flushes and closes. Harmless when the file is closed or was never opened.
    void close();
    // Closes, flushing what it can, and reports nothing: for failure paths.
    void closeQuietly() noexcept;

  private:
    std::size_t readAtSlowly(std::int64_t offset, void* destination, std::size_t count);
    std::size_t readDirectly(std::int64_t offset, void* destination, std::size_t count);
    // False when a read failed; the buffer then holds what lies before the failure.
    bool fillBuffer(std::int64_t offset);
    void flush();
    [[noreturn]] void failWriting(std::int64_t negativeErrno);
    // Closes without flushing.
    void abandon() noexcept;
    void forgetBuffer() noexcept;
    [[noreturn]] void fail(const char* action, std::int64_t negativeErrno) const;

    FileSystem& m_files;
    std::string m_path;
    int m_fd = -1;
    bool m_writing = false;
    std::unique_ptr<std::byte[]> m_buffer;
    std::int64_t m_bufferStart = 0;   // file offset of the buffer's first byte (reading)
    std::int64_t m_bufferLength = 0;  // bytes held in the buffer
    std::int64_t m_readOffset = 0;    // next offset of sequential reads
    std::string m_writeFailure;       // set by a failed write: every later one fails
};

}  // namespace vantrel::platform
