// Absolute and canonical names, the current and program directories, tests on
// the file system and the search along a list of directories.
#pragma once

#include <string>
#include <string_view>

// The absolute long name of a path, with forward slashes and no encoding
// conversion. A name whose directory does not exist stays as it is.
std::string U_absolutePath(const std::string &path);

// The canonical name of a path in the internal encoding (forward slashes): a
// bare name is joined to the current directory; otherwise the absolute form of
// its directory joined with its base name, or the path unchanged when the
// directory does not exist. The empty name gives the current directory.
std::string QL_canonicalPath(std::string_view name);
// Whether the name is its own canonical name: absolute and normalised (no "."
// or ".." component, no doubled or trailing "/"), which QL_canonicalPath
// leaves as it is, whether or not the file exists.
bool QL_isCanonicalPath(const std::string &path);

// The current directory with forward slashes; empty when it cannot be found.
std::string U_currentDirectory();
std::string QL_currentDirectory();

// The directory of the running program, with forward slashes; empty when the
// platform gives no name.
std::string U_programDirectory();

bool U_fileExists(const std::string &path);
bool QL_exists(const std::string &path);
bool U_isReadable(const std::string &path);
bool U_isDirectory(const std::string &path);
bool QL_isDirectory(const std::string &path);
bool U_isRegularFile(const std::string &path);
bool QL_isRegularFile(const std::string &path);
// Readable and not a directory.
bool QL_isReadableFile(const std::string &path);

// The first readable regular file named name in the directories of a
// ";"-separated list; an empty element tries the name itself, an empty element
// after a final ";" is not tried. Empty when there is none.
std::string U_findInPathList(const std::string &list, const std::string &name);
