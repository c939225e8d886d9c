#include "platform/FileLock.h"

#include "platform/BinaryFile.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <pthread.h>
#include <sys/file.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

// How long a wait lasts before its notice is told.
constexpr std::chrono::seconds noticeAfter(1);

// Waits in flock until the lock is the descriptor's: 0, or -1 with errno. A
// signal whose handler returns does not end the wait.
int waitForLock(int fd, int kind) {
  while (::flock(fd, kind) != 0) {
    if (errno != EINTR)
      return -1;
  }
  return 0;
}

// Tells a notice once a wait has lasted noticeAfter, unless the wait ends
// first; ending it (end() or the destructor) joins the timer's thread, so the
// notice is never told afterwards.
//
// The thread blocks every signal that comes from outside, so that such a
// signal goes to the waiting thread, whose handler ends the process. The
// faults stay open: a fault of the notice's own is raised in the timer's
// thread whatever its mask, and blocked it would end the process without its
// handler.
class WaitTimer {
public:
  explicit WaitTimer(const LockWaitNotice &notice) : m_notice(notice) {
    sigset_t outside, callers;
    sigfillset(&outside);
    for (int fault : {SIGILL, SIGFPE, SIGSEGV, SIGBUS, SIGTRAP, SIGSYS})
      sigdelset(&outside, fault);
    pthread_sigmask(SIG_BLOCK, &outside, &callers);
    bool started = true;
    try {
      m_thread = std::thread([this] { run(); });
    } catch (const std::system_error &) {
      started = false;
    }
    pthread_sigmask(SIG_SETMASK, &callers, nullptr);
    // Without a thread nothing times the wait: the notice is told at once,
    // as the wait begins.
    if (!started)
      m_notice();
  }
  ~WaitTimer() { end(); }
  WaitTimer(const WaitTimer &) = delete;
  WaitTimer &operator=(const WaitTimer &) = delete;

  void end() {
    if (!m_thread.joinable())
      return;
    {
      const std::lock_guard<std::mutex> guard(m_mutex);
      m_ended = true;
    }
    m_endedChanged.notify_one();
    m_thread.join();
  }

private:
  void run() {
    {
      std::unique_lock<std::mutex> lock(m_mutex);
      if (m_endedChanged.wait_for(lock, noticeAfter, [this] { return m_ended; }))
        return;
    }
    m_notice();
  }

  const LockWaitNotice &m_notice;
  std::mutex m_mutex;
  std::condition_variable m_endedChanged;
  bool m_ended = false;
  std::thread m_thread;
};

} // namespace

int takeFileLock(int fd, bool exclusive, const LockWaitNotice &notice) {
  const int kind = exclusive ? LOCK_EX : LOCK_SH;
  if (::flock(fd, kind | LOCK_NB) == 0)
    return 0;
  if (errno != EWOULDBLOCK && errno != EINTR)
    return -1;
  if (!notice)
    return waitForLock(fd, kind);
  WaitTimer timer(notice);
  const int result = waitForLock(fd, kind);
  const int reason = errno;
  timer.end();
  errno = reason;
  return result;
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
