#include "support/udf_records.h"

#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace vantrel::testing {
namespace {

// ECMA-167 descriptor tags: a 16-bit identifier, then a checksum of the tag's
// other bytes; the location (32 bits at byte 12) is the block the descriptor
// says it lies in.
constexpr std::uint16_t kFileIdentifierTag = 257;
constexpr std::uint16_t kFileEntryTag = 261;
constexpr std::size_t kTag = 16;
constexpr std::size_t kBlock = 2048;

std::uint32_t little(const Bytes& bytes, std::size_t at, std::size_t count) {
    std::uint32_t value = 0;
    for (std::size_t i = count; i-- > 0;) value = value << 8 | bytes[at + i];
    return value;
}

bool isTag(const Bytes& image, std::size_t at, std::uint16_t id) {
    if (at + kTag > image.size() || little(image, at, 2) != id) return false;
    unsigned sum = 0;
    for (std::size_t i = 0; i < kTag; ++i)
        if (i != kUdfTagChecksum) sum += image[at + i];
    return (sum & 0xFF) == image[at + kUdfTagChecksum];
}

}  // namespace

UdfFileRecords findUdfFile(const Bytes& image, const std::string& name) {
    // A file identifier: the name's length at byte 19, its file entry's block
    // at 24, the implementation's own bytes (their length at 36) from 38 on,
    // then the name, its encoding first. Descriptors begin at multiples of 4.
    for (std::size_t at = 0; at + 38 <= image.size(); at += 4) {
        if (!isTag(image, at, kFileIdentifierTag) || image[at + 19] != name.size() + 1) continue;
        const std::size_t encoding = at + 38 + little(image, at + 36, 2);
        if (encoding + 1 + name.size() > image.size() || image[encoding] != 8 ||
            std::memcmp(&image[encoding + 1], name.data(), name.size()) != 0)
            continue;
        const std::uint32_t block = little(image, at + 24, 4);
        for (std::size_t entry = 0; entry + kBlock <= image.size(); entry += kBlock) {
            if (isTag(image, entry, kFileEntryTag) && little(image, entry + 12, 4) == block)
                return {at, encoding + 1, entry};
        }
    }
    throw std::runtime_error("no UDF file '" + name + "' in the image");
}

}  // namespace vantrel::testing
