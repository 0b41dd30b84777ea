#include "platform/failure.h"

#include <cstring>

namespace vantrel::platform {

void throwSystemFailure(const std::string& action, const std::string& path, int err) {
    throw Failure(action + " '" + path + "': " + std::strerror(err));
}

}  // namespace vantrel::platform
