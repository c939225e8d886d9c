// Runs of the built program whose text output cannot be written: standard
// output on a full device (/dev/full) or on a pipe whose reader has gone
// (with SIGPIPE ignored, so that the write fails). The findings cannot reach
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
  // The program inherits the ignored SIGPIPE: its write to the pipe fails.
  struct sigaction ignore = {}, old = {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, &old);
  test_support::RunningProgram program(LYR_PROGRAM_PATH, arguments, environment, scratch.path(),
                                       standardOutput);
  sigaction(SIGPIPE, &old, nullptr);
  return program.finish(test_support::RunBounds{1 << 20, 120});
}

TEST(StandardOutputFailureTest, AFailedTextOutputEndsTheRunWithExitCode18) {
  const std::string failure = "Cannot write text output to standard output.\n";
  for (const char *output : {"/dev/full", "closed pipe"}) {
    for (const char *word : {"simpleoutput", "textoutput", "formatoutput"}) {
      for (const bool findings : {true, false}) {
        SCOPED_TRACE(std::string(output) + ", -debug " + word + (findings ? "" : ", nothing to print"));
        const ScratchDirectory scratch;
        writeInput(scratch);
        Output out;
        if (std::string(output) == "/dev/full") {
          out.fd = open("/dev/full", O_WRONLY);
          if (out.fd < 0)
            GTEST_SKIP() << "no /dev/full";
        } else {
          int ends[2];
          ASSERT_EQ(0, pipe(ends));
          close(ends[0]);
          out.fd = ends[1];
        }
        const test_support::ProgramResult result =
            runInto(scratch, out.fd, {"lyr", "-debug", word, "-only", findings ? "5119" : "1", "a.c"});
        EXPECT_EQ(findings ? failure : "", result.err);
        EXPECT_EQ(findings ? 18 : 0, result.exitCode);
        EXPECT_FALSE(std::filesystem::exists(scratch / "a.c.err")) << "nothing goes to the error file";
      }
    }
  }
}

} // namespace
