#include "platform/failure.h"

namespace vantrel::platform {

void throwSystemFailure(const std::string& action, const std::string& path, int code) {
    const std::string reason = systemErrorText(code);
    throw Failure(action + " '" + path + "': " + reason, reason);
}

}  // namespace vantrel::platform
