#pragma once

// What a Windows program file carries besides its code: the resources that
// Explorer and the loader read.

#include <windows.h>

#include <string>

namespace vantrel::testing {

// The program file's resource 1 of `type` (RT_MANIFEST, RT_GROUP_ICON), as
// bytes; empty when it has none.
std::string programResource(const std::string& program, LPCWSTR type);

// A text of the program file's version block in US English ("ProductVersion",
// "CompanyName"), in UTF-8; empty when it has none.
std::string versionText(const std::string& program, const std::string& name);

}  // namespace vantrel::testing
