// Runs of the built program on an error file with a journal beside it, or
// that a run leaves one beside: where a kill leaves the file and what the
// next runs make of it (also when they are killed too), which journals a run
// trusts, that only the killed run's own bytes are cut away, signals at each
// moment of an append, failed runs, temporary files that dead runs left,
// files reached through a symbolic link, cuts and journals that are not known
// to be on disk, and what lyrsa_errcount says meanwhile. Kills, pauses and
// failures come from the write fault that a build with the test hooks takes
// from its environment.
#include "support/ErrorFileRuns.h"
#include "support/FileLocks.h"
#include "support/JournalRunLines.h"
#include "support/ProgramRun.h"
#include "support/SignalAtSystemCall.h"

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using test_support::ErrorFileRuns;
using test_support::ProgramResult;
using test_support::readFile;
using test_support::RunningProgram;
using test_support::Start;
using namespace test_support::journal_runs;

// A run killed while its stretch goes into the file leaves a journal that the
// next run acts on; when that run is killed right after its cut, the run
// after it finds nothing appended and stays silent. The kill points are where
// a kill leaves the file (on a page boundary, after nothing, or after the
// whole stretch), and one inside a block after the head, which cannot be
// checked: that file is left alone, and since it does not read back, the
// runs after it send their findings to standard output. In the end the file
// holds exactly the stretches of the runs that ended with 0.
TEST(JournalRunsTest, AKillIsPutRightByTheNextRunEvenWhenThatRunIsKilledToo) {
#ifndef LYR_TEST_HOOKS
  GTEST_SKIP() << "built without test hooks";
#endif
  ErrorFileRuns runs;
  runs.m_dir.writeFile("out/a.c.err", primary);
  const std::string stretch = runs.stretchOfOneRun();
  ASSERT_GT(stretch.size(), 4 * page) << "the stretch ends before the second block after the head";
  // What the next run finds.
  enum class Found { nothing, cutShort, whole, partBlock };
  struct Case {
    const char *what;
    std::uint64_t reached;
    Found found;
  };
  const Case cases[] = {
      {"no byte (the journal alone)", 0, Found::nothing},
      {"one byte", 1, Found::cutShort},
      {"inside the head, on a page boundary", page - primary.size(), Found::cutShort},
      {"on the block boundary after the head", 3 * page - primary.size(), Found::cutShort},
      {"the whole stretch", stretch.size(), Found::whole},
      {"inside the block after the head", 2 * page + page / 2 - primary.size(), Found::partBlock},
  };
  for (const Case &c : cases) {
    for (const bool recoveringRunKilled : {false, true}) {
      SCOPED_TRACE(std::string("killed after ") + c.what + " (" + number(c.reached) + " bytes)" +
                   (recoveringRunKilled ? ", the next run killed right after its cut" : ""));
      leaveOutput(runs, primary);
      killAfter(runs, c.reached);
      const std::string left = primary + stretch.substr(0, c.reached);
      ASSERT_TRUE(readFile(runs.errorFile()) == left) << "not cut where it was killed";
      ASSERT_TRUE(fs::exists(runs.journal()));

      const ProgramResult next = runs.run({false, recoveringRunKilled ? "stop-after-cut" : ""});
      const bool cuts = c.found == Found::cutShort || c.found == Found::whole;
      int ended = 0; // runs after the kill that ended with 0 and appended
      if (cuts && recoveringRunKilled) {
        EXPECT_EQ(SIGKILL, next.termSignal) << next.err;
        EXPECT_TRUE(readFile(runs.errorFile()) == primary) << "the cut is not made";
        EXPECT_TRUE(fs::exists(runs.journal())) << "the journal went before the cut was synced";
      } else if (c.found == Found::partBlock) {
        EXPECT_EQ(0, next.exitCode);
        EXPECT_EQ(leftAloneLine(runs, "it ends inside a block of that run's bytes, which cannot be checked") +
                      notAddingLine(runs),
                  next.err);
        EXPECT_EQ(ErrorFileRuns::findings, std::count(next.out.begin(), next.out.end(), '\n'));
        EXPECT_NE(std::string::npos, next.out.find(": Msg=5001 #params=1 {m0}\n")) << next.out.substr(0, 200);
      } else {
        EXPECT_EQ(0, next.exitCode);
        const std::uint64_t from = primary.size() + c.reached;
        EXPECT_EQ(c.found == Found::nothing ? ""
                  : c.found == Found::whole ? wholeAppendLine(runs.errorFile(), from, primary.size())
                                            : cutShortLine(runs.errorFile(), from, primary.size()),
                  next.err);
        ++ended;
      }

      const ProgramResult after = runs.run();
      EXPECT_EQ(0, after.exitCode);
      if (c.found == Found::partBlock) {
        EXPECT_EQ(notAddingLine(runs), after.err);
        EXPECT_EQ(ErrorFileRuns::findings, std::count(after.out.begin(), after.out.end(), '\n'));
        EXPECT_TRUE(readFile(runs.errorFile()) == left) << "the file that does not read back changed";
        EXPECT_EQ("out/a.c.err: unreadable (cut short inside a record)\n", runs.count(1));
      } else {
        EXPECT_EQ("", after.err) << "the run after finds something to put right";
        ++ended;
        std::string expected = primary;
        for (int i = 0; i < ended; ++i)
          expected += stretch;
        EXPECT_TRUE(readFile(runs.errorFile()) == expected)
            << "the file is not exactly the stretches of the " << ended << " runs that ended with 0";
        EXPECT_EQ(countLine(ended), runs.count());
      }
      EXPECT_EQ(cleanOutput, runs.outputFiles()) << "a journal or temporary file is left";
    }
  }
}

// A journal found beside the file counts only when a run on the file could
// have written it: a regular file of the file's owner, this run's user or
// root, that no one else may write, whose text is a whole entry of this
// release. Any other is removed with a warning, the file left as it is, and
// the run appends. One that cannot be removed (a directory there) stops every
// run on the file, which stays as it is.
TEST(JournalRunsTest, AJournalCountsOnlyWhenARunOnTheFileCouldHaveWrittenIt) {
#ifndef LYR_TEST_HOOKS
  GTEST_SKIP() << "built without test hooks";
#endif
  ErrorFileRuns runs;
  runs.m_dir.writeFile("out/a.c.err", primary);
  const std::string stretch = runs.stretchOfOneRun();
  const auto plant = [&](const std::string &text) {
    runs.m_dir.writeFile("out/.a.c.err.lyrsa-journal", text);
    fs::permissions(runs.journal(), fs::perms(0644));
  };
  struct Case {
    const char *what;
    bool needsRoot;
    std::function<void()> leave; // leaves the journal beside the file, which is primary
    std::string err;             // of the first run after it
    bool stops;                  // every run fails and leaves file and journal as they are
  };
  const Case cases[] = {
      {"its own, from a kill", false, [&] { killAfter(runs, 1); },
       cutShortLine(runs.errorFile(), primary.size() + 1, primary.size()), false},
      {"another user's", true,
       [&] {
         killAfter(runs, 0);
         ASSERT_EQ(0, chown(runs.journal().c_str(), 12345, 12345));
         fs::permissions(runs.journal(), fs::perms(0644));
       },
       untrustedLine(
           runs, "it belongs to user 12345, who is neither the file's owner, this run's user nor root", true),
       false},
      {"group-writable", false,
       [&] {
         killAfter(runs, 0);
         fs::permissions(runs.journal(), fs::perms(0664));
       },
       untrustedLine(runs, "users other than its owner may write it", true), false},
      {"a directory", false, [&] { fs::create_directory(runs.journal()); },
       untrustedLine(runs, "it is no regular file", false) + cannotRemoveLine(runs, "Is a directory"), true},
      {"malformed", false, [&] { plant("garbage\n"); }, unreadableJournalLine(runs), false},
      {"of the old release (version 1)", false,
       [&] {
         struct stat file {};
         ASSERT_EQ(0, stat(runs.errorFile().c_str(), &file));
         plant("lyrsa-journal 1\ndevice " + number(file.st_dev) + "\ninode " + number(file.st_ino) +
               "\nlength 13\nappending " + number(stretch.size()) + "\nbefore 0\nbegins 00\n");
       },
       unreadableJournalLine(runs), false},
  };
  std::vector<std::string> notRun;
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string("a journal that is ") + c.what);
    if (c.needsRoot && geteuid() != 0) {
      notRun.push_back(c.what);
      continue;
    }
    leaveOutput(runs, primary);
    c.leave();
    const std::string left = readFile(runs.errorFile());
    for (int attempt = 0; attempt < (c.stops ? 2 : 1); ++attempt) {
      const ProgramResult result = runs.run();
      EXPECT_EQ(c.stops ? 18 : 0, result.exitCode);
      EXPECT_EQ(c.err, result.err);
      EXPECT_EQ("", result.out);
    }
    if (c.stops) {
      EXPECT_TRUE(readFile(runs.errorFile()) == left) << "the file changed";
      EXPECT_TRUE(fs::exists(runs.journal())) << "the journal went";
    } else {
      EXPECT_TRUE(readFile(runs.errorFile()) == primary + stretch) << "the run did not append to the file";
      EXPECT_EQ(cleanOutput, runs.outputFiles()) << "the journal stays";
    }
  }
  if (!notRun.empty())
    GTEST_SKIP() << "not run without root: a journal that is " << notRun.front();
}

// Keeps the directory immutable (chattr +i) until the end of the scope, so
// that no name in it can be removed, not even by root.
class ImmutableDirectory {
public:
  explicit ImmutableDirectory(std::string path) : m_path(std::move(path)) {
    m_set = std::system(("chattr +i '" + m_path + "' 2>/dev/null").c_str()) == 0;
  }
  ~ImmutableDirectory() { release(); }
  ImmutableDirectory(const ImmutableDirectory &) = delete;
  ImmutableDirectory &operator=(const ImmutableDirectory &) = delete;

  bool set() const { return m_set; }
  void release() {
    std::system(("chattr -i '" + m_path + "' 2>/dev/null").c_str());
    m_set = false;
  }

private:
  std::string m_path;
  bool m_set = false;
};

// A run's own journal that cannot be removed once the file is put back: the
// run that puts the file back says so, then that the journal cannot go, exit
// 18; every later run says only the latter, without touching the file; once
// the journal can go, a run removes it without a word and appends.
TEST(JournalRunsTest, AJournalThatCannotBeRemovedStopsEveryRunUntilItCan) {
#ifndef LYR_TEST_HOOKS
  GTEST_SKIP() << "built without test hooks";
#endif
  if (geteuid() != 0)
    GTEST_SKIP() << "needs root to make the output directory immutable";
  ErrorFileRuns runs;
  runs.m_dir.writeFile("out/a.c.err", primary);
  const std::string stretch = runs.stretchOfOneRun();
  killAfter(runs, 1);
  ImmutableDirectory immutable(runs.m_dir / "out");
  if (!immutable.set())
    GTEST_SKIP() << "chattr +i fails on the scratch directory's file system";
  const std::string cannotRemove = cannotRemoveLine(runs, "Operation not permitted");

  const ProgramResult first = runs.run();
  EXPECT_EQ(18, first.exitCode);
  EXPECT_EQ(cutShortLine(runs.errorFile(), primary.size() + 1, primary.size()) + cannotRemove, first.err);
  EXPECT_TRUE(readFile(runs.errorFile()) == primary) << "the file is not put back";

  const ProgramResult second = runs.run();
  EXPECT_EQ(18, second.exitCode);
  EXPECT_EQ(cannotRemove, second.err);
  EXPECT_TRUE(readFile(runs.errorFile()) == primary) << "the file changed";
  EXPECT_TRUE(fs::exists(runs.journal()));

  immutable.release();
  expectSilentAppend(runs, stretch);
  EXPECT_EQ(cleanOutput, runs.outputFiles());
}

// A run whose own journal cannot go at its last act (the directory became
// immutable after the write) would leave a journal that lets the next run take
// its findings back after all: it takes them back itself, says so and ends
// with 18. So does a run whose write fails part way and whose put-back cannot
// remove the journal, after the line of its failure. Once the journal can go,
// the next run finds nothing appended and appends.
TEST(JournalRunsTest, ARunThatCannotRemoveItsOwnJournalTakesItsFindingsBack) {
#ifndef LYR_TEST_HOOKS
  GTEST_SKIP() << "built without test hooks";
#endif
  if (geteuid() != 0)
    GTEST_SKIP() << "needs root to make the output directory immutable";
  ErrorFileRuns runs;
  runs.m_dir.writeFile("out/a.c.err", primary);
  const std::string stretch = runs.stretchOfOneRun();
  const std::string takenBack = "Cannot remove journal '" + runs.journal() + "' of error file '" +
                                runs.errorFile() +
                                "' (Operation not permitted); this run's findings are taken back out of the "
                                "file, and no run adds to it while the journal is there.\n";
  struct Case {
    const char *what;
    std::string fault; // the run pauses while the directory becomes immutable
    bool fails;        // the write fails, after the pause
  };
  const Case cases[] = {
      {"the run ends well", "pause-after-write", false},
      {"the write fails part way", "pause-after=" + number(page) + ",fail-after=" + number(2 * page), true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    leaveOutput(runs, primary);
    const std::unique_ptr<RunningProgram> run = runs.start({false, c.fault});
    ASSERT_TRUE(test_support::eventually([&] { return test_support::stopped(run->pid()); }))
        << "the run does not pause";
    ImmutableDirectory immutable(runs.m_dir / "out");
    if (!immutable.set()) {
      kill(run->pid(), SIGCONT);
      GTEST_SKIP() << "chattr +i fails on the scratch directory's file system";
    }
    ASSERT_EQ(0, kill(run->pid(), SIGCONT));
    const ProgramResult result = ErrorFileRuns::finish(*run);
    EXPECT_EQ(18, result.exitCode);
    EXPECT_EQ(takenBack, result.err.substr(0, takenBack.size()));
    EXPECT_EQ(c.fails,
              result.err.find("Cannot write error file '" + runs.errorFile() + "'") == takenBack.size())
        << result.err;
    EXPECT_TRUE(readFile(runs.errorFile()) == primary) << "the findings stay";
    immutable.release();
    expectSilentAppend(runs, stretch);
    EXPECT_EQ(cleanOutput, runs.outputFiles());
  }
}

// In a directory that everyone may write (sticky, mode 1777), another user
// (12345) plants a journal beside a file of user 65534. A run of that user
// does not trust it, cannot remove it (the sticky bit), and adds nothing:
// exit 18, the file as it was. Also a journal whose every part agrees with
// the file (one of a run killed after making the whole file from nothing,
// which would cut it back to nothing) cuts nothing.
TEST(JournalRunsTest, AJournalPlantedByAnotherUserCutsNothing) {
#ifndef LYR_TEST_HOOKS
  GTEST_SKIP() << "built without test hooks";
#endif
  if (geteuid() != 0)
    GTEST_SKIP() << "needs root to run as other users";
  if (access("/usr/bin/setpriv", X_OK) != 0)
    GTEST_SKIP() << "needs /usr/bin/setpriv to run as another user";
  constexpr unsigned user = 65534, planter = 12345;
  struct Case {
    const char *what;
    bool consistent; // the journal of a kill after the whole file, instead of garbage
  };
  const Case cases[] = {{"garbage", false}, {"consistent with the whole file from nothing", true}};
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string("a planted journal: ") + c.what);
    ErrorFileRuns runs;
    ASSERT_TRUE(runs.runCopiesForOtherUsers());
    fs::permissions(runs.m_dir / "out", fs::perms(01777));
    ASSERT_EQ(0, chown((runs.m_dir / "out/a.c.met").c_str(), user, user));
    const ProgramResult reachable = test_support::runProgram(
        "/usr/bin/setpriv",
        {"--reuid=" + number(user), "--regid=" + number(user), "--clear-groups", "/bin/sh", "-c",
         "test -x \"$0\" && test -r \"$1/lyr.cfg\" && test -r \"$2\"", runs.program(), runs.installation(),
         runs.m_dir / "out/a.c.met"},
        test_support::environmentWith({}), runs.m_dir.path());
    ASSERT_EQ(0, reachable.exitCode) << "user " << user << " cannot run the copies of the program here";
    if (c.consistent) {
      // What a run makes of an empty file, and the journal of a run killed
      // once all of it reached the file.
      runs.m_dir.writeFile("out/a.c.err");
      ASSERT_EQ(0, runs.run().exitCode);
      const std::uint64_t whole = readFile(runs.errorFile()).size();
      runs.m_dir.writeFile("out/a.c.err");
      killAfter(runs, whole);
      ASSERT_EQ(whole, readFile(runs.errorFile()).size());
      // Trusted, it would take the whole file back.
      ASSERT_EQ(
          "out/a.c.err: " + number(ErrorFileRuns::findings) + " messages, 0 suppression records (" +
              number(ErrorFileRuns::findings) +
              " messages and 0 suppression records of them are from a run that did not finish; the next "
              "run takes them back)\n",
          runs.count());
    } else {
      runs.m_dir.writeFile("out/a.c.err", primary);
      runs.m_dir.writeFile("out/.a.c.err.lyrsa-journal", "garbage\n");
    }
    ASSERT_EQ(0, chown(runs.errorFile().c_str(), user, user));
    ASSERT_EQ(0, chown(runs.journal().c_str(), planter, planter));
    fs::permissions(runs.journal(), fs::perms(0644));
    const std::string file = readFile(runs.errorFile());
    const std::string journal = readFile(runs.journal());

    Start asUser;
    asUser.user = user;
    const ProgramResult result = runs.run(asUser);
    EXPECT_EQ(18, result.exitCode);
    EXPECT_EQ(untrustedLine(runs,
                            "it belongs to user 12345, who is neither the file's owner, this run's user nor "
                            "root",
                            false) +
                  cannotRemoveLine(runs, "Operation not permitted"),
              result.err);
    EXPECT_TRUE(readFile(runs.errorFile()) == file) << "the file changed";
    EXPECT_TRUE(readFile(runs.journal()) == journal) << "the journal changed";
  }
}

// A run killed after its first byte; then the file is written over in place
// (the same inode) with the file it had and something after it. The next run
// cuts only what is all the killed run's own: the start of its stretch up to
// a page boundary, or its whole stretch; it then appends its own. A stretch
// of another run (another rule, so other messages), whole or up to a page
// boundary, is left as it is and the journal removed, also where its first 64
// bytes are the killed run's (a long path of the source fills them): the run
// appends after the whole one, and sends its findings to standard output
// beside the cut one, which does not read back.
TEST(JournalRunsTest, OnlyTheKilledRunsOwnBytesAreCutAway) {
#ifndef LYR_TEST_HOOKS
  GTEST_SKIP() << "built without test hooks";
#endif
  struct Path {
    const char *what;
    std::string sourceDirectory;
  };
  const Path paths[] = {{"short path", ""},
                        {"long path", "a-source-directory-whose-long-name-makes-the-path-long"}};
  for (const Path &path : paths) {
    SCOPED_TRACE(path.what);
    ErrorFileRuns runs(path.sourceDirectory);
    runs.m_dir.writeFile("out/a.c.err", primary);
    const std::string stretch = runs.stretchOfOneRun();
    runs.m_dir.writeFile("other-rules.txt", ErrorFileRuns::ruleText(5002));
    Start otherRule;
    otherRule.ruleFile = "other-rules.txt";
    const std::string foreign = runs.stretchOfOneRun(otherRule);
    ASSERT_TRUE(foreign != stretch);
    ASSERT_EQ(stretch.size(), foreign.size()) << "the other run's stretch is no longer or shorter";
    if (!path.sourceDirectory.empty()) {
      ASSERT_TRUE(foreign.substr(0, 64) == stretch.substr(0, 64)) << "the first 64 bytes differ";
    }

    struct Case {
      const char *what;
      std::string after; // what follows the 13 bytes the file had
      std::string err;
      std::string file; // after the run
    };
    const std::string otherBytes =
        leftAloneLine(runs, "its bytes after the 13 it had are not all that run's");
    const std::string foreignStart = foreign.substr(0, page - primary.size());
    const Case cases[] = {
        {"the run's own bytes up to a page boundary", stretch.substr(0, page - primary.size()),
         cutShortLine(runs.errorFile(), page, primary.size()), primary + stretch},
        {"the run's whole stretch", stretch,
         wholeAppendLine(runs.errorFile(), primary.size() + stretch.size(), primary.size()),
         primary + stretch},
        {"another run's stretch", foreign, otherBytes, primary + foreign + stretch},
        {"another run's bytes up to a page boundary", foreignStart, otherBytes + notAddingLine(runs),
         primary + foreignStart},
    };
    for (const Case &c : cases) {
      SCOPED_TRACE(c.what);
      leaveOutput(runs, primary);
      killAfter(runs, 1);
      struct stat before {};
      struct stat after {};
      ASSERT_EQ(0, stat(runs.errorFile().c_str(), &before));
      std::ofstream(runs.errorFile(), std::ios::binary | std::ios::trunc) << primary + c.after;
      ASSERT_EQ(0, stat(runs.errorFile().c_str(), &after));
      ASSERT_EQ(before.st_ino, after.st_ino) << "the file is not written over in place";
      const ProgramResult result = runs.run();
      EXPECT_EQ(0, result.exitCode);
      EXPECT_EQ(c.err, result.err);
      EXPECT_TRUE(readFile(runs.errorFile()) == c.file) << "the file is not what the run should leave";
      EXPECT_EQ(cleanOutput, runs.outputFiles());
    }
  }
}

// A signal that arrives while a run appends (it pauses there for the test,
// and gets the signal once it goes on) ends it through the handler: its name,
// exit code 19, and the file as it was, without a journal. Once the run has
// kept its append as its last act, it ends with 0 and the file keeps the
// stretch: a signal sent then waits, but a fault, which the handler takes
// once the append is kept, is named.
TEST(JournalRunsTest, ASignalTakesTheAppendBackUntilTheRunsLastAct) {
#ifndef LYR_TEST_HOOKS
  GTEST_SKIP() << "built without test hooks";
#endif
  ErrorFileRuns runs;
  runs.m_dir.writeFile("out/a.c.err", primary);
  const std::string stretch = runs.stretchOfOneRun();
  struct Signal {
    int number;
    const char *name;
    bool fault; // named also after the last act
  };
  const Signal signals[] = {{SIGTERM, "SIGTERM", false}, {SIGSEGV, "SIGSEGV", true}};
  struct Moment {
    const char *what;
    std::string fault;
    bool kept; // the append is kept: the signal waits until the run is over
  };
  const Moment moments[] = {
      {"before the write", "pause-before-write", false},
      {"in the middle of the write", "pause-after=" + number(stretch.size() / 2), false},
      {"after the write", "pause-after-write", false},
      {"at the run's end", "pause-at-exit", true},
  };
  for (const Signal &signal : signals) {
    for (const Moment &moment : moments) {
      SCOPED_TRACE(std::string(signal.name) + " " + moment.what);
      leaveOutput(runs, primary);
      const std::unique_ptr<RunningProgram> run = runs.start({false, moment.fault});
      ASSERT_TRUE(test_support::eventually([&] { return test_support::stopped(run->pid()); }))
          << "the run does not pause";
      ASSERT_EQ(0, kill(run->pid(), signal.number));
      ASSERT_EQ(0, kill(run->pid(), SIGCONT));
      const ProgramResult result = ErrorFileRuns::finish(*run);
      EXPECT_EQ(moment.kept ? 0 : 19, result.exitCode);
      EXPECT_EQ(moment.kept && !signal.fault ? "" : caughtLines(signal.name), result.err);
      EXPECT_TRUE(readFile(runs.errorFile()) == (moment.kept ? primary + stretch : primary))
          << "the file is not as the run's end left it";
      EXPECT_EQ(cleanOutput, runs.outputFiles());
    }
  }
}

// A write that a full disk cuts short (on a 4 KiB boundary of the file, as a
// full disk stops it) is taken back by its run. A kill at any system call
// from that write until its journal is gone (the run goes under ptrace for
// it; a kill after that finds the file as it was) leaves the file as the next
// run puts back: it appends its findings once, says at most that it put the
// file back, and nothing is left beside the file. A signal that the run
// handles, at any of those calls, ends it with the file as it was and nothing
// beside it. Under a file-size limit that would cut the write short inside a
// block after the journal's first bytes, the run writes nothing, so that no
// kill can leave a block that the next run cannot check.
TEST(JournalRunsTest, AKillAtAnyCallAfterAShortWriteIsPutRightByTheNextRun) {
#ifndef LYR_TEST_HOOKS
  GTEST_SKIP() << "built without test hooks";
#endif
  ErrorFileRuns runs;
  runs.m_dir.writeFile("out/a.c.err", primary);
  const std::string stretch = runs.stretchOfOneRun();
  const std::string file = runs.errorFile();
  struct Case {
    const char *what;
    std::uint64_t reached; // where the write stops
    bool sizeLimit;        // it stops there for the file-size limit, or else for a full disk
  };
  // The limit leaves room for the journal, not for the whole stretch.
  const Case cases[] = {{"a full disk", 3 * page, false}, {"a file-size limit", 4 * page + 1000, true}};
  for (const Case &c : cases) {
    ASSERT_LT(c.reached, primary.size() + stretch.size());
    ErrorFileRuns::Command command =
        runs.command({false, c.sizeLimit ? "" : "fail-after=" + number(c.reached - primary.size())});
    // LeakSanitizer traces the process at its end, which a traced process
    // cannot be.
    const auto sanitizer =
        std::find_if(command.environment.begin(), command.environment.end(),
                     [](const std::string &entry) { return entry.rfind("ASAN_OPTIONS=", 0) == 0; });
    if (sanitizer == command.environment.end())
      command.environment.push_back("ASAN_OPTIONS=detect_leaks=0");
    else
      *sanitizer += ":detect_leaks=0";
    const auto signalAt = [&](unsigned after, int signal) {
      leaveOutput(runs, primary);
      return test_support::runWithSignalAtCall(command.program, command.words, command.environment,
                                               runs.m_dir.path(), SYS_writev, after, signal,
                                               c.sizeLimit ? c.reached : RLIM_INFINITY);
    };
    const auto asItWas = [&] { return readFile(file) == primary && runs.outputFiles() == cleanOutput; };
    const std::set<std::string> nextLines{"", cutShortLine(file, c.reached, primary.size()),
                                          wholeAppendLine(file, c.reached, primary.size())};
    unsigned calls = 0; // from the write to the journal's removal
    for (;; ++calls) {
      SCOPED_TRACE(std::string(c.what) + ": SIGKILL at the call " + number(calls) + " from the write on");
      const test_support::SignalledRun run = signalAt(calls, SIGKILL);
      if (!run.traced)
        GTEST_SKIP() << "a child cannot be traced here";
      if (!run.signalled) {
        EXPECT_EQ(18, run.exitCode);
        EXPECT_TRUE(asItWas()) << "the run that wrote nothing left something";
        break;
      }
      EXPECT_EQ(SIGKILL, run.termSignal);
      if (asItWas())
        break;
      const ProgramResult next = runs.run();
      EXPECT_EQ(0, next.exitCode);
      EXPECT_EQ(1u, nextLines.count(next.err)) << next.err;
      EXPECT_TRUE(readFile(file) == primary + stretch) << "the file is not put back and appended to";
      EXPECT_EQ(cleanOutput, runs.outputFiles());
    }
    EXPECT_EQ(c.sizeLimit, calls == 0) << "calls from the write on: " << calls;
    for (unsigned after = 0; after < calls; ++after) {
      SCOPED_TRACE(std::string(c.what) + ": SIGTERM at the call " + number(after) + " from the write on");
      const test_support::SignalledRun run = signalAt(after, SIGTERM);
      EXPECT_TRUE(run.exitCode == 19 || run.exitCode == 18) << run.exitCode;
      EXPECT_TRUE(asItWas()) << "the file is not as it was";
    }
  }
}

// A run that aborts after its last act (as when its exit goes wrong) has its
// findings in the file: it names the signal and ends with 0, so that a caller
// that runs it again on a failure does not add them twice. So for a file it
// appends to and one it makes.
TEST(JournalRunsTest, AnAbortAfterTheRunsLastActEndsItWell) {
#ifndef LYR_TEST_HOOKS
  GTEST_SKIP() << "built without test hooks";
#endif
  ErrorFileRuns runs;
  runs.m_dir.writeFile("out/a.c.err", primary);
  const std::string stretch = runs.stretchOfOneRun();
  fs::remove(runs.errorFile());
  const std::string made = runs.stretchOfOneRun();
  for (const bool existing : {true, false}) {
    SCOPED_TRACE(existing ? "an existing file" : "a file the run makes");
    leaveOutput(runs, existing ? std::optional<std::string>(primary) : std::nullopt);
    const ProgramResult aborted = runs.run({false, "abort-at-exit"});
    EXPECT_EQ(0, aborted.exitCode);
    EXPECT_EQ(caughtLines("SIGABRT"), aborted.err);
    const std::string file = readFile(runs.errorFile());
    EXPECT_TRUE(existing ? file == primary + stretch : file.substr(8) == made) << "the findings are not kept";
    EXPECT_EQ(cleanOutput, runs.outputFiles());
    EXPECT_EQ(countLine(1), runs.count());
  }
}

// A run that makes a missing file finds, once its findings are ready, that
// another process made the file meanwhile and holds its lock; the run waits
// for it, and a signal ends the run while it waits: exit code 19, the other
// file as it is, and no temporary file left.
TEST(JournalRunsTest, ASignalEndsARunThatWaitsForTheLock) {
#ifndef LYR_TEST_HOOKS
  GTEST_SKIP() << "built without test hooks";
#endif
  if (!test_support::lockTableReadable())
    GTEST_SKIP() << "no /proc/locks";
  ErrorFileRuns runs;
  const std::unique_ptr<RunningProgram> run = runs.start({false, "pause-before-write"});
  ASSERT_TRUE(test_support::eventually([&] { return test_support::stopped(run->pid()); }))
      << "the run does not pause";
  runs.m_dir.writeFile("out/a.c.err", primary);
  test_support::HeldLock held(runs.errorFile());
  ASSERT_TRUE(held.held());
  ASSERT_EQ(0, kill(run->pid(), SIGCONT));
  ASSERT_TRUE(test_support::eventually([&] { return test_support::waitsForLock(run->pid()); }))
      << "the run does not wait for the lock";
  ASSERT_EQ(0, kill(run->pid(), SIGTERM));
  const ProgramResult result = ErrorFileRuns::finish(*run);
  held.release();
  EXPECT_EQ(19, result.exitCode);
  // The signal comes as the wait begins; a slow machine may have let the run
  // say that it waits first.
  EXPECT_TRUE(result.err == caughtLines("SIGTERM") || result.err == runs.waitLine() + caughtLines("SIGTERM"))
      << result.err;
  EXPECT_TRUE(readFile(runs.errorFile()) == primary) << "the other process's file changed";
  EXPECT_EQ(cleanOutput, runs.outputFiles());
}

// A run that fails (here: an included header that is gone, exit code 10)
// leaves its error file as it found it, whether it read the file back first
// or not: a missing one stays missing, without a temporary file; an existing
// one stays byte for byte, an empty one too.
TEST(JournalRunsTest, AFailedRunLeavesTheErrorFileAsItFoundIt) {
  ErrorFileRuns runs;
  runs.m_dir.writeFile("out/a.c.err", primary);
  const std::string stretch = runs.stretchOfOneRun();
  runs.m_dir.writeFile("out/a.c.met", runs.records() + "<R>I a.c inc/gone.h 2 -\n");
  struct Case {
    const char *what;
    std::optional<std::string> file;
  };
  const Case cases[] = {
      {"missing", std::nullopt},
      {"with records", primary + stretch},
      {"empty", ""},
  };
  for (const Case &c : cases) {
    for (const bool readsBack : {false, true}) {
      SCOPED_TRACE(std::string(c.what) + (readsBack ? ", read back first" : ""));
      leaveOutput(runs, c.file);
      Start how;
      if (readsBack)
        how.debugWords = {"always_read_errors"};
      const ProgramResult result = runs.run(how);
      EXPECT_EQ(10, result.exitCode);
      EXPECT_EQ("inc/gone.h does not exist.\n", result.err);
      EXPECT_EQ(c.file.has_value(), fs::exists(runs.errorFile()));
      if (c.file) {
        EXPECT_TRUE(readFile(runs.errorFile()) == *c.file) << "the error file changed";
      }
      EXPECT_EQ(c.file ? cleanOutput : std::set<std::string>{"a.c.met"}, runs.outputFiles());
    }
  }
}

// What dead makers left under the making name of an error file goes with the
// next run that opens the file to append to it: the file of a run killed
// while it made the error file (which someone else then made), and a second
// name of the error file itself, left by a run that died between giving the
// file its name and dropping the making name. The error file stays and gets
// the stretch.
TEST(JournalRunsTest, TemporariesOfDeadRunsGoWithTheNextRun) {
#ifndef LYR_TEST_HOOKS
  GTEST_SKIP() << "built without test hooks";
#endif
  ErrorFileRuns runs;
  runs.m_dir.writeFile("out/a.c.err", primary);
  const std::string stretch = runs.stretchOfOneRun();
  const std::string making = runs.m_dir / "out/.a.c.err.lyrsa-new";
  struct Case {
    const char *what;
    std::function<void()> leave; // leaves the making name and the error file, primary
  };
  const Case cases[] = {
      {"of a run killed while it made the file",
       [&] {
         killAfter(runs, stretch.size() / 2);
         ASSERT_EQ((std::set<std::string>{".a.c.err.lyrsa-new", "a.c.met"}), runs.outputFiles());
         runs.m_dir.writeFile("out/a.c.err", primary);
       }},
      {"a second name of the file",
       [&] {
         runs.m_dir.writeFile("out/a.c.err", primary);
         ASSERT_EQ(0, link(runs.errorFile().c_str(), making.c_str()));
       }},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string("the file under the making name ") + c.what);
    leaveOutput(runs, std::nullopt);
    c.leave();
    ASSERT_EQ(3u, runs.outputFiles().size());
    expectSilentAppend(runs, stretch);
    EXPECT_EQ(cleanOutput, runs.outputFiles()) << "the making name stays";
  }
}

// An error file reached through a symbolic link (o/a.c.err -> ../real/a.c.err)
// has its journal beside the file itself: a run killed through one name
// leaves it in real/, and a run through the other name puts the file back.
TEST(JournalRunsTest, TheJournalLiesBesideTheFileThatALinkNames) {
#ifndef LYR_TEST_HOOKS
  GTEST_SKIP() << "built without test hooks";
#endif
  ErrorFileRuns runs;
  runs.m_dir.writeFile("out/a.c.err", primary);
  const std::string stretch = runs.stretchOfOneRun();
  for (const char *directory : {"o", "real"}) {
    runs.m_dir.makeDirectory(directory);
    runs.m_dir.writeFile(std::string(directory) + "/a.c.met", runs.records());
  }
  fs::create_symlink("../real/a.c.err", runs.m_dir / "o/a.c.err");
  const std::string realFile = runs.m_dir / "real/a.c.err";
  struct Case {
    const char *killedThrough;
    const char *recoveredThrough;
  };
  const Case cases[] = {{"o", "real"}, {"real", "o"}};
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string("killed through ") + c.killedThrough + "/, put back through " +
                 c.recoveredThrough + "/");
    runs.m_dir.writeFile("real/a.c.err", primary);
    Start killed{false, "stop-after=1"};
    killed.outputDirectory = c.killedThrough;
    EXPECT_EQ(SIGKILL, runs.run(killed).termSignal);
    EXPECT_EQ((std::set<std::string>{".a.c.err.lyrsa-journal", "a.c.err", "a.c.met"}),
              runs.outputFiles("real"));
    EXPECT_EQ((std::set<std::string>{"a.c.err", "a.c.met"}), runs.outputFiles("o"));

    Start recovering;
    recovering.outputDirectory = c.recoveredThrough;
    const ProgramResult result = runs.run(recovering);
    EXPECT_EQ(0, result.exitCode);
    EXPECT_EQ(cutShortLine(runs.m_dir / (std::string(c.recoveredThrough) + "/a.c.err"), primary.size() + 1,
                           primary.size()),
              result.err);
    EXPECT_TRUE(readFile(realFile) == primary + stretch) << "the file is not put back and appended to";
    EXPECT_TRUE(fs::is_symlink(runs.m_dir / "o/a.c.err"));
    EXPECT_EQ((std::set<std::string>{"a.c.err", "a.c.met"}), runs.outputFiles("real"));
    EXPECT_EQ((std::set<std::string>{"a.c.err", "a.c.met"}), runs.outputFiles("o"));
  }
}

// An error file whose name is a symbolic link to a missing file is made where
// the link leads, under its making name there: a run that gets a signal while
// it writes it leaves nothing (exit 19), and the next run makes it with its
// findings.
TEST(JournalRunsTest, AFileMadeThroughALinkToAMissingFileIsMadeWhereItLeads) {
#ifndef LYR_TEST_HOOKS
  GTEST_SKIP() << "built without test hooks";
#endif
  ErrorFileRuns runs;
  const std::string made = runs.stretchOfOneRun();
  runs.m_dir.makeDirectory("real");
  fs::remove(runs.errorFile());
  fs::create_symlink("../real/a.c.err", runs.errorFile());
  const std::unique_ptr<RunningProgram> run = runs.start({false, "pause-after=" + number(made.size() / 2)});
  ASSERT_TRUE(test_support::eventually([&] { return test_support::stopped(run->pid()); }))
      << "the run does not pause";
  EXPECT_EQ(std::set<std::string>{".a.c.err.lyrsa-new"}, runs.outputFiles("real"))
      << "the file is not made beside the file that the link leads to";
  EXPECT_EQ(cleanOutput, runs.outputFiles());
  ASSERT_EQ(0, kill(run->pid(), SIGTERM));
  ASSERT_EQ(0, kill(run->pid(), SIGCONT));
  const ProgramResult signalled = ErrorFileRuns::finish(*run);
  EXPECT_EQ(19, signalled.exitCode);
  EXPECT_EQ(caughtLines("SIGTERM"), signalled.err);
  EXPECT_EQ(std::set<std::string>{}, runs.outputFiles("real"));

  const ProgramResult next = runs.run();
  EXPECT_EQ(0, next.exitCode);
  EXPECT_EQ("", next.err);
  EXPECT_TRUE(readFile(runs.m_dir / "real/a.c.err").substr(8) == made) << "not the findings, once";
  EXPECT_TRUE(fs::is_symlink(runs.errorFile()));
  EXPECT_EQ(std::set<std::string>{"a.c.err"}, runs.outputFiles("real"));
  EXPECT_EQ(cleanOutput, runs.outputFiles());
  EXPECT_EQ(countLine(1), runs.count());
}

// A cut that is not known to be on disk ends the run with exit code 18 and
// keeps the journal, so that a later run puts the file right: a cut after a
// kill whose sync fails, and a put-back after a failed write whose sync
// fails. A journal that fails once it is made (it cannot be synced or closed,
// here with the error of a file system that turned read-only, or its
// directory cannot be synced) ends the run with 18 before anything is added,
// and leaves nothing behind. The next run finds the file as the journal
// recorded it (or as it was), says nothing, and appends.
TEST(JournalRunsTest, WhatIsNotKnownToBeOnDiskIsLeftForALaterRun) {
#ifndef LYR_TEST_HOOKS
  GTEST_SKIP() << "built without test hooks";
#endif
  ErrorFileRuns runs;
  runs.m_dir.writeFile("out/a.c.err", primary);
  const std::string stretch = runs.stretchOfOneRun();
  const std::string file = runs.errorFile(), journal = runs.journal();
  const auto journalLine = [&](const std::string &reason) {
    return "Cannot write journal '" + journal + "' of error file '" + file + "' to disk (" + reason +
           "); nothing is added to the file.\n";
  };
  struct Case {
    const char *what;
    bool killedBefore; // a run was killed after its first byte
    std::string fault;
    std::string err;
    bool journalKept;
  };
  const Case cases[] = {
      {"the sync of a cut after a kill", true, "cut-sync-fails",
       "Cannot sync error file '" + file +
           "' after putting it back to its length of 13 bytes (Input/output error); its journal '" + journal +
           "' is kept, so that a later run puts it back.\n",
       true},
      {"the sync of a put-back after a failed write", false,
       "fail-after=" + number(stretch.size() / 2) + ",cut-sync-fails",
       "Cannot write error file '" + file + "' (No space left on device).\nCannot sync error file '" + file +
           "' after putting it back to its length of 13 bytes (Input/output error); its journal '" + journal +
           "' is kept, so that a later run puts it back.\n",
       true},
      {"the sync of the journal's directory", false, "directory-sync-fails",
       journalLine("Input/output error"), false},
      {"the sync of the journal", false, "journal-sync-fails", journalLine("Read-only file system"), false},
      {"the closing of the journal", false, "journal-close-fails", journalLine("Read-only file system"),
       false},
      {"the closing of a journal written under a name", false, "no-unnamed-files,journal-close-fails",
       journalLine("Read-only file system"), false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    leaveOutput(runs, primary);
    if (c.killedBefore)
      killAfter(runs, 1);
    const ProgramResult failed = runs.run({false, c.fault});
    EXPECT_EQ(18, failed.exitCode);
    EXPECT_EQ(c.err, failed.err);
    EXPECT_TRUE(readFile(file) == primary) << "the file is not as the journal records it";
    EXPECT_EQ(c.journalKept, fs::exists(journal));
    if (!c.journalKept) {
      EXPECT_EQ(cleanOutput, runs.outputFiles());
    }
    expectSilentAppend(runs, stretch);
    EXPECT_EQ(cleanOutput, runs.outputFiles());
    EXPECT_EQ(countLine(1), runs.count());
  }
}

// lyrsa_errcount beside a journal: it counts what reads back, and tells how
// many of the findings the next run takes back; the next run does, and
// appends its own.
TEST(JournalRunsTest, TheCountTellsWhatTheNextRunTakesBack) {
#ifndef LYR_TEST_HOOKS
  GTEST_SKIP() << "built without test hooks";
#endif
  ErrorFileRuns runs;
  runs.m_dir.writeFile("out/a.c.err", primary);
  const std::string stretch = runs.stretchOfOneRun();
  const std::string finished = primary + stretch; // the file after one run that ended well
  const std::string findings = number(ErrorFileRuns::findings);
  struct Case {
    const char *what;
    std::uint64_t reached;
    std::string count;
    int countExitCode;
    std::string err; // of the next run
  };
  const Case cases[] = {
      {"the journal alone", 0, countLine(1), 0, ""},
      {"one byte", 1,
       "out/a.c.err: unreadable (cut short by a run that ended while writing it; the next run puts it "
       "back)\n",
       1, cutShortLine(runs.errorFile(), finished.size() + 1, finished.size())},
      {"the whole stretch", stretch.size(),
       "out/a.c.err: " + number(2 * ErrorFileRuns::findings) + " messages, 0 suppression records (" +
           findings +
           " messages and 0 suppression records of them are from a run that did not finish; the next run "
           "takes "
           "them back)\n",
       0, wholeAppendLine(runs.errorFile(), finished.size() + stretch.size(), finished.size())},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string("killed after ") + c.what);
    leaveOutput(runs, finished);
    killAfter(runs, c.reached);
    EXPECT_EQ(c.count, runs.count(c.countExitCode));
    const ProgramResult next = runs.run();
    EXPECT_EQ(0, next.exitCode);
    EXPECT_EQ(c.err, next.err);
    EXPECT_TRUE(readFile(runs.errorFile()) == finished + stretch);
    EXPECT_EQ(countLine(2), runs.count());
  }
}

} // namespace
