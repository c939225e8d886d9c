#include "resultfiles/ErrorFileOutput.h"

#include "messages/Diagnostic.h"
#include "messages/Output.h"
#include "platform/BinaryFile.h"
#include "platform/WriteFault.h"
#include "resultfiles/ErrorFileExceptions.h"
#include "resultfiles/ErrorFileFormat1.h"
#include "resultfiles/ErrorFilePath.h"
#include "resultfiles/RecordStreams.h"
#include "support/ByteBuilder.h"
#include "support/Bytes.h"
#include "support/CurrentArguments.h"
#include "support/Diagnostics.h"
#include "support/FileLocks.h"
#include "support/ScratchDirectory.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using namespace record_streams;
using test_support::ByteBuilder;
using test_support::diagnostic;

const std::string format1Header = BYTES("\x00\x79\x00\x00\x00\x00\x00\x00");
const std::string format2Header = BYTES("\x00\x93\x00\x00\x00\x00\x00\x00");
const std::string opening = BYTES("\x01\x00\x00\x00\x00");

// The header of a file of that version word.
std::string headerOf(std::uint32_t version) { return ByteBuilder().int32(version).int32(0).bytes(); }

class ErrorFileOutputTest : public test_support::CurrentArgumentsTest {
protected:
  void TearDown() override {
    platform::setWriteFault(std::nullopt);
    try {
      M_closeOutput();
    } catch (const M_ErrorFileException &) {
    }
  }

  // The error file of the source a.c in the scratch directory, with these
  // bytes when they are given.
  std::string errorFile(const std::optional<std::string> &bytes = std::nullopt) {
    const std::string path = errorFilePath(m_dir.path(), "src/a.c");
    if (bytes)
      m_dir.writeFile("a.c.err", *bytes);
    return path;
  }
  void open(int kind) { openErrorFileForOutput("src/a.c", m_dir.path(), kind); }

  test_support::ScratchDirectory m_dir;
};

TEST_F(ErrorFileOutputTest, Path) {
  EXPECT_EQ("out/a.c.err", errorFilePath("out", "src/a.c"));
  EXPECT_EQ("a.c.err", errorFilePath(".", "a.c"));
  EXPECT_EQ("/o/main.cpp.err", errorFilePath("/o/", "/s/main.cpp"));
}

// A missing file is created in the format of the kind; the output kind is
// that of the output installed.
TEST_F(ErrorFileOutputTest, MissingFileIsCreated) {
  struct Case {
    int kind;
    std::string bytes;
  };
  const Case cases[] = {{2, format1Header}, {3, format2Header + opening}};
  for (const Case &c : cases) {
    std::filesystem::remove(errorFile());
    open(c.kind);
    EXPECT_EQ(c.kind, M_OutputKind());
    M_closeOutput();
    EXPECT_EQ(c.bytes, test_support::readFile(errorFile())) << c.kind;
  }
}

// Diagnostic 1540 at line 3, column 5 of /a/x.c in a new file of format 2.
TEST_F(ErrorFileOutputTest, FirstMessageOfANewFormat2File) {
  open(3);
  M_sendMessage(diagnostic(1540, U_Location(fileX(), 3, 5)));
  M_closeOutput();
  const std::string bytes = test_support::readFile(errorFile());
  const std::string expected = format2Header + opening + "\x08" + message1540Body;
  ASSERT_EQ(expected.size() + 4, bytes.size());
  EXPECT_EQ(expected, bytes.substr(0, expected.size()));
  EXPECT_TRUE(endsInTrailerOf(bytes, 1540));
}

// An existing file is appended to in its own format, whichever kind is
// asked for; its version word stays.
TEST_F(ErrorFileOutputTest, ExistingFileIsAppendedInItsOwnFormat) {
  struct Case {
    std::uint32_t version;
    int kind;
    int outputKind;
    std::string appended;
  };
  const Case cases[] = {
      {0x7900, 3, 2, ""},      {0x7900, 2, 2, ""},      {0x8200, 3, 3, opening}, {0x9100, 3, 3, opening},
      {0x9200, 2, 3, opening}, {0x9300, 2, 3, opening}, {0x9300, 3, 3, opening},
  };
  for (const Case &c : cases) {
    const std::string before = headerOf(c.version) + "primary";
    errorFile(before);
    open(c.kind);
    EXPECT_EQ(c.outputKind, M_OutputKind()) << std::hex << c.version;
    M_closeOutput();
    EXPECT_EQ(before + c.appended, test_support::readFile(errorFile())) << std::hex << c.version;
  }
}

TEST_F(ErrorFileOutputTest, RefusedFilesAreLeftAlone) {
  struct Case {
    std::string bytes;
    std::string error;
  };
  const Case cases[] = {
      {headerOf(0x7700),
       "Cannot append to error file with incorrect version.  Error file has version: 7700. Expected: 9300\n"},
      {headerOf(0x7800),
       "Cannot append to error file with incorrect version.  Error file has version: 7800. Expected: 9300\n"},
      {headerOf(0x8100),
       "Cannot append to error file with incorrect version.  Error file has version: 8100. Expected: 9300\n"},
      {headerOf(0x1234),
       "Cannot append to error file with incorrect version.  Error file has version: 1234. Expected: 9300\n"},
      {headerOf(0xFFFFFFFF), "Cannot append to error file with incorrect version.  Error file has version: "
                             "ffffffff. Expected: 9300\n"},
      {"", "problems reading a text string from error file"},
      {BYTES("\x00"), "problems reading a text string from error file"},
      {BYTES("\x00\x93\x00"), "problems reading a text string from error file"},
  };
  for (const Case &c : cases) {
    errorFile(c.bytes);
    for (int kind : {2, 3}) {
      try {
        open(kind);
        ADD_FAILURE() << "accepted " << c.error;
      } catch (const M_ErrorFileException &error) {
        EXPECT_EQ(c.error, error.what());
      }
      EXPECT_EQ(c.bytes, test_support::readFile(errorFile())) << c.error;
    }
  }
}

TEST_F(ErrorFileOutputTest, FilesThatCannotBeOpened) {
  struct Case {
    const char *what;
    std::string directory;
    std::function<void(const std::string &)> make;
    const char *reason; // the system's text of the errno
  };
  const Case cases[] = {
      {"a directory", m_dir.path(), [](const std::string &path) { std::filesystem::create_directory(path); },
       "Is a directory"},
      {"a pipe", m_dir.path(), [](const std::string &path) { ASSERT_EQ(0, mkfifo(path.c_str(), 0600)); },
       "Invalid argument"},
      {"no such directory", m_dir / "none", [](const std::string &) {}, "No such file or directory"},
  };
  for (const Case &c : cases) {
    const std::string path = errorFilePath(c.directory, "b.c");
    c.make(path);
    try {
      openErrorFileForOutput("b.c", c.directory, 3);
      ADD_FAILURE() << c.what;
    } catch (const M_BadFileOpenException &error) {
      EXPECT_EQ("Cannot write error file '" + path + "' (" + c.reason + ").", std::string(error.what()))
          << c.what;
    }
    std::filesystem::remove(path);
  }
}

// The records of a run go after what the file held; each opening of format 2
// starts its ids again, each of format 1 its current-file records.
TEST_F(ErrorFileOutputTest, AppendingToFilesWrittenBefore) {
  const U_Location location(fileX(), 3, 5);
  // Format 1: what a primary analyser wrote, then two openings of this
  // system, each with its current-file record.
  ByteBuilder format1;
  format1.raw(format1Header).int32(1).int32(7).raw(BYTES("/a/x.c\0"));
  format1.int32(3).int32(2).int32(-1).int32(0).int32(100).int32(0).int32(0).int32(0).int32(0);
  const std::string primary1 = format1.bytes();
  ByteBuilder run1;
  run1.int32(1).int32(7).raw(BYTES("/a/x.c\0"));
  run1.int32(3).int32(3).int32(-1).int32(4).int32(1540).int32(0).int32(0).int32(0).int32(0);
  errorFile(primary1);
  for (int run = 0; run < 2; ++run) {
    open(3);
    M_sendMessage(diagnostic(1540, location));
    M_closeOutput();
  }
  EXPECT_EQ(primary1 + run1.bytes() + run1.bytes(), test_support::readFile(errorFile()));

  // Format 2.
  const std::string primary2 = format2Header + opening + "\x08" + "primary record";
  errorFile(primary2);
  std::vector<std::string> stretches;
  for (int run = 0; run < 2; ++run) {
    const std::string before = test_support::readFile(errorFile());
    open(2);
    M_sendMessage(diagnostic(1540, location));
    M_closeOutput();
    const std::string after = test_support::readFile(errorFile());
    ASSERT_EQ(before, after.substr(0, before.size()));
    stretches.push_back(after.substr(before.size()));
    EXPECT_TRUE(endsInTrailerOf(stretches.back(), 1540));
    stretches.back().resize(stretches.back().size() - 4);
  }
  EXPECT_EQ(opening + "\x08", stretches[0].substr(0, 6));
  EXPECT_EQ(stretches[0], stretches[1]) << "the second run writes everything in full again";
}

// The outputs drop diagnostics in quiet files; with "nogen" on, the format-2
// output also drops the numbers that "only" and "nomsg" do not want. A
// diagnostic with the error flag goes to the output's write, unfiltered.
TEST_F(ErrorFileOutputTest, SendFilters) {
  const U_Location quiet(QL_Filename::fromPath("/q/h.h"), 2, 1);
  const U_Location plain(fileX(), 3, 5);
  struct Case {
    std::vector<std::string> words;
    U_Location location;
    std::uint32_t number;
    bool error;
    bool format1Written, format2Written;
  };
  const Case cases[] = {
      {{}, plain, 5, false, true, true},
      {{"-quiet", "/q"}, quiet, 5, false, false, false},
      {{"-quiet", "/q"}, quiet, 5, true, true, true},
      {{"-nomsg", "5"}, plain, 5, false, true, false},
      {{"-only", "6"}, plain, 5, false, true, false},
      {{"-only", "5"}, plain, 5, false, true, true},
      {{"-nomsg", "5"}, plain, 5, true, true, true},
      {{"-nogen-", "-nomsg", "5"}, plain, 5, false, true, true},
  };
  for (const Case &c : cases) {
    setArguments(c.words);
    for (int kind : {2, 3}) {
      std::filesystem::remove(errorFile());
      open(kind);
      const std::string nothing = kind == 2 ? format1Header : format2Header + opening;
      U_RefPtr<M_Diagnostic> d = diagnostic(c.number, c.location);
      d->setError(c.error);
      M_sendMessage(d);
      M_closeOutput();
      const bool written = test_support::readFile(errorFile()) != nothing;
      EXPECT_EQ(kind == 2 ? c.format1Written : c.format2Written, written)
          << "kind " << kind << ", " << c.words.size() << " words, error " << c.error;
    }
  }
}

// Suppressed diagnostics are written, flagged; the text outputs' filters of
// suppressed diagnostics play no part.
TEST_F(ErrorFileOutputTest, SuppressedDiagnosticsAreWrittenFlagged) {
  open(2);
  U_RefPtr<M_Diagnostic> d = diagnostic(7, U_Location(fileX(), 1, 1));
  d->setHiddenByPragma(true);
  M_sendMessage(d);
  M_closeOutput();
  const std::string bytes = test_support::readFile(errorFile());
  ASSERT_GE(bytes.size(), 20u);
  // flags, error flag, count, list count
  EXPECT_EQ(ByteBuilder().int32(7).int32(1).int32(0).int32(0).int32(0).bytes(),
            bytes.substr(bytes.size() - 20));
}

TEST_F(ErrorFileOutputTest, SuppressionRecords) {
  const U_Location location(fileX(), 3, 5);
  open(2);
  M_sendSupRecord(location, "N", {{"1", "2"}}, location);
  M_closeOutput();
  EXPECT_EQ(format1Header, test_support::readFile(errorFile())) << "format 1 has no suppression records";

  std::filesystem::remove(errorFile());
  open(3);
  M_sendSupRecord(location, "N", {{"1", "2"}}, location);
  M_closeOutput();
  const std::string locationBytes =
      ByteBuilder().int32(0).int32(0).text("/a/x.c").text("x.c").int32(3).int32(5).byte(0);
  EXPECT_EQ(ByteBuilder()
                .raw(format2Header + opening)
                .byte(4)
                .byte(1)
                .raw(locationBytes)
                .text("N")
                .int32(1)
                .text("1")
                .text("2")
                .byte(4)
                .int32(0)
                .byte(0)
                .bytes(),
            test_support::readFile(errorFile()));
}

// A failed write or close puts the file back as it was before the opening
// and names it; nothing is reported twice, and nothing written later reaches
// the file.
TEST_F(ErrorFileOutputTest, FailedAppendLeavesTheFileAsItWas) {
  struct Case {
    const char *what;
    int kind;
    platform::WriteFault fault;
    const char *reason;
  };
  const Case cases[] = {
      {"format 1, disk full", 2, {12, false}, "No space left on device"},
      {"format 1, close fails", 2, {UINT64_MAX, true}, "Input/output error"},
      {"format 2, disk full", 3, {10, false}, "No space left on device"},
      {"format 2, close fails", 3, {UINT64_MAX, true}, "Input/output error"},
  };
  for (const Case &c : cases) {
    const std::string before = (c.kind == 2 ? format1Header : format2Header + opening) + "primary";
    const std::string path = errorFile(before);
    platform::setWriteFault(c.fault);
    open(c.kind);
    platform::setWriteFault(std::nullopt);
    for (std::uint32_t number = 1; number <= 3; ++number)
      M_sendMessage(diagnostic(number, U_Location(fileX(), number, 1)));
    try {
      M_closeOutput();
      ADD_FAILURE() << c.what << ": closed well";
    } catch (const M_BadFileOpenException &error) {
      EXPECT_EQ("Cannot write error file '" + path + "' (" + c.reason + ").", std::string(error.what()))
          << c.what;
    }
    EXPECT_EQ(before, test_support::readFile(path)) << c.what;
  }
}

// The records of a run reach the file as a whole at the closing: a disk that
// is full from the first byte fails no send, and the closing reports it and
// leaves the file as it was, even after a record longer than any buffer.
TEST_F(ErrorFileOutputTest, AFullDiskShowsAtTheClosing) {
  for (int kind : {2, 3}) {
    const std::string before = kind == 2 ? format1Header : format2Header + opening;
    const std::string path = errorFile(before);
    platform::setWriteFault(platform::WriteFault{0, false});
    open(kind);
    platform::setWriteFault(std::nullopt);
    U_RefPtr<M_Diagnostic> big = diagnostic(5, U_Location(fileX(), 1, 1));
    big->addParameter(std::string(100000, 'x'));
    EXPECT_NO_THROW(M_sendMessage(big)) << kind;
    EXPECT_NO_THROW(M_sendMessage(diagnostic(6, U_Location(fileX(), 1, 1)))) << kind;
    EXPECT_EQ(before, test_support::readFile(path)) << kind;
    EXPECT_THROW(M_closeOutput(), M_BadFileOpenException) << kind;
    EXPECT_EQ(before, test_support::readFile(path)) << kind;
  }
}

// A new file that cannot be finished is removed again.
TEST_F(ErrorFileOutputTest, FailedCreationLeavesNoFile) {
  for (int kind : {2, 3}) {
    std::filesystem::remove(errorFile());
    platform::setWriteFault(platform::WriteFault{4, false});
    open(kind);
    platform::setWriteFault(std::nullopt);
    M_sendMessage(diagnostic(5, U_Location(fileX(), 1, 1)));
    EXPECT_THROW(M_closeOutput(), M_BadFileOpenException) << kind;
    EXPECT_FALSE(std::filesystem::exists(errorFile())) << kind;
  }
}

// A full device takes the stream and none of its bytes: the closing says so.
TEST_F(ErrorFileOutputTest, FullDevice) {
  if (!std::filesystem::exists("/dev/full"))
    GTEST_SKIP() << "no /dev/full";
  for (const auto &open : {openAppendTamselOutput, openAppendTamsel2Output}) {
    open("/dev/full");
    M_sendMessage(diagnostic(5, U_Location(fileX(), 1, 1)));
    try {
      M_closeOutput();
      ADD_FAILURE() << "closed well";
    } catch (const M_BadFileOpenException &error) {
      EXPECT_STREQ("Cannot write error file '/dev/full' (No space left on device).", error.what());
    }
  }
}

// An output whose file could not be opened stays installed without a file:
// what reaches it fails, and closing it has nothing to close.
TEST_F(ErrorFileOutputTest, FailedOpeningLeavesTheOutputWithoutFile) {
  const std::string path = m_dir / "none/a.c.err";
  for (const auto &open : {openNewTamselOutput, openNewTamsel2Output}) {
    EXPECT_THROW(open(path), M_BadFileOpenException);
    ASSERT_NE(nullptr, M_currentOutput());
    EXPECT_THROW(M_sendMessage(diagnostic(5, U_Location(fileX(), 1, 1))), M_BadFileOpenException);
    EXPECT_NO_THROW(M_closeOutput());
  }
}

// An output that holds back touches nothing until it is released (or
// closed); then it writes exactly what the output that does not hold back
// writes, and later records go straight to the file.
TEST_F(ErrorFileOutputTest, HeldOutputWritesOnlyOnceReleased) {
  const U_Location location(fileX(), 3, 5);
  struct Case {
    int kind;
    std::optional<std::string> existing;
    bool released;
  };
  const Case cases[] = {
      {2, std::nullopt, true},   {3, std::nullopt, true},
      {2, format1Header, true},  {3, format2Header + opening, true},
      {3, format2Header, false}, {2, format1Header, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::to_string(c.kind) + (c.existing ? " existing" : " missing") +
                 (c.released ? ", released" : ", closed"));
    std::filesystem::remove(errorFile());
    if (c.existing)
      errorFile(*c.existing);
    // The trailers of format 2 come from rand(): the same seed for both runs.
    std::srand(1);
    openHeldErrorFileOutput("src/a.c", m_dir.path(), c.kind);
    EXPECT_TRUE(M_errorFileOutputHolds());
    EXPECT_EQ(c.kind, M_OutputKind());
    M_sendMessage(diagnostic(1539, location));
    M_sendSupRecord(location, "N", {{"1", "2"}}, location);
    // Nothing is touched, and another file's turn changes nothing.
    EXPECT_EQ(c.existing.has_value(), std::filesystem::exists(errorFile()));
    if (c.existing) {
      EXPECT_EQ(*c.existing, test_support::readFile(errorFile()));
    }
    M_releaseErrorFileOutput(m_dir / "b.c.err");
    M_refuseErrorFileOutput(m_dir / "b.c.err");
    EXPECT_TRUE(M_errorFileOutputHolds());
    if (c.released) {
      M_releaseErrorFileOutput(errorFile());
      EXPECT_FALSE(M_errorFileOutputHolds());
    }
    M_sendMessage(diagnostic(1540, location));
    M_closeOutput();
    EXPECT_FALSE(M_errorFileOutputHolds());
    const std::string held = test_support::readFile(errorFile());

    std::filesystem::remove(errorFile());
    if (c.existing)
      errorFile(*c.existing);
    std::srand(1);
    open(c.kind);
    M_sendMessage(diagnostic(1539, location));
    M_sendSupRecord(location, "N", {{"1", "2"}}, location);
    M_sendMessage(diagnostic(1540, location));
    M_closeOutput();
    EXPECT_EQ(test_support::readFile(errorFile()), held);
  }
}

// A file that cannot be read back is not added to: what was held back and
// all that follows goes to the simple text output. A file that was missing is
// made as it would have been.
TEST_F(ErrorFileOutputTest, RefusedHeldOutput) {
  const U_Location location(fileX(), 3, 5);
  const std::string damaged = format2Header + opening + "\x08";
  errorFile(damaged);
  openHeldErrorFileOutput("src/a.c", m_dir.path(), 3);
  M_sendMessage(diagnostic(1540, location));
  M_sendSupRecord(location, "N", {{"1", "2"}}, location);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  M_refuseErrorFileOutput(errorFile());
  M_sendMessage(diagnostic(1541, location));
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ("Warning - Not adding to error file '" + errorFile() +
                "', which cannot be read back; diagnostics go to standard output.\n",
            testing::internal::GetCapturedStderr());
  EXPECT_EQ(
      "/a/x.c:3:5: Msg=1540 #params=0\n/a/x.c:3:5: SUP:N:1-2:{/a/x.c:3:5:}\n/a/x.c:3:5: Msg=1541 #params=0\n",
      out);
  EXPECT_EQ(0, M_OutputKind());
  EXPECT_FALSE(M_errorFileOutputHolds());
  EXPECT_FALSE(test_support::lockedElsewhere(errorFile())) << "a file left alone is not held";
  M_closeOutput();
  EXPECT_EQ(damaged, test_support::readFile(errorFile()));

  std::filesystem::remove(errorFile());
  openHeldErrorFileOutput("src/a.c", m_dir.path(), 3);
  M_refuseErrorFileOutput(errorFile());
  EXPECT_EQ(3, M_OutputKind());
  M_closeOutput();
  EXPECT_EQ(format2Header + opening, test_support::readFile(errorFile()));
}

// The file is locked from its reading back to the closing of the output, so
// that no other run adds to it in between.
TEST_F(ErrorFileOutputTest, TheFileIsLockedFromItsReadingBackToTheClosing) {
  errorFile(format2Header + opening);
  openHeldErrorFileOutput("src/a.c", m_dir.path(), 3);
  EXPECT_FALSE(test_support::lockedElsewhere(errorFile()));
  M_lockErrorFileOutput(m_dir / "b.c.err");
  EXPECT_FALSE(test_support::lockedElsewhere(errorFile())) << "another file's reading";
  M_lockErrorFileOutput(errorFile());
  EXPECT_TRUE(test_support::lockedElsewhere(errorFile()));
  M_releaseErrorFileOutput(errorFile());
  M_sendMessage(diagnostic(1540, U_Location(fileX(), 3, 5)));
  EXPECT_TRUE(test_support::lockedElsewhere(errorFile()));
  EXPECT_EQ(format2Header + opening, test_support::readFile(errorFile())) << "nothing before the closing";
  M_closeOutput();
  EXPECT_FALSE(test_support::lockedElsewhere(errorFile()));
  EXPECT_NE(format2Header + opening, test_support::readFile(errorFile()));
}

// A file missing when the run reads it back is made only at the closing.
// When another run has made it in the meantime, it is appended to, in its own
// format: the same bytes as a run that found it at the start. An empty one
// (its maker has not had its turn yet) is written from its header on; one
// that does not read back is left alone.
TEST_F(ErrorFileOutputTest, AFileMadeAfterTheReadingBackIsAppendedTo) {
  const U_Location location(fileX(), 3, 5);
  const std::string primary = format2Header + opening + "\x08" + message1540Body + std::string(4, '\0');
  struct Case {
    const char *what;
    std::string meanwhile;
    std::optional<std::string> atStart; // what a run that finds the same ends finds
    int outputKind;
  };
  const Case cases[] = {
      {"format 2", primary, primary, 3},
      {"format 1", format1Header, format1Header, 2},
      {"empty", "", std::nullopt, 3},
  };
  const auto send = [&] {
    M_sendMessage(diagnostic(1539, location));
    M_sendMessage(diagnostic(1540, location));
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(errorFile());
    std::srand(1);
    openHeldErrorFileOutput("src/a.c", m_dir.path(), 3);
    M_releaseErrorFileOutput(errorFile());
    EXPECT_FALSE(M_errorFileOutputHolds());
    send();
    EXPECT_FALSE(std::filesystem::exists(errorFile())) << "nothing made before the closing";
    errorFile(c.meanwhile);
    M_closeOutput();
    EXPECT_EQ(c.outputKind, M_OutputKind());
    const std::string held = test_support::readFile(errorFile());

    std::filesystem::remove(errorFile());
    if (c.atStart)
      errorFile(*c.atStart);
    std::srand(1);
    open(3);
    send();
    M_closeOutput();
    EXPECT_EQ(test_support::readFile(errorFile()), held);
  }

  std::filesystem::remove(errorFile());
  openHeldErrorFileOutput("src/a.c", m_dir.path(), 3);
  M_releaseErrorFileOutput(errorFile());
  M_sendMessage(diagnostic(1540, location));
  const std::string damaged = format2Header + opening + "\x08";
  errorFile(damaged);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  M_closeOutput();
  EXPECT_EQ("/a/x.c:3:5: Msg=1540 #params=0\n", testing::internal::GetCapturedStdout());
  EXPECT_EQ("Warning - Not adding to error file '" + errorFile() +
                "', which cannot be read back; diagnostics go to standard output.\n",
            testing::internal::GetCapturedStderr());
  EXPECT_EQ(damaged, test_support::readFile(errorFile()));
}

TEST_F(ErrorFileOutputTest, FactoriesForTheSourceFileInTheOutputDirectory) {
  setArguments({"-op", m_dir.path()});
  openNewTamselOutputForSource("src/a.c");
  EXPECT_EQ(2, M_OutputKind());
  M_closeOutput();
  EXPECT_EQ(format1Header, test_support::readFile(errorFile()));
  openAppendTamsel2OutputForSource("src/a.c");
  EXPECT_EQ(3, M_OutputKind());
  M_closeOutput();
  EXPECT_EQ(format1Header + opening, test_support::readFile(errorFile()));
}

} // namespace
