#pragma once

#include <cstddef>
#include <memory>
#include <new>

namespace vantrel::platform {

// The memory behind a file's read-ahead or write buffer, lent to one open file
// after another. A job of thousands of files allocates it once, at first use,
// instead of once per file; it is never zero-filled, since every byte is
// written before it is read. A read made off the caller's thread holds a
// share of it (see OffThreadFileSystem): the memory outlives a read given up.
class IoBuffer {
  public:
    explicit IoBuffer(std::size_t size) : m_size(size) {}
    IoBuffer(const IoBuffer&) = delete;
    IoBuffer& operator=(const IoBuffer&) = delete;

    std::byte* data() { return shared().get(); }
    const std::shared_ptr<std::byte[]>& shared() {
        if (!m_bytes)
            m_bytes.reset(static_cast<std::byte*>(::operator new[](m_size, kAlignment)), Free{});
        return m_bytes;
    }
    std::size_t size() const { return m_size; }
    // Lets the memory go (a read given up still holds it); the next use
    // allocates it again.
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
    std::shared_ptr<std::byte[]> m_bytes;
};

}  // namespace vantrel::platform
