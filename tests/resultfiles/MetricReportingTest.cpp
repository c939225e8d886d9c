#include "resultfiles/MetricReporting.h"

#include "foundation/FileIdentity.h"
#include "foundation/Location.h"
#include "messages/Diagnostic.h"
#include "messages/Output.h"
#include "messages/ParamType.h"
#include "resultfiles/Identifier.h"
#include "resultfiles/MetricDoubles.h"
#include "resultfiles/MetricOutput.h"
#include "support/CurrentArguments.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace metric_doubles;

// Keeps every diagnostic it is sent as "number line: parameters".
class RecordingOutput : public M_OutputBase {
public:
  explicit RecordingOutput(std::vector<std::string> &sent) : m_sent(sent) {}
  void close() override {}
  void send(const U_RefPtr<M_Diagnostic> &diagnostic, bool) override {
    m_sent.push_back(describe(*diagnostic));
  }
  void write(const U_RefPtr<M_Diagnostic> &diagnostic, bool) override { send(diagnostic, false); }
  void writeSuppression(const U_RefPtr<M_SuppressionRecord> &) override {}

private:
  static std::string describe(const M_Diagnostic &diagnostic) {
    std::string text = std::to_string(diagnostic.getNumber());
    const U_Location &location = diagnostic.getLocation();
    text += location.isSet()
                ? " " + location.getFile().given().str() + ":" + std::to_string(location.getLine())
                : " nowhere";
    text += ":";
    for (int i = 0; i < diagnostic.getParameterCount(); ++i)
      text += " " + diagnostic.getParameter(i)->text();
    return text;
  }

  std::vector<std::string> &m_sent;
};

// A type T of type int.
Definition type(const U_Location &location) { return Definition("T", location, "int", 0, ""); }

U_Location at(const std::string &path, std::int32_t line, std::int32_t column = 0) {
  return U_Location(QL_Filename::fromPath(path), line, column);
}

// The options of the run: names as written, files below /quiet quiet, two
// limits. The metric sink writes to standard output, which goes into a
// buffer of the test; the diagnostics go to a recording output.
class MetricReportingTest : public test_support::CurrentArgumentsTest {
protected:
  void SetUp() override {
    setOptions({});
    M_installOutput(0, std::make_unique<RecordingOutput>(m_sent));
  }
  void TearDown() override {
    closeMetricOutput();
    M_closeOutput();
    std::cout.rdbuf(m_stdout);
  }

  void setOptions(const std::vector<std::string> &more) {
    std::vector<std::string> words = {"-expandfilenames-", "-quiet",  "/quiet",    "-thresh",
                                      "LINES>10:4701",     "-thresh", "RATIO>=2.5"};
    words.insert(words.end(), more.begin(), more.end());
    setArguments(words);
    openStandardMetricOutput();
    m_buffer.str("");
    m_sent.clear();
  }

  std::vector<std::string> m_sent;
  std::stringbuf m_buffer;
  std::streambuf *m_stdout = std::cout.rdbuf(&m_buffer);
};

struct Case {
  const char *what;
  std::function<void()> report;
  std::string records;
  std::vector<std::string> diagnostics;
};

const std::string headerOfMain = "<S>\n<S>STFIL /src/a.c\n<S>STNAM main\n";

TEST_F(MetricReportingTest, MetricValuesAreWrittenAndCheckedAgainstTheirLimits) {
  const U_Location inA = at("/src/a.c", 3);
  const Case cases[] = {
      {"below the limit",
       [&] { M_reportEntityMetric("lines", Entity("main", inA), std::int64_t{10}); },
       headerOfMain + "<S>lines 10\n",
       {}},
      {"above the limit",
       [&] { M_reportEntityMetric("lines", Entity("main", inA), std::int64_t{11}); },
       headerOfMain + "<S>lines 11\n",
       {"4701 /src/a.c:3: lines 11"}},
      {"double value",
       [&] { M_reportEntityMetric("ratio", Entity("main", inA), 2.5); },
       headerOfMain + "<S>ratio 2.500\n",
       {"4700 /src/a.c:3: ratio 2.500"}},
      {"unsigned value",
       [&] { M_reportEntityMetric("LINES", Entity("main", inA), std::uint64_t{12}); },
       headerOfMain + "<S>LINES 12\n",
       {"4701 /src/a.c:3: LINES 12"}},
      {"symbol metric",
       [&] { M_reportSymbolMetric("Lines", Symbol("main", inA), std::int64_t{-7}); },
       headerOfMain + "<S>Lines -7\n",
       {}},
      {"symbol metric above the limit",
       [&] { M_reportSymbolMetric("lines", Symbol("main", inA), 11.25); },
       headerOfMain + "<S>lines 11.250\n",
       {"4701 /src/a.c:3: lines 11.250"}},
      {"file metric",
       [&] { M_reportFileMetric("lines", at("/src/b.c", 1), std::uint64_t{20}); },
       "<S>\n<S>STFIL /src/b.c\n<S>STNAM /src/b.c\n<S>lines 20\n",
       {"4701 /src/b.c:1: lines 20"}},
      {"entity without a location",
       [&] { M_reportEntityMetric("lines", Entity("x", U_Location()), 11.0); },
       "<S>\n<S>STFIL \n<S>STNAM x\n<S>lines 11.000\n",
       {"4701 nowhere: lines 11.000"}},
      {"file metric without a location",
       [&] { M_reportFileMetric("other", U_Location(), std::int64_t{1}); },
       "<S>other 1\n",
       {}},
      {"quiet entity: nothing at all",
       [&] { M_reportEntityMetric("lines", Entity("main", at("/quiet/h.h", 1)), std::int64_t{11}); },
       "",
       {}},
      {"quiet symbol",
       [&] { M_reportSymbolMetric("lines", Symbol("s", at("/QUIET/h.h", 1)), 99.0); },
       "",
       {}},
      {"quiet file", [&] { M_reportFileMetric("lines", at("/quieter/h.h", 1), std::uint64_t{11}); }, "", {}},
  };
  for (const Case &c : cases) {
    setOptions({});
    c.report();
    EXPECT_EQ(c.records, m_buffer.str()) << c.what;
    EXPECT_EQ(c.diagnostics, m_sent) << c.what;
  }
}

TEST_F(MetricReportingTest, WithMetricsOffOnlyTheLimitsAct) {
  setOptions({"-metrics-"});
  EXPECT_FALSE(metricsEnabled());
  M_reportEntityMetric("lines", Entity("main", at("/src/a.c", 3)), std::int64_t{11});
  M_reportFileMetric("ratio", at("/src/a.c", 4), 3.0);
  M_reportDefineOT(type(at("/src/a.c", 5)), 0);
  M_reportMessage("a", "b");
  EXPECT_EQ("", m_buffer.str());
  const std::vector<std::string> sent = {"4701 /src/a.c:3: lines 11", "4700 /src/a.c:4: ratio 3.000"};
  EXPECT_EQ(sent, m_sent);

  setOptions({});
  EXPECT_TRUE(metricsEnabled());
  M_reportMessage("a", "b");
  EXPECT_EQ("<MSG> a b\n", m_buffer.str());
}

TEST_F(MetricReportingTest, RecordsAreHandedOnUnlessTheirLocationIsQuiet) {
  const U_Location inA = at("/src/a.c", 3, 2);
  const U_Location quiet = at("/quiet/h.h", 4, 1);
  const Case cases[] = {
      {"relation: no quiet test",
       [&] { M_reportRelation(quiet, 7, "f", "g", 1); },
       "<RDEF> C Calls\n<R>C f g 4 R\n",
       {}},
      {"external", [&] { M_reportExternal(inA, 1, "x", "int"); }, "<EXTV> x int 3\n", {}},
      {"external without a text", [&] { M_reportExternal(inA, 1, "x"); }, "<EXTV> x  3\n", {}},
      {"quiet external", [&] { M_reportExternal(quiet, 2, "x", "int"); }, "", {}},
      {"definition",
       [&] { M_reportDefineOT(type(inA), 0); },
       "<DEFINE> T /src/a.c 3 I DF OT F N int -\n",
       {}},
      {"quiet definitions",
       [&] {
         M_reportDefineOT(type(quiet), 0);
         M_reportDefineTG2(type(quiet), 0);
         M_reportDefineOE(type(quiet), 0);
       },
       "",
       {}},
      {"label and members",
       [&] {
         M_reportDefineLB(inA, U_Identifier("l"), 0);
         M_reportDefineOMFunction(inA, U_Identifier("m"), 0);
         M_reportDefineOMObject(inA, U_Identifier("o"), 0);
       },
       "<DEFINE> l /src/a.c 3 I DF LB N N - -\n<DEFINE> m /src/a.c 3 I DF OM - - - F\n"
       "<DEFINE> o /src/a.c 3 I DF OM - - - O\n",
       {}},
      {"quiet label and members",
       [&] {
         M_reportDefineLB(quiet, U_Identifier("l"), 0);
         M_reportDefineOMFunction(quiet, U_Identifier("m"), 0);
         M_reportDefineOMObject(quiet, U_Identifier("o"), 0);
       },
       "",
       {}},
      {"records without a quiet test",
       [&] {
         M_reportControlGraphNodes({1, 2});
         M_reportControlGraphEdge(1, 2);
         M_reportControlGraphEntity(EntityRef("f"));
         M_reportAlloc(Text("p"), 0, quiet);
         M_reportThrowsE(EntityRef("f"), TypeRef({"int"}));
         M_reportThrowsT(EntityRef("f"), Text("t"));
         M_reportThrowsC(EntityRef("f"), Text("c"), TypeRef({"int"}));
         M_reportPragma(quiet, "once");
         M_reportLocation("at", quiet);
         M_reportLocation("file", quiet.getFile());
         M_reportLocation("file", quiet.getFile(), "more");
         M_reportMessage("a", "b");
         M_reportLiteral(Literal(quiet, 1, 0, 1, "42", "u", 0), Text("s"));
       },
       "<CTLGN> 1 2\n<CTLG> 1 2\n<CTLG> f 1\n<ALLOC> p plain /quiet/h.h 4 1\n<THROWS> f E int\n<THROWS> f T "
       "t\n"
       "<THROWS> f C c int\n<PRAGMA> /quiet/h.h 4 once\n<LOC> at /quiet/h.h 4 1\n<LOC> file /quiet/h.h\n"
       "<LOC> file /quiet/h.h more\n<MSG> a b\n<LIT> 42 u P /quiet/h.h 4 1 N DN s F D\n",
       {}},
  };
  for (const Case &c : cases) {
    setOptions({});
    c.report();
    EXPECT_EQ(c.records, m_buffer.str()) << c.what;
    EXPECT_EQ(c.diagnostics, m_sent) << c.what;
  }
}

TEST_F(MetricReportingTest, ThresholdDiagnosticCarriesNameAndValueText) {
  const U_RefPtr<M_Diagnostic> made = M_createMetricDiagnostic(4711, at("/src/a.c", 9), "DEPTH", "12");
  EXPECT_EQ(4711u, made->getNumber());
  EXPECT_EQ(9, made->getLocation().getLine());
  ASSERT_EQ(2, made->getParameterCount());
  EXPECT_EQ("DEPTH", made->getParameter(0)->text());
  EXPECT_EQ("12", made->getParameter(1)->text());

  M_checkMetricThreshold(U_Location(), "lines", std::uint64_t{10});
  M_checkMetricThreshold(at("/quiet/h.h", 2), "lines", std::int64_t{11});
  const std::vector<std::string> sent = {"4701 /quiet/h.h:2: lines 11"};
  EXPECT_EQ(sent, m_sent);
}

TEST(MetricValueTextTest, ValueTexts) {
  struct Case {
    std::string actual;
    std::string expected;
  };
  const Case cases[] = {
      {formatMetricDouble(2.5), "2.500"},
      {formatMetricDouble(3), "3.000"},
      {formatMetricDouble(12), "12.000"},
      {formatMetricDouble(-0.25), "-0.250"},
      {formatMetricDouble(1.0 / 3), "0.333"},
      {formatMetricDouble(1e20), "100000000000000000000.000"},
      {formatMetricInt64(-7), "-7"},
      {formatMetricInt64(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808"},
      {formatMetricUInt64(std::numeric_limits<std::uint64_t>::max()), "18446744073709551615"},
      {formatMetricUInt64(0), "0"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.expected, c.actual);
}

} // namespace
