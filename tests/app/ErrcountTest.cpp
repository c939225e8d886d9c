// Runs of lyrsa_errcount: what it prints for error files that read back,
// are missing, are cut short or are no error files at all, with the product's
// installation variable and without it; and its waiting for a run that holds
// a file's lock.
#include "platform/AppendJournal.h"
#include "support/ByteBuilder.h"
#include "support/FileLocks.h"
#include "support/ProgramRun.h"
#include "support/ScratchDirectory.h"

#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using test_support::ByteBuilder;

// A format-2 error file with one message 1540 at line 3 of /a/x.c.
std::string oneMessage() {
  return ByteBuilder()
      .int32(0x9300)
      .int32(0)
      .byte(1)
      .int32(0)
      .byte(8)
      .int32(0)
      .int32(0)
      .text("/a/x.c")
      .text("x.c")
      .int32(3)
      .int32(5)
      .byte(0)
      .int32(1540)
      .int32(0)
      .int32(0)
      .int32(0)
      .int32(0);
}

// Leaves the file at the path as a run that was killed while it appended the
// tail to its first bytes (length of them) leaves it: with its journal beside
// it, as the program writes one, and with the bytes of the tail that reached
// the file.
void leaveKilledAppend(const std::string &path, const std::string &whole, std::size_t length,
                       std::size_t reached) {
  const std::string tail = whole.substr(length);
  { std::ofstream(path, std::ios::binary | std::ios::trunc) << whole.substr(0, length); }
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  const std::string_view piece(tail);
  const std::optional<platform::AppendJournalEntry> entry = platform::describeAppend(fd, length, &piece, 1);
  ::close(fd);
  ASSERT_TRUE(entry);
  const std::string journal = platform::appendJournalPath(path);
  std::ofstream(journal, std::ios::binary | std::ios::trunc) << platform::appendJournalText(*entry);
  ASSERT_EQ(0, ::chmod(journal.c_str(), 0644));
  std::ofstream(path, std::ios::binary | std::ios::app) << tail.substr(0, reached);
}

TEST(ErrcountTest, CountsOrSaysWhyNot) {
  struct Case {
    const char *what;
    const char *product;
    std::optional<std::string> installation; // nothing: the variable is not set
    std::string out;
    std::string err;
    int exitCode;
  };
  const std::string installation = std::string(LYR_TEST_DATA_DIR) + "/installation";
  // One line for each file, also for one that does not read back, whose
  // reason the reader does not tell on standard error. The reader looks for
  // files of the installation that do not exist before it reads: a file cut
  // short must not be reported with what those left in errno.
  const Case cases[] = {
      {"with the installation", "lyr", installation,
       "one.err: 1 messages, 0 suppression records\n"
       "missing.err: 0 messages, 0 suppression records (no file)\n"
       "short.err: unreadable (cut short inside a record)\n"
       "damaged.err: unreadable (a damaged record)\n"
       "version.err: unreadable (an unknown version word 64636261)\n"
       "type.err: unreadable (a record or parameter of an unknown kind)\n"
       "two.err: unreadable (2 bytes, too short for the version word of an error file)\n"
       "three.err: unreadable (3 bytes, too short for the version word of an error file)\n"
       "empty.err: 0 messages, 0 suppression records\n"
       "dir.err: unreadable (a directory)\n"
       "fifo.err: unreadable (not a regular file)\n"
       "killed.err: unreadable (cut short by a run that ended while writing it; the next run puts it back)\n"
       "unfinished.err: 1 messages, 0 suppression records (1 messages and 0 suppression records of them are "
       "from a run that did not finish; the next run takes them back)\n"
       "garbage-journal.err: unreadable (cut short inside a record)\n",
       "", 1},
      {"without LYRBIN", "lyr", std::nullopt, "", "lyrsa_errcount: LYRBIN environment variable not found\n",
       2},
      {"with LYRBIN empty", "lyr", "", "", "lyrsa_errcount: LYRBIN environment variable not found\n", 2},
      {"without LYRPPBIN", "lyrpp", std::nullopt, "",
       "lyrsa_errcount: LYRPPBIN environment variable not found\n", 2},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    const test_support::ScratchDirectory scratch;
    scratch.writeFile("one.err", oneMessage());
    // Cut within the line of the message.
    scratch.writeFile("short.err", oneMessage().substr(0, 41));
    // A parameter count that the rest of the file cannot hold.
    scratch.writeFile(
        "damaged.err",
        ByteBuilder().raw(oneMessage().substr(0, oneMessage().size() - 8)).int32(0x7FFFFFFF).int32(0));
    scratch.writeFile("version.err", "abcdefgh");
    scratch.writeFile("type.err", ByteBuilder().raw(oneMessage().substr(0, 13)).byte(9));
    scratch.writeFile("two.err", oneMessage().substr(0, 2));
    scratch.writeFile("three.err", oneMessage().substr(0, 3));
    scratch.writeFile("empty.err");
    scratch.makeDirectory("dir.err");
    ASSERT_EQ(0, mkfifo((scratch / "fifo.err").c_str(), 0600));
    // Cut by a run that was killed while it appended its message: its journal
    // is there. The same with the whole message in the file, and with a
    // journal that no run wrote (a cut file then is plainly unreadable).
    leaveKilledAppend(scratch / "killed.err", oneMessage(), 8, 33);
    leaveKilledAppend(scratch / "unfinished.err", oneMessage(), 8, oneMessage().size() - 8);
    scratch.writeFile("garbage-journal.err", oneMessage().substr(0, 41));
    scratch.writeFile(".garbage-journal.err.lyrsa-journal", "lyrsa-journal 2\n");
    std::map<std::string, std::optional<std::string>> environment{{"HOME", scratch.path()}};
    for (const char *variable : {"LYRBIN", "LYRPPBIN"})
      environment[variable] = std::nullopt;
    environment[std::string(c.product) == "lyr" ? "LYRBIN" : "LYRPPBIN"] = c.installation;
    const test_support::ProgramResult result =
        test_support::runProgram(LYR_ERRCOUNT_PATH,
                                 {c.product, "one.err", "missing.err", "short.err", "damaged.err",
                                  "version.err", "type.err", "two.err", "three.err", "empty.err", "dir.err",
                                  "fifo.err", "killed.err", "unfinished.err", "garbage-journal.err"},
                                 test_support::environmentWith(environment), scratch.path(), {1 << 20, 120});
    EXPECT_EQ(c.out, result.out);
    EXPECT_EQ(c.err, result.err);
    EXPECT_EQ(c.exitCode, result.exitCode);
  }
}

// A file that a run holds under its lock (it may be in the middle of its
// write) is read once the lock is free: the count waits, says once that it
// waits, and then reads the file whole.
TEST(ErrcountTest, WaitsForARunThatHoldsTheLock) {
  if (!test_support::lockTableReadable())
    GTEST_SKIP() << "no /proc/locks";
  const test_support::ScratchDirectory scratch;
  const std::string path = scratch.writeFile("one.err", oneMessage());
  std::optional<test_support::HeldLock> held;
  held.emplace(path);
  test_support::RunningProgram count(
      LYR_ERRCOUNT_PATH, {"lyr", "one.err"},
      test_support::environmentWith(
          {{"LYRBIN", std::string(LYR_TEST_DATA_DIR) + "/installation"}, {"HOME", scratch.path()}}),
      scratch.path());
  const std::string waitLine =
      "lyrsa_errcount: waiting for the lock on 'one.err', which another process holds\n";
  EXPECT_TRUE(test_support::eventually([&] { return test_support::waitsForLock(count.pid()); }))
      << "the count does not wait for the lock";
  EXPECT_TRUE(count.waitUntilErrorHolds(waitLine)) << "the count does not say that it waits";
  held.reset();
  const test_support::ProgramResult result = count.finish({1 << 20, 120});
  EXPECT_EQ(0, result.exitCode);
  EXPECT_EQ("one.err: 1 messages, 0 suppression records\n", result.out);
  EXPECT_EQ(waitLine, result.err);
}

} // namespace
