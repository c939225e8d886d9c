#include "platform/FileLock.h"

#include "support/FileLocks.h"
#include "support/ScratchDirectory.h"

#include <atomic>
#include <cerrno>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

class FileLockTest : public testing::Test {
protected:
  test_support::ScratchDirectory m_dir;
};

TEST_F(FileLockTest, AReadLockOpensOnlyRegularFiles) {
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
TEST_F(FileLockTest, AReadLockWaitsForAWriterOnly) {
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

TEST_F(FileLockTest, AReadingThatNeedNotWaitSaysNothing) {
  const std::string path = m_dir.writeFile("f.err", "old");
  int told = 0;
  platform::FileReadLock reading;
  EXPECT_TRUE(reading.acquire(path, [&] { ++told; }));
  EXPECT_EQ(0, told);
}

} // namespace
