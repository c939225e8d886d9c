#include "platform/LockedFile.h"

#include "platform/AppendJournal.h"
#include "platform/AppendProtocol.h"
#include "platform/Leftovers.h"
#include "platform/WriteFault.h"
#include "support/AppendFiles.h"
#include "support/FileLocks.h"
#include "support/ScratchDirectory.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using test_support::listing;
using test_support::literally;
using test_support::varied;

using Opening = platform::LockedFile::Opening;
using Outcome = platform::AppendRecovery::Outcome;
using Result = platform::AppendEnd::Result;

class LockedFileTest : public testing::Test {
protected:
  void TearDown() override { platform::setWriteFault(std::nullopt); }

  test_support::ScratchDirectory m_dir;
};

std::string openingName(Opening opening) {
  switch (opening) {
  case Opening::existing:
    return "existing";
  case Opening::create:
    return "create";
  case Opening::truncate:
    return "truncate";
  case Opening::make:
    return "make";
  }
  return "?";
}

std::string joined(const std::vector<std::string> &names) {
  std::string text;
  for (const std::string &name : names)
    text += (text.empty() ? "" : " ") + name;
  return "{" + text + "}";
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
  const std::string_view piece = bytes;
  if (::fstat(fd, &status) == 0)
    entry = platform::describeAppend(fd, static_cast<std::uint64_t>(status.st_size), &piece, 1);
  ::close(fd);
  const int target = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  const bool written = entry && target >= 0 &&
                       platform::writeAppendJournal(platform::appendJournalPath(path), *entry, target, -1) ==
                           platform::JournalWriting::written;
  if (target >= 0)
    ::close(target);
  return written;
}

// The entry of the journal at the path; nothing when there is none or it
// does not parse.
std::optional<platform::AppendJournalEntry> journalEntry(const std::string &journal) {
  if (!std::filesystem::exists(journal))
    return std::nullopt;
  return platform::parseAppendJournal(test_support::readFile(journal));
}

// Tells the parent of a death test what a child found, on standard error.
void tell(const std::string &text) {
  if (::write(STDERR_FILENO, text.data(), text.size()) < 0)
    std::_Exit(2);
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

TEST_F(LockedFileTest, Openings) {
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
      {"dangling link", Opening::create, true, 0, true, ""},
      {"dangling link", Opening::existing, false, ENOENT, false, std::nullopt},
      {"directory", Opening::create, false, EISDIR, false, std::nullopt},
      {"fifo", Opening::existing, false, EINVAL, false, std::nullopt},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.what) + ", opening " + openingName(c.opening));
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
      EXPECT_TRUE(file.journaled());
      EXPECT_FALSE(file.recovery()) << "no journal was there";
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

// The lock is held from the opening until the file is put back; another
// descriptor of the file, opened for reading and closed again, neither needs
// nor ends it, and a move takes it along.
TEST_F(LockedFileTest, HoldsItsLockUntilItIsPutBack) {
  const std::string path = m_dir.writeFile("f.err", "head");
  platform::LockedFile file;
  ASSERT_TRUE(file.open(path, Opening::create));
  EXPECT_FALSE(file.created());
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
  platform::LockedFile moved = std::move(file);
  EXPECT_FALSE(file.isOpen());
  EXPECT_TRUE(test_support::lockedElsewhere(path)) << "the lock goes with the file";
  const platform::AppendEnd end = moved.putBack();
  EXPECT_EQ(Result::done, end.result);
  EXPECT_EQ(path, end.path);
  EXPECT_EQ(4u, end.length);
  EXPECT_EQ("", end.journal) << "none stays";
  EXPECT_FALSE(moved.isOpen());
  EXPECT_EQ("head", test_support::readFile(path));
  EXPECT_FALSE(std::filesystem::exists(platform::appendJournalPath(path)));
  EXPECT_FALSE(test_support::lockedElsewhere(path));
  EXPECT_FALSE(moved.append("x"));
  EXPECT_EQ(EBADF, errno);
}

// An opening waits while another holds the lock. When the holder removes the
// file and puts another in its place, the lock the opening gets is on the
// file that the name names then.
TEST_F(LockedFileTest, WaitsForItsTurnAndFollowsTheName) {
  if (!test_support::lockTableReadable())
    GTEST_SKIP() << "no /proc/locks";
  const std::string path = m_dir.writeFile("f.err", "old");
  test_support::HeldLock holder(path);
  ASSERT_TRUE(holder.held());
  platform::LockedFile file;
  bool opened = false;
  std::thread waiter([&] { opened = file.open(path, Opening::create); });
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
TEST_F(LockedFileTest, AFileMadeWholeGetsItsNameAtTheEnd) {
  const std::string path = m_dir / "f.err";
  for (bool takenMeanwhile : {false, true}) {
    SCOPED_TRACE(takenMeanwhile ? "name taken meanwhile" : "name free");
    std::filesystem::remove(path);
    platform::LockedFile file;
    ASSERT_TRUE(file.open(path, Opening::make));
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
    EXPECT_EQ(std::vector<std::string>{"f.err"}, listing(m_dir.path()));
  }
}

// A file made through a symbolic link to a missing file (directly, or through
// a second link) is made where the links lead, whole under its making name
// beside it or in place: it gets that name, the links stay, and putting it
// back removes it there and leaves nothing else.
TEST_F(LockedFileTest, AFileMadeThroughALinkToAMissingFileIsMadeWhereItLeads) {
  m_dir.makeDirectory("o");
  m_dir.makeDirectory("l");
  m_dir.makeDirectory("real");
  std::filesystem::create_symlink("../real/f.err", m_dir / "o/direct.err");
  std::filesystem::create_symlink("../l/f.err", m_dir / "o/chained.err");
  std::filesystem::create_symlink(m_dir / "real/f.err", m_dir / "l/f.err");
  const std::string real = m_dir / "real/f.err";
  for (const char *link : {"o/direct.err", "o/chained.err"}) {
    for (const Opening opening : {Opening::make, Opening::create}) {
      for (const bool kept : {true, false}) {
        SCOPED_TRACE(std::string(link) + ", " + openingName(opening) + (kept ? ", kept" : ", put back"));
        std::filesystem::remove(real);
        platform::LockedFile file;
        ASSERT_TRUE(file.open(m_dir / link, opening));
        EXPECT_TRUE(file.created());
        if (opening == Opening::make) {
          EXPECT_TRUE(std::filesystem::equivalent(m_dir / "real",
                                                  std::filesystem::path(file.temporaryName()).parent_path()));
        }
        ASSERT_TRUE(file.append("whole"));
        if (kept) {
          EXPECT_TRUE(opening == Opening::create || file.giveName());
          file.keep();
        } else {
          file.putBack();
        }
        EXPECT_EQ(kept ? std::vector<std::string>{"f.err"} : std::vector<std::string>{},
                  listing(m_dir / "real"));
        if (kept) {
          EXPECT_EQ("whole", test_support::readFile(real));
        }
        EXPECT_EQ((std::vector<std::string>{"chained.err", "direct.err"}), listing(m_dir / "o"));
        EXPECT_EQ(std::vector<std::string>{"f.err"}, listing(m_dir / "l"));
      }
    }
  }
}

// A file made whole leaves no other name of it behind, kept or put back: where
// the lock of its making name cannot be had (a file system without locks),
// the making name that the opening made goes again and the file is made under
// a name of the process's own; where the making name cannot go once the file
// has its own name, keeping the file (or putting it back) removes it.
TEST_F(LockedFileTest, AFileMadeWholeLeavesNoOtherName) {
  const struct {
    const char *what;
    platform::WriteFault fault;
    bool ownName;                     // made under a name of the process's own
    std::vector<std::string> atNamed; // just after it got its name
  } cases[] = {
      {"the making name cannot be locked", {.makingLockFails = true}, true, {"f.err"}},
      {"the making name cannot go at once",
       {.makingUnlinkFails = true},
       false,
       {".f.err.lyrsa-new", "f.err"}},
  };
  for (const auto &c : cases) {
    for (const bool kept : {true, false}) {
      SCOPED_TRACE(std::string(c.what) + (kept ? ", kept" : ", put back"));
      const test_support::ScratchDirectory dir;
      const std::string path = dir / "f.err";
      platform::setWriteFault(c.fault);
      platform::LockedFile file;
      ASSERT_TRUE(file.open(path, Opening::make));
      EXPECT_EQ(c.ownName, file.temporaryName().find(".lyrsa-new") == std::string::npos)
          << file.temporaryName();
      EXPECT_EQ(std::vector<std::string>{std::filesystem::path(file.temporaryName()).filename().string()},
                listing(dir.path()));
      ASSERT_TRUE(file.append("whole"));
      ASSERT_TRUE(file.giveName());
      EXPECT_EQ(c.atNamed, listing(dir.path()));
      if (kept)
        file.keep();
      else
        file.putBack();
      EXPECT_EQ(kept ? std::vector<std::string>{"f.err"} : std::vector<std::string>{}, listing(dir.path()));
    }
  }
}

// What is appended to a locked file goes in with a journal beside it: the
// journal holds the length before the first append of the opening and all
// that this opening appended, such that the file checks out against it; once
// the bytes are kept, it goes.
TEST_F(LockedFileTest, AnAppendGoesInWithAJournal) {
  const std::string path = m_dir.writeFile("f.err", "old");
  const std::string journal = m_dir / ".f.err.lyrsa-journal";
  platform::LockedFile file;
  ASSERT_TRUE(file.open(path, Opening::existing));
  EXPECT_TRUE(file.journaled());
  EXPECT_EQ(journal, file.journalPath());
  EXPECT_FALSE(std::filesystem::exists(journal)) << "not before the first append";
  struct stat status {};
  ASSERT_EQ(0, ::stat(path.c_str(), &status));

  ASSERT_TRUE(file.append("abc"));
  std::optional<platform::AppendJournalEntry> entry = journalEntry(journal);
  ASSERT_TRUE(entry);
  EXPECT_EQ(static_cast<std::uint64_t>(status.st_dev), entry->device);
  EXPECT_EQ(static_cast<std::uint64_t>(status.st_ino), entry->inode);
  EXPECT_EQ(3u, entry->length);
  EXPECT_EQ(3u, entry->appending);
  EXPECT_EQ("abc", entry->head);
  EXPECT_TRUE(entry->blocks.empty());

  const std::string_view blocks[] = {"de", "", "f"};
  ASSERT_TRUE(file.append(blocks, std::size(blocks)));
  entry = journalEntry(journal);
  ASSERT_TRUE(entry);
  EXPECT_EQ(3u, entry->length) << "from the first append on";
  EXPECT_EQ(6u, entry->appending);
  EXPECT_EQ("abcdef", entry->head);
  EXPECT_EQ("oldabcdef", test_support::readFile(path));

  // Past the head: blocks on the file's 4 KiB boundaries.
  const std::string large = varied(10000, 1);
  ASSERT_TRUE(file.append(large));
  entry = journalEntry(journal);
  ASSERT_TRUE(entry);
  EXPECT_EQ(3u, entry->length);
  EXPECT_EQ(10006u, entry->appending);
  EXPECT_EQ(("abcdef" + large).substr(0, 8192 - 3), entry->head);
  EXPECT_EQ(1u, entry->blocks.size());
  const platform::AppendCheck check = platform::checkAppended(file.descriptor(), *entry, 3 + 10006);
  EXPECT_EQ(platform::AppendCheck::Difference::none, check.difference);
  EXPECT_EQ(0, check.error);

  ASSERT_TRUE(file.sync());
  const platform::AppendEnd end = file.keep();
  EXPECT_EQ(Result::done, end.result);
  EXPECT_FALSE(end.putBack);
  EXPECT_FALSE(file.isOpen()) << "a process that does not commit at its end closes it at once";
  EXPECT_FALSE(test_support::lockedElsewhere(path));
  EXPECT_FALSE(std::filesystem::exists(journal));
  EXPECT_EQ("oldabcdef" + large, test_support::readFile(path));
}

// A journal that cannot be removed when the append is kept would let a later
// run take the append back: the append is put back at once instead.
TEST_F(LockedFileTest, KeepingWithAJournalThatCannotGoPutsBack) {
  const std::string path = m_dir.writeFile("f.err", "old");
  const std::string journal = platform::appendJournalPath(path);
  platform::LockedFile file;
  ASSERT_TRUE(file.open(path, Opening::existing));
  ASSERT_TRUE(file.append("abc"));
  // A name that unlink cannot remove, whoever runs the test.
  std::filesystem::remove(journal);
  std::filesystem::create_directories(journal + "/inside");
  const platform::AppendEnd end = file.keep();
  EXPECT_EQ(Result::cannotRemoveJournal, end.result);
  EXPECT_TRUE(end.putBack);
  EXPECT_EQ(EISDIR, end.error);
  EXPECT_EQ(journal, end.journal);
  EXPECT_EQ(3u, end.length);
  EXPECT_FALSE(file.isOpen());
  EXPECT_EQ("old", test_support::readFile(path));
}

// The journal is on disk before any byte of the append: a process killed in
// the middle of one leaves a journal that the next opening puts the file back
// by.
TEST_F(LockedFileTest, AKilledAppendIsPutBackByTheNextOpening) {
  const std::string path = m_dir.writeFile("f.err", "old");
  const std::string journal = platform::appendJournalPath(path);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    platform::setWriteFault(platform::WriteFault{.bytesBeforeStop = 4});
    platform::LockedFile file;
    const std::string_view blocks[] = {"abc", "def"};
    if (file.open(path, Opening::existing))
      file.append(blocks, std::size(blocks));
    ::_exit(1); // the append should not return
  }
  int status = 0;
  ASSERT_EQ(child, ::waitpid(child, &status, 0));
  ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
  EXPECT_EQ(SIGKILL, WTERMSIG(status));
  EXPECT_EQ("oldabcd", test_support::readFile(path));
  const std::optional<platform::AppendJournalEntry> entry = journalEntry(journal);
  ASSERT_TRUE(entry);
  EXPECT_EQ(3u, entry->length);
  EXPECT_EQ(6u, entry->appending);
  EXPECT_EQ("abcdef", entry->head);

  platform::LockedFile file;
  ASSERT_TRUE(file.open(path, Opening::existing));
  ASSERT_TRUE(file.recovery());
  EXPECT_EQ(Outcome::putBack, file.recovery()->outcome);
  EXPECT_EQ(3u, file.recovery()->length);
  EXPECT_EQ(7u, file.recovery()->found);
  EXPECT_FALSE(file.recovery()->wholeAppend());
  EXPECT_EQ("old", test_support::readFile(path));
  EXPECT_FALSE(std::filesystem::exists(journal));
}

// After an append that failed part way, putting back cuts the file to its
// length at the opening and the journal goes; a cut or a sync of it that
// fails keeps the journal for a later opening, but a file that has the
// length already needs no cut.
TEST_F(LockedFileTest, PuttingBackAfterAFailedAppend) {
  const struct {
    const char *what;
    platform::WriteFault fault;
    std::string reached;
    Result result;
    int error;
    std::string after;
    bool journalKept;
  } cases[] = {
      {"cut back", {.bytesBeforeFailure = 3}, "oldabc", Result::done, 0, "old", false},
      {"the cut fails",
       {.bytesBeforeFailure = 3, .cutFails = true},
       "oldabc",
       Result::cannotCut,
       EPERM,
       "oldabc",
       true},
      {"the sync of the cut fails",
       {.bytesBeforeFailure = 3, .cutSyncFails = true},
       "oldabc",
       Result::cannotSync,
       EIO,
       "old",
       true},
      {"nothing to cut", {.bytesBeforeFailure = 0, .cutFails = true}, "old", Result::done, 0, "old", false},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = m_dir.writeFile("f.err", "old");
    const std::string journal = platform::appendJournalPath(path);
    platform::setWriteFault(c.fault);
    platform::LockedFile file;
    ASSERT_TRUE(file.open(path, Opening::existing));
    errno = 0;
    EXPECT_FALSE(file.append("abcdef"));
    EXPECT_EQ(ENOSPC, errno);
    EXPECT_FALSE(file.journalFailed());
    EXPECT_EQ(c.reached, test_support::readFile(path));
    EXPECT_TRUE(std::filesystem::exists(journal));
    const platform::AppendEnd end = file.putBack();
    EXPECT_EQ(c.result, end.result);
    EXPECT_EQ(c.error, end.error);
    EXPECT_EQ(c.journalKept ? journal : "", end.journal);
    EXPECT_EQ(3u, end.length);
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(c.after, test_support::readFile(path));
    EXPECT_EQ(c.journalKept, std::filesystem::exists(journal));
    std::filesystem::remove(journal);
  }
}

// Where no journal can be made beside the file (a name too long for one more
// dot and suffix), the bytes go in without one; but once a journal covers the
// appends of an opening, a further append whose journal cannot follow does
// not begin. What stands at the name a journal is written under first does
// not keep it from being written.
TEST_F(LockedFileTest, AppendsWithoutAJournalOnlyWhereNoneCanBeMade) {
  const struct {
    const char *what;
    std::string name;
    bool journaled;
  } cases[] = {
      {"a name too long for a journal", std::string(250, 'f'), false},
      {"a directory at the name the journal is written under", "f.err", true},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    const test_support::ScratchDirectory dir;
    const std::string path = dir.writeFile(c.name, "old");
    const std::string journal = platform::appendJournalPath(path);
    if (c.journaled)
      std::filesystem::create_directory(journal + ".new");
    platform::LockedFile file;
    ASSERT_TRUE(file.open(path, Opening::existing));
    ASSERT_TRUE(file.append("abc"));
    const auto journalThere = [&] { return ::access(journal.c_str(), F_OK) == 0; };
    EXPECT_EQ(c.journaled, journalThere());
    platform::setWriteFault(platform::WriteFault{.directorySyncFails = true});
    EXPECT_EQ(!c.journaled, file.append("def"));
    platform::setWriteFault(std::nullopt);
    EXPECT_EQ(c.journaled, file.journalFailed());
    EXPECT_EQ(c.journaled ? "oldabc" : "oldabcdef", test_support::readFile(path));
    EXPECT_EQ(c.journaled, journalThere() && journalEntry(journal).has_value());
    const platform::AppendEnd end = file.putBack();
    EXPECT_EQ(Result::done, end.result);
    EXPECT_EQ("old", test_support::readFile(path));
    EXPECT_FALSE(journalThere());
    EXPECT_EQ((std::vector<std::string>{c.name}), [&] {
      std::vector<std::string> names = listing(dir.path());
      names.erase(std::remove(names.begin(), names.end(), ".f.err.lyrsa-journal.new"), names.end());
      return names;
    }()) << "nothing else is left";
  }
}

// A journal that fails once it is made stops the append, whichever way it is
// written: one that cannot be synced or closed (here as on a file system that
// turned read-only, whose error alone would have let the append go without a
// journal had it come at the journal's making), or one whose directory cannot
// be synced, so that it is not known to be on disk. Nothing reaches the file,
// and no journal is left once the append is put back.
TEST_F(LockedFileTest, AJournalThatFailsOnceMadeStopsTheAppend) {
  const struct {
    const char *what;
    platform::WriteFault fault;
    int error;
  } cases[] = {
      {"the journal's sync fails", {.journalSyncFails = true}, EROFS},
      {"closing the journal fails", {.journalCloseFails = true}, EROFS},
      {"the sync of its directory fails", {.directorySyncFails = true}, EIO},
  };
  for (const auto &c : cases) {
    for (const bool unnamedFiles : {true, false}) {
      SCOPED_TRACE(std::string(c.what) + (unnamedFiles ? "" : ", no files without a name"));
      const test_support::ScratchDirectory dir;
      const std::string path = dir.writeFile("f.err", "old");
      platform::WriteFault fault = c.fault;
      fault.noUnnamedFiles = !unnamedFiles;
      platform::setWriteFault(fault);
      platform::LockedFile file;
      ASSERT_TRUE(file.open(path, Opening::existing));
      errno = 0;
      EXPECT_FALSE(file.append("abc"));
      EXPECT_EQ(c.error, errno);
      EXPECT_TRUE(file.journalFailed());
      EXPECT_EQ("old", test_support::readFile(path));
      EXPECT_EQ(Result::done, file.putBack().result);
      EXPECT_EQ(std::vector<std::string>{"f.err"}, listing(dir.path())) << "no journal is left";

      platform::setWriteFault(std::nullopt);
      ASSERT_TRUE(file.open(path, Opening::existing));
      EXPECT_FALSE(file.journalFailed()) << "of the last opening only";
      EXPECT_FALSE(file.recovery());
      file.close();
    }
  }
}

// A file being made has no name that another process could open before it is
// complete: it gets no journal.
TEST_F(LockedFileTest, AFileBeingMadeHasNoJournal) {
  const std::string path = m_dir / "f.err";
  platform::LockedFile file;
  ASSERT_TRUE(file.open(path, Opening::make));
  EXPECT_FALSE(file.journaled());
  EXPECT_EQ("", file.journalPath());
  ASSERT_TRUE(file.append("whole"));
  for (const auto &entry : std::filesystem::directory_iterator(m_dir.path()))
    EXPECT_EQ(std::string::npos, entry.path().filename().string().find("journal")) << entry.path();
  ASSERT_TRUE(file.giveName());
  file.close();
  EXPECT_EQ(std::vector<std::string>{"f.err"}, listing(m_dir.path()));
}

// A file opened through a symbolic link keeps its journal beside the file
// itself, so that a journal left there is found whichever name opens it.
TEST_F(LockedFileTest, AFileOpenedThroughALinkHasItsJournalBesideItself) {
  m_dir.makeDirectory("real");
  m_dir.makeDirectory("o");
  const std::string real = m_dir / "real/a.err";
  const std::string linked = m_dir / "o/a.err";
  const std::string throughDirectory = m_dir / "d/a.err";
  std::filesystem::create_symlink("../real/a.err", linked);
  std::filesystem::create_symlink("real", m_dir / "d");
  const std::string journal = m_dir / "real/.a.err.lyrsa-journal";
  const struct {
    std::string appendVia;
    std::string reopenVia;
  } cases[] = {
      {linked, real},
      {real, linked},
      {linked, linked},
      {throughDirectory, linked},
  };
  for (const auto &c : cases) {
    const std::string what = c.appendVia + ", then " + c.reopenVia;
    m_dir.writeFile("real/a.err", "old");
    platform::LockedFile file;
    ASSERT_TRUE(file.open(c.appendVia, Opening::existing)) << what;
    EXPECT_EQ(journal, file.journalPath()) << what;
    ASSERT_TRUE(file.append("abc")) << what;
    EXPECT_TRUE(std::filesystem::exists(journal)) << what;
    EXPECT_EQ(std::vector<std::string>{"a.err"}, listing(m_dir / "o")) << what;
    file.close(); // as a killed process leaves it

    ASSERT_TRUE(file.open(c.reopenVia, Opening::existing)) << what;
    ASSERT_TRUE(file.recovery()) << what;
    EXPECT_EQ(Outcome::putBack, file.recovery()->outcome) << what;
    EXPECT_EQ(journal, file.recovery()->journal) << what;
    EXPECT_EQ("old", test_support::readFile(real)) << what;
    EXPECT_FALSE(std::filesystem::exists(journal)) << what;
    file.close();
  }
}

// The opening of a locked file puts back what a process left of an append
// before anything is read or added; a file that cannot be put back, or whose
// journal cannot go, does not open, and its journal stays. A journal that no
// run on the file could have written goes, and the file stays as it is.
TEST_F(LockedFileTest, AnOpeningPutsBackAnUnfinishedAppend) {
  enum class Journal { trusted, directory, groupWritable };
  const struct {
    const char *what;
    Journal journal;
    platform::WriteFault fault;
    bool opens;
    int error; // when it does not open
    Outcome outcome;
    std::string after;
    bool journalKept;
  } cases[] = {
      {"put back", Journal::trusted, {}, true, 0, Outcome::putBack, "head", false},
      {"the cut fails",
       Journal::trusted,
       {.cutFails = true},
       false,
       EPERM,
       Outcome::cannotPutBack,
       "headta",
       true},
      {"the sync of the cut fails",
       Journal::trusted,
       {.cutSyncFails = true},
       false,
       EIO,
       Outcome::cannotSync,
       "head",
       true},
      {"a directory for a journal",
       Journal::directory,
       {},
       false,
       EISDIR,
       Outcome::untrusted,
       "headta",
       true},
      {"a journal others may write",
       Journal::groupWritable,
       {},
       true,
       0,
       Outcome::untrusted,
       "headta",
       false},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = m_dir.writeFile("f.err", "head");
    const std::string journal = platform::appendJournalPath(path);
    ASSERT_TRUE(journalAppend(path, "tail"));
    appendPlainly(path, "ta");
    if (c.journal == Journal::directory) {
      std::filesystem::remove(journal);
      std::filesystem::create_directory(journal);
    } else if (c.journal == Journal::groupWritable) {
      ASSERT_EQ(0, ::chmod(journal.c_str(), 0664));
    }
    platform::setWriteFault(c.fault);
    platform::LockedFile file;
    errno = 0;
    EXPECT_EQ(c.opens, file.open(path, Opening::existing));
    if (!c.opens) {
      EXPECT_EQ(c.error, errno);
    }
    EXPECT_EQ(c.opens, file.isOpen());
    ASSERT_TRUE(file.recovery());
    EXPECT_EQ(c.outcome, file.recovery()->outcome);
    EXPECT_EQ(!c.opens, file.recovery()->fails());
    EXPECT_EQ(6u, file.recovery()->found);
    if (c.journal == Journal::trusted) {
      EXPECT_EQ(4u, file.recovery()->length);
    }
    EXPECT_EQ(c.after, test_support::readFile(path));
    EXPECT_EQ(c.journalKept, std::filesystem::exists(journal));
    EXPECT_EQ(c.opens, test_support::lockedElsewhere(path)) << "a failed opening holds no lock";
    file.close();
    platform::setWriteFault(std::nullopt);
    std::filesystem::remove_all(journal);
  }
}

// Whatever ends a file without keeping what was appended puts it back: a file
// that the opening made is removed, another cut back to its length at the
// opening, and no journal and no temporary name is left.
TEST_F(LockedFileTest, WhatIsNotKeptIsPutBack) {
  enum class Kind { appended, nothingAppended, created, madeUnnamed, madeNamed };
  enum class End { putBack, destroyed, movedOver };
  const struct {
    const char *what;
    Kind kind;
    std::vector<std::string> left;
  } cases[] = {
      {"appended", Kind::appended, {"f.err"}},
      {"nothing appended", Kind::nothingAppended, {"f.err"}},
      {"made by the opening", Kind::created, {}},
      {"made whole, without a name yet", Kind::madeUnnamed, {}},
      {"made whole and named", Kind::madeNamed, {}},
  };
  for (const auto &c : cases) {
    for (const End end : {End::putBack, End::destroyed, End::movedOver}) {
      const std::string what = std::string(c.what) + (end == End::putBack     ? ", put back"
                                                      : end == End::destroyed ? ", destroyed"
                                                                              : ", moved over");
      const test_support::ScratchDirectory dir;
      const std::string path = dir / "f.err";
      const bool exists = c.kind == Kind::appended || c.kind == Kind::nothingAppended;
      if (exists)
        dir.writeFile("f.err", "old");
      {
        platform::LockedFile file;
        const bool made = c.kind == Kind::madeUnnamed || c.kind == Kind::madeNamed;
        ASSERT_TRUE(file.open(path, made ? Opening::make : Opening::create)) << what;
        EXPECT_EQ(!exists, file.created()) << what;
        if (c.kind != Kind::nothingAppended) {
          ASSERT_TRUE(file.append("abc")) << what;
        }
        if (c.kind == Kind::madeNamed) {
          ASSERT_TRUE(file.giveName()) << what;
        }
        if (end == End::putBack) {
          EXPECT_EQ(Result::done, file.putBack().result) << what;
        } else if (end == End::movedOver) {
          file = platform::LockedFile();
        }
        if (end != End::destroyed) {
          EXPECT_FALSE(file.isOpen()) << what;
        }
      }
      EXPECT_EQ(joined(c.left), joined(listing(dir.path()))) << what;
      if (exists) {
        EXPECT_EQ("old", test_support::readFile(path)) << what;
        EXPECT_FALSE(test_support::lockedElsewhere(path)) << what;
      }
    }
  }
}

// The blocks of one append reach the file in one system call, so that no
// other writer's bytes can come between them.
TEST_F(LockedFileTest, TheBlocksOfAnAppendGoInOneCall) {
  if (!writeCalls())
    GTEST_SKIP() << "no /proc/self/io";
  platform::LockedFile file;
  ASSERT_TRUE(file.open(m_dir / "f.err", Opening::make));
  const std::string large(2 * 1024 * 1024, 'a'), other(2 * 1024 * 1024, 'b');
  const std::string_view blocks[] = {"<", large, "", "|", other, ">"};
  const std::optional<unsigned long long> before = writeCalls();
  ASSERT_TRUE(file.append(blocks, std::size(blocks)));
  const std::optional<unsigned long long> after = writeCalls();
  ASSERT_TRUE(before && after);
  EXPECT_EQ(*before + 1, *after);
  ASSERT_TRUE(file.giveName());
  EXPECT_EQ("<" + large + "|" + other + ">", test_support::readFile(m_dir / "f.err"));
  file.close();
}

// An opening that waits for the lock says so once, while it waits, and goes
// on waiting until the lock is its own.
TEST_F(LockedFileTest, AnOpeningThatWaitsSaysSoOnce) {
  const std::string path = m_dir.writeFile("f.err", "old");
  test_support::HeldLock holder(path);
  ASSERT_TRUE(holder.held());
  std::atomic<int> told{0};
  std::atomic<bool> lockedWhenTold{false}, returned{false};
  platform::LockedFile file;
  bool opened = false;
  std::thread waiter([&] {
    opened = file.open(path, Opening::existing, [&] {
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

TEST_F(LockedFileTest, AnOpeningThatNeedNotWaitSaysNothing) {
  const std::string existing = m_dir.writeFile("f.err", "old");
  for (const std::string &path : {existing, m_dir / "new.err", std::string("/dev/null")}) {
    int told = 0;
    platform::LockedFile file;
    EXPECT_TRUE(file.open(path, Opening::create, [&] { ++told; })) << path;
    EXPECT_EQ(0, told) << path;
  }
}

// What stands at the making name of a file (".f.err.lyrsa-new") when it is
// opened: a file under its lock goes (also a second name of the file, which a
// maker left that died after naming the file) unless another process holds
// it (a live maker) or no run on the file could have made it; a file being
// made takes over a dead maker's file of this user there (its bytes dropped),
// or goes to a name of its own where the making name is held or cannot be
// used. No directory is read: other names, such as those of an earlier
// release's temporaries, stay.
TEST_F(LockedFileTest, OpeningsRemoveWhatDeadMakersLeft) {
  enum class Kind { nothing, deadMakers, secondName, held, symbolicLink, directory, anotherUsers };
  enum class Made { making, ownName };
  const struct {
    const char *what;
    Kind kind;
    bool stays; // when the file is opened under its lock
    Made made;  // the name a file being made is made under
  } cases[] = {
      {"nothing", Kind::nothing, false, Made::making},
      {"a dead maker's file", Kind::deadMakers, false, Made::making},
      {"a second name of the file", Kind::secondName, false, Made::making},
      {"a file a live maker holds", Kind::held, true, Made::ownName},
      {"a symbolic link", Kind::symbolicLink, true, Made::making},
      {"a directory", Kind::directory, true, Made::ownName},
      {"a file of a user no run on the file could be", Kind::anotherUsers, true, Made::making},
  };
  for (const Opening opening : {Opening::existing, Opening::create, Opening::truncate, Opening::make}) {
    for (const auto &c : cases) {
      SCOPED_TRACE(std::string(c.what) + ", opening " + openingName(opening));
      const test_support::ScratchDirectory dir;
      const std::string path = dir.writeFile("f.err", "old");
      const std::string making = platform::makingName(path);
      ASSERT_EQ(dir / ".f.err.lyrsa-new", making);
      const std::string earlier = dir.writeFile(".lyrsa-1-0.tmp", "an earlier release's");
      std::optional<test_support::HeldLock> held;
      switch (c.kind) {
      case Kind::nothing:
        break;
      case Kind::deadMakers:
      case Kind::held:
      case Kind::anotherUsers:
        dir.writeFile(".f.err.lyrsa-new", "part");
        break;
      case Kind::secondName:
        std::filesystem::create_hard_link(path, making);
        break;
      case Kind::symbolicLink:
        std::filesystem::create_symlink(path, making);
        break;
      case Kind::directory:
        std::filesystem::create_directory(making);
        break;
      }
      if (c.kind == Kind::held) {
        held.emplace(making);
        ASSERT_TRUE(held->held());
      }
      if (c.kind == Kind::anotherUsers && ::chown(making.c_str(), 12345, 12345) != 0)
        continue; // only root may give a file away

      platform::LockedFile file;
      ASSERT_TRUE(file.open(path, opening));
      const bool there = std::filesystem::exists(std::filesystem::symlink_status(making));
      if (opening == Opening::make) {
        EXPECT_TRUE(test_support::lockedElsewhere(file.temporaryName())) << "its own temporary is held";
        EXPECT_EQ(c.made == Made::making ? making : "",
                  file.temporaryName() == making ? making : std::string())
            << file.temporaryName();
        EXPECT_EQ(0u, file.size()) << "a dead maker's bytes are dropped";
        EXPECT_TRUE(there);
        file.close();
        EXPECT_EQ(c.made == Made::ownName, std::filesystem::exists(std::filesystem::symlink_status(making)))
            << "the making name goes with the file being made";
      } else {
        EXPECT_EQ(c.stays && c.kind != Kind::nothing, there);
        EXPECT_TRUE(test_support::lockedElsewhere(path));
        EXPECT_EQ(opening == Opening::truncate ? "" : "old", test_support::readFile(path));
        file.close();
      }
      EXPECT_EQ("an earlier release's", test_support::readFile(earlier));
      EXPECT_EQ(opening == Opening::truncate ? "" : "old", test_support::readFile(path)) << "the file itself";
    }
  }
}

// An append that does not begin (its journal could not be written) leaves
// the journal of the opening as it was: a later append's journal covers only
// what reached the file, and a kill after it is put back.
TEST(LockedFileDeathTest, AnAppendThatDoesNotBeginLeavesTheJournalAsItWas) {
  GTEST_FLAG_SET(death_test_style, "fast");
  const test_support::ScratchDirectory dir;
  const std::string path = dir.writeFile("f.err", "old");
  EXPECT_EXIT(
      {
        platform::LockedFile file;
        if (!file.open(path, platform::LockedFile::Opening::existing) || !file.append("abc"))
          std::_Exit(3);
        // Under a file-size limit that the journal of the second append
        // passes, its journal is not written.
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit {};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        const rlim_t saved = limit.rlim_cur;
        limit.rlim_cur = 200;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const bool second = file.append(std::string(300, 'd'));
        limit.rlim_cur = saved;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const bool third = file.append("ghi");
        // Closed as a killed process leaves it: the journal stays.
        file.close();
        platform::LockedFile again;
        again.open(path, platform::LockedFile::Opening::existing);
        tell("second " + std::to_string(second) + ", third " + std::to_string(third) + ", recovery " +
             std::to_string(again.recovery() ? static_cast<int>(again.recovery()->outcome) : -1) + ", file " +
             test_support::readFile(path) + "\n");
        std::_Exit(0);
      },
      testing::ExitedWithCode(0), "^second 0, third 1, recovery 0, file old\n$");
}

// A write that the file-size limit cuts short stops at the limit, inside a
// block whose bytes a later run could not check were the process killed
// after it: an append that would pass the limit does not begin (EFBIG, as the
// write would fail), not a byte of it reaches the file and no journal is
// made; one that ends at the limit goes in. So for a file that exists and
// one that is made. Run in a child, as the limit is the process's.
TEST(LockedFileDeathTest, AnAppendPastTheFileSizeLimitDoesNotBegin) {
  GTEST_FLAG_SET(death_test_style, "fast");
  const rlim_t limitBytes = 12 * 4096 + 100;
  for (const Opening opening : {Opening::existing, Opening::make}) {
    SCOPED_TRACE(openingName(opening));
    const test_support::ScratchDirectory dir;
    const std::string path = dir / "f.err";
    const std::string before = opening == Opening::existing ? "old" : "";
    if (opening == Opening::existing)
      dir.writeFile("f.err", before);
    EXPECT_EXIT(
        {
          std::signal(SIGXFSZ, SIG_IGN);
          struct rlimit limit {};
          ::getrlimit(RLIMIT_FSIZE, &limit);
          limit.rlim_cur = limitBytes;
          ::setrlimit(RLIMIT_FSIZE, &limit);
          platform::LockedFile file;
          if (!file.open(path, opening))
            std::_Exit(3);
          errno = 0;
          const bool past = file.append(varied(limitBytes - before.size() + 1, 1));
          const int error = errno;
          const std::string files = joined(listing(dir.path()));
          const bool upTo = file.append(varied(limitBytes - before.size(), 2));
          tell("past " + std::to_string(past) + (error == EFBIG ? ", EFBIG" : ", another errno") + ", size " +
               std::to_string(file.size().value_or(0)) + ", " + files + ", up to the limit " +
               std::to_string(upTo) + "\n");
          file.putBack();
          std::_Exit(0);
        },
        testing::ExitedWithCode(0),
        "^past 0, EFBIG, size " + std::to_string(limitBytes) + ", " +
            literally(opening == Opening::existing ? "{f.err}" : "{.f.err.lyrsa-new}") +
            ", up to the limit 1\n$");
    EXPECT_EQ(opening == Opening::existing ? std::vector<std::string>{"f.err"} : std::vector<std::string>{},
              listing(dir.path()));
  }
}

// What a fatal signal finds: restoreAppends puts back each guarded file (a
// locked file from its opening until it is kept, put back or closed) and
// says which it could not put back. Run in a child, as the guards are the
// process's own.
TEST(LockedFileDeathTest, RestoreAppendsPutsBackGuardedFiles) {
  GTEST_FLAG_SET(death_test_style, "fast");
  enum class Before {
    appended,
    renamed,
    noJournal,
    otherWriterAfter,
    overwritten,
    created,
    madeUnnamed,
    madeNamed,
    nameTaken,
    kept,
    closed
  };
  const struct {
    const char *what;
    Before before;
    platform::WriteFault fault;
    const char *name; // of the file checked
    std::optional<std::string> bytes;
    std::vector<std::string> left;
    bool told;             // of a file that could not be put back
    bool journalTold;      // ...and whose journal is kept
    std::string line = {}; // told instead
  } cases[] = {
      {"appended", Before::appended, {}, "f.err", "old", {"f.err"}, false, false},
      {"renamed after the opening", Before::renamed, {}, "moved.err", "old", {"moved.err"}, false, false},
      {"the cut fails",
       Before::appended,
       {.cutFails = true},
       "f.err",
       "oldabc",
       {".f.err.lyrsa-journal", "f.err"},
       true,
       true},
      {"the sync of the cut fails",
       Before::appended,
       {.cutSyncFails = true},
       "f.err",
       "old",
       {".f.err.lyrsa-journal", "f.err"},
       false,
       false,
       "Cannot sync error file '@' after putting it back to its length of 3 bytes (Input/output error); its "
       "journal '@journal' is kept, so that a later run puts it back.\n"},
      {"the cut fails, no journal (a name too long for one)",
       Before::noJournal,
       {.cutFails = true},
       nullptr,
       "oldabc",
       {std::string(250, 'f')},
       true,
       false},
      {"another writer added after the append",
       Before::otherWriterAfter,
       {},
       "f.err",
       "oldabcxyz",
       {"f.err"},
       false,
       false,
       "Warning - File '@' holds this run's findings followed by another writer's bytes; it is left as it "
       "is, "
       "not put back to its 3 bytes.\n"},
      {"another writer wrote over the append",
       Before::overwritten,
       {},
       "f.err",
       "oldaXc",
       {"f.err"},
       false,
       false,
       "Warning - File '@' was changed by another writer while this run added to it; it is left as it is, "
       "not "
       "put back to its 3 bytes.\n"},
      {"nothing reached the file, the cut would fail",
       Before::appended,
       {.bytesBeforeFailure = 0, .cutFails = true},
       "f.err",
       "old",
       {"f.err"},
       false,
       false},
      {"made by the opening", Before::created, {}, "f.err", std::nullopt, {}, false, false},
      {"made whole, without a name yet", Before::madeUnnamed, {}, "f.err", std::nullopt, {}, false, false},
      {"made whole and named", Before::madeNamed, {}, "f.err", std::nullopt, {}, false, false},
      {"made whole, the name taken meanwhile",
       Before::nameTaken,
       {},
       "f.err",
       "other",
       {"f.err"},
       false,
       false},
      {"kept", Before::kept, {}, "f.err", "oldabc", {"f.err"}, false, false},
      {"closed without putting back",
       Before::closed,
       {},
       "f.err",
       "oldabc",
       {".f.err.lyrsa-journal", "f.err"},
       false,
       false},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    const test_support::ScratchDirectory dir;
    const std::string name = c.before == Before::noJournal ? std::string(250, 'f') : "f.err";
    const std::string path = dir / name;
    const std::string journal = platform::appendJournalPath(path);
    const bool made = c.before == Before::created || c.before == Before::madeUnnamed ||
                      c.before == Before::madeNamed || c.before == Before::nameTaken;
    if (!made)
      dir.writeFile(name, "old");
    std::string told = c.line;
    for (std::size_t at = told.find("@journal"); at != std::string::npos; at = told.find("@journal"))
      told.replace(at, 8, journal);
    for (std::size_t at = told.find('@'); at != std::string::npos; at = told.find('@'))
      told.replace(at, 1, path);
    if (c.told)
      told =
          "Cannot put file '" + path + "' back to its length of 3 bytes" +
          (c.journalTold ? "; its journal '" + journal + "' is kept, so that a later run puts it back" : "") +
          ".\n";
    EXPECT_EXIT(
        {
          platform::setWriteFault(c.fault);
          const bool whole = c.before == Before::madeUnnamed || c.before == Before::madeNamed ||
                             c.before == Before::nameTaken;
          platform::LockedFile file;
          if (!file.open(path, whole ? Opening::make : Opening::create))
            std::_Exit(3);
          file.append("abc");
          if (c.before == Before::otherWriterAfter)
            appendPlainly(path, "xyz");
          if (c.before == Before::overwritten) {
            const int other = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
            if (other < 0 || ::pwrite(other, "X", 1, 4) != 1)
              std::_Exit(4);
            ::close(other);
          }
          if (c.before == Before::renamed)
            std::filesystem::rename(path, dir / "moved.err");
          if (c.before == Before::nameTaken)
            dir.writeFile("f.err", "other");
          if (c.before == Before::madeNamed || c.before == Before::nameTaken)
            file.giveName();
          if (c.before == Before::kept)
            file.keep();
          if (c.before == Before::closed)
            file.close();
          platform::restoreAppends();
          std::_Exit(0);
        },
        testing::ExitedWithCode(0), "^" + literally(told) + "$");
    EXPECT_EQ(joined(c.left), joined(listing(dir.path())));
    const std::string checked = dir / (c.name ? c.name : name);
    EXPECT_EQ(c.bytes.has_value(), std::filesystem::exists(checked));
    if (c.bytes) {
      EXPECT_EQ(*c.bytes, test_support::readFile(checked));
    }
  }
}

// restoreAppends ends the guards: a second call, or a put back of the file
// afterwards, changes nothing that others wrote since.
TEST(LockedFileDeathTest, RestoreAppendsPutsBackOnce) {
  GTEST_FLAG_SET(death_test_style, "fast");
  const test_support::ScratchDirectory dir;
  const std::string path = dir.writeFile("f.err", "old");
  EXPECT_EXIT(
      {
        platform::LockedFile file;
        if (!file.open(path, Opening::existing) || !file.append("abc"))
          std::_Exit(3);
        platform::restoreAppends();
        const std::string once = test_support::readFile(path);
        appendPlainly(path, "more");
        platform::restoreAppends();
        const platform::AppendEnd end = file.putBack();
        tell(once + " " + test_support::readFile(path) + " " + std::to_string(file.isOpen()) + " " +
             std::to_string(end.result == Result::done) + "\n");
        std::_Exit(0);
      },
      testing::ExitedWithCode(0), "^old oldmore 0 1\n$");
}

void restoreAndEnd(int) {
  platform::restoreAppends();
  std::_Exit(0);
}

// A fatal signal that comes while the journal of an append is being written
// leaves neither that journal, nor the one of the appends before, nor their
// bytes. Here the signal is the one of a file-size limit that the journal
// goes past.
TEST(LockedFileDeathTest, RestoreAppendsWhileAJournalIsWritten) {
  GTEST_FLAG_SET(death_test_style, "fast");
  const test_support::ScratchDirectory dir;
  const std::string path = dir.writeFile("f.err", "old");
  EXPECT_EXIT(
      {
        platform::LockedFile file;
        if (!file.open(path, Opening::existing) || !file.append("abc"))
          std::_Exit(3);
        struct sigaction action = {};
        action.sa_handler = restoreAndEnd;
        ::sigaction(SIGXFSZ, &action, nullptr);
        struct rlimit limit {};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 64; // less than a journal
        ::setrlimit(RLIMIT_FSIZE, &limit);
        file.append("def");
        std::_Exit(4); // the handler ends the process first
      },
      testing::ExitedWithCode(0), "^$");
  EXPECT_EQ(std::vector<std::string>{"f.err"}, listing(dir.path()));
  EXPECT_EQ("old", test_support::readFile(path));
}

// A process that commits its appends at its end holds each kept file, and its
// lock, until finishAppends: the file is kept then, or put back when the
// process ends with a failure; what could not be done is returned. Every
// signal waits from then on. Run in a child, as this is the process's end.
TEST(LockedFileDeathTest, AppendsCommittedAtTheEnd) {
  GTEST_FLAG_SET(death_test_style, "fast");
  const struct {
    const char *what;
    bool keep;
    platform::WriteFault fault;
    bool journalStays; // a name that cannot be removed takes its place
    std::string failures;
    std::string appended; // of f.err
    std::vector<std::string> left;
  } cases[] = {
      {"kept", true, {}, false, "", "oldabc", {"f.err", "made.err"}},
      {"put back", false, {}, false, "", "old", {"f.err"}},
      {"kept, the journal cannot go",
       true,
       {},
       true,
       " f.err: cannotRemoveJournal, put back, journal kept",
       "old",
       {".f.err.lyrsa-journal", "f.err", "made.err"}},
      {"put back, the cut fails",
       false,
       {.cutFails = true},
       false,
       " f.err: cannotCut, journal kept",
       "oldabc",
       {".f.err.lyrsa-journal", "f.err"}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    const test_support::ScratchDirectory dir;
    const std::string path = dir.writeFile("f.err", "old");
    const std::string madePath = dir / "made.err";
    const std::string journal = platform::appendJournalPath(path);
    EXPECT_EXIT(
        {
          platform::setWriteFault(c.fault);
          platform::commitAppendsAtExit();
          platform::LockedFile file;
          platform::LockedFile made;
          if (!file.open(path, Opening::existing) || !file.append("abc") ||
              !made.open(madePath, Opening::create) || !made.append("new"))
            std::_Exit(3);
          const platform::AppendEnd kept = file.keep();
          made.keep();
          tell("kept: " + std::string(kept.result == Result::done && !kept.putBack ? "done" : "not done") +
               ", open " + std::to_string(file.isOpen()) + ", locked " +
               std::to_string(test_support::lockedElsewhere(path)) + ", journal " +
               std::to_string(std::filesystem::exists(journal)) + "\n");
          if (c.journalStays) {
            std::filesystem::remove(journal);
            std::filesystem::create_directories(journal + "/inside");
          }
          std::string failures;
          for (const platform::AppendEnd &end : platform::finishAppends(c.keep)) {
            failures += " " + std::filesystem::path(end.path).filename().string() + ": " +
                        (end.result == Result::cannotCut             ? "cannotCut"
                         : end.result == Result::cannotSync          ? "cannotSync"
                         : end.result == Result::cannotRemoveJournal ? "cannotRemoveJournal"
                                                                     : "done") +
                        (end.putBack ? ", put back" : "") + (end.journal == journal ? ", journal kept" : "");
          }
          tell("failures:" + failures + "\nlocked " + std::to_string(test_support::lockedElsewhere(path)) +
               "\n");
          std::raise(SIGTERM); // waits
          std::_Exit(0);
        },
        testing::ExitedWithCode(0),
        "^" + literally("kept: done, open 0, locked 1, journal 1\nfailures:" + c.failures + "\nlocked 0\n") +
            "$");
    EXPECT_EQ(joined(c.left), joined(listing(dir.path())));
    EXPECT_EQ(c.appended, test_support::readFile(path));
    if (std::filesystem::exists(madePath)) {
      EXPECT_EQ("new", test_support::readFile(madePath));
    }
  }
}

} // namespace
