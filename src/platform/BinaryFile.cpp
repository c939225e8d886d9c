#include "platform/BinaryFile.h"

#include "platform/WriteFault.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

int waitOnDescriptor(int fd) {
  const int status = ::fcntl(fd, F_GETFL);
  if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
    const int reason = errno;
    ::close(fd);
    errno = reason;
    return -1;
  }
  return fd;
}

namespace {

bool isDirectory(int fd) {
  struct stat status {};
  return ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode);
}

// Opens a file for writing ('w') or appending ('a') as the C runtime does,
// but without waiting: a FIFO without a reader would block the open itself,
// and is refused at once (ENXIO). -1 with errno telling why on failure.
int openForWriting(const std::string &path, char kind) {
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK | (kind == 'a' ? O_APPEND : O_TRUNC);
  const int fd = ::open(path.c_str(), flags, 0666);
  return fd < 0 ? -1 : waitOnDescriptor(fd);
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
  return waitOnDescriptor(fd);
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
    file = currentWriteFault() ? openStreamWithFault(fd, mode[0], *currentWriteFault()) : ::fdopen(fd, mode);
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

long readFromStart(int fd, void *bytes, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::pread(fd, static_cast<char *>(bytes) + done, count - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0)
      return -1;
    if (n == 0)
      break;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<long>(done);
}

void closeKeepingErrno(int fd) {
  const int reason = errno;
  ::close(fd);
  errno = reason;
}

} // namespace platform
