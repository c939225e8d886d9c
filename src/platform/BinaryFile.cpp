#include "platform/BinaryFile.h"

#include <algorithm>
#include <cerrno>
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

// Opens a file for writing ('w') or appending ('a') as a stream that carries
// the fault.
std::FILE *openWithFault(const std::string &path, char kind, const WriteFault &fault) {
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (kind == 'a' ? O_APPEND : O_TRUNC);
  auto cookie = std::make_unique<FaultCookie>();
  cookie->fault = fault;
  cookie->fd = ::open(path.c_str(), flags, 0666);
  if (cookie->fd < 0)
    return nullptr;
  cookie_io_functions_t functions{};
  functions.write = writeWithFault;
  functions.close = closeWithFault;
  std::FILE *file = fopencookie(cookie.get(), kind == 'a' ? "a" : "w", functions);
  if (!file) {
    ::close(cookie->fd);
    return nullptr;
  }
  cookie.release();
  return file;
}

} // namespace

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
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    const int reason = errno;
    ::close(fd);
    errno = reason;
    return -1;
  }
  return fd;
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
  std::FILE *file = writes && currentWriteFault() ? openWithFault(path, mode[0], *currentWriteFault())
                                                  : std::fopen(path.c_str(), mode);
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
