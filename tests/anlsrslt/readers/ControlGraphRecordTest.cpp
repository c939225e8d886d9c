#include "anlsrslt/readers/ControlGraphRecord.h"

#include "anlsrslt/readers/MetricRecord.h"

#include "RecordReaderTest.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> defines = {
    "<DEFINE> f /s/a.c 1 N DF OF F X v -",
    "<DEFINE> g /s/a.c 2 N DF OF F X v -",
    "<DEFINE> ::h(ni) /s/a.c 3 N DF OF F X v -",
};

std::vector<std::string> withDefines(const std::vector<std::string> &lines) {
  return test_support::linesThen(defines, lines);
}

// A graph as one text: "<name>#<number> n:<nodes> e:<from>><to>,...".
std::string describe(const P_ControlGraph *graph) {
  std::string text =
      std::string(P_controlGraphObject(graph)) + "#" + std::to_string(P_controlGraphNumber(graph));
  text += " n:";
  for (std::size_t i = 0; i < P_controlGraphNodes(graph).size(); ++i)
    text += (i ? "," : "") + std::to_string(P_controlGraphNodes(graph)[i]);
  text += " e:";
  const auto &edges = P_controlGraphEdges(graph);
  for (std::size_t i = 0; i < edges.size(); ++i)
    text += (i ? "," : "") + std::to_string(P_controlGraphEdgeFrom(edges[i].pointer())) + ">" +
            std::to_string(P_controlGraphEdgeTo(edges[i].pointer()));
  return text;
}

std::vector<std::string> finishedGraphs() {
  std::vector<std::string> graphs;
  for (const auto &graph : controlGraphs())
    graphs.push_back(describe(graph.pointer()));
  return graphs;
}

// The graphs the listener was told of.
std::vector<const P_ControlGraph *> told;
std::vector<std::string> toldGraphs;

void onGraph(P_ControlGraph *graph) {
  told.push_back(graph);
  toldGraphs.push_back(describe(graph));
}
void onGraphToo(P_ControlGraph *graph) { told.push_back(graph); }

class ControlGraphRecordTest : public test_support::RecordReaderTest {
protected:
  void SetUp() override {
    RecordReaderTest::SetUp();
    told.clear();
    toldGraphs.clear();
  }
};

TEST_F(ControlGraphRecordTest, EachLineShapeAndWhatIsFiled) {
  const struct Case {
    std::vector<std::string> lines;
    std::vector<std::string> graphs; // finished, in order
    bool headerExpected;             // after the lines
  } cases[] = {
      {{"<CTLG> f 1", "<CTLG> 1 2", "<CTLG> 2 3", "<CTLGN> 1 2 3"}, {"f#1 n:1,2,3 e:1>2,2>3"}, true},
      // The writer's lines: the node line of an empty list; names marked.
      {{"<CTLG> ::h(ni) 1", "<CTLGN>"}, {"::h\x8Eni\x8F#1 n: e:"}, true},
      {{"<CTLG> f 1", "<CTLG> 1 2", "<CTLGN>", "<CTLG> g 2", "<CTLGN> 7"},
       {"f#1 n: e:1>2", "g#2 n:7 e:"},
       true},
      // Node numbers end at the first word that is not one.
      {{"<CTLG> f 1", "<CTLGN> 1 2 x 4"}, {"f#1 n:1,2 e:"}, true},
      {{"<CTLG> f 1", "<CTLGN>\t1  2\t"}, {"f#1 n:1,2 e:"}, true},
      // Negative numbers keep their bits.
      {{"<CTLG> f -1", "<CTLG> -1 -2", "<CTLGN> -3"},
       {"f#4294967295 n:4294967293 e:4294967295>4294967294"},
       true},
      // An edge whose numbers do not both read is passed over.
      {{"<CTLG> f 1", "<CTLG> 1 x", "<CTLG> 3", "<CTLG>", "<CTLG> 2147483648 1", "<CTLG> 4 5", "<CTLGN> 4"},
       {"f#1 n:4 e:4>5"},
       true},
      // A header number that is missing or not a number is 0.
      {{"<CTLG> f", "<CTLGN>", "<CTLG> g x", "<CTLGN>"}, {"f#0 n: e:", "g#0 n: e:"}, true},
      // A "<S>STFIL" line finishes the open graph; other "S" lines do not.
      {{"<CTLG> f 1", "<CTLG> 1 2", "<S>", "<S>STNAM f", "<S>STFIL /s/a.c", "<CTLG> g 2", "<CTLGN> 1"},
       {"f#1 n: e:1>2", "g#2 n:1 e:"},
       true},
      // A node or "STFIL" line while a header is expected changes nothing.
      {{"<CTLGN> 1 2", "<S>STFIL /s/a.c", "<CTLG> f 1", "<CTLGN> 3"}, {"f#1 n:3 e:"}, true},
      // A function without a symbol skips its graph only, up to its node
      // line; the writer's "-" for an entity of no name is such a function.
      {{"<CTLG> unknown 1", "<CTLG> 1 2", "<CTLG> g 9", "<CTLGN> 1 2", "<CTLG> f 2", "<CTLG> 5 6",
        "<CTLGN> 5 6"},
       {"f#2 n:5,6 e:5>6"},
       true},
      {{"<CTLG> - 1", "<CTLG> 1 2", "<CTLGN> 1", "<CTLG> F 1", "<CTLGN>", "<CTLG> g 3", "<CTLGN>"},
       {"g#3 n: e:"},
       true},
      {{"<CTLG> unknown 1", "<S>STFIL /s/a.c", "<CTLG> f 1", "<CTLGN>"}, {"f#1 n: e:"}, true},
      // Still open at the end of the file.
      {{"<CTLG> f 1", "<CTLG> 1 2"}, {}, false},
      {{"<CTLG> unknown 1"}, {}, false},
  };
  registerControlGraphHandlers(onGraph);
  for (const Case &c : cases) {
    test_support::RecordStoresReset::resetAll();
    toldGraphs.clear();
    readRecordFile("a.c", withDefines(c.lines));
    std::string input;
    for (const std::string &line : c.lines)
      input += line + " / ";
    EXPECT_EQ(c.graphs, finishedGraphs()) << input;
    EXPECT_EQ(c.graphs, toldGraphs) << input;
    EXPECT_EQ(c.headerExpected, newGraphExpected()) << input;
  }
}

TEST_F(ControlGraphRecordTest, ListenersAreToldOnceOfEachGraph) {
  registerControlGraphHandlers(onGraph);
  registerControlGraphHandlers(onGraphToo);
  registerControlGraphHandlers(onGraph);
  readRecordFile("a.c", withDefines({"<CTLG> f 1", "<CTLGN> 1", "<CTLG> g 2", "<CTLGN> 2"}));
  ASSERT_EQ(2u, controlGraphs().size());
  const P_ControlGraph *first = controlGraphs()[0].pointer();
  const P_ControlGraph *second = controlGraphs()[1].pointer();
  EXPECT_EQ((std::vector<const P_ControlGraph *>{first, first, second, second}), told);
  EXPECT_EQ(P_findSymbol(internString("g")), P_controlGraphSymbol(second));
  EXPECT_EQ(1u, controlGraphs()[0].useCount()) << "the run keeps the only handle";
  EXPECT_FALSE(currentControlGraph().isSet());
}

TEST_F(ControlGraphRecordTest, WithoutListenerGraphsAreKept) {
  setSymbolTableContext(&SymbolTable::instance());
  SymbolTable::instance().clearTranslationUnit();
  for (const std::string &line : defines)
    handleDefineRecord(line);
  handleControlGraphRecord("<CTLG> f 1");
  handleControlGraphRecord("<CTLG> 1 2");
  handleControlGraphNodes("<CTLGN> 1 2");
  EXPECT_EQ(std::vector<std::string>{"f#1 n:1,2 e:1>2"}, finishedGraphs());
}

// The reading state carries over: a graph open at the end of one record file
// is finished by the first "<S>STFIL" line of the next; its symbol is that of
// the file it began in. Headers resolve in their own file only.
TEST_F(ControlGraphRecordTest, GraphsAcrossRecordFiles) {
  registerControlGraphHandlers(onGraph);
  readRecordFile("a.c", withDefines({"<CTLG> f 1", "<CTLG> 1 2"}));
  const P_Symbol *symbolOfF = P_findSymbol(internString("f"));
  EXPECT_TRUE(told.empty());
  readRecordFile("b.c", {"<CTLG> 2 3", "<S>STFIL /s/b.c", "<CTLG> f 2", "<CTLGN> 1",
                         "<DEFINE> g /s/b.c 1 N DF OF F X v -", "<CTLG> g 3", "<CTLGN> 3"});
  EXPECT_EQ((std::vector<std::string>{"f#1 n: e:1>2,2>3", "g#3 n:3 e:"}), finishedGraphs());
  EXPECT_EQ(symbolOfF, P_controlGraphSymbol(controlGraphs()[0].pointer()));
  EXPECT_EQ(finishedGraphs(), toldGraphs);
}

TEST_F(ControlGraphRecordTest, GraphOpenAtTheEndOfTheRunIsDropped) {
  registerControlGraphHandlers(onGraph);
  readRecordFile("a.c", withDefines({"<CTLG> f 1", "<CTLGN> 1", "<CTLG> g 2", "<CTLG> 1 2"}));
  notifyRunEndListeners(SymbolTable::instance());
  EXPECT_EQ(std::vector<std::string>{"f#1 n:1 e:"}, finishedGraphs());
  EXPECT_EQ(finishedGraphs(), toldGraphs);
}

// The metric reader and the graph reader both see every "S" line.
TEST_F(ControlGraphRecordTest, MetricAndGraphReadersShareTheSLines) {
  registerControlGraphHandlers(onGraph);
  registerMetricRecordHandler();
  readRecordFile("a.c", withDefines({"<CTLG> f 1", "<S>", "<S>STFIL /s/a.c", "<S>STNAM f", "<S>M 1"}));
  EXPECT_EQ(std::vector<std::string>{"f#1 n: e:"}, finishedGraphs());
  EXPECT_EQ(1, getMetric("f", "M"));
}

TEST_F(ControlGraphRecordTest, LinesArePassedOverUntilSwitchedOn) {
  readRecordFile("a.c", withDefines({"<CTLG> f 1", "<CTLGN> 1"}));
  EXPECT_TRUE(controlGraphs().empty());
  EXPECT_TRUE(newGraphExpected());
}

} // namespace
