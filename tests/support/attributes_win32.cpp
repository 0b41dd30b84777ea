#include <windows.h>

#include "platform/wide_text.h"
#include "support/temp_folder.h"

namespace vantrel::testing {

void hide(const std::string& path, bool system) {
    const std::wstring wide = platform::toWide(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    ::SetFileAttributesW(wide.c_str(),
                         attributes | FILE_ATTRIBUTE_HIDDEN | (system ? FILE_ATTRIBUTE_SYSTEM : 0));
}

}  // namespace vantrel::testing
