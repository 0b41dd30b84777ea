#pragma once

#include <string>

namespace vantrel::platform {

// The one character that separates folders in a path.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// True for every character the system takes as a separator when it resolves a
// path: "/" and, on Windows, "\" as well.
inline bool isPathSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

// The root of the file system: the last fallback for a folder ("C:\" on Windows).
std::string systemRoot();

// True when `folder` is the root of a drive ("C:\", "\\server\share\"), whose
// listing has no "." and ".." entries. Never on POSIX, where "/" has them too.
bool isDriveRoot(const std::string& folder);

// The folder that holds the running program, without a trailing separator
// unless it is the root.
std::string programFolder();

// True for the folders the system installs programs into (/usr, /opt, /bin,
// /sbin and everything below them; on Windows the Program Files folders and
// the Windows folder), which are never written at run time, whoever may write
// to them.
bool isSystemProgramFolder(const std::string& folder);

// The folders the window starts from when none is stored, and falls back to
// in its folder browser: the program's folder for the source and the root
// for the destination. A program installed in a system folder on POSIX
// (/usr/bin), which nobody extracts from or into, offers the user's home
// folder for both instead.
std::string defaultSourceFolder(const std::string& programFolder);
std::string defaultDestinationFolder(const std::string& programFolder);

// The user's home folder ($HOME, else the account's; %USERPROFILE% on Windows).
std::string homeFolder();

// Where the program keeps one user's settings: $XDG_CONFIG_HOME/vantrel, or
// ~/.config/vantrel when XDG_CONFIG_HOME is unset, empty or not an absolute path;
// %APPDATA%\Vantrel on Windows (where the settings are in the registry).
std::string userConfigFolder();

// Where the program keeps what it writes for one user beside the settings:
// $XDG_STATE_HOME/vantrel, or ~/.local/state/vantrel when XDG_STATE_HOME is
// unset, empty or not an absolute path; %LOCALAPPDATA%\Vantrel on Windows.
std::string userStateFolder();

// `folder` and `name` joined by one separator ("/" + "x" gives "/x"; an empty
// folder, the current one, gives "x").
std::string joinPath(const std::string& folder, const std::string& name);

}  // namespace vantrel::platform
