#include "platform/Leftovers.h"

#include "platform/BinaryFile.h"
#include "platform/SiblingFiles.h"
#include "platform/WriteFault.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// The longest name of a directory entry on the file systems in use.
constexpr std::size_t longestEntryName = 255;
// Tries at the making name before a name of this process's own is used: each
// one follows a change that another process made there meanwhile.
constexpr int makingNameTries = 8;

constexpr std::string_view makingPrefix = ".";
constexpr std::string_view makingSuffix = ".lyrsa-new";

std::string hexDigits(std::uint64_t value) {
  static const char digits[] = "0123456789abcdef";
  std::string text(16, '0');
  for (int i = 15; i >= 0; --i, value >>= 4)
    text[static_cast<std::size_t>(i)] = digits[value & 15];
  return text;
}

// FNV-1a: a short name for a long one, the same in every process.
std::uint64_t nameHash(std::string_view text) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3u;
  }
  return hash;
}

// Whether a run on a file owned by fileOwner could have made a file owned by
// owner.
bool ownedByARun(uid_t owner, uid_t fileOwner) {
  return owner == ::geteuid() || owner == 0 || owner == fileOwner;
}

// A name of this process's own beside the file at the path, held under its
// lock: -1 with errno when it cannot be made.
int openOwnName(const std::string &path, std::string &taken) {
  static unsigned count = 0;
  const std::string directory = directoryPart(path);
  for (;;) {
    const std::string name =
        directory + ".lyrsa-" + std::to_string(::getpid()) + "-" + std::to_string(count++) + ".tmp";
    const int fd = ::open(name.c_str(), O_RDWR | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST)
        continue;
      return -1;
    }
    // Held while the file is made; once it has its name, it is the file's
    // lock.
    ::flock(fd, LOCK_EX | LOCK_NB);
    taken = name;
    return fd;
  }
}

// Takes the lock of a making name without waiting: 0, or -1 with errno
// (ENOLCK, as on a file system without locks, under the test fault).
int lockMakingName(int fd) {
  if (makingLockFailsForTest()) {
    errno = ENOLCK;
    return -1;
  }
  return ::flock(fd, LOCK_EX | LOCK_NB);
}

// What an opening of the making name found there.
enum class Making { taken, retry, elsewhere, fails };

// Opens the making name, once: taken (fd set) when this process holds it
// empty, retry when another process changed it meanwhile, elsewhere when it
// is held or cannot be used, fails (errno) when no file can be made there.
Making tryMakingName(const std::string &name, int &fd) {
  const int flags = O_RDWR | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
  // Whether this opening made the file at the name.
  bool made = true;
  fd = ::open(name.c_str(), flags | O_CREAT | O_EXCL, 0666);
  if (fd < 0 && errno == EEXIST) {
    made = false;
    fd = ::open(name.c_str(), flags);
    if (fd < 0 && errno == ENOENT)
      return Making::retry;
  }
  if (fd < 0) {
    // A directory that may not be written, a read-only file system, a full
    // one: no other name fares better.
    if (errno == EROFS || errno == ENOSPC || errno == EDQUOT || errno == ENOENT || errno == ENOTDIR)
      return Making::fails;
    // Something stands at the name (a directory, a link, a file that may not
    // be written): it goes when it can.
    if (errno == EACCES && ::access(directoryOf(name).c_str(), W_OK) != 0)
      return Making::fails;
    return ::unlink(name.c_str()) == 0 ? Making::retry : Making::elsewhere;
  }
  if (lockMakingName(fd) != 0) {
    // A live maker, or a file system without locks, which cannot tell one;
    // a file that this opening made there goes again, unless a live maker
    // took it meanwhile.
    const bool held = errno == EWOULDBLOCK;
    ::close(fd);
    if (made && !held)
      ::unlink(name.c_str());
    return Making::elsewhere;
  }
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd);
    return ::unlink(name.c_str()) == 0 ? Making::retry : Making::elsewhere;
  }
  if (!namesOpenFile(name, fd)) {
    // A maker finished with it between the opening and the lock.
    ::close(fd);
    return Making::retry;
  }
  // A second name of a file made before, or a file of another user: never
  // written into. A dead maker's file of this user is taken over.
  if (status.st_nlink > 1 || status.st_uid != ::geteuid()) {
    ::close(fd);
    return ::unlink(name.c_str()) == 0 ? Making::retry : Making::elsewhere;
  }
  if (status.st_size > 0 && ::ftruncate(fd, 0) != 0) {
    closeKeepingErrno(fd);
    return Making::fails;
  }
  return Making::taken;
}

// Removes the making name when no process holds it and a run on the held
// file could have made it.
void removeMakingLeftover(const std::string &name, const struct stat &held) {
  struct stat status {};
  if (::lstat(name.c_str(), &status) != 0 || !S_ISREG(status.st_mode) ||
      !ownedByARun(status.st_uid, held.st_uid))
    return;
  // A second name of the held file: its maker died before dropping it, and
  // the lock on the file is this process's.
  if (status.st_dev == held.st_dev && status.st_ino == held.st_ino) {
    ::unlink(name.c_str());
    return;
  }
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0)
    return;
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && namesOpenFile(name, fd))
    ::unlink(name.c_str());
  ::close(fd);
}

} // namespace

std::string journalWritingName(const std::string &journal) { return journal + ".new"; }

std::string makingName(const std::string &path) {
  const std::string directory = directoryPart(path);
  const std::string_view base = std::string_view(path).substr(directory.size());
  if (makingPrefix.size() + base.size() + makingSuffix.size() <= longestEntryName)
    return siblingName(path, makingPrefix, makingSuffix);
  return directory + ".lyrsa-new-" + hexDigits(nameHash(base));
}

int openMakingName(const std::string &path, std::string &taken) {
  const std::string name = makingName(path);
  for (int tries = 0; tries < makingNameTries; ++tries) {
    int fd = -1;
    switch (tryMakingName(name, fd)) {
    case Making::taken:
      taken = name;
      return fd;
    case Making::retry:
      continue;
    case Making::elsewhere:
      return openOwnName(path, taken);
    case Making::fails:
      return -1;
    }
  }
  return openOwnName(path, taken);
}

void removeLeftovers(const std::string &path, const std::string &resolvedPath, const std::string &journal,
                     int fd) {
  // A journal half written: nothing of its append had begun.
  if (!journal.empty())
    ::unlink(journalWritingName(journal).c_str());
  struct stat held {};
  if (::fstat(fd, &held) != 0)
    return;
  const std::string making = makingName(path);
  removeMakingLeftover(making, held);
  if (!resolvedPath.empty()) {
    const std::string resolvedMaking = makingName(resolvedPath);
    if (resolvedMaking != making)
      removeMakingLeftover(resolvedMaking, held);
  }
}

} // namespace platform
