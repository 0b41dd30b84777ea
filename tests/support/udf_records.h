#pragma once

#include <cstddef>
#include <string>

#include "support/temp_folder.h"

namespace vantrel::testing {

// Where a UDF image (as genisoimage makes it) records one of its files, for a
// test to damage the image as a bad burn or a crafted image would.
struct UdfFileRecords {
    std::size_t identifier = 0;  // the file identifier descriptor in its folder's data
    std::size_t name = 0;        // the name's bytes there, after the byte giving their encoding
    std::size_t fileEntry = 0;   // the file entry: the file's length and where its bytes lie
};

// The records of the file or folder `name` (8-bit characters). Throws when
// the image holds no such name.
UdfFileRecords findUdfFile(const Bytes& image, const std::string& name);

// Byte offsets of the descriptors' fields.
inline constexpr std::size_t kUdfTagChecksum = 4;   // over the tag's other 15 bytes
inline constexpr std::size_t kUdfNameEncoding = 1;  // before `name`: 8 or 16 bits a character
inline constexpr std::size_t kUdfFileLength = 56;   // in the file entry, 64 bits

}  // namespace vantrel::testing
