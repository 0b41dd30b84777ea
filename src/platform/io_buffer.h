#pragma once

#include <cstddef>
#include <memory>
#include <new>

namespace vantrel::platform {

// The memory behind a file's read-ahead or write buffer, lent to one open file
// after another. A job of thousands of files allocates it once, at first use,
// instead of once per file; it is never zero-filled, since every byte is
// written before it is read.
class IoBuffer {
  public:
    explicit IoBuffer(std::size_t size) : m_size(size) {}
    IoBuffer(const IoBuffer&) = delete;
    IoBuffer& operator=(const IoBuffer&) = delete;

    std::byte* data() {
        if (!m_bytes) m_bytes.reset(static_cast<std::byte*>(::operator new[](m_size, kAlignment)));
        return m_bytes.get();
    }
    std::size_t size() const { return m_size; }
    // Gives the memory back; the next use allocates it again.
    void release() noexcept { m_bytes.reset(); }

  private:
    // Page-aligned: on some processors the kernel copies into memory that is
    // only 16-byte aligned (as malloc returns a large block) at a quarter of
    // the speed, which would make every read the slowest part of a scan.
    static constexpr std::align_val_t kAlignment{4096};
    struct Free {
        void operator()(std::byte* bytes) const { ::operator delete[](bytes, kAlignment); }
    };

    std::size_t m_size;
    std::unique_ptr<std::byte[], Free> m_bytes;
};

}  // namespace vantrel::platform
