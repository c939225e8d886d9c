// Test helpers for files that processes lock (flock): taking a lock, telling
// whether another opening holds one, and whether a process waits for one, as
// /proc/locks tells; and polling for a condition with a bound.
#pragma once

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/file.h>
#include <sys/types.h>
#include <unistd.h>

namespace test_support {

// Holds the lock of a file (opened for reading), exclusive or shared
// (LOCK_EX or LOCK_SH), until it goes.
class HeldLock {
public:
  explicit HeldLock(const std::string &path, int kind = LOCK_EX)
      : m_fd(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    if (m_fd >= 0 && flock(m_fd, kind) != 0)
      release();
  }
  ~HeldLock() { release(); }
  HeldLock(const HeldLock &) = delete;
  HeldLock &operator=(const HeldLock &) = delete;

  bool held() const { return m_fd >= 0; }
  void release() {
    if (m_fd >= 0)
      close(m_fd);
    m_fd = -1;
  }

private:
  int m_fd;
};

// Whether another opening holds the lock of the file: one more opening cannot
// take it without waiting.
inline bool lockedElsewhere(const std::string &path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return false;
  const bool locked = flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  close(fd);
  return locked;
}

// Whether the system's table of locks can be read.
inline bool lockTableReadable() { return std::ifstream("/proc/locks").good(); }

// Whether the process waits for a lock of the kind that flock takes.
inline bool waitsForLock(pid_t pid) {
  std::ifstream table("/proc/locks");
  std::string line;
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string number, arrow, kind, mode, access, owner;
    fields >> number >> arrow >> kind >> mode >> access >> owner;
    if (arrow == "->" && kind == "FLOCK" && owner == std::to_string(pid))
      return true;
  }
  return false;
}

// Polls the condition until it holds: whether it did. The bound only keeps a
// faulty program from stalling the test run; it is no measure of speed.
template <class Condition> bool eventually(Condition condition, int seconds = 60) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline)
      return false;
    usleep(1000);
  }
  return true;
}

} // namespace test_support
