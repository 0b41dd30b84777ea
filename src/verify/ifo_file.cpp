#include "verify/ifo_file.h"

#include "platform/binary_file.h"

namespace vantrel::verify {
namespace {

// An IFO file, open for the reader's few reads.
class IfoFile final : public dvd::IfoSource {
  public:
    IfoFile(platform::FileSystem& files, const std::string& path) : m_file(files) {
        m_file.openForReading(path);
        m_length = files.fileLength(path);
    }

    std::int64_t length() override { return m_length; }
    std::size_t read(std::int64_t offset, unsigned char* destination, std::size_t count) override {
        return m_file.readAt(offset + 1, destination, count);  // the file counts from 1
    }

  private:
    platform::BinaryFile m_file;
    std::int64_t m_length = 0;
};

}  // namespace

std::optional<dvd::VobuMap> readVobuMap(platform::FileSystem& files, const std::string& path,
                                        dvd::VobuMapKind kind) {
    IfoFile ifo(files, path);
    return dvd::readVobuMap(ifo, path, kind);
}

int readTitleSetCount(platform::FileSystem& files, const std::string& path) {
    IfoFile ifo(files, path);
    return dvd::readTitleSetCount(ifo, path);
}

}  // namespace vantrel::verify
