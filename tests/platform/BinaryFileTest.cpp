#include "platform/BinaryFile.h"

#include "support/FileLocks.h"
#include "support/ScratchDirectory.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

class BinaryFileTest : public testing::Test {
protected:
  void TearDown() override { platform::setWriteFault(std::nullopt); }

  test_support::ScratchDirectory m_dir;
};

TEST_F(BinaryFileTest, OpensFilesButNotDirectories) {
  const std::string path = m_dir.writeFile("f.bin", std::string("a\r\nb\0", 5));
  errno = 1234;
  std::FILE *file = platform::openBinaryFile(path, "rb");
  ASSERT_TRUE(file);
  EXPECT_EQ(1234, errno) << "left as it was";
  char bytes[8];
  EXPECT_EQ(5u, std::fread(bytes, 1, sizeof bytes, file)) << "CR LF stays two bytes";
  std::fclose(file);

  EXPECT_FALSE(platform::openBinaryFile(m_dir.path(), "rb"));
  EXPECT_EQ(EISDIR, errno);
  EXPECT_FALSE(platform::openBinaryFile(m_dir / "missing", "rb"));
  EXPECT_EQ(ENOENT, errno);
  EXPECT_FALSE(platform::openBinaryFile(path, ""));
}

// Writing and appending, with or without a write fault: a new file is made,
// an existing one written anew or appended to, a directory refused, and a
// FIFO without a reader refused at once rather than waited on.
TEST_F(BinaryFileTest, OpensForWritingWithoutWaiting) {
  const std::string fifo = m_dir / "fifo";
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
  for (const bool fault : {false, true}) {
    platform::setWriteFault(fault ? std::optional(platform::WriteFault{100, false}) : std::nullopt);
    for (const char *mode : {"wb", "ab", "w", "a"}) {
      SCOPED_TRACE(std::string(mode) + (fault ? " with a fault" : ""));
      const std::string path = m_dir.writeFile("f.bin", "old");
      std::FILE *file = platform::openBinaryFile(path, mode);
      ASSERT_TRUE(file);
      std::fputs("new", file);
      EXPECT_EQ(0, std::fclose(file));
      EXPECT_EQ(mode[0] == 'a' ? "oldnew" : "new", test_support::readFile(path));

      std::FILE *made = platform::openBinaryFile(m_dir / "made.bin", mode);
      ASSERT_TRUE(made);
      std::fclose(made);
      std::filesystem::remove(m_dir / "made.bin");

      EXPECT_FALSE(platform::openBinaryFile(m_dir.path(), mode));
      EXPECT_EQ(EISDIR, errno);
      EXPECT_FALSE(platform::openBinaryFile(fifo, mode));
      EXPECT_EQ(ENXIO, errno);
    }
  }
  // With a reader the FIFO is written as a file is.
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  std::FILE *file = platform::openBinaryFile(fifo, "ab");
  ASSERT_TRUE(file);
  std::fputs("x", file);
  EXPECT_EQ(0, std::fclose(file));
  char byte = 0;
  EXPECT_EQ(1, ::read(reader, &byte, 1));
  EXPECT_EQ('x', byte);
  ::close(reader);
}

TEST_F(BinaryFileTest, Size) {
  const std::string path = m_dir.writeFile("f.bin", "0123456789");
  EXPECT_EQ(10u, platform::regularFileSize(path));
  EXPECT_FALSE(platform::regularFileSize(m_dir.path()));
  EXPECT_FALSE(platform::regularFileSize(m_dir / "missing"));
  EXPECT_FALSE(platform::regularFileSize("/dev/null")) << "only a regular file";
}

// With a fault, bytes reach the file up to the limit and then the stream
// fails as on a full disk.
TEST_F(BinaryFileTest, WriteFault) {
  const std::string path = m_dir.writeFile("f.bin", "old");
  platform::setWriteFault(platform::WriteFault{5, false});
  std::FILE *file = platform::openBinaryFile(path, "ab");
  ASSERT_TRUE(file);
  EXPECT_EQ(1u, std::fwrite("0123456789", 10, 1, file)) << "still in the buffer";
  EXPECT_NE(0, std::fflush(file));
  EXPECT_EQ(ENOSPC, errno);
  EXPECT_TRUE(std::ferror(file));
  std::fclose(file); // the C runtime may drop what it could not write
  EXPECT_EQ("old01234", test_support::readFile(path));

  platform::setWriteFault(platform::WriteFault{UINT64_MAX, true});
  file = platform::openBinaryFile(path, "wb");
  ASSERT_TRUE(file);
  EXPECT_EQ(1u, std::fwrite("new", 3, 1, file));
  EXPECT_NE(0, std::fclose(file));
  EXPECT_EQ(EIO, errno);
  EXPECT_EQ("new", test_support::readFile(path)) << "written whole; only the close fails";

  file = platform::openBinaryFile(path, "rb");
  ASSERT_TRUE(file) << "reading carries no fault";
  EXPECT_EQ(0, std::fclose(file));

  platform::setWriteFault(std::nullopt);
  file = platform::openBinaryFile(path, "ab");
  ASSERT_TRUE(file);
  EXPECT_EQ(1u, std::fwrite("!", 1, 1, file));
  EXPECT_EQ(0, std::fclose(file));
  EXPECT_EQ("new!", test_support::readFile(path));
}

// What a dying process puts back: guarded files only, each once.
TEST_F(BinaryFileTest, GuardedFilesArePutBack) {
  const std::string appended = m_dir.writeFile("appended.err", "kept");
  const std::string made = m_dir.writeFile("made.err", "new");
  const std::string released = m_dir.writeFile("released.err", "kept");
  const int appendedGuard = platform::guardFileLength(appended, 4, false);
  const int madeGuard = platform::guardFileLength(made, 0, true);
  const int releasedGuard = platform::guardFileLength(released, 0, true);
  ASSERT_GE(appendedGuard, 0);
  ASSERT_GE(madeGuard, 0);
  ASSERT_GE(releasedGuard, 0);
  platform::releaseFileGuard(releasedGuard);
  m_dir.writeFile("appended.err", "kept and half a rec");
  platform::restoreGuardedFiles();
  EXPECT_EQ("kept", test_support::readFile(appended));
  EXPECT_FALSE(std::filesystem::exists(made));
  EXPECT_EQ("kept", test_support::readFile(released));
  // The guards have ended: a second call changes nothing.
  m_dir.writeFile("appended.err", "kept, then more");
  platform::restoreGuardedFiles();
  EXPECT_EQ("kept, then more", test_support::readFile(appended));
}

TEST_F(BinaryFileTest, FewGuardsAtOnce) {
  std::vector<int> ids;
  for (int id = platform::guardFileLength(m_dir / "x", 0, false); id >= 0;
       id = platform::guardFileLength(m_dir / "x", 0, false))
    ids.push_back(id);
  EXPECT_FALSE(ids.empty());
  EXPECT_LT(ids.size(), 100u);
  for (int id : ids)
    platform::releaseFileGuard(id);
  platform::releaseFileGuard(-1);
  EXPECT_EQ(-1, platform::guardFileLength(std::string(100000, 'x'), 0, false)) << "a name too long";
}

// A guard given the descriptor of a locked file cuts the file through it, so
// the file is cut while its lock is still held, whatever its name is by then.
TEST_F(BinaryFileTest, AGuardWithADescriptorCutsThroughIt) {
  const std::string path = m_dir.writeFile("locked.err", "kept");
  platform::LockedFile file;
  ASSERT_TRUE(file.open(path, platform::LockedFile::Opening::existing));
  ASSERT_TRUE(file.append(" and half a rec"));
  const int guard = platform::guardFileLength(path, 4, false, file.descriptor());
  ASSERT_GE(guard, 0);
  std::filesystem::rename(path, m_dir / "moved.err");
  platform::restoreGuardedFiles();
  EXPECT_EQ("kept", test_support::readFile(m_dir / "moved.err"));
}

TEST_F(BinaryFileTest, LockedFileOpenings) {
  using Opening = platform::LockedFile::Opening;
  struct Case {
    const char *what;
    Opening opening;
    bool opens;
    int error;                        // when it does not open
    bool created;                     // when it opens
    std::optional<std::string> after; // the file's bytes; nothing: no file
  };
  const std::string fifo = m_dir / "fifo";
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
  const Case cases[] = {
      {"existing", Opening::existing, true, 0, false, "old"},
      {"missing", Opening::existing, false, ENOENT, false, std::nullopt},
      {"missing", Opening::create, true, 0, true, ""},
      {"existing", Opening::create, true, 0, false, "old"},
      {"existing", Opening::truncate, true, 0, false, ""},
      {"missing", Opening::truncate, true, 0, true, ""},
      {"dangling link", Opening::create, true, 0, false, ""},
      {"dangling link", Opening::existing, false, ENOENT, false, std::nullopt},
      {"directory", Opening::create, false, EISDIR, false, std::nullopt},
      {"fifo", Opening::existing, false, EINVAL, false, std::nullopt},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.what) + ", opening " + std::to_string(static_cast<int>(c.opening)));
    const std::string target = m_dir / "target";
    std::filesystem::remove(target);
    std::string path = m_dir / "f";
    std::filesystem::remove_all(path);
    if (std::string(c.what) == "existing")
      m_dir.writeFile("f", "old");
    else if (std::string(c.what) == "dangling link")
      std::filesystem::create_symlink(target, path);
    else if (std::string(c.what) == "directory")
      std::filesystem::create_directory(path);
    else if (std::string(c.what) == "fifo")
      path = fifo;
    platform::LockedFile file;
    errno = 0;
    EXPECT_EQ(c.opens, file.open(path, c.opening));
    EXPECT_EQ(c.opens, file.isOpen());
    if (c.opens) {
      EXPECT_EQ(c.created, file.created());
      EXPECT_TRUE(test_support::lockedElsewhere(path));
    } else {
      EXPECT_EQ(c.error, errno);
    }
    file.close();
    if (std::string(c.what) != "directory" && std::string(c.what) != "fifo") {
      EXPECT_EQ(c.after.has_value(), std::filesystem::exists(path));
      if (c.after) {
        EXPECT_EQ(*c.after, test_support::readFile(path));
      }
    }
  }
}

// The lock is held from the opening to the closing; another descriptor of the
// file, opened for reading and closed again, neither needs nor ends it.
TEST_F(BinaryFileTest, ALockedFileHoldsItsLockUntilItCloses) {
  const std::string path = m_dir.writeFile("f.err", "head");
  platform::LockedFile file;
  ASSERT_TRUE(file.open(path, platform::LockedFile::Opening::create));
  EXPECT_TRUE(test_support::lockedElsewhere(path));
  EXPECT_EQ("head", test_support::readFile(path));
  EXPECT_TRUE(test_support::lockedElsewhere(path)) << "a reading ends no lock";
  char start[8] = {};
  EXPECT_EQ(4, file.readFromStart(start, sizeof start));
  EXPECT_EQ("head", std::string(start));
  EXPECT_EQ(4u, file.size());
  ASSERT_TRUE(file.append("tail"));
  EXPECT_TRUE(file.checkWritten());
  EXPECT_EQ("headtail", test_support::readFile(path));
  EXPECT_TRUE(file.truncate(6));
  EXPECT_EQ("headta", test_support::readFile(path));
  platform::LockedFile moved = std::move(file);
  EXPECT_FALSE(file.isOpen());
  EXPECT_TRUE(test_support::lockedElsewhere(path)) << "the lock goes with the file";
  moved.close();
  EXPECT_FALSE(test_support::lockedElsewhere(path));
  EXPECT_FALSE(moved.append("x"));
  EXPECT_EQ(EBADF, errno);
}

// An opening waits while another holds the lock. When the holder removes the
// file and puts another in its place, the lock the opening gets is on the
// file that the name names then.
TEST_F(BinaryFileTest, ALockedFileWaitsForItsTurnAndFollowsTheName) {
  if (!test_support::lockTableReadable())
    GTEST_SKIP() << "no /proc/locks";
  const std::string path = m_dir.writeFile("f.err", "old");
  test_support::HeldLock holder(path);
  ASSERT_TRUE(holder.held());
  platform::LockedFile file;
  bool opened = false;
  std::thread waiter([&] { opened = file.open(path, platform::LockedFile::Opening::create); });
  const bool waited = test_support::eventually([] { return test_support::waitsForLock(getpid()); });
  std::filesystem::remove(path);
  m_dir.writeFile("f.err", "new");
  holder.release();
  waiter.join();
  EXPECT_TRUE(waited);
  ASSERT_TRUE(opened);
  char start[4] = {};
  EXPECT_EQ(3, file.readFromStart(start, 3));
  EXPECT_EQ("new", std::string(start));
  EXPECT_TRUE(test_support::lockedElsewhere(path));
}

// A file made whole gets its name only when it is complete, and never takes
// the name from a file that has it by then; its temporary name goes.
TEST_F(BinaryFileTest, AFileMadeWholeGetsItsNameAtTheEnd) {
  const auto leftovers = [&] {
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(m_dir.path()))
      if (entry.path().filename() != "f.err")
        names.push_back(entry.path().filename().string());
    return names;
  };
  const std::string path = m_dir / "f.err";
  for (bool takenMeanwhile : {false, true}) {
    SCOPED_TRACE(takenMeanwhile ? "name taken meanwhile" : "name free");
    std::filesystem::remove(path);
    platform::LockedFile file;
    ASSERT_TRUE(file.open(path, platform::LockedFile::Opening::make));
    EXPECT_TRUE(file.beingMade());
    EXPECT_TRUE(file.created());
    EXPECT_EQ(m_dir.path(), std::filesystem::path(file.temporaryName()).parent_path().string());
    ASSERT_TRUE(file.append("whole"));
    EXPECT_FALSE(std::filesystem::exists(path));
    if (takenMeanwhile)
      m_dir.writeFile("f.err", "other");
    errno = 0;
    EXPECT_EQ(!takenMeanwhile, file.giveName());
    if (takenMeanwhile) {
      EXPECT_EQ(EEXIST, errno);
    }
    file.close();
    EXPECT_EQ(takenMeanwhile ? "other" : "whole", test_support::readFile(path));
    EXPECT_EQ(std::vector<std::string>(), leftovers());
  }
}

} // namespace
