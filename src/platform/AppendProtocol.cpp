#include "platform/AppendProtocol.h"

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

std::string newJournalPath(const std::string &journal) { return journal + ".new"; }

// ---------------------------------------------------------------------------
// The guards: what a signal handler needs to put a file back, in fixed slots
// that exist before any signal can arrive. The names are copied in before a
// slot is marked used, so a handler never sees a slot half filled.

struct AppendSlot {
  volatile std::sig_atomic_t used = 0;
  volatile std::sig_atomic_t kept = 0;           // taken over until the process ends
  volatile std::sig_atomic_t named = 0;          // a file being made has, or is getting, its name
  volatile std::sig_atomic_t writingJournal = 0; // "<journal>.new" may be there
  volatile std::sig_atomic_t journalWritten = 0; // the journal at the journal path is this append's
  int fd = -1;
  std::uint64_t length = 0;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool made = false;
  bool cutFails = false;           // of a write fault
  bool cutSyncFails = false;       // of a write fault
  bool directorySyncFails = false; // of a write fault
  char path[PATH_MAX] = {};
  char temporary[PATH_MAX] = {};
  char journal[PATH_MAX] = {};
  char newJournal[PATH_MAX] = {};
};

std::array<AppendSlot, 16> appendSlots;
volatile std::sig_atomic_t commitAtExit = 0;

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

// Syncs the file open on fd: 0 or errno. A file system that cannot sync has
// it as durable as it makes it.
int syncFile(int fd, bool fails) {
  if (fails)
    return EIO;
  if (::fsync(fd) == 0 || errno == EINVAL)
    return 0;
  return errno;
}

// Removes a journal: 0 or errno. One already gone counts as removed.
int removeJournal(const char *journal) {
  if (::unlink(journal) == 0 || errno == ENOENT)
    return 0;
  return errno;
}

// Cuts the file open on fd back to the length (nothing to cut when it has
// that length) and syncs the cut. Safe inside a signal handler.
AppendEnd::Result cutBack(int fd, std::uint64_t length, const WriteFault &fault, int &error) {
  struct stat status {};
  if (::fstat(fd, &status) != 0) {
    error = errno;
    return AppendEnd::Result::cannotCut;
  }
  if (static_cast<std::uint64_t>(status.st_size) == length)
    return AppendEnd::Result::done;
  if (fault.cutFails || ::ftruncate(fd, static_cast<off_t>(length)) != 0) {
    error = fault.cutFails ? EPERM : errno;
    return AppendEnd::Result::cannotCut;
  }
  if (fault.stopAfterCut)
    ::kill(::getpid(), SIGKILL);
  // The cut reaches the disk before the journal that calls for it goes.
  error = syncFile(fd, fault.cutSyncFails);
  return error == 0 ? AppendEnd::Result::done : AppendEnd::Result::cannotSync;
}

// Whether the name still names the guarded file.
bool namesGuardedFile(const char *name, const AppendSlot &slot) {
  struct stat status {};
  return ::stat(name, &status) == 0 && static_cast<std::uint64_t>(status.st_dev) == slot.device &&
         static_cast<std::uint64_t>(status.st_ino) == slot.inode;
}

// Puts the file of the slot back: a file that this process made is removed,
// another cut back and synced; then the journal of the append goes. Safe
// inside a signal handler.
AppendEnd::Result putBackSlot(AppendSlot &slot, int &error) {
  if (slot.writingJournal)
    ::unlink(slot.newJournal);
  if (slot.made) {
    if (slot.temporary[0])
      ::unlink(slot.temporary);
    // Only while the name is the one this process gave the file.
    if ((slot.named || !slot.temporary[0]) && namesGuardedFile(slot.path, slot) && ::unlink(slot.path) != 0) {
      error = errno;
      return AppendEnd::Result::cannotCut;
    }
  } else {
    WriteFault fault;
    fault.cutFails = slot.cutFails;
    fault.cutSyncFails = slot.cutSyncFails;
    const AppendEnd::Result cut = cutBack(slot.fd, slot.length, fault, error);
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

AppendEnd endOf(const AppendSlot &slot, AppendEnd::Result result, int error) {
  AppendEnd end;
  end.result = result;
  end.error = error;
  end.path = slot.path;
  end.length = slot.length;
  if (slot.journalWritten)
    end.journal = slot.journal;
  return end;
}

// Keeps the append of the slot: its journal goes. A journal that cannot go
// would let a later run take the append back, so the append is taken back
// now instead.
AppendEnd keepSlot(AppendSlot &slot) {
  if (!slot.journalWritten)
    return endOf(slot, AppendEnd::Result::done, 0);
  const int error = removeJournal(slot.journal);
  if (error == 0) {
    slot.journalWritten = 0;
    return endOf(slot, AppendEnd::Result::done, 0);
  }
  int putBackError = 0;
  const AppendEnd::Result putBack = putBackSlot(slot, putBackError);
  AppendEnd end = putBack == AppendEnd::Result::done
                      ? endOf(slot, AppendEnd::Result::cannotRemoveJournal, error)
                      : endOf(slot, putBack, putBackError);
  if (putBack == AppendEnd::Result::done)
    end.journal = slot.journal;
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
  const WriteFault fault = currentWriteFault().value_or(WriteFault());
  AppendRecovery recovery;
  recovery.journal = journal;
  struct stat file {};
  if (::fstat(fd, &file) != 0) {
    recovery.outcome = Outcome::cannotCheck;
    recovery.error = errno;
    return recovery;
  }
  recovery.found = static_cast<std::uint64_t>(file.st_size);
  if (act) {
    // A journal that a process was still writing when it died: nothing of its
    // append had begun.
    ::unlink(newJournalPath(journal).c_str());
  }
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
    } else {
      recovery.outcome = Outcome::putBack;
      if (act) {
        const AppendEnd::Result cut = cutBack(fd, recovery.length, fault, recovery.error);
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

// Syncs the directory of the journal, so that its entry is on disk: 0 or
// errno. A file system that cannot sync a directory has its entries as
// durable as it makes them.
int syncDirectoryOf(const std::string &journal, bool fails) {
  if (fails)
    return EIO;
  const std::size_t slash = journal.rfind('/');
  const std::string directory = slash == std::string::npos ? "."
                                : slash == 0               ? "/"
                                                           : journal.substr(0, slash);
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0)
    return errno;
  const int error = syncFile(fd, false);
  ::close(fd);
  return error;
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

} // namespace

bool AppendRecovery::fails() const {
  return outcome == Outcome::cannotCheck || outcome == Outcome::cannotPutBack ||
         outcome == Outcome::cannotSync || removeError != 0;
}

std::string journalOfOpenFile(const std::string &path, int fd) {
  const std::unique_ptr<char, void (*)(void *)> resolved(::realpath(path.c_str(), nullptr), std::free);
  struct stat named {
  }, open{};
  if (!resolved || ::stat(resolved.get(), &named) != 0 || ::fstat(fd, &open) != 0 ||
      named.st_dev != open.st_dev || named.st_ino != open.st_ino)
    return std::string();
  return appendJournalPath(resolved.get());
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
    const bool journaled = !target.journal.empty() && newJournalPath(target.journal).size() < PATH_MAX;
    if (!copyName(slot.path, target.path) || !copyName(slot.temporary, target.temporary))
      return -1;
    copyName(slot.journal, journaled ? target.journal : std::string());
    copyName(slot.newJournal, journaled ? newJournalPath(target.journal) : std::string());
    struct stat status {};
    const bool known = ::fstat(target.fd, &status) == 0;
    slot.device = known ? static_cast<std::uint64_t>(status.st_dev) : 0;
    slot.inode = known ? static_cast<std::uint64_t>(status.st_ino) : 0;
    slot.fd = target.fd;
    slot.length = target.length;
    slot.made = target.made;
    const std::optional<WriteFault> &fault = currentWriteFault();
    slot.cutFails = fault && fault->cutFails;
    slot.cutSyncFails = fault && fault->cutSyncFails;
    slot.directorySyncFails = fault && fault->directorySyncFails;
    slot.kept = 0;
    slot.named = 0;
    slot.writingJournal = 0;
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

void releaseAppend(int id) {
  if (AppendSlot *slot = slotOf(id); slot && !slot->kept)
    slot->used = 0;
}

JournalWriting writeAppendJournal(const std::string &journal, const AppendJournalEntry &entry, int id) {
  AppendSlot *slot = slotOf(id);
  const std::string text = appendJournalText(entry);
  const std::string written = newJournalPath(journal);
  if (slot)
    slot->writingJournal = 1;
  const auto ended = [&](JournalWriting result) {
    if (slot)
      slot->writingJournal = 0;
    return result;
  };
  // Exclusively: a name that another process put there (a link, say) is not
  // written through.
  ::unlink(written.c_str());
  const int out = ::open(written.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (out < 0)
    return ended(JournalWriting::cannotMake);
  if (!writeAll(out, text)) {
    const int reason = errno;
    ::close(out);
    ::unlink(written.c_str());
    errno = reason;
    return ended(JournalWriting::notWritten);
  }
  bool whole = ::fsync(out) == 0;
  int reason = errno;
  if (::close(out) != 0 && whole) {
    whole = false;
    reason = errno;
  }
  if (!whole || ::rename(written.c_str(), journal.c_str()) != 0) {
    if (whole)
      reason = errno;
    ::unlink(written.c_str());
    errno = reason;
    return ended(JournalWriting::failed);
  }
  // An earlier journal of this append that the new one replaced was on disk.
  const bool replaced = slot && slot->journalWritten;
  if (slot)
    slot->journalWritten = 1;
  const std::optional<WriteFault> &fault = currentWriteFault();
  const int error =
      syncDirectoryOf(journal, slot ? slot->directorySyncFails : fault && fault->directorySyncFails);
  if (error != 0) {
    // Not known to be on disk: the journal of a first append stays, for a
    // later run to find nothing appended and remove it; one that replaced an
    // earlier journal of this append goes with the append.
    if (slot && !replaced)
      slot->journalWritten = 0;
    errno = error;
    return ended(JournalWriting::failed);
  }
  return ended(JournalWriting::written);
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
  int error = 0;
  const AppendEnd::Result result = putBackSlot(*slot, error);
  return endOf(*slot, result, error);
}

void commitAppendsAtExit() { commitAtExit = 1; }

bool appendsCommitAtExit() { return commitAtExit != 0; }

std::vector<AppendEnd> finishAppends(bool keep) {
  holdAllSignalsUntilExit();
  std::vector<AppendEnd> failures;
  for (AppendSlot &slot : appendSlots) {
    if (!slot.used || !slot.kept)
      continue;
    AppendEnd end;
    if (keep) {
      end = keepSlot(slot);
    } else {
      int error = 0;
      const AppendEnd::Result result = putBackSlot(slot, error);
      end = endOf(slot, result, error);
    }
    if (end.result != AppendEnd::Result::done || end.putBack)
      failures.push_back(end);
    ::close(slot.fd);
    slot.kept = 0;
    slot.used = 0;
  }
  pauseForTest(PausePoint::atExit);
  return failures;
}

void restoreAppends() {
  for (AppendSlot &slot : appendSlots) {
    if (!slot.used)
      continue;
    slot.used = 0;
    std::atomic_signal_fence(std::memory_order_acquire);
    int error = 0;
    const AppendEnd::Result result = putBackSlot(slot, error);
    if (result == AppendEnd::Result::cannotCut || result == AppendEnd::Result::cannotSync) {
      char line[2 * PATH_MAX + 256];
      const std::size_t length = putBackFailureText(line, sizeof line - 1, slot.path, slot.length,
                                                    slot.journalWritten ? slot.journal : nullptr);
      line[length] = '\n';
      writeToStandardError(line, length + 1);
    }
  }
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
  if (journal) {
    put(buffer, size, at, "; its journal '");
    put(buffer, size, at, journal);
    put(buffer, size, at, "' is kept, so that a later run puts it back");
  }
  put(buffer, size, at, ".");
  buffer[at] = '\0';
  return at;
}

} // namespace platform
