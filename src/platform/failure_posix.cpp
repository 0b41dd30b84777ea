#include <cstring>

#include "platform/failure.h"

namespace vantrel::platform {

std::string systemErrorText(int code) { return std::strerror(code); }

}  // namespace vantrel::platform
