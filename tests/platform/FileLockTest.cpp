#include "platform/FileLock.h"

#include "support/FileLocks.h"
#include "support/ScratchDirectory.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <pthread.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using test_support::eventually;
using test_support::HeldLock;
using test_support::lockedElsewhere;
using test_support::lockTableReadable;
using test_support::waitsForLock;

// Long enough past a second that a notice due once a wait has lasted about a
// second, or due again a second later, would have come. The test holds off
// for it; nothing measures it.
constexpr std::chrono::milliseconds pastTheNotice(1500);

const char *kindName(int kind) { return kind == LOCK_EX ? "exclusive" : kind == LOCK_SH ? "shared" : "none"; }

bool sameMask(const sigset_t &one, const sigset_t &other) {
  for (int signal = 1; signal < NSIG; ++signal)
    if (sigismember(&one, signal) != sigismember(&other, signal))
      return false;
  return true;
}

// A thread that takes the lock of its own opening of a file, with a notice
// that counts how often it is told. The thread blocks SIGUSR2 before it
// takes the lock, so that the test sees whether its own mask comes back as
// it was.
class Waiter {
public:
  Waiter(const std::string &path, bool exclusive) : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    m_thread = std::thread([this, exclusive] {
      sigset_t own, after;
      sigemptyset(&own);
      sigaddset(&own, SIGUSR2);
      pthread_sigmask(SIG_SETMASK, &own, nullptr);
      m_result = platform::takeFileLock(m_fd, exclusive, [this] { ++m_told; });
      m_toldByReturn = m_told.load();
      pthread_sigmask(SIG_SETMASK, nullptr, &after);
      m_maskKept = sameMask(own, after);
      m_returned = true;
    });
  }
  ~Waiter() {
    join();
    if (m_fd >= 0)
      ::close(m_fd);
  }
  Waiter(const Waiter &) = delete;
  Waiter &operator=(const Waiter &) = delete;

  void join() {
    if (m_thread.joinable())
      m_thread.join();
  }
  bool returned() const { return m_returned; }
  int told() const { return m_told; }
  // What the thread saw; read once it is joined.
  int result() const { return m_result; }
  int toldByReturn() const { return m_toldByReturn; }
  bool maskKept() const { return m_maskKept; }

private:
  int m_fd;
  std::atomic<int> m_told{0};
  std::atomic<bool> m_returned{false};
  int m_result = -1;
  int m_toldByReturn = -1;
  bool m_maskKept = false;
  std::thread m_thread;
};

// A lock that is free, or shared by others when a shared one is wanted, is
// taken at once, without the notice.
TEST(FileLockTest, TakesALockThatIsFreeAtOnce) {
  const test_support::ScratchDirectory dir;
  const struct {
    int held; // by another opening: 0, LOCK_SH or LOCK_EX
    bool exclusive;
  } cases[] = {
      {0, true},
      {0, false},
      {LOCK_SH, false},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(std::string(kindName(c.held)) + " held, " + (c.exclusive ? "exclusive" : "shared") +
                 " wanted");
    const std::string path = dir.writeFile("f.err", "old");
    std::optional<HeldLock> holder;
    if (c.held)
      holder.emplace(path, c.held);
    Waiter waiter(path, c.exclusive);
    EXPECT_TRUE(eventually([&] { return waiter.returned(); })) << "it waits for a lock it can have";
    holder.reset(); // lets a waiter that waits after all go on
    waiter.join();
    EXPECT_EQ(0, waiter.result());
    EXPECT_EQ(0, waiter.told());
    EXPECT_TRUE(lockedElsewhere(path)) << "the lock is the waiter's";
  }
}

// A lock that another opening holds in a way that conflicts is waited for in
// flock from the start, as /proc/locks shows, and taken once it is released;
// a wait that ends within the second says nothing, not even later.
TEST(FileLockTest, AWaitThatEndsWithinASecondSaysNothing) {
  if (!lockTableReadable())
    GTEST_SKIP() << "no /proc/locks";
  const test_support::ScratchDirectory dir;
  const struct {
    int held;
    bool exclusive;
  } cases[] = {
      {LOCK_EX, true},
      {LOCK_EX, false},
      {LOCK_SH, true},
  };
  std::vector<std::unique_ptr<Waiter>> waiters; // kept, with their locks, until nothing can come late
  for (const auto &c : cases) {
    const std::string trace =
        std::string(kindName(c.held)) + " held, " + (c.exclusive ? "exclusive" : "shared") + " wanted";
    SCOPED_TRACE(trace);
    const std::string path =
        dir.writeFile(std::string("f").append(std::to_string(waiters.size())).append(".err"), "old");
    HeldLock holder(path, c.held);
    ASSERT_TRUE(holder.held());
    waiters.push_back(std::make_unique<Waiter>(path, c.exclusive));
    Waiter &waiter = *waiters.back();
    const bool blocked = eventually([] { return waitsForLock(getpid()); });
    const int toldWhenBlocked = waiter.told();
    const bool returnedWhileHeld = waiter.returned();
    holder.release();
    waiter.join();
    EXPECT_TRUE(blocked) << "the waiter does not show in /proc/locks";
    EXPECT_EQ(0, toldWhenBlocked) << "it did not wait in flock before the notice";
    EXPECT_FALSE(returnedWhileHeld);
    EXPECT_EQ(0, waiter.result());
    EXPECT_EQ(0, waiter.toldByReturn());
    EXPECT_TRUE(waiter.maskKept()) << "the waiting thread's signal mask changed";
    EXPECT_TRUE(lockedElsewhere(path)) << "the lock is the waiter's";
  }
  std::this_thread::sleep_for(pastTheNotice);
  for (std::size_t i = 0; i < waiters.size(); ++i)
    EXPECT_EQ(0, waiters[i]->told()) << "case " << i << ": a notice after the return";
}

// A wait that lasts past the second says so once, while the lock is still
// held and the waiter still waits, and then goes on waiting, however long,
// until the lock is released.
TEST(FileLockTest, ALongWaitSaysSoOnce) {
  const test_support::ScratchDirectory dir;
  const std::string path = dir.writeFile("f.err", "old");
  HeldLock holder(path);
  ASSERT_TRUE(holder.held());
  Waiter waiter(path, true);
  const bool toldWhileHeld = eventually([&] { return waiter.told() > 0; });
  const bool returnedWhileHeld = waiter.returned();
  const bool waitsOn = !lockTableReadable() || waitsForLock(getpid());
  std::this_thread::sleep_for(pastTheNotice); // a second notice would come meanwhile
  holder.release();
  waiter.join();
  EXPECT_TRUE(toldWhileHeld);
  EXPECT_FALSE(returnedWhileHeld);
  EXPECT_TRUE(waitsOn) << "the waiter does not show in /proc/locks after the notice";
  EXPECT_EQ(0, waiter.result());
  EXPECT_EQ(1, waiter.toldByReturn());
  EXPECT_EQ(1, waiter.told());
  EXPECT_TRUE(waiter.maskKept()) << "the waiting thread's signal mask changed";
  EXPECT_TRUE(lockedElsewhere(path)) << "the lock is the waiter's";
}

// The thread of a waiting child process, whose handler tells by the exit code
// on which thread a signal came: 0 on the waiting thread, 1 on another.
pthread_t waitingThread;

void exitTellingTheThread(int) { ::_exit(pthread_equal(pthread_self(), waitingThread) ? 0 : 1); }

// A signal from outside, sent while the process waits and its notice is not
// due yet, goes to the waiting thread, whose handler can end the process.
TEST(FileLockTest, SignalsGoToTheWaitingThread) {
  if (!lockTableReadable())
    GTEST_SKIP() << "no /proc/locks";
  const test_support::ScratchDirectory dir;
  const std::string path = dir.writeFile("f.err", "old");
  HeldLock holder(path);
  ASSERT_TRUE(holder.held());
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    struct sigaction action = {};
    action.sa_handler = exitTellingTheThread;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    waitingThread = pthread_self();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    platform::takeFileLock(fd, true, [] {});
    ::_exit(2); // the lock is not released before the signal
  }
  const bool waiting = eventually([&] { return waitsForLock(child); });
  ::kill(child, SIGTERM);
  int status = 0;
  const bool ended = eventually([&] { return ::waitpid(child, &status, WNOHANG) == child; });
  if (!ended) {
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
  }
  EXPECT_TRUE(waiting);
  ASSERT_TRUE(ended) << "the signal was not handled";
  ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
  EXPECT_EQ(0, WEXITSTATUS(status)) << "the signal did not come on the waiting thread";
}

class FileReadLockTest : public testing::Test {
protected:
  test_support::ScratchDirectory m_dir;
};

TEST_F(FileReadLockTest, AReadLockOpensOnlyRegularFiles) {
  const std::string fifo = m_dir / "fifo";
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
  const struct {
    std::string path;
    int error;
  } cases[] = {
      {m_dir / "missing", ENOENT},
      {m_dir.path(), EISDIR},
      {fifo, EINVAL},
  };
  for (const auto &c : cases) {
    platform::FileReadLock reading;
    errno = 0;
    EXPECT_FALSE(reading.acquire(c.path)) << c.path;
    EXPECT_EQ(c.error, errno) << c.path;
    EXPECT_EQ(-1, reading.descriptor()) << c.path;
  }
}

// A reading waits while a writer holds the file, and readings do not wait for
// each other.
TEST_F(FileReadLockTest, AReadLockWaitsForAWriterOnly) {
  const std::string path = m_dir.writeFile("f.err", "old");
  {
    test_support::HeldLock writer(path);
    ASSERT_TRUE(writer.held());
    std::atomic<bool> released{false}, acquiredAfterRelease{false};
    platform::FileReadLock reading;
    bool acquired = false;
    std::thread reader([&] {
      acquired = reading.acquire(path);
      acquiredAfterRelease = released.load();
    });
    const bool waited = !test_support::lockTableReadable() ||
                        test_support::eventually([] { return test_support::waitsForLock(getpid()); });
    released = true;
    writer.release();
    reader.join();
    EXPECT_TRUE(waited);
    EXPECT_TRUE(acquired);
    EXPECT_TRUE(acquiredAfterRelease);
    EXPECT_TRUE(test_support::lockedElsewhere(path)) << "a writer waits for the reading";
  }
  std::optional<platform::FileReadLock> first;
  first.emplace();
  ASSERT_TRUE(first->acquire(path));
  std::atomic<bool> done{false};
  platform::FileReadLock second;
  bool acquired = false;
  std::thread reader([&] {
    acquired = second.acquire(path);
    done = true;
  });
  const bool together = test_support::eventually([&] { return done.load(); });
  first.reset(); // lets a reading that waits after all go on
  reader.join();
  EXPECT_TRUE(together);
  EXPECT_TRUE(acquired);
}

TEST_F(FileReadLockTest, AReadingThatNeedNotWaitSaysNothing) {
  const std::string path = m_dir.writeFile("f.err", "old");
  int told = 0;
  platform::FileReadLock reading;
  EXPECT_TRUE(reading.acquire(path, [&] { ++told; }));
  EXPECT_EQ(0, told);
}

} // namespace
