#include "resultfiles/ErrorFileInput.h"

#include "cmdline/Options.h"
#include "messages/Diagnostic.h"
#include "messages/Output.h"
#include "messages/SuppressionRecord.h"
#include "resultfiles/ErrorFileOutput.h"
#include "resultfiles/ErrorFilePath.h"
#include "resultfiles/MacroHistory.h"
#include "resultfiles/RecordReader.h"
#include "resultfiles/RecordStreams.h"
#include "support/ByteBuilder.h"
#include "support/Bytes.h"
#include "support/CurrentArguments.h"
#include "support/Diagnostics.h"
#include "support/Locations.h"
#include "support/ScratchDirectory.h"
#include "support/SuppressionRecords.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

using test_support::ByteBuilder;
using test_support::diagnostic;
using test_support::DiagnosticList;

const std::string format1Header = BYTES("\x00\x79\x00\x00\x00\x00\x00\x00");
const std::string format2Header = BYTES("\x00\x93\x00\x00\x00\x00\x00\x00");
const std::string opening = BYTES("\x01\x00\x00\x00\x00");

// What standard error shows for a record that cannot be read whole: two
// lines, the second with the text of the read error.
const std::string unreadableRecord = "caught a R_ReadingException in getNextMessage().\n"
                                     "  reason: Problems reading binary file. errno (";

// A string of format 1: int32 (n + 1), the text and a NUL.
ByteBuilder &tamselString(ByteBuilder &bytes, const std::string &text) {
  return bytes.int32(static_cast<std::int64_t>(text.size()) + 1).raw(text).byte(0);
}

// The rendering of a display name that format 2 writes for a location, by
// option "showalias"; a name read back has that text in every rendering.
std::string writtenRendering(const U_EntityDisplayName &entity) {
  return C_optShowAlias().value() ? entity.text3() : entity.text();
}

std::string name(const QL_Filename &file) {
  return std::filesystem::path(file.canonical().str()).filename().string();
}

// A location with every part it has: file (last component of the canonical
// name), line and column, then its history in braces.
std::string describe(const U_Location &location) {
  if (!location.isSet())
    return "-";
  std::string text = name(location.getFile()) + ":" + std::to_string(location.getLine()) + ":" +
                     std::to_string(location.getColumn());
  if (location.hasInclLoc())
    text += " incl{" + describe(location.getInclLoc()) + "}";
  if (location.hasMacroHist())
    for (U_RefPtr<U_MacroHistory> element = location.getMacroHist(); element.isSet();
         element = element->m_parent)
      text +=
          " macro{" + std::string(element->m_macroName.text()) + " " + describe(element->m_location) + "}";
  if (location.hasHLLoc())
    text += " shown{" + name(location.getHLFile()) + ":" + std::to_string(location.getHLLine()) + "}";
  if (location.hasInstFromLoc())
    text += " inst{" + describe(location.getInstFromLoc()) + " " +
            writtenRendering(*location.getInstEntity()) + "}";
  if (location.hasCalledFromLoc())
    text += " call{" + describe(location.getCalledFromLoc()) + "}";
  return text;
}

std::string describe(const U_RefPtr<M_Diagnostic> &diagnostic);

// A parameter by its kind and what it holds; an entity as the text that
// format 2 writes for it.
class ParamDescription : public M_ParamTypeNav {
public:
  void visitMsgList(M_ParamMsgListType &param) override {
    m_text = "msgs[";
    for (const U_RefPtr<M_Diagnostic> &nested : param.getDiagnostics())
      m_text += describe(nested) + ";";
    m_text += "]";
  }
  void visitList(M_ParamListType &param) override { m_text = param.text(); }
  void visitEntity(M_ParamEntityType &param) override {
    const U_EntityDisplayName &entity = *param.getEntity();
    if (C_optShowAlias().value())
      m_text = "'" + (param.getFlag() ? entity.text4() : entity.text3()) + "'";
    else
      m_text = "'" + (param.getFlag() ? entity.text2() : entity.text()) + "'";
  }
  void visitString(M_ParamStringType &param) override { m_text = "'" + param.getString() + "'"; }

  std::string m_text;
};

// A diagnostic whole: number, location, the flags hiddenByPragma (P),
// hiddenByUser (U) and error (E), and the parameters.
std::string describe(const U_RefPtr<M_Diagnostic> &diagnostic) {
  std::string text = std::to_string(diagnostic->getNumber()) + " at " + describe(diagnostic->getLocation());
  text += std::string(" ") + (diagnostic->isHiddenByPragma() ? "P" : "-") +
          (diagnostic->isHiddenByUser() ? "U" : "-") + (diagnostic->isError() ? "E" : "-");
  for (int i = 0; i < diagnostic->getParameterCount(); ++i) {
    ParamDescription param;
    diagnostic->getParameter(i)->accept(param);
    text += " " + param.m_text;
  }
  return text;
}

std::string describe(const U_RefPtr<M_SuppressionRecord> &record) {
  std::string text = std::to_string(record->getKind()) + " " + record->getName() + " at " +
                     describe(record->getLocation()) + " ranges";
  for (const auto &[from, to] : record->getMessageRanges())
    text += " " + from + "-" + to;
  return text + " from " + describe(record->getStartLocation()) + " to " + describe(record->getEndLocation());
}

std::vector<std::string> describeDiagnostics(const M_InputTamsel &input) {
  std::vector<std::string> texts;
  for (auto d = input.diagnosticsBegin(); d != input.diagnosticsEnd(); ++d)
    texts.push_back(describe(*d));
  return texts;
}

std::vector<std::string> describeRecords(const M_InputTamsel &input) {
  std::vector<std::string> texts;
  for (auto r = input.suppressionRecordsBegin(); r != input.suppressionRecordsEnd(); ++r)
    texts.push_back(describe(*r));
  return texts;
}

// A message body of format 2 at the location of id 0 (/d/x.c:1:1, given in
// full when it is new), up to its parameter count.
ByteBuilder &bodyHead(ByteBuilder &bytes, bool newLocation, std::uint32_t number, std::int64_t parameters,
                      std::uint32_t flags = 0, std::uint32_t error = 0) {
  bytes.int32(0);
  if (newLocation)
    bytes.int32(0).text("/d/x.c").text("x.c").int32(1).int32(1).byte(0);
  return bytes.int32(number).int32(flags).int32(error).int32(parameters);
}

// A format-2 file with one message whose lists of messages nest that many
// levels: the message of each level holds one list with the message of the
// next. With a deep location, the innermost message is at a location of
// U_maxLocationDepth levels.
std::string nestedMessages(std::uint32_t levels, bool deepLocation = false) {
  ByteBuilder bytes;
  bytes.raw(format2Header).raw(opening).byte(8);
  for (std::uint32_t level = 0; level <= levels; ++level) {
    if (level == levels && deepLocation) {
      // Locations 1 to 1000 in /d/x.c (file 0), each including the next.
      for (std::uint32_t id = 1; id <= U_maxLocationDepth; ++id)
        bytes.int32(id).int32(0).int32(id).int32(0).byte(id < U_maxLocationDepth ? 1 : 0);
      bytes.int32(level).int32(0).int32(0).int32(0);
      break;
    }
    bodyHead(bytes, level == 0, level, level < levels ? 1 : 0);
    if (level < levels)
      bytes.byte(4).int32(1);
  }
  return bytes.int32(0).bytes(); // the trailer
}

class ErrorFileInputTest : public test_support::CurrentArgumentsTest {
protected:
  void TearDown() override { M_closeOutput(); }

  // The error file of the source src/a.c in the scratch directory.
  std::string errorFile() const { return errorFilePath(m_dir.path(), "src/a.c"); }

  // Reads an error file of exactly these bytes, as the source src/a.c,
  // keeping what standard error shows. The file stays as it was.
  U_RefPtr<M_InputTamsel> read(const std::string &bytes) {
    m_dir.writeFile("a.c.err", bytes);
    testing::internal::CaptureStderr();
    U_RefPtr<M_InputTamsel> input = M_InputTamsel::open("src/a.c", m_dir.path());
    m_stderr = testing::internal::GetCapturedStderr();
    EXPECT_EQ(bytes, test_support::readFile(errorFile())) << "the reading changed the file";
    return input;
  }
  // The diagnostics of a file that must be read.
  std::vector<std::string> diagnosticsOf(const std::string &bytes) {
    const U_RefPtr<M_InputTamsel> input = read(bytes);
    EXPECT_TRUE(input.isSet()) << m_stderr;
    EXPECT_EQ("", m_stderr);
    return input.isSet() ? describeDiagnostics(*input) : std::vector<std::string>{};
  }
  // What the first diagnostic of a file that must be read is.
  U_RefPtr<M_Diagnostic> firstDiagnosticOf(const std::string &bytes) {
    const U_RefPtr<M_InputTamsel> input = read(bytes);
    if (!input.isSet() || input->diagnosticsBegin() == input->diagnosticsEnd()) {
      ADD_FAILURE() << "no diagnostic read: " << m_stderr;
      return diagnostic(0);
    }
    return *input->diagnosticsBegin();
  }

  // Writes the diagnostics and records through the output of the format
  // (kind 2 or 3) into the error file, created anew or appended to; each
  // diagnostic is sent as suppressed when it is hidden by a pragma.
  void writeThroughOutput(int kind, bool append, const DiagnosticList &diagnostics,
                          const std::vector<U_RefPtr<M_SuppressionRecord>> &records = {}) {
    if (kind == 2)
      append ? openAppendTamselOutput(errorFile()) : openNewTamselOutput(errorFile());
    else
      append ? openAppendTamsel2Output(errorFile()) : openNewTamsel2Output(errorFile());
    for (const U_RefPtr<M_Diagnostic> &d : diagnostics)
      M_currentOutput()->write(d, d->isHiddenByPragma());
    for (const U_RefPtr<M_SuppressionRecord> &record : records)
      M_currentOutput()->writeSuppression(record);
    M_closeOutput();
  }

  // Under LYR_FUZZ_SEEDS, keeps the error file as a seed of the reader's fuzz
  // target in the directory it names: a byte for the product's language (0
  // C, 2 Shift_JIS), then the file.
  void keepAsFuzzSeed(const std::string &name, char language = 0) const {
    if (const char *directory = std::getenv("LYR_FUZZ_SEEDS"))
      std::ofstream(std::string(directory) + "/" + name, std::ios::binary)
          << language << test_support::readFile(errorFile());
  }

  test_support::ScratchDirectory m_dir;
  std::string m_stderr;
};

TEST_F(ErrorFileInputTest, FilesShorterThanAVersionWordHoldNothing) {
  for (const std::string &bytes : {std::string(), BYTES("\x00"), BYTES("\x00\x93"), BYTES("\x00\x93\x00")}) {
    const U_RefPtr<M_InputTamsel> input = read(bytes);
    ASSERT_TRUE(input.isSet()) << bytes.size();
    EXPECT_EQ(M_InputTamsel::M_inputNothingRead, input->getMode());
    EXPECT_EQ(0u, input->getVersion());
    EXPECT_TRUE(input->diagnosticsBegin() == input->diagnosticsEnd());
    EXPECT_TRUE(input->suppressionRecordsBegin() == input->suppressionRecordsEnd());
    EXPECT_EQ("", m_stderr);
  }
}

TEST_F(ErrorFileInputTest, VersionWords) {
  struct Case {
    std::uint32_t version;
    int mode; // 0: refused
    std::string error;
  };
  const Case cases[] = {
      {0x7700, 2, ""},
      {0x7800, 2, ""},
      {0x7900, 2, ""},
      {0x8100, 3, ""},
      {0x8200, 3, ""},
      {0x9100, 3, ""},
      {0x9200, 3, ""},
      {0x9300, 3, ""},
      {0x8000, 0, "Unknown error file format: id=8000\n"},
      {0, 0, "Unknown error file format: id=0\n"},
      {0x7A00, 0, "Unknown error file format: id=7a00\n"},
      {0xFFFFFFFF, 0, "Unknown error file format: id=ffffffff\n"},
  };
  for (const Case &c : cases) {
    const U_RefPtr<M_InputTamsel> input = read(ByteBuilder().int32(c.version).int32(0));
    EXPECT_EQ(c.error, m_stderr) << std::hex << c.version;
    ASSERT_EQ(c.mode != 0, input.isSet()) << std::hex << c.version;
    if (c.mode != 0) {
      EXPECT_EQ(c.mode, input->getMode());
      EXPECT_EQ(c.version, input->getVersion());
      EXPECT_TRUE(input->diagnosticsBegin() == input->diagnosticsEnd());
    }
  }
  // The version word alone: the reserved word after it cannot be read, and
  // that ends the reading without a line.
  EXPECT_FALSE(read(ByteBuilder().int32(0x9300).raw("\x00\x00")).isSet());
  EXPECT_EQ("", m_stderr);
}

TEST_F(ErrorFileInputTest, FilesThatCannotBeOpened) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(M_InputTamsel::open("src/a.c", m_dir.path()).isSet()) << "missing";
  std::filesystem::create_directory(errorFile());
  EXPECT_FALSE(M_InputTamsel::open("src/a.c", m_dir.path()).isSet()) << "a directory";
  EXPECT_EQ("", testing::internal::GetCapturedStderr());
}

// The open operations name the file in their own ways; format-1 messages are
// in the source file until a record names another.
TEST_F(ErrorFileInputTest, OpenOperations) {
  const std::string bytes = ByteBuilder()
                                .raw(format1Header)
                                .int32(0)
                                .int32(4)
                                .int32(-1)
                                .int32(0)
                                .int32(77)
                                .raw(BYTES("\x01\x00\x00\x00\x00"));
  const std::string path = m_dir.writeFile("b.c.err", bytes);
  setArguments({"-outputpath", m_dir.path()});
  struct Case {
    const char *what;
    std::function<U_RefPtr<M_InputTamsel>()> open;
    std::string expected;
  };
  const Case cases[] = {
      {"source and directory", [&] { return M_InputTamsel::open("src/b.c", m_dir.path()); },
       "77 at b.c:4:1 ---"},
      {"source in the output directory", [&] { return M_InputTamsel::open("/x/b.c"); }, "77 at b.c:4:1 ---"},
      {"path", [&] { return M_InputTamsel::openPath(path); }, "77 at b.c.err:4:1 ---"},
      {"source and path", [&] { return M_InputTamsel::openWith("h.h", path); }, "77 at h.h:4:1 ---"},
  };
  for (const Case &c : cases) {
    const U_RefPtr<M_InputTamsel> input = c.open();
    ASSERT_TRUE(input.isSet()) << c.what;
    EXPECT_EQ(std::vector<std::string>{c.expected}, describeDiagnostics(*input)) << c.what;
  }
}

// Format 1: a message's own line L, its main-file line M and its column field
// C give a location at L, column C + 1, in the current file, included from
// line M of the main file unless M is -1. Type 3 holds M first when the
// message was included; types 0 and 2 hold L first.
TEST_F(ErrorFileInputTest, Format1Locations) {
  struct Case {
    const char *what;
    std::function<void(ByteBuilder &)> records;
    std::string expected;
  };
  const auto inHeader = [](ByteBuilder &bytes) { tamselString(bytes.int32(1), "h.h"); };
  const Case cases[] = {
      {"type 3 included",
       [&](ByteBuilder &b) {
         inHeader(b);
         b.int32(3).int32(12).int32(5).int32(6).int32(1234).int32(0).int32(0).int32(0).int32(0);
       },
       "1234 at h.h:5:7 incl{a.c:12:0} ---"},
      {"type 0 included",
       [&](ByteBuilder &b) {
         inHeader(b);
         tamselString(b.int32(0).int32(12).int32(5).int32(6).int32(1234), "");
       },
       "1234 at h.h:12:7 incl{a.c:5:0} ---"},
      {"type 2 included",
       [&](ByteBuilder &b) {
         inHeader(b);
         tamselString(b.int32(2).int32(12).int32(5).int32(6).int32(1234).int32(0), "");
       },
       "1234 at h.h:12:7 incl{a.c:5:0} ---"},
      {"type 3 not included",
       [&](ByteBuilder &b) {
         inHeader(b);
         b.int32(3).int32(12).int32(-1).int32(6).int32(1234).int32(0).int32(0).int32(0).int32(0);
       },
       "1234 at h.h:12:7 ---"},
      {"type 0 not included",
       [&](ByteBuilder &b) {
         inHeader(b);
         tamselString(b.int32(0).int32(12).int32(-1).int32(6).int32(1234), "");
       },
       "1234 at h.h:12:7 ---"},
      {"before any current-file record: the main file",
       [](ByteBuilder &b) {
         b.int32(3).int32(8).int32(-1).int32(0).int32(1).int32(0).int32(0).int32(0).int32(0);
       },
       "1 at a.c:8:1 ---"},
      {"column field -1 is column 0",
       [](ByteBuilder &b) {
         b.int32(3).int32(8).int32(-1).int32(-1).int32(1).int32(0).int32(0).int32(0).int32(0);
       },
       "1 at a.c:8:0 ---"},
      {"column field at its largest wraps",
       [](ByteBuilder &b) {
         b.int32(3).int32(8).int32(-1).int32(0x7FFFFFFF).int32(1).int32(0).int32(0).int32(0).int32(0);
       },
       "1 at a.c:8:-2147483648 ---"},
  };
  for (const Case &c : cases) {
    ByteBuilder bytes;
    bytes.raw(format1Header);
    c.records(bytes);
    EXPECT_EQ(std::vector<std::string>{c.expected}, diagnosticsOf(bytes)) << c.what;
  }
}

// A run of current-file records: each changes the file of the messages after
// it; any number of them may stand in a row.
TEST_F(ErrorFileInputTest, Format1CurrentFiles) {
  ByteBuilder bytes;
  bytes.raw(format1Header);
  tamselString(bytes.int32(1), "h.h");
  bytes.int32(3).int32(1).int32(-1).int32(0).int32(1).int32(0).int32(0).int32(0).int32(0);
  for (int i = 0; i < 50000; ++i)
    tamselString(bytes.int32(1), i % 2 ? "g.h" : "k.h");
  bytes.int32(3).int32(2).int32(-1).int32(0).int32(2).int32(0).int32(0).int32(0).int32(0);
  bytes.int32(3).int32(3).int32(-1).int32(0).int32(3).int32(0).int32(0).int32(0).int32(0);
  EXPECT_EQ((std::vector<std::string>{"1 at h.h:1:1 ---", "2 at g.h:2:1 ---", "3 at g.h:3:1 ---"}),
            diagnosticsOf(bytes));
}

// Flags, error words and parameter texts of format 1. Either hidden flag also
// sets the hidden flag; the error word counts when it is odd.
TEST_F(ErrorFileInputTest, Format1FlagsAndParameters) {
  struct Case {
    const char *what;
    std::function<void(ByteBuilder &)> record;
    bool pragma, user, error;
    std::vector<std::string> parameters;
  };
  const auto type3 = [](ByteBuilder &b, std::int64_t flags, std::int64_t error) -> ByteBuilder & {
    return b.int32(3).int32(1).int32(-1).int32(0).int32(9).int32(flags).int32(error);
  };
  const Case cases[] = {
      {"none", [&](ByteBuilder &b) { type3(b, 0, 0).int32(0).int32(0); }, false, false, false, {}},
      {"flag 1", [&](ByteBuilder &b) { type3(b, 1, 0).int32(0).int32(0); }, true, false, false, {}},
      {"flag 2", [&](ByteBuilder &b) { type3(b, 2, 0).int32(0).int32(0); }, false, true, false, {}},
      {"flags 3 and more",
       [&](ByteBuilder &b) { type3(b, 0xFF, 0).int32(0).int32(0); },
       true,
       true,
       false,
       {}},
      {"error 1", [&](ByteBuilder &b) { type3(b, 0, 1).int32(0).int32(0); }, false, false, true, {}},
      {"error 2", [&](ByteBuilder &b) { type3(b, 0, 2).int32(0).int32(0); }, false, false, false, {}},
      {"error 3", [&](ByteBuilder &b) { type3(b, 0, 3).int32(0).int32(0); }, false, false, true, {}},
      {"parameters, empty ones too",
       [&](ByteBuilder &b) { tamselString(tamselString(type3(b, 0, 0).int32(2), "ab"), "").int32(0); },
       false,
       false,
       false,
       {"ab", ""}},
      {"a string without its NUL, and one with two",
       [&](ByteBuilder &b) { type3(b, 0, 0).int32(2).text("ab").text(std::string("c\0\0", 3)).int32(0); },
       false,
       false,
       false,
       {"ab", std::string("c\0", 2)}},
      {"negative parameter count",
       [&](ByteBuilder &b) { type3(b, 0, 0).int32(-3).int32(0); },
       false,
       false,
       false,
       {}},
      {"type 0 with a text",
       [](ByteBuilder &b) { tamselString(b.int32(0).int32(1).int32(-1).int32(0).int32(9), "t"); },
       false,
       false,
       false,
       {"t"}},
      {"type 0 with an empty text",
       [](ByteBuilder &b) { tamselString(b.int32(0).int32(1).int32(-1).int32(0).int32(9), ""); },
       false,
       false,
       false,
       {}},
      {"type 2 with flags and a text",
       [](ByteBuilder &b) { tamselString(b.int32(2).int32(1).int32(-1).int32(0).int32(9).int32(3), "t"); },
       true,
       true,
       false,
       {"t"}},
  };
  for (const Case &c : cases) {
    ByteBuilder bytes;
    bytes.raw(format1Header);
    c.record(bytes);
    const U_RefPtr<M_Diagnostic> read = firstDiagnosticOf(bytes);
    U_RefPtr<M_Diagnostic> expected = diagnostic(9, read->getLocation());
    for (const std::string &text : c.parameters)
      expected->addParameter(text);
    expected->setHiddenByPragma(c.pragma);
    expected->setHiddenByUser(c.user);
    expected->setHidden(c.pragma || c.user);
    expected->setError(c.error);
    EXPECT_TRUE(diagnosticsEqual(expected, read)) << c.what << ": " << describe(read);
  }
}

// Format 2: the flag word gives hiddenByPragma (1) and hiddenByUser (2) but
// never the hidden flag; any error word but 0 sets the error flag.
TEST_F(ErrorFileInputTest, Format2FlagsAndErrorWord) {
  struct Case {
    std::uint32_t flags, error;
    bool pragma, user, isError;
  };
  const Case cases[] = {
      {0, 0, false, false, false}, {1, 0, true, false, false}, {2, 0, false, true, false},
      {3, 0, true, true, false},   {0, 1, false, false, true}, {0, 5, false, false, true},
      {4, 2, false, false, true},
  };
  for (const Case &c : cases) {
    ByteBuilder bytes;
    bodyHead(bytes.raw(format2Header).raw(opening).byte(8), true, 9, 0, c.flags, c.error).int32(0x1234);
    const U_RefPtr<M_Diagnostic> read = firstDiagnosticOf(bytes);
    U_RefPtr<M_Diagnostic> expected = diagnostic(9, read->getLocation());
    expected->setHiddenByPragma(c.pragma);
    expected->setHiddenByUser(c.user);
    expected->setError(c.isError);
    EXPECT_TRUE(diagnosticsEqual(expected, read)) << c.flags << " " << c.error << ": " << describe(read);
  }
}

// Records of format 2 written by hand: a message of type 2 (no trailer) is
// the same as one of type 8; an opening may carry bytes, and ids start again
// after it; counts of 0 or less stand for no item.
TEST_F(ErrorFileInputTest, Format2Records) {
  ByteBuilder bytes;
  bytes.raw(format2Header).raw(opening).byte(8);
  bodyHead(bytes, true, 1, 0).int32(0x1234);
  bodyHead(bytes.byte(2), false, 1, 0);
  // An opening with 3 bytes; location 0 and file 0 are new again.
  bytes.byte(1).int32(3).raw("abc").byte(2);
  bytes.int32(0).int32(0).text("/d/y.c").text("y.c").int32(7).int32(2).byte(0);
  bytes.int32(2).int32(0).int32(0).int32(3);
  bytes.byte(1).text("t").byte(2).int32(-1).byte(4).int32(0);
  EXPECT_EQ((std::vector<std::string>{"1 at x.c:1:1 ---", "1 at x.c:1:1 ---",
                                      "2 at y.c:7:2 --- 't' List={} msgs[]"}),
            diagnosticsOf(bytes));
  keepAsFuzzSeed("format2-records");
}

TEST_F(ErrorFileInputTest, Format2SuppressionRecords) {
  ByteBuilder bytes;
  bytes.raw(format2Header).raw(opening);
  // Kind 1 at location 0, named "n", ranges 10-20 and 30-"", marker, start
  // at location 1, no end.
  bytes.byte(4).byte(1).int32(0).int32(0).text("/d/x.c").text("x.c").int32(5).int32(0).byte(0);
  bytes.text("n").int32(2).text("10").text("20").text("30").text("").byte(4);
  bytes.int32(1).int32(0).int32(6).int32(0).byte(0).byte(0);
  // Kind 0, no ranges (count -1), start at location 0, an end byte of 7 and
  // the end at location 2.
  bytes.byte(4).byte(0).int32(1).text("").int32(-1).byte(4).int32(0).byte(7);
  bytes.int32(2).int32(0).int32(9).int32(0).byte(0);
  const U_RefPtr<M_InputTamsel> input = read(bytes);
  ASSERT_TRUE(input.isSet()) << m_stderr;
  EXPECT_EQ((std::vector<std::string>{"1 n at x.c:5:0 ranges 10-20 30- from x.c:6:0 to -",
                                      "0  at x.c:6:0 ranges from x.c:5:0 to x.c:9:0"}),
            describeRecords(*input));
  EXPECT_TRUE(input->diagnosticsBegin() == input->diagnosticsEnd());
  keepAsFuzzSeed("format2-suppressions");
}

// What the outputs of both formats write, the reader gives back: every
// parameter kind (an entity as the text written for it), lists of messages
// nested in lists, locations with every part of their history, flags and
// suppression records; an appended stretch brings its own ids.
TEST_F(ErrorFileInputTest, Format2WrittenByTheOutput) {
  using record_streams::locationWithEveryPart;
  const U_Location every = locationWithEveryPart();
  const U_Location plain = record_streams::plainLocation();
  U_RefPtr<M_Diagnostic> inner = diagnostic(3, plain);
  inner->addParameter(std::vector<std::string>{"deep"});
  inner->setHiddenByUser(true);
  U_RefPtr<M_Diagnostic> middle = diagnostic(2, every);
  middle->addParameter("mid");
  middle->addParameter(DiagnosticList{inner, diagnostic(4, plain)});
  U_RefPtr<M_Diagnostic> full = test_support::flaggedDiagnostic(1540, true, true, every);
  full->setHiddenByUser(true);
  full->addParameter("abc");
  full->addParameter(test_support::numberedName("ent"), true);
  full->addParameter(test_support::numberedName("ent"), false);
  full->addParameter(std::vector<std::string>{"x", "", "y"});
  full->addParameter(DiagnosticList{middle});
  full->addParameter(DiagnosticList{});
  const DiagnosticList diagnostics{full, diagnostic(5, plain),
                                   test_support::flaggedDiagnostic(6, true, false, plain)};
  const std::vector<U_RefPtr<M_SuppressionRecord>> records{
      test_support::suppressionRecord(1, every, {{"10", "20"}, {"7", ""}}, plain, every, "name"),
      test_support::suppressionRecord(0, plain, {}, every)};

  writeThroughOutput(3, false, diagnostics, records);
  writeThroughOutput(3, true, diagnostics, {});
  keepAsFuzzSeed("format2-written");
  const U_RefPtr<M_InputTamsel> input = read(test_support::readFile(errorFile()));
  ASSERT_TRUE(input.isSet()) << m_stderr;
  EXPECT_EQ(M_InputTamsel::M_inputFormat2, input->getMode());
  std::vector<std::string> expected;
  for (int stretch = 0; stretch < 2; ++stretch)
    for (const U_RefPtr<M_Diagnostic> &d : diagnostics)
      expected.push_back(describe(d));
  EXPECT_EQ(expected, describeDiagnostics(*input));
  EXPECT_EQ(
      "1540 at f.c:10:3 incl{h.h:2:0} macro{MAX f.c:10:5} macro{CMP f.c:4:1} shown{g.c:7} "
      "inst{h.h:20:1 t3} call{f.c:30:2} PUE 'abc' 'ent#4' 'ent#3' List={x,,y} "
      "msgs[2 at f.c:10:3 incl{h.h:2:0} macro{MAX f.c:10:5} macro{CMP f.c:4:1} shown{g.c:7} "
      "inst{h.h:20:1 t3} call{f.c:30:2} --- 'mid' msgs[3 at f.c:10:3 -U- List={deep};4 at f.c:10:3 ---;];] "
      "msgs[]",
      expected.front());
  std::vector<std::string> expectedRecords;
  for (const U_RefPtr<M_SuppressionRecord> &record : records)
    expectedRecords.push_back(describe(record));
  EXPECT_EQ(expectedRecords, describeRecords(*input));
}

// Format 1 keeps the file, the line, the column and the line in the main file
// of a location; the flags are those of the message, every parameter comes
// back as its text, and the messages are in the files named before them.
TEST_F(ErrorFileInputTest, Format1WrittenByTheOutput) {
  const QL_Filename source = QL_Filename::fromPath(m_dir / "src/a.c");
  const QL_Filename header = QL_Filename::fromPath(m_dir / "h.h");
  const QL_Filename inner = QL_Filename::fromPath(m_dir / "i.h");
  const U_Location inHeader(U_Location(source, 12, 0), header, 5, 7);
  const U_Location twoLevels(U_Location(U_Location(source, 30, 4), header, 3, 1), inner, 8, 2);
  U_RefPtr<M_Diagnostic> first = test_support::flaggedDiagnostic(77, true, true, inHeader);
  first->addParameter("one");
  first->addParameter(std::vector<std::string>{"a", "b"});
  first->addParameter(DiagnosticList{diagnostic(1, U_Location(source, 2, 0))});
  U_RefPtr<M_Diagnostic> user = diagnostic(79, U_Location(source, 1, 1));
  user->setHiddenByUser(true); // format 1 has no place for it
  const DiagnosticList diagnostics{first, diagnostic(78, U_Location(source, 40, 0)),
                                   diagnostic(80, twoLevels), user};
  writeThroughOutput(2, false, diagnostics);
  writeThroughOutput(2, true, {diagnostic(81, inHeader)});
  keepAsFuzzSeed("format1-written");

  const U_RefPtr<M_InputTamsel> input = M_InputTamsel::open(m_dir / "src/a.c", m_dir.path());
  ASSERT_TRUE(input.isSet());
  EXPECT_EQ(M_InputTamsel::M_inputFormat1, input->getMode());
  EXPECT_EQ(0x7900u, input->getVersion());
  const std::string nested = first->getParameter(2)->text();
  EXPECT_EQ((std::vector<std::string>{
                "77 at h.h:5:7 incl{a.c:12:0} P-E 'one' 'List={a,b}' '" + nested + "'",
                "78 at a.c:40:0 ---",
                "80 at i.h:8:2 incl{a.c:30:0} ---",
                "79 at a.c:1:1 ---",
                "81 at h.h:5:7 incl{a.c:12:0} ---",
            }),
            describeDiagnostics(*input));
  // The hidden flag comes with the pragma flag.
  const U_RefPtr<M_Diagnostic> read = *input->diagnosticsBegin();
  U_RefPtr<M_Diagnostic> expected = test_support::flaggedDiagnostic(77, true, true, read->getLocation());
  expected->addParameter("one");
  expected->addParameter("List={a,b}");
  expected->addParameter(nested);
  EXPECT_FALSE(diagnosticsEqual(expected, read));
  expected->setHidden(true);
  EXPECT_TRUE(diagnosticsEqual(expected, read));
}

// A file name of format 1 is in the product's encoding; the reader takes it
// back into the internal one.
TEST_F(ErrorFileInputTest, Format1NamesInTheProductsEncoding) {
  const test_support::EnvironmentVariable lang("LANG", std::string("ja_JP.SJIS"));
  const test_support::EnvironmentVariable noCache("NO_LANG_CACHE", std::string("1"));
  test_support::resetProcessAnswers();
  // "a" HIRAGANA, "so" KATAKANA (its Shift_JIS trail byte is "\").
  const std::string eucName = m_dir / BYTES("\xA4\xA2\xA5\xBD.h");
  const QL_Filename file = QL_Filename::fromPath(eucName);
  writeThroughOutput(2, false, {diagnostic(5, U_Location(file, 3, 1))});
  keepAsFuzzSeed("format1-shift-jis", 2);
  EXPECT_NE(std::string::npos, test_support::readFile(errorFile()).find(BYTES("\x82\xA0\x83\x5C.h")));
  const U_RefPtr<M_Diagnostic> read = firstDiagnosticOf(test_support::readFile(errorFile()));
  EXPECT_EQ(file, read->getLocation().getFile());
  EXPECT_EQ(3, read->getLocation().getLine());
}

// A message in a list may hold a list in turn, down to 1000 levels below the
// message of the record; deeper nesting is refused. The innermost message may
// have a location that nests as deep as locations may.
TEST_F(ErrorFileInputTest, NestedListsOfMessages) {
  for (const bool deepLocation : {false, true}) {
    const U_RefPtr<M_Diagnostic> top =
        firstDiagnosticOf(nestedMessages(M_maxMessageListNesting, deepLocation));
    std::uint32_t levels = 0;
    U_RefPtr<M_Diagnostic> at = top;
    while (at->getParameterCount() == 1) {
      const auto *list = dynamic_cast<const M_ParamMsgListType *>(at->getParameter(0));
      ASSERT_NE(nullptr, list);
      ASSERT_EQ(1u, list->getDiagnostics().size());
      at = list->getDiagnostics().front();
      ++levels;
      EXPECT_EQ(levels, at->getNumber());
    }
    EXPECT_EQ(M_maxMessageListNesting, levels);
    std::uint32_t includes = 0;
    for (U_Location location = at->getLocation(); location.hasInclLoc(); location = location.getInclLoc())
      ++includes;
    EXPECT_EQ(deepLocation ? U_maxLocationDepth - 1 : 0, includes);
  }
  EXPECT_FALSE(read(nestedMessages(M_maxMessageListNesting + 1)).isSet());
  EXPECT_EQ(0u, m_stderr.find(unreadableRecord)) << m_stderr;
}

// Files that no writer writes. Each is refused; standard error shows what
// the kind of failure shows, and nothing else.
TEST_F(ErrorFileInputTest, RefusedFiles) {
  struct Case {
    const char *what;
    std::function<void(ByteBuilder &)> bytes;
    bool unreadableRecordLines;
  };
  const auto format2Message = [](ByteBuilder &b, std::int64_t parameters) -> ByteBuilder & {
    return bodyHead(b.raw(format2Header).raw(opening).byte(8), true, 1, parameters);
  };
  const auto format1Message = [](ByteBuilder &b, std::int64_t parameters) -> ByteBuilder & {
    return b.raw(format1Header)
        .int32(3)
        .int32(1)
        .int32(-1)
        .int32(0)
        .int32(1)
        .int32(0)
        .int32(0)
        .int32(parameters);
  };
  const std::int64_t huge = 0x7FFFFFFF;
  const Case cases[] = {
      // Record types and parameter kinds that neither format has.
      {"format 2 record type 3", [](ByteBuilder &b) { b.raw(format2Header).raw(opening).byte(3).int32(0); },
       false},
      {"format 2 record type 0", [](ByteBuilder &b) { b.raw(format2Header).byte(0); }, false},
      {"format 2 record type 255", [](ByteBuilder &b) { b.raw(format2Header).byte(255); }, false},
      {"format 1 record type 4", [](ByteBuilder &b) { b.raw(format1Header).int32(4).int32(0); }, false},
      {"format 1 record type -1", [](ByteBuilder &b) { b.raw(format1Header).int32(-1); }, false},
      {"parameter kind 3", [&](ByteBuilder &b) { format2Message(b, 2).byte(3).byte(1).text("x").int32(0); },
       false},
      {"parameter kind 0", [&](ByteBuilder &b) { format2Message(b, 1).byte(0).int32(0).int32(0); }, false},
      {"parameter kind 255 in a nested message",
       [&](ByteBuilder &b) {
         bodyHead(format2Message(b, 1).byte(4).int32(1), false, 2, 1).byte(255).int32(0).int32(0).int32(0);
       },
       false},
      {"format 1 list parameters", [&](ByteBuilder &b) { format1Message(b, 0).int32(1); }, false},
      // Records that end before they are whole.
      {"a current-file record at the end",
       [](ByteBuilder &b) { tamselString(b.raw(format1Header).int32(1), "h.h"); }, true},
      {"a message cut short", [&](ByteBuilder &b) { format2Message(b, 0).raw("\x01\x02"); }, true},
      {"an opening cut short", [](ByteBuilder &b) { b.raw(format2Header).byte(1).raw("\x00\x00"); }, true},
      // Counts and lengths larger than what the file holds.
      {"parameter count", [&](ByteBuilder &b) { format2Message(b, huge).byte(1).text("x"); }, true},
      {"text length", [&](ByteBuilder &b) { format2Message(b, 1).byte(1).int32(huge).raw("x"); }, true},
      {"text list count", [&](ByteBuilder &b) { format2Message(b, 1).byte(2).int32(huge).text("x"); }, true},
      {"message list count",
       [&](ByteBuilder &b) { bodyHead(format2Message(b, 1).byte(4).int32(huge), false, 2, 0); }, true},
      {"message list count just too large",
       [&](ByteBuilder &b) { bodyHead(format2Message(b, 1).byte(4).int32(2), false, 2, 0).int32(0); }, true},
      {"range count",
       [](ByteBuilder &b) {
         b.raw(format2Header).byte(4).byte(0).int32(0).int32(0).text("/d/x.c").text("x.c");
         b.int32(1).int32(1).byte(0).text("n").int32(huge).text("1").text("2");
       },
       true},
      {"opening bytes", [](ByteBuilder &b) { b.raw(format2Header).byte(1).int32(huge).raw("abc"); }, true},
      {"format 1 parameter count", [&](ByteBuilder &b) { tamselString(format1Message(b, huge), "p"); }, true},
      {"format 1 string length", [](ByteBuilder &b) { b.raw(format1Header).int32(1).int32(huge).raw("h.h"); },
       true},
      // References the record layer refuses: a location of an earlier
      // stretch, after an opening.
      {"a location id of the stretch before",
       [&](ByteBuilder &b) { bodyHead(format2Message(b, 0).int32(0).raw(opening).byte(2), false, 1, 0); },
       true},
  };
  for (const Case &c : cases) {
    ByteBuilder bytes;
    c.bytes(bytes);
    EXPECT_FALSE(read(bytes).isSet()) << c.what;
    if (c.unreadableRecordLines)
      EXPECT_EQ(0u, m_stderr.find(unreadableRecord)) << c.what << ": " << m_stderr;
    else
      EXPECT_EQ("", m_stderr) << c.what;
  }
}

// A file cut short anywhere: at the end of a record it holds the records
// before; anywhere else the reading fails on the record that was cut.
TEST_F(ErrorFileInputTest, FilesCutShort) {
  const U_Location every = record_streams::locationWithEveryPart();
  U_RefPtr<M_Diagnostic> nested = diagnostic(1, every);
  nested->addParameter("p");
  nested->addParameter(std::vector<std::string>{"a", "b"});
  nested->addParameter(DiagnosticList{diagnostic(2, every), diagnostic(3, record_streams::plainLocation())});
  const DiagnosticList diagnostics{nested, diagnostic(4, every)};
  for (const int kind : {2, 3}) {
    // The number of messages before each end of a record; the header alone
    // holds none.
    std::map<std::size_t, std::size_t> ends{{8, 0}};
    for (std::size_t count = 0; count <= diagnostics.size(); ++count) {
      writeThroughOutput(kind, false, DiagnosticList(diagnostics.begin(), diagnostics.begin() + count));
      ends[test_support::readFile(errorFile()).size()] = count;
    }
    const std::string whole = test_support::readFile(errorFile());
    for (std::size_t size = 8; size < whole.size(); ++size) {
      const U_RefPtr<M_InputTamsel> input = read(whole.substr(0, size));
      const auto end = ends.find(size);
      if (end == ends.end()) {
        EXPECT_FALSE(input.isSet()) << kind << " " << size;
        EXPECT_EQ(0u, m_stderr.find(unreadableRecord)) << kind << " " << size << ": " << m_stderr;
      } else {
        ASSERT_TRUE(input.isSet()) << kind << " " << size << ": " << m_stderr;
        EXPECT_EQ(end->second, describeDiagnostics(*input).size()) << kind << " " << size;
      }
    }
  }
}

TEST_F(ErrorFileInputTest, SetSourceFile) {
  const std::string bytes = ByteBuilder()
                                .raw(format1Header)
                                .int32(0)
                                .int32(4)
                                .int32(9)
                                .int32(0)
                                .int32(77)
                                .raw(BYTES("\x01\x00\x00\x00\x00"));
  const U_RefPtr<M_InputTamsel> input = read(bytes);
  ASSERT_TRUE(input.isSet());
  EXPECT_EQ(std::vector<std::string>{"77 at a.c:4:1 incl{a.c:9:0} ---"}, describeDiagnostics(*input));
  input->setSourceFile(m_dir / "other.c");
  EXPECT_EQ(std::vector<std::string>{"77 at a.c:4:1 incl{a.c:9:0} ---"}, describeDiagnostics(*input))
      << "nothing is read again";
}

} // namespace
