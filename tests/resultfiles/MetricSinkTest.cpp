#include "resultfiles/MetricSink.h"

#include "foundation/FileIdentity.h"
#include "foundation/Location.h"
#include "foundation/PathText.h"
#include "platform/FileSystem.h"
#include "resultfiles/Identifier.h"
#include "resultfiles/MetricDoubles.h"
#include "support/CurrentArguments.h"

#include <cerrno>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace metric_doubles;
using test_support::CurrentArgumentsTest;
using test_support::ScratchDirectory;

// A stream buffer that keeps what is written and counts the flushes.
class RecordingBuffer : public std::stringbuf {
public:
  int flushes = 0;

protected:
  int sync() override {
    ++flushes;
    return std::stringbuf::sync();
  }
};

// A stream buffer that takes nothing.
class RefusingBuffer : public std::streambuf {
protected:
  int_type overflow(int_type) override { return traits_type::eof(); }
};

// The sink on standard output, which writes into a buffer of the test; file
// names are shown as written. a.c is named for the run.
class MetricSinkTest : public CurrentArgumentsTest {
protected:
  void SetUp() override {
    setArguments({"-expandfilenames-", "a.c"});
    resetNativeSlashLookup();
    m_sink.open("-");
  }
  void TearDown() override {
    m_sink.close();
    std::cout.rdbuf(m_stdout);
    resetNativeSlashLookup();
  }

  // The lines that the writing puts out on a newly opened stream.
  std::string written(const std::function<void(M_MetricLYR &)> &write) {
    m_sink.open("-");
    m_buffer.str("");
    write(m_sink);
    return m_buffer.str();
  }

  RecordingBuffer m_buffer;
  std::streambuf *m_stdout = std::cout.rdbuf(&m_buffer);
  M_MetricLYR m_sink;
};

U_Location at(const std::string &path, std::int32_t line, std::int32_t column = 0) {
  return U_Location(QL_Filename::fromPath(path), line, column);
}

// The name as written with the platform's separators.
std::string native(std::string path) {
  for (char &c : path) {
    if (c == '/')
      c = platform::nativeSeparator;
  }
  return path;
}

struct Case {
  const char *what;
  std::function<void(M_MetricLYR &)> write;
  std::string lines;
};

void expectLines(const Case &c, const std::string &written) { EXPECT_EQ(c.lines, written) << c.what; }

TEST_F(MetricSinkTest, DefineRecords) {
  const U_Location inA = at("a.c", 3);
  const U_Location inH = at("h.h", 4, 2);
  const Case cases[] = {
      {"type", [&](M_MetricLYR &s) { s.writeDefineOT(Definition("size_t", inA, "ulong", 0, ""), 0); },
       "<DEFINE> size_t a.c 3 N DF OT F N ulong -\n"},
      {"type in a header, unknown kind, U",
       [&](M_MetricLYR &s) { s.writeDefineOT(Definition("T", inH, "int", 6, "U"), 8); },
       "<DEFINE> T h.h 4 I ?? OT S N int U\n"},
      {"tag of kind 0: D before A",
       [&](M_MetricLYR &s) { s.writeDefineTG(Definition("s", inA, "{s", 1, "UDA"), 0); },
       "<DEFINE> s a.c 3 N DF TG B X {s UD\n"},
      {"tag of kind 0: A", [&](M_MetricLYR &s) { s.writeDefineTG(Definition("s", inA, "{s", 2, "A"), 0); },
       "<DEFINE> s a.c 3 N DF TG C X {s A\n"},
      {"tag of kind 7: no D or A",
       [&](M_MetricLYR &s) { s.writeDefineTG(Definition("s", inA, "{s", 2, "UDA"), 7); },
       "<DEFINE> s a.c 3 N DF TG C X {s U\n"},
      {"tag of kind 1", [&](M_MetricLYR &s) { s.writeDefineTG(Definition("s", inA, "{s", 3, "D"), 1); },
       "<DEFINE> s a.c 3 N DC TG P X {s -\n"},
      {"second tag form", [&](M_MetricLYR &s) { s.writeDefineTG2(Definition("u", inA, "{u", 4, "UDA"), 0); },
       "<DEFINE> u a.c 3 N DF TG T X {u U\n"},
      {"function with every flag",
       [&](M_MetricLYR &s) { s.writeDefineOF(Definition("f", inA, "f()", 0, "UPVSIGT1+i"), 2); },
       "<DEFINE> f a.c 3 N DR OF F I f() UPVSIG5\n"},
      {"function: T without G, digit 3",
       [&](M_MetricLYR &s) { s.writeDefineOF(Definition("f", inA, "f()", 5, "T3"), 3); },
       "<DEFINE> f a.c 3 N DI OF R X f() T3\n"},
      {"function: digit 2 with plus 4 writes no digit",
       [&](M_MetricLYR &s) { s.writeDefineOF(Definition("f", inA, "f()", 0, "2+"), 0); },
       "<DEFINE> f a.c 3 N DF OF F X f() -\n"},
      {"variable with linkage I",
       [&](M_MetricLYR &s) { s.writeDefineOV(Definition("v", inA, "int", 1, "ixUSR3+"), 4); },
       "<DEFINE> v a.c 3 N DS OV B I int USR7\n"},
      {"variable with linkage X",
       [&](M_MetricLYR &s) { s.writeDefineOV(Definition("v", inA, "int", 1, "x"), 5); },
       "<DEFINE> v a.c 3 N DX OV B X int -\n"},
      {"variable without linkage in scope 1",
       [&](M_MetricLYR &s) { s.writeDefineOV(Definition("v", inA, "int", 1, "2"), 6); },
       "<DEFINE> v a.c 3 N DP OV B N int 2\n"},
      {"variable without linkage in scope 0",
       [&](M_MetricLYR &s) { s.writeDefineOV(Definition("v", inA, "int", 0, ""), 0); },
       "<DEFINE> v a.c 3 N DF OV F X int -\n"},
      {"second variable form: nb",
       [&](M_MetricLYR &s) { s.writeDefineOV2(Definition("b", inA, "", 2, "nUS1"), 0); },
       "<DEFINE> b a.c 3 N DF OV C X nb SU1\n"},
      {"second variable form: ub",
       [&](M_MetricLYR &s) { s.writeDefineOV2(Definition("b", inA, "", 9, ""), 0); },
       "<DEFINE> b a.c 3 N DF OV - X ub -\n"},
      {"enumerator", [&](M_MetricLYR &s) { s.writeDefineOE(Definition("RED", inA, "{e", 0, "UA"), 0); },
       "<DEFINE> RED a.c 3 N DF OE F N {e U\n"},
      {"label", [&](M_MetricLYR &s) { s.writeDefineLB(at("a.c", 7), U_Identifier("out"), 0); },
       "<DEFINE> out a.c 7 N DF LB N N - -\n"},
      {"member function", [&](M_MetricLYR &s) { s.writeDefineOMFunction(inH, U_Identifier("m"), 1); },
       "<DEFINE> m h.h 4 I DC OM - - - F\n"},
      {"member object", [&](M_MetricLYR &s) { s.writeDefineOMObject(inH, U_Identifier("o"), 7); },
       "<DEFINE> o h.h 4 I DF OM - - - O\n"},
      {"empty type text leaves its field empty",
       [&](M_MetricLYR &s) { s.writeDefineOT(Definition("t", inA, "", 0, ""), 0); },
       "<DEFINE> t a.c 3 N DF OT F N  -\n"},
  };
  for (const Case &c : cases)
    expectLines(c, written(c.write));
}

TEST_F(MetricSinkTest, RelationRecordsDefineEachKindOncePerOpen) {
  const U_Location line20 = at("a.c", 20);
  const Case cases[] = {
      {"two calls and a base class",
       [&](M_MetricLYR &s) {
         s.writeRelation(line20, 7, "f", "g", 0x03);
         s.writeRelation(at("a.c", 21), 7, "g", "h", 0);
         s.writeRelation(at("a.c", 5), 2, "Base", "Derived", 0x91);
       },
       "<RDEF> C Calls\n<R>C f g 20 RW\n<R>C g h 21 -\n<RDEF> B Is-base-of\n<R>B Base Derived 5 R5\n"},
      {"include relation: file names with native slashes, quoted with a blank",
       [&](M_MetricLYR &s) { s.writeRelation(at("a.c", 2), 1, "a.c", "my inc/b.h", 0x13); },
       "<RDEF> I Includes\n<R>I a.c \"" + native("my inc/b.h") + "\" 2 RWI\n"},
      {"other kinds write their names unchanged",
       [&](M_MetricLYR &s) { s.writeRelation(line20, 6, "my/f", "g h", 0x08); },
       "<RDEF> U Uses\n<R>U my/f g h 20 S\n"},
      {"no written flag leaves the field empty",
       [&](M_MetricLYR &s) { s.writeRelation(line20, 6, "f", "g", 0x20); }, "<RDEF> U Uses\n<R>U f g 20 \n"},
      {"every kind",
       [&](M_MetricLYR &s) {
         for (std::uint32_t kind = 1; kind <= 8; ++kind)
           s.writeRelation(line20, kind, "x", "y", 0x01);
       },
       "<RDEF> I Includes\n<R>I x y 20 R\n<RDEF> B Is-base-of\n<R>B x y 20 R\n<RDEF> R Has-by-reference\n"
       "<R>R x y 20 R\n<RDEF> P Has-by-pointer\n<R>P x y 20 R\n<RDEF> V Has-by-value\n<R>V x y 20 R\n"
       "<RDEF> U Uses\n<R>U x y 20 R\n<RDEF> C Calls\n<R>C x y 20 R\n<RDEF> X Refers-to\n<R>X x y 20 R\n"},
      {"kinds outside the table write nothing and leave the definitions alone",
       [&](M_MetricLYR &s) {
         s.writeRelation(line20, 0, "f", "g", 1);
         s.writeRelation(line20, 9, "f", "g", 1);
         s.writeRelation(line20, 33, "f", "g", 1);
         s.writeRelation(line20, 1, "f", "g", 1);
       },
       "<RDEF> I Includes\n<R>I f g 20 R\n"},
  };
  for (const Case &c : cases)
    expectLines(c, written(c.write));
}

TEST_F(MetricSinkTest, IncludeNamesKeepTheirSlashesWhenOsIndependent) {
  setArguments({"-expandfilenames-", "-debug", "os-independent-slash"});
  resetNativeSlashLookup();
  EXPECT_EQ("<RDEF> I Includes\n<R>I a.c inc/b.h 2 -\n",
            written([](M_MetricLYR &s) { s.writeRelation(at("a.c", 2), 1, "a.c", "inc/b.h", 0); }));
}

TEST_F(MetricSinkTest, OtherRecords) {
  const U_Location inA = at("a.c", 10, 4);
  const U_Location inHeader = U_Location(at("a.c", 1), QL_Filename::fromPath("h.h"), 3, 5);
  const Case cases[] = {
      {"external variable: its text", [&](M_MetricLYR &s) { s.writeExternal(inA, 1, "x", "int"); },
       "<EXTV> x int 10\n"},
      {"external definition: the file", [&](M_MetricLYR &s) { s.writeExternal(inA, 2, "x", "int"); },
       "<EXTD> x a.c 10\n"},
      {"external name", [&](M_MetricLYR &s) { s.writeExternal(inHeader, 3, "y", ""); }, "<EXTN> y h.h 3\n"},
      {"external of another kind", [&](M_MetricLYR &s) { s.writeExternal(inA, 0, "z", "t"); },
       "<EXT?> z a.c 10\n"},
      {"no nodes", [](M_MetricLYR &s) { s.writeControlGraphNodes({}); }, "<CTLGN>\n"},
      {"nodes",
       [](M_MetricLYR &s) {
         s.writeControlGraphNodes({0, 1, -2});
       },
       "<CTLGN> 0 1 -2\n"},
      {"edge", [](M_MetricLYR &s) { s.writeControlGraphEdge(3, 0xFFFFFFFF); }, "<CTLG> 3 -1\n"},
      {"graph of an entity", [](M_MetricLYR &s) { s.writeControlGraphEntity(EntityRef("main")); },
       "<CTLG> main 1\n"},
      {"graph of no entity", [](M_MetricLYR &s) { s.writeControlGraphEntity(EntityRef("")); },
       "<CTLG> - 1\n"},
      {"allocation", [&](M_MetricLYR &s) { s.writeAlloc(Text("buf"), 0, inA); },
       "<ALLOC> buf plain a.c 10 4\n"},
      {"array allocation", [&](M_MetricLYR &s) { s.writeAlloc(Text("buf"), 1, inA); },
       "<ALLOC> buf array a.c 10 4\n"},
      {"old allocation", [&](M_MetricLYR &s) { s.writeAlloc(Text("p"), 2, inHeader); },
       "<ALLOC> p old h.h 3 5\n"},
      {"allocation of another kind: an empty field", [&](M_MetricLYR &s) { s.writeAlloc(Text("p"), 3, inA); },
       "<ALLOC> p  a.c 10 4\n"},
      {"thrown type",
       [](M_MetricLYR &s) {
         s.writeThrowsE(EntityRef("f"), TypeRef({"int", "long"}));
       },
       "<THROWS> f E int;long\n"},
      {"thrown nothing", [](M_MetricLYR &s) { s.writeThrowsE(EntityRef(""), TypeRef({})); },
       "<THROWS> - E -\n"},
      {"thrown text", [](M_MetricLYR &s) { s.writeThrowsT(EntityRef("f"), Text("std::bad_alloc")); },
       "<THROWS> f T std::bad_alloc\n"},
      {"caught", [](M_MetricLYR &s) { s.writeThrowsC(EntityRef("g"), Text("..."), TypeRef({"E"})); },
       "<THROWS> g C ... E\n"},
      {"pragma", [&](M_MetricLYR &s) { s.writePragma(inA, "pack(1)"); }, "<PRAGMA> a.c 10 pack(1)\n"},
      {"location", [&](M_MetricLYR &s) { s.writeLocation("start", inHeader); }, "<LOC> start h.h 3 5\n"},
      {"file location", [](M_MetricLYR &s) { s.writeLocation("file", QL_Filename::fromPath("b c.h")); },
       "<LOC> file \"b c.h\"\n"},
      {"file location with a text",
       [](M_MetricLYR &s) { s.writeLocation("file", QL_Filename::fromPath("b.h"), "extra"); },
       "<LOC> file b.h extra\n"},
      {"message", [](M_MetricLYR &s) { s.writeMessage("first", "second"); }, "<MSG> first second\n"},
      {"literal in an included file",
       [&](M_MetricLYR &s) { s.writeLiteral(Literal(inHeader, 1, 0, 1, "42", "u", 0), Text("main")); },
       "<LIT> 42 u P h.h 3 5 I DN main F D\n"},
      {"literal of kind 5 and codes outside the tables",
       [&](M_MetricLYR &s) { s.writeLiteral(Literal(inA, 5, -1, 13, "'a'", "", 3), Text("x")); },
       "<LIT> 'a'  ? a.c 10 4 N  x - ?\n"},
      {"literal of kind 13",
       [&](M_MetricLYR &s) { s.writeLiteral(Literal(inA, 13, 6, 12, "L\"s\"", "", 2), Text("-")); },
       "<LIT> L\"s\"  - a.c 10 4 N LN - S P\n"},
  };
  for (const Case &c : cases)
    expectLines(c, written(c.write));
}

TEST_F(MetricSinkTest, MetricLinesShareTheHeaderOfTheirEntity) {
  const QL_Filename x = QL_Filename::fromPath("x.c");
  const QL_Filename y = QL_Filename::fromPath("y y.c");
  const std::string headerXMain = "<S>\n<S>STFIL x.c\n<S>STNAM main\n";
  const Case cases[] = {
      {"two metrics of one entity",
       [&](M_MetricLYR &s) {
         s.writeEntityMetric("A", x, "main", "3.000");
         s.writeEntityMetric("B", x, "main", "12.000");
       },
       headerXMain + "<S>A 3.000\n<S>B 12.000\n"},
      {"alternating entities repeat the header",
       [&](M_MetricLYR &s) {
         s.writeEntityMetric("A", x, "main", "1");
         s.writeEntityMetric("A", x, "f", "2");
         s.writeEntityMetric("B", x, "main", "3");
       },
       headerXMain + "<S>A 1\n<S>\n<S>STFIL x.c\n<S>STNAM f\n<S>A 2\n" + headerXMain + "<S>B 3\n"},
      {"the same name in another file",
       [&](M_MetricLYR &s) {
         s.writeEntityMetric("A", x, "main", "1");
         s.writeEntityMetric("A", y, "main", "2");
       },
       headerXMain + "<S>A 1\n<S>\n<S>STFIL \"y y.c\"\n<S>STNAM main\n<S>A 2\n"},
      {"the null file with an empty name needs no header",
       [](M_MetricLYR &s) { s.writeEntityMetric("N", QL_Filename(), "", "1"); }, "<S>N 1\n"},
      {"file metrics: the file text is the name",
       [&](M_MetricLYR &s) {
         s.writeFileMetric("LINES", y, "10");
         s.writeFileMetric2("BYTES", y, "99");
       },
       "<S>\n<S>STFIL \"y y.c\"\n<S>STNAM \"y y.c\"\n<S>LINES 10\n<S>BYTES 99\n"},
      {"symbol metrics: the symbol's file and name",
       [&](M_MetricLYR &s) {
         s.writeSymbolMetric("A", Symbol("main", at("x.c", 4)), "-7");
         s.writeEntityMetric("B", x, "main", "8");
       },
       headerXMain + "<S>A -7\n<S>B 8\n"},
  };
  for (const Case &c : cases)
    expectLines(c, written(c.write));
}

TEST_F(MetricSinkTest, AnOpenStartsTheHeadersAndRelationDefinitionsAgain) {
  const QL_Filename x = QL_Filename::fromPath("x.c");
  const std::string first = written([&](M_MetricLYR &s) {
    s.writeEntityMetric("A", x, "main", "1");
    s.writeRelation(at("x.c", 1), 7, "f", "g", 0);
  });
  const std::string second = written([&](M_MetricLYR &s) {
    s.writeEntityMetric("A", x, "main", "1");
    s.writeRelation(at("x.c", 1), 7, "f", "g", 0);
  });
  EXPECT_EQ("<S>\n<S>STFIL x.c\n<S>STNAM main\n<S>A 1\n<RDEF> C Calls\n<R>C f g 1 -\n", first);
  EXPECT_EQ(first, second);
}

TEST_F(MetricSinkTest, EveryLineIsFlushedUnderAlwaysFlush) {
  struct FlushCase {
    std::vector<std::string> words;
    int flushes;
  };
  const FlushCase cases[] = {{{}, 0}, {{"-debug", "always-flush"}, 4}};
  for (const FlushCase &c : cases) {
    setArguments(c.words);
    m_buffer.flushes = 0;
    written([](M_MetricLYR &s) { s.writeEntityMetric("A", QL_Filename::fromPath("/x.c"), "main", "1"); });
    EXPECT_EQ(c.flushes, m_buffer.flushes) << testing::PrintToString(c.words);
  }
}

TEST_F(MetricSinkTest, RecordsOnAClosedStreamAreDropped) {
  m_sink.close();
  EXPECT_EQ(nullptr, M_metricStream());
  m_buffer.str("");
  const Definition definition("v", at("a.c", 1), "int", 0, "");
  m_sink.writeDefineOV(definition, 0);
  m_sink.writeRelation(at("a.c", 1), 7, "f", "g", 0);
  m_sink.writeEntityMetric("A", QL_Filename::fromPath("x.c"), "main", "1");
  m_sink.writeMessage("a", "b");
  m_sink.writeControlGraphNodes({1});
  m_sink.writeControlGraphEdge(1, 2);
  m_sink.writeLiteral(Literal(at("a.c", 1), 1, 0, 0, "1", "", 0), Text("x"));
  EXPECT_NO_THROW(m_sink.flush());
  EXPECT_NO_THROW(m_sink.close());
  EXPECT_EQ("", m_buffer.str());
  // The relation definition was not taken: it comes with the first relation
  // written after the next open.
  m_sink.open("-");
  m_sink.writeRelation(at("a.c", 1), 7, "f", "g", 0);
  EXPECT_EQ("<RDEF> C Calls\n<R>C f g 1 -\n", m_buffer.str());
}

// What a failure to write the stream reports.
std::string failureOf(const std::function<void()> &write) {
  try {
    write();
  } catch (const M_LYRCannotOpenMetricFile &error) {
    return error.what();
  }
  return "no failure";
}

TEST_F(MetricSinkTest, StandardOutputThatTakesNothingFailsTheLine) {
  setArguments({"-op", "/out"});
  RefusingBuffer refusing;
  std::cout.rdbuf(&refusing);
  m_sink.open("-");
  EXPECT_EQ("Cannot write metric file for '-' in output directory '/out'.",
            failureOf([&] { m_sink.writeMessage("a", "b"); }));
  std::cout.rdbuf(&m_buffer);
  std::cout.clear();
}

// The record file written as the characters come: a language whose encoding
// needs no translation.
class MetricSinkFileTest : public CurrentArgumentsTest {
protected:
  void SetUp() override { QL_resetLanguageCaches(); }
  void TearDown() override {
    m_sink.close();
    QL_resetLanguageCaches();
  }

  test_support::EnvironmentVariable m_lang{"LANG", std::string("C")};
  ScratchDirectory m_dir;
  M_MetricLYR m_sink;
};

TEST_F(MetricSinkFileTest, WriteFailuresOfTheRecordFileAreReported) {
  if (!std::filesystem::exists("/dev/full"))
    GTEST_SKIP() << "no /dev/full";
  std::filesystem::create_symlink("/dev/full", m_dir / "a.c.met");
  const std::string expected = "Cannot write metric file for '/src/a.c' in output directory '" +
                               m_dir.path() + "' (No space left on device).";
  struct FailureCase {
    const char *what;
    std::function<void(M_MetricLYR &)> write;
  };
  const FailureCase cases[] = {
      {"a line too long for the buffer",
       [](M_MetricLYR &s) { s.writeMessage(std::string(100000, 'x'), "y"); }},
      {"a flush",
       [](M_MetricLYR &s) {
         s.writeMessage("a", "b");
         s.flush();
       }},
      {"the close",
       [](M_MetricLYR &s) {
         s.writeMessage("a", "b");
         s.close();
       }},
  };
  for (const FailureCase &c : cases) {
    m_sink.openAppend("/src/a.c", m_dir.path());
    EXPECT_EQ(expected, failureOf([&] { c.write(m_sink); })) << c.what;
    m_sink.close();
    EXPECT_EQ(nullptr, M_metricStream()) << c.what;
  }
}

TEST_F(MetricSinkFileTest, LinesGoToTheRecordFileAfterWhatItHeld) {
  setArguments({"-expandfilenames-"});
  m_dir.writeFile("a.c.met", "<MSG> old\n");
  m_sink.openAppend("/src/a.c", m_dir.path());
  m_sink.writeMessage("new", "line");
  m_sink.close();
  EXPECT_EQ("<MSG> old\n<MSG> new line\n", test_support::readFile(m_dir / "a.c.met"));
}

TEST(MetricSinkErrorTest, CannotWriteTextNamesFileAndDirectory) {
  const M_LYRCannotOpenMetricFile error("/out", "src/a.c");
  EXPECT_EQ("Cannot write metric file for 'src/a.c' in output directory '/out'.", std::string(error.what()));
  std::ostringstream printed;
  error.print(printed);
  EXPECT_EQ(error.what(), printed.str());
  const M_LYRCannotOpenMetricFile copy(error);
  EXPECT_EQ("/out", copy.directory());
  EXPECT_EQ("src/a.c", copy.file());
  EXPECT_EQ(std::string(error.what()), U_UserException::sharedMessage());
  // With the reason, the system's text of the errno.
  EXPECT_EQ("Cannot write metric file for 'src/a.c' in output directory '/out' (Is a directory).",
            std::string(M_LYRCannotOpenMetricFile("/out", "src/a.c", EISDIR).what()));
}

} // namespace
