// Runs of the built program that append to one error file: runs at once take
// turns (and a run that waits says so), a run that fails puts the file back
// without taking what another appended, a file-size limit fails the write like
// a full disk, a run killed while it writes leaves a file that the next run
// puts back, and a signal ends a run without a trace in the file. Every run of
// one input appends the same bytes (the trailers come from a generator that
// is never seeded), so the file after several runs is known exactly. Kills
// and failures in the middle of a write are brought about by the write fault
// that the program takes from its environment.
#include "support/ErrorFileRuns.h"
#include "support/FatalSignalNames.h"
#include "support/FileLocks.h"
#include "support/ProgramRun.h"

#include <algorithm>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using test_support::ProgramResult;
using test_support::readFile;
using test_support::RunningProgram;
using test_support::Start;

const std::string &primary = test_support::primaryErrorFile;

class ErrorFileRunsTest : public testing::Test, public test_support::ErrorFileRuns {};

// Four runs at once on one error file all end well, and the file holds what
// each appended, whole, one stretch after another. On an existing file, the
// test holds the file's lock until all four wait for their turn, and each
// says once that it waits; a missing file is made by one of them and
// appended to by the others.
TEST_F(ErrorFileRunsTest, RunsAtOnceTakeTurns) {
  if (!test_support::lockTableReadable())
    GTEST_SKIP() << "no /proc/locks";
  for (bool existing : {true, false}) {
    SCOPED_TRACE(existing ? "existing file" : "missing file");
    fs::remove(errorFile());
    if (existing)
      m_dir.writeFile("out/a.c.err", primary);
    const std::string stretch = stretchOfOneRun();
    std::unique_ptr<test_support::HeldLock> held;
    if (existing)
      held = std::make_unique<test_support::HeldLock>(errorFile());
    std::vector<std::unique_ptr<RunningProgram>> runs;
    for (int i = 0; i < 4; ++i)
      runs.push_back(start());
    if (existing) {
      EXPECT_TRUE(allWaitAndSaySo(runs)) << "runs that do not wait for their turn, or do not say so";
      held.reset();
    }
    for (const auto &run : runs) {
      const ProgramResult result = finish(*run);
      EXPECT_EQ(0, result.exitCode);
      // A run that waited about a second for its turn says so, once.
      if (existing)
        EXPECT_EQ(waitLine(), result.err);
      else
        EXPECT_TRUE(result.err.empty() || result.err == waitLine()) << result.err;
    }
    std::string expected = existing ? primary : primary.substr(0, 8);
    for (int i = 0; i < 4; ++i)
      expected += stretch;
    EXPECT_TRUE(readFile(errorFile()) == expected) << "the file is not the four stretches one after another";
    EXPECT_EQ("out/a.c.err: " + std::to_string(4 * findings) + " messages, 0 suppression records\n", count());
    EXPECT_EQ((std::set<std::string>{"a.c.err", "a.c.met"}), outputFiles());
  }
}

// A run that cannot write its stretch (here: past the file-size limit) puts
// the file back while it holds the lock, so it cannot take away what another
// run appended; whichever of the two has its turn first.
TEST_F(ErrorFileRunsTest, APutBackKeepsAnotherRunsStretch) {
  if (!test_support::lockTableReadable())
    GTEST_SKIP() << "no /proc/locks";
  m_dir.writeFile("out/a.c.err", primary);
  const std::string stretch = stretchOfOneRun();
  test_support::HeldLock held(errorFile());
  std::vector<std::unique_ptr<RunningProgram>> runs;
  runs.push_back(start({true}));
  runs.push_back(start());
  EXPECT_TRUE(allWaitAndSaySo(runs)) << "runs that do not wait for their turn, or do not say so";
  held.release();
  const ProgramResult failed = finish(*runs[0]);
  const ProgramResult passed = finish(*runs[1]);
  EXPECT_EQ(18, failed.exitCode);
  EXPECT_EQ(waitLine() + "Cannot write error file '" + errorFile() + "' (File too large).\n", failed.err);
  EXPECT_EQ(0, passed.exitCode);
  EXPECT_EQ(waitLine(), passed.err);
  EXPECT_TRUE(readFile(errorFile()) == primary + stretch) << "the file is not the passing run's stretch";
}

// A file-size limit fails the write as a full disk does: one line names the
// file, the exit code is 18, and the file is as it was (a missing one is not
// made, and no temporary file stays).
TEST_F(ErrorFileRunsTest, AFileSizeLimitFailsTheWrite) {
  for (bool existing : {true, false}) {
    SCOPED_TRACE(existing ? "existing file" : "missing file");
    fs::remove(errorFile());
    if (existing)
      m_dir.writeFile("out/a.c.err", primary);
    const ProgramResult run = finish(*start({true}));
    EXPECT_EQ(18, run.exitCode);
    EXPECT_EQ("Cannot write error file '" + errorFile() + "' (File too large).\n", run.err);
    EXPECT_EQ("", run.out);
    EXPECT_EQ(existing, fs::exists(errorFile()));
    if (existing) {
      EXPECT_TRUE(readFile(errorFile()) == primary);
    }
    const std::set<std::string> left =
        existing ? std::set<std::string>{"a.c.err", "a.c.met"} : std::set<std::string>{"a.c.met"};
    EXPECT_EQ(left, outputFiles());
  }
}

// A file that the run may not write is left as it is, and the line that names
// it says why: a file that the run's user may not write, and one made
// immutable (chattr +i), which not even root may write. Both need root, the
// second a file system that has the flag.
TEST_F(ErrorFileRunsTest, AFileThatMayNotBeWrittenIsNamedWithTheReason) {
  if (geteuid() != 0 || access("/usr/bin/setpriv", X_OK) != 0)
    GTEST_SKIP() << "needs root to run as another user and to make a file immutable";
  ASSERT_TRUE(runCopiesForOtherUsers());
  fs::permissions(m_dir / "out", fs::perms(01777));
  const struct Case {
    const char *what;
    std::optional<unsigned> user;
    bool immutable;
    const char *reason;
  } cases[] = {
      {"a file of root's, written by another user", 65534u, false, "Permission denied"},
      {"an immutable file", std::nullopt, true, "Operation not permitted"},
  };
  std::vector<std::string> notRun;
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    m_dir.writeFile("out/a.c.err", primary);
    if (c.immutable && std::system(("chattr +i '" + errorFile() + "' 2>/dev/null").c_str()) != 0) {
      notRun.push_back(c.what);
      continue;
    }
    const ProgramResult run = finish(*start({.user = c.user}));
    if (c.immutable)
      std::system(("chattr -i '" + errorFile() + "' 2>/dev/null").c_str());
    EXPECT_EQ(18, run.exitCode);
    EXPECT_EQ("Cannot write error file '" + errorFile() + "' (" + c.reason + ").\n", run.err);
    EXPECT_TRUE(readFile(errorFile()) == primary) << "the file changed";
  }
  if (!notRun.empty())
    GTEST_SKIP() << "not run here: " << notRun.front();
}

// A run killed while its stretch goes into the file (SIGKILL, as from the
// out-of-memory killer) leaves the file cut, with a journal beside it that
// says how long the file was. The next run to take the lock puts the file back
// to that length and says so, then appends as usual: three runs waiting behind
// the killed one append their findings whole, and the file reads back. Killed
// before any byte reached the file, the run leaves the file whole and its
// journal goes without a word. A write killed in its middle stops on a 4 KiB
// boundary of the file (the append begins at byte 13): the cuts are where a
// kill can leave the file, up to the whole stretch, which reads back and is
// still the dead run's to take back.
TEST_F(ErrorFileRunsTest, AKilledWriteIsPutBackByTheNextRun) {
  if (!test_support::lockTableReadable())
    GTEST_SKIP() << "no /proc/locks";
  m_dir.writeFile("out/a.c.err", primary);
  const std::string stretch = stretchOfOneRun();
  const std::uint64_t page = 4096;
  for (const std::uint64_t reached : {std::uint64_t{0}, std::uint64_t{1}, page - primary.size(),
                                      3 * page - primary.size(), std::uint64_t{stretch.size()}}) {
    SCOPED_TRACE("killed after " + std::to_string(reached) + " bytes of " + std::to_string(stretch.size()));
    const bool whole = reached == stretch.size();
    m_dir.writeFile("out/a.c.err", primary);
    const ProgramResult killed = finish(*start({false, "stop-after=" + std::to_string(reached)}));
    EXPECT_EQ(SIGKILL, killed.termSignal);
    EXPECT_TRUE(readFile(errorFile()) == primary + stretch.substr(0, reached))
        << "not cut where it was killed";
    EXPECT_TRUE(fs::exists(journal()));
    if (whole) {
      EXPECT_EQ(
          "out/a.c.err: " + std::to_string(findings) + " messages, 0 suppression records (" +
              std::to_string(findings) +
              " messages and 0 suppression records of them are from a run that did not finish; the next "
              "run takes them back)\n",
          count());
    } else if (reached > 0) {
      EXPECT_EQ(
          "out/a.c.err: unreadable (cut short by a run that ended while writing it; the next run puts it "
          "back)\n",
          count(1));
    }

    const std::vector<std::unique_ptr<RunningProgram>> runs = startWaiting({{}, {}, {}});
    const std::string putBack =
        "Warning - Error file '" + errorFile() +
        (whole ? "' holds all that a run which did not finish wrote to it; it is put back from "
               : "' was cut short by a run that ended while writing it; it is put back from ") +
        std::to_string(primary.size() + reached) + " to its " + std::to_string(primary.size()) + " bytes.\n";
    int putBackLines = 0;
    for (const auto &run : runs) {
      const ProgramResult result = finish(*run);
      EXPECT_EQ(0, result.exitCode) << result.err;
      if (result.err == waitLine() + putBack)
        ++putBackLines;
      else
        EXPECT_EQ(waitLine(), result.err);
    }
    EXPECT_EQ(reached > 0 ? 1 : 0, putBackLines) << "the file is put back once, by the first run";
    EXPECT_TRUE(readFile(errorFile()) == primary + stretch + stretch + stretch)
        << "the file is not the three stretches after what it held";
    EXPECT_EQ("out/a.c.err: " + std::to_string(3 * findings) + " messages, 0 suppression records\n", count());
    EXPECT_EQ((std::set<std::string>{"a.c.err", "a.c.met"}), outputFiles()) << "the journal is gone";
  }
}

// A run killed while it makes a missing file leaves only the file under its
// making name; the next run that makes the file takes that name over, and
// makes the file.
TEST_F(ErrorFileRunsTest, AKilledRunMakingTheFileLeavesOnlyItsTemporaryFile) {
  const std::string stretch = stretchOfOneRun();
  const ProgramResult killed = finish(*start({false, "stop-after=" + std::to_string(stretch.size() / 2)}));
  EXPECT_EQ(SIGKILL, killed.termSignal);
  EXPECT_EQ((std::set<std::string>{".a.c.err.lyrsa-new", "a.c.met"}), outputFiles());
  const ProgramResult run = finish(*start());
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ("", run.err);
  EXPECT_EQ((std::set<std::string>{"a.c.err", "a.c.met"}), outputFiles());
  EXPECT_EQ("out/a.c.err: " + std::to_string(findings) + " messages, 0 suppression records\n", count());
}

// A run that makes the file leaves no other name of it: not where the lock of
// the making name cannot be had (a file system without locks: the file is
// made under a name of the run's own), nor where the making name cannot go
// at once when the file gets its own name (the run's end removes it).
TEST_F(ErrorFileRunsTest, ARunMakingTheFileLeavesNoOtherNameOfIt) {
  const std::string stretch = stretchOfOneRun();
  for (const char *fault : {"making-lock-fails", "making-unlink-fails"}) {
    SCOPED_TRACE(fault);
    fs::remove(errorFile());
    const ProgramResult run = finish(*start({false, fault}));
    EXPECT_EQ(0, run.exitCode);
    EXPECT_EQ("", run.err);
    EXPECT_TRUE(readFile(errorFile()).substr(8) == stretch);
    EXPECT_EQ((std::set<std::string>{"a.c.err", "a.c.met"}), outputFiles());
  }
}

// When the put-back after a failed write fails as well (an append-only file),
// the run says which length the file belongs to and keeps the journal, exit
// code 18. A run that cannot put it back either fails the same way without
// touching it; the first run that can puts it back and appends. A full disk
// stops the write on a 4 KiB boundary of the file: here the one after the
// first bytes that the journal keeps whole and one block more.
TEST_F(ErrorFileRunsTest, AFailedPutBackKeepsTheJournalForALaterRun) {
  m_dir.writeFile("out/a.c.err", primary);
  const std::string stretch = stretchOfOneRun();
  const std::string cannotPutBack = "Cannot put file '" + errorFile() + "' back to its length of " +
                                    std::to_string(primary.size()) + " bytes; its journal '" + journal() +
                                    "' is kept, so that a later run puts it back.\n";
  // A write fails where the disk is full, on a block boundary or inside a
  // block: the journal then covers just what reached the file, so that every
  // byte of it can be checked.
  for (const std::size_t reached : {std::size_t{3 * 4096 - primary.size()}, stretch.size() / 2}) {
    SCOPED_TRACE("failed after " + std::to_string(reached) + " bytes");
    m_dir.writeFile("out/a.c.err", primary);
    const ProgramResult failed =
        finish(*start({false, "fail-after=" + std::to_string(reached) + ",cut-fails"}));
    EXPECT_EQ(18, failed.exitCode);
    EXPECT_EQ("Cannot write error file '" + errorFile() + "' (No space left on device).\n" + cannotPutBack,
              failed.err);
    const std::string cut = primary + stretch.substr(0, reached);
    EXPECT_TRUE(readFile(errorFile()) == cut);
    EXPECT_TRUE(fs::exists(journal()));

    const ProgramResult stillFailing = finish(*start({false, "cut-fails"}));
    EXPECT_EQ(18, stillFailing.exitCode);
    EXPECT_EQ(cannotPutBack, stillFailing.err);
    EXPECT_TRUE(readFile(errorFile()) == cut);
    EXPECT_TRUE(fs::exists(journal()));

    const ProgramResult mending = finish(*start());
    EXPECT_EQ(0, mending.exitCode);
    EXPECT_EQ("Warning - Error file '" + errorFile() +
                  "' holds all that a run which did not finish wrote to it; it is put back from " +
                  std::to_string(cut.size()) + " to its " + std::to_string(primary.size()) + " bytes.\n",
              mending.err);
    EXPECT_TRUE(readFile(errorFile()) == primary + stretch);
    EXPECT_EQ((std::set<std::string>{"a.c.err", "a.c.met"}), outputFiles());
  }
}

// A journal left for a file that is no longer there (the primary analysis
// wrote a new one meanwhile, which may even get the old one's inode number)
// covers nothing: the new file is left as it is, the journal goes with a
// warning, and the run appends.
TEST_F(ErrorFileRunsTest, AJournalOfAnotherFileLeavesTheFileAlone) {
  m_dir.writeFile("out/a.c.err", primary);
  const std::string stretch = stretchOfOneRun();
  EXPECT_EQ(SIGKILL, finish(*start({false, "stop-after=100"})).termSignal);
  fs::remove(errorFile());
  std::string other = primary;
  other[4] = '\x07';
  m_dir.writeFile("out/a.c.err", other);
  const ProgramResult run = finish(*start());
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ("Warning - Error file '" + errorFile() + "' is not what its journal '" + journal() +
                "' covers (it is another file); the file is left as it is and the journal removed.\n",
            run.err);
  EXPECT_TRUE(readFile(errorFile()) == other + stretch);
  EXPECT_EQ((std::set<std::string>{"a.c.err", "a.c.met"}), outputFiles());
}

// Every signal whose default action would end the run ends it through the
// handler: its name, exit code 19, and the file as it was. The runs get their
// signals while they wait for the lock.
TEST_F(ErrorFileRunsTest, EverySignalThatEndsARunIsHandled) {
  if (!test_support::lockTableReadable())
    GTEST_SKIP() << "no /proc/locks";
  // The signals that come from outside; the faults are the process's own.
  std::vector<test_support::NamedSignal> signals;
  for (const test_support::NamedSignal &signal : test_support::fatalSignals())
    if (!signal.fault)
      signals.push_back(signal);
  m_dir.writeFile("out/a.c.err", primary);
  std::vector<std::unique_ptr<RunningProgram>> runs;
  {
    test_support::HeldLock held(errorFile());
    for (std::size_t i = 0; i < signals.size(); ++i)
      runs.push_back(start());
    ASSERT_TRUE(allWaitAndSaySo(runs)) << "runs that do not wait for their turn, or do not say so";
    for (std::size_t i = 0; i < signals.size(); ++i)
      ASSERT_EQ(0, kill(runs[i]->pid(), signals[i].number));
  }
  for (std::size_t i = 0; i < signals.size(); ++i) {
    SCOPED_TRACE(signals[i].name);
    const ProgramResult result = finish(*runs[i]);
    EXPECT_EQ(19, result.exitCode);
    EXPECT_EQ(waitLine() + "Caught signal: (" + signals[i].name + ")\nPlease contact Vennacore.\n",
              result.err);
  }
  EXPECT_TRUE(readFile(errorFile()) == primary);
  EXPECT_EQ((std::set<std::string>{"a.c.err", "a.c.met"}), outputFiles());
}

// An error file too short for its version word cannot be read back: it is
// left as it is, and the findings go to standard output with a warning, also
// when the run reads the file back first.
TEST_F(ErrorFileRunsTest, FilesTooShortForTheirVersionWordAreLeftAlone) {
  for (const std::size_t size : {1, 2, 3}) {
    for (bool readsBack : {false, true}) {
      SCOPED_TRACE(std::to_string(size) + " bytes" + (readsBack ? ", read back first" : ""));
      const std::string cut = primary.substr(0, size);
      m_dir.writeFile("out/a.c.err", cut);
      const ProgramResult run = finish(
          *start({false, "",
                  readsBack ? std::vector<std::string>{"always_read_errors"} : std::vector<std::string>{}}));
      EXPECT_EQ(0, run.exitCode);
      EXPECT_EQ("Warning - Not adding to error file '" + errorFile() +
                    "', which cannot be read back; diagnostics go to standard output.\n",
                run.err);
      EXPECT_EQ(static_cast<std::ptrdiff_t>(findings), std::count(run.out.begin(), run.out.end(), '\n'));
      EXPECT_NE(std::string::npos, run.out.find(": Msg=5001 #params=1 {m0}\n")) << run.out.substr(0, 200);
      EXPECT_TRUE(readFile(errorFile()) == cut);
    }
  }
}

} // namespace
