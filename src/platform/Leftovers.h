// What a process that died while adding to a file, or while making one, can
// leave beside it, and how a later process finds and removes it without
// reading the directory (which can hold a great many files): every such
// file has a name of its own that follows from the file's name.
//
// - A missing file is made under its making name, ".<name>.lyrsa-new" beside
//   it, held under an exclusive lock (flock) by its maker from its opening
//   until it has its own name; a file there that no process holds is a dead
//   maker's, and the next process that makes the file or locks it removes it
//   or takes it over. Where that name is held by a live maker or taken by
//   something this process may not use, the file is made under a name of this
//   process's own, ".lyrsa-<pid>-<n>.tmp", which a kill can leave behind.
// - A journal is written under "<journal>.new" first, and renamed into place
//   (AppendProtocol.h); where that name is taken by something this process
//   cannot remove, under ".lyrsa-<pid>-<n>.journal" instead.
#pragma once

#include <string>

namespace platform {

// The name that the journal of an append is written under before it is
// renamed into place.
std::string journalWritingName(const std::string &journal);

// The making name of the file at the path: ".<name>.lyrsa-new" beside it, or,
// for a name too long for that, ".lyrsa-new-<16 hex digits of its hash>".
std::string makingName(const std::string &path);

// Opens a name to make the file at the path under, for reading and appending,
// empty and held under its exclusive lock: the making name, also one that a
// dead maker of this process's user left there (its bytes are dropped), or
// else a name of this process's own. -1 with errno when none can be made;
// taken tells the name.
int openMakingName(const std::string &path, std::string &taken);

// Removes what dead processes left beside the file open on fd, which this
// process holds under its lock: the journal they were still writing
// ("<journal>.new") and a file under the making name of any of the file's
// names that no process holds: a file a maker did not finish, or a second
// name of this file, left between its getting its own name and dropping the
// making name. A making name goes only when a run on the file could have
// made it: it belongs to this process's user, to root or to the file's owner.
void removeLeftovers(const std::string &path, const std::string &resolvedPath, const std::string &journal,
                     int fd);

} // namespace platform
