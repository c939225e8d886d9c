// Temporary files: fresh names that no other process can take first.
#pragma once

#include <optional>
#include <string>

namespace platform {

// Creates a new empty file whose name is the directory, "/", the prefix and a
// few random characters, exclusively, so that the name cannot be taken or
// foreseen by anyone else. An empty directory means the default temporary
// directory. Returns the name, or nothing when no file can be created there.
// The caller owns the file and removes it.
std::optional<std::string> createTempFile(const std::string &directory, const std::string &prefix);

// Where temporary files go when no directory is given: the directory named by
// TMP, else by TMPDIR, when that is a directory; else the system's one.
std::string defaultTempDirectory();

// The system's own temporary directory, tried last of all.
std::string systemTempDirectory();

} // namespace platform
