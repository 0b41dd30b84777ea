#include "platform/failure.h"

namespace vantrel::platform {

void throwSystemFailure(const std::string& action, const std::string& path, int code) {
    throw Failure(action + " '" + path + "': " + systemErrorText(code));
}

}  // namespace vantrel::platform
