#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace vantrel::engine {

// The hidden "*.vob" file list behind every implementation of Controls: the
// plain files of one folder that match "*.vob", letter case ignored, in the
// listing's order.
class VobFileList {
  public:
    explicit VobFileList(platform::FileSystem& files) : m_files(&files) {}

    // Lists through `files` from now on.
    void listThrough(platform::FileSystem& files) { m_files = &files; }
    // Throws when `folder` is not an existing folder.
    void setPath(const std::string& folder);
    // Throws when the folder holds more names than a 16-bit count can hold.
    std::int16_t count() const;
    // Empty for an index outside the list.
    std::string item(int index) const;
    const std::vector<std::string>& names() const { return m_names; }

  private:
    platform::FileSystem* m_files;
    std::vector<std::string> m_names;
};

}  // namespace vantrel::engine
