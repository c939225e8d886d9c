// The text outputs: the exact lines of the simple and the format output for
// diagnostics with and without include, macro, instantiation and called-from
// histories and nested diagnostics, the suppression lines, the output that
// discards, and the format string.
#include "messages/TextOutputs.h"
#include "foundation/Exception.h"
#include "messages/Diagnostic.h"
#include "support/CurrentArguments.h"
#include "support/Diagnostics.h"
#include "support/Locations.h"

#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <streambuf>
#include <string>
#include <vector>

namespace {

using test_support::at;
using test_support::diagnostic;
using test_support::DiagnosticList;
using test_support::includedAt;
using test_support::numberedName;
using test_support::withMacros;

class TextOutputsTest : public test_support::CurrentArgumentsTest {
protected:
  void TearDown() override { M_closeOutput(); }

  // What the action prints on standard output.
  static std::string printed(const std::function<void()> &action) {
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
  }

  // a.c includes h.h at line 5, column 7; h.h includes g.h at line 3,
  // column 2.
  static U_Location inH(int line, int column = 0) {
    return includedAt(at("/p/a.c", 5, 7), "/p/h.h", line, column);
  }
  static U_Location inG(int line, int column = 0) { return includedAt(inH(3, 2), "/p/g.h", line, column); }

  // A diagnostic in g.h with every history: instantiated from z.c:4, reached
  // through three macro expansions, called from z.c:9.
  static U_Location everyHistory() {
    return withMacros(
               inG(8, 1),
               {{at("/p/a.c", 1, 1), "INNER"}, {at("/p/a.c", 2, 2), "MIDDLE"}, {at("/p/a.c", 3, 3), "OUTER"}})
        .withInstFromLoc(at("/p/z.c", 4, 4), numberedName("T"))
        .withCalledFromLoc(at("/p/z.c", 9, 9));
  }
};

TEST_F(TextOutputsTest, TheSimpleOutputPrintsOneLinePerDiagnostic) {
  struct Case {
    const char *name;
    std::vector<std::string> words;
    U_RefPtr<M_Diagnostic> diagnostic;
    std::string out;
  };
  U_RefPtr<M_Diagnostic> withParameters = diagnostic(77, at("/p/a.c", 12, 3));
  withParameters->addParameter("T1");
  withParameters->addParameter(DiagnosticList{diagnostic(1599, at("/p/b.c", 2, 1))});
  const Case cases[] = {
      {"no history", {}, diagnostic(1540, at("/p/a.c", 1)), "/p/a.c:1: Msg=1540 #params=0\n"},
      {"no location", {}, diagnostic(1540), "nofile.cc:0: Msg=1540 #params=0\n"},
      {"parameters, nested diagnostics stay in the line",
       {},
       withParameters,
       "/p/a.c:12:3: Msg=77 #params=2 {T1, MsgList={/p/b.c:2:1: Msg=1599 #params=0}}\n"},
      {"every history, one line", {}, diagnostic(5, everyHistory()), "/p/g.h:8:1: Msg=5 #params=0\n"},
      {"include history by debug word",
       {"-debug", "showInclLoc"},
       diagnostic(5, everyHistory()),
       "/p/g.h:8:1: Msg=5 #params=0 incl {/p/h.h:3:2: Msg=1599 #params=0 incl {/p/a.c:5:7: Msg=1599 "
       "#params=0}}\n"},
      {"instantiation and call histories by debug word",
       {"-debug", "showInstLoc", "-debug", "showCallLoc"},
       diagnostic(5, everyHistory()),
       "/p/g.h:8:1: Msg=5 #params=0 inst {/p/z.c:4:4: Msg=1597 #params=0} call {/p/z.c:9:9: Msg=1570 "
       "#params=0}\n"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    setArguments(c.words);
    M_openSimpleOutput();
    EXPECT_EQ(c.out, printed([&] { M_sendMessage(c.diagnostic); }));
    EXPECT_EQ(c.out, printed([&] { M_currentOutput()->write(c.diagnostic, true); }));
  }
}

TEST_F(TextOutputsTest, TheFormatOutputPrintsTheHistoryAndTheNestedDiagnosticsDepthFirst) {
  U_RefPtr<M_Diagnostic> nesting = diagnostic(77, at("/p/a.c", 12, 3));
  nesting->addParameter("T1");
  nesting->addParameter(DiagnosticList{diagnostic(20, inH(6)), diagnostic(21)});
  nesting->addParameter(std::vector<std::string>{"x"});
  nesting->addParameter(DiagnosticList{diagnostic(22, at("/p/b.c", 1))});
  U_RefPtr<M_Diagnostic> nestedHistory = diagnostic(78, withMacros(at("/p/a.c", 30), {{inH(2, 2), "M"}}));
  struct Case {
    const char *name;
    std::vector<std::string> words;
    U_RefPtr<M_Diagnostic> diagnostic;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"no history", {}, diagnostic(1540, at("/p/a.c", 1)), {"/p/a.c:1: Msg=1540 #params=0"}},
      {"no location", {}, diagnostic(1540), {"nofile.cc:0: Msg=1540 #params=0"}},
      {"called from alone prints nothing more",
       {},
       diagnostic(5, at("/p/a.c", 2).withCalledFromLoc(at("/p/z.c", 9))),
       {"/p/a.c:2: Msg=5 #params=0"}},
      {"include chain, each step with its own history",
       {},
       diagnostic(5, inG(8)),
       {"/p/g.h:8: Msg=5 #params=0", "/p/h.h:3:2: Msg=1599 #params=0", "/p/a.c:5:7: Msg=1599 #params=0"}},
      {"every history: instantiation, include, then the macros from the outermost",
       {},
       diagnostic(5, everyHistory()),
       {"/p/g.h:8:1: Msg=5 #params=0", "/p/z.c:4:4: Msg=1597 #params=1 {T#3}",
        "/p/h.h:3:2: Msg=1599 #params=0", "/p/a.c:5:7: Msg=1599 #params=0",
        "/p/a.c:3:3: Msg=1598 #params=1 {OUTER}", "/p/a.c:2:2: Msg=1598 #params=1 {MIDDLE}",
        "/p/a.c:1:1: Msg=1598 #params=1 {INNER}"}},
      {"a macro expanded in a header brings its include history",
       {},
       nestedHistory,
       {"/p/a.c:30: Msg=78 #params=0", "/p/h.h:2:2: Msg=1598 #params=1 {M}",
        "/p/a.c:5:7: Msg=1599 #params=0"}},
      {"nested diagnostics after the history, each with its own",
       {},
       nesting,
       {"/p/a.c:12:3: Msg=77 #params=4 {T1, MsgList={/p/h.h:6: Msg=20 #params=0 ; nofile.cc:0: Msg=21 "
        "#params=0}, "
        "List={x}, MsgList={/p/b.c:1: Msg=22 #params=0}}",
        "/p/h.h:6: Msg=20 #params=0", "/p/a.c:5:7: Msg=1599 #params=0", "nofile.cc:0: Msg=21 #params=0",
        "/p/b.c:1: Msg=22 #params=0"}},
      {"a history line in a quiet file goes with its own history",
       {"-quiet", "/p/h"},
       diagnostic(5, inG(8)),
       {"/p/g.h:8: Msg=5 #params=0"}},
      {"history lines pass the number filters",
       {"-only", "5", "-only", "1598"},
       diagnostic(5, everyHistory()),
       {"/p/g.h:8:1: Msg=5 #params=0", "/p/a.c:3:3: Msg=1598 #params=1 {OUTER}",
        "/p/a.c:2:2: Msg=1598 #params=1 {MIDDLE}", "/p/a.c:1:1: Msg=1598 #params=1 {INNER}"}},
      {"nested diagnostics pass the number filters",
       {"-nomsg", "20-21"},
       nesting,
       {"/p/a.c:12:3: Msg=77 #params=4 {T1, MsgList={/p/h.h:6: Msg=20 #params=0 ; nofile.cc:0: Msg=21 "
        "#params=0}, "
        "List={x}, MsgList={/p/b.c:1: Msg=22 #params=0}}",
        "/p/b.c:1: Msg=22 #params=0"}},
      {"a dropped diagnostic takes its history along", {"-nomsg", "5"}, diagnostic(5, everyHistory()), {}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    setArguments(c.words);
    M_openFormatOutput();
    std::string expected;
    for (const std::string &line : c.lines)
      expected += line + "\n";
    EXPECT_EQ(expected, printed([&] { M_sendMessage(c.diagnostic); }));
  }
}

TEST_F(TextOutputsTest, TheFormatOutputFiltersHistoryAndNestedLinesWithTheSameSuppressedFlag) {
  U_RefPtr<M_Diagnostic> d = diagnostic(5, inH(4));
  d->addParameter(DiagnosticList{diagnostic(6)});
  M_openFormatOutput();
  // Written without filter, the diagnostic itself is always printed.
  EXPECT_EQ("/p/h.h:4: Msg=5 #params=1 {MsgList={nofile.cc:0: Msg=6 #params=0}}\n",
            printed([&] { M_currentOutput()->write(d, true); }));
  const std::string all = "/p/h.h:4: Msg=5 #params=1 {MsgList={nofile.cc:0: Msg=6 #params=0}}\n"
                          "/p/a.c:5:7: Msg=1599 #params=0\n"
                          "nofile.cc:0: Msg=6 #params=0\n";
  EXPECT_EQ(all, printed([&] { M_currentOutput()->write(d, false); }));
  EXPECT_EQ("", printed([&] { M_currentOutput()->send(d, true); }));
  setArguments({"-hiddenwarnings"});
  M_openFormatOutput();
  EXPECT_EQ(all, printed([&] { M_currentOutput()->send(d, true); }));
}

TEST_F(TextOutputsTest, ErrorFlaggedDiagnosticsPassTheOutputsFilters) {
  U_RefPtr<M_Diagnostic> d = diagnostic(5, inG(8));
  d->setError(true);
  d->setHiddenByPragma(true);
  setArguments({"-nomsg", "5", "-quiet", "/p/g.h", "-hdrsuppress"});
  M_openSimpleOutput();
  EXPECT_EQ("/p/g.h:8: Msg=5 #params=0 hidden by pragma\n", printed([&] { M_sendMessage(d); }));
  // Its history lines carry no error flag: h.h is a header under
  // "hdrsuppress".
  M_openFormatOutput();
  EXPECT_EQ("/p/g.h:8: Msg=5 #params=0 hidden by pragma\n", printed([&] { M_sendMessage(d); }));
}

TEST_F(TextOutputsTest, TheSimpleOutputPrintsSuppressionLines) {
  const U_Location location = at("/p/a.c", 10, 5);
  const U_Location start = at("/p/a.c", 12, 1);
  struct Case {
    const char *name;
    std::function<void()> send;
    std::string line;
  };
  const Case cases[] = {
      {"suppression",
       [&] {
         M_sendSupRecord(location, "N", {{"100", "100"}, {"200", "250"}}, start);
       },
       "/p/a.c:10:5: SUP:N:100,200-250:{/p/a.c:12:1:}"},
      {"suppression with end and an empty to text",
       [&] {
         M_sendSupRecord(location, "N", {{"7", ""}}, start, at("/p/a.c", 30, 0));
       },
       "/p/a.c:10:5: SUP:N:7:{/p/a.c:12:1:}-{/p/a.c:30:0:}"},
      {"no ranges", [&] { M_sendSupRecord(location, "", {}, start); }, "/p/a.c:10:5: SUP:::{/p/a.c:12:1:}"},
      {"location record prints no ranges",
       [&] {
         M_sendSuppressionRecord(0, location, "L", {{"1", "2"}}, start, U_Location());
       },
       "/p/a.c:10:5: LOC:L:{/p/a.c:12:1:}"},
      {"location record with end", [&] { M_sendLocRecord(location, "L", start, at("/p/b.c", 1, 1)); },
       "/p/a.c:10:5: LOC:L:{/p/a.c:12:1:}-{/p/b.c:1:1:}"},
      {"another kind",
       [&] {
         M_sendSuppressionRecord(2, location, "P", {{"1", "2"}}, start, U_Location());
       },
       "/p/a.c:10:5: Unknown:P:{/p/a.c:12:1:}"},
      {"negative column and null locations", [&] { M_sendLocRecord(U_Location(), "L", at("/p/a.c", 3, -1)); },
       "nofile.cc:0 LOC:L:{/p/a.c:3:*:}"},
      {"shown file and line",
       [&] { M_sendLocRecord(location.withHLLoc(QL_Filename::fromPath("/p/orig.y"), 70), "L", start); },
       "/p/orig.y:70:5: LOC:L:{/p/a.c:12:1:}"},
  };
  M_openSimpleOutput();
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.line + "\n", printed(c.send));
  }
  setArguments({"-debug", "hideSupRecs"});
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string("hideSupRecs: ") + c.name);
    EXPECT_EQ("", printed(c.send));
  }
}

TEST_F(TextOutputsTest, OnlyTheSimpleOutputPrintsSuppressionRecordsAndTheNullOutputPrintsNothing) {
  const U_Location location = at("/p/a.c", 10, 5);
  U_RefPtr<M_Diagnostic> error = diagnostic(5, location);
  error->setError(true);
  M_openFormatOutput();
  EXPECT_EQ("", printed([&] { M_sendLocRecord(location, "L", location); }));
  M_openNullOutput();
  EXPECT_EQ("", printed([&] {
              M_sendMessage(diagnostic(5, location));
              M_sendMessage(error);
              M_sendLocRecord(location, "L", location);
            }));
  EXPECT_EQ(1u, M_sentCount());
  EXPECT_EQ(1u, M_writtenCount());
}

// Standard output that takes no byte, as a full device does.
struct TakesNothing : std::streambuf {
  int overflow(int) override { return traits_type::eof(); }
  std::streamsize xsputn(const char *, std::streamsize) override { return 0; }
};

// A line that does not reach standard output ends the run: the output that
// finds it so throws the one error, and its closing keeps quiet about it.
TEST_F(TextOutputsTest, AFailedStandardOutputIsReportedOnce) {
  struct Case {
    const char *name;
    void (*open)();
    std::function<void()> send;
  };
  const Case cases[] = {
      {"simple output, diagnostic", M_openSimpleOutput,
       [] { M_sendMessage(diagnostic(5, at("/p/a.c", 1))); }},
      {"simple output, suppression line", M_openSimpleOutput,
       [] { M_sendLocRecord(at("/p/a.c", 1), "L", at("/p/a.c", 2)); }},
      {"format output, diagnostic and its history", M_openFormatOutput,
       [] { M_sendMessage(diagnostic(5, inG(8))); }},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    TakesNothing full;
    std::streambuf *const standardOutput = std::cout.rdbuf(&full);
    c.open();
    try {
      c.send();
      ADD_FAILURE() << "no error";
    } catch (const U_UserException &error) {
      EXPECT_EQ(std::string(M_standardOutputFailure), error.what());
    }
    EXPECT_NO_THROW(M_closeOutput());
    std::cout.rdbuf(standardOutput);
    std::cout.clear();
  }
}

TEST_F(TextOutputsTest, TheFactoriesSetTheirKinds) {
  struct Case {
    void (*open)();
    int kind;
    bool simple, format, null;
  };
  const Case cases[] = {
      {M_openFormatOutput, 1, false, true, false},
      {M_openSimpleOutput, 0, true, false, false},
      {M_openNullOutput, 5, false, false, true},
      {[] { M_openSimpleOutputForErrorFile("/p/a.c.err"); }, 0, true, false, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.kind);
    c.open();
    EXPECT_EQ(c.kind, M_OutputKind());
    EXPECT_EQ(c.simple, dynamic_cast<M_OutputSimple *>(M_currentOutput()) != nullptr);
    EXPECT_EQ(c.format, dynamic_cast<M_OutputFormat *>(M_currentOutput()) != nullptr);
    EXPECT_EQ(c.null, dynamic_cast<M_OutputNull *>(M_currentOutput()) != nullptr);
  }
}

TEST_F(TextOutputsTest, TheFormatStringComesFromTheOptionsOnce) {
  const std::string layout = ":%l:%c: %?u==0%(%?h%(Err%:Msg%)%:-->%) (%g;%N) %R(%u,  )%t";
  struct Case {
    std::vector<std::string> words;
    std::string format;
  };
  const Case cases[] = {
      {{}, "%F" + layout},
      {{"-expandfilenames-"}, "%f" + layout},
      {{"-format", "%f(%l) %t"}, "%f(%l) %t"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.words));
    setArguments(c.words);
    EXPECT_EQ(c.format, M_OutputFormat::formatString());
  }
  C_setCurrentCmdArgs(C_CmdArgs("lyr", 0, nullptr));
  EXPECT_EQ("%f(%l) %t", M_OutputFormat::formatString());
}

} // namespace
