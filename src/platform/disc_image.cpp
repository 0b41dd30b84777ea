#include "platform/disc_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <udfread/blockinput.h>
#include <udfread/udfread.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/library_complaints.h"
#include "platform/posix_descriptor.h"
#include "platform/text.h"

namespace vantrel::platform {
namespace {

// A DVD's file system is read in a few hundred blocks; a VIDEO_TS folder of
// a thousand files in a few thousand.
constexpr std::int64_t kReadBudget = 1 << 13;

}  // namespace

// The image as libudfread reads it: whole blocks by positioned reads of our
// own descriptor, remembering the first error and whether it read past the
// end. A damaged file system can lead its reader in a circle (an allocation
// extent that continues in itself) or through far more records than any
// disc holds: reads beyond a budget fail, and the image is refused. While a
// file is placed, its blocks are not read but noted as extents.
struct ImageInput {
    udfread_block_input input;  // first: libudfread hands back its address
    int fd;
    std::int64_t length;
    int error = 0;
    bool pastTheEnd = false;
    std::int64_t blocksLeft = kReadBudget;
    std::vector<DiscImage::Extent>* placing = nullptr;
    std::int64_t placed = 0;  // bytes of the file being placed, so far
};

namespace {

constexpr std::int64_t kBlock = UDF_BLOCK_SIZE;
// The volume descriptors of the file systems on a disc (ISO 9660: "CD001";
// UDF: "BEA01", "NSR02" or "NSR03", "TEA01") follow each other from sector 16
// on, one a sector (of the same size as UDF's blocks), each with a one-byte
// type and then its 5-byte identifier.
constexpr std::int64_t kFirstVolumeDescriptor = 16;
constexpr std::size_t kVolumeDescriptorIdLength = 5;

// Blocks of a file placed at once: one call maps each extent among them.
constexpr std::uint32_t kBlocksPlacedAtOnce = 64;

void noteExtent(ImageInput& image, std::uint32_t lba, std::uint32_t blocks) {
    auto& extents = *image.placing;
    const std::int64_t imageOffset = std::int64_t{lba} * kBlock;
    const std::int64_t length = std::int64_t{blocks} * kBlock;
    if (!extents.empty() && extents.back().imageOffset + extents.back().length == imageOffset)
        extents.back().length += length;
    else
        extents.push_back({image.placed, imageOffset, length});
    image.placed += length;
}

int readBlocks(udfread_block_input* input, std::uint32_t lba, void* buffer, std::uint32_t blocks,
               int /*flags*/) {
    auto& image = *reinterpret_cast<ImageInput*>(input);
    if (image.placing != nullptr) {
        noteExtent(image, lba, blocks);
        return static_cast<int>(blocks);
    }
    if ((image.blocksLeft -= blocks) < 0) return 0;
    const std::int64_t offset = std::int64_t{lba} * kBlock;
    const std::int64_t wanted = std::int64_t{blocks} * kBlock;
    std::int64_t done = 0;
    while (done < wanted) {
        const ssize_t got = ::pread(image.fd, static_cast<char*>(buffer) + done,
                                    std::size_t(wanted - done), offset + done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 && image.error == 0) image.error = errno;
        if (got == 0) image.pastTheEnd = true;
        if (got <= 0) break;
        done += got;
    }
    return static_cast<int>(done / kBlock);
}

std::uint32_t blockCount(udfread_block_input* input) {
    const auto& image = *reinterpret_cast<ImageInput*>(input);
    return static_cast<std::uint32_t>(
        std::min<std::int64_t>(image.length / kBlock, std::int64_t{UINT32_MAX}));
}

using Volume = std::unique_ptr<udfread, decltype(&udfread_close)>;
using Folder = std::unique_ptr<UDFDIR, decltype(&udfread_closedir)>;
using UdfFile = std::unique_ptr<UDFFILE, decltype(&udfread_file_close)>;

// The names of the entries of one kind (UDF_DT_REG, UDF_DT_DIR) in `path`;
// nothing when the folder cannot be read.
std::optional<std::vector<std::string>> entriesOf(udfread* volume, const std::string& path,
                                                  unsigned type) {
    const Folder folder(udfread_opendir(volume, path.c_str()), &udfread_closedir);
    if (!folder) return std::nullopt;
    std::vector<std::string> names;
    udfread_dirent entry{};
    while (udfread_readdir(folder.get(), &entry) != nullptr) {
        const std::string name = entry.d_name != nullptr ? entry.d_name : "";
        if (entry.d_type == type && !name.empty() && name != "." && name != "..")
            names.push_back(name);
    }
    return names;
}

// What libudfread's complaint about a folder means for its reader.
std::string folderDamage(const std::string& complaint) {
    if (complaint.find("string encoding") != std::string::npos ||
        complaint.find("empty file identifier") != std::string::npos)
        return "a name in it cannot be decoded";
    return complaint;
}

}  // namespace

DiscImage::DiscImage(const std::string& path)
    : m_path(path), m_image(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    struct stat info {};
    if (!m_image.valid() || ::fstat(m_image.get(), &info) != 0)
        throwSystemFailure("cannot open", path, errno);
    if (S_ISDIR(info.st_mode)) throwSystemFailure("cannot open", path, EISDIR);
    if (S_ISREG(info.st_mode)) {
        m_length = info.st_size;
        ::posix_fadvise(m_image.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    } else if (S_ISBLK(info.st_mode)) {
        m_length = ::lseek(m_image.get(), 0, SEEK_END);
        if (m_length < 0) throwSystemFailure("cannot read", path, errno);
    } else {
        throw Failure("'" + path + "' is neither a disc image file nor a drive");
    }
    readFileSystem();
}

// A folder whose listing libudfread complained about may lack entries: the
// image is refused rather than read as a smaller disc.
void DiscImage::readFileSystem() {
    ImageInput input{{nullptr, &readBlocks, &blockCount}, m_image.get(), m_length};
    LibraryComplaints complaints;
    const Volume volume(udfread_init(), &udfread_close);
    if (!volume) throw Failure("cannot read '" + m_path + "': out of memory");
    const int opened = udfread_open_input(volume.get(), &input.input);
    checkBudget(input);
    if (opened < 0) refuse(input);
    const std::string rootComplaint = complaints.take();  // the root is read with the volume
    for (const std::string& name :
         entriesOf(volume.get(), "/", UDF_DT_DIR).value_or(std::vector<std::string>{})) {
        if (sameIgnoringCase(name, "VIDEO_TS")) m_folderName = name;
    }
    if (m_folderName.empty() && !rootComplaint.empty())
        throw damaged("no VIDEO_TS folder can be found in it: " + folderDamage(rootComplaint));
    if (m_folderName.empty()) throw Failure("'" + m_path + "' holds no VIDEO_TS folder");
    const auto names = entriesOf(volume.get(), "/" + m_folderName, UDF_DT_REG);
    checkBudget(input);
    if (!names) throw damaged("its " + m_folderName + " folder cannot be read");
    if (const std::string complaint = complaints.take(); !complaint.empty())
        throw damaged("its " + m_folderName +
                      " folder cannot be read whole: " + folderDamage(complaint));
    for (const std::string& name : *names) m_files.push_back(placeFile(volume.get(), input, name));
}

void DiscImage::checkBudget(const ImageInput& input) const {
    if (input.blocksLeft < 0)
        throw damaged("its file system leads its reader on past " + std::to_string(kReadBudget) +
                      " blocks, far beyond any disc's");
}

Failure DiscImage::damaged(const std::string& reason) const {
    return Failure("'" + m_path + "' is damaged: " + reason);
}

// Why libudfread found no UDF file system it could read, told by the volume
// descriptors that open every disc's file systems.
void DiscImage::refuse(const ImageInput& input) const {
    if (input.error != 0) throwSystemFailure("cannot read", m_path, input.error);
    const std::string ids = volumeDescriptorIds();
    if (ids.empty())
        throw Failure("'" + m_path +
                      "' is not a DVD-Video disc image: it holds no UDF file system");
    if (input.pastTheEnd)
        throw Failure("'" + m_path + "' is truncated: its file system reaches past its end");
    if (ids.find("NSR0") == std::string::npos)
        throw Failure("'" + m_path +
                      "' is an ISO 9660 image without the UDF file system of DVD-Video discs: "
                      "mount it and give its VIDEO_TS folder");
    throw Failure("'" + m_path + "' is not a DVD-Video disc image: its UDF file system is damaged");
}

// The identifiers of the volume descriptors from sector 16 on, one after the
// other ("CD001CD001BEA01NSR02TEA01"); empty when there are none.
std::string DiscImage::volumeDescriptorIds() const {
    std::string ids;
    for (std::int64_t sector = kFirstVolumeDescriptor;; ++sector) {
        char id[kVolumeDescriptorIdLength] = {};
        if (::pread(m_image.get(), id, sizeof id, sector * kBlock + 1) != sizeof id) return ids;
        const std::string text(id, sizeof id);
        if (text != "CD001" && text != "BEA01" && text != "TEA01" && text.rfind("NSR0", 0) != 0)
            return ids;
        ids += text;
    }
}

// Where the bytes of the file `name` of the VIDEO_TS folder lie in the image.
// libudfread looks a block up by walking the file's allocation descriptors
// from the first; asked to read a run of blocks instead, it hands the input
// each extent among them at once, which the input notes down unread.
DiscImage::File DiscImage::placeFile(::udfread* volume, ImageInput& input,
                                     const std::string& name) const {
    const std::string inImage = m_folderName + "/" + name;
    const UdfFile file(udfread_file_open(volume, ("/" + inImage).c_str()), &udfread_file_close);
    checkBudget(input);
    const Failure damagedEntry("cannot open '" + m_path + ":" + inImage +
                               "': its entry is damaged");
    File placed{name, file ? udfread_file_size(file.get()) : -1, {}};
    if (placed.length < 0) throw damagedEntry;  // 2^63 bytes or more, read as negative
    const Failure truncated("'" + m_path + "' is truncated: " + inImage + " reaches past its end");
    // Its blocks are blocks of the image, each once.
    if (placed.length > m_length) throw truncated;
    const std::int64_t blocks = (placed.length + kBlock - 1) / kBlock;
    std::vector<char> unread(std::size_t{kBlocksPlacedAtOnce} * kBlock);
    input.placing = &placed.extents;
    input.placed = 0;
    for (std::int64_t at = 0; at < blocks; at += kBlocksPlacedAtOnce) {
        const auto count =
            static_cast<std::uint32_t>(std::min<std::int64_t>(kBlocksPlacedAtOnce, blocks - at));
        // A block without a place in the image (unrecorded, past the
        // descriptors) is filled with zeros unasked: the extents fall short.
        if (udfread_read_blocks(file.get(), unread.data(), static_cast<std::uint32_t>(at), count,
                                0) != count ||
            input.placed != (at + count) * kBlock) {
            input.placing = nullptr;
            throw damagedEntry;
        }
    }
    input.placing = nullptr;
    if (!placed.extents.empty()) placed.extents.back().length -= blocks * kBlock - placed.length;
    for (const Extent& extent : placed.extents) {
        if (extent.imageOffset + extent.length > m_length) throw truncated;
    }
    return placed;
}

std::int64_t DiscImage::read(const File& file, void* buffer, std::size_t count,
                             std::int64_t offset) const {
    return readPieces(file, buffer, count, offset, 0);
}

// A piece that is only partly in memory ends the read there.
std::int64_t DiscImage::readWithoutWaiting(const File& file, void* buffer, std::size_t count,
                                           std::int64_t offset) const {
    return readPieces(file, buffer, count, offset, RWF_NOWAIT);
}

std::int64_t DiscImage::readPieces(const File& file, void* buffer, std::size_t count,
                                   std::int64_t offset, int flags) const {
    if (offset < 0) return -EINVAL;
    // The extent that holds `offset`: the last one that begins at or before it.
    auto extent =
        std::upper_bound(file.extents.begin(), file.extents.end(), offset,
                         [](std::int64_t at, const Extent& e) { return at < e.fileOffset; });
    if (extent == file.extents.begin()) return 0;
    --extent;
    std::int64_t done = 0;
    const std::int64_t wanted =
        std::min(std::int64_t(count), std::max<std::int64_t>(file.length - offset, 0));
    for (; done < wanted && extent != file.extents.end(); ++extent) {
        const std::int64_t into = offset + done - extent->fileOffset;
        const std::int64_t part = std::min(wanted - done, extent->length - into);
        for (std::int64_t partDone = 0; partDone < part;) {
            iovec piece{static_cast<char*>(buffer) + done, std::size_t(part - partDone)};
            const ssize_t got =
                ::preadv2(m_image.get(), &piece, 1, extent->imageOffset + into + partDone, flags);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) return done > 0 ? done : -errno;
            if (got == 0) return done;  // the image is shorter than it was
            partDone += got;
            done += got;
            if (flags != 0 && partDone < part) return done;
        }
    }
    return done;
}

}  // namespace vantrel::platform
