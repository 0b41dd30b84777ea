#include "cli/disc_folder_name.h"

#include <filesystem>
#include <map>
#include <system_error>

#include "cli/disc_image_source.h"
#include "cli/utf8_paths.h"
#include "platform/failure.h"
#include "platform/paths.h"

namespace vantrel::cli {
namespace {

std::string upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    }
    return text;
}

// "a/b/." and "a/b/" name the folder b, as "." names the current folder.
std::filesystem::path namedPath(const std::string& operand) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(pathOf(operand), error);
    if (error) path = pathOf(operand);
    path = path.lexically_normal();
    if (!path.has_filename() && path != path.root_path()) path = path.parent_path();
    return path;
}

// A folder's name, or a drive root's label.
std::string folderName(const std::filesystem::path& folder) {
    if (folder.has_filename()) return textOf(folder.filename());
    return volumeLabel(textOf(folder));
}

}  // namespace

std::string discFolderName(platform::FileSystem& system, const std::string& operand) {
    const std::filesystem::path path = namedPath(operand);
    if (mayBeDiscImage(system, operand)) return textOf(path.stem());
    if (path.has_filename() && upper(textOf(path.filename())) == "VIDEO_TS")
        return folderName(path.parent_path());
    return folderName(path);
}

std::vector<ShelfDisc> shelfDiscs(platform::FileSystem& system,
                                  const std::vector<std::string>& sources,
                                  const std::string& directory) {
    std::vector<ShelfDisc> discs;
    std::map<std::string, std::string> sourceNamed;  // by the name in capitals
    for (const std::string& source : sources) {
        const std::string name = discFolderName(system, source);
        if (name.empty())
            throw platform::Failure("'" + source + "' gives no name for its folder in '" +
                                    directory + "': give it as SOURCE DEST alone");
        const auto [named, added] = sourceNamed.emplace(upper(name), source);
        if (!added)
            throw platform::Failure("'" + named->second + "' and '" + source +
                                    "' would both be copied into '" +
                                    platform::joinPath(directory, name) + "'");
        discs.push_back({source, platform::joinPath(directory, name)});
    }
    return discs;
}

}  // namespace vantrel::cli
