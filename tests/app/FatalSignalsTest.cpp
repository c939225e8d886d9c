// A fatal signal is reported by name on standard error and ends the process
// at once with exit code 19, inside a test process and in a run of the built
// program.
#include "app/FatalSignals.h"
#include "app/App.h"
#include "app/OrphanFileHandler.h"
#include "app/RunApp.h"
#include "foundation/Assertion.h"
#include "platform/AppendProtocol.h"
#include "platform/BinaryFile.h"
#include "platform/WriteFault.h"
#include "resultfiles/RecordWriter.h"
#include "support/AppendFiles.h"
#include "support/FatalSignalNames.h"
#include "support/ProgramRun.h"
#include "support/ScratchDirectory.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

using test_support::literally;

using test_support::fatalSignals;
using test_support::NamedSignal;

std::string reportPattern(const std::string &name) {
  return "^" + literally("Caught signal: (" + name + ")\nPlease contact Vennacore.\n") + "$";
}

TEST(FatalSignalsDeathTest, EachFatalSignalIsNamedAndEndsWith19) {
  GTEST_FLAG_SET(death_test_style, "fast");
  for (const NamedSignal &signal : fatalSignals()) {
    SCOPED_TRACE(signal.name);
    EXPECT_EXIT(
        {
          installSignalHandlers(onFatalSignal);
          std::raise(signal.number);
        },
        testing::ExitedWithCode(19), reportPattern(signal.name));
  }
}

TEST(FatalSignalsTest, ASignalWithoutANameGetsOnlyTheFrame) {
  testing::internal::CaptureStderr();
  reportFatalSignal(SIGCHLD);
  EXPECT_EQ("Caught signal: (Please contact Vennacore.\n", testing::internal::GetCapturedStderr());
}

// An application whose run fails an aborting consistency check.
class AbortingApp : public QL_App {
public:
  AbortingApp() : QL_App("") {}
  int run() override {
    U_ASSERT(1 + 1 == 3);
    return 0;
  }
  C_OrphanHandler &orphanHandler() override { return m_files; }

private:
  C_OrphanFileHandler m_files;
};

void runAbortingApp() {
  const char *const words[] = {"lyr", "a.c"};
  runApp(2, words, new AbortingApp);
}

TEST(FatalSignalsDeathTest, AnAbortingCheckInARunEndsThroughTheSignalReport) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // The child runs the test again from its start and ends without cleaning
  // up: a home without an rc file that needs no removal.
  const std::string installation = std::string(LYR_TEST_DATA_DIR) + "/installation";
  test_support::EnvironmentVariable bin("LYRBIN", installation);
  test_support::EnvironmentVariable homeVariable("HOME", installation);
  EXPECT_EXIT(runAbortingApp(), testing::ExitedWithCode(19),
              "Assertion at FatalSignalsTest.cpp:[0-9]+: Assertion '1 \\+ 1 == 3' failed\\.\n"
              "Caught signal: \\(SIGABRT\\)\nPlease contact Vennacore\\.\n$");
}

// A file being appended to when the process dies is cut back to what it
// held before, even when part of the new bytes reached it already; a file
// being made is not left behind.
TEST(FatalSignalsDeathTest, AFileBeingWrittenIsPutBack) {
  // The child forks from here and writes the parent's file.
  GTEST_FLAG_SET(death_test_style, "fast");
  for (const NamedSignal &signal : fatalSignals()) {
    SCOPED_TRACE(signal.name);
    test_support::ScratchDirectory scratch;
    const std::string path = scratch.writeFile("a.c.err", "primary");
    EXPECT_EXIT(
        {
          installSignalHandlers(onFatalSignal);
          R_Writer writer(path);
          writer.openForAppend();
          writer.writeString("half a record");
          writer.flush();
          R_Writer made(scratch / "b.c.err");
          made.openToMake();
          made.writeString("half a record");
          made.flush();
          std::raise(signal.number);
        },
        testing::ExitedWithCode(19), literally("Caught signal: (" + signal.name + ")"));
    EXPECT_EQ("primary", test_support::readFile(path));
    EXPECT_EQ(std::vector<std::filesystem::path>{path},
              std::vector<std::filesystem::path>(std::filesystem::directory_iterator(scratch.path()), {}));
  }
}

// Appends a record to the file, in a process that commits its appends at its
// end: whether the writer's closing wrote it.
bool appendAtEnd(const std::string &path) {
  platform::commitAppendsAtExit();
  R_Writer writer(path);
  writer.openForAppend();
  writer.writeString("a record");
  return writer.close();
}

// In a process that commits its appends at its end, what a writer's closing
// wrote is kept only by the process's last act (platform::finishAppends). A
// signal before then, a fault sent by another process included, puts the
// file back and ends the process with 19; from the last act on every signal
// waits, and the process ends as it was about to, with the bytes in the file.
TEST(FatalSignalsDeathTest, TheFileAndTheExitCodeAgreeToTheEnd) {
  GTEST_FLAG_SET(death_test_style, "fast");
  const std::string written("primary\x08\x00\x00\x00"
                            "a record",
                            19);
  for (const NamedSignal &signal : fatalSignals()) {
    // After the last act a fault reaches the handler, which names it; any
    // other signal waits until the process has ended.
    const bool namedAfterTheLastAct = signal.fault || signal.number == SIGABRT;
    for (const bool lastActDone : {false, true}) {
      SCOPED_TRACE(signal.name + (lastActDone ? " after the last act" : " after the closing"));
      test_support::ScratchDirectory scratch;
      const std::string path = scratch.writeFile("a.c.err", "primary");
      EXPECT_EXIT(
          {
            installSignalHandlers(onFatalSignal);
            const bool closed = appendAtEnd(path);
            const bool kept = !lastActDone || platform::finishAppends(true).empty();
            std::raise(signal.number);
            std::_Exit(closed && kept ? 0 : 1);
          },
          testing::ExitedWithCode(lastActDone ? 0 : 19),
          lastActDone && !namedAfterTheLastAct ? "^$" : literally("Caught signal: (" + signal.name + ")"));
      EXPECT_EQ(lastActDone ? written : "primary", test_support::readFile(path));
      EXPECT_EQ(std::vector<std::filesystem::path>{path},
                std::vector<std::filesystem::path>(std::filesystem::directory_iterator(scratch.path()), {}))
          << "the journal is gone";
    }
  }
}

// A fault of the process itself cannot wait, also after its last act (an
// abort or a crash while it exits, say): the handler names it and ends the
// process as the last act decided, so that the exit code agrees with the
// file: with 0 and the bytes kept when it kept the append, with 19 and the
// file as it was when it put it back.
TEST(FatalSignalsDeathTest, AFaultAfterTheLastActEndsTheProcessAsTheLastActDecided) {
  GTEST_FLAG_SET(death_test_style, "fast");
  const std::string written("primary\x08\x00\x00\x00"
                            "a record",
                            19);
  struct Fault {
    const char *signal;
    void (*raise)();
  };
  const Fault faults[] = {
      {"SIGABRT", [] { std::abort(); }},
      // An instruction that the processor refuses: the kernel's own SIGILL,
      // which no mask can keep waiting.
      {"SIGILL", [] { __builtin_trap(); }},
  };
  for (const Fault &fault : faults) {
    for (const bool keep : {true, false}) {
      SCOPED_TRACE(std::string(fault.signal) + (keep ? " kept" : " put back"));
      test_support::ScratchDirectory scratch;
      const std::string path = scratch.writeFile("a.c.err", "primary");
      EXPECT_EXIT(
          {
            installSignalHandlers(onFatalSignal);
            if (!appendAtEnd(path) || !platform::finishAppends(keep).empty())
              std::_Exit(1);
            fault.raise();
          },
          testing::ExitedWithCode(keep ? 0 : 19), reportPattern(fault.signal));
      EXPECT_EQ(keep ? written : "primary", test_support::readFile(path));
      EXPECT_EQ(std::vector<std::filesystem::path>{path},
                std::vector<std::filesystem::path>(std::filesystem::directory_iterator(scratch.path()), {}));
    }
  }
}

// A process that ends with a failure takes back at its last act what its
// writers' closings wrote: the file never keeps what the exit code disowns.
TEST(FatalSignalsDeathTest, TheLastActPutsBackWhatAFailedProcessWrote) {
  GTEST_FLAG_SET(death_test_style, "fast");
  test_support::ScratchDirectory scratch;
  const std::string path = scratch.writeFile("a.c.err", "primary");
  EXPECT_EXIT(
      {
        const bool closed = appendAtEnd(path);
        std::_Exit(closed && platform::finishAppends(false).empty() ? 0 : 1);
      },
      testing::ExitedWithCode(0), "^$");
  EXPECT_EQ("primary", test_support::readFile(path));
  EXPECT_EQ(std::vector<std::filesystem::path>{path},
            std::vector<std::filesystem::path>(std::filesystem::directory_iterator(scratch.path()), {}));
}

// A file that the handler cannot cut back (an append-only file) is named, with
// the length it belongs to; its journal stays for a later run.
TEST(FatalSignalsDeathTest, AFileThatCannotBeCutBackIsNamed) {
  GTEST_FLAG_SET(death_test_style, "fast");
  test_support::ScratchDirectory scratch;
  const std::string path = scratch.writeFile("a.c.err", "primary");
  const std::string journal = scratch / ".a.c.err.lyrsa-journal";
  EXPECT_EXIT(
      {
        installSignalHandlers(onFatalSignal);
        platform::setWriteFault(platform::WriteFault{UINT64_MAX, false, UINT64_MAX, true});
        R_Writer writer(path);
        writer.openForAppend();
        writer.writeString("half a record");
        writer.flush();
        std::raise(SIGTERM);
      },
      testing::ExitedWithCode(19),
      "^" + literally("Cannot put file '" + path + "' back to its length of 7 bytes; its journal '" +
                      journal + "' is kept, so that a later run puts it back.\nCaught signal: (SIGTERM)\n"));
  EXPECT_EQ(std::string("primary\x0d\x00\x00\x00"
                        "half a record",
                        24),
            test_support::readFile(path));
  EXPECT_TRUE(std::filesystem::exists(journal));
}

// With the handlers installed: 0 when a write to a pipe without a reader
// fails with EPIPE and one past the file-size limit with EFBIG (after what
// fits), each without a signal ending the process.
int writeFailuresWithoutSignals(const std::string &path) {
  installSignalHandlers(onFatalSignal);
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0)
    return 2;
  close(pipeEnds[0]);
  const bool brokenPipe = write(pipeEnds[1], "x", 1) < 0 && errno == EPIPE;
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT, 0600);
  const rlimit limit{4, 4};
  if (fd < 0 || setrlimit(RLIMIT_FSIZE, &limit) != 0)
    return 2;
  const bool pastLimit = write(fd, "1234abcd", 8) == 4 && write(fd, "abcd", 4) < 0 && errno == EFBIG;
  return brokenPipe && pastLimit ? 0 : 1;
}

TEST(FatalSignalsDeathTest, WriteFailureSignalsFailTheWrite) {
  GTEST_FLAG_SET(death_test_style, "fast");
  test_support::ScratchDirectory scratch;
  EXPECT_EXIT(std::_Exit(writeFailuresWithoutSignals(scratch / "limited")), testing::ExitedWithCode(0), "");
}

// Whether the process holds the file open.
bool holdsOpen(pid_t pid, const std::string &path) {
  std::error_code error;
  for (const auto &entry :
       std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
    std::error_code ignored;
    if (std::filesystem::read_symlink(entry.path(), ignored) == path)
      return true;
  }
  return false;
}

// The run reads a record file of millions of empty lines; the signal arrives
// while it is doing so. (Only regular files are read, so the run cannot be
// held on a pipe.) The metric output is discarded, so that the record file is
// held open only by its reading.
TEST(FatalSignalsTest, ASignalDuringARunOfTheProgramEndsItWith19) {
  for (const NamedSignal &signal : {fatalSignals()[0], fatalSignals()[5]}) {
    SCOPED_TRACE(signal.name);
    test_support::ScratchDirectory scratch;
    scratch.writeFile("a.c");
    const std::string recordFile = scratch.writeFile("a.c.met", std::string(32 << 20, '\n'));

    test_support::RunningProgram program(
        LYR_PROGRAM_PATH, {"lyr", "-debug", "null_metric_output", "a.c"},
        test_support::environmentWith({{"LYRBIN", std::string(LYR_TEST_DATA_DIR) + "/installation"},
                                       {"HOME", scratch.path()},
                                       {"LANG", "C"},
                                       {"LYROUTPATH", std::nullopt},
                                       {"LYRRCPATH", std::nullopt}}),
        scratch.path());
    bool reading = false;
    for (int attempt = 0; attempt < 60000 && !reading; ++attempt) {
      reading = holdsOpen(program.pid(), recordFile);
      if (!reading)
        usleep(1000);
    }
    ASSERT_TRUE(reading) << "the program never opened its record file";
    ASSERT_EQ(0, kill(program.pid(), signal.number));
    const test_support::ProgramResult result = program.finish();
    EXPECT_EQ(19, result.exitCode);
    EXPECT_EQ("Caught signal: (" + signal.name + ")\nPlease contact Vennacore.\n", result.err);
    EXPECT_EQ("", result.out);
    EXPECT_FALSE(std::filesystem::exists(scratch / "a.c.err")) << "no error file is left";
  }
}

} // namespace
