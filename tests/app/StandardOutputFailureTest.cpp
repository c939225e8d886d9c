// Runs of the built program whose text output cannot be written: standard
// output on a full device (/dev/full) or on a pipe whose reader has gone. The findings cannot reach
// the user, so the run ends with one line on standard error and exit code 18,
// as it does when an error file cannot be written. With nothing to print, the
// run ends well.
#include "support/ProgramRun.h"
#include "support/ScratchDirectory.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using test_support::ScratchDirectory;

// A descriptor that the program gets as its standard output, closed when it
// goes.
struct Output {
  int fd = -1;
  ~Output() {
    if (fd >= 0)
      close(fd);
  }
};

// A file with one use of errno, which the library check reports (5119).
void writeInput(const ScratchDirectory &scratch) {
  scratch.writeFile("a.c", "#include <errno.h>\nint f(void) { return errno; }\n");
  scratch.writeFile("a.c.met", "");
}

test_support::ProgramResult runInto(const ScratchDirectory &scratch, int standardOutput,
                                    const std::vector<std::string> &arguments) {
  const auto environment =
      test_support::environmentWith({{"HOME", scratch.path()},
                                     {"LYRBIN", std::string(LYR_TEST_DATA_DIR) + "/installation"},
                                     {"LYROUTPATH", std::nullopt},
                                     {"LYRRCPATH", std::nullopt}});
  // The program starts with SIGPIPE at its default, which would end it at
  // the write to the pipe: it ignores the signal itself, so that the write
  // fails instead.
  struct sigaction byDefault = {}, old = {};
  byDefault.sa_handler = SIG_DFL;
  sigaction(SIGPIPE, &byDefault, &old);
  test_support::RunningProgram program(LYR_PROGRAM_PATH, arguments, environment, scratch.path(),
                                       standardOutput);
  sigaction(SIGPIPE, &old, nullptr);
  return program.finish(test_support::RunBounds{1 << 20, 120});
}

TEST(StandardOutputFailureTest, AFailedTextOutputEndsTheRunWithExitCode18) {
  struct Case {
    bool closedPipe; // else /dev/full
    const char *word;
    bool findings;
  };
  const Case cases[] = {
      {false, "simpleoutput", true}, {false, "textoutput", true},  {false, "formatoutput", true},
      {true, "simpleoutput", true},  {true, "formatoutput", true}, {false, "simpleoutput", false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.closedPipe ? "closed pipe" : "/dev/full") + ", -debug " + c.word +
                 (c.findings ? "" : ", nothing to print"));
    const ScratchDirectory scratch;
    writeInput(scratch);
    Output out;
    if (c.closedPipe) {
      int ends[2];
      ASSERT_EQ(0, pipe(ends));
      close(ends[0]);
      out.fd = ends[1];
    } else {
      out.fd = open("/dev/full", O_WRONLY);
      if (out.fd < 0)
        GTEST_SKIP() << "no /dev/full";
    }
    const test_support::ProgramResult result =
        runInto(scratch, out.fd, {"lyr", "-debug", c.word, "-only", c.findings ? "5119" : "1", "a.c"});
    EXPECT_EQ(c.findings ? "Cannot write text output to standard output.\n" : "", result.err);
    EXPECT_EQ(c.findings ? 18 : 0, result.exitCode);
    EXPECT_FALSE(std::filesystem::exists(scratch / "a.c.err")) << "nothing goes to the error file";
  }
}

} // namespace
