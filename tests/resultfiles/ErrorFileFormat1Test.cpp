#include "resultfiles/ErrorFileFormat1.h"

#include "foundation/TextConversion.h"
#include "messages/Diagnostic.h"
#include "platform/BinaryFile.h"
#include "platform/WriteFault.h"
#include "resultfiles/ErrorFileExceptions.h"
#include "resultfiles/RecordExceptions.h"
#include "resultfiles/RecordReader.h"
#include "resultfiles/RecordStreams.h"
#include "resultfiles/RecordWriter.h"
#include "support/ByteBuilder.h"
#include "support/Bytes.h"
#include "support/CurrentArguments.h"
#include "support/ScratchDirectory.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace record_streams;
using test_support::ByteBuilder;

// A format-1 string: int32 (n + 1), the bytes and a NUL.
ByteBuilder &string1(ByteBuilder &bytes, const std::string &text) {
  return bytes.int32(static_cast<std::int64_t>(text.size()) + 1).raw(text).byte(0);
}

U_RefPtr<M_Diagnostic> diagnosticAt(const U_Location &location, std::uint32_t number = 1234) {
  return U_RefPtr<M_Diagnostic>(new M_Diagnostic(number, location));
}

class ErrorFileFormat1Test : public test_support::CurrentArgumentsTest {
protected:
  void SetUp() override { M_tamselLastFile() = QL_Filename(); }
  void TearDown() override {
    platform::setWriteFault(std::nullopt);
    M_tamselLastFile() = QL_Filename();
  }

  // Every byte that the writing puts into a new file.
  std::string written(const std::function<void(R_Writer &)> &write) { return writtenBytes(m_dir, write); }

  test_support::ScratchDirectory m_dir;
  int m_count = 0;
};

TEST_F(ErrorFileFormat1Test, Header) {
  EXPECT_EQ(BYTES("\x00\x79\x00\x00\x00\x00\x00\x00"), written(writeTamselHeader));
}

TEST_F(ErrorFileFormat1Test, FirstMessageInAnIncludedFileAndOutsideAnyInclude) {
  // Line 5, column 7 of /a/h.h, included at line 12 of /a/f.c.
  const U_Location included(U_Location(mainFile(), 12, 0), header(), 5, 7);
  EXPECT_EQ(BYTES("\x01\x00\x00\x00"
                  "\x07\x00\x00\x00"
                  "/a/h.h\0"
                  "\x03\x00\x00\x00"
                  "\x0C\x00\x00\x00"
                  "\x05\x00\x00\x00"
                  "\x06\x00\x00\x00"
                  "\xD2\x04\x00\x00"
                  "\x00\x00\x00\x00"
                  "\x00\x00\x00\x00"
                  "\x00\x00\x00\x00"
                  "\x00\x00\x00\x00"),
            written([&](R_Writer &w) { writeTamselDiagnostic(w, diagnosticAt(included), false); }));

  M_tamselLastFile() = QL_Filename();
  EXPECT_EQ(BYTES("\x01\x00\x00\x00"
                  "\x07\x00\x00\x00"
                  "/a/f.c\0"
                  "\x03\x00\x00\x00"
                  "\x05\x00\x00\x00"
                  "\xFF\xFF\xFF\xFF"
                  "\x06\x00\x00\x00"
                  "\xD2\x04\x00\x00"
                  "\x00\x00\x00\x00"
                  "\x00\x00\x00\x00"
                  "\x00\x00\x00\x00"
                  "\x00\x00\x00\x00"),
            written([&](R_Writer &w) {
              writeTamselDiagnostic(w, diagnosticAt(U_Location(mainFile(), 5, 7)), false);
            }));
}

// Two levels of inclusion: the first line is that of the top-level file.
TEST_F(ErrorFileFormat1Test, MainFileLineIsTheEndOfTheIncludeChain) {
  const U_Location inner(U_Location(U_Location(mainFile(), 40, 0), header(), 9, 0), shownFile(), 2, 1);
  ByteBuilder expected;
  expected.int32(3).int32(40).int32(2).int32(0).int32(1234).int32(0).int32(0).int32(0).int32(0);
  EXPECT_EQ(expected.bytes(),
            written([&](R_Writer &w) { writeTamselMessage(w, diagnosticAt(inner), false); }));
}

TEST_F(ErrorFileFormat1Test, MessageFields) {
  struct Case {
    const char *what;
    std::function<U_RefPtr<M_Diagnostic>()> make;
    bool suppressed;
    std::function<void(ByteBuilder &)> fieldsAfterColumn; // number onwards
    std::int64_t column;
  };
  const Case cases[] = {
      {"column 0", [] { return diagnosticAt(U_Location(mainFile(), 5, 0)); }, false,
       [](ByteBuilder &b) { b.int32(1234).int32(0).int32(0).int32(0).int32(0); }, -1},
      {"suppressed", [] { return diagnosticAt(U_Location(mainFile(), 5, 1)); }, true,
       [](ByteBuilder &b) { b.int32(1234).int32(1).int32(0).int32(0).int32(0); }, 0},
      {"error flag",
       [] {
         auto d = diagnosticAt(U_Location(mainFile(), 5, 1));
         d->setError(true);
         return d;
       },
       false, [](ByteBuilder &b) { b.int32(1234).int32(0).int32(1).int32(0).int32(0); }, 0},
      {"hidden flags are not written",
       [] {
         auto d = diagnosticAt(U_Location(mainFile(), 5, 1));
         d->setHiddenByPragma(true);
         d->setHiddenByUser(true);
         return d;
       },
       false, [](ByteBuilder &b) { b.int32(1234).int32(0).int32(0).int32(0).int32(0); }, 0},
      {"parameters as their texts",
       [] {
         auto d = diagnosticAt(U_Location(mainFile(), 5, 1), 7);
         d->addParameter("ab");
         d->addParameter(std::vector<std::string>{"x", "y"});
         d->addParameter(std::string());
         return d;
       },
       false,
       [](ByteBuilder &b) {
         b.int32(7).int32(0).int32(0).int32(3);
         b.raw(BYTES("\x03\x00\x00\x00"
                     "ab\0"));
         string1(b, "List={x,y}");
         string1(b, "");
         b.int32(0);
       },
       0},
  };
  for (const Case &c : cases) {
    ByteBuilder expected;
    expected.int32(3).int32(5).int32(-1).int32(c.column);
    c.fieldsAfterColumn(expected);
    EXPECT_EQ(expected.bytes(), written([&](R_Writer &w) { writeTamselMessage(w, c.make(), c.suppressed); }))
        << c.what;
  }
}

TEST_F(ErrorFileFormat1Test, CurrentFileRecordOnlyWhenTheFileChanges) {
  static const QL_Filename otherGiven("/a/f.c", "other/f.c");
  struct Case {
    const char *what;
    std::vector<const QL_Filename *> files;
    std::vector<const QL_Filename *> records;
  };
  const Case cases[] = {
      {"same file twice", {&mainFile(), &mainFile()}, {&mainFile(), nullptr}},
      {"A, B, A", {&mainFile(), &header(), &mainFile()}, {&mainFile(), &header(), &mainFile()}},
      // The file is told by its canonical name alone.
      {"same canonical name, other given name", {&mainFile(), &otherGiven}, {&mainFile(), nullptr}},
  };
  for (const Case &c : cases) {
    M_tamselLastFile() = QL_Filename();
    ByteBuilder expected;
    for (std::size_t i = 0; i < c.files.size(); ++i) {
      if (c.records[i])
        string1(expected.int32(1), c.records[i]->canonical().str());
      expected.int32(3).int32(1).int32(-1).int32(0).int32(9).int32(0).int32(0).int32(0).int32(0);
    }
    EXPECT_EQ(expected.bytes(), written([&](R_Writer &w) {
                for (const QL_Filename *file : c.files)
                  writeTamselDiagnostic(w, diagnosticAt(U_Location(*file, 1, 1), 9), false);
              }))
        << c.what;
  }
}

// The name goes into the file in the product's encoding, the form in which a
// reader takes it back to the internal one.
TEST_F(ErrorFileFormat1Test, CanonicalNameInTheProductsEncoding) {
  const test_support::EnvironmentVariable lang("LANG", std::string("ja_JP.SJIS"));
  const test_support::EnvironmentVariable noCache("NO_LANG_CACHE", std::string("1"));
  test_support::resetProcessAnswers();
  // "a" HIRAGANA, "so" KATAKANA (its Shift_JIS trail byte is "\").
  const std::string eucName = BYTES("/d/\xA4\xA2\xA5\xBD.c");
  const std::string sjisName = BYTES("/d/\x82\xA0\x83\x5C.c");
  const QL_Filename file(eucName, eucName);
  const std::string bytes = written([&](R_Writer &w) { writeTamselFileRecord(w, U_Location(file, 1, 1)); });
  EXPECT_EQ(string1(ByteBuilder().int32(1), sjisName).bytes(), bytes);

  const std::string path = m_dir.writeFile("back.err", bytes);
  R_Reader reader(path);
  ASSERT_TRUE(reader.open());
  EXPECT_EQ(1u, reader.readInt());
  std::string name = reader.readString();
  ASSERT_FALSE(name.empty());
  name.pop_back(); // the NUL
  EXPECT_EQ(eucName, QL_toInternal(name));
}

// Records written come back through the record layer's reading half: the
// header, current-file records and messages with their fields and texts.
TEST_F(ErrorFileFormat1Test, RoundTrip) {
  const U_Location included(U_Location(mainFile(), 12, 0), header(), 5, 7);
  U_RefPtr<M_Diagnostic> first = diagnosticAt(included, 77);
  first->addParameter("one");
  first->addParameter(std::vector<std::string>{"a", "b"});
  first->setError(true);
  U_RefPtr<M_Diagnostic> second = diagnosticAt(U_Location(mainFile(), 30, 2), 78);
  const std::string bytes = written([&](R_Writer &w) {
    writeTamselHeader(w);
    writeTamselDiagnostic(w, first, true);
    writeTamselDiagnostic(w, second, false);
  });
  R_Reader reader(m_dir.writeFile("back.err", bytes));
  ASSERT_TRUE(reader.open());
  const auto string1Back = [&] {
    std::string text = reader.readString();
    EXPECT_FALSE(text.empty());
    EXPECT_EQ('\0', text.back()) << text;
    text.pop_back();
    return text;
  };
  EXPECT_EQ(M_tamselVersion, reader.readInt());
  EXPECT_EQ(0u, reader.readInt());
  struct Message {
    std::string file;
    std::int32_t first, second, column;
    std::uint32_t number, flags, error;
    std::vector<std::string> texts;
  };
  const Message expected[] = {
      {"/a/h.h", 12, 5, 6, 77, 1, 1, {"one", "List={a,b}"}},
      {"/a/f.c", 30, -1, 1, 78, 0, 0, {}},
  };
  for (const Message &m : expected) {
    ASSERT_EQ(1u, reader.readInt());
    EXPECT_EQ(m.file, string1Back());
    ASSERT_EQ(3u, reader.readInt());
    EXPECT_EQ(m.first, static_cast<std::int32_t>(reader.readInt()));
    EXPECT_EQ(m.second, static_cast<std::int32_t>(reader.readInt()));
    EXPECT_EQ(m.column, static_cast<std::int32_t>(reader.readInt()));
    EXPECT_EQ(m.number, reader.readInt());
    EXPECT_EQ(m.flags, reader.readInt());
    EXPECT_EQ(m.error, reader.readInt());
    std::vector<std::string> texts(reader.readInt());
    for (std::string &text : texts)
      text = string1Back();
    EXPECT_EQ(m.texts, texts);
    EXPECT_EQ(0u, reader.readInt()) << "no string-list parameters";
  }
  EXPECT_TRUE(reader.atEnd());
}

// The bytes of a run reach the file only when the writer hands them on; when
// that fails, the writer has restored the file, and each later write throws
// the exception of its kind (a string's length is its first integer).
TEST_F(ErrorFileFormat1Test, FailedWritesRestoreTheFileAndRefuseLaterWrites) {
  const std::string before = BYTES("\x00\x79\x00\x00\x00\x00\x00\x00");
  struct Case {
    const char *what;
    std::function<void(R_Writer &)> write;
  };
  const Case cases[] = {
      {"integers",
       [](R_Writer &w) {
         for (int i = 0; i < 100000; ++i)
           writeTamselInt(w, i);
       }},
      {"a long text", [](R_Writer &w) { writeTamselString(w, std::string(100000, 'x')); }},
  };
  for (const Case &c : cases) {
    const std::string path = m_dir.writeFile("fault" + std::to_string(m_count++) + ".err", before);
    platform::setWriteFault(platform::WriteFault{10, false});
    R_Writer writer(path);
    ASSERT_TRUE(writer.openForAppend());
    platform::setWriteFault(std::nullopt);
    c.write(writer);
    EXPECT_EQ(before, test_support::readFile(path)) << c.what << ": nothing before the flush";
    EXPECT_THROW(writer.flush(), R_WritingException) << c.what;
    EXPECT_EQ(before, test_support::readFile(path)) << c.what;
    // Nothing reaches the file afterwards.
    EXPECT_THROW(writeTamselInt(writer, 1), M_BadIntWriteException) << c.what;
    EXPECT_THROW(writeTamselString(writer, "a"), M_BadIntWriteException) << c.what;
    EXPECT_EQ(before, test_support::readFile(path)) << c.what;
  }
}

} // namespace
