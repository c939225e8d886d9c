// Runs of the built program on an error file in an output directory that it
// shares with other writers: what stands at the names its journal is written
// under, another program that appends to the file without the lock while a
// run adds to it, the permissions of the journal, and the other names of the
// file (a symbolic link, a hard link). Kills, pauses and failures come from
// the write fault that a build with the test hooks takes from its
// environment.
#include "support/AppendFiles.h"
#include "support/ErrorFileRuns.h"
#include "support/JournalRunLines.h"
#include "support/ProgramRun.h"

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <sys/stat.h>
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

// The line of a run whose close fails (the write fault "close-fails").
std::string cannotWriteLine(const std::string &file) {
  return "Cannot write error file '" + file + "' (Input/output error).\n";
}

std::string otherWriterLine(const std::string &file, bool ownFirst) {
  return "Warning - File '" + file +
         (ownFirst ? "' holds this run's findings followed by another writer's bytes; it is left as it is, "
                     "not put back to its 13 bytes.\n"
                   : "' was changed by another writer while this run added to it; it is left as it is, not "
                     "put back to its 13 bytes.\n");
}

std::string otherNamesWarning(const std::string &file) {
  return "Warning - Error file '" + file +
         "' has more than one name; runs through its other names do not see its journal, so no run puts back "
         "what a run killed while adding to it leaves.\n";
}

std::string otherNamesLeftAlone(const std::string &file, const std::string &journal) {
  return "Warning - Error file '" + file + "' has more than one name: its journal '" + journal +
         "' is not seen by runs through its other names, whose findings may follow its 13 bytes; the file is "
         "left as it is and the journal removed.\n";
}

// Whether user 65534 can be run here (as root, with setpriv).
bool canRunAsAnotherUser() { return geteuid() == 0 && access("/usr/bin/setpriv", X_OK) == 0; }

constexpr unsigned otherUser = 65534;

// Whatever stands at the name that a journal is written under, or wherever
// it is written, a run killed while it writes its findings leaves a journal
// that the next run puts the file back by: a directory there, or another
// user's file in a directory everyone may write, which the run may not
// remove. The kill comes in the middle of the write, or a write stops short
// (a full disk) and its put-back fails, so that the run writes its journal
// again over the first one, which goes through that name. Where no journal
// can be made or written for want of room (no inode left, or no block), the
// run adds nothing, says why, and ends with 18.
TEST(SharedOutputRunsTest, NothingAtTheJournalsNamesTurnsTheJournalOff) {
#ifndef LYR_TEST_HOOKS
  GTEST_SKIP() << "built without test hooks";
#endif
  enum class There { nothing, directory, anotherUsersFile, noInodeLeft, noRoomLeft };
  struct Case {
    const char *what;
    There there;
  };
  const Case cases[] = {
      {"nothing", There::nothing},
      {"a directory", There::directory},
      {"another user's file, in a directory everyone may write", There::anotherUsersFile},
      {"nothing, on a file system with no inode left", There::noInodeLeft},
      {"nothing, on a file system with no room left", There::noRoomLeft},
  };
  struct Kill {
    const char *what;
    bool shortWrite; // a write that stops short, whose put-back fails
  };
  const Kill kills[] = {{"killed in the middle of its write", false},
                        {"a short write whose put-back fails", true}};
  std::vector<std::string> notRun;
  for (const Case &c : cases) {
    for (const Kill &kill : kills) {
      SCOPED_TRACE(std::string(c.what) + " at the name; " + kill.what);
      ErrorFileRuns runs;
      runs.m_dir.writeFile("out/a.c.err", primary);
      const std::string stretch = runs.stretchOfOneRun();
      std::optional<test_support::SmallFileSystem> full;
      Start how;
      if (c.there == There::anotherUsersFile) {
        if (!canRunAsAnotherUser()) {
          notRun.push_back(c.what);
          continue;
        }
        ASSERT_TRUE(runs.runCopiesForOtherUsers());
        fs::permissions(runs.m_dir / "out", fs::perms(01777));
        for (const char *name : {"out/a.c.err", "out/a.c.met"})
          ASSERT_EQ(0, chown((runs.m_dir / name).c_str(), otherUser, otherUser));
        how.user = otherUser;
      }
      const std::string writingName = runs.journal() + ".new";
      if (c.there == There::directory)
        fs::create_directory(writingName);
      if (c.there == There::anotherUsersFile) {
        runs.m_dir.writeFile("out/.a.c.err.lyrsa-journal.new", "someone else's");
        ASSERT_EQ(0, chown(writingName.c_str(), 12345, 12345));
      }
      if (c.there == There::noInodeLeft || c.there == There::noRoomLeft) {
        // The output directory on a file system of its own, with room for
        // the record file and the error file and nothing more: no inode
        // left, or a filler that takes every block.
        const bool noInode = c.there == There::noInodeLeft;
        const std::string records = readFile(runs.m_dir / "out/a.c.met");
        fs::remove_all(runs.m_dir / "out");
        full.emplace(runs.m_dir.makeDirectory("out"), noInode ? 3 : 16);
        if (!full->mounted()) {
          notRun.push_back(c.what);
          continue;
        }
        runs.m_dir.writeFile("out/a.c.met", records);
        runs.m_dir.writeFile("out/a.c.err", primary);
        if (!noInode)
          test_support::fillFileSystem(runs.m_dir / "out/filler");
        const ProgramResult failed = runs.run({false, kill.shortWrite ? "fail-after=100" : "stop-after=1"});
        EXPECT_EQ(18, failed.exitCode);
        EXPECT_EQ("Cannot write journal '" + runs.journal() + "' of error file '" + runs.errorFile() +
                      "' to disk (No space left on device); nothing is added to the file.\n",
                  failed.err);
        EXPECT_TRUE(readFile(runs.errorFile()) == primary) << "the file changed";
        std::set<std::string> left = cleanOutput;
        if (!noInode)
          left.insert("filler");
        EXPECT_EQ(left, runs.outputFiles());
        continue;
      }
      const std::set<std::string> leftThere =
          c.there == There::nothing
              ? cleanOutput
              : std::set<std::string>{".a.c.err.lyrsa-journal.new", "a.c.err", "a.c.met"};

      Start killed = how;
      killed.fault = kill.shortWrite ? "fail-after=" + number(3 * page - primary.size()) + ",cut-fails"
                                     : "stop-after=" + number(page - primary.size());
      const ProgramResult first = runs.run(killed);
      if (kill.shortWrite) {
        EXPECT_EQ(18, first.exitCode) << first.err;
      } else {
        EXPECT_EQ(SIGKILL, first.termSignal) << first.err;
      }
      ASSERT_TRUE(fs::exists(runs.journal())) << "the run wrote no journal";

      const ProgramResult next = runs.run(how);
      EXPECT_EQ(0, next.exitCode);
      const std::uint64_t reached = kill.shortWrite ? 3 * page : page;
      EXPECT_EQ(kill.shortWrite ? wholeAppendLine(runs.errorFile(), reached, primary.size())
                                : cutShortLine(runs.errorFile(), reached, primary.size()),
                next.err);
      EXPECT_TRUE(readFile(runs.errorFile()) == primary + stretch) << "the file is not put back and appended";
      const ProgramResult after = runs.run(how);
      EXPECT_EQ(0, after.exitCode);
      EXPECT_EQ("", after.err);
      EXPECT_TRUE(readFile(runs.errorFile()) == primary + stretch + stretch);
      EXPECT_EQ(leftThere, runs.outputFiles()) << "a journal is left, or what stood there went";
    }
  }
  if (!notRun.empty())
    GTEST_SKIP() << "not run here: " << notRun.front();
}

// Another program appends a record to the error file without taking its lock
// while a run adds to it: before the run began to write, between its journal
// and its findings, or after its findings. A run that ends well keeps its
// findings and the record; one that fails or gets a signal takes back only
// its own bytes, when they are all that follows the file's length before it
// began, and otherwise leaves the file as it is and says so, with the exit
// code it would have had.
TEST(SharedOutputRunsTest, AnotherWritersBytesAreNeverCutAway) {
#ifndef LYR_TEST_HOOKS
  GTEST_SKIP() << "built without test hooks";
#endif
  ErrorFileRuns runs;
  runs.m_dir.writeFile("out/a.c.err", primary);
  const std::string stretch = runs.stretchOfOneRun();
  const std::string record = "another program's record";
  const std::string file = runs.errorFile();
  enum class End { well, failure, signal };
  struct Case {
    const char *what;
    std::string pause; // where the run pauses, while the record is appended
    End end;
    std::string after; // the file after the run, after the 13 bytes it had
    std::string err;
  };
  const std::string caught = caughtLines("SIGTERM");
  const Case cases[] = {
      {"before the run began to write, the run ends well", "pause-before-write", End::well, record + stretch,
       ""},
      {"before the run began to write, the run fails", "pause-before-write", End::failure, record,
       cannotWriteLine(file)},
      {"before the run began to write, a signal", "pause-before-write", End::signal, record, caught},
      {"between the journal and the findings, the run ends well", "pause-after=0", End::well,
       record + stretch, ""},
      {"between the journal and the findings, the run fails", "pause-after=0", End::failure, record + stretch,
       otherWriterLine(file, false) + cannotWriteLine(file)},
      {"between the journal and the findings, a signal", "pause-after=0", End::signal, record, caught},
      {"after the findings, the run ends well", "pause-after-write", End::well, stretch + record, ""},
      {"after the findings, a signal", "pause-after-write", End::signal, stretch + record,
       otherWriterLine(file, true) + caught},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    leaveOutput(runs, primary);
    const std::unique_ptr<RunningProgram> run =
        runs.start({false, c.pause + (c.end == End::failure ? ",close-fails" : "")});
    ASSERT_TRUE(test_support::eventually([&] { return test_support::stopped(run->pid()); }))
        << "the run does not pause";
    std::ofstream(file, std::ios::binary | std::ios::app) << record;
    if (c.end == End::signal) {
      ASSERT_EQ(0, kill(run->pid(), SIGTERM));
    }
    ASSERT_EQ(0, kill(run->pid(), SIGCONT));
    const ProgramResult result = ErrorFileRuns::finish(*run);
    EXPECT_EQ(c.end == End::well ? 0 : c.end == End::failure ? 18 : 19, result.exitCode);
    EXPECT_EQ(c.err, result.err);
    EXPECT_TRUE(readFile(file) == primary + c.after) << "the file is not as the run should leave it";
    EXPECT_EQ(cleanOutput, runs.outputFiles()) << "the journal stays";
  }
}

// The journal holds the first bytes of the findings, so it gets no permission
// that the error file lacks: a journal that a killed run leaves beside a file
// that only its owner may read, or its group, is as closed; and no one but
// its owner may ever write it, so the next run trusts it and puts the file
// back.
TEST(SharedOutputRunsTest, TheJournalIsNoMoreOpenThanTheErrorFile) {
#ifndef LYR_TEST_HOOKS
  GTEST_SKIP() << "built without test hooks";
#endif
  ErrorFileRuns runs;
  runs.m_dir.writeFile("out/a.c.err", primary);
  const std::string stretch = runs.stretchOfOneRun();
  const struct {
    mode_t file;
    mode_t journal;
  } cases[] = {{0644, 0644}, {0600, 0600}, {0640, 0640}, {0660, 0640}, {0666, 0644}};
  for (const auto &c : cases) {
    SCOPED_TRACE("an error file of mode 0" + std::to_string(c.file >> 6) + std::to_string(c.file >> 3 & 7) +
                 std::to_string(c.file & 7));
    leaveOutput(runs, primary);
    ASSERT_EQ(0, chmod(runs.errorFile().c_str(), c.file));
    killAfter(runs, 1);
    struct stat status {};
    ASSERT_EQ(0, stat(runs.journal().c_str(), &status));
    EXPECT_EQ(c.journal, status.st_mode & 07777);
    const ProgramResult next = runs.run();
    EXPECT_EQ(0, next.exitCode);
    EXPECT_EQ(cutShortLine(runs.errorFile(), primary.size() + 1, primary.size()), next.err);
    EXPECT_TRUE(readFile(runs.errorFile()) == primary + stretch);
    EXPECT_EQ(cleanOutput, runs.outputFiles());
  }
}

// A run killed through one name of the error file (before any of its bytes
// reached it, or after one), then a run through another name, then one
// through the first name again. Every name that reaches the file through
// symbolic links finds one journal, so the file is put right. A hard link has
// a journal of its own beside it: a run through it does not see the killed
// run's journal, and says so; the run after it, which finds that journal
// beside a file with more than one name, never cuts the file, so the findings
// of the run that ended well are never taken back. A byte that the killed run
// left then stays, and the file does not read back.
TEST(SharedOutputRunsTest, ARunThroughAnotherNameOfTheFileIsNeverTakenBack) {
#ifndef LYR_TEST_HOOKS
  GTEST_SKIP() << "built without test hooks";
#endif
  ErrorFileRuns runs;
  runs.m_dir.writeFile("out/a.c.err", primary);
  const std::string stretch = runs.stretchOfOneRun();
  enum class Names { one, symbolicLink, hardLink };
  struct Case {
    const char *what;
    Names names;
    std::uint64_t reached; // of the killed run
  };
  const Case cases[] = {
      {"one name, killed before its bytes", Names::one, 0},
      {"one name, killed after a byte", Names::one, 1},
      {"a symbolic link, killed before its bytes", Names::symbolicLink, 0},
      {"a symbolic link, killed after a byte", Names::symbolicLink, 1},
      {"a hard link, killed before its bytes", Names::hardLink, 0},
      {"a hard link, killed after a byte", Names::hardLink, 1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    for (const char *directory : {"first", "second"}) {
      fs::remove_all(runs.m_dir / directory);
      runs.m_dir.makeDirectory(directory);
      runs.m_dir.writeFile(std::string(directory) + "/a.c.met", runs.records());
    }
    const std::string first = runs.m_dir / "first/a.c.err", second = runs.m_dir / "second/a.c.err";
    runs.m_dir.writeFile("second/a.c.err", primary);
    if (c.names == Names::one)
      fs::copy_file(second, first, fs::copy_options::overwrite_existing);
    else if (c.names == Names::symbolicLink)
      fs::create_symlink("../second/a.c.err", first);
    else
      fs::create_hard_link(second, first);
    // The name that the second run goes through.
    const std::string other = c.names == Names::one ? first : second;
    const std::string file = c.names == Names::symbolicLink ? second : first;
    const std::string journal = c.names == Names::symbolicLink ? runs.m_dir / "second/.a.c.err.lyrsa-journal"
                                                               : runs.m_dir / "first/.a.c.err.lyrsa-journal";
    const auto through = [](const std::string &name, const std::string &fault = "") {
      Start how{false, fault};
      how.outputDirectory = fs::path(name).parent_path().filename().string();
      return how;
    };

    const ProgramResult killed = runs.run(through(first, "stop-after=" + number(c.reached)));
    EXPECT_EQ(SIGKILL, killed.termSignal) << killed.err;
    ASSERT_TRUE(fs::exists(journal));
    const std::string left = primary + stretch.substr(0, c.reached);

    std::string secondErr, thirdErr, after;
    switch (c.names) {
    case Names::one:
    case Names::symbolicLink:
      secondErr = c.reached == 0 ? "" : cutShortLine(other, left.size(), primary.size());
      after = primary + stretch + stretch;
      break;
    case Names::hardLink:
      secondErr = otherNamesWarning(other) + (c.reached == 0 ? "" : notAddingLine(other));
      thirdErr = otherNamesLeftAlone(first, journal) + otherNamesWarning(first) +
                 (c.reached == 0 ? "" : notAddingLine(first));
      after = c.reached == 0 ? primary + stretch + stretch : left;
      break;
    }
    const ProgramResult secondRun = runs.run(through(other));
    EXPECT_EQ(0, secondRun.exitCode);
    EXPECT_EQ(secondErr, secondRun.err);
    const ProgramResult thirdRun = runs.run(through(first));
    EXPECT_EQ(0, thirdRun.exitCode);
    EXPECT_EQ(thirdErr, thirdRun.err);
    EXPECT_TRUE(readFile(file) == after)
        << "the file does not hold exactly what the runs that ended well added";
    EXPECT_FALSE(fs::exists(journal)) << "the journal stays";
  }
}

} // namespace
