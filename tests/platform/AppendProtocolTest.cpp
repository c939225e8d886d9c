#include "platform/AppendProtocol.h"

#include "platform/AppendJournal.h"
#include "platform/WriteFault.h"
#include "support/AppendFiles.h"
#include "support/ScratchDirectory.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using test_support::listing;
using test_support::OpenFile;
using test_support::varied;

using Outcome = platform::AppendRecovery::Outcome;
using Difference = platform::AppendRecovery::Difference;
using Distrust = platform::AppendRecovery::Distrust;
using Writing = platform::JournalWriting;

class AppendProtocolTest : public testing::Test {
protected:
  void TearDown() override { platform::setWriteFault(std::nullopt); }

  test_support::ScratchDirectory m_dir;
};

// What stands at a name, to tell whether anything changed it: its kind and,
// for a regular file, its bytes.
std::string stateOf(const std::string &path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0)
    return "nothing";
  if (S_ISDIR(status.st_mode))
    return "directory";
  if (S_ISLNK(status.st_mode))
    return "link";
  return "file " + std::to_string(status.st_mode & 07777) + ": " + test_support::readFile(path);
}

std::string outcomeName(const std::optional<platform::AppendRecovery> &recovery) {
  if (!recovery)
    return "none";
  switch (recovery->outcome) {
  case Outcome::putBack:
    return "putBack";
  case Outcome::nothingAppended:
    return "nothingAppended";
  case Outcome::leftAlone:
    return "leftAlone";
  case Outcome::unreadable:
    return "unreadable";
  case Outcome::untrusted:
    return "untrusted";
  case Outcome::cannotCheck:
    return "cannotCheck";
  case Outcome::cannotPutBack:
    return "cannotPutBack";
  case Outcome::cannotSync:
    return "cannotSync";
  }
  return "?";
}

std::string outcomeName(const std::optional<Outcome> &outcome) {
  if (!outcome)
    return "none";
  platform::AppendRecovery recovery;
  recovery.outcome = *outcome;
  return outcomeName(std::optional(recovery));
}

// Tells the parent of a death test what a child found, on standard error.
void tell(const std::string &text) {
  if (::write(STDERR_FILENO, text.data(), text.size()) < 0)
    std::_Exit(2);
}

// Writes the journal of an append of the bytes to the file at the path, as
// it is now, as a run would.
bool journalAppend(const std::string &path, const std::string &appended) {
  const OpenFile file(path);
  struct stat status {};
  if (file.fd() < 0 || ::fstat(file.fd(), &status) != 0)
    return false;
  const std::string_view piece = appended;
  const std::optional<platform::AppendJournalEntry> entry =
      platform::describeAppend(file.fd(), static_cast<std::uint64_t>(status.st_size), &piece, 1);
  return entry &&
         platform::writeAppendJournal(platform::appendJournalPath(path), *entry, -1) == Writing::written;
}

const std::string head = "head of the file";
// An append of several blocks after it: 8176 bytes of head, then two whole
// blocks and five bytes.
const std::string longAppend = varied(8192 - 16 + 2 * 4096 + 5, 5);

TEST_F(AppendProtocolTest, TheJournalOfAnOpenFileIsBesideTheFileItself) {
  m_dir.makeDirectory("real");
  const std::string file = m_dir.writeFile("real/f.err", "x");
  const std::string other = m_dir.writeFile("other.err", "y");
  std::filesystem::create_symlink("real/f.err", m_dir / "link.err");
  std::filesystem::create_symlink("real", m_dir / "d");
  const std::string journal = m_dir / "real/.f.err.lyrsa-journal";
  const test_support::CurrentDirectory current(m_dir.path());
  const struct {
    std::string name;
    std::string opened;
    std::string journal; // empty: none
  } cases[] = {
      {file, file, journal},
      {"real/f.err", file, journal},
      {m_dir / "link.err", file, journal},
      {"link.err", file, journal},
      {m_dir / "d/f.err", file, journal},
      {m_dir / "real/../real/./f.err", file, journal},
      {other, file, ""},
      {m_dir / "missing.err", file, ""},
  };
  for (const auto &c : cases) {
    const OpenFile opened(c.opened);
    ASSERT_GE(opened.fd(), 0) << c.opened;
    EXPECT_EQ(c.journal, platform::journalOfOpenFile(c.name, opened.fd())) << c.name;
  }
}

// The journal is written for an append of "appended" to the file as it is
// ("before"); the file is then found as each case makes it, with a journal as
// the case has it and a journal half written beside it. inspectAppend tells
// what recoverAppend would do and changes nothing; recoverAppend cuts the
// file only when the journal is one a run on it wrote and every byte after
// the recorded length is the append's own.
TEST_F(AppendProtocolTest, RecoveryFollowsATrustedJournal) {
  enum class Journal {
    trusted,
    none,
    directory,
    symbolicLink,
    groupWritable,
    allWritable,
    garbage,
    version1
  };
  struct Case {
    const char *what;
    std::string before = head;
    std::string appended = "tail";
    std::string found{};
    Journal journal = Journal::trusted;
    platform::WriteFault fault{};
    bool writeOnly = false; // the descriptor cannot read
    std::optional<Outcome> inspected{};
    std::optional<Outcome> outcome{};
    Difference difference = Difference::none;
    Distrust distrust = Distrust::none;
    int error = 0;
    int removeError = 0;
    bool fails = false;
    bool whole = false;
    std::string after{};
    bool journalKept = false;
    std::optional<Outcome> later{}; // of a recovery without the fault
  };
  const Case cases[] = {
      {.what = "part appended",
       .found = head + "ta",
       .inspected = Outcome::putBack,
       .outcome = Outcome::putBack,
       .after = head},
      {.what = "all appended",
       .found = head + "tail",
       .inspected = Outcome::putBack,
       .outcome = Outcome::putBack,
       .whole = true,
       .after = head},
      {.what = "part of a file that was empty",
       .before = "",
       .found = "ta",
       .inspected = Outcome::putBack,
       .outcome = Outcome::putBack,
       .after = ""},
      {.what = "a long append, to a block boundary",
       .appended = longAppend,
       .found = head + longAppend.substr(0, 8176 + 4096),
       .inspected = Outcome::putBack,
       .outcome = Outcome::putBack,
       .after = head},
      {.what = "a long append, whole",
       .appended = longAppend,
       .found = head + longAppend,
       .inspected = Outcome::putBack,
       .outcome = Outcome::putBack,
       .whole = true,
       .after = head},
      {.what = "a long append, to inside a block",
       .appended = longAppend,
       .found = head + longAppend.substr(0, 8176 + 100),
       .inspected = Outcome::leftAlone,
       .outcome = Outcome::leftAlone,
       .difference = Difference::partBlock,
       .after = head + longAppend.substr(0, 8176 + 100)},
      {.what = "nothing appended",
       .found = head,
       .inspected = Outcome::nothingAppended,
       .outcome = Outcome::nothingAppended,
       .after = head},
      {.what = "other bytes after the append point",
       .found = head + "tA",
       .inspected = Outcome::leftAlone,
       .outcome = Outcome::leftAlone,
       .difference = Difference::otherBytes,
       .after = head + "tA"},
      {.what = "other bytes before the append point",
       .found = "HEAD" + head.substr(4) + "ta",
       .inspected = Outcome::leftAlone,
       .outcome = Outcome::leftAlone,
       .difference = Difference::anotherFile,
       .after = "HEAD" + head.substr(4) + "ta"},
      {.what = "longer than the append",
       .found = head + "tail!",
       .inspected = Outcome::leftAlone,
       .outcome = Outcome::leftAlone,
       .difference = Difference::longer,
       .after = head + "tail!"},
      {.what = "shorter than the recorded length",
       .found = head.substr(0, 10),
       .inspected = Outcome::leftAlone,
       .outcome = Outcome::leftAlone,
       .difference = Difference::shorter,
       .after = head.substr(0, 10)},
      {.what = "no journal", .found = head + "ta", .journal = Journal::none, .after = head + "ta"},
      {.what = "a directory for a journal",
       .found = head + "ta",
       .journal = Journal::directory,
       .inspected = Outcome::untrusted,
       .outcome = Outcome::untrusted,
       .distrust = Distrust::notRegular,
       .removeError = EISDIR,
       .fails = true,
       .after = head + "ta",
       .journalKept = true},
      {.what = "a symbolic link to a journal",
       .found = head + "ta",
       .journal = Journal::symbolicLink,
       .inspected = Outcome::untrusted,
       .outcome = Outcome::untrusted,
       .distrust = Distrust::notRegular,
       .after = head + "ta"},
      {.what = "a journal its group may write",
       .found = head + "ta",
       .journal = Journal::groupWritable,
       .inspected = Outcome::untrusted,
       .outcome = Outcome::untrusted,
       .distrust = Distrust::writableByOthers,
       .after = head + "ta"},
      {.what = "a journal all may write",
       .found = head + "ta",
       .journal = Journal::allWritable,
       .inspected = Outcome::untrusted,
       .outcome = Outcome::untrusted,
       .distrust = Distrust::writableByOthers,
       .after = head + "ta"},
      {.what = "no whole entry",
       .found = head + "ta",
       .journal = Journal::garbage,
       .inspected = Outcome::unreadable,
       .outcome = Outcome::unreadable,
       .after = head + "ta"},
      {.what = "a journal of version 1",
       .found = head + "ta",
       .journal = Journal::version1,
       .inspected = Outcome::unreadable,
       .outcome = Outcome::unreadable,
       .after = head + "ta"},
      {.what = "the cut fails",
       .found = head + "ta",
       .fault = {.cutFails = true},
       .inspected = Outcome::putBack,
       .outcome = Outcome::cannotPutBack,
       .error = EPERM,
       .fails = true,
       .after = head + "ta",
       .journalKept = true,
       .later = Outcome::putBack},
      {.what = "the sync of the cut fails",
       .found = head + "ta",
       .fault = {.cutSyncFails = true},
       .inspected = Outcome::putBack,
       .outcome = Outcome::cannotSync,
       .error = EIO,
       .fails = true,
       .after = head,
       .journalKept = true,
       .later = Outcome::nothingAppended},
      {.what = "the file cannot be read",
       .found = head + "ta",
       .writeOnly = true,
       .inspected = Outcome::cannotCheck,
       .outcome = Outcome::cannotCheck,
       .error = EBADF,
       .fails = true,
       .after = head + "ta",
       .journalKept = true,
       .later = Outcome::putBack},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    const test_support::ScratchDirectory dir;
    const std::string path = dir.writeFile("f.err", c.before);
    const std::string journal = platform::appendJournalPath(path);
    const std::string elsewhere = dir / "elsewhere";
    ASSERT_TRUE(journalAppend(path, c.appended));
    switch (c.journal) {
    case Journal::trusted:
      break;
    case Journal::none:
      std::filesystem::remove(journal);
      break;
    case Journal::directory:
      std::filesystem::remove(journal);
      std::filesystem::create_directory(journal);
      break;
    case Journal::symbolicLink:
      std::filesystem::rename(journal, elsewhere);
      std::filesystem::create_symlink(elsewhere, journal);
      break;
    case Journal::groupWritable:
      ASSERT_EQ(0, ::chmod(journal.c_str(), 0664));
      break;
    case Journal::allWritable:
      ASSERT_EQ(0, ::chmod(journal.c_str(), 0646));
      break;
    case Journal::garbage:
      dir.writeFile(".f.err.lyrsa-journal", "lyrsa-journal 2\ndevice 1\n");
      break;
    case Journal::version1: {
      struct stat status {};
      ASSERT_EQ(0, ::stat(path.c_str(), &status));
      dir.writeFile(".f.err.lyrsa-journal", "lyrsa-journal 1\ndevice " + std::to_string(status.st_dev) +
                                                "\ninode " + std::to_string(status.st_ino) +
                                                "\nlength 16\nappending 4\nbefore 1\nbegins 7461696c\n");
      break;
    }
    }
    dir.writeFile("f.err", c.found);
    dir.writeFile(".f.err.lyrsa-journal.new", "lyrsa-journal 2\ndev");
    const std::string journalBefore = stateOf(journal);
    const std::string elsewhereBefore = stateOf(elsewhere);
    platform::setWriteFault(c.fault);
    const OpenFile file(path, c.writeOnly ? O_WRONLY : O_RDWR);
    ASSERT_GE(file.fd(), 0);

    const std::optional<platform::AppendRecovery> inspected = platform::inspectAppend(journal, file.fd());
    EXPECT_EQ(outcomeName(c.inspected), outcomeName(inspected));
    EXPECT_EQ(c.found, test_support::readFile(path)) << "the inspection changes nothing";
    EXPECT_EQ(journalBefore, stateOf(journal)) << "the inspection changes nothing";
    EXPECT_TRUE(std::filesystem::exists(journal + ".new")) << "the inspection changes nothing";

    const std::optional<platform::AppendRecovery> recovery = platform::recoverAppend(journal, file.fd());
    ASSERT_EQ(outcomeName(c.outcome), outcomeName(recovery));
    EXPECT_EQ(c.after, test_support::readFile(path));
    EXPECT_EQ(c.journalKept, std::filesystem::exists(std::filesystem::symlink_status(journal)));
    if (c.journalKept) {
      EXPECT_EQ(journalBefore, stateOf(journal));
    }
    EXPECT_FALSE(std::filesystem::exists(journal + ".new")) << "a journal half written goes";
    EXPECT_EQ(elsewhereBefore, stateOf(elsewhere)) << "a journal is not followed through a link";
    if (recovery) {
      EXPECT_EQ(journal, recovery->journal);
      EXPECT_EQ(c.difference, recovery->difference);
      EXPECT_EQ(c.distrust, recovery->distrust);
      EXPECT_EQ(c.error, recovery->error);
      EXPECT_EQ(c.removeError, recovery->removeError);
      EXPECT_EQ(c.fails, recovery->fails());
      EXPECT_EQ(c.found.size(), recovery->found);
      if (c.journal == Journal::trusted) {
        EXPECT_EQ(c.before.size(), recovery->length);
        EXPECT_EQ(c.appended.size(), recovery->appending);
        EXPECT_EQ(c.whole, recovery->wholeAppend());
      }
    }
    if (c.later) {
      platform::setWriteFault(std::nullopt);
      const OpenFile again(path);
      EXPECT_EQ(outcomeName(c.later), outcomeName(platform::recoverAppend(journal, again.fd())))
          << "a later run";
      EXPECT_EQ(c.before, test_support::readFile(path)) << "a later run";
      EXPECT_FALSE(std::filesystem::exists(journal)) << "a later run";
    }
  }
}

// A journal counts when its owner is the file's, this process's user or
// root; another user's goes, and the file stays as it is.
TEST_F(AppendProtocolTest, RecoveryTrustsOnlyJournalsOfTheFilesOwner) {
  if (::geteuid() != 0)
    GTEST_SKIP() << "giving a file to another user needs root";
  const uid_t other = 12345;
  const struct {
    const char *what;
    bool fileOfOther;
    bool journalOfOther;
    Outcome outcome;
    std::string after;
  } cases[] = {
      {"the journal of another user", false, true, Outcome::untrusted, head + "ta"},
      {"the journal of the file's owner, another user", true, true, Outcome::putBack, head},
      {"root's journal of another user's file", true, false, Outcome::putBack, head},
  };
  for (const auto &c : cases) {
    const test_support::ScratchDirectory dir;
    const std::string path = dir.writeFile("f.err", head);
    const std::string journal = platform::appendJournalPath(path);
    ASSERT_TRUE(journalAppend(path, "tail")) << c.what;
    dir.writeFile("f.err", head + "ta");
    if (c.fileOfOther) {
      ASSERT_EQ(0, ::chown(path.c_str(), other, other)) << c.what;
    }
    if (c.journalOfOther) {
      ASSERT_EQ(0, ::chown(journal.c_str(), other, other)) << c.what;
    }
    const OpenFile file(path);
    const std::optional<platform::AppendRecovery> recovery = platform::recoverAppend(journal, file.fd());
    ASSERT_TRUE(recovery) << c.what;
    EXPECT_EQ(outcomeName(c.outcome), outcomeName(recovery)) << c.what;
    if (c.outcome == Outcome::untrusted) {
      EXPECT_EQ(Distrust::owner, recovery->distrust) << c.what;
      EXPECT_EQ(other, recovery->owner) << c.what;
    }
    EXPECT_FALSE(recovery->fails()) << c.what;
    EXPECT_EQ(c.after, test_support::readFile(path)) << c.what;
    EXPECT_FALSE(std::filesystem::exists(journal)) << c.what;
  }
}

// A journal is written whole under a name of its own, exclusively, and then
// renamed into place: what stood at that name before is not written
// through, and no one else may write the journal, whatever the umask.
TEST_F(AppendProtocolTest, WritesAJournal) {
  const platform::AppendJournalEntry entry{1, 2, 4, 6, 3, "abcdef", {}, ""};
  const std::string text = "lyrsa-journal 2\ndevice 1\ninode 2\nlength 4\nappending 6\nbefore 3\n"
                           "head 616263646566\nblocks \n";
  enum class Beforehand { nothing, staleNew, newLinkedElsewhere, olderJournal };
  const struct {
    const char *what;
    Beforehand beforehand;
    mode_t umask;
  } cases[] = {
      {"nothing there", Beforehand::nothing, 022},
      {"nothing there, umask 0", Beforehand::nothing, 0},
      {"a journal half written", Beforehand::staleNew, 022},
      {"a half-written name that links elsewhere", Beforehand::newLinkedElsewhere, 0},
      {"the journal of an earlier append", Beforehand::olderJournal, 0},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    const test_support::ScratchDirectory dir;
    const std::string journal = dir / ".f.err.lyrsa-journal";
    const std::string elsewhere = dir.writeFile("elsewhere", "precious");
    if (c.beforehand == Beforehand::staleNew)
      dir.writeFile(".f.err.lyrsa-journal.new",
                    "lyrsa-journal 2\ndevice 1\ninode 2\nlength 4\nappending 600");
    else if (c.beforehand == Beforehand::newLinkedElsewhere)
      std::filesystem::create_symlink(elsewhere, journal + ".new");
    else if (c.beforehand == Beforehand::olderJournal)
      dir.writeFile(".f.err.lyrsa-journal", "lyrsa-journal 2\nolder");
    const mode_t saved = ::umask(c.umask);
    const Writing writing = platform::writeAppendJournal(journal, entry, -1);
    ::umask(saved);
    EXPECT_EQ(Writing::written, writing);
    EXPECT_EQ(text, test_support::readFile(journal));
    struct stat status {};
    ASSERT_EQ(0, ::lstat(journal.c_str(), &status));
    EXPECT_TRUE(S_ISREG(status.st_mode));
    EXPECT_EQ(0u, status.st_mode & 07777 & ~mode_t{0644}) << "mode " << (status.st_mode & 07777);
    EXPECT_EQ("precious", test_support::readFile(elsewhere));
    EXPECT_EQ((std::vector<std::string>{".f.err.lyrsa-journal", "elsewhere"}), listing(dir.path()));
  }
}

// A journal that cannot be made leaves nothing of itself, and the append may
// go in without one; one that reached its name but is not known to be on
// disk stays, and the append must not begin.
TEST_F(AppendProtocolTest, AJournalThatIsNotWritten) {
  const platform::AppendJournalEntry entry{1, 2, 4, 6, 3, "abcdef", {}, ""};
  const std::string journal = m_dir / ".f.err.lyrsa-journal";
  const struct {
    const char *what;
    std::string journal;
    platform::WriteFault fault;
    Writing writing;
    int error;
    std::vector<std::string> left;
  } cases[] = {
      // Root may write any directory: a missing one stands for one that may
      // not be written.
      {"a missing directory", m_dir / "missing/.f.err.lyrsa-journal", {}, Writing::cannotMake, ENOENT, {}},
      {"a directory at the name it is written under",
       journal,
       {},
       Writing::cannotMake,
       EEXIST,
       {".f.err.lyrsa-journal.new"}},
      {"the sync of the directory fails",
       journal,
       {.directorySyncFails = true},
       Writing::failed,
       EIO,
       {".f.err.lyrsa-journal"}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(journal);
    std::filesystem::remove_all(journal + ".new");
    if (c.writing == Writing::cannotMake && c.error == EEXIST)
      std::filesystem::create_directory(journal + ".new");
    platform::setWriteFault(c.fault);
    errno = 0;
    EXPECT_EQ(static_cast<int>(c.writing),
              static_cast<int>(platform::writeAppendJournal(c.journal, entry, -1)));
    EXPECT_EQ(c.error, errno);
    EXPECT_EQ(c.left, listing(m_dir.path()));
    if (c.writing == Writing::failed) {
      EXPECT_TRUE(platform::parseAppendJournal(test_support::readFile(journal))) << "whole where it stays";
    }
  }
}

// A journal whose bytes cannot all be written (here past a file-size limit)
// leaves nothing of itself. Run in a child, as the limit is the process's.
TEST(AppendProtocolDeathTest, AJournalPastTheFileSizeLimitIsNotWritten) {
  GTEST_FLAG_SET(death_test_style, "fast");
  const test_support::ScratchDirectory dir;
  const std::string journal = dir / ".f.err.lyrsa-journal";
  const platform::AppendJournalEntry entry{1, 2, 4, 6, 3, "abcdef", {}, ""};
  EXPECT_EXIT(
      {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit {};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 32; // less than a journal
        ::setrlimit(RLIMIT_FSIZE, &limit);
        errno = 0;
        const Writing writing = platform::writeAppendJournal(journal, entry, -1);
        const int error = errno;
        tell((writing == Writing::notWritten ? "notWritten" : "another result") +
             std::string(error == EFBIG ? ", EFBIG" : ", another errno") + "\n");
        std::_Exit(0);
      },
      testing::ExitedWithCode(0), "^notWritten, EFBIG\n$");
  EXPECT_EQ(std::vector<std::string>{}, listing(dir.path()));
}

TEST_F(AppendProtocolTest, FewGuardsAtOnce) {
  platform::AppendTarget target;
  target.path = m_dir / "x";
  std::vector<int> ids;
  for (int id = platform::guardAppend(target); id >= 0; id = platform::guardAppend(target))
    ids.push_back(id);
  EXPECT_FALSE(ids.empty());
  EXPECT_LT(ids.size(), 100u);
  for (int id : ids)
    platform::releaseAppend(id);
  platform::releaseAppend(-1);
  const int again = platform::guardAppend(target);
  EXPECT_GE(again, 0) << "a released guard is free again";
  platform::releaseAppend(again);
  target.path = std::string(100000, 'x');
  EXPECT_EQ(-1, platform::guardAppend(target)) << "a name too long";
}

TEST(AppendProtocolTextTest, PutBackFailureText) {
  const struct {
    const char *journal;
    std::uint64_t length;
    std::string text;
  } cases[] = {
      {"/d/.f.err.lyrsa-journal", 1234,
       "Cannot put file '/d/f.err' back to its length of 1234 bytes; its journal '/d/.f.err.lyrsa-journal' "
       "is "
       "kept, so that a later run puts it back."},
      {nullptr, 0, "Cannot put file '/d/f.err' back to its length of 0 bytes."},
      {nullptr, UINT64_MAX, "Cannot put file '/d/f.err' back to its length of 18446744073709551615 bytes."},
  };
  for (const auto &c : cases) {
    // Every size of buffer, from none to more than enough: the text is cut to
    // it, ends with a NUL, and nothing past the buffer is touched.
    for (std::size_t size = 0; size <= c.text.size() + 2; ++size) {
      std::string buffer(size + 8, '#');
      const std::size_t length =
          platform::putBackFailureText(buffer.data(), size, "/d/f.err", c.length, c.journal);
      const std::size_t expected = size == 0 ? 0 : std::min(size - 1, c.text.size());
      ASSERT_EQ(expected, length) << c.text << ", buffer of " << size;
      EXPECT_EQ(c.text.substr(0, expected), buffer.substr(0, length)) << c.text << ", buffer of " << size;
      if (size > 0) {
        EXPECT_EQ('\0', buffer[length]) << c.text << ", buffer of " << size;
      }
      EXPECT_EQ(std::string(8, '#'), buffer.substr(size)) << c.text << ", buffer of " << size;
    }
  }
}

} // namespace
