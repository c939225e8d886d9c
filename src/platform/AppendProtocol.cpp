#include "platform/AppendProtocol.h"

#include "platform/Leftovers.h"
#include "platform/SiblingFiles.h"
#include "platform/Signals.h"
#include "platform/WriteFault.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// The longest journal read: a journal of an append of some GiB.
constexpr off_t journalLimit = 64 * 1024 * 1024;

// ---------------------------------------------------------------------------
// The guards: what a signal handler needs to put a file back, in fixed slots
// that exist before any signal can arrive. The names are copied in before a
// slot is marked used, so a handler never sees a slot half filled.

struct AppendSlot {
  volatile std::sig_atomic_t used = 0;
  volatile std::sig_atomic_t kept = 0;           // taken over until the process ends
  volatile std::sig_atomic_t named = 0;          // a file being made has, or is getting, its name
  volatile std::sig_atomic_t journalWritten = 0; // the journal at the journal path is this append's
  // What this process's appends put in the file (noteAppended); null while
  // they put nothing there.
  std::atomic<const AppendJournalEntry *> appended{nullptr};
  int fd = -1;
  std::uint64_t length = 0;
  FileIdentity identity;
  bool made = false;
  char path[PATH_MAX] = {};
  char temporary[PATH_MAX] = {};
  char journal[PATH_MAX] = {};
};

std::array<AppendSlot, 16> appendSlots;
// The entries that the slots point to, owned outside them: only code outside
// a signal handler makes or frees one.
std::array<std::unique_ptr<AppendJournalEntry>, 16> appendedEntries;
volatile std::sig_atomic_t commitAtExit = 0;
// The process's last act has begun to keep its appends, and each one that it
// ended so far stayed.
volatile std::sig_atomic_t lastActKeeps = 0;

AppendSlot *slotOf(int id) {
  if (id < 0 || static_cast<std::size_t>(id) >= appendSlots.size() || !appendSlots[id].used)
    return nullptr;
  return &appendSlots[static_cast<std::size_t>(id)];
}

bool copyName(char (&field)[PATH_MAX], const std::string &name) {
  if (name.size() >= PATH_MAX)
    return false;
  std::memcpy(field, name.c_str(), name.size() + 1);
  return true;
}

// Appends a text to the buffer, as far as it has room (one byte kept for the
// NUL).
void put(char *buffer, std::size_t size, std::size_t &at, const char *text) {
  while (*text && at + 1 < size)
    buffer[at++] = *text++;
}

void putNumber(char *buffer, std::size_t size, std::size_t &at, std::uint64_t number) {
  char digits[24];
  std::size_t first = sizeof digits - 1;
  digits[first] = '\0';
  do {
    digits[--first] = static_cast<char>('0' + number % 10);
    number /= 10;
  } while (number > 0);
  put(buffer, size, at, digits + first);
}

// Ends a line of a put-back that failed: the journal that is kept, when there
// is one, the full stop and the NUL. Returns the line's length.
std::size_t endWithKeptJournal(char *buffer, std::size_t size, std::size_t at, const char *journal) {
  if (journal) {
    put(buffer, size, at, "; its journal '");
    put(buffer, size, at, journal);
    put(buffer, size, at, "' is kept, so that a later run puts it back");
  }
  put(buffer, size, at, ".");
  buffer[at] = '\0';
  return at;
}

// Removes a journal: 0 or errno. One already gone counts as removed.
int removeJournal(const char *journal) {
  if (::unlink(journal) == 0 || errno == ENOENT)
    return 0;
  return errno;
}

// Cuts the file open on fd back to the length (nothing to cut when it has
// that length) and syncs the cut. Safe inside a signal handler.
AppendEnd::Result cutBack(int fd, std::uint64_t length, int &error) {
  struct stat status {};
  if (::fstat(fd, &status) != 0) {
    error = errno;
    return AppendEnd::Result::cannotCut;
  }
  if (static_cast<std::uint64_t>(status.st_size) == length)
    return AppendEnd::Result::done;
  if (truncateForPutBack(fd, length) != 0) {
    error = errno;
    return AppendEnd::Result::cannotCut;
  }
  // The cut reaches the disk before the journal that calls for it goes.
  error = syncFailsForTest(FaultedSync::cut) ? EIO : syncFileData(fd);
  return error == 0 ? AppendEnd::Result::done : AppendEnd::Result::cannotSync;
}

// What putting a file back found of another writer.
struct OtherWriter {
  bool found = false;
  bool ownFirst = false;
};

// Cuts what this process appended to the file of the slot away, when every
// byte after the point where its appends began is its own; otherwise the
// file stays as it is and other tells why. Safe inside a signal handler.
AppendEnd::Result cutOwnBytes(AppendSlot &slot, int &error, OtherWriter &other) {
  const AppendJournalEntry *appended = slot.appended.load();
  struct stat status {};
  if (::fstat(slot.fd, &status) != 0) {
    error = errno;
    return AppendEnd::Result::cannotCut;
  }
  const auto found = static_cast<std::uint64_t>(status.st_size);
  // Nothing of this process's is in the file: nothing to take back.
  if (!appended || found == appended->length)
    return AppendEnd::Result::done;
  const AppendCheck check = checkAppended(slot.fd, *appended, found);
  if (check.error != 0) {
    error = check.error;
    return AppendEnd::Result::cannotCut;
  }
  if (check.difference == AppendCheck::Difference::none)
    return cutBack(slot.fd, appended->length, error);
  other.found = true;
  const std::uint64_t ownEnd = appended->length + appended->appending;
  other.ownFirst =
      found > ownEnd && checkAppended(slot.fd, *appended, ownEnd).difference == AppendCheck::Difference::none;
  return AppendEnd::Result::done;
}

// Puts the file of the slot back: a file that this process made is removed,
// another cut back and synced (when all that follows the cut is this
// process's own); then the journal of the append goes. Safe inside a signal
// handler.
AppendEnd::Result putBackSlot(AppendSlot &slot, int &error, OtherWriter &other) {
  if (slot.made) {
    if (slot.temporary[0])
      ::unlink(slot.temporary);
    // Only while the name is the one this process gave the file.
    if ((slot.named || !slot.temporary[0]) && namesFile(slot.path, slot.identity) &&
        ::unlink(slot.path) != 0) {
      error = errno;
      return AppendEnd::Result::cannotCut;
    }
  } else {
    const AppendEnd::Result cut = cutOwnBytes(slot, error, other);
    if (cut != AppendEnd::Result::done)
      return cut;
  }
  if (slot.journalWritten) {
    error = removeJournal(slot.journal);
    if (error != 0)
      return AppendEnd::Result::cannotRemoveJournal;
    slot.journalWritten = 0;
  }
  return AppendEnd::Result::done;
}

// The length that putting the file of the slot back cuts it to: where this
// process's appends began, or its length at the opening. Safe inside a signal
// handler.
std::uint64_t putBackLength(const AppendSlot &slot) {
  const AppendJournalEntry *appended = slot.appended.load();
  return appended && !slot.made ? appended->length : slot.length;
}

// Drops what the slot says of this process's appends; the entry goes once a
// handler can no longer see it.
void dropAppended(std::size_t id) {
  appendSlots[id].appended.store(nullptr);
  std::atomic_signal_fence(std::memory_order_seq_cst);
  appendedEntries[id].reset();
}

AppendEnd endOf(const AppendSlot &slot, AppendEnd::Result result, int error, OtherWriter other = {}) {
  AppendEnd end;
  end.result = result;
  end.error = error;
  end.path = slot.path;
  end.length = putBackLength(slot);
  if (slot.journalWritten)
    end.journal = slot.journal;
  end.otherWriter = other.found;
  end.ownFirst = other.ownFirst;
  return end;
}

// Removes the temporary name of a made file that has its own name, where it
// could not go then. Safe inside a signal handler.
void removeNamedTemporary(AppendSlot &slot) {
  if (slot.named && slot.temporary[0] && ::unlink(slot.temporary) == 0)
    slot.temporary[0] = '\0';
}

// Puts the file of the slot back, as the end of its append.
AppendEnd putBackEnd(AppendSlot &slot) {
  int error = 0;
  OtherWriter other;
  const AppendEnd::Result result = putBackSlot(slot, error, other);
  return endOf(slot, result, error, other);
}

// Keeps the append of the slot: its journal goes. A journal that cannot go
// would let a later run take the append back, so the append is taken back
// now instead.
AppendEnd keepSlot(AppendSlot &slot) {
  removeNamedTemporary(slot);
  if (!slot.journalWritten)
    return endOf(slot, AppendEnd::Result::done, 0);
  const int error = removeJournal(slot.journal);
  if (error == 0) {
    slot.journalWritten = 0;
    return endOf(slot, AppendEnd::Result::done, 0);
  }
  AppendEnd end = putBackEnd(slot);
  if (end.result == AppendEnd::Result::done) {
    end.result = AppendEnd::Result::cannotRemoveJournal;
    end.error = error;
    end.journal = slot.journal;
  }
  end.putBack = true;
  return end;
}

// ---------------------------------------------------------------------------
// What stands at the journal path, and whether a run on the file could have
// written it.

// Closes the descriptor at the end of its scope.
struct Descriptor {
  int fd;
  ~Descriptor() { ::close(fd); }
};

struct JournalLook {
  enum class Kind { none, untrusted, unreadable, entry, cannotRead };
  Kind kind = Kind::none;
  AppendRecovery::Distrust distrust = AppendRecovery::Distrust::none;
  std::uint64_t owner = 0;
  int error = 0;
  AppendJournalEntry entry;
};

JournalLook untrusted(AppendRecovery::Distrust why, std::uint64_t owner = 0) {
  JournalLook look;
  look.kind = JournalLook::Kind::untrusted;
  look.distrust = why;
  look.owner = owner;
  return look;
}

JournalLook cannotRead(int error) {
  JournalLook look;
  look.kind = JournalLook::Kind::cannotRead;
  look.error = error;
  return look;
}

// Reads the journal open on fd whole, as far as the limit.
bool readJournalText(int fd, std::string &text) {
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0)
      return false;
    if (n == 0 || text.size() > static_cast<std::size_t>(journalLimit))
      return true;
    text.append(buffer, static_cast<std::size_t>(n));
  }
}

JournalLook lookAtJournal(const std::string &journal, const struct stat &file) {
  using Distrust = AppendRecovery::Distrust;
  struct stat status {};
  if (::lstat(journal.c_str(), &status) != 0) {
    // A name too long for the suffix has no journal.
    if (errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG)
      return JournalLook();
    return cannotRead(errno);
  }
  if (!S_ISREG(status.st_mode))
    return untrusted(Distrust::notRegular);
  if (status.st_uid != file.st_uid && status.st_uid != ::geteuid() && status.st_uid != 0)
    return untrusted(Distrust::owner, status.st_uid);
  if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0)
    return untrusted(Distrust::writableByOthers);
  const int in = ::open(journal.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (in < 0)
    return errno == ELOOP ? untrusted(Distrust::notRegular) : cannotRead(errno);
  const Descriptor closing{in};
  struct stat opened {};
  if (::fstat(in, &opened) != 0)
    return cannotRead(errno);
  // Another file took the name between the look and the opening.
  if (opened.st_dev != status.st_dev || opened.st_ino != status.st_ino || !S_ISREG(opened.st_mode))
    return untrusted(Distrust::notRegular);
  JournalLook look;
  look.kind = JournalLook::Kind::unreadable;
  if (opened.st_size > journalLimit)
    return look;
  std::string text;
  if (!readJournalText(in, text))
    return cannotRead(errno);
  std::optional<AppendJournalEntry> entry = parseAppendJournal(text);
  if (!entry)
    return look;
  look.kind = JournalLook::Kind::entry;
  look.entry = std::move(*entry);
  return look;
}

// Steps 2 of the protocol, acting or only looking.
std::optional<AppendRecovery> findAppend(const std::string &journal, int fd, bool act) {
  using Outcome = AppendRecovery::Outcome;
  // The faults of a cut are in force from now on.
  currentWriteFault();
  AppendRecovery recovery;
  recovery.journal = journal;
  struct stat file {};
  if (::fstat(fd, &file) != 0) {
    recovery.outcome = Outcome::cannotCheck;
    recovery.error = errno;
    return recovery;
  }
  recovery.found = static_cast<std::uint64_t>(file.st_size);
  const JournalLook look = lookAtJournal(journal, file);
  bool removes = true;
  switch (look.kind) {
  case JournalLook::Kind::none:
    return std::nullopt;
  case JournalLook::Kind::cannotRead:
    recovery.outcome = Outcome::cannotCheck;
    recovery.error = look.error;
    return recovery;
  case JournalLook::Kind::untrusted:
    recovery.outcome = Outcome::untrusted;
    recovery.distrust = look.distrust;
    recovery.owner = look.owner;
    break;
  case JournalLook::Kind::unreadable:
    recovery.outcome = Outcome::unreadable;
    break;
  case JournalLook::Kind::entry: {
    recovery.length = look.entry.length;
    recovery.appending = look.entry.appending;
    const AppendCheck check = checkAppended(fd, look.entry, recovery.found);
    if (check.error != 0) {
      recovery.outcome = Outcome::cannotCheck;
      recovery.error = check.error;
      return recovery;
    }
    if (check.difference != AppendCheck::Difference::none) {
      recovery.outcome = Outcome::leftAlone;
      recovery.difference = check.difference;
    } else if (recovery.found == recovery.length) {
      recovery.outcome = Outcome::nothingAppended;
    } else if (file.st_nlink > 1) {
      // A run through another name of the file sees no journal here: what
      // looks like the dead run's bytes can be the findings of a run that
      // ended well.
      recovery.outcome = Outcome::otherNames;
    } else {
      recovery.outcome = Outcome::putBack;
      if (act) {
        const AppendEnd::Result cut = cutBack(fd, recovery.length, recovery.error);
        if (cut == AppendEnd::Result::cannotCut)
          recovery.outcome = Outcome::cannotPutBack;
        else if (cut == AppendEnd::Result::cannotSync)
          recovery.outcome = Outcome::cannotSync;
        removes = cut == AppendEnd::Result::done;
      }
    }
    break;
  }
  }
  if (act && removes)
    recovery.removeError = removeJournal(journal.c_str());
  return recovery;
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Whether a journal that cannot be opened for that reason cannot be made
// beside the file at all: the append may go in without one then.
bool journalCannotBeMade(int error) { return error == EACCES || error == EROFS || error == ENAMETOOLONG; }

// The permissions of the journal of the file: of the file's, only those to
// read it, and the owner's to read and write; never a permission to write it
// for anyone else.
mode_t journalMode(const struct stat &file) {
  return S_IRUSR | S_IWUSR | (file.st_mode & (S_IRGRP | S_IROTH));
}

// Gives the journal being written the file's group, where this process may,
// and the journal's permissions: the group that may read the file may read
// the journal, no other group may, and no mask of the process takes the
// owner's own permissions.
void giveJournalPermissions(int out, const struct stat &file) {
  mode_t mode = journalMode(file);
  struct stat made {};
  if (::fstat(out, &made) == 0 && made.st_gid != file.st_gid &&
      ::fchown(out, static_cast<uid_t>(-1), file.st_gid) != 0)
    mode &= ~S_IRGRP;
  ::fchmod(out, mode);
}

// Makes a new file under a name beside the journal that no other process
// writes, exclusively (a link that another process put there is never written
// through), by open (a new, empty file) or by a link to the file open on
// linked: "<journal>.new", or, when something that this process cannot
// remove stands there, a name of this process's own. -1, with errno, when
// none can be made.
int makeWritingName(const std::string &journal, mode_t mode, int linked, std::string &name) {
  const auto make = [&] {
    if (linked < 0)
      return ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
    const std::string open = "/proc/self/fd/" + std::to_string(linked);
    return ::linkat(AT_FDCWD, open.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW);
  };
  name = journalWritingName(journal);
  // What a process still writing it left there: that process is dead, since
  // this one holds the file's lock.
  ::unlink(name.c_str());
  int made = make();
  static unsigned count = 0;
  while (made < 0 && errno == EEXIST) {
    name = directoryPart(journal) + ".lyrsa-" + std::to_string(::getpid()) + "-" + std::to_string(count++) +
           ".journal";
    made = make();
  }
  return made;
}

// Closes a journal being written: 0 or errno (EROFS, as on a file system
// that turned read-only, under the test fault).
int closeJournal(int out) {
  const int error = ::close(out) == 0 ? 0 : errno;
  return journalCloseFailsForTest() ? EROFS : error;
}

// Whether the error of opening a file with O_TMPFILE tells a file system or
// kernel that cannot make a file without a name.
bool unnamedFilesUnsupported(int error) { return error == EOPNOTSUPP || error == EISDIR || error == EINVAL; }
} // namespace

bool AppendRecovery::fails() const {
  return outcome == Outcome::cannotCheck || outcome == Outcome::cannotPutBack ||
         outcome == Outcome::cannotSync || removeError != 0;
}

std::string resolvedNameOfOpenFile(const std::string &path, int fd) {
  const std::unique_ptr<char, void (*)(void *)> resolved(::realpath(path.c_str(), nullptr), std::free);
  if (!resolved || !namesOpenFile(resolved.get(), fd))
    return std::string();
  return resolved.get();
}

std::string journalOfOpenFile(const std::string &path, int fd) {
  const std::string resolved = resolvedNameOfOpenFile(path, fd);
  return resolved.empty() ? std::string() : appendJournalPath(resolved);
}

std::optional<AppendRecovery> recoverAppend(const std::string &journal, int fd) {
  return findAppend(journal, fd, true);
}

std::optional<AppendRecovery> inspectAppend(const std::string &journal, int fd) {
  return findAppend(journal, fd, false);
}

int guardAppend(const AppendTarget &target) {
  for (std::size_t id = 0; id < appendSlots.size(); ++id) {
    AppendSlot &slot = appendSlots[id];
    if (slot.used)
      continue;
    // A journal whose name does not fit is none: its file goes without.
    const bool journaled = !target.journal.empty() && target.journal.size() < PATH_MAX;
    if (!copyName(slot.path, target.path) || !copyName(slot.temporary, target.temporary))
      return -1;
    copyName(slot.journal, journaled ? target.journal : std::string());
    slot.identity = identityOf(target.fd).value_or(FileIdentity());
    slot.fd = target.fd;
    slot.length = target.length;
    slot.made = target.made;
    dropAppended(id);
    // The faults of a put-back are in force from now on.
    currentWriteFault();
    slot.kept = 0;
    slot.named = 0;
    slot.journalWritten = 0;
    // The fields are in place before a handler can see the slot used.
    std::atomic_signal_fence(std::memory_order_release);
    slot.used = 1;
    return static_cast<int>(id);
  }
  return -1;
}

void markAppendNamed(int id) {
  if (AppendSlot *slot = slotOf(id))
    slot->named = 1;
}

void dropAppendTemporary(int id) {
  if (AppendSlot *slot = slotOf(id))
    slot->temporary[0] = '\0';
}

// Ends the slot's use.
void freeSlot(std::size_t id) {
  appendSlots[id].used = 0;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  dropAppended(id);
}

void releaseAppend(int id) {
  if (AppendSlot *slot = slotOf(id); slot && !slot->kept)
    freeSlot(static_cast<std::size_t>(id));
}

void forgetAppended(int id) {
  if (slotOf(id))
    dropAppended(static_cast<std::size_t>(id));
}

void noteAppended(int id, const AppendJournalEntry &entry) {
  AppendSlot *slot = slotOf(id);
  if (!slot)
    return;
  auto noted = std::make_unique<AppendJournalEntry>(entry);
  noted->openBlock.clear();
  // The new entry is whole before a handler can see it; the old one goes
  // once it can no longer be seen.
  slot->appended.store(noted.get());
  appendedEntries[static_cast<std::size_t>(id)] = std::move(noted);
}

JournalWriting writeAppendJournal(const std::string &journal, const AppendJournalEntry &entry, int fd,
                                  int id) {
  AppendSlot *slot = slotOf(id);
  struct stat file {};
  if (::fstat(fd, &file) != 0)
    return JournalWriting::failed;
  const mode_t mode = journalMode(file);
  // A fatal signal waits until the journal is known to the slot, or gone
  // again: its handler then leaves no name of it behind.
  const HeldSignals held;
  // The journal is written as a file without a name, which a kill never
  // leaves behind, and gets one once it is whole and synced; where the file
  // system cannot make one, it is written under its writing name.
  // A file without a name gets one through /proc, which a chroot may lack.
  std::string name;     // the name of its own that it has, until it is renamed into place
  bool inPlace = false; // it has the journal's name
  int out = !unnamedFilesFailForTest() && ::access("/proc/self/fd", X_OK) == 0
                ? ::open(directoryOf(journal).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode)
                : (errno = EOPNOTSUPP, -1);
  const bool unnamed = out >= 0;
  if (!unnamed && unnamedFilesUnsupported(errno))
    out = makeWritingName(journal, mode, -1, name);
  if (out < 0)
    return journalCannotBeMade(errno) ? JournalWriting::cannotMake : JournalWriting::failed;
  giveJournalPermissions(out, file);
  int reason = writeAll(out, appendJournalText(entry)) ? 0 : errno;
  if (reason == 0)
    reason = syncFailsForTest(FaultedSync::journal) ? EROFS : syncFileData(out);
  // Whether the journal could not be made after all: it got no name.
  bool cannotMake = false;
  if (reason == 0 && unnamed) {
    // A first journal of the append takes the journal's name at once; one
    // that replaces an earlier one of it gets a name of its own first, and
    // replaces it whole.
    if (::linkat(AT_FDCWD, ("/proc/self/fd/" + std::to_string(out)).c_str(), AT_FDCWD, journal.c_str(),
                 AT_SYMLINK_FOLLOW) == 0) {
      inPlace = true;
    } else if (errno != EEXIST) {
      reason = errno;
      cannotMake = journalCannotBeMade(reason);
    } else if (makeWritingName(journal, mode, out, name) != 0) {
      reason = errno;
      name.clear();
    }
  }
  if (const int closing = closeJournal(out); closing != 0 && reason == 0)
    reason = closing;
  if (reason == 0 && !inPlace && ::rename(name.c_str(), journal.c_str()) != 0)
    reason = errno;
  if (reason != 0) {
    // Once it has a name, a journal that fails is none: nothing is left of it.
    if (inPlace)
      ::unlink(journal.c_str());
    else if (!name.empty())
      ::unlink(name.c_str());
    errno = reason;
    return cannotMake ? JournalWriting::cannotMake : JournalWriting::failed;
  }
  // The journal at the journal's path is this append's from now on: putting
  // the append back removes it, also when its directory cannot be synced.
  if (slot)
    slot->journalWritten = 1;
  const int error = syncFailsForTest(FaultedSync::journalDirectory) ? EIO : syncDirectoryOf(journal);
  errno = error;
  return error == 0 ? JournalWriting::written : JournalWriting::failed;
}

AppendEnd endAppend(int id) {
  AppendSlot *slot = slotOf(id);
  if (!slot)
    return AppendEnd();
  if (commitAtExit) {
    slot->kept = 1;
    return endOf(*slot, AppendEnd::Result::done, 0);
  }
  return keepSlot(*slot);
}

AppendEnd putBackAppend(int id) {
  AppendSlot *slot = slotOf(id);
  if (!slot)
    return AppendEnd();
  return putBackEnd(*slot);
}

void commitAppendsAtExit() { commitAtExit = 1; }

bool appendsCommitAtExit() { return commitAtExit != 0; }

std::vector<AppendEnd> finishAppends(bool keep) {
  holdAllSignalsUntilExit();
  lastActKeeps = keep;
  std::vector<AppendEnd> failures;
  for (AppendSlot &slot : appendSlots) {
    if (!slot.used || !slot.kept)
      continue;
    const AppendEnd end = keep ? keepSlot(slot) : putBackEnd(slot);
    if (end.putBack)
      lastActKeeps = 0;
    if (end.result != AppendEnd::Result::done || end.putBack || end.otherWriter)
      failures.push_back(end);
    ::close(slot.fd);
    slot.kept = 0;
    freeSlot(static_cast<std::size_t>(&slot - appendSlots.data()));
  }
  // Every append is kept or put back: a fault from here on ends the process
  // through its handler, as the last act decided.
  releaseFaultsBeforeExit();
  pauseForTest(PausePoint::atExit);
  return failures;
}

bool restoreAppends() {
  bool kept = lastActKeeps != 0;
  for (AppendSlot &slot : appendSlots) {
    if (!slot.used)
      continue;
    slot.used = 0;
    std::atomic_signal_fence(std::memory_order_acquire);
    // What the last act keeps stays, once its journal is gone.
    if (kept && slot.kept && (!slot.journalWritten || removeJournal(slot.journal) == 0)) {
      removeNamedTemporary(slot);
      continue;
    }
    if (slot.kept)
      kept = false;
    int error = 0;
    OtherWriter other;
    const AppendEnd::Result result = putBackSlot(slot, error, other);
    const std::uint64_t length = putBackLength(slot);
    const char *journal = slot.journalWritten ? slot.journal : nullptr;
    char line[2 * PATH_MAX + 256];
    std::size_t size = 0;
    if (other.found)
      size = otherWriterText(line, sizeof line - 1, slot.path, length, other.ownFirst);
    else if (result == AppendEnd::Result::cannotCut)
      size = putBackFailureText(line, sizeof line - 1, slot.path, length, journal);
    else if (result == AppendEnd::Result::cannotSync)
      size = putBackSyncFailureText(line, sizeof line - 1, slot.path, length, error, journal);
    if (size > 0) {
      line[size] = '\n';
      writeToStandardError(line, size + 1);
    }
  }
  return kept;
}

std::size_t putBackFailureText(char *buffer, std::size_t size, const char *path, std::uint64_t length,
                               const char *journal) {
  if (size == 0)
    return 0;
  std::size_t at = 0;
  put(buffer, size, at, "Cannot put file '");
  put(buffer, size, at, path);
  put(buffer, size, at, "' back to its length of ");
  putNumber(buffer, size, at, length);
  put(buffer, size, at, " bytes");
  return endWithKeptJournal(buffer, size, at, journal);
}

std::size_t putBackSyncFailureText(char *buffer, std::size_t size, const char *path, std::uint64_t length,
                                   int error, const char *journal) {
  if (size == 0)
    return 0;
  std::size_t at = 0;
  put(buffer, size, at, "Cannot sync error file '");
  put(buffer, size, at, path);
  put(buffer, size, at, "' after putting it back to its length of ");
  putNumber(buffer, size, at, length);
  put(buffer, size, at, " bytes (");
  // The text of the error from the C library's own table: no locale, no heap.
  const char *reason = ::strerrordesc_np(error);
  put(buffer, size, at, reason ? reason : "Unknown error");
  put(buffer, size, at, ")");
  return endWithKeptJournal(buffer, size, at, journal);
}

std::size_t otherWriterText(char *buffer, std::size_t size, const char *path, std::uint64_t length,
                            bool ownFirst) {
  if (size == 0)
    return 0;
  std::size_t at = 0;
  put(buffer, size, at, "Warning - File '");
  put(buffer, size, at, path);
  put(buffer, size, at,
      ownFirst
          ? "' holds this run's findings followed by another writer's bytes; it is left as it is, not put "
            "back to its "
          : "' was changed by another writer while this run added to it; it is left as it is, not put back "
            "to its ");
  putNumber(buffer, size, at, length);
  put(buffer, size, at, " bytes.");
  buffer[at] = '\0';
  return at;
}

std::string otherWriterLine(const AppendEnd &end) {
  std::string line(end.path.size() + 256, '\0');
  line.resize(otherWriterText(line.data(), line.size(), end.path.c_str(), end.length, end.ownFirst));
  return line;
}

} // namespace platform
