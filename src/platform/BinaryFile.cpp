#include "platform/BinaryFile.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

std::optional<WriteFault> &currentWriteFault() {
  static std::optional<WriteFault> fault;
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

// A guarded file. The path is copied in before the slot is marked used, so a
// signal handler never sees a slot half filled.
struct FileGuard {
  volatile std::sig_atomic_t used = 0;
  char path[PATH_MAX] = {};
  std::uint64_t length = 0;
  bool remove = false;
  int descriptor = -1;
};

// At namespace scope, so that it exists before any signal can arrive.
std::array<FileGuard, 4> guardedFiles;

std::array<FileGuard, 4> &fileGuards() { return guardedFiles; }

} // namespace

int guardFileLength(const std::string &path, std::uint64_t length, bool madeByWriting, int descriptor) {
  if (path.size() >= PATH_MAX)
    return -1;
  std::array<FileGuard, 4> &guards = fileGuards();
  for (std::size_t id = 0; id < guards.size(); ++id) {
    FileGuard &guard = guards[id];
    if (guard.used)
      continue;
    std::memcpy(guard.path, path.c_str(), path.size() + 1);
    guard.length = length;
    guard.remove = madeByWriting;
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
    if (guard.remove) {
      ::unlink(guard.path);
      continue;
    }
    if (guard.descriptor >= 0) {
      static_cast<void>(::ftruncate(guard.descriptor, static_cast<off_t>(guard.length)));
      continue;
    }
    const int fd = ::open(guard.path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
      continue;
    static_cast<void>(::ftruncate(fd, static_cast<off_t>(guard.length)));
    ::close(fd);
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
    m_written = other.m_written;
    m_bytesBeforeFailure = other.m_bytesBeforeFailure;
    m_checkFails = other.m_checkFails;
  }
  return *this;
}

bool LockedFile::open(const std::string &path, Opening opening) {
  if (m_fd >= 0) {
    errno = EBUSY;
    return false;
  }
  if (opening == Opening::make)
    return openToMake(path);
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
    if (S_ISREG(status.st_mode)) {
      int locked;
      while ((locked = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
      }
      // A file system without locks: the file is written without one.
      const bool lockless = locked != 0 && (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS);
      if (locked != 0 && !lockless) {
        closeKeepingErrno(fd);
        return false;
      }
      // The holder before may have removed the file, or put another in its
      // place: the turn is then at the file that the name names now.
      if (!lockless && !sameFile(fd, path)) {
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
      if (opening == Opening::truncate && ::ftruncate(fd, 0) != 0) {
        closeKeepingErrno(fd);
        return false;
      }
    }
    opened(fd, path, made);
    return true;
  }
}

void LockedFile::opened(int fd, const std::string &path, bool made) {
  m_fd = fd;
  m_path = path;
  m_created = made;
  m_written = 0;
  const std::optional<WriteFault> &fault = currentWriteFault();
  m_bytesBeforeFailure = fault ? fault->bytesBeforeFailure : UINT64_MAX;
  m_checkFails = fault && fault->closeFails;
}

bool LockedFile::openToMake(const std::string &path) {
  // Beside the file, so that it is on the same file system; short, so that a
  // long name has room for it.
  const std::size_t slash = path.rfind('/');
  const std::string directory = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
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
    opened(fd, path, true);
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

bool LockedFile::append(const void *bytes, std::size_t count) {
  if (m_fd < 0) {
    errno = EBADF;
    return false;
  }
  const std::uint64_t allowed = m_bytesBeforeFailure - std::min(m_written, m_bytesBeforeFailure);
  const std::size_t reaching = static_cast<std::size_t>(std::min<std::uint64_t>(count, allowed));
  const char *next = static_cast<const char *>(bytes);
  std::size_t done = 0;
  while (done < reaching) {
    const ssize_t n = ::write(m_fd, next + done, reaching - done);
    if (n < 0) {
      if (errno == EINTR)
        continue;
      m_written += done;
      return false;
    }
    if (n == 0) {
      m_written += done;
      errno = EIO;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  m_written += done;
  if (done < count) {
    errno = ENOSPC;
    return false;
  }
  return true;
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

bool LockedFile::truncate(std::uint64_t length) {
  return size().has_value() && ::ftruncate(m_fd, static_cast<off_t>(length)) == 0;
}

void LockedFile::close() {
  if (m_fd < 0)
    return;
  if (!m_temporaryName.empty())
    ::unlink(std::exchange(m_temporaryName, std::string()).c_str());
  ::close(std::exchange(m_fd, -1));
}

void setWriteFault(const std::optional<WriteFault> &fault) { currentWriteFault() = fault; }

} // namespace platform
