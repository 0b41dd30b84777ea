#include "engine/vob_file_list.h"

#include <limits>

#include "platform/dir_listing.h"
#include "platform/failure.h"
#include "platform/paths.h"

namespace vantrel::engine {

void VobFileList::setPath(const std::string& folder) {
    if (m_files->kindOf(folder.empty() ? "." : folder) != platform::EntryKind::Folder)
        throw platform::Failure("cannot list '" + folder + "': no such folder");
    m_names.clear();
    platform::DirListing listing(*m_files);
    for (std::string name =
             listing.first(platform::joinPath(folder, "*.vob"), platform::ListWhat::PlainFiles);
         !name.empty(); name = listing.next())
        m_names.push_back(name);
}

std::int16_t VobFileList::count() const {
    if (m_names.size() > std::size_t(std::numeric_limits<std::int16_t>::max()))
        throw platform::Failure("Overflow: more than 32767 files in the VOB list");
    return static_cast<std::int16_t>(m_names.size());
}

std::string VobFileList::item(int index) const {
    return index >= 0 && std::size_t(index) < m_names.size() ? m_names[std::size_t(index)] : "";
}

}  // namespace vantrel::engine
