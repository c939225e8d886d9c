#include "platform/BinaryFile.h"

#include "platform/Environment.h"
#include "platform/FileLock.h"
#include "platform/Signals.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace platform {

namespace {

std::optional<WriteFault> &currentWriteFault() {
  static std::optional<WriteFault> fault = writeFaultFromEnvironment();
  return fault;
}

bool isDirectory(int fd) {
  struct stat status {};
  return ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode);
}

// A stream that carries a write fault writes straight to its descriptor and
// counts what reached the file.
struct FaultCookie {
  int fd = -1;
  std::uint64_t written = 0;
  WriteFault fault;
};

ssize_t writeWithFault(void *cookie, const char *buffer, std::size_t size) {
  FaultCookie &file = *static_cast<FaultCookie *>(cookie);
  const std::uint64_t allowed =
      file.fault.bytesBeforeFailure - std::min(file.written, file.fault.bytesBeforeFailure);
  if (allowed == 0 && size > 0) {
    errno = ENOSPC;
    return -1;
  }
  // Part of a write may land before the disk is full; the stream then sees a
  // short write, which is an error of the stream.
  std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(size, allowed));
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(file.fd, buffer + done, count - done);
    if (n < 0) {
      if (errno == EINTR)
        continue;
      return done > 0 ? static_cast<ssize_t>(done) : -1;
    }
    done += static_cast<std::size_t>(n);
  }
  file.written += done;
  if (done < size)
    errno = ENOSPC;
  return static_cast<ssize_t>(done);
}

int closeWithFault(void *cookie) {
  std::unique_ptr<FaultCookie> file(static_cast<FaultCookie *>(cookie));
  const int result = ::close(file->fd);
  if (file->fault.closeFails) {
    errno = EIO;
    return -1;
  }
  return result;
}

// The descriptor, opened without waiting, made to wait on reads and writes
// again; -1 (the descriptor closed, errno telling why) when that fails.
int waitingAgain(int fd) {
  const int status = ::fcntl(fd, F_GETFL);
  if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
    const int reason = errno;
    ::close(fd);
    errno = reason;
    return -1;
  }
  return fd;
}

// Opens a file for writing ('w') or appending ('a') as the C runtime does,
// but without waiting: a FIFO without a reader would block the open itself,
// and is refused at once (ENXIO). -1 with errno telling why on failure.
int openForWriting(const std::string &path, char kind) {
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK | (kind == 'a' ? O_APPEND : O_TRUNC);
  const int fd = ::open(path.c_str(), flags, 0666);
  return fd < 0 ? -1 : waitingAgain(fd);
}

// A stream over a descriptor opened for writing ('w') or appending ('a')
// that carries the fault.
std::FILE *openWithFault(int fd, char kind, const WriteFault &fault) {
  auto cookie = std::make_unique<FaultCookie>();
  cookie->fault = fault;
  cookie->fd = fd;
  cookie_io_functions_t functions{};
  functions.write = writeWithFault;
  functions.close = closeWithFault;
  std::FILE *file = fopencookie(cookie.get(), kind == 'a' ? "a" : "w", functions);
  if (!file)
    return nullptr;
  cookie.release();
  return file;
}

// A guarded file. The names are copied in before the slot is marked used, so
// a signal handler never sees a slot half filled.
struct FileGuard {
  volatile std::sig_atomic_t used = 0;
  char path[PATH_MAX] = {};
  char journal[PATH_MAX] = {}; // empty: none
  std::uint64_t length = 0;
  bool remove = false;
  bool cutFails = false; // of a write fault
  int descriptor = -1;
};

// At namespace scope, so that it exists before any signal can arrive.
std::array<FileGuard, 4> guardedFiles;

std::array<FileGuard, 4> &fileGuards() { return guardedFiles; }

// Cuts the guarded file open on fd back; true when it has its length then.
bool cutBack(const FileGuard &guard, int fd) {
  struct stat status {};
  if (::fstat(fd, &status) != 0)
    return false;
  if (static_cast<std::uint64_t>(status.st_size) == guard.length)
    return true;
  if (guard.cutFails || ::ftruncate(fd, static_cast<off_t>(guard.length)) != 0)
    return false;
  ::fsync(fd);
  return true;
}

void putBack(const FileGuard &guard) {
  if (guard.remove) {
    ::unlink(guard.path);
    if (guard.journal[0])
      ::unlink(guard.journal);
    return;
  }
  const bool own = guard.descriptor < 0;
  const int fd = own ? ::open(guard.path, O_WRONLY | O_CLOEXEC) : guard.descriptor;
  if (fd < 0)
    return;
  if (cutBack(guard, fd)) {
    if (guard.journal[0])
      ::unlink(guard.journal);
  } else {
    char line[2 * PATH_MAX + 256];
    const bool kept = guard.journal[0] && ::access(guard.journal, F_OK) == 0;
    const std::size_t length =
        putBackFailureText(line, sizeof line - 1, guard.path, guard.length, kept ? guard.journal : nullptr);
    line[length] = '\n';
    writeToStandardError(line, length + 1);
  }
  if (own)
    ::close(fd);
}

} // namespace

int guardFileLength(const std::string &path, std::uint64_t length, bool madeByWriting, int descriptor,
                    const std::string &journal) {
  if (path.size() >= PATH_MAX || journal.size() >= PATH_MAX)
    return -1;
  std::array<FileGuard, 4> &guards = fileGuards();
  for (std::size_t id = 0; id < guards.size(); ++id) {
    FileGuard &guard = guards[id];
    if (guard.used)
      continue;
    std::memcpy(guard.path, path.c_str(), path.size() + 1);
    std::memcpy(guard.journal, journal.c_str(), journal.size() + 1);
    guard.length = length;
    guard.remove = madeByWriting;
    guard.cutFails = currentWriteFault() && currentWriteFault()->cutFails;
    guard.descriptor = descriptor;
    // The fields are in place before a handler can see the slot used.
    std::atomic_signal_fence(std::memory_order_release);
    guard.used = 1;
    return static_cast<int>(id);
  }
  return -1;
}

void releaseFileGuard(int id) {
  if (id >= 0 && static_cast<std::size_t>(id) < fileGuards().size())
    fileGuards()[static_cast<std::size_t>(id)].used = 0;
}

void restoreGuardedFiles() {
  for (FileGuard &guard : fileGuards()) {
    if (!guard.used)
      continue;
    guard.used = 0;
    std::atomic_signal_fence(std::memory_order_acquire);
    putBack(guard);
  }
}

int openForReading(const std::string &path) {
  errno = 0;
  // Not waiting: a FIFO without a writer would block the open itself.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno == 0)
      errno = ENOENT;
    return -1;
  }
  // The C runtime the system was made for refuses to open a directory as a
  // file; Linux opens it and fails on the first read. Anything else that is
  // no regular file may block a read or never end.
  struct stat status {};
  const bool known = ::fstat(fd, &status) == 0;
  if (!known || !S_ISREG(status.st_mode)) {
    const int reason = !known ? errno : S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    errno = reason;
    return -1;
  }
  return waitingAgain(fd);
}

std::FILE *openBinaryFile(const std::string &path, const char *mode) {
  const int savedErrno = errno;
  if (!mode || !*mode) {
    errno = EINVAL;
    return nullptr;
  }
  if (mode[0] == 'r' && !std::strchr(mode, '+')) {
    const int fd = openForReading(path);
    if (fd < 0)
      return nullptr;
    std::FILE *file = ::fdopen(fd, "rb");
    if (!file) {
      const int reason = errno;
      ::close(fd);
      errno = reason;
      return nullptr;
    }
    errno = savedErrno;
    return file;
  }
  const bool writes = (mode[0] == 'w' || mode[0] == 'a') && !std::strchr(mode, '+');
  std::FILE *file = nullptr;
  if (writes) {
    const int fd = openForWriting(path, mode[0]);
    if (fd < 0)
      return nullptr;
    file = currentWriteFault() ? openWithFault(fd, mode[0], *currentWriteFault()) : ::fdopen(fd, mode);
    if (!file) {
      const int reason = errno;
      ::close(fd);
      errno = reason;
      return nullptr;
    }
  } else {
    file = std::fopen(path.c_str(), mode);
  }
  if (!file)
    return nullptr;
  if (isDirectory(fileno(file))) {
    std::fclose(file);
    errno = EISDIR;
    return nullptr;
  }
  errno = savedErrno;
  return file;
}

std::optional<std::uint64_t> regularFileSize(const std::string &path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
    return std::nullopt;
  return static_cast<std::uint64_t>(status.st_size);
}

namespace {

constexpr int maxLockTries = 64;

// Whether the descriptor and the name are one file.
bool sameFile(int fd, const std::string &path) {
  struct stat open {
  }, named{};
  return ::fstat(fd, &open) == 0 && ::stat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
         open.st_ino == named.st_ino;
}

void closeKeepingErrno(int fd) {
  const int reason = errno;
  ::close(fd);
  errno = reason;
}

// Opens the file for reading and appending without waiting (a FIFO without a
// writer would block the open itself): -1 with errno on failure. made tells
// whether this opening made the file.
int openForLocking(const std::string &path, bool create, bool &made) {
  const int flags = O_RDWR | O_APPEND | O_CLOEXEC | O_NONBLOCK;
  made = false;
  if (!create)
    return ::open(path.c_str(), flags);
  int fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL, 0666);
  if (fd >= 0) {
    made = true;
    return fd;
  }
  if (errno != EEXIST)
    return -1;
  fd = ::open(path.c_str(), flags);
  if (fd >= 0 || errno != ENOENT)
    return fd;
  // A link to a missing file, or a file removed in between: made through the
  // name.
  return ::open(path.c_str(), flags | O_CREAT, 0666);
}

// The process of a temporary name ".lyrsa-<pid>-<n>.tmp"; 0 for another name.
pid_t temporaryNameProcess(const char *name) {
  const std::string_view text(name);
  constexpr std::string_view prefix = ".lyrsa-", suffix = ".tmp";
  if (text.size() <= prefix.size() + suffix.size() || text.substr(0, prefix.size()) != prefix ||
      text.substr(text.size() - suffix.size()) != suffix)
    return 0;
  const std::string_view middle = text.substr(prefix.size(), text.size() - prefix.size() - suffix.size());
  long long process = 0;
  const auto [end, error] = std::from_chars(middle.data(), middle.data() + middle.size(), process);
  if (error != std::errc() || process <= 0 || end == middle.data() + middle.size() || *end != '-')
    return 0;
  const std::string_view count = middle.substr(static_cast<std::size_t>(end - middle.data()) + 1);
  unsigned long long number = 0;
  const auto [countEnd, countError] = std::from_chars(count.data(), count.data() + count.size(), number);
  if (countError != std::errc() || count.empty() || countEnd != count.data() + count.size())
    return 0;
  return static_cast<pid_t>(process);
}

// Removes the temporary files that processes left in the directory (empty:
// the current one) when they died before their file was complete. A file
// goes only when its process no longer exists and nobody holds its lock
// (the process that makes a file holds it, also when it lives in another
// process namespace).
void removeAbandonedTemporaries(const std::string &directory) {
  const std::unique_ptr<DIR, int (*)(DIR *)> listing(::opendir(directory.empty() ? "." : directory.c_str()),
                                                     ::closedir);
  if (!listing)
    return;
  while (const dirent *entry = ::readdir(listing.get())) {
    const pid_t process = temporaryNameProcess(entry->d_name);
    if (process == 0 || process == ::getpid() || ::kill(process, 0) == 0 || errno != ESRCH)
      continue;
    const std::string path = directory + entry->d_name;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
      continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
      ::unlink(path.c_str());
    ::close(fd);
  }
}

} // namespace

LockedFile::~LockedFile() { close(); }

LockedFile::LockedFile(LockedFile &&other) noexcept { *this = std::move(other); }

LockedFile &LockedFile::operator=(LockedFile &&other) noexcept {
  if (this != &other) {
    close();
    m_fd = std::exchange(other.m_fd, -1);
    m_path = std::move(other.m_path);
    m_temporaryName = std::exchange(other.m_temporaryName, std::string());
    m_created = other.m_created;
    m_locked = other.m_locked;
    m_journalWritten = std::exchange(other.m_journalWritten, false);
    m_journalEntry = std::move(other.m_journalEntry);
    m_recovery = std::move(other.m_recovery);
    m_written = other.m_written;
    m_bytesBeforeFailure = other.m_bytesBeforeFailure;
    m_bytesBeforeStop = other.m_bytesBeforeStop;
    m_checkFails = other.m_checkFails;
    m_cutFails = other.m_cutFails;
  }
  return *this;
}

bool LockedFile::open(const std::string &path, Opening opening, const WaitNotice &notice) {
  if (m_fd >= 0) {
    errno = EBUSY;
    return false;
  }
  m_recovery.reset();
  if (opening == Opening::make)
    return openToMake(path);
  const bool cutFails = currentWriteFault() && currentWriteFault()->cutFails;
  // Each new try follows another process's turn. A name that never shows the
  // file that was opened and locked (the file is replaced over and over) ends
  // the tries with a failure: appending to a file no longer under its name
  // would lose what is written.
  for (int tries = 1;; ++tries) {
    bool made = false;
    const int fd = openForLocking(path, opening != Opening::existing, made);
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
    if (waitingAgain(fd) < 0)
      return false;
    bool locked = false;
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
      if (locked && !sameFile(fd, path)) {
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
      // The holder before may have died while appending: what it began is
      // taken back before anything is read or added.
      if (locked) {
        m_recovery = recoverAppend(appendJournalPath(path), fd, cutFails);
        if (m_recovery && m_recovery->outcome == AppendRecovery::Outcome::cannotPutBack) {
          ::close(fd);
          errno = m_recovery->error;
          return false;
        }
      }
      if (opening == Opening::truncate && ::ftruncate(fd, 0) != 0) {
        closeKeepingErrno(fd);
        return false;
      }
    }
    opened(fd, path, made, locked);
    return true;
  }
}

void LockedFile::opened(int fd, const std::string &path, bool made, bool locked) {
  m_fd = fd;
  m_path = path;
  m_created = made;
  m_locked = locked;
  m_journalWritten = false;
  m_journalEntry.reset();
  m_written = 0;
  const std::optional<WriteFault> &fault = currentWriteFault();
  m_bytesBeforeFailure = fault ? fault->bytesBeforeFailure : UINT64_MAX;
  m_bytesBeforeStop = fault ? fault->bytesBeforeStop : UINT64_MAX;
  m_checkFails = fault && fault->closeFails;
  m_cutFails = fault && fault->cutFails;
}

bool LockedFile::openToMake(const std::string &path) {
  // Beside the file, so that it is on the same file system; short, so that a
  // long name has room for it.
  const std::size_t slash = path.rfind('/');
  const std::string directory = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  removeAbandonedTemporaries(directory);
  static unsigned count = 0;
  for (;;) {
    const std::string temporary =
        directory + ".lyrsa-" + std::to_string(::getpid()) + "-" + std::to_string(count++) + ".tmp";
    const int fd = ::open(temporary.c_str(), O_RDWR | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST)
        continue;
      return false;
    }
    // Held while the file is made, so that no other process takes it for one
    // that its maker left behind.
    ::flock(fd, LOCK_EX | LOCK_NB);
    opened(fd, path, true, false);
    m_temporaryName = temporary;
    return true;
  }
}

bool LockedFile::giveName() {
  if (m_fd < 0 || m_temporaryName.empty()) {
    errno = EBADF;
    return false;
  }
  // A second name, which fails when the name is taken, then the temporary
  // one goes.
  if (::link(m_temporaryName.c_str(), m_path.c_str()) != 0)
    return false;
  ::unlink(m_temporaryName.c_str());
  m_temporaryName.clear();
  return true;
}

std::string LockedFile::journalPath() const {
  return journaled() ? appendJournalPath(m_path) : std::string();
}

std::optional<std::uint64_t> LockedFile::size() const {
  struct stat status {};
  if (m_fd < 0 || ::fstat(m_fd, &status) != 0 || !S_ISREG(status.st_mode))
    return std::nullopt;
  return static_cast<std::uint64_t>(status.st_size);
}

long LockedFile::readFromStart(void *bytes, std::size_t count) const {
  if (m_fd < 0) {
    errno = EBADF;
    return -1;
  }
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n =
        ::pread(m_fd, static_cast<char *>(bytes) + done, count - done, static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR)
        continue;
      return -1;
    }
    if (n == 0)
      break;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<long>(done);
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
  if (journaled())
    writeJournal(blocks, count, total);

  // What the fault lets reach the file, and what happens then.
  const std::uint64_t failAllowance = m_bytesBeforeFailure - std::min(m_written, m_bytesBeforeFailure);
  const std::uint64_t stopAllowance = m_bytesBeforeStop - std::min(m_written, m_bytesBeforeStop);
  const std::uint64_t reaching = std::min({total, failAllowance, stopAllowance});
  std::vector<iovec> pieces;
  pieces.reserve(count);
  std::uint64_t placed = 0;
  for (std::size_t i = 0; i < count && placed < reaching; ++i) {
    const std::size_t size =
        static_cast<std::size_t>(std::min<std::uint64_t>(blocks[i].size(), reaching - placed));
    if (size > 0)
      pieces.push_back(iovec{const_cast<char *>(blocks[i].data()), size});
    placed += size;
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
  if (reaching < total && stopAllowance == reaching)
    ::kill(::getpid(), SIGKILL);
  if (reaching < total) {
    errno = ENOSPC;
    return false;
  }
  return true;
}

void LockedFile::writeJournal(const std::string_view *blocks, std::size_t count, std::uint64_t total) {
  const std::string journal = journalPath();
  if (!m_journalEntry) {
    // The first append of this opening: the journal notes where it begins.
    std::string first;
    for (std::size_t i = 0; i < count && first.size() < appendJournalFirstBytes; ++i)
      first.append(blocks[i].substr(0, appendJournalFirstBytes - first.size()));
    m_journalEntry = describeAppend(m_fd, size().value_or(0), 0, first);
    if (!m_journalEntry)
      return;
  }
  m_journalEntry->appending += total;
  // Where no journal can be made (a directory that may not be written), the
  // bytes go in without one.
  if (writeAppendJournal(journal, *m_journalEntry))
    m_journalWritten = true;
  else if (std::exchange(m_journalWritten, false))
    removeAppendJournal(journal);
}

bool LockedFile::checkWritten() {
  if (m_fd < 0) {
    errno = EBADF;
    return false;
  }
  if (m_checkFails) {
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

void LockedFile::endJournal() {
  if (std::exchange(m_journalWritten, false))
    removeAppendJournal(appendJournalPath(m_path));
}

bool LockedFile::truncate(std::uint64_t length) {
  const std::optional<std::uint64_t> current = size();
  if (!current) {
    errno = EINVAL;
    return false;
  }
  if (*current != length) {
    if (m_cutFails) {
      errno = EPERM;
      return false;
    }
    if (::ftruncate(m_fd, static_cast<off_t>(length)) != 0)
      return false;
    // The cut reaches the disk before the journal that calls for it goes.
    ::fsync(m_fd);
  }
  endJournal();
  return true;
}

void LockedFile::close() {
  if (m_fd < 0)
    return;
  if (!m_temporaryName.empty())
    ::unlink(std::exchange(m_temporaryName, std::string()).c_str());
  m_journalWritten = false;
  ::close(std::exchange(m_fd, -1));
}

void setWriteFault(const std::optional<WriteFault> &fault) { currentWriteFault() = fault; }

std::optional<WriteFault> writeFaultFromEnvironment() {
  const std::optional<std::string> value = environmentValue("LYRSA_VOKT_TEST_WRITE_FAULT");
  if (!value || value->empty())
    return std::nullopt;
  WriteFault fault;
  std::string_view words(*value);
  while (!words.empty()) {
    const std::size_t comma = words.find(',');
    const std::string_view word = words.substr(0, comma);
    words = comma == std::string_view::npos ? std::string_view() : words.substr(comma + 1);
    const std::size_t equals = word.find('=');
    const std::string_view name = word.substr(0, equals);
    std::uint64_t number = 0;
    if (equals != std::string_view::npos) {
      const std::string_view digits = word.substr(equals + 1);
      const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
      if (error != std::errc() || digits.empty() || end != digits.data() + digits.size())
        return std::nullopt;
    }
    if (name == "fail-after" && equals != std::string_view::npos)
      fault.bytesBeforeFailure = number;
    else if (name == "stop-after" && equals != std::string_view::npos)
      fault.bytesBeforeStop = number;
    else if (name == "close-fails" && equals == std::string_view::npos)
      fault.closeFails = true;
    else if (name == "cut-fails" && equals == std::string_view::npos)
      fault.cutFails = true;
    else
      return std::nullopt;
  }
  return fault;
}

} // namespace platform
