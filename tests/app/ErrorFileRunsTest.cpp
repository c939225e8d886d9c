// Runs of the built program that append to one error file: runs at once take
// turns, a run that fails puts the file back without taking what another
// appended, and a file-size limit fails the write like a full disk. Every run
// of one input appends the same bytes (the trailers come from a generator that
// is never seeded), so the file after several runs is known exactly.
#include "support/FileLocks.h"
#include "support/ProgramRun.h"
#include "support/ScratchDirectory.h"

#include <filesystem>
#include <gtest/gtest.h>
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

  // A run of the program on the analysed file; under the file-size limit
  // when asked.
  std::unique_ptr<RunningProgram> start(bool sizeLimited = false) const {
    std::vector<std::string> words{"lyr", "-debug", "null_metric_output", "-namerulefile", "rules.txt", "-op",
                                   "out", "a.c"};
    std::string program = LYR_PROGRAM_PATH;
    if (sizeLimited) {
      words.insert(words.begin(),
                   {"-c", std::string("ulimit -f ") + sizeLimitBlocks + " && exec \"$0\" \"$@\"", program});
      program = "/bin/sh";
    }
    return std::make_unique<RunningProgram>(
        program, words,
        test_support::environmentWith({{"LYRBIN", std::string(LYR_TEST_DATA_DIR) + "/installation"},
                                       {"HOME", m_dir.path()},
                                       {"LANG", "C"},
                                       {"LYROUTPATH", std::nullopt},
                                       {"LYRRCPATH", std::nullopt}}),
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

  // The count of lyrsa_errcount for the error file.
  std::string count() const {
    const ProgramResult result = test_support::runProgram(
        LYR_ERRCOUNT_PATH, {"lyr", "out/a.c.err"},
        test_support::environmentWith({{"LYRBIN", std::string(LYR_TEST_DATA_DIR) + "/installation"}}),
        m_dir.path(), {1 << 20, 120});
    EXPECT_EQ(0, result.exitCode) << result.out << result.err;
    return result.out;
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
// test holds the file's lock until all four wait for their turn; a missing
// file is made by one of them and appended to by the others.
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
      EXPECT_TRUE(test_support::eventually([&] {
        for (const auto &run : runs)
          if (!test_support::waitsForLock(run->pid()))
            return false;
        return true;
      })) << "runs that do not wait for their turn";
      held.reset();
    }
    for (const auto &run : runs) {
      const ProgramResult result = finish(*run);
      EXPECT_EQ(0, result.exitCode);
      EXPECT_EQ("", result.err);
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
  const std::unique_ptr<RunningProgram> failing = start(true);
  const std::unique_ptr<RunningProgram> passing = start();
  EXPECT_TRUE(test_support::eventually([&] {
    return test_support::waitsForLock(failing->pid()) && test_support::waitsForLock(passing->pid());
  })) << "runs that do not wait for their turn";
  held.release();
  const ProgramResult failed = finish(*failing);
  const ProgramResult passed = finish(*passing);
  EXPECT_EQ(18, failed.exitCode);
  EXPECT_EQ("Cannot write error file '" + errorFile() + "'.\n", failed.err);
  EXPECT_EQ(0, passed.exitCode);
  EXPECT_EQ("", passed.err);
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
    const ProgramResult run = finish(*start(true));
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

} // namespace
