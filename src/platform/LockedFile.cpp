#include "platform/LockedFile.h"

#include "platform/BinaryFile.h"
#include "platform/Leftovers.h"
#include "platform/SiblingFiles.h"
#include "platform/Signals.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace platform {

namespace {

constexpr int maxLockTries = 64;

// The name that a file to be made at the path gets: the path itself, or,
// where it is a symbolic link to a missing file (through further links), the
// name that the last link leads to.
std::string nameToMake(const std::string &path) {
  std::string name = path;
  for (int links = 0; links < 40; ++links) {
    struct stat status {};
    char target[PATH_MAX];
    if (::lstat(name.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
      break;
    const ssize_t length = ::readlink(name.c_str(), target, sizeof target);
    if (length <= 0 || length == static_cast<ssize_t>(sizeof target))
      break;
    const std::string leadsTo(target, static_cast<std::size_t>(length));
    name = leadsTo.front() == '/' ? leadsTo : directoryPart(name) + leadsTo;
  }
  return name;
}

// Opens the file for reading and appending without waiting (a FIFO without a
// writer would block the open itself): -1 with errno on failure. made tells
// whether this opening made the file, and madeAt its name then.
int openForLocking(const std::string &path, bool create, bool &made, std::string &madeAt) {
  const int flags = O_RDWR | O_APPEND | O_CLOEXEC | O_NONBLOCK;
  made = false;
  if (!create)
    return ::open(path.c_str(), flags);
  madeAt = path;
  for (int tries = 0; tries < 2; ++tries) {
    int fd = ::open(madeAt.c_str(), flags | O_CREAT | O_EXCL, 0666);
    if (fd >= 0) {
      made = true;
      return fd;
    }
    if (errno != EEXIST)
      return -1;
    fd = ::open(path.c_str(), flags);
    if (fd >= 0 || errno != ENOENT)
      return fd;
    // A symbolic link to a missing file (or a file removed in between): the
    // file is made where the link leads, so that a put-back removes it there.
    madeAt = nameToMake(path);
  }
  return -1;
}

// Whether a file would go past the file-size limit of the process (ulimit
// -f) at that length.
bool pastFileSizeLimit(std::uint64_t length) {
  struct rlimit limit {};
  return ::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && length > limit.rlim_cur;
}

} // namespace

LockedFile::~LockedFile() {
  if (m_fd >= 0)
    putBack();
}

LockedFile::LockedFile(LockedFile &&other) noexcept { *this = std::move(other); }

LockedFile &LockedFile::operator=(LockedFile &&other) noexcept {
  if (this != &other) {
    if (m_fd >= 0)
      putBack();
    m_fd = std::exchange(other.m_fd, -1);
    m_guard = std::exchange(other.m_guard, -1);
    m_path = std::move(other.m_path);
    m_journal = std::exchange(other.m_journal, std::string());
    m_temporaryName = std::exchange(other.m_temporaryName, std::string());
    m_created = other.m_created;
    m_locked = other.m_locked;
    m_journalWritten = std::exchange(other.m_journalWritten, false);
    m_journalFailed = other.m_journalFailed;
    m_journalEntry = std::move(other.m_journalEntry);
    m_recovery = std::move(other.m_recovery);
    m_written = other.m_written;
    m_fault = other.m_fault;
  }
  return *this;
}

bool LockedFile::open(const std::string &path, Opening opening, const WaitNotice &notice) {
  if (m_fd >= 0) {
    errno = EBUSY;
    return false;
  }
  m_recovery.reset();
  m_journalFailed = false;
  if (opening == Opening::make)
    return openToMake(path);
  // Each new try follows another process's turn. A name that never shows the
  // file that was opened and locked (the file is replaced over and over) ends
  // the tries with a failure: appending to a file no longer under its name
  // would lose what is written.
  for (int tries = 1;; ++tries) {
    bool made = false;
    std::string madeAt;
    const int fd = openForLocking(path, opening != Opening::existing, made, madeAt);
    if (fd < 0)
      return false;
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
      closeKeepingErrno(fd);
      return false;
    }
    if (S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode) || S_ISDIR(status.st_mode)) {
      ::close(fd);
      errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
      return false;
    }
    if (waitOnDescriptor(fd) < 0)
      return false;
    bool locked = false;
    std::string resolved, journal;
    if (S_ISREG(status.st_mode)) {
      // A file system without locks: the file is written without one.
      if (takeFileLock(fd, true, notice) == 0)
        locked = true;
      else if (!locksUnsupported(errno)) {
        closeKeepingErrno(fd);
        return false;
      }
      // The holder before may have removed the file, or put another in its
      // place: the turn is then at the file that the name names now.
      if (locked)
        resolved = resolvedNameOfOpenFile(path, fd);
      if (locked && (resolved.empty() || !namesOpenFile(path, fd))) {
        ::close(fd);
        if (opening == Opening::existing && ::access(path.c_str(), F_OK) != 0) {
          errno = ENOENT;
          return false;
        }
        if (tries == maxLockTries) {
          errno = EAGAIN;
          return false;
        }
        continue;
      }
      if (locked) {
        journal = appendJournalPath(resolved);
        removeLeftovers(path, resolved, journal, fd);
        // The holder before may have died while appending: what it began is
        // taken back before anything is read or added.
        m_recovery = recoverAppend(journal, fd);
        if (m_recovery && m_recovery->fails()) {
          ::close(fd);
          errno = m_recovery->error != 0 ? m_recovery->error : m_recovery->removeError;
          return false;
        }
      }
      if (opening == Opening::truncate && ::ftruncate(fd, 0) != 0) {
        closeKeepingErrno(fd);
        return false;
      }
    }
    m_journal = journal;
    if (const int error = opened(fd, made ? madeAt : path, made, locked); error != 0) {
      errno = error;
      return false;
    }
    return true;
  }
}

int LockedFile::opened(int fd, const std::string &path, bool made, bool locked) {
  m_path = path;
  m_created = made;
  m_locked = locked;
  m_journalWritten = false;
  m_journalEntry.reset();
  m_written = 0;
  m_fault = currentWriteFault().value_or(WriteFault());
  m_guard = -1;
  struct stat status {};
  int error = ::fstat(fd, &status) == 0 ? 0 : errno;
  if (error == 0 && S_ISREG(status.st_mode)) {
    // Guarded from now on: a failure or a fatal signal puts the file back.
    AppendTarget target;
    target.fd = fd;
    target.path = path;
    target.temporary = m_temporaryName;
    target.journal = locked && m_temporaryName.empty() ? m_journal : std::string();
    target.length = static_cast<std::uint64_t>(status.st_size);
    target.made = made;
    m_guard = guardAppend(target);
    if (m_guard < 0)
      error = EMFILE;
  }
  if (error != 0) {
    // What this opening made goes with it.
    if (!m_temporaryName.empty())
      ::unlink(std::exchange(m_temporaryName, std::string()).c_str());
    else if (made)
      ::unlink(path.c_str());
    ::close(fd);
    return error;
  }
  m_fd = fd;
  return 0;
}

bool LockedFile::openToMake(const std::string &path) {
  // Through a symbolic link to a missing file, the file is made beside the
  // file that the link leads to, and gets that name.
  const std::string name = nameToMake(path);
  // A fatal signal waits until the making name is guarded, so that its
  // handler removes it.
  const HeldSignals held;
  std::string temporary;
  const int fd = openMakingName(name, temporary);
  if (fd < 0)
    return false;
  m_temporaryName = temporary;
  m_journal.clear();
  if (const int error = opened(fd, name, true, false); error != 0) {
    errno = error;
    return false;
  }
  return true;
}

bool LockedFile::giveName() {
  if (m_fd < 0 || m_temporaryName.empty()) {
    errno = EBADF;
    return false;
  }
  // A second name, which fails when the name is taken, then the temporary
  // one goes. From the link on, putting the file back removes it by its name.
  markAppendNamed(m_guard);
  if (::link(m_temporaryName.c_str(), m_path.c_str()) != 0)
    return false;
  // A temporary name that cannot go yet is tried again when the file is kept
  // (or put back).
  if (unlinkMakingName(m_temporaryName.c_str()) == 0)
    dropAppendTemporary(m_guard);
  m_temporaryName.clear();
  return true;
}

std::optional<std::uint64_t> LockedFile::size() const {
  struct stat status {};
  if (m_fd < 0 || ::fstat(m_fd, &status) != 0 || !S_ISREG(status.st_mode))
    return std::nullopt;
  return static_cast<std::uint64_t>(status.st_size);
}

bool LockedFile::hasOtherNames() const {
  struct stat status {};
  return m_fd >= 0 && ::fstat(m_fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_nlink > 1;
}

long LockedFile::readFromStart(void *bytes, std::size_t count) const {
  if (m_fd < 0) {
    errno = EBADF;
    return -1;
  }
  return platform::readFromStart(m_fd, bytes, count);
}

bool LockedFile::append(const std::string_view *blocks, std::size_t count) {
  if (m_fd < 0) {
    errno = EBADF;
    return false;
  }
  std::uint64_t total = 0;
  for (std::size_t i = 0; i < count; ++i)
    total += blocks[i].size();
  if (total == 0)
    return true;
  pauseForTest(PausePoint::beforeWrite);
  struct stat status {};
  if (::fstat(m_fd, &status) != 0)
    return false;
  const auto length = static_cast<std::uint64_t>(status.st_size);
  // A write cut short by the file-size limit stops at any byte, also inside
  // a block whose bytes a later run could not check after a kill: one that
  // would go past the limit does not begin, and fails as it would.
  if (S_ISREG(status.st_mode) && pastFileSizeLimit(length + total)) {
    errno = EFBIG;
    return false;
  }
  // What the file holds of this opening's appends before this one, for a
  // write that stops short.
  const std::optional<AppendJournalEntry> before = m_journalEntry;
  const std::uint64_t writtenBefore = m_written;
  if (tracksAppends()) {
    // What it holds once this append is in: the journal's entry, and what a
    // put-back may cut away.
    std::optional<AppendJournalEntry> entry = m_journalEntry;
    if (!entry)
      entry = describeAppend(m_fd, length, blocks, count);
    else
      extendAppend(*entry, blocks, count);
    if (!entry || (journaled() && !writeJournal(*entry)))
      return false;
    m_journalEntry = std::move(entry);
    noteAppended(m_guard, *m_journalEntry);
  }

  // What a write fault lets reach the file, and what happens then.
  const WriteFault &fault = m_fault;
  const auto allowance = [&](std::uint64_t limit) { return limit - std::min(m_written, limit); };
  const std::uint64_t reaching =
      std::min({total, allowance(fault.bytesBeforeFailure), allowance(fault.bytesBeforeStop)});
  const std::uint64_t pausing = std::min(allowance(fault.bytesBeforePause), reaching);
  bool whole = writeRange(blocks, count, 0, pausing);
  if (whole && pausing < reaching) {
    // Paused in the middle: what a signal now takes back is what reached the
    // file.
    const std::optional<AppendJournalEntry> whileWriting = m_journalEntry;
    if (const std::optional<AppendJournalEntry> reached = reachedEntry(before, blocks, count, pausing))
      noteAppended(m_guard, *reached);
    else
      forgetAppended(m_guard);
    ::raise(SIGSTOP);
    if (whileWriting)
      noteAppended(m_guard, *whileWriting);
    whole = writeRange(blocks, count, pausing, reaching);
  }
  if (whole && fault.bytesBeforeStop != UINT64_MAX && m_written >= fault.bytesBeforeStop)
    ::kill(::getpid(), SIGKILL);
  if (whole && reaching < total) {
    whole = false;
    errno = ENOSPC;
  }
  if (!whole) {
    const int reason = errno;
    coverWhatReached(before, blocks, count, m_written - writtenBefore);
    errno = reason;
  }
  return whole;
}

std::optional<AppendJournalEntry> LockedFile::reachedEntry(std::optional<AppendJournalEntry> covering,
                                                           const std::string_view *blocks, std::size_t count,
                                                           std::uint64_t reached) const {
  if (!m_journalEntry || (!covering && reached == 0))
    return covering;
  std::vector<std::string_view> pieces;
  for (std::size_t i = 0; i < count && reached > 0; ++i) {
    pieces.push_back(
        blocks[i].substr(0, static_cast<std::size_t>(std::min<std::uint64_t>(reached, blocks[i].size()))));
    reached -= pieces.back().size();
  }
  if (!covering) {
    // The file before this opening's first append, as its entry tells: it
    // is not read again.
    covering.emplace();
    covering->device = m_journalEntry->device;
    covering->inode = m_journalEntry->inode;
    covering->length = m_journalEntry->length;
    covering->before = m_journalEntry->before;
  }
  extendAppend(*covering, pieces.data(), pieces.size());
  return covering;
}

void LockedFile::coverWhatReached(const std::optional<AppendJournalEntry> &covering,
                                  const std::string_view *blocks, std::size_t count, std::uint64_t reached) {
  if (!m_journalEntry)
    return;
  std::optional<AppendJournalEntry> entry = reachedEntry(covering, blocks, count, reached);
  if (!entry) {
    // Nothing of this opening's reached the file: nothing to take back.
    forgetAppended(m_guard);
    m_journalEntry.reset();
    return;
  }
  noteAppended(m_guard, *entry);
  // Where the journal cannot be written again, the one there stays: it covers
  // more than reached the file, which a later run then cannot check whole.
  if (m_journalWritten)
    writeAppendJournal(m_journal, *entry, m_fd, m_guard);
  m_journalEntry = std::move(entry);
}

bool LockedFile::writeRange(const std::string_view *blocks, std::size_t count, std::uint64_t from,
                            std::uint64_t to) {
  std::vector<iovec> pieces;
  pieces.reserve(count);
  std::uint64_t start = 0;
  for (std::size_t i = 0; i < count && start < to; ++i) {
    const std::uint64_t end = start + blocks[i].size();
    const std::uint64_t first = std::max(start, from), last = std::min(end, to);
    if (first < last)
      pieces.push_back(iovec{const_cast<char *>(blocks[i].data()) + (first - start),
                             static_cast<std::size_t>(last - first)});
    start = end;
  }
  std::size_t next = 0;
  while (next < pieces.size()) {
    const int batch = static_cast<int>(std::min<std::size_t>(pieces.size() - next, IOV_MAX));
    const ssize_t n = ::writev(m_fd, pieces.data() + next, batch);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0) {
      if (n == 0)
        errno = EIO;
      return false;
    }
    m_written += static_cast<std::uint64_t>(n);
    // Past what was taken whole, on to the rest of a piece taken in part.
    std::size_t left = static_cast<std::size_t>(n);
    while (next < pieces.size() && left >= pieces[next].iov_len)
      left -= pieces[next++].iov_len;
    if (left > 0) {
      pieces[next].iov_base = static_cast<char *>(pieces[next].iov_base) + left;
      pieces[next].iov_len -= left;
    }
  }
  return true;
}

bool LockedFile::writeJournal(const AppendJournalEntry &entry) {
  switch (writeAppendJournal(m_journal, entry, m_fd, m_guard)) {
  case JournalWriting::written:
    m_journalWritten = true;
    return true;
  case JournalWriting::cannotMake:
    // Where no journal can be made (a directory that may not be written),
    // the bytes go in without one; never past the journal of an earlier
    // append of this opening, which would not cover them.
    if (!m_journalWritten)
      return true;
    break;
  case JournalWriting::failed:
    break;
  }
  m_journalFailed = true;
  return false;
}

bool LockedFile::checkWritten() {
  if (m_fd < 0) {
    errno = EBADF;
    return false;
  }
  if (m_fault.closeFails) {
    errno = EIO;
    return false;
  }
  // Closing a second descriptor tells what closing tells; the lock belongs
  // to the first and stays.
  const int second = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
  return second >= 0 && ::close(second) == 0;
}

bool LockedFile::sync() {
  if (m_fd < 0) {
    errno = EBADF;
    return false;
  }
  // A device has nothing to sync; some file systems cannot sync at all.
  return !size() || ::fdatasync(m_fd) == 0 || errno == EINVAL;
}

AppendEnd LockedFile::keep() {
  if (m_fd < 0)
    return AppendEnd();
  pauseForTest(PausePoint::afterWrite);
  const AppendEnd end = endAppend(m_guard);
  if (appendsCommitAtExit() && m_guard >= 0 && end.result == AppendEnd::Result::done && !end.putBack) {
    // The descriptor, and with it the lock, is held until the process ends.
    m_fd = -1;
    m_guard = -1;
    m_temporaryName.clear();
    m_journalWritten = false;
    m_journalEntry.reset();
    return end;
  }
  close();
  return end;
}

AppendEnd LockedFile::putBack() {
  if (m_fd < 0)
    return AppendEnd();
  const AppendEnd end = putBackAppend(m_guard);
  close();
  return end;
}

void LockedFile::close() {
  if (m_fd < 0)
    return;
  releaseAppend(std::exchange(m_guard, -1));
  if (!m_temporaryName.empty())
    ::unlink(std::exchange(m_temporaryName, std::string()).c_str());
  m_journalWritten = false;
  m_journalEntry.reset();
  ::close(std::exchange(m_fd, -1));
}

} // namespace platform
