#pragma once

#include <string>

namespace vantrel::platform {

// The one character that separates folders in a path.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// The root of the file system: the last fallback for a folder.
std::string systemRoot();

// The folder that holds the running program, without a trailing separator
// unless it is the root.
std::string programFolder();

// True for the folders the system installs programs into (/usr, /opt, /bin,
// /sbin and everything below them), which are never written at run time,
// whoever may write to them.
bool isSystemProgramFolder(const std::string& folder);

// The user's home folder ($HOME, else the account's).
std::string homeFolder();

// Where the program keeps one user's settings: $XDG_CONFIG_HOME/vantrel, or
// ~/.config/vantrel when XDG_CONFIG_HOME is unset, empty or not an absolute path.
std::string userConfigFolder();

// Where the program keeps what it writes for one user beside the settings:
// $XDG_STATE_HOME/vantrel, or ~/.local/state/vantrel when XDG_STATE_HOME is
// unset, empty or not an absolute path.
std::string userStateFolder();

// `folder` and `name` joined by one separator ("/" + "x" gives "/x"; an empty
// folder, the current one, gives "x").
std::string joinPath(const std::string& folder, const std::string& name);

}  // namespace vantrel::platform
