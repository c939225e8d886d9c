#include "resultfiles/RecordWriter.h"

#include "platform/BinaryFile.h"
#include "platform/WriteFault.h"
#include "resultfiles/RecordExceptions.h"
#include "resultfiles/RecordStreams.h"
#include "support/ByteBuilder.h"
#include "support/Bytes.h"
#include "support/FileLocks.h"
#include "support/ScratchDirectory.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace record_streams;
using test_support::ByteBuilder;

class RecordWriterTest : public testing::Test {
protected:
  void TearDown() override { platform::setWriteFault(std::nullopt); }

  // Every byte that the writing puts into a new file.
  std::string written(const std::function<void(R_Writer &)> &write) { return writtenBytes(m_dir, write); }

  test_support::ScratchDirectory m_dir;
};

struct Case {
  const char *what;
  std::function<void(R_Writer &)> write;
  std::string bytes;
};

TEST_F(RecordWriterTest, Primitives) {
  const char withNul[] = "ab\0cd";
  const Case cases[] = {
      {"byte", [](R_Writer &w) { w.writeByte(0xAB); }, BYTES("\xAB")},
      {"int", [](R_Writer &w) { w.writeInt(0x12345678); }, BYTES("\x78\x56\x34\x12")},
      {"negative int", [](R_Writer &w) { w.writeInt(static_cast<std::uint32_t>(-1)); },
       BYTES("\xFF\xFF\xFF\xFF")},
      {"string", [](R_Writer &w) { w.writeString("ab"); },
       BYTES("\x02\x00\x00\x00"
             "ab")},
      {"empty string", [](R_Writer &w) { w.writeString(""); }, BYTES("\x00\x00\x00\x00")},
      {"string with NUL", [](R_Writer &w) { w.writeString(std::string("a\0b", 3)); },
       BYTES("\x03\x00\x00\x00"
             "a\0b")},
      {"C string ends at NUL", [&](R_Writer &w) { w.writeCString(withNul); },
       BYTES("\x02\x00\x00\x00"
             "ab")},
      {"block", [](R_Writer &w) { w.writeBlock("xyz", 3); },
       BYTES("\x03\x00\x00\x00"
             "xyz")},
      {"no bytes", [](R_Writer &w) { w.writeBytes("x", 0); }, ""},
      {"high bytes", [](R_Writer &w) { w.writeString("\xA4\xA2"); }, BYTES("\x02\x00\x00\x00\xA4\xA2")},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.bytes, written(c.write)) << c.what;
}

TEST_F(RecordWriterTest, TextsAndFilesInFullOnceThenById) {
  const Case cases[] = {
      {"texts",
       [](R_Writer &w) {
         w.writeInternedText(U_Identifier("MAX"));
         w.writeInternedText(U_Identifier("MAX"));
         w.writeInternedText(U_Identifier("CMP"));
       },
       BYTES("\x00\x00\x00\x00\x03\x00\x00\x00"
             "MAX"
             "\x00\x00\x00\x00"
             "\x01\x00\x00\x00\x03\x00\x00\x00"
             "CMP")},
      {"files by canonical name",
       [](R_Writer &w) {
         w.writeFile(mainFile());
         w.writeFile(QL_Filename("/a/f.c", "other/f.c")); // the same file
         w.writeFile(header());
       },
       BYTES("\x00\x00\x00\x00"
             "\x06\x00\x00\x00"
             "/a/f.c"
             "\x03\x00\x00\x00"
             "f.c"
             "\x00\x00\x00\x00"
             "\x01\x00\x00\x00"
             "\x06\x00\x00\x00"
             "/a/h.h"
             "\x03\x00\x00\x00"
             "h.h")},
      // Two identities whose canonical names are two entries of the name
      // store, yet read the same up to the NUL: one file, named once.
      {"files by canonical name as written",
       [](R_Writer &w) {
         w.writeFile(QL_Filename(std::string("/a/f.c\0x", 8), "x/f.c"));
         w.writeFile(mainFile());
         w.writeFile(QL_Filename(std::string("/a/f.c\0y", 8), "y/f.c"));
       },
       ByteBuilder().int32(0).text("/a/f.c").text("x/f.c").int32(0).int32(0)},
      // Names of a MiB and more reach the file from where the store holds
      // them, in their place among the short writes around them.
      {"long file names",
       [](R_Writer &w) {
         w.writeByte('a');
         w.writeFile(QL_Filename("/" + std::string(1 << 20, 'c'), std::string((1 << 20) + 1, 'g')));
         w.writeFile(QL_Filename("/" + std::string(1 << 20, 'c'), "other"));
         w.writeByte('b');
       },
       ByteBuilder()
           .byte('a')
           .int32(0)
           .text("/" + std::string(1 << 20, 'c'))
           .text(std::string((1 << 20) + 1, 'g'))
           .int32(0)
           .byte('b')},
      {"tables count apart",
       [](R_Writer &w) {
         w.writeInternedText(U_Identifier("f"));
         w.writeFile(mainFile());
       },
       BYTES("\x00\x00\x00\x00\x01\x00\x00\x00"
             "f"
             "\x00\x00\x00\x00"
             "\x06\x00\x00\x00"
             "/a/f.c"
             "\x03\x00\x00\x00"
             "f.c")},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.bytes, written(c.write)) << c.what;
}

TEST_F(RecordWriterTest, Locations) {
  const U_Location plain = plainLocation();
  std::string everyPartWithoutAlias = everyPartBytes;
  everyPartWithoutAlias.replace(everyPartWithoutAlias.find("t3"), 2, "t1");
  const U_RefPtr<U_MacroHistory> oneElement(
      new U_MacroHistory(plainLocation(), U_Identifier("ONE"), U_RefPtr<U_MacroHistory>()));
  const Case cases[] = {
      {"plain", [&](R_Writer &w) { writeBinaryLocation(w, plain, true); }, plainBytes},
      {"the same object again",
       [&](R_Writer &w) {
         writeBinaryLocation(w, plain, true);
         writeBinaryLocation(w, plain, true);
       },
       plainBytes + BYTES("\x00\x00\x00\x00")},
      {"an equal object",
       [&](R_Writer &w) {
         writeBinaryLocation(w, plain, true);
         writeBinaryLocation(w, plainLocation(), true);
       },
       plainBytes + BYTES("\x01\x00\x00\x00"
                          "\x00\x00\x00\x00"
                          "\x0A\x00\x00\x00\x03\x00\x00\x00\x00")},
      {"every part, showAlias", [](R_Writer &w) { writeBinaryLocation(w, locationWithEveryPart(), true); },
       everyPartBytes},
      {"every part, no showAlias",
       [](R_Writer &w) { writeBinaryLocation(w, locationWithEveryPart(), false); }, everyPartWithoutAlias},
      {"negative line and column",
       [](R_Writer &w) { writeBinaryLocation(w, U_Location(mainFile(), -1, -2), true); },
       ByteBuilder().int32(0).int32(0).text("/a/f.c").text("f.c").int32(-1).int32(-2).byte(0)},
      {"macro history of one element", [&](R_Writer &w) { writeMacroHistory(w, oneElement, true); },
       plainBytes + ByteBuilder().int32(0).text("ONE").byte(0).bytes()},
      {"a called-from part without a location is not written",
       [](R_Writer &w) { writeBinaryLocation(w, plainLocation().withCalledFromLoc(U_Location()), true); },
       plainBytes},
      {"an instantiation without a display name",
       [](R_Writer &w) {
         writeBinaryLocation(w, plainLocation().withInstFromLoc(plainLocation(), nullptr), true);
       },
       ByteBuilder()
           .int32(0)
           .int32(0)
           .text("/a/f.c")
           .text("f.c")
           .int32(10)
           .int32(3)
           .byte(2)
           .int32(1)
           .int32(0)
           .int32(10)
           .int32(3)
           .byte(0)
           .text("")},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.bytes, written(c.write)) << c.what;
}

TEST_F(RecordWriterTest, MacroHistoryOfThreeElements) {
  U_RefPtr<U_MacroHistory> chain;
  for (const char *name : {"C", "B", "A"})
    chain = new U_MacroHistory(plainLocation(), U_Identifier(name), chain);
  // Three location objects, each written in full; the file once.
  const std::string bytes = ByteBuilder()
                                .raw(plainBytes)
                                .int32(0)
                                .text("A")
                                .byte(1)
                                .int32(1)
                                .int32(0)
                                .int32(10)
                                .int32(3)
                                .byte(0)
                                .int32(1)
                                .text("B")
                                .byte(1)
                                .int32(2)
                                .int32(0)
                                .int32(10)
                                .int32(3)
                                .byte(0)
                                .int32(2)
                                .text("C")
                                .byte(0);
  EXPECT_EQ(bytes, written([&](R_Writer &w) { writeMacroHistory(w, chain, false); }));
}

TEST_F(RecordWriterTest, OpeningsAndClosing) {
  const std::string path = m_dir.writeFile("old.err", "old");
  {
    R_Writer writer(path);
    EXPECT_FALSE(writer.close()) << "nothing open";
    EXPECT_FALSE(writer.sizeAtOpen());
    ASSERT_TRUE(writer.openForAppend());
    EXPECT_EQ(3u, writer.sizeAtOpen());
    writer.writeByte('!');
    EXPECT_TRUE(writer.close());
    EXPECT_FALSE(writer.isOpen());
    EXPECT_FALSE(writer.hasFailed());
  }
  EXPECT_EQ("old!", test_support::readFile(path));
  {
    R_Writer writer(path);
    ASSERT_TRUE(writer.open());
    EXPECT_EQ(0u, writer.sizeAtOpen());
    writer.writeByte('n');
    // The destructor puts back what the owner left open: only close() keeps
    // what was written.
  }
  EXPECT_EQ("", test_support::readFile(path)) << "as the opening left it";
  {
    R_Writer writer(path);
    ASSERT_TRUE(writer.openForAppend());
    writer.writeByte('n');
  }
  EXPECT_EQ("", test_support::readFile(path));
  EXPECT_FALSE(R_Writer(m_dir / "missing/x.err").open());
  EXPECT_FALSE(R_Writer(m_dir / "missing/x.err").openForAppend());
  EXPECT_FALSE(R_Writer(m_dir.path()).openForAppend()) << "a directory";
}

// What is written reaches the file as a whole at the closing, and the file is
// locked from the opening to the closing, so that writers take turns.
TEST_F(RecordWriterTest, TheBytesReachTheFileAtTheClosing) {
  const auto write = [](R_Writer &w) {
    w.writeString(std::string(100000, 'x'));
    writeBinaryLocation(w, locationWithEveryPart(), true);
  };
  const std::string path = m_dir.writeFile("a.err", "old");
  R_Writer writer(path);
  ASSERT_TRUE(writer.openForAppend());
  EXPECT_TRUE(test_support::lockedElsewhere(path));
  write(writer);
  EXPECT_EQ("old", test_support::readFile(path));
  ASSERT_TRUE(writer.close());
  EXPECT_FALSE(test_support::lockedElsewhere(path));
  EXPECT_EQ("old" + written(write), test_support::readFile(path));
}

// Long texts are held apart from the short writes around them: the same bytes
// reach the file in the same order, whether handed over at a flush or at the
// closing, and a disk that fills up within one leaves the file as it was.
TEST_F(RecordWriterTest, LongTextsAmongShortWrites) {
  const std::string longText((1 << 20) + 1, 'L');
  const std::string boundText(1 << 20, 'M');
  const std::string expected =
      ByteBuilder().int32(1).text(longText).byte('a').text(boundText).text(longText).int32(2);
  const auto firstPart = [&](R_Writer &w) {
    w.writeInt(1);
    w.writeString(longText);
    w.writeByte('a');
  };
  const auto secondPart = [&](R_Writer &w) {
    w.writeString(boundText);
    w.writeString(longText);
    w.writeInt(2);
  };
  EXPECT_EQ(expected, written([&](R_Writer &w) {
              firstPart(w);
              secondPart(w);
            }));

  const std::string flushed = m_dir / "flushed.err";
  R_Writer writer(flushed);
  ASSERT_TRUE(writer.open());
  firstPart(writer);
  writer.flush();
  EXPECT_EQ(expected.substr(0, 4 + 4 + longText.size() + 1), test_support::readFile(flushed));
  secondPart(writer);
  ASSERT_TRUE(writer.close());
  EXPECT_EQ(expected, test_support::readFile(flushed));

  for (const std::uint64_t reaching : {std::uint64_t{4}, std::uint64_t{4 + 4 + 1000}, expected.size() - 1}) {
    SCOPED_TRACE(reaching);
    const std::string full = m_dir.writeFile("full.err", "old");
    platform::setWriteFault(platform::WriteFault{reaching, false});
    R_Writer cut(full);
    ASSERT_TRUE(cut.openForAppend());
    platform::setWriteFault(std::nullopt);
    firstPart(cut);
    secondPart(cut);
    EXPECT_FALSE(cut.close());
    EXPECT_TRUE(cut.hasFailed());
    EXPECT_EQ("old", test_support::readFile(full));
  }
}

// A file made whole gets its name at the closing, unless another file has it
// by then: nothing is made then, and the writer says so. Nothing is left of a
// file that could not be made.
TEST_F(RecordWriterTest, MakingAFileWhole) {
  struct MakeCase {
    const char *what;
    bool takenMeanwhile;
    std::optional<platform::WriteFault> fault;
    bool made;
    bool nameRefused;
  };
  const MakeCase cases[] = {
      {"name free", false, std::nullopt, true, false},
      {"name taken meanwhile", true, std::nullopt, false, true},
      {"disk full", false, platform::WriteFault{3, false}, false, false},
      {"close fails", false, platform::WriteFault{UINT64_MAX, true}, false, false},
  };
  const std::string path = m_dir / "made.err";
  for (const MakeCase &c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(path);
    platform::setWriteFault(c.fault);
    R_Writer writer(path);
    ASSERT_TRUE(writer.openToMake());
    platform::setWriteFault(std::nullopt);
    writer.writeString("made");
    EXPECT_FALSE(std::filesystem::exists(path));
    if (c.takenMeanwhile)
      m_dir.writeFile("made.err", "other");
    EXPECT_EQ(c.made, writer.close());
    EXPECT_EQ(c.nameRefused, writer.nameRefused());
    EXPECT_EQ(!c.made, writer.hasFailed());
    if (c.made) {
      EXPECT_EQ(BYTES("\x04\x00\x00\x00made"), test_support::readFile(path));
    } else {
      EXPECT_EQ(c.takenMeanwhile, std::filesystem::exists(path));
    }
    if (c.takenMeanwhile) {
      EXPECT_EQ("other", test_support::readFile(path));
    }
    std::size_t files = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(m_dir.path()))
      ++files;
    EXPECT_EQ(std::filesystem::exists(path) ? 1u : 0u, files) << "no temporary file is left";
  }
}

TEST_F(RecordWriterTest, WritingWithoutAStreamFails) {
  R_Writer writer(m_dir / "never.err");
  EXPECT_THROW(writer.writeInt(1), R_WritingException);
  EXPECT_TRUE(writer.hasFailed());
  EXPECT_FALSE(std::filesystem::exists(m_dir / "never.err"));
}

// A file closed well keeps what was written, whatever the writer is asked
// afterwards.
TEST_F(RecordWriterTest, AClosedFileIsNotTakenBack) {
  const std::string path = m_dir.writeFile("closed.err", "old");
  R_Writer writer(path);
  ASSERT_TRUE(writer.openForAppend());
  writer.writeString("new");
  ASSERT_TRUE(writer.close());
  writer.discard();
  EXPECT_THROW(writer.writeByte(1), R_WritingException);
  EXPECT_THROW(writer.flush(), R_WritingException);
  EXPECT_EQ(BYTES("old\x03\x00\x00\x00"
                  "new"),
            test_support::readFile(path));
}

// A record cut short by anything thrown while it is written (memory running
// out, say) never reaches the file: the file is put back, and what the run
// wrote before goes with it, whether it was to be appended or made.
TEST_F(RecordWriterTest, ARecordCutShortByAnExceptionNeverReachesTheFile) {
  for (const bool existing : {true, false}) {
    SCOPED_TRACE(existing ? "appended to" : "made");
    const std::string path = existing ? m_dir.writeFile("cut.err", "old") : m_dir / "cut-new.err";
    R_Writer writer(path);
    ASSERT_TRUE(existing ? writer.openForAppend() : writer.openToMake());
    writer.writeWhole([&] { writer.writeString("whole"); });
    EXPECT_THROW(writer.writeWhole([&] {
      writer.writeInt(7);
      throw std::bad_alloc();
    }),
                 std::bad_alloc);
    EXPECT_FALSE(writer.isOpen());
    EXPECT_FALSE(writer.close());
    if (existing)
      EXPECT_EQ("old", test_support::readFile(path));
    else
      EXPECT_FALSE(std::filesystem::exists(path));
  }
  // Nothing is left under a temporary name either.
  std::vector<std::string> left;
  for (const auto &entry : std::filesystem::directory_iterator(m_dir.path()))
    left.push_back(entry.path().filename().string());
  EXPECT_EQ(std::vector<std::string>{"cut.err"}, left);
}

// A failed append leaves the file as it was, whenever the failure shows: in a
// flush or when the file is closed. A write only keeps its bytes, however
// long, so no write fails on a full disk.
TEST_F(RecordWriterTest, FailedAppendLeavesTheFileAsItWas) {
  struct FailureCase {
    const char *what;
    platform::WriteFault fault;
    std::size_t bytes; // written in one string
    bool flush;
    bool throws; // the failure shows before the close (in the flush)
  };
  const FailureCase cases[] = {
      {"disk full at the first byte, seen at close", {0, false}, 10, false, false},
      {"disk full within the buffer, seen at close", {5, false}, 10, false, false},
      {"disk full, seen at flush", {5, false}, 10, true, true},
      {"disk full within a long write", {5000, false}, 100000, false, false},
      {"disk full at the first byte of a long write", {0, false}, 100000, false, false},
      {"close fails after every byte was written", {UINT64_MAX, true}, 10, false, false},
      {"close fails after a flush", {UINT64_MAX, true}, 10, true, false},
  };
  const std::string before = BYTES("\x00\x93\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00");
  for (const FailureCase &c : cases) {
    const std::string path = m_dir.writeFile("append.err", before);
    platform::setWriteFault(c.fault);
    R_Writer writer(path);
    ASSERT_TRUE(writer.openForAppend()) << c.what;
    EXPECT_EQ(before.size(), writer.sizeAtOpen()) << c.what;
    bool thrown = false;
    try {
      writer.writeString(std::string(c.bytes, 'x'));
      if (c.flush)
        writer.flush();
    } catch (const R_WritingException &) {
      thrown = true;
    }
    EXPECT_EQ(c.throws, thrown) << c.what;
    EXPECT_FALSE(writer.close()) << c.what;
    EXPECT_TRUE(writer.hasFailed()) << c.what;
    EXPECT_EQ(before, test_support::readFile(path)) << c.what;
    // Nothing more reaches the file after a failure.
    EXPECT_THROW(writer.writeByte(1), R_WritingException) << c.what;
    EXPECT_EQ(before, test_support::readFile(path)) << c.what;
    platform::setWriteFault(std::nullopt);
  }
}

TEST_F(RecordWriterTest, FailedCreationLeavesNoFile) {
  const std::string path = m_dir / "new.err";
  platform::setWriteFault(platform::WriteFault{8, false});
  R_Writer writer(path);
  ASSERT_TRUE(writer.open());
  writer.writeInt(0x9300);
  writer.writeInt(0);
  writer.writeByte(1);
  EXPECT_FALSE(writer.close());
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(RecordWriterTest, OverwritingAFileThatExistedCutsItBackToNothing) {
  const std::string path = m_dir.writeFile("old.err", "old content");
  platform::setWriteFault(platform::WriteFault{0, false});
  R_Writer writer(path);
  ASSERT_TRUE(writer.open());
  writer.writeByte(1);
  EXPECT_FALSE(writer.close());
  ASSERT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ("", test_support::readFile(path));
}

TEST_F(RecordWriterTest, DiscardRestoresTheFile) {
  const std::string path = m_dir.writeFile("kept.err", "kept");
  R_Writer writer(path);
  ASSERT_TRUE(writer.openForAppend());
  writeBinaryLocation(writer, locationWithEveryPart(), true);
  writer.flush();
  EXPECT_NE("kept", test_support::readFile(path));
  writer.discard();
  EXPECT_FALSE(writer.isOpen());
  EXPECT_EQ("kept", test_support::readFile(path));
  EXPECT_FALSE(writer.hasFailed()) << "the owner's choice, not a failure";
}

// A full device: the stream opens, and the bytes never reach it. The device
// has no size to go back to and stays as it is.
TEST_F(RecordWriterTest, FullDevice) {
  if (!std::filesystem::exists("/dev/full"))
    GTEST_SKIP() << "no /dev/full";
  {
    R_Writer writer("/dev/full");
    ASSERT_TRUE(writer.openForAppend());
    EXPECT_FALSE(writer.sizeAtOpen());
    writer.writeString("short");
    EXPECT_FALSE(writer.close()) << "the close reports what the buffer could not write";
    EXPECT_TRUE(writer.hasFailed());
  }
  {
    R_Writer writer("/dev/full");
    ASSERT_TRUE(writer.open());
    writer.writeString(std::string(100000, 'x'));
    EXPECT_THROW(writer.flush(), R_WritingException);
    EXPECT_FALSE(writer.isOpen());
  }
  EXPECT_TRUE(std::filesystem::exists("/dev/full"));
}

} // namespace
