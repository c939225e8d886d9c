#include "platform/BinaryFile.h"

#include "support/FileLocks.h"
#include "support/ScratchDirectory.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/wait.h>
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

// Writes bytes at the end of a file through a descriptor of its own, as
// another process would.
void appendPlainly(const std::string &path, const std::string &bytes) {
  std::ofstream(path, std::ios::binary | std::ios::app) << bytes;
}

// Writes the journal of an append of the bytes to the file as it is now.
bool journalAppend(const std::string &path, const std::string &bytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return false;
  struct stat status {};
  std::optional<platform::AppendJournalEntry> entry;
  if (::fstat(fd, &status) == 0)
    entry = platform::describeAppend(fd, static_cast<std::uint64_t>(status.st_size), bytes.size(), bytes);
  ::close(fd);
  return entry && platform::writeAppendJournal(platform::appendJournalPath(path), *entry);
}

// A child process that exists until the end of the scope.
class LiveChild {
public:
  LiveChild() {
    int ends[2];
    if (::pipe(ends) != 0)
      return;
    m_pid = ::fork();
    if (m_pid == 0) {
      // Waits for the parent to close its end, then ends.
      ::close(ends[1]);
      char byte;
      for (;;) {
        const ssize_t n = ::read(ends[0], &byte, 1);
        if (n == 0 || (n < 0 && errno != EINTR))
          ::_exit(0);
      }
    }
    ::close(ends[0]);
    m_end = ends[1];
  }
  ~LiveChild() {
    if (m_end >= 0)
      ::close(m_end);
    if (m_pid > 0)
      ::waitpid(m_pid, nullptr, 0);
  }
  LiveChild(const LiveChild &) = delete;
  LiveChild &operator=(const LiveChild &) = delete;

  pid_t pid() const { return m_pid; }

private:
  pid_t m_pid = -1;
  int m_end = -1;
};

// The id of a process that has ended and been reaped: no process has it.
pid_t endedProcess() {
  const pid_t pid = ::fork();
  if (pid == 0)
    ::_exit(0);
  if (pid > 0)
    ::waitpid(pid, nullptr, 0);
  return pid;
}

// The count of write calls this process made, as /proc/self/io tells;
// nothing where it cannot be read.
std::optional<unsigned long long> writeCalls() {
  std::ifstream io("/proc/self/io");
  std::string key;
  unsigned long long value = 0;
  while (io >> key >> value)
    if (key == "syscw:")
      return value;
  return std::nullopt;
}

// What is appended to a locked file goes in with a journal beside it: the
// journal holds the length before the first append of the opening and all
// that this opening appended; once the bytes are in for good, it goes.
TEST_F(BinaryFileTest, AnAppendGoesInWithAJournal) {
  const std::string path = m_dir.writeFile("f.err", "old");
  const std::string journal = m_dir / ".f.err.lyrsa-journal";
  platform::LockedFile file;
  ASSERT_TRUE(file.open(path, platform::LockedFile::Opening::existing));
  EXPECT_TRUE(file.journaled());
  EXPECT_EQ(journal, file.journalPath());
  EXPECT_FALSE(std::filesystem::exists(journal)) << "not before the first append";
  struct stat status {};
  ASSERT_EQ(0, ::stat(path.c_str(), &status));

  ASSERT_TRUE(file.append("abc"));
  std::optional<platform::AppendJournalEntry> entry = platform::readAppendJournal(journal);
  ASSERT_TRUE(entry);
  EXPECT_EQ(static_cast<std::uint64_t>(status.st_dev), entry->device);
  EXPECT_EQ(static_cast<std::uint64_t>(status.st_ino), entry->inode);
  EXPECT_EQ(3u, entry->length);
  EXPECT_EQ(3u, entry->appending);
  EXPECT_EQ("abc", entry->begins);

  const std::string_view blocks[] = {"de", "", "f"};
  ASSERT_TRUE(file.append(blocks, std::size(blocks)));
  entry = platform::readAppendJournal(journal);
  ASSERT_TRUE(entry);
  EXPECT_EQ(3u, entry->length) << "from the first append on";
  EXPECT_EQ(6u, entry->appending);
  EXPECT_EQ("abc", entry->begins);
  EXPECT_EQ("oldabcdef", test_support::readFile(path));

  ASSERT_TRUE(file.sync());
  file.endJournal();
  EXPECT_FALSE(std::filesystem::exists(journal));
  file.close();
  EXPECT_EQ("oldabcdef", test_support::readFile(path));
}

// The journal is on disk before any byte of the append: a process killed in
// the middle of one leaves a journal that the next opening puts the file back
// by.
TEST_F(BinaryFileTest, AKilledAppendIsPutBackByTheNextOpening) {
  const std::string path = m_dir.writeFile("f.err", "old");
  const std::string journal = platform::appendJournalPath(path);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    platform::setWriteFault(platform::WriteFault{UINT64_MAX, false, 4, false});
    platform::LockedFile file;
    const std::string_view blocks[] = {"abc", "def"};
    if (file.open(path, platform::LockedFile::Opening::existing))
      file.append(blocks, std::size(blocks));
    ::_exit(1); // the append should not return
  }
  int status = 0;
  ASSERT_EQ(child, ::waitpid(child, &status, 0));
  ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
  EXPECT_EQ(SIGKILL, WTERMSIG(status));
  EXPECT_EQ("oldabcd", test_support::readFile(path));
  const std::optional<platform::AppendJournalEntry> entry = platform::readAppendJournal(journal);
  ASSERT_TRUE(entry);
  EXPECT_EQ(3u, entry->length);
  EXPECT_EQ(6u, entry->appending);
  EXPECT_EQ("abcdef", entry->begins);

  platform::LockedFile file;
  ASSERT_TRUE(file.open(path, platform::LockedFile::Opening::existing));
  ASSERT_TRUE(file.recovery());
  EXPECT_EQ(platform::AppendRecovery::Outcome::putBack, file.recovery()->outcome);
  EXPECT_EQ(3u, file.recovery()->length);
  EXPECT_EQ(7u, file.recovery()->found);
  EXPECT_EQ("old", test_support::readFile(path));
  EXPECT_FALSE(std::filesystem::exists(journal));
}

// After an append that failed part way, the file is cut back to its length
// and the journal goes; a cut that fails keeps the journal for a later
// opening, but a file that has the length already needs no cut.
TEST_F(BinaryFileTest, CuttingBackAfterAFailedAppend) {
  const struct {
    const char *what;
    bool cutFails;
    std::uint64_t length;
    bool cut;
    int error;
    std::string after;
    bool journalKept;
  } cases[] = {
      {"cut back", false, 3, true, 0, "old", false},
      {"the cut fails", true, 3, false, EPERM, "oldabc", true},
      {"nothing to cut", true, 6, true, 0, "oldabc", false},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = m_dir.writeFile("f.err", "old");
    const std::string journal = platform::appendJournalPath(path);
    platform::setWriteFault(platform::WriteFault{3, false, UINT64_MAX, c.cutFails});
    platform::LockedFile file;
    ASSERT_TRUE(file.open(path, platform::LockedFile::Opening::existing));
    errno = 0;
    EXPECT_FALSE(file.append("abcdef"));
    EXPECT_EQ(ENOSPC, errno);
    EXPECT_EQ("oldabc", test_support::readFile(path));
    EXPECT_TRUE(std::filesystem::exists(journal));
    errno = 0;
    EXPECT_EQ(c.cut, file.truncate(c.length));
    EXPECT_EQ(c.error, errno);
    EXPECT_EQ(c.after, test_support::readFile(path));
    EXPECT_EQ(c.journalKept, std::filesystem::exists(journal));
    file.close();
    std::filesystem::remove(journal);
  }
}

// Where no journal can be made beside the file, the bytes go in without one;
// a journal that could no longer follow the appends goes, as it would tell
// less than was appended.
TEST_F(BinaryFileTest, AppendsWithoutAJournalWhereNoneCanBeMade) {
  for (const bool blockedAtFirst : {true, false}) {
    SCOPED_TRACE(blockedAtFirst ? "no journal from the start" : "no journal from the second append on");
    const std::string path = m_dir.writeFile("f.err", "old");
    const std::string journal = platform::appendJournalPath(path);
    std::filesystem::remove_all(journal + ".new");
    // The journal is written under this name first; as a directory, it
    // stops the writing whoever runs the test.
    if (blockedAtFirst)
      std::filesystem::create_directory(journal + ".new");
    platform::LockedFile file;
    ASSERT_TRUE(file.open(path, platform::LockedFile::Opening::existing));
    ASSERT_TRUE(file.append("abc"));
    EXPECT_EQ(!blockedAtFirst, std::filesystem::exists(journal));
    std::filesystem::create_directories(journal + ".new");
    ASSERT_TRUE(file.append("def"));
    EXPECT_FALSE(std::filesystem::exists(journal));
    EXPECT_EQ("oldabcdef", test_support::readFile(path));
    file.endJournal();
  }
}

// A file being made has no name that another process could open before it is
// complete: it gets no journal.
TEST_F(BinaryFileTest, AFileBeingMadeHasNoJournal) {
  const std::string path = m_dir / "f.err";
  platform::LockedFile file;
  ASSERT_TRUE(file.open(path, platform::LockedFile::Opening::make));
  EXPECT_FALSE(file.journaled());
  EXPECT_EQ("", file.journalPath());
  ASSERT_TRUE(file.append("whole"));
  for (const auto &entry : std::filesystem::directory_iterator(m_dir.path()))
    EXPECT_EQ(std::string::npos, entry.path().filename().string().find("journal")) << entry.path();
  ASSERT_TRUE(file.giveName());
  file.close();
  EXPECT_FALSE(std::filesystem::exists(platform::appendJournalPath(path)));
}

// The opening of a locked file puts back what a process left of an append
// before anything is read or added; a file that cannot be put back does not
// open, and its journal stays.
TEST_F(BinaryFileTest, AnOpeningPutsBackAnUnfinishedAppend) {
  using Outcome = platform::AppendRecovery::Outcome;
  const struct {
    bool cutFails;
    bool opens;
    int error; // when it does not open
    Outcome outcome;
    std::string after;
    bool journalKept;
  } cases[] = {
      {false, true, 0, Outcome::putBack, "head", false},
      {true, false, EPERM, Outcome::cannotPutBack, "headta", true},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.cutFails ? "the cut fails" : "the cut succeeds");
    const std::string path = m_dir.writeFile("f.err", "head");
    const std::string journal = platform::appendJournalPath(path);
    ASSERT_TRUE(journalAppend(path, "tail"));
    appendPlainly(path, "ta");
    platform::setWriteFault(
        c.cutFails ? std::optional(platform::WriteFault{UINT64_MAX, false, UINT64_MAX, true}) : std::nullopt);
    platform::LockedFile file;
    errno = 0;
    EXPECT_EQ(c.opens, file.open(path, platform::LockedFile::Opening::existing));
    if (!c.opens) {
      EXPECT_EQ(c.error, errno);
    }
    EXPECT_EQ(c.opens, file.isOpen());
    ASSERT_TRUE(file.recovery());
    EXPECT_EQ(c.outcome, file.recovery()->outcome);
    EXPECT_EQ(4u, file.recovery()->length);
    EXPECT_EQ(6u, file.recovery()->found);
    EXPECT_EQ(c.after, test_support::readFile(path));
    EXPECT_EQ(c.journalKept, std::filesystem::exists(journal));
    EXPECT_EQ(c.opens, test_support::lockedElsewhere(path)) << "a failed opening holds no lock";
    file.close();
    std::filesystem::remove(journal);
  }
}

// The blocks of one append reach the file in one system call, so that no
// other writer's bytes can come between them.
TEST_F(BinaryFileTest, TheBlocksOfAnAppendGoInOneCall) {
  if (!writeCalls())
    GTEST_SKIP() << "no /proc/self/io";
  platform::LockedFile file;
  ASSERT_TRUE(file.open(m_dir / "f.err", platform::LockedFile::Opening::make));
  const std::string large(2 * 1024 * 1024, 'a'), other(2 * 1024 * 1024, 'b');
  const std::string_view blocks[] = {"<", large, "", "|", other, ">"};
  const std::optional<unsigned long long> before = writeCalls();
  ASSERT_TRUE(file.append(blocks, std::size(blocks)));
  const std::optional<unsigned long long> after = writeCalls();
  ASSERT_TRUE(before && after);
  EXPECT_EQ(*before + 1, *after);
  ASSERT_TRUE(file.giveName());
  EXPECT_EQ("<" + large + "|" + other + ">", test_support::readFile(m_dir / "f.err"));
}

// An opening that waits for the lock says so once, while it waits, and goes
// on waiting until the lock is its own.
TEST_F(BinaryFileTest, AnOpeningThatWaitsSaysSoOnce) {
  const std::string path = m_dir.writeFile("f.err", "old");
  test_support::HeldLock holder(path);
  ASSERT_TRUE(holder.held());
  std::atomic<int> told{0};
  std::atomic<bool> lockedWhenTold{false}, returned{false};
  platform::LockedFile file;
  bool opened = false;
  std::thread waiter([&] {
    opened = file.open(path, platform::LockedFile::Opening::existing, [&] {
      lockedWhenTold = test_support::lockedElsewhere(path);
      ++told;
    });
    returned = true;
  });
  const bool toldWhileWaiting = test_support::eventually([&] { return told > 0; });
  const bool stillWaiting = !returned;
  const bool waitsOn = !test_support::lockTableReadable() ||
                       test_support::eventually([] { return test_support::waitsForLock(getpid()); });
  holder.release();
  waiter.join();
  EXPECT_TRUE(toldWhileWaiting);
  EXPECT_TRUE(stillWaiting);
  EXPECT_TRUE(lockedWhenTold);
  EXPECT_TRUE(waitsOn);
  EXPECT_TRUE(opened);
  EXPECT_EQ(1, told);
  EXPECT_TRUE(test_support::lockedElsewhere(path));
}

TEST_F(BinaryFileTest, AnOpeningThatNeedNotWaitSaysNothing) {
  const std::string existing = m_dir.writeFile("f.err", "old");
  for (const std::string &path : {existing, m_dir / "new.err", std::string("/dev/null")}) {
    int told = 0;
    platform::LockedFile file;
    EXPECT_TRUE(file.open(path, platform::LockedFile::Opening::create, [&] { ++told; })) << path;
    EXPECT_EQ(0, told) << path;
  }
  int told = 0;
  platform::FileReadLock reading;
  EXPECT_TRUE(reading.acquire(existing, [&] { ++told; }));
  EXPECT_EQ(0, told) << "a reading";
}

// Making a file removes the temporary files that ended processes left in its
// directory, unless their lock is held; other names, and temporaries of
// processes that still run, stay.
TEST_F(BinaryFileTest, MakingAFileRemovesAbandonedTemporaries) {
  const LiveChild live;
  ASSERT_GT(live.pid(), 0);
  const pid_t ended = endedProcess();
  ASSERT_GT(ended, 0);
  const std::string dead = std::to_string(ended);
  const struct {
    std::string name;
    bool stays;
  } cases[] = {
      {".lyrsa-" + dead + "-0.tmp", false},
      {".lyrsa-" + dead + "-17.tmp", false},
      {".lyrsa-" + std::to_string(live.pid()) + "-0.tmp", true},
      {".lyrsa-" + dead + "-1.tmp", true}, // locked below
      {".lyrsa-x-0.tmp", true},
      {".lyrsa-12-.tmp", true},
      {"notes.tmp", true},
      {".lyrsa-" + dead + "-.tmp", true},
      {".lyrsa-" + dead + ".tmp", true},
      {".lyrsa-" + dead + "-0x.tmp", true},
      {".lyrsa-" + dead + "-0.tmp.bak", true},
      {"lyrsa-" + dead + "-0.tmp", true},
      {".lyrsa--" + dead + "-0.tmp", true},
      {".lyrsa-0-0.tmp", true},
  };
  for (const auto &c : cases)
    m_dir.writeFile(c.name, "part");
  const test_support::HeldLock held(m_dir / (".lyrsa-" + dead + "-1.tmp"));
  ASSERT_TRUE(held.held());

  platform::LockedFile file;
  ASSERT_TRUE(file.open(m_dir / "f.err", platform::LockedFile::Opening::make));
  for (const auto &c : cases)
    EXPECT_EQ(c.stays, std::filesystem::exists(m_dir / c.name)) << c.name;
  EXPECT_TRUE(test_support::lockedElsewhere(file.temporaryName())) << "its own temporary is held";
}

TEST_F(BinaryFileTest, AReadLockOpensOnlyRegularFiles) {
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
  }
}

// A reading waits while a writer holds the file, and readings do not wait for
// each other.
TEST_F(BinaryFileTest, AReadLockWaitsForAWriterOnly) {
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

TEST_F(BinaryFileTest, WriteFaultFromEnvironment) {
  constexpr std::uint64_t none = UINT64_MAX;
  const struct {
    std::optional<std::string> value;
    std::optional<platform::WriteFault> fault;
  } cases[] = {
      {std::nullopt, std::nullopt},
      {"", std::nullopt},
      {"fail-after=12", platform::WriteFault{12, false, none, false}},
      {"fail-after=0", platform::WriteFault{0, false, none, false}},
      {"stop-after=34", platform::WriteFault{none, false, 34, false}},
      {"close-fails", platform::WriteFault{none, true, none, false}},
      {"cut-fails", platform::WriteFault{none, false, none, true}},
      {"fail-after=1,stop-after=2,close-fails,cut-fails", platform::WriteFault{1, true, 2, true}},
      {"cut-fails,stop-after=18446744073709551615", platform::WriteFault{none, false, none, true}},
      {"disk-full", std::nullopt},
      {"cut-fails,disk-full", std::nullopt},
      {"fail-after", std::nullopt},
      {"fail-after=", std::nullopt},
      {"fail-after=x", std::nullopt},
      {"fail-after=12x", std::nullopt},
      {"fail-after=-1", std::nullopt},
      {"fail-after= 12", std::nullopt},
      {"fail-after=18446744073709551616", std::nullopt},
      {"close-fails=1", std::nullopt},
      {"Close-fails", std::nullopt},
      {"close-fails,,cut-fails", std::nullopt},
      {",close-fails", std::nullopt},
  };
  for (const auto &c : cases) {
    const std::string value = c.value ? "\"" + *c.value + "\"" : "unset";
    const test_support::EnvironmentVariable variable("LYRSA_VOKT_TEST_WRITE_FAULT", c.value);
    const std::optional<platform::WriteFault> fault = platform::writeFaultFromEnvironment();
    ASSERT_EQ(c.fault.has_value(), fault.has_value()) << value;
    if (!fault)
      continue;
    EXPECT_EQ(c.fault->bytesBeforeFailure, fault->bytesBeforeFailure) << value;
    EXPECT_EQ(c.fault->closeFails, fault->closeFails) << value;
    EXPECT_EQ(c.fault->bytesBeforeStop, fault->bytesBeforeStop) << value;
    EXPECT_EQ(c.fault->cutFails, fault->cutFails) << value;
  }
}

// A dying process cuts a guarded file back and removes its journal; where the
// cut fails, the journal stays and a line on standard error says so.
TEST_F(BinaryFileTest, AGuardWithAJournal) {
  const std::string path = m_dir / "f.err";
  const std::string journal = platform::appendJournalPath(path);
  const std::string failure = "Cannot put file '" + path + "' back to its length of 4 bytes";
  const struct {
    const char *what;
    std::string found;
    bool journal;
    bool cutFails;
    std::string after;
    std::string error;
  } cases[] = {
      {"cut back", "headta", true, false, "head", ""},
      {"the cut fails", "headta", true, true, "headta",
       failure + "; its journal '" + journal + "' is kept, so that a later run puts it back.\n"},
      {"the cut fails, no journal", "headta", false, true, "headta", failure + ".\n"},
      {"nothing to cut", "head", true, true, "head", ""},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    m_dir.writeFile("f.err", c.found);
    if (c.journal)
      m_dir.writeFile(".f.err.lyrsa-journal", "journal");
    platform::setWriteFault(
        c.cutFails ? std::optional(platform::WriteFault{UINT64_MAX, false, UINT64_MAX, true}) : std::nullopt);
    ASSERT_GE(platform::guardFileLength(path, 4, false, -1, journal), 0);
    testing::internal::CaptureStderr();
    platform::restoreGuardedFiles();
    EXPECT_EQ(c.error, testing::internal::GetCapturedStderr());
    EXPECT_EQ(c.after, test_support::readFile(path));
    EXPECT_EQ(c.journal && c.cutFails && !c.error.empty(), std::filesystem::exists(journal));
    std::filesystem::remove(journal);
  }
}

} // namespace
