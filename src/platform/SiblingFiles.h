// Files that live beside another file (its journal, the name it is made
// under) and the identity of a file: the names built from a file's name,
// the directory they share, whether a name still names an open file, and
// syncing a file's bytes or a directory's entries to disk.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The directory part of a name, with its slash; empty for a name in the
// current directory.
std::string directoryPart(const std::string &path);
// The name of the file beside the one at the path whose name is the file's
// own with the prefix before it and the suffix after it: for "out/a.c.err",
// ".", ".lyrsa-journal": "out/.a.c.err.lyrsa-journal".
std::string siblingName(const std::string &path, std::string_view prefix, std::string_view suffix);
// The directory of the file, as a name that opens it ("." or "/" included).
std::string directoryOf(const std::string &path);

// Which file a name or a descriptor is: its device and inode.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool operator==(const FileIdentity &) const = default;
};
// The identity of the open file; nothing when fstat fails.
std::optional<FileIdentity> identityOf(int fd);
// Whether the name (symbolic links followed) names the file. Safe inside a
// signal handler.
bool namesFile(const char *path, const FileIdentity &file);
// Whether the name (symbolic links followed) names the open file.
bool namesOpenFile(const std::string &path, int fd);

// Syncs the bytes of the file open on fd, and what reading them back needs
// (its length), to disk: 0 or errno. Every file of an append, and its
// journal, is synced so: their timestamps matter to no run. A file system
// that cannot sync has it as durable as it makes it. Safe inside a signal
// handler.
int syncFileData(int fd);
// Syncs the entries of the directory of the file at the path to disk, so
// that a name just made or removed there lasts: 0 or errno.
int syncDirectoryOf(const std::string &path);

} // namespace platform
