// Advisory whole-file locks (flock) as the writers and readers of error files
// take them: the waiting for a lock that another process holds, with a notice
// when the wait grows long, and the shared lock of a file being read.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace platform {

// Told once when a process has waited about a second for a lock; the process
// then waits on. It is told on a thread of its own while the waiting thread
// stays in the wait, with the signals from outside blocked (when no thread can
// be started, it is told at once, as the wait begins); it must not throw.
using LockWaitNotice = std::function<void()>;

// Takes the lock of the descriptor, exclusive or shared, waiting as long as
// another process holds it: 0, or -1 with errno. A lock that is free is taken
// at once, and a waiting process takes it as soon as the holder lets it go
// (the wait is a blocking flock, which /proc/locks shows). With a notice, a
// wait that lasts about a second tells it, once; a wait that ends sooner does
// not, and the notice is never told after the return.
int takeFileLock(int fd, bool exclusive, const LockWaitNotice &notice = {});

// Whether an error of flock tells a file system without locks.
bool locksUnsupported(int error);

// A shared lock (flock) of a regular file, held while the file is read, so
// that no process appending to it under its exclusive lock is halfway through
// meanwhile. The reading opens the file as it does anyway.
class FileReadLock {
public:
  FileReadLock() = default;
  ~FileReadLock();
  FileReadLock(const FileReadLock &) = delete;
  FileReadLock &operator=(const FileReadLock &) = delete;

  // Opens the file as openForReading does (only a regular file) and waits for
  // the shared lock: false, with errno telling why and nothing held, when it
  // cannot. On a file system without locks, it holds none. Only while none
  // is held.
  bool acquire(const std::string &path, const LockWaitNotice &notice = {});
  // The descriptor read under the lock; -1 while none is held.
  int descriptor() const { return m_fd; }
  // Reads up to count bytes from the start of the file: the number read, or
  // -1 with errno.
  long readFromStart(void *bytes, std::size_t count) const;

private:
  int m_fd = -1;
};

} // namespace platform
