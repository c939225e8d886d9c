#include "platform/AppendProtocol.h"

#include "platform/AppendJournal.h"
#include "platform/Leftovers.h"
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
#include <functional>
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
  case Outcome::otherNames:
    return "otherNames";
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
  return entry && platform::writeAppendJournal(platform::appendJournalPath(path), *entry, file.fd(), -1) ==
                      Writing::written;
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
// the case has it, a journal half written beside it, and a second name when
// the case gives it one. inspectAppend tells what recoverAppend would do and
// changes nothing; an opening first removes what dead runs left
// (removeLeftovers), then recoverAppend cuts the file only when the journal
// is one a run on it wrote, every byte after the recorded length is the
// append's own, and the file has no other name.
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
  // A second name of the file: none, one in another directory, or the
  // making name that a maker which died after naming the file left.
  enum class SecondName { none, elsewhere, making };
  struct Case {
    const char *what;
    std::string before = head;
    std::string appended = "tail";
    std::string found{};
    Journal journal = Journal::trusted;
    SecondName secondName = SecondName::none;
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
      {.what = "part appended to a file with a second name",
       .found = head + "ta",
       .secondName = SecondName::elsewhere,
       .inspected = Outcome::otherNames,
       .outcome = Outcome::otherNames,
       .after = head + "ta"},
      {.what = "all appended to a file with a second name",
       .found = head + "tail",
       .secondName = SecondName::elsewhere,
       .inspected = Outcome::otherNames,
       .outcome = Outcome::otherNames,
       .whole = true,
       .after = head + "tail"},
      {.what = "nothing appended to a file with a second name",
       .found = head,
       .secondName = SecondName::elsewhere,
       .inspected = Outcome::nothingAppended,
       .outcome = Outcome::nothingAppended,
       .after = head},
      {.what = "part appended, a dead maker's second name beside",
       .found = head + "ta",
       .secondName = SecondName::making,
       .inspected = Outcome::otherNames,
       .outcome = Outcome::putBack,
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
    if (c.secondName == SecondName::elsewhere) {
      dir.makeDirectory("other");
      std::filesystem::create_hard_link(path, dir / "other/f.err");
    } else if (c.secondName == SecondName::making) {
      std::filesystem::create_hard_link(path, platform::makingName(path));
    }
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

    platform::removeLeftovers(path, path, journal, file.fd());
    EXPECT_FALSE(std::filesystem::exists(journal + ".new")) << "a journal half written goes";
    EXPECT_FALSE(std::filesystem::exists(platform::makingName(path))) << "a dead maker's name goes";
    const std::optional<platform::AppendRecovery> recovery = platform::recoverAppend(journal, file.fd());
    ASSERT_EQ(outcomeName(c.outcome), outcomeName(recovery));
    EXPECT_EQ(c.after, test_support::readFile(path));
    EXPECT_EQ(c.journalKept, std::filesystem::exists(std::filesystem::symlink_status(journal)));
    if (c.journalKept) {
      EXPECT_EQ(journalBefore, stateOf(journal));
    }
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

// A journal is written whole, then put in place under its name: a first one
// from a file without a name, one that replaces the journal of an earlier
// append under a name of its own first, exclusively; on a file system that
// makes no file without a name, every one goes through that name. What
// stands there (a journal half written, a link elsewhere, a directory that
// cannot be removed) is never written through and does not keep the journal
// from being written: where it cannot be removed, a name of this process's
// own takes its place. A dead run's half-written journal is removed by the
// opening, not here, unless the name is needed.
TEST_F(AppendProtocolTest, WritesAJournal) {
  const platform::AppendJournalEntry entry{1, 2, 4, 6, 3, "abcdef", {}, ""};
  const std::string text = "lyrsa-journal 2\ndevice 1\ninode 2\nlength 4\nappending 6\nbefore 3\n"
                           "head 616263646566\nblocks \n";
  enum class Beforehand { nothing, staleNew, newLinkedElsewhere, newTaken };
  const struct {
    const char *what;
    Beforehand beforehand;
    bool olderJournal;    // the journal of an earlier append is there
    bool unnamedFiles;    // the file system makes files without a name
    bool writingNameLeft; // what stood at "<journal>.new" stays
  } cases[] = {
      {"nothing there", Beforehand::nothing, false, true, false},
      {"a journal half written", Beforehand::staleNew, false, true, true},
      {"a half-written name that links elsewhere", Beforehand::newLinkedElsewhere, false, true, true},
      {"a directory at the writing name", Beforehand::newTaken, false, true, true},
      {"the journal of an earlier append", Beforehand::nothing, true, true, false},
      {"an earlier journal, a journal half written", Beforehand::staleNew, true, true, false},
      {"an earlier journal, a directory at the writing name", Beforehand::newTaken, true, true, true},
      {"no unnamed files, nothing there", Beforehand::nothing, false, false, false},
      {"no unnamed files, a journal half written", Beforehand::staleNew, false, false, false},
      {"no unnamed files, a link elsewhere", Beforehand::newLinkedElsewhere, false, false, false},
      {"no unnamed files, a directory at the writing name", Beforehand::newTaken, false, false, true},
      {"no unnamed files, an earlier journal, a directory there", Beforehand::newTaken, true, false, true},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    const test_support::ScratchDirectory dir;
    const std::string path = dir.writeFile("f.err", "file");
    const std::string journal = dir / ".f.err.lyrsa-journal";
    const std::string elsewhere = dir.writeFile("elsewhere", "precious");
    if (c.beforehand == Beforehand::staleNew)
      dir.writeFile(".f.err.lyrsa-journal.new",
                    "lyrsa-journal 2\ndevice 1\ninode 2\nlength 4\nappending 600");
    else if (c.beforehand == Beforehand::newLinkedElsewhere)
      std::filesystem::create_symlink(elsewhere, journal + ".new");
    else if (c.beforehand == Beforehand::newTaken)
      dir.makeDirectory(".f.err.lyrsa-journal.new");
    if (c.olderJournal)
      dir.writeFile(".f.err.lyrsa-journal", "lyrsa-journal 2\nolder");
    platform::setWriteFault(platform::WriteFault{.noUnnamedFiles = !c.unnamedFiles});
    const OpenFile file(path);
    EXPECT_EQ(Writing::written, platform::writeAppendJournal(journal, entry, file.fd(), -1));
    EXPECT_EQ(text, test_support::readFile(journal));
    struct stat status {};
    ASSERT_EQ(0, ::lstat(journal.c_str(), &status));
    EXPECT_TRUE(S_ISREG(status.st_mode));
    EXPECT_EQ(1u, status.st_nlink) << "a name it was written under stays";
    EXPECT_EQ("precious", test_support::readFile(elsewhere));
    std::vector<std::string> expected{".f.err.lyrsa-journal", "elsewhere", "f.err"};
    if (c.writingNameLeft)
      expected.insert(expected.begin() + 1, ".f.err.lyrsa-journal.new");
    EXPECT_EQ(expected, listing(dir.path()));
  }
}

// The journal holds the first bytes of the findings: it gets no permission
// that the file lacks, whatever the umask, and never a permission to write
// for anyone but its owner, who may read and write it. It gets the file's
// group, so that the group that may read the file may read it.
TEST_F(AppendProtocolTest, TheJournalIsNoMoreOpenThanTheFile) {
  const platform::AppendJournalEntry entry{1, 2, 4, 6, 3, "abcdef", {}, ""};
  const struct {
    mode_t file;
    mode_t journal;
  } cases[] = {
      {0644, 0644}, {0600, 0600}, {0640, 0640}, {0604, 0604}, {0664, 0644},
      {0666, 0644}, {0660, 0640}, {0400, 0600}, {0000, 0600}, {0777, 0644},
  };
  // Root gives the file another group, which the journal then gets.
  const bool otherGroup = ::geteuid() == 0;
  const gid_t group = 12345;
  for (const mode_t umask : {mode_t{022}, mode_t{0}, mode_t{077}}) {
    for (const auto &c : cases) {
      SCOPED_TRACE("file mode " + std::to_string(c.file) + " (octal " + std::to_string(c.file >> 6) +
                   std::to_string(c.file >> 3 & 7) + std::to_string(c.file & 7) + "), umask " +
                   std::to_string(umask));
      const test_support::ScratchDirectory dir;
      const std::string path = dir.writeFile("f.err", "file");
      if (otherGroup) {
        ASSERT_EQ(0, ::chown(path.c_str(), static_cast<uid_t>(-1), group));
      }
      ASSERT_EQ(0, ::chmod(path.c_str(), c.file));
      const std::string journal = dir / ".f.err.lyrsa-journal";
      const OpenFile file(path, O_RDONLY);
      const mode_t saved = ::umask(umask);
      const Writing writing = platform::writeAppendJournal(journal, entry, file.fd(), -1);
      ::umask(saved);
      ASSERT_EQ(Writing::written, writing);
      struct stat status {};
      ASSERT_EQ(0, ::stat(journal.c_str(), &status));
      EXPECT_EQ(c.journal, status.st_mode & 07777)
          << "octal " << (status.st_mode >> 6 & 7) << (status.st_mode >> 3 & 7) << (status.st_mode & 7);
      if (otherGroup) {
        EXPECT_EQ(group, status.st_gid);
      }
    }
  }
}

// Where no journal can be made beside the file at all (here: a name too long
// for one more dot and suffix; a directory that may not be written is the
// other case, which root cannot meet), nothing is left of it and the append
// may go in without one. Any failure once it is made stops the append and
// leaves nothing of it, also one with the errors of a journal that cannot be
// made (a file system that turned read-only), either way it is written; one
// that is not known to be on disk (its directory cannot be synced) stays for
// the guard's put-back, which there is none of here.
TEST_F(AppendProtocolTest, AJournalThatIsNotWritten) {
  const platform::AppendJournalEntry entry{1, 2, 4, 6, 3, "abcdef", {}, ""};
  const std::string longName(250, 'f');
  const struct {
    const char *what;
    std::string file;
    platform::WriteFault fault;
    Writing writing;
    int error;
    std::vector<std::string> left;
  } cases[] = {
      {"a name too long for the journal", longName, {}, Writing::cannotMake, ENAMETOOLONG, {longName}},
      {"a name too long, no files without a name",
       longName,
       {.noUnnamedFiles = true},
       Writing::cannotMake,
       ENAMETOOLONG,
       {longName}},
      {"the journal's sync fails", "f.err", {.journalSyncFails = true}, Writing::failed, EROFS, {"f.err"}},
      {"the journal's sync fails, no files without a name",
       "f.err",
       {.noUnnamedFiles = true, .journalSyncFails = true},
       Writing::failed,
       EROFS,
       {"f.err"}},
      {"closing the journal fails", "f.err", {.journalCloseFails = true}, Writing::failed, EROFS, {"f.err"}},
      {"closing the journal fails, no files without a name",
       "f.err",
       {.noUnnamedFiles = true, .journalCloseFails = true},
       Writing::failed,
       EROFS,
       {"f.err"}},
      {"the sync of the directory fails",
       "f.err",
       {.directorySyncFails = true},
       Writing::failed,
       EIO,
       {".f.err.lyrsa-journal", "f.err"}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    const test_support::ScratchDirectory dir;
    const std::string path = dir.writeFile(c.file, "file");
    const std::string journal = platform::appendJournalPath(path);
    const OpenFile file(path);
    platform::setWriteFault(c.fault);
    errno = 0;
    EXPECT_EQ(static_cast<int>(c.writing),
              static_cast<int>(platform::writeAppendJournal(journal, entry, file.fd(), -1)));
    EXPECT_EQ(c.error, errno);
    EXPECT_EQ(c.left, listing(dir.path()));
    if (c.left.size() > 1) {
      EXPECT_TRUE(platform::parseAppendJournal(test_support::readFile(journal))) << "whole where it stays";
    }
  }
}

// A full file system (no inode left, on a small file system of its own)
// stops the append: the journal is not made, and nothing is left of it.
TEST_F(AppendProtocolTest, AJournalOnAFullFileSystem) {
  const test_support::SmallFileSystem full(m_dir.makeDirectory("full"), 3);
  if (!full.mounted())
    GTEST_SKIP() << "cannot mount a small file system here";
  const std::string mount = full.path();
  const std::string path = m_dir.writeFile("full/f.err", "file");
  // The root directory and the file: one inode left, which a filler takes.
  m_dir.writeFile("full/filler", "");
  const platform::AppendJournalEntry entry{1, 2, 4, 6, 3, "abcdef", {}, ""};
  {
    const OpenFile file(path);
    errno = 0;
    EXPECT_EQ(static_cast<int>(Writing::failed),
              static_cast<int>(
                  platform::writeAppendJournal(platform::appendJournalPath(path), entry, file.fd(), -1)));
    EXPECT_EQ(ENOSPC, errno);
  }
  EXPECT_EQ((std::vector<std::string>{"f.err", "filler"}), listing(mount));
}

// A journal whose bytes cannot all be written (here past a file-size limit)
// leaves nothing of itself. Run in a child, as the limit is the process's.
TEST(AppendProtocolDeathTest, AJournalPastTheFileSizeLimitIsNotWritten) {
  GTEST_FLAG_SET(death_test_style, "fast");
  const test_support::ScratchDirectory dir;
  const std::string path = dir.writeFile("f.err", "file");
  const std::string journal = dir / ".f.err.lyrsa-journal";
  const platform::AppendJournalEntry entry{1, 2, 4, 6, 3, "abcdef", {}, ""};
  EXPECT_EXIT(
      {
        const OpenFile file(path);
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit {};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 32; // less than a journal
        ::setrlimit(RLIMIT_FSIZE, &limit);
        errno = 0;
        const Writing writing = platform::writeAppendJournal(journal, entry, file.fd(), -1);
        const int error = errno;
        tell((writing == Writing::failed ? "failed" : "another result") +
             std::string(error == EFBIG ? ", EFBIG" : ", another errno") + "\n");
        std::_Exit(0);
      },
      testing::ExitedWithCode(0), "^failed, EFBIG\n$");
  EXPECT_EQ(std::vector<std::string>{"f.err"}, listing(dir.path()));
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

// The lines that a put-back writes, also from a signal handler: each cut to
// the buffer it is given.
TEST(AppendProtocolTextTest, PutBackTexts) {
  using Write = std::function<std::size_t(char *, std::size_t)>;
  const struct {
    Write write;
    std::string text;
  } cases[] = {
      {[](char *buffer, std::size_t size) {
         return platform::putBackFailureText(buffer, size, "/d/f.err", 1234, "/d/.f.err.lyrsa-journal");
       },
       "Cannot put file '/d/f.err' back to its length of 1234 bytes; its journal '/d/.f.err.lyrsa-journal' "
       "is "
       "kept, so that a later run puts it back."},
      {[](char *buffer, std::size_t size) {
         return platform::putBackFailureText(buffer, size, "/d/f.err", 0, nullptr);
       },
       "Cannot put file '/d/f.err' back to its length of 0 bytes."},
      {[](char *buffer, std::size_t size) {
         return platform::putBackFailureText(buffer, size, "/d/f.err", UINT64_MAX, nullptr);
       },
       "Cannot put file '/d/f.err' back to its length of 18446744073709551615 bytes."},
      {[](char *buffer, std::size_t size) {
         return platform::putBackSyncFailureText(buffer, size, "/d/f.err", 13, EIO,
                                                 "/d/.f.err.lyrsa-journal");
       },
       "Cannot sync error file '/d/f.err' after putting it back to its length of 13 bytes (Input/output "
       "error); its journal '/d/.f.err.lyrsa-journal' is kept, so that a later run puts it back."},
      {[](char *buffer, std::size_t size) {
         return platform::putBackSyncFailureText(buffer, size, "/d/f.err", 13, ENOSPC, nullptr);
       },
       "Cannot sync error file '/d/f.err' after putting it back to its length of 13 bytes (No space left on "
       "device)."},
      {[](char *buffer, std::size_t size) {
         return platform::otherWriterText(buffer, size, "/d/f.err", 178, true);
       },
       "Warning - File '/d/f.err' holds this run's findings followed by another writer's bytes; it is left "
       "as "
       "it is, not put back to its 178 bytes."},
      {[](char *buffer, std::size_t size) {
         return platform::otherWriterText(buffer, size, "/d/f.err", 178, false);
       },
       "Warning - File '/d/f.err' was changed by another writer while this run added to it; it is left as it "
       "is, not put back to its 178 bytes."},
  };
  for (const auto &c : cases) {
    // Every size of buffer, from none to more than enough: the text is cut to
    // it, ends with a NUL, and nothing past the buffer is touched.
    for (std::size_t size = 0; size <= c.text.size() + 2; ++size) {
      std::string buffer(size + 8, '#');
      const std::size_t length = c.write(buffer.data(), size);
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
