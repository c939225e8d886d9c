#include "platform/FileLock.h"

#include "platform/BinaryFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

int takeFileLock(int fd, bool exclusive, const LockWaitNotice &notice) {
  const int kind = exclusive ? LOCK_EX : LOCK_SH;
  using Clock = std::chrono::steady_clock;
  if (notice) {
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(1);
    std::chrono::microseconds pause(500);
    for (;;) {
      if (::flock(fd, kind | LOCK_NB) == 0)
        return 0;
      if (errno != EWOULDBLOCK && errno != EINTR)
        return -1;
      const Clock::time_point now = Clock::now();
      if (now >= deadline)
        break;
      const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - now);
      ::usleep(static_cast<useconds_t>(std::min(pause, left).count()));
      pause = std::min(pause * 2, std::chrono::microseconds(50000));
    }
    notice();
  }
  while (::flock(fd, kind) != 0) {
    if (errno != EINTR)
      return -1;
  }
  return 0;
}

bool locksUnsupported(int error) { return error == ENOLCK || error == EOPNOTSUPP || error == ENOSYS; }

FileReadLock::~FileReadLock() {
  if (m_fd >= 0)
    ::close(m_fd);
}

bool FileReadLock::acquire(const std::string &path, const LockWaitNotice &notice) {
  if (m_fd >= 0) {
    errno = EBUSY;
    return false;
  }
  const int fd = openForReading(path);
  if (fd < 0)
    return false;
  if (takeFileLock(fd, false, notice) != 0 && !locksUnsupported(errno)) {
    const int reason = errno;
    ::close(fd);
    errno = reason;
    return false;
  }
  m_fd = fd;
  return true;
}

long FileReadLock::readFromStart(void *bytes, std::size_t count) const {
  if (m_fd < 0) {
    errno = EBADF;
    return -1;
  }
  return platform::readFromStart(m_fd, bytes, count);
}

} // namespace platform
