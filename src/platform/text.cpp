#include "platform/text.h"

namespace vantrel::platform {

bool isBlank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

int characterCount(const std::string& text) {
    int count = 0;
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    }
    return count;
}

}  // namespace vantrel::platform
