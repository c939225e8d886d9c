// What the file system answers: absolute names, tests on files, the current
// directory and the running program's file. Names are in the platform's own
// form; nothing here has a fixed length limit.
#pragma once

#include <optional>
#include <string>

namespace platform {

// Whether the file system treats names that differ only in ASCII letter case
// as one file. Linux names are case-sensitive.
#if defined(_WIN32)
inline constexpr bool fileNamesIgnoreCase = true;
inline constexpr char nativeSeparator = '\\';
#else
inline constexpr bool fileNamesIgnoreCase = false;
inline constexpr char nativeSeparator = '/';
#endif

// The absolute form of a name, normalised by its text alone: "." and empty
// components dropped, ".." taking away the component before it (never above
// the root), no trailing "/". Links are not resolved and the name need not
// exist. Nothing when the current directory is unknown.
std::optional<std::string> fullPath(const std::string &path);

// The long form of an existing name. Linux has no short names, so it is the
// name itself; nothing when the name does not exist.
std::optional<std::string> longPathName(const std::string &path);

// The current directory; nothing when it cannot be found.
std::optional<std::string> currentDirectory();

// The file of the running program; nothing when the system does not say.
std::optional<std::string> programFileName();

enum class Access { exists, readable };
// Whether the file can be reached in that way (access(2)).
bool canAccess(const std::string &path, Access mode);

enum class FileKind { none, directory, regular, other };
// The kind of file a name refers to (stat(2)); none when it cannot be told.
FileKind fileKind(const std::string &path);

// Removes a file; false when it cannot.
bool removeFile(const std::string &path);

} // namespace platform
