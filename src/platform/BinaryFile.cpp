#include "platform/BinaryFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

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
};

// At namespace scope, so that it exists before any signal can arrive.
std::array<FileGuard, 4> guardedFiles;

std::array<FileGuard, 4> &fileGuards() { return guardedFiles; }

} // namespace

int guardFileLength(const std::string &path, std::uint64_t length, bool madeByWriting) {
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
    if (guard.remove) {
      ::unlink(guard.path);
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

bool truncateFile(const std::string &path, std::uint64_t length) {
  if (!regularFileSize(path))
    return false;
  return ::truncate(path.c_str(), static_cast<off_t>(length)) == 0;
}

void setWriteFault(const std::optional<WriteFault> &fault) { currentWriteFault() = fault; }

} // namespace platform
