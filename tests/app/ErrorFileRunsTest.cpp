// Runs of the built program that append to one error file: runs at once take
// turns (and a run that waits says so), a run that fails puts the file back
// without taking what another appended, a file-size limit fails the write like
// a full disk, a run killed while it writes leaves a file that the next run
// puts back, and a signal ends a run without a trace in the file. Every run of
// one input appends the same bytes (the trailers come from a generator that
// is never seeded), so the file after several runs is known exactly. Kills
// and failures in the middle of a write are brought about by the write fault
// that the program takes from its environment.
#include "support/FatalSignalNames.h"
#include "support/FileLocks.h"
#include "support/ProgramRun.h"
#include "support/ScratchDirectory.h"

#include <algorithm>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using test_support::ProgramResult;
using test_support::readFile;
using test_support::RunningProgram;
using test_support::ScratchDirectory;

// A new error file of format 2 without records.
const std::string primary("\x00\x93\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00", 13);

// Under a limit of this many blocks of the shell's "ulimit -f" (512 or 1024
// bytes), no run's stretch fits.
const char *const sizeLimitBlocks = "2";

// How a run is started.
struct Start {
  bool sizeLimited = false;                 // under the file-size limit
  std::string fault;                        // the write fault of the run
  std::vector<std::string> debugWords = {}; // more words of option "debug"
};

// An analysed file whose record file defines many macros that break the
// naming rule, so that each run appends a long stretch.
class ErrorFileRunsTest : public testing::Test {
protected:
  static constexpr int findings = 200;

  void SetUp() override {
    m_dir.writeFile("a.c");
    m_dir.writeFile("rules.txt", "rule={'message':5001,'space':'macro','pattern':'^[A-Z0-9_]+$'}\n");
    m_dir.makeDirectory("out");
    std::string records;
    for (int i = 0; i < findings; ++i)
      records += "<DEFINE> m" + std::to_string(i) + " a.c " + std::to_string(i + 1) + " N DF OM - - - O\n";
    m_dir.writeFile("out/a.c.met", records);
  }

  std::string errorFile() const { return m_dir / "out/a.c.err"; }

  // A run of the program on the analysed file.
  std::unique_ptr<RunningProgram> start(const Start &how = {}) const {
    std::vector<std::string> words{"lyr", "-debug", "null_metric_output", "-namerulefile", "rules.txt", "-op",
                                   "out", "a.c"};
    for (const std::string &word : how.debugWords)
      words.insert(words.begin() + 1, {"-debug", word});
    std::string program = LYR_PROGRAM_PATH;
    if (how.sizeLimited) {
      words.insert(words.begin(),
                   {"-c", std::string("ulimit -f ") + sizeLimitBlocks + " && exec \"$0\" \"$@\"", program});
      program = "/bin/sh";
    }
    std::map<std::string, std::optional<std::string>> environment{
        {"LYRBIN", std::string(LYR_TEST_DATA_DIR) + "/installation"},
        {"HOME", m_dir.path()},
        {"LANG", "C"},
        {"LYROUTPATH", std::nullopt},
        {"LYRRCPATH", std::nullopt},
        {"LYRSA_VOKT_TEST_WRITE_FAULT", std::nullopt}};
    if (!how.fault.empty())
      environment["LYRSA_VOKT_TEST_WRITE_FAULT"] = how.fault;
    return std::make_unique<RunningProgram>(program, words, test_support::environmentWith(environment),
                                            m_dir.path());
  }

  static ProgramResult finish(RunningProgram &program) { return program.finish({1 << 20, 120}); }

  // What one run alone appends to the file as it is now (the file is put
  // back afterwards): the bytes after the old ones, or, for a missing file,
  // those after the header that it makes.
  std::string stretchOfOneRun() {
    const bool existed = fs::exists(errorFile());
    const std::string before = existed ? readFile(errorFile()) : "";
    const ProgramResult run = finish(*start());
    EXPECT_EQ(0, run.exitCode) << run.err;
    const std::string after = readFile(errorFile());
    if (existed)
      m_dir.writeFile("out/a.c.err", before);
    else
      fs::remove(errorFile());
    return after.substr(existed ? before.size() : 8);
  }

  // What lyrsa_errcount says of the error file; a file that does not read
  // back makes its exit code 1.
  std::string count(int exitCode = 0) const {
    const ProgramResult result = test_support::runProgram(
        LYR_ERRCOUNT_PATH, {"lyr", "out/a.c.err"},
        test_support::environmentWith({{"LYRBIN", std::string(LYR_TEST_DATA_DIR) + "/installation"}}),
        m_dir.path(), {1 << 20, 120});
    EXPECT_EQ(exitCode, result.exitCode) << result.out << result.err;
    return result.out;
  }

  // The line of a run that waited about a second for the lock.
  std::string waitLine() const {
    return "Waiting for the lock on error file '" + errorFile() + "', which another process holds.\n";
  }

  std::string journal() const { return m_dir / "out/.a.c.err.lyrsa-journal"; }

  // Starts the runs while the test holds the lock of the existing error file,
  // and lets them have their turns once each of them waits for it and has
  // said so.
  std::vector<std::unique_ptr<RunningProgram>> startWaiting(const std::vector<Start> &runs) const {
    test_support::HeldLock held(errorFile());
    std::vector<std::unique_ptr<RunningProgram>> started;
    for (const Start &how : runs)
      started.push_back(start(how));
    EXPECT_TRUE(allWaitAndSaySo(started)) << "runs that do not wait for their turn, or do not say so";
    return started;
  }

  // Whether each of the runs waits for a lock and, once it has waited about a
  // second, says so on standard error, before long.
  bool allWaitAndSaySo(const std::vector<std::unique_ptr<RunningProgram>> &runs) const {
    const bool waiting = test_support::eventually([&] {
      for (const auto &run : runs)
        if (!test_support::waitsForLock(run->pid()))
          return false;
      return true;
    });
    return waiting && std::all_of(runs.begin(), runs.end(),
                                  [&](const auto &run) { return run->waitUntilErrorHolds(waitLine()); });
  }

  // The names in the output directory: no temporary file stays behind.
  std::set<std::string> outputFiles() const {
    std::set<std::string> names;
    for (const fs::directory_entry &entry : fs::directory_iterator(m_dir / "out"))
      names.insert(entry.path().filename().string());
    return names;
  }

  ScratchDirectory m_dir;
};

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
    std::optional<test_support::HeldLock> held;
    if (existing)
      held.emplace(errorFile());
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
  EXPECT_EQ(waitLine() + "Cannot write error file '" + errorFile() + "'.\n", failed.err);
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
    EXPECT_EQ("Cannot write error file '" + errorFile() + "'.\n", run.err);
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

// A run killed while its stretch goes into the file (SIGKILL, as from the
// out-of-memory killer) leaves the file cut, with a journal beside it that
// says how long the file was. The next run to take the lock puts the file back
// to that length and says so, then appends as usual: three runs waiting behind
// the killed one append their findings whole, and the file reads back. Killed
// before any byte reached the file, the run leaves the file whole and its
// journal goes without a word.
TEST_F(ErrorFileRunsTest, AKilledWriteIsPutBackByTheNextRun) {
  if (!test_support::lockTableReadable())
    GTEST_SKIP() << "no /proc/locks";
  m_dir.writeFile("out/a.c.err", primary);
  const std::string stretch = stretchOfOneRun();
  for (const std::uint64_t reached : {std::uint64_t{0}, std::uint64_t{1}, std::uint64_t{stretch.size() / 2},
                                      std::uint64_t{stretch.size() - 1}}) {
    SCOPED_TRACE("killed after " + std::to_string(reached) + " bytes of " + std::to_string(stretch.size()));
    m_dir.writeFile("out/a.c.err", primary);
    const ProgramResult killed = finish(*start({false, "stop-after=" + std::to_string(reached)}));
    EXPECT_EQ(SIGKILL, killed.termSignal);
    EXPECT_TRUE(readFile(errorFile()) == primary + stretch.substr(0, reached))
        << "not cut where it was killed";
    EXPECT_TRUE(fs::exists(journal()));
    if (reached > 0)
      EXPECT_EQ(
          "out/a.c.err: unreadable (cut short by a run that ended while writing it; the next run puts it "
          "back)\n",
          count(1));

    const std::vector<std::unique_ptr<RunningProgram>> runs = startWaiting({{}, {}, {}});
    const std::string putBack = "Warning - Error file '" + errorFile() +
                                "' was cut short by a run that ended while writing it; it is put back from " +
                                std::to_string(primary.size() + reached) + " to its " +
                                std::to_string(primary.size()) + " bytes.\n";
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

// A run killed while it makes a missing file leaves only the file's temporary
// name; the next run that makes a file there removes it, and makes the file.
TEST_F(ErrorFileRunsTest, AKilledRunMakingTheFileLeavesOnlyItsTemporaryFile) {
  const std::string stretch = stretchOfOneRun();
  const ProgramResult killed = finish(*start({false, "stop-after=" + std::to_string(stretch.size() / 2)}));
  EXPECT_EQ(SIGKILL, killed.termSignal);
  const std::set<std::string> left = outputFiles();
  ASSERT_EQ(2u, left.size());
  EXPECT_EQ(0u, left.count("a.c.err"));
  EXPECT_EQ(".lyrsa-", left.begin()->substr(0, 7)) << *left.begin();
  const ProgramResult run = finish(*start());
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ("", run.err);
  EXPECT_EQ((std::set<std::string>{"a.c.err", "a.c.met"}), outputFiles());
  EXPECT_EQ("out/a.c.err: " + std::to_string(findings) + " messages, 0 suppression records\n", count());
}

// When the put-back after a failed write fails as well (an append-only file),
// the run says which length the file belongs to and keeps the journal, exit
// code 18. A run that cannot put it back either fails the same way without
// touching it; the first run that can puts it back and appends.
TEST_F(ErrorFileRunsTest, AFailedPutBackKeepsTheJournalForALaterRun) {
  m_dir.writeFile("out/a.c.err", primary);
  const std::string stretch = stretchOfOneRun();
  const std::string half = std::to_string(stretch.size() / 2);
  const std::string cannotPutBack = "Cannot put file '" + errorFile() + "' back to its length of " +
                                    std::to_string(primary.size()) + " bytes; its journal '" + journal() +
                                    "' is kept, so that a later run puts it back.\n";
  const ProgramResult failed = finish(*start({false, "fail-after=" + half + ",cut-fails"}));
  EXPECT_EQ(18, failed.exitCode);
  EXPECT_EQ("Cannot write error file '" + errorFile() + "'.\n" + cannotPutBack, failed.err);
  const std::string cut = primary + stretch.substr(0, stretch.size() / 2);
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
                "' was cut short by a run that ended while writing it; it is put back from " +
                std::to_string(cut.size()) + " to its " + std::to_string(primary.size()) + " bytes.\n",
            mending.err);
  EXPECT_TRUE(readFile(errorFile()) == primary + stretch);
  EXPECT_EQ((std::set<std::string>{"a.c.err", "a.c.met"}), outputFiles());
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
