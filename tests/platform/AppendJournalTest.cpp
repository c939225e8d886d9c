#include "platform/AppendJournal.h"

#include "support/ScratchDirectory.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Outcome = platform::AppendRecovery::Outcome;
using Difference = platform::AppendRecovery::Difference;

// A descriptor open for reading and writing, closed at the end of the scope.
class OpenFile {
public:
  explicit OpenFile(const std::string &path) : m_fd(::open(path.c_str(), O_RDWR | O_CLOEXEC)) {}
  ~OpenFile() {
    if (m_fd >= 0)
      ::close(m_fd);
  }
  OpenFile(const OpenFile &) = delete;
  OpenFile &operator=(const OpenFile &) = delete;

  int fd() const { return m_fd; }

private:
  int m_fd;
};

std::string describe(const platform::AppendJournalEntry &entry) {
  return "device " + std::to_string(entry.device) + ", inode " + std::to_string(entry.inode) + ", length " +
         std::to_string(entry.length) + ", appending " + std::to_string(entry.appending) + ", before " +
         std::to_string(entry.before) + ", begins of " + std::to_string(entry.begins.size()) + " bytes";
}

bool sameEntry(const platform::AppendJournalEntry &a, const platform::AppendJournalEntry &b) {
  return a.device == b.device && a.inode == b.inode && a.length == b.length && a.appending == b.appending &&
         a.before == b.before && a.begins == b.begins;
}

// A whole journal as the writer lays it out, written here byte for byte.
const std::string validJournal = "lyrsa-journal 1\n"
                                 "device 2049\n"
                                 "inode 131\n"
                                 "length 4\n"
                                 "appending 6\n"
                                 "before 12345678901234567890\n"
                                 "begins 00ff41\n";

TEST(AppendJournalTest, JournalPath) {
  const struct {
    std::string path;
    std::string journal;
  } cases[] = {
      {"f.err", ".f.err.lyrsa-journal"},
      {"out/sub/f.err", "out/sub/.f.err.lyrsa-journal"},
      {"/f.err", "/.f.err.lyrsa-journal"},
      {"/tmp/.hidden", "/tmp/..hidden.lyrsa-journal"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(c.journal, platform::appendJournalPath(c.path)) << c.path;
}

// What the writer records is read back field for field, and laid out as the
// reader expects it.
TEST(AppendJournalTest, WrittenEntriesReadBack) {
  const test_support::ScratchDirectory dir;
  const std::string journal = dir / ".f.err.lyrsa-journal";
  const struct {
    const char *what;
    platform::AppendJournalEntry entry;
  } cases[] = {
      {"bytes 00 and ff",
       {2049, 131, 4, 6, 12345678901234567890u,
        std::string("\0\xff"
                    "A",
                    3)}},
      {"nothing noted of the append", {1, 2, 0, 0, 0, ""}},
      {"largest numbers", {UINT64_MAX, UINT64_MAX, UINT64_MAX, UINT64_MAX, UINT64_MAX, "x"}},
      {"64 bytes noted", {7, 8, 9, 10, 11, std::string(64, '\x80')}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(platform::writeAppendJournal(journal, c.entry)) << std::strerror(errno);
    EXPECT_FALSE(std::filesystem::exists(journal + ".new"));
    const std::optional<platform::AppendJournalEntry> read = platform::readAppendJournal(journal);
    ASSERT_TRUE(read);
    EXPECT_TRUE(sameEntry(c.entry, *read)) << describe(*read);
  }
  ASSERT_TRUE(platform::writeAppendJournal(journal, {2049, 131, 4, 6, 12345678901234567890u,
                                                     std::string("\0\xff"
                                                                 "A",
                                                                 3)}));
  EXPECT_EQ(validJournal, test_support::readFile(journal));
  EXPECT_TRUE(platform::removeAppendJournal(journal));
  EXPECT_FALSE(std::filesystem::exists(journal));
  EXPECT_FALSE(platform::removeAppendJournal(journal));
  EXPECT_EQ(ENOENT, errno);
}

// Where the journal cannot be made, nothing of it is left.
TEST(AppendJournalTest, AJournalThatCannotBeMadeLeavesNothing) {
  const test_support::ScratchDirectory dir;
  const std::string blocked = dir / ".blocked.lyrsa-journal";
  std::filesystem::create_directory(blocked + ".new");
  const struct {
    std::string journal;
    int error;
  } cases[] = {
      {dir / "missing/.f.lyrsa-journal", ENOENT},
      {blocked, EISDIR},
  };
  for (const auto &c : cases) {
    errno = 0;
    EXPECT_FALSE(platform::writeAppendJournal(c.journal, {1, 2, 3, 4, 5, "b"})) << c.journal;
    EXPECT_EQ(c.error, errno) << c.journal;
    EXPECT_FALSE(std::filesystem::exists(c.journal)) << c.journal;
  }
}

TEST(AppendJournalTest, ReadsOnlyWholeEntries) {
  const test_support::ScratchDirectory dir;
  const std::string path = dir / "journal";
  const auto replaced = [](std::string from, std::string to) {
    std::string text = validJournal;
    const std::size_t at = text.find(from);
    return at == std::string::npos ? std::string("(not found: " + from + ")")
                                   : text.replace(at, from.size(), to);
  };
  const struct {
    const char *what;
    std::optional<std::string> bytes; // nothing: made in the loop
  } cases[] = {
      {"missing", std::nullopt},
      {"directory", std::nullopt},
      {"FIFO", std::nullopt},
      {"link to a whole journal", std::nullopt},
      {"empty", ""},
      {"another version", replaced("journal 1", "journal 2")},
      {"no header", validJournal.substr(std::strlen("lyrsa-journal 1\n"))},
      {"a field missing", replaced("before 12345678901234567890\n", "")},
      {"fields out of order", replaced("device 2049\ninode 131\n", "inode 131\ndevice 2049\n")},
      {"another key", replaced("length 4", "size 4")},
      {"no space after the key", replaced("length 4", "length4")},
      {"two spaces after the key", replaced("length 4", "length  4")},
      {"no number", replaced("length 4", "length ")},
      {"a sign", replaced("length 4", "length +4")},
      {"a negative number", replaced("length 4", "length -4")},
      {"trailing garbage", replaced("length 4", "length 4x")},
      {"a carriage return", replaced("length 4\n", "length 4\r\n")},
      {"overflow", replaced("length 4", "length 18446744073709551616")},
      {"odd hex digits", replaced("begins 00ff41", "begins 00ff4")},
      {"capital hex digits", replaced("begins 00ff41", "begins 00FF41")},
      {"no hex digit", replaced("begins 00ff41", "begins 00fg41")},
      {"65 bytes noted", replaced("begins 00ff41", "begins " + std::string(130, 'a'))},
      {"text after the last field", validJournal + "x"},
      {"a line after the last field", validJournal + "\n"},
      {"a long tail", validJournal + std::string(5000, ' ')},
  };
  const std::string whole = dir.writeFile("whole", validJournal);
  ASSERT_TRUE(platform::readAppendJournal(whole)) << "the file that the cases change";
  ASSERT_TRUE(platform::readAppendJournal(
      dir.writeFile("most", replaced("begins 00ff41", "begins " + std::string(128, 'a')))))
      << "64 bytes noted";
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(path);
    const std::string what = c.what;
    if (c.bytes)
      dir.writeFile("journal", *c.bytes);
    else if (what == "directory")
      std::filesystem::create_directory(path);
    else if (what == "FIFO")
      ASSERT_EQ(0, ::mkfifo(path.c_str(), 0600));
    else if (what == "link to a whole journal")
      std::filesystem::create_symlink(whole, path);
    EXPECT_FALSE(platform::readAppendJournal(path)) << (c.bytes ? *c.bytes : what);
  }
  // A journal cut anywhere, as a write that did not end would leave it.
  for (std::size_t size = 0; size < validJournal.size(); ++size) {
    const std::string cut = validJournal.substr(0, size);
    dir.writeFile("journal", cut);
    EXPECT_FALSE(platform::readAppendJournal(path)) << "cut after " << size << " bytes: " << cut;
  }
}

// The journal is made against the file as it is ("before") for an append of
// "appended"; the file is then made as it is found, on the same inode or on
// another file's.
TEST(AppendJournalTest, RecoveryFollowsTheJournal) {
  const std::string head = "head: some bytes before the append point";
  const std::string longTail(200, 't');
  struct Case {
    const char *what;
    std::string before;
    std::string appended;
    std::string found;
    bool anotherInode;
    std::optional<Outcome> outcome; // nothing: no recovery
    Difference difference;
    std::string after;
  };
  const Case cases[] = {
      {"nothing appended", head, "tail", head, false, std::nullopt, Difference::none, head},
      {"part appended", head, "tail", head + "ta", false, Outcome::putBack, Difference::none, head},
      {"all appended", head, "tail", head + "tail", false, Outcome::putBack, Difference::none, head},
      {"part of a file that was empty", "", "tail", "ta", false, Outcome::putBack, Difference::none, ""},
      {"part of a long append", head, longTail, head + longTail.substr(0, 100), false, Outcome::putBack,
       Difference::none, head},
      {"shorter", head, "tail", head.substr(0, 10), false, Outcome::leftAlone, Difference::shorter,
       head.substr(0, 10)},
      {"longer", head, "tail", head + "tail!", false, Outcome::leftAlone, Difference::longer, head + "tail!"},
      {"another file", head, "tail", head + "ta", true, Outcome::leftAlone, Difference::anotherFile,
       head + "ta"},
      {"other bytes before the append point", head, "tail", "HEAD" + head.substr(4) + "ta", false,
       Outcome::leftAlone, Difference::anotherFile, "HEAD" + head.substr(4) + "ta"},
      {"other bytes after the append point", head, "tail", head + "tA", false, Outcome::leftAlone,
       Difference::anotherFile, head + "tA"},
      {"other bytes in all of the append", head, "tail", head + "taiL", false, Outcome::leftAlone,
       Difference::anotherFile, head + "taiL"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    const test_support::ScratchDirectory dir;
    const std::string path = dir.writeFile("f.err", c.before);
    const std::string journal = platform::appendJournalPath(path);
    {
      const OpenFile file(path);
      ASSERT_GE(file.fd(), 0);
      const std::optional<platform::AppendJournalEntry> entry =
          platform::describeAppend(file.fd(), c.before.size(), c.appended.size(), c.appended);
      ASSERT_TRUE(entry);
      ASSERT_TRUE(platform::writeAppendJournal(journal, *entry));
    }
    const std::string found =
        c.anotherInode ? dir.writeFile("other.err", c.found) : dir.writeFile("f.err", c.found);
    const OpenFile file(found);
    ASSERT_GE(file.fd(), 0);
    const std::optional<platform::AppendRecovery> recovery = platform::recoverAppend(journal, file.fd());
    EXPECT_EQ(c.outcome.has_value(), recovery.has_value());
    if (c.outcome && recovery) {
      EXPECT_EQ(*c.outcome, recovery->outcome);
      EXPECT_EQ(c.difference, recovery->difference);
      EXPECT_EQ(journal, recovery->journal);
      EXPECT_EQ(c.before.size(), recovery->length);
      EXPECT_EQ(c.found.size(), recovery->found);
      EXPECT_EQ(0, recovery->error);
    }
    EXPECT_EQ(c.after, test_support::readFile(found));
    EXPECT_FALSE(std::filesystem::exists(journal));
  }
}

// A journal that holds no whole entry tells of an append that never began:
// the file stays as it is and the journal goes.
TEST(AppendJournalTest, AnUnreadableJournalGoes) {
  const test_support::ScratchDirectory dir;
  const std::string path = dir.writeFile("f.err", "head and more");
  const std::string journal = dir.writeFile(".f.err.lyrsa-journal", validJournal.substr(0, 40));
  const OpenFile file(path);
  const std::optional<platform::AppendRecovery> recovery = platform::recoverAppend(journal, file.fd());
  ASSERT_TRUE(recovery);
  EXPECT_EQ(Outcome::unreadable, recovery->outcome);
  EXPECT_EQ(13u, recovery->found);
  EXPECT_EQ("head and more", test_support::readFile(path));
  EXPECT_FALSE(std::filesystem::exists(journal));
}

// A file that cannot be cut back keeps its journal, so that a later opening
// tries again.
TEST(AppendJournalTest, AFileThatCannotBeCutKeepsItsJournal) {
  const test_support::ScratchDirectory dir;
  const std::string path = dir.writeFile("f.err", "head");
  const std::string journal = platform::appendJournalPath(path);
  {
    const OpenFile file(path);
    ASSERT_TRUE(platform::writeAppendJournal(journal, *platform::describeAppend(file.fd(), 4, 4, "tail")));
  }
  dir.writeFile("f.err", "headta");
  const OpenFile file(path);
  const std::optional<platform::AppendRecovery> recovery = platform::recoverAppend(journal, file.fd(), true);
  ASSERT_TRUE(recovery);
  EXPECT_EQ(Outcome::cannotPutBack, recovery->outcome);
  EXPECT_EQ(EPERM, recovery->error);
  EXPECT_EQ(4u, recovery->length);
  EXPECT_EQ(6u, recovery->found);
  EXPECT_EQ("headta", test_support::readFile(path));
  EXPECT_TRUE(platform::readAppendJournal(journal));

  const std::optional<platform::AppendRecovery> again = platform::recoverAppend(journal, file.fd());
  ASSERT_TRUE(again);
  EXPECT_EQ(Outcome::putBack, again->outcome);
  EXPECT_EQ("head", test_support::readFile(path));
  EXPECT_FALSE(std::filesystem::exists(journal));
}

// A journal still under its temporary name was never renamed into place:
// its append had not begun, and it goes, with or without a journal beside it.
TEST(AppendJournalTest, AJournalLeftHalfWrittenGoes) {
  const test_support::ScratchDirectory dir;
  const std::string path = dir.writeFile("f.err", "headta");
  const std::string journal = platform::appendJournalPath(path);
  const OpenFile file(path);
  dir.writeFile(".f.err.lyrsa-journal.new", validJournal.substr(0, 30));
  EXPECT_FALSE(platform::recoverAppend(journal, file.fd())) << "no journal";
  EXPECT_FALSE(std::filesystem::exists(journal + ".new"));
  EXPECT_EQ("headta", test_support::readFile(path));

  dir.writeFile(".f.err.lyrsa-journal.new", validJournal);
  dir.writeFile(".f.err.lyrsa-journal", "garbage");
  const std::optional<platform::AppendRecovery> recovery = platform::recoverAppend(journal, file.fd());
  ASSERT_TRUE(recovery);
  EXPECT_EQ(Outcome::unreadable, recovery->outcome);
  EXPECT_FALSE(std::filesystem::exists(journal + ".new"));
  EXPECT_FALSE(std::filesystem::exists(journal));
  EXPECT_EQ("headta", test_support::readFile(path));
}

// The description keeps the file's identity and only the first bytes of the
// append; a length the file does not have cannot be described.
TEST(AppendJournalTest, DescribesTheAppend) {
  const test_support::ScratchDirectory dir;
  const std::string path = dir.writeFile("f.err", "head");
  const OpenFile file(path);
  struct stat status {};
  ASSERT_EQ(0, ::fstat(file.fd(), &status));
  const std::string appended(100, 'a');
  const std::optional<platform::AppendJournalEntry> entry =
      platform::describeAppend(file.fd(), 4, appended.size(), appended);
  ASSERT_TRUE(entry);
  EXPECT_EQ(static_cast<std::uint64_t>(status.st_dev), entry->device);
  EXPECT_EQ(static_cast<std::uint64_t>(status.st_ino), entry->inode);
  EXPECT_EQ(4u, entry->length);
  EXPECT_EQ(100u, entry->appending);
  EXPECT_EQ(std::string(64, 'a'), entry->begins);

  const std::optional<platform::AppendJournalEntry> shorter = platform::describeAppend(file.fd(), 2, 1, "x");
  ASSERT_TRUE(shorter);
  EXPECT_NE(entry->before, shorter->before) << "other bytes before the append point";

  errno = 0;
  EXPECT_FALSE(platform::describeAppend(file.fd(), 5, 1, "x"));
  EXPECT_NE(0, errno);
  EXPECT_FALSE(platform::describeAppend(-1, 0, 1, "x"));
  EXPECT_EQ(EBADF, errno);
}

TEST(AppendJournalTest, PutBackFailureText) {
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
