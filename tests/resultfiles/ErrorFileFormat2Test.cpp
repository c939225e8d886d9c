#include "resultfiles/ErrorFileFormat2.h"

#include "cmdline/Options.h"
#include "messages/Diagnostic.h"
#include "messages/SuppressionRecord.h"
#include "resultfiles/RecordReader.h"
#include "resultfiles/RecordStreams.h"
#include "resultfiles/RecordWriter.h"
#include "support/ByteBuilder.h"
#include "support/Bytes.h"
#include "support/CurrentArguments.h"
#include "support/Locations.h"
#include "support/ScratchDirectory.h"

#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace record_streams;
using test_support::ByteBuilder;

// The first location after an opening: /a/f.c (given f.c), line 10, column
// 3, no parts (plainBytes); a second one in the same file at line 11 reuses
// file id 0.
U_Location secondLocation() { return U_Location(mainFile(), 11, 1); }
const std::string secondBytes = BYTES("\x01\x00\x00\x00"
                                      "\x00\x00\x00\x00"
                                      "\x0B\x00\x00\x00"
                                      "\x01\x00\x00\x00"
                                      "\x00");

U_RefPtr<M_Diagnostic> diagnosticAt(const U_Location &location, std::uint32_t number = 1234) {
  return U_RefPtr<M_Diagnostic>(new M_Diagnostic(number, location));
}

// A parameter of a kind that the format has no layout for.
class OtherParam : public M_ParamType {
public:
  std::string text() const override { return "other"; }
  void accept(M_ParamTypeNav &nav) override { nav.visitOther(*this); }
};

class ErrorFileFormat2Test : public test_support::CurrentArgumentsTest {
protected:
  // Every byte that the writing puts into a new file.
  std::string written(const std::function<void(R_Writer &)> &write) { return writtenBytes(m_dir, write); }
  std::string bodyOf(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed = false) {
    return written([&](R_Writer &w) { writeTamsel2MessageBody(w, diagnostic, suppressed); });
  }

  test_support::ScratchDirectory m_dir;
};

TEST_F(ErrorFileFormat2Test, HeaderAndOpening) {
  EXPECT_EQ(BYTES("\x00\x93\x00\x00\x00\x00\x00\x00"
                  "\x01\x00\x00\x00\x00"),
            written([](R_Writer &w) {
              writeTamsel2Header(w);
              writeTamsel2Opening(w);
            }));
}

// Diagnostic 1540 at line 3, column 5 of /a/x.c (given x.c), no flags, no
// parameters: the body, then a trailer that is a number below 9999 XOR 1540.
TEST_F(ErrorFileFormat2Test, MessageWithTrailer) {
  const std::string bytes = written(
      [](R_Writer &w) { writeTamsel2Message(w, diagnosticAt(U_Location(fileX(), 3, 5), 1540), false); });
  const std::string &body = message1540Body;
  ASSERT_EQ(body.size() + 4, bytes.size());
  EXPECT_EQ(body, bytes.substr(0, body.size()));
  EXPECT_TRUE(endsInTrailerOf(bytes, 1540));
}

// A stretch written again after a rewind gets the trailers it got from the
// mark on; what is written beyond them draws new numbers, as it would have.
TEST_F(ErrorFileFormat2Test, AStretchWrittenAgainGetsItsTrailersAgain) {
  const U_RefPtr<M_Diagnostic> diagnostic = diagnosticAt(U_Location(fileX(), 3, 5), 1540);
  const auto stretch = [&](int messages) {
    return written([&](R_Writer &w) {
      for (int i = 0; i < messages; ++i)
        writeTamsel2Message(w, diagnostic, false);
    });
  };
  std::srand(7);
  const std::string unmarked = stretch(3);
  std::srand(7);
  M_markTamsel2Trailers();
  const std::string first = stretch(2);
  M_rewindTamsel2Trailers();
  const std::string again = stretch(3);
  EXPECT_EQ(first, again.substr(0, first.size()));
  EXPECT_EQ(unmarked, again);
}

TEST_F(ErrorFileFormat2Test, FlagWord) {
  struct Case {
    const char *what;
    bool pragma, user, error, suppressed;
    std::int64_t flags, errorWord;
  };
  const Case cases[] = {
      {"none", false, false, false, false, 0, 0},
      {"suppressed and hidden by user", false, true, false, true, 3, 0},
      {"hidden by user", false, true, false, false, 2, 0},
      {"hidden by pragma alone", true, false, false, false, 0, 0},
      {"hidden by pragma and sent suppressed", true, false, false, true, 1, 0},
      {"error flag", false, false, true, false, 0, 1},
  };
  for (const Case &c : cases) {
    U_RefPtr<M_Diagnostic> diagnostic = diagnosticAt(plainLocation(), 7);
    diagnostic->setHiddenByPragma(c.pragma);
    diagnostic->setHiddenByUser(c.user);
    diagnostic->setError(c.error);
    EXPECT_EQ(ByteBuilder().raw(plainBytes).int32(7).int32(c.flags).int32(c.errorWord).int32(0).bytes(),
              bodyOf(diagnostic, c.suppressed))
        << c.what;
  }
}

TEST_F(ErrorFileFormat2Test, Parameters) {
  struct Case {
    const char *what;
    std::function<void(M_Diagnostic &)> add;
    std::function<void(ByteBuilder &)> countAndParameters;
  };
  const Case cases[] = {
      {"text", [](M_Diagnostic &d) { d.addParameter("ab"); },
       [](ByteBuilder &b) {
         b.raw(BYTES("\x01\x00\x00\x00\x01\x02\x00\x00\x00"
                     "ab"));
       }},
      {"empty text", [](M_Diagnostic &d) { d.addParameter(std::string()); },
       [](ByteBuilder &b) { b.int32(1).byte(1).int32(0); }},
      {"list of texts",
       [](M_Diagnostic &d) {
         d.addParameter(std::vector<std::string>{"x", "yz"});
       },
       [](ByteBuilder &b) { b.int32(1).byte(2).int32(2).text("x").text("yz"); }},
      {"empty list", [](M_Diagnostic &d) { d.addParameter(std::vector<std::string>{}); },
       [](ByteBuilder &b) { b.int32(1).byte(2).int32(0); }},
  };
  for (const Case &c : cases) {
    U_RefPtr<M_Diagnostic> diagnostic = diagnosticAt(plainLocation(), 7);
    c.add(*diagnostic);
    ByteBuilder expected;
    expected.raw(plainBytes).int32(7).int32(0).int32(0);
    c.countAndParameters(expected);
    EXPECT_EQ(expected.bytes(), bodyOf(diagnostic)) << c.what;
  }
}

// A kind without a layout writes nothing, and the body counts only the
// parameters it writes, so that readers find the parameters that follow.
TEST_F(ErrorFileFormat2Test, KindWithoutLayoutIsNeitherWrittenNorCounted) {
  OtherParam other;
  EXPECT_FALSE(hasTamsel2Layout(other));
  EXPECT_EQ("", written([&](R_Writer &w) { writeTamsel2Param(other, w); }));
  M_ParamStringType text("a");
  M_ParamListType list({});
  M_ParamMsgListType messages({});
  M_ParamEntityType entity(test_support::numberedName("e"), false);
  for (M_ParamType *param : std::vector<M_ParamType *>{&text, &list, &messages, &entity})
    EXPECT_TRUE(hasTamsel2Layout(*param)) << param->text();
}

// An entity parameter is written as one rendering of its display name,
// chosen by option "showalias" (a C++ option) and the parameter's flag.
TEST_F(ErrorFileFormat2Test, EntityRendering) {
  test_support::CurrentArguments cpp({}, "lyrpp");
  struct Case {
    std::vector<std::string> words;
    bool flag;
    const char *rendering;
  };
  const Case cases[] = {
      {{"-showalias-"}, false, "e#1"},
      {{"-showalias-"}, true, "e#2"},
      {{}, false, "e#3"},
      {{}, true, "e#4"},
  };
  for (const Case &c : cases) {
    cpp.set(c.words);
    U_RefPtr<M_Diagnostic> diagnostic = diagnosticAt(plainLocation(), 7);
    diagnostic->addParameter(test_support::numberedName("e"), c.flag);
    EXPECT_EQ(
        ByteBuilder().raw(plainBytes).int32(7).int32(0).int32(0).int32(1).byte(1).text(c.rendering).bytes(),
        bodyOf(diagnostic))
        << c.rendering;
  }
}

// Nested diagnostics: bodies without trailer, never marked suppressed; their
// own flags and parameters are written.
TEST_F(ErrorFileFormat2Test, MessageList) {
  const U_Location here = plainLocation();
  U_RefPtr<M_Diagnostic> first = diagnosticAt(here, 1599);
  U_RefPtr<M_Diagnostic> second = diagnosticAt(secondLocation(), 1598);
  second->setHiddenByUser(true);
  second->addParameter("MAX");
  U_RefPtr<M_Diagnostic> outer = diagnosticAt(here, 7);
  outer->addParameterInGivenOrder({first, second});
  ByteBuilder expected;
  expected.raw(plainBytes).int32(7).int32(1).int32(0).int32(1).byte(4).int32(2);
  expected.raw(BYTES("\x00\x00\x00\x00")).int32(1599).int32(0).int32(0).int32(0);
  expected.raw(secondBytes).int32(1598).int32(2).int32(0).int32(1).byte(1).text("MAX");
  EXPECT_EQ(expected.bytes(), bodyOf(outer, true));
}

TEST_F(ErrorFileFormat2Test, SuppressionRecord) {
  const U_Location end(mainFile(), 20, 2);
  struct Case {
    const char *what;
    U_Location end;
    std::function<void(ByteBuilder &)> tail;
  };
  const Case cases[] = {
      {"without end", U_Location(), [](ByteBuilder &b) { b.byte(0); }},
      {"with end", end,
       [](ByteBuilder &b) {
         b.byte(1).raw(BYTES("\x02\x00\x00\x00\x00\x00\x00\x00")).int32(20).int32(2).byte(0);
       }},
  };
  for (const Case &c : cases) {
    const U_RefPtr<M_SuppressionRecord> record(new M_SuppressionRecord(
        0x101, plainLocation(), "N", {{"100", "100"}, {"200", "250"}}, secondLocation(), c.end));
    ByteBuilder expected;
    expected.byte(1).raw(plainBytes).text("N").int32(2).text("100").text("100").text("200").text("250");
    expected.byte(4).raw(secondBytes);
    c.tail(expected);
    EXPECT_EQ(expected.bytes(), written([&](R_Writer &w) { writeTamsel2Suppression(w, record); })) << c.what;
  }
}

TEST_F(ErrorFileFormat2Test, LocationsEverywhereNeeded) {
  U_RefPtr<M_Diagnostic> located = diagnosticAt(plainLocation());
  EXPECT_TRUE(hasTamsel2Locations(*located));
  EXPECT_FALSE(hasTamsel2Locations(M_Diagnostic(5)));
  U_RefPtr<M_Diagnostic> outer = diagnosticAt(plainLocation());
  outer->addParameterInGivenOrder({located, U_RefPtr<M_Diagnostic>(new M_Diagnostic(6))});
  EXPECT_FALSE(hasTamsel2Locations(*outer)) << "a nested diagnostic without location";
}

// Readers key files by their canonical name: a stretch names each one in
// full once, also for two identities that are two entries of the name store
// but whose canonical names read the same, and whatever part of a location
// names them.
TEST_F(ErrorFileFormat2Test, EachCanonicalNameInFullOncePerStretch) {
  const QL_Filename other(std::string("/a/x.c\0other", 12), "other/x.c");
  ASSERT_NE(fileX(), other);
  const std::string bytes = written([&](R_Writer &w) {
    writeTamsel2MessageBody(w, diagnosticAt(U_Location(fileX(), 3, 5)), false);
    writeTamsel2MessageBody(w, diagnosticAt(U_Location(other, 4, 1).withHLLoc(fileX(), 9)), false);
  });
  EXPECT_EQ(ByteBuilder()
                .int32(0) // location 0
                .int32(0) // file 0, in full
                .text("/a/x.c")
                .text("x.c")
                .int32(3)
                .int32(5)
                .byte(0)
                .int32(1234)
                .int32(0)
                .int32(0)
                .int32(0)
                .int32(1) // location 1
                .int32(0) // file 0 again
                .int32(4)
                .int32(1)
                .byte(8)
                .int32(0) // shown file: file 0 again
                .int32(9)
                .int32(1234)
                .int32(0)
                .int32(0)
                .int32(0)
                .bytes(),
            bytes);
}

// What one reading of a message body gives back.
struct ReadBody {
  U_Location location;
  std::uint32_t number = 0;
  std::uint32_t flags = 0;
  std::uint32_t error = 0;
  std::vector<std::string> texts; // texts and lists as one-line texts
  std::vector<ReadBody> nested;
};

ReadBody readBody(R_Reader &reader) {
  ReadBody body;
  body.location = readBinaryLocation(reader);
  body.number = reader.readInt();
  body.flags = reader.readInt();
  body.error = reader.readInt();
  for (std::uint32_t k = reader.readInt(); k > 0; --k) {
    switch (reader.readByte()) {
    case 1:
      body.texts.push_back(reader.readString());
      break;
    case 2: {
      std::string list = "List={";
      for (std::uint32_t n = reader.readInt(); n > 0; --n)
        list += reader.readString() + (n > 1 ? "," : "");
      body.texts.push_back(list + "}");
      break;
    }
    case 4:
      for (std::uint32_t n = reader.readInt(); n > 0; --n)
        body.nested.push_back(readBody(reader));
      break;
    default:
      ADD_FAILURE() << "unknown parameter kind";
    }
  }
  return body;
}

// Messages written through the record layer come back through its reading
// half: locations with every part, parameters, flags, and ids that restart
// at each opening.
TEST_F(ErrorFileFormat2Test, RoundTrip) {
  U_RefPtr<M_Diagnostic> nested = diagnosticAt(locationWithEveryPart(), 1597);
  U_RefPtr<M_Diagnostic> first = diagnosticAt(locationWithEveryPart(), 42);
  first->addParameter("text");
  first->addParameter(std::vector<std::string>{"a", "b"});
  first->addParameterInGivenOrder({nested});
  U_RefPtr<M_Diagnostic> second = diagnosticAt(first->getLocation(), 43);
  second->setHiddenByUser(true);
  const std::string bytes = written([&](R_Writer &w) {
    writeTamsel2Header(w);
    writeTamsel2Opening(w);
    w.writeByte(M_tamsel2Message);
    writeTamsel2Message(w, first, true);
    w.writeByte(M_tamsel2Message);
    writeTamsel2Message(w, second, false);
  });
  // A second stretch, as an appending run writes it, repeats everything.
  const std::string stretch = written([&](R_Writer &w) {
    writeTamsel2Opening(w);
    w.writeByte(M_tamsel2Message);
    writeTamsel2Message(w, second, false);
  });
  R_Reader reader(m_dir.writeFile("both.err", bytes + stretch));
  ASSERT_TRUE(reader.open());
  EXPECT_EQ(0x9300u, reader.readInt());
  EXPECT_EQ(0u, reader.readInt());
  std::vector<ReadBody> bodies;
  while (!reader.atEnd()) {
    const std::uint8_t type = reader.readByte();
    if (type == M_tamsel2Opening) {
      reader.resetTables();
      EXPECT_EQ(0u, reader.readInt());
      continue;
    }
    ASSERT_EQ(M_tamsel2Message, type);
    bodies.push_back(readBody(reader));
    const std::uint32_t trailer = reader.readInt();
    EXPECT_LT(trailer ^ bodies.back().number, 9999u);
  }
  ASSERT_EQ(3u, bodies.size());
  const ReadBody &one = bodies[0];
  EXPECT_EQ(42u, one.number);
  EXPECT_EQ(1u, one.flags);
  EXPECT_EQ((std::vector<std::string>{"text", "List={a,b}"}), one.texts);
  ASSERT_EQ(1u, one.nested.size());
  EXPECT_EQ(1597u, one.nested[0].number);
  for (const U_Location &location :
       {one.location, one.nested[0].location, bodies[1].location, bodies[2].location}) {
    EXPECT_TRUE(U_sameLocation(plainLocation(), location));
    ASSERT_TRUE(location.hasInclLoc() && location.hasMacroHist() && location.hasHLLoc() &&
                location.hasInstFromLoc() && location.hasCalledFromLoc());
    EXPECT_EQ(2, location.getInclLoc().getLine());
    EXPECT_EQ(7, location.getHLLine());
    EXPECT_EQ("t3", location.getInstEntity()->text()) << "showalias is on by default";
    EXPECT_EQ(30, location.getCalledFromLoc().getLine());
  }
  EXPECT_EQ(one.location, bodies[1].location) << "the same object: written once, then by id";
  EXPECT_NE(one.location, bodies[2].location) << "the second stretch writes it again";
  EXPECT_EQ(43u, bodies[2].number);
  EXPECT_EQ(2u, bodies[2].flags);
}

} // namespace
