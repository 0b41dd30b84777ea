#include <windows.h>

#include "cli/disc_folder_name.h"
#include "platform/wide_text.h"

namespace vantrel::cli {

std::string volumeLabel(const std::string& root) {
    wchar_t label[MAX_PATH + 1] = {};
    if (!GetVolumeInformationW(platform::toWide(root).c_str(), label, MAX_PATH + 1, nullptr,
                               nullptr, nullptr, nullptr, 0))
        return "";
    return platform::toUtf8(label, wcslen(label));
}

}  // namespace vantrel::cli
